#include "app/DesktopProbe.h"

#include "grid/core/QorColumnGrid.h"
#include "grid/editors/AsgCombo.h"
#include "platform/base/SysUtils.h"
#include "platform/ui/Grids.h"
#include "platform/ui/core/Dialogs.h"
#include "platform/ui/core/Forms.h"
#include "platform/ui/core/Timers.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string probePath;

std::string quoted(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            out += Format("\\u%04x", int(c));
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

std::string rectOf(const TRect& r) {
    return Format("[%d,%d,%d,%d]", r.Left, r.Top, r.Width(), r.Height());
}

void append(const std::string& line) {
    if (FILE* f = std::fopen(probePath.c_str(), "a")) {
        std::fputs((line + "\n").c_str(), f);
        std::fclose(f);
    }
}

// The widest text of Items on the list's canvas.
int widestItem(TCustomComboBox* combo) {
    TBitmap bitmap(1, 1);
    TCanvas* c = bitmap.Canvas();
    c->Font()->Assign(combo->Font());
    int widest = 0;
    for (int i = 0; i < combo->Items()->Count(); ++i)
        widest = std::max(widest, c->TextWidth(combo->Items()->Get(i)));
    return widest;
}

// Each header of the grid with the width its text needs in its header font and the width the
// cell gives it (the text starts and ends two pixels inside the cell, after its grid line).
std::string headersOf(TQorColumnGrid* g) {
    TBitmap bitmap(1, 1);
    TCanvas* c = bitmap.Canvas();
    std::string s = "\"headers\":[";
    for (int col = 0; col < g->ColCount(); ++col) {
        const int real = g->RealColIndex(col);
        c->Font()->Assign(g->Columns()->Items(real)->HeaderFont());
        const std::string text = g->Cells(real, 0);
        s += Format("%s[%s,%d,%d,%s]", std::string(col ? "," : ""), quoted(text),
                    c->TextWidth(text), g->ColWidths(col) - 5, quoted(c->Font()->Name()));
    }
    return s + "],";
}

// A grid's place, scroll position, current cell, whether a cell is being edited (and the width
// of an open list with its widest item), and the screen rectangles of the cells of its first
// rows in view, by displayed column.
std::string gridOf(TCustomGrid* g) {
    const TPoint origin = g->ClientToScreen({0, 0});
    auto* qor = dynamic_cast<TQorStringGrid*>(g);
    const bool editing = g->EditorMode() || (qor && qor->EditMode());
    std::string s =
        Format("{\"top\":%d,\"left\":%d,\"row\":%d,\"col\":%d,\"editing\":%s,", g->TopRow(),
               g->LeftCol(), g->Row(), g->Col(), std::string(editing ? "true" : "false"));
    if (TGridCombo* combo = qor ? qor->GridCombo() : nullptr; combo && combo->DroppedDown())
        s += Format("\"list\":[%d,%d],", int(combo->Perform(CB_GETDROPPEDWIDTH, 0, 0)),
                    widestItem(combo));
    if (auto* columns = dynamic_cast<TQorColumnGrid*>(g)) s += headersOf(columns);
    s += "\"widths\":[";
    for (int c = 0; c < g->ColCount(); ++c) s += (c ? "," : "") + IntToStr(g->ColWidths(c));
    s += "],\"cells\":{";
    bool first = true;
    const int last = std::min(g->RowCount() - 1, g->TopRow() + 8);
    for (int r = 0; r <= last; ++r) {
        if (r >= g->FixedRows() && r < g->TopRow()) continue;
        for (int c = 0; c < g->ColCount(); ++c) {
            TRect cell = g->CellRect(c, r);
            if (cell.Width() <= 0 || cell.Height() <= 0) continue;
            cell = Bounds(cell.Left + origin.X, cell.Top + origin.Y, cell.Width(), cell.Height());
            s += (first ? "" : ",") + quoted(Format("%d,%d", c, r)) + ":" + rectOf(cell);
            first = false;
        }
    }
    return s + "}}";
}

void addControls(TComponent* owner, std::string& controls, std::string& grids) {
    for (int i = 0; i < owner->ComponentCount(); ++i) {
        TComponent* c = owner->Components(i);
        auto* control = dynamic_cast<TControl*>(c);
        if (control && !control->Name().empty() && control->IsShowing()) {
            const TPoint at = control->ClientToScreen({0, 0});
            const std::string rect =
                rectOf(Bounds(at.X, at.Y, control->ClientWidth(), control->ClientHeight()));
            controls += (controls.empty() ? "" : ",") + quoted(control->Name()) + ":" +
                        Format("{\"rect\":%s,\"enabled\":%s,\"caption\":%s}", rect,
                               std::string(control->Enabled() ? "true" : "false"),
                               quoted(control->Caption()));
            if (auto* grid = dynamic_cast<TCustomGrid*>(control))
                grids += (grids.empty() ? "" : ",") + quoted(control->Name()) + ":" + gridOf(grid);
        }
        addControls(c, controls, grids);
    }
}

std::string snapshot() {
    TCustomForm* form = Screen->ActiveForm();
    if (!form || !form->Showing()) return {};
    std::string controls, grids;
    addControls(form, controls, grids);
    TWinControl* focused = FindControl(GetFocus());
    return Format("{\"form\":%s,\"caption\":%s,\"focus\":%s,\"controls\":{%s},\"grids\":{%s}}",
                  quoted(form->Name()), quoted(form->Caption()),
                  quoted(focused ? focused->Name() : std::string()), controls, grids);
}

// Records each message box, then lets the real service show it.
class TProbeDialogs : public TDialogService {
public:
    explicit TProbeDialogs(TDialogService& Inner) : inner_(Inner) {}
    TDialogAnswer Ask(const TDialogRequest& r) override {
        append(Format("{\"box\":%s,\"text\":%s}", quoted(r.Caption), quoted(r.Text)));
        return inner_.Ask(r);
    }

private:
    TDialogService& inner_;
};

} // namespace

void Start_Desktop_Probe() {
    const char* path = std::getenv("KNXGW_PROBE_FILE");
    if (!path || !*path) return;
    probePath = path;
    static TProbeDialogs dialogs(DialogService());
    SetDialogService(&dialogs);
    auto* timer = new TTimer(Application);
    timer->SetInterval(50);
    timer->OnTimer = [last = std::string()](TObject*) mutable {
        const std::string now = snapshot();
        if (now.empty() || now == last) return;
        last = now;
        append(now);
    };
}
