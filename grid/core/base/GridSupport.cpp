#include "grid/core/base/GridSupport.h"

#include "platform/base/SysUtils.h"
#include "platform/gfx/Imaging.h"

#include <algorithm>

// --- TIntList ---------------------------------------------------------------------------------
void TIntList::checkIndex(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}

void TIntList::changed() {
    if (OnChange) OnChange(this, FCol, FRow);
}

int TIntList::GetInteger(int Index) const {
    checkIndex(Index);
    return items_[std::size_t(Index)];
}

void TIntList::SetInteger(int Index, int Value) {
    checkIndex(Index);
    items_[std::size_t(Index)] = Value;
    changed();
}

int TIntList::Add(int Value) {
    items_.push_back(Value);
    changed();
    return Count() - 1;
}

void TIntList::Delete(int Index) {
    checkIndex(Index);
    items_.erase(items_.begin() + Index);
    changed();
}

void TIntList::Insert(int Index, int Value) {
    if (Index < 0 || Index > Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    items_.insert(items_.begin() + Index, Value);
}

int TIntList::IndexOf(int Value) const {
    const auto it = std::find(items_.begin(), items_.end(), Value);
    return it == items_.end() ? -1 : int(it - items_.begin());
}

void TIntList::DeleteValue(int Value) {
    const int i = IndexOf(Value);
    if (i >= 0) Delete(i);
}

bool TIntList::HasValue(int Value) const {
    return IndexOf(Value) >= 0;
}

std::string TIntList::StrValue() const {
    std::string out;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (i > 0) out += ',';
        out += std::to_string(items_[i]);
    }
    return out;
}

void TIntList::SetStrValue(const std::string& Value) {
    Clear();
    TStringList parts;
    parts.SetCommaText(Value);
    for (int i = 0; i < parts.Count(); ++i) Add(StrToInt(parts[i]));
}

// --- TSortIndexList ---------------------------------------------------------------------------
namespace {
constexpr unsigned DescendingBit = 0x80000000u;
constexpr unsigned ColumnBits = 0x7FFFFFFFu;
} // namespace

void TSortIndexList::AddIndex(int ACol, bool Ascending) {
    unsigned v = unsigned(ACol);
    if (!Ascending) v |= DescendingBit;
    Add(int(v));
}

int TSortIndexList::FindIndex(int ACol) const {
    for (int i = 0; i < Count(); ++i)
        if ((unsigned(GetInteger(i)) & ColumnBits) == (unsigned(ACol) & ColumnBits)) return i;
    return -1;
}

void TSortIndexList::ToggleIndex(int ACol) {
    const int i = FindIndex(ACol);
    if (i >= 0) SetInteger(i, int(unsigned(GetInteger(i)) ^ DescendingBit));
}

int TSortIndexList::GetSortColumns(int Index) const {
    return int(unsigned(GetInteger(Index)) & ColumnBits);
}

void TSortIndexList::SetSortColumns(int Index, int ACol) {
    const unsigned v = unsigned(GetInteger(Index));
    SetInteger(Index, int((v & DescendingBit) | (unsigned(ACol) & ColumnBits)));
}

bool TSortIndexList::GetSortDirections(int Index) const {
    return (unsigned(GetInteger(Index)) & DescendingBit) == 0;
}

void TSortIndexList::SetSortDirections(int Index, bool Ascending) {
    unsigned v = unsigned(GetInteger(Index));
    v = Ascending ? (v & ColumnBits) : (v | DescendingBit);
    SetInteger(Index, int(v));
}

std::string TSortIndexList::SaveToString() const {
    std::string out;
    for (int i = 0; i < Count(); ++i) {
        if (i > 0) out += ';';
        out += GetSortDirections(i) ? 'u' : 'd';
        out += std::to_string(unsigned(GetInteger(i)) & 0xFFFFu);
    }
    return out;
}

void TSortIndexList::LoadFromString(const std::string& Value) {
    Clear();
    std::size_t start = 0;
    while (start <= Value.size()) {
        std::size_t end = Value.find(';', start);
        if (end == std::string::npos) end = Value.size();
        const std::string item = Value.substr(start, end - start);
        if (item.size() >= 2) AddIndex(StrToInt(item.substr(1)), item[0] == 'u');
        start = end + 1;
    }
}

// --- TControlList -----------------------------------------------------------------------------
void TControlList::AddControl(int ACol, int ARow, TControl* AControl) {
    items_.push_back(std::make_unique<TControlItem>(ACol, ARow, AControl));
}

int TControlList::ControlIndex(int ACol, int ARow) const {
    for (int i = 0; i < Count(); ++i)
        if (items_[std::size_t(i)]->X() == ACol && items_[std::size_t(i)]->Y() == ARow) return i;
    return -1;
}

TControlItem* TControlList::GetControl(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return items_[std::size_t(Index)].get();
}

bool TControlList::HasHandle(HWND Handle) const {
    for (const auto& item : items_)
        if (auto* win = dynamic_cast<TWinControl*>(item->Control()); win && win->Handle() == Handle)
            return true;
    return false;
}

void TControlList::RemoveControl(int Index) {
    if (Index < 0 || Index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    items_.erase(items_.begin() + Index);
}

// --- TFileStringList --------------------------------------------------------------------------
void TFileStringList::Reset() {
    fp = 0;
    cache.clear();
}

void TFileStringList::ReadLn(std::string& Line) {
    Line = Get(fp);
    ++fp;
}

void TFileStringList::WriteLn(const std::string& Text) {
    Add(cache + Text);
    cache.clear();
}

// --- TFilePicture -----------------------------------------------------------------------------
void TFilePicture::SetFilename(const std::string& Value) {
    FFilename = Value;
    FWidth = FHeight = 0;
    if (Value.empty()) return;
    TPicture picture;
    picture.LoadFromFile(Value);
    FWidth = picture.Width();
    FHeight = picture.Height();
}

void TFilePicture::DrawPicture(TCanvas* Canvas, const TRect& R) const {
    if (FFilename.empty()) return;
    TPicture picture;
    picture.LoadFromFile(FFilename);
    Canvas->StretchDraw(R, picture.Graphic());
}

void TFilePicture::Assign(const TPersistent* Source) {
    const auto* src = dynamic_cast<const TFilePicture*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    FFilename = src->FFilename;
    FWidth = src->FWidth;
    FHeight = src->FHeight;
}

// --- TArrowWindow -----------------------------------------------------------------------------
namespace {
const std::array<TPoint, 7> arrowOutlines[] = {
    {{{5, 0}, {10, 5}, {7, 5}, {7, 9}, {3, 9}, {3, 5}, {0, 5}}}, // arrUp
    {{{3, 0}, {7, 0}, {7, 4}, {9, 4}, {5, 8}, {1, 4}, {3, 4}}},  // arrDown
    {{{0, 3}, {0, 7}, {4, 7}, {4, 10}, {8, 5}, {4, 0}, {4, 3}}}, // arrLeft
    {{{0, 5}, {4, 10}, {4, 7}, {8, 7}, {8, 3}, {4, 3}, {4, 0}}}, // arrRight
};
} // namespace

TArrowWindow::TArrowWindow(TComponent* AOwner, TArrowDirection Direction)
    : TPanel(AOwner), Dir(Direction), Arrow(arrowOutlines[Direction]) {
    SetColor(clLime);
    // Hidden before it gets its parent, so that no window shows on the way.
    SetVisible(false);
    SetParent(dynamic_cast<TWinControl*>(AOwner));
}

void TArrowWindow::CreateParams(TCreateParams& Params) {
    TPanel::CreateParams(Params);
    Params.Style = WS_POPUP;
}

void TArrowWindow::CreateWnd() {
    TPanel::CreateWnd();
    SetWindowRgn(Handle(), CreatePolygonRgn(Arrow.data(), int(Arrow.size()), WINDING), true);
}

void TArrowWindow::Paint() {
    Canvas()->Pen()->SetColor(Color());
    Canvas()->Brush()->SetColor(Color());
    Canvas()->Rectangle(ClientRect());
}

// --- TGridFocusWindow -------------------------------------------------------------------------
TGridFocusWindow::TGridFocusWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    SetWidth(0);
    SetHeight(0);
    SetColor(clRed);
}

void TGridFocusWindow::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_DISABLED;
    Params.ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
}
