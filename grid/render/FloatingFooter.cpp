#include "grid/render/FloatingFooter.h"

#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridDraw.h"
#include "grid/render/markup/MarkupRender.h"
#include "platform/ui/core/Forms.h"

// --- TFloatingFooter --------------------------------------------------------------------------
void TFloatingFooter::changed(TFooterChange what) {
    if (OnChange) OnChange(what);
}

void TFloatingFooter::Assign(const TPersistent* Source) {
    auto src = dynamic_cast<const TFloatingFooter*>(Source);
    if (!src) return;
    FCalculateHiddenRows = src->FCalculateHiddenRows;
    FColor = src->FColor;
    FColumn = src->FColumn;
    FCustomTemplate = src->FCustomTemplate;
    FFooterStyle = src->FFooterStyle;
    SetVisible(src->FVisible);
    SetShowHint(src->FShowHint);
}

void TFloatingFooter::SetVisible(bool v) {
    FVisible = v;
    changed(fcVisible);
}

void TFloatingFooter::SetFooterStyle(TFooterStyle v) {
    FFooterStyle = v;
    changed(fcStyle);
}

void TFloatingFooter::SetHeight(int v) {
    FHeight = v;
    changed(fcHeight);
}

void TFloatingFooter::SetShowHint(bool v) {
    FShowHint = v;
    changed(fcHint);
}

void TFloatingFooter::SetBorderColor(TColor v) {
    if (v == FBorderColor) return;
    FBorderColor = v;
    changed(fcPaint);
}

void TFloatingFooter::SetColor(TColor v) {
    FColor = v;
    changed(fcPaint);
}

void TFloatingFooter::SetColumn(int v) {
    FColumn = v;
    changed(fcPaint);
}

void TFloatingFooter::SetCustomTemplate(const std::string& v) {
    FCustomTemplate = v;
    changed(fcPaint);
}

void TFloatingFooter::Invalidate() {
    changed(fcPaint);
}

TColumnCalcType TFloatingFooter::GetColumnCalc(int ACol) const {
    if (!FGrid) return acNONE;
    const int last = FGrid->RowCount() - 1;
    if (!FGrid->HasCellProperties(ACol, last)) return acNONE;
    return FGrid->GetCellProperties(ACol, last)->CalcType();
}

void TFloatingFooter::SetColumnCalc(int ACol, TColumnCalcType Value) {
    if (!FGrid) return;
    FGrid->GetCellProperties(ACol, FGrid->RowCount() - 1)->SetCalcType(Value);
    FGrid->CalcFooter(ACol);
}

std::string ExpandFooterTemplate(const std::string& Template,
                                 const std::function<int()>& ColumnCount,
                                 const std::function<std::string(int Column)>& CellText) {
    std::string out;
    std::size_t at = 0;
    while (true) {
        const std::size_t open = Template.find("<#", at);
        if (open == std::string::npos) break;
        const std::size_t close = Template.find('>', open + 2);
        if (close == std::string::npos) break;
        out += Template.substr(at, open - at);
        const std::string field = Template.substr(open + 2, close - open - 2);
        bool number = !field.empty() && field.size() < 10;
        for (char c : field) number = number && c >= '0' && c <= '9';
        // A column the grid does not have is dropped like a field that is no number.
        if (number) {
            const int col = std::stoi(field);
            if (col < ColumnCount()) out += CellText(col);
        }
        at = close + 1;
    }
    return out + Template.substr(at);
}

// --- TFooterPanel -----------------------------------------------------------------------------
TFooterPanel::TFooterPanel(TComponent* AOwner)
    : TCustomPanel(AOwner), FGrid(dynamic_cast<TQorStringGrid*>(AOwner)) {
    SetBevelOuter(bvNone);
    SetShowCaption(false);
}

void TFooterPanel::CreateWnd() {
    TCustomPanel::CreateWnd();
    if (!FGrid) return;
    TFloatingFooter* f = FGrid->FloatingFooter();
    // As the footer's Visible setting sizes it.
    SetHeight(f->Visible() ? std::max(0, f->Height() - 1) : 0);
    if (FGrid->OnCreatedFloatingFooter) FGrid->OnCreatedFloatingFooter(FGrid);
}

template <typename F> void TFooterPanel::eachColumn(F f) const {
    // Each column spans its width and the grid line after it, as the cells above it do.
    int x = 0;
    const int line = FGrid->TCustomGrid::GridLineWidth();
    auto visit = [&](int c) {
        const int w = FGrid->ColWidths(c);
        if (!f(c, x, w)) return false;
        x += w + line;
        return true;
    };
    for (int c = 0; c < FGrid->FixedCols(); ++c)
        if (!visit(c)) return;
    for (int c = std::max(FGrid->LeftCol(), FGrid->FixedCols()); c < FGrid->ColCount(); ++c)
        if (!visit(c)) return;
}

int TFooterPanel::FooterWidth() const {
    int width = 0;
    eachColumn([&](int, int x, int w) {
        width = x + w;
        return true;
    });
    return width;
}

bool TFooterPanel::mirrored() const {
    return FGrid && FGrid->UseRightToLeftAlignment();
}

TRect TFooterPanel::shown(const TRect& R) const {
    return mirrored() ? MirrorWithin(R, TRect(0, 0, Width(), Height())) : R;
}

void TFooterPanel::hline(TCanvas* C, int Left, int Right, int Y) const {
    const TRect r = shown(TRect(Left, Y, Right, Y + 1));
    C->MoveTo(r.Left, Y);
    C->LineTo(r.Right, Y);
}

void TFooterPanel::vline(TCanvas* C, int X, int Top, int Bottom) const {
    const int x = mirrored() ? Width() - 1 - X : X;
    C->MoveTo(x, Top);
    C->LineTo(x, Bottom);
}

int TFooterPanel::FooterColumnAt(int X) const {
    if (mirrored()) X = Width() - 1 - X;
    int found = -1;
    eachColumn([&](int c, int x, int w) {
        if (X >= x && X < x + w + FGrid->TCustomGrid::GridLineWidth()) {
            found = c;
            return false;
        }
        return true;
    });
    return found;
}

TRect TFooterPanel::FooterColumnRect(int ACol) const {
    TRect r;
    eachColumn([&](int c, int x, int w) {
        if (c != ACol) return true;
        r = shown(TRect(x, 0, x + w, Height()));
        return false;
    });
    return r;
}

void TFooterPanel::Paint() {
    TCanvas* C = Canvas();
    if (!FGrid) {
        TCustomPanel::Paint();
        return;
    }
    TFloatingFooter* f = FGrid->FloatingFooter();
    int painted = FooterWidth();
    switch (f->FooterStyle()) {
    case fsFixedLastRow:
        paintFixedLastRow(C);
        break;
    case fsColumnPreview:
    case fsCustomPreview:
        paintPreview(C, f->FooterStyle() == fsCustomPreview);
        break;
    case fsCustomPaint:
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(FGrid->Color());
        C->FillRect(ClientRect());
        if (FGrid->OnPaintFooter)
            FGrid->OnPaintFooter(FGrid, C, f->Column(), shown(TRect(0, 0, painted, Height())));
        break;
    }
    if (f->BorderColor() != clNone) {
        C->Pen()->SetColor(f->BorderColor());
        hline(C, 0, painted, 0);
    }
}

void TFooterPanel::paintFixedLastRow(TCanvas* C) {
    TFloatingFooter* f = FGrid->FloatingFooter();
    const int width = FooterWidth();
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(f->Color());
    C->FillRect(shown(TRect(0, 0, width, Height())));
    C->Brush()->SetColor(FGrid->Color());
    C->FillRect(shown(TRect(width, 0, Width(), Height())));

    const TGridOptions o = FGrid->Options();
    const bool vert = o.Contains(goFixedVertLine), horz = o.Contains(goFixedHorzLine);
    const TGridLook look = FGrid->Look();
    const bool raised =
        !FGrid->Flat() && (look == glSoft || look == glQor || look == glXP || look == glVista);
    const int row = FGrid->RowCount() - 1;
    eachColumn([&](int c, int x, int w) {
        const int right = x + w;
        if (vert && raised) {
            C->Pen()->SetColor(clWhite);
            vline(C, x, 0, Height());
        }
        if (horz) {
            C->Pen()->SetColor(FGrid->GridLineColor());
            hline(C, x, right + 1, 0);
        }
        if (vert) {
            const bool fixed = c < FGrid->FixedCols();
            C->Pen()->SetColor(fixed || look == glVista ? FGrid->GridLineColor() : TColor(clGray));
            vline(C, right, 0, Height());
        }
        const int realCol = FGrid->RealColIndex(c);
        if (realCol < 0 || FGrid->IsMergedNonBaseCell(realCol, row)) return true;
        TRect r(x, 0, right, Height());
        if (FGrid->IsMergedCell(realCol, row)) {
            // A merged cell spans the columns it covers.
            const TPoint span = FGrid->CellSpan(realCol, row);
            int extra = 0;
            for (int i = 1; i <= span.X && c + i < FGrid->ColCount(); ++i)
                extra += FGrid->ColWidths(c + i) + FGrid->TCustomGrid::GridLineWidth();
            r.Right += extra;
        }
        if (horz && raised) ++r.Left;
        if (horz) ++r.Top;
        r = shown(r);
        if (FGrid->OnPaintFooter) {
            FGrid->OnPaintFooter(FGrid, C, c, r);
            return true;
        }
        if (c >= FGrid->FixedCols()) {
            TBrush brush;
            TFont font;
            brush.SetColor(clNone);
            if (FGrid->OnGetCellColor) FGrid->OnGetCellColor(FGrid, row, c, {}, &brush, &font);
            TColor fillColor = brush.Color();
            if (const TColor own = FGrid->Colors(realCol, row); own != clNone) fillColor = own;
            if (fillColor != clNone) {
                C->Brush()->SetColor(fillColor);
                C->FillRect(r);
            }
        }
        FGrid->DrawGridCell(C, c, row, r, TGridDrawState{gdFixed});
        return true;
    });
}

void TFooterPanel::paintPreview(TCanvas* C, bool Template) {
    TFloatingFooter* f = FGrid->FloatingFooter();
    const int width = FooterWidth();
    const TRect area = shown(TRect(0, 0, width, Height()));
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(f->Color());
    C->FillRect(area);
    C->Pen()->SetColor(clWhite);
    C->MoveTo(area.Left, area.Bottom - 1);
    C->LineTo(area.Left, area.Top);
    C->LineTo(area.Right - 1, area.Top);
    C->Pen()->SetColor(clGray);
    C->LineTo(area.Right - 1, area.Bottom - 1);
    C->LineTo(area.Left, area.Bottom - 1);
    C->Brush()->SetColor(FGrid->Color());
    C->FillRect(shown(TRect(width, 0, Width(), Height())));

    if (!Template) {
        // Only for this drawing: setting it through the property would repaint the grid.
        const TColor saved = FGrid->FSelectionTextColor;
        FGrid->FSelectionTextColor = clBlack;
        if (FGrid->OnPaintFooter)
            FGrid->OnPaintFooter(FGrid, C, f->Column(), area);
        else
            FGrid->DrawGridCell(C, FGrid->DisplColIndex(f->Column()), FGrid->Row(), area, {});
        FGrid->FSelectionTextColor = saved;
        return;
    }
    C->Font()->Assign(FGrid->Font());
    const TRect text(area.Left, area.Top + 2, area.Right, area.Bottom);
    if (FGrid->Designing()) {
        C->Brush()->SetStyle(bsClear);
        C->TextOut(text.Left + 2, text.Top, f->CustomTemplate());
        C->Brush()->SetStyle(bsSolid);
        return;
    }
    const int realRow = FGrid->RealRowIndex(FGrid->Row());
    const std::string expanded = ExpandFooterTemplate(
        f->CustomTemplate(), [this] { return FGrid->AllColCount(); },
        [this, realRow](int col) { return FGrid->AllCells(col, realRow); });
    HTMLRenderOptions options;
    options.ShadowShift = 1;
    options.ShadowColor = clGray;
    options.LinkColor = FGrid->URLColor();
    options.WordWrap = !FGrid->EnhTextSize();
    options.BiDiMode = FGrid->BiDiMode();
    HTMLRenderResult result;
    HTMLRenderText(*C, expanded, text, options, result);
}

void TFooterPanel::CMHintShow(TMessage& Message) {
    auto* info = reinterpret_cast<THintInfo*>(Message.LParam);
    if (!FGrid || !info) return;
    TFloatingFooter* f = FGrid->FloatingFooter();
    const int col = FooterColumnAt(info->CursorPos.X);
    FLastHintX = col;
    std::string hint;
    if (col >= 0 && FGrid->OnGridHint) FGrid->OnGridHint(FGrid, FGrid->RowCount() - 1, col, hint);
    info->HintStr = hint;
    // Nothing is shown without the footer's ShowHint or past the last column.
    Message.Result = f->ShowHint() && col >= 0 && !hint.empty() ? 0 : 1;
}

void TFooterPanel::CMMouseLeave(TMessage& Message) {
    TCustomPanel::CMMouseLeave(Message);
    FLastHintX = -1;
}

void TFooterPanel::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomPanel::MouseMove(Shift, X, Y);
    if (FLastHintX != -1 && FooterColumnAt(X) != FLastHintX) {
        Application->CancelHint();
        FLastHintX = -1;
    }
}

void TFooterPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomPanel::MouseUp(Button, Shift, X, Y);
    if (!FGrid) return;
    if (FGrid->OnClick) FGrid->OnClick(FGrid);
    const int col = FooterColumnAt(X);
    if (col >= 0 && FGrid->OnClickCell) FGrid->OnClickCell(FGrid, FGrid->RowCount() - 1, col);
}
