#include "controls/ColumnListDropDown.h"

#include "platform/base/SysUtils.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/Grids.h"
#include "platform/ui/core/SysInfo.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// A canvas to measure text on.
TCanvas* measuringCanvas() {
    static TBitmap bitmap(1, 1);
    return bitmap.Canvas();
}

} // namespace

TColumnListDropDown::TColumnListDropDown(TComponent* AOwner)
    : TQorCustomDropDown(AOwner), FColumns(std::make_unique<TDropDownColumns>(this)),
      FHeaderFont(std::make_unique<TFont>()) {
    FHeaderFont->SetColor(TColor(0x723708));
    SetDropDownColor(clWhite);
    SetDropDownHeight(200);
    SetAutoSelect(true);
    SetSelectionColorStyle(scOffice2007);
}

TColumnListDropDown::~TColumnListDropDown() = default;

TDropDownItems* TColumnListDropDown::Items() const {
    if (!FItems)
        FItems = const_cast<TColumnListDropDown*>(this)->CreateItems(
            const_cast<TColumnListDropDown*>(this));
    return FItems.get();
}

void TColumnListDropDown::Assign(const TPersistent* Source) {
    TQorCustomDropDown::Assign(Source);
    auto* s = dynamic_cast<const TColumnListDropDown*>(Source);
    if (!s) return;
    FCaseSensitive = s->FCaseSensitive;
    FDropDownAutoWidth = s->FDropDownAutoWidth;
    FDropDownRowHeight = s->FDropDownRowHeight;
    FLineColor = s->FLineColor;
    FFixedLineColor = s->FFixedLineColor;
    FColumnSizing = s->FColumnSizing;
    FColumnSizeWithDropDown = s->FColumnSizeWithDropDown;
    FColumns->Assign(s->FColumns.get());
    FHeaderColor = s->FHeaderColor;
    FHeaderColorTo = s->FHeaderColorTo;
    FHeaderHeight = s->FHeaderHeight;
    FHeaderFont->Assign(s->FHeaderFont.get());
    FLookupColumn = s->FLookupColumn;
    FSelectionTextColor = s->FSelectionTextColor;
    Items()->Assign(s->Items());
    FItemIndex = s->FItemIndex;
}

void TColumnListDropDown::Loaded() {
    TQorCustomDropDown::Loaded();
    rebuildLookupItems();
}

void TColumnListDropDown::SetDropDownRowHeight(int v) {
    // The popup's height is a whole number of rows of this height.
    FDropDownRowHeight = std::max(1, v);
}

std::string TColumnListDropDown::lookupText(int Item) const {
    return Items()->Items(Item)->ColumnText(FLookupColumn);
}

void TColumnListDropDown::SetItemIndex(int Value) {
    if (Value >= Items()->Count()) return;
    FItemIndex = Value;
    SetEditText(Value < 0 ? std::string() : lookupText(Value));
}

int TColumnListDropDown::GetItemIndex(const std::string& Value) const {
    return Items()->IndexInColumn(FLookupColumn, Value);
}

void TColumnListDropDown::rebuildLookupItems() {
    FLookupItems.clear();
    if (FLookupColumn < 0) return;
    for (int i = 0; i < Items()->Count(); ++i) FLookupItems.push_back(lookupText(i));
}

// --- item steps --------------------------------------------------------------------------------

void TColumnListDropDown::SelectFirstItem() {
    if (ListCount() > 0) SetItemIndex(0);
}

void TColumnListDropDown::SelectLastItem() {
    if (ListCount() > 0) SetItemIndex(ListCount() - 1);
}

void TColumnListDropDown::SelectNextItem() {
    const int n = ListCount();
    if (n == 0) return;
    if (FItemIndex == -1)
        SetItemIndex(0);
    else if (FItemIndex + 1 < n)
        SetItemIndex(FItemIndex + 1);
}

void TColumnListDropDown::SelectPreviousItem() {
    if (ListCount() == 0) return;
    if (FItemIndex == -1)
        SetItemIndex(0);
    else if (FItemIndex - 1 >= 0)
        SetItemIndex(FItemIndex - 1);
}

void TColumnListDropDown::SelectItemPageDown() {
    const int n = ListCount();
    if (n == 0) return;
    SetItemIndex(FItemIndex == -1 ? 0 : std::min(FItemIndex + 10, n - 1));
}

void TColumnListDropDown::SelectItemPageUp() {
    if (ListCount() == 0) return;
    SetItemIndex(FItemIndex - 10 >= 0 ? FItemIndex - 10 : 0);
}

void TColumnListDropDown::RememberOpening() {
    FOldItemIndex = FItemIndex;
    FOldText = Text();
}

void TColumnListDropDown::StepForKey(WORD Key, bool ToEnds) {
    switch (Key) {
    case VK_PRIOR:
        SelectItemPageUp();
        break;
    case VK_NEXT:
        SelectItemPageDown();
        break;
    case VK_END:
        if (ToEnds) SelectLastItem();
        break;
    case VK_HOME:
        if (ToEnds) SelectFirstItem();
        break;
    case VK_UP:
        SelectPreviousItem();
        break;
    case VK_DOWN:
        SelectNextItem();
        break;
    default:
        break;
    }
}

// --- colour styles -----------------------------------------------------------------------------

namespace {

constexpr TColor Same = TColor(0xFFFFFFFF);

struct ListLook {
    TColor Header, HeaderTo, HeaderFont;
    TSelectionColorStyle Selection;
    // The selection colours of scCustom.
    TColor SelectionColor;
    TColor Line, FixedLine, SelectionText;
};

// Indexed by TQorStyle; tsCustom is never applied.
constexpr std::array<ListLook, 16> listLooks{{
    {0xD68759, 0x933803, 0xFFFFFF, scOffice2007, Same, 0x962D00, 0x962D00, clBlack},
    {0xBDA4A5, 0x957475, Same, scOffice2007, Same, 0x947C7C, 0x947C7C, clBlack},
    {0x82C0AF, 0x447A63, Same, scOffice2007, Same, 0x588060, 0x588060, clBlack},
    {0x808080, 0x808080, Same, scOffice2007, Same, 0x808080, 0x808080, clBlack},
    {0xFFEFE3, 0xFFD2AF, 0x723708, scOffice2007, Same, 0xFFD2AF, 0xFFD2AF, clBlack},
    {0xF2F1F0, 0xC9C2BD, 0x433C37, scOffice2007, Same, 0x5C534C, 0x5C534C, clBlack},
    {clBtnFace, clBtnFace, clBlack, scCustom, clHighlight, 0xC0C0C0, clBlack, clHighlightText},
    {0xEBEEEF, 0x7E9898, 0xFFFFFF, scOffice2007, Same, 0x962D00, 0x962D00, clBlack},
    {},
    {0xF8F7F6, 0xE8E0DB, 0x8B4215, scOffice2007, Same, 0x74706F, 0x74706F, clBlack},
    {0xFFFDF9, 0xFFFAF0, clBlack, scWindowsVista, Same, 0xFCF2DA, 0xFCF2DA, clBlack},
    {0xFDFBFA, 0xFDF3EB, clBlack, scWindows7, Same, 0xFBD6B8, 0xFBD6B8, clBlack},
    {clBtnFace, clBtnFace, clBlack, scCustom, clHighlight, 0x808080, 0x808080, clHighlightText},
    {0xEDDBCD, clNone, 0x5B391E, scCustom, 0x6CD0FF, 0xEEDDCF, 0xEEDDCF, clBlack},
    {0xEDE9E5, clNone, 0x5B391E, scCustom, 0x6CD0FF, 0xEEDDCF, 0xEEDDCF, clBlack},
    {0x828282, clNone, 0xD7D7D6, scCustom, 0x6CD0FF, 0xEEDDCF, 0xEEDDCF, clBlack},
}};

} // namespace

void TColumnListDropDown::SetComponentStyle(TQorStyle AStyle) {
    TQorCustomDropDown::SetComponentStyle(AStyle);
    if (AStyle == tsCustom) return;
    const ListLook& l = listLooks[std::size_t(AStyle)];
    FHeaderColor = l.Header;
    FHeaderColorTo = l.HeaderTo;
    if (l.HeaderFont != Same) FHeaderFont->SetColor(l.HeaderFont);
    SetSelectionColorStyle(l.Selection);
    if (l.SelectionColor != Same) {
        SetSelectionColor(l.SelectionColor);
        SetSelectionColorTo(l.SelectionColor);
    }
    FLineColor = l.Line;
    FFixedLineColor = l.FixedLine;
    FSelectionTextColor = l.SelectionText;
}

void TColumnListDropDown::SetSelectionColorStyle(TSelectionColorStyle Value) {
    if (Value == scOffice2007) {
        FLineColor = TColor(0xF1EDEB);
        FFixedLineColor = TColor(0xD1BBA4);
    } else if (Value == scWindowsVista || Value == scWindows7) {
        FLineColor = TColor(0xECECF0);
        FFixedLineColor = TColor(0xD4D2D1);
    }
    TQorCustomDropDown::SetSelectionColorStyle(Value);
}

// --- the popup's size and columns --------------------------------------------------------------

void TColumnListDropDown::AdjustDropDownHeight(int& AHeight) {
    // The list shows whole rows only.
    int fixed = FHeaderHeight + 2;
    if (DropDownHeader()->Visible()) fixed += DropDownHeader()->Height();
    if (DropDownFooter()->Visible()) fixed += DropDownFooter()->Height();
    AHeight = fixed + (AHeight - fixed) / FDropDownRowHeight * FDropDownRowHeight;
}

bool AllRowsVisible(TCustomGrid& List) {
    return List.RowCount() <= List.FixedRows() ||
           List.VisibleRowCount() >= List.RowCount() - List.FixedRows();
}

int TotalWidth(TCustomGrid& List) {
    int w = 0;
    for (int i = 0; i < List.ColCount(); ++i) w += List.ColWidths(i);
    if (!AllRowsVisible(List)) w += GetSystemMetrics(SM_CXVSCROLL);
    return w;
}

void TColumnListDropDown::UpdateDropDownSize() {
    TQorCustomDropDown::UpdateDropDownSize();
    TCustomGrid* list = ListGrid();
    if (!FDropDownAutoWidth || !list || !FDropDownForm) return;
    list->SetAlign(alNone);
    list->SetWidth(TotalWidth(*list));
    FDropDownForm->SetWidth(list->Width() + 2 * DropDownBorderWidth());
    list->SetAlign(alClient);
}

void TColumnListDropDown::SizeColumnsToDropDown() {
    TCustomGrid* list = ListGrid();
    if (!FColumnSizeWithDropDown || FColumns->Count() == 0 || !list || !FDropDownForm) return;
    list->SetScrollBars(ssVertical);
    int total = 1;
    for (int i = 0; i < FColumns->Count(); ++i) total += FColumns->Items(i)->Width();
    int available = FDropDownForm->Width();
    if (!AllRowsVisible(*list)) available -= GetSystemMetrics(SM_CXVSCROLL);
    const double factor = double(available) / total;
    // The rounding errors are carried along: a column takes a pixel more once they pass one.
    double remainder = 0;
    for (int i = 0; i < FColumns->Count() && i < list->ColCount(); ++i) {
        const double w = factor * FColumns->Items(i)->Width();
        const int rounded = int(std::nearbyint(w));
        remainder += w - rounded;
        if (remainder > 1) {
            remainder -= 1;
            list->SetColWidths(i, rounded + 1);
        } else {
            list->SetColWidths(i, rounded);
        }
    }
}

void TColumnListDropDown::AutoSizeColumn(TCustomGrid& List, int Index,
                                         const TDropDownColumns& ListColumns) {
    const TDropDownColumn& column = *ListColumns.Items(Index);
    TCanvas* c = measuringCanvas();
    c->Font()->Assign(column.Font());
    int widest = 0;
    for (int i = 0; i < Items()->Count(); ++i) {
        const TDropDownItem& item = *Items()->Items(i);
        int w = 0;
        if (column.ColumnType() == ctImage && item.ImageIndex() >= 0 && Images())
            w += Images()->Width() + 4;
        const std::string text = item.ColumnText(Index);
        if (!text.empty()) w += c->TextWidth(text) + 6;
        widest = std::max(widest, w);
    }
    ListColumns.Items(Index)->SetWidth(widest);
    if (Index < FColumns->Count()) FColumns->Items(Index)->SetWidth(widest);
    List.SetColWidths(Index, widest);
}

void TColumnListDropDown::WordWrapRowHeights(TCustomGrid& List,
                                             const TDropDownColumns& ListColumns) {
    TCanvas* c = measuringCanvas();
    for (int r = List.FixedRows(); r < List.RowCount() && r - 1 < Items()->Count(); ++r) {
        const TDropDownItem& item = *Items()->Items(r - 1);
        int h = 24;
        for (int i = 0; i < ListColumns.Count() && i < List.ColCount(); ++i) {
            const TDropDownColumn& column = *ListColumns.Items(i);
            if (!column.Wordwrap()) continue;
            if (column.ColumnType() == ctImage && item.ImageIndex() >= 0 && Images())
                h = std::max(h, Images()->Height() + 6);
            c->Font()->Assign(column.Font());
            TRect rect{0, 0, List.ColWidths(i), 0};
            const int th = DrawText(c, item.ColumnText(i), -1, rect,
                                    DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
            h = std::max(h, th + 6);
        }
        List.SetRowHeights(r, h);
    }
}

bool TColumnListDropDown::overList(TPoint ScreenPos) const {
    TCustomGrid* list = ListGrid();
    if (!list) return false;
    const TPoint p = list->ScreenToClient(ScreenPos);
    return p.X >= 0 && p.Y >= 0 && p.X < list->Width() && p.Y < list->Height();
}

void TColumnListDropDown::DropDownMouseWheelDown(TShiftState Shift, TPoint MousePos,
                                                 bool& Handled) {
    if (!overList(MousePos)) TQorCustomDropDown::DropDownMouseWheelDown(Shift, MousePos, Handled);
}

void TColumnListDropDown::DropDownMouseWheelUp(TShiftState Shift, TPoint MousePos, bool& Handled) {
    if (!overList(MousePos)) TQorCustomDropDown::DropDownMouseWheelUp(Shift, MousePos, Handled);
}

// --- completion in the edit --------------------------------------------------------------------

void TColumnListDropDown::DoEnter() {
    TQorCustomDropDown::DoEnter();
    FOldValue = EditText();
}

void TColumnListDropDown::Change() {
    FItemChange = false;
    TQorCustomDropDown::Change();
    if ((ComponentState() & csDesigning) || !FWorkMode) return;
    SetModifiedFlag(EditText() != FOldValue);
    if (FLookupItems.empty()) return;
    const int caret = SelStart();
    const int index = CompleteBeforeCaret(
        int(FLookupItems.size()), [this](int i) { return FLookupItems[std::size_t(i)]; },
        FMatchCase);
    if (index >= 0) {
        FItemIndex = index;
        FItemIdx = index;
        FItemSel = caret;
        FItemChange = true;
    }
}

void TColumnListDropDown::KeyDown(WORD& Key, TShiftState Shift) {
    if (FLookupColumn < 0 || Items()->Count() == 0) {
        TQorCustomDropDown::KeyDown(Key, Shift);
        return;
    }
    FWorkMode = !(Key == VK_BACK || Key == VK_ESCAPE || Key == VK_DELETE);
    if (Key == VK_RETURN) {
        const std::string upper = AnsiUpperCase(EditText());
        for (std::size_t i = 0; i < FLookupItems.size(); ++i)
            if (AnsiUpperCase(FLookupItems[i]) == upper) {
                SetEditText(FLookupItems[i]);
                SetItemIndex(int(i));
                Change();
                break;
            }
    }
    const WORD key = Key;
    TQorCustomDropDown::KeyDown(Key, Shift);
    if (key == VK_ESCAPE) {
        // A text that is no entry stays: only the index lets go of the item.
        const auto at = std::find(FLookupItems.begin(), FLookupItems.end(), EditText());
        if (at != FLookupItems.end())
            SetItemIndex(int(at - FLookupItems.begin()));
        else
            FItemIndex = -1;
    }
}

void TColumnListDropDown::KeyUp(WORD& Key, TShiftState Shift) {
    if (!(Key == VK_RETURN && ReturnIsTab())) TQorCustomDropDown::KeyUp(Key, Shift);
    if (!FItemChange) return;
    SetItemIndex(FItemIdx);
    SetSelStart(FItemSel);
    SetSelLength(int(Utf8Length(EditText())) - FItemSel);
    FItemChange = false;
}
