// TQorStringGrid's cell decorations: attaching, reading, changing and removing the one graphic
// a cell may carry (images, pictures, progress bars, comments, buttons, balloons, radio groups
// ...). The graphic lives in the cell's properties, which free it with themselves.
#include "grid/core/QorStringGrid.h"
#include "grid/render/ControlLook.h"

#include <cmath>
#include <memory>

namespace {

// Graphics the grid or the column grid share between cells: never freed with a cell.
bool isShared(const TCellGraphic* g) {
    return g && (g->CellType() == ctVirtCheckBox || g->CellType() == ctRowCheckBox);
}

// Check boxes and radio buttons that carry a balloon list in their bitmap place.
bool carriesBalloon(TCellType t) {
    return t == ctCheckBox || t == ctDataCheckBox || t == ctRadioButton;
}

bool isButton(const TCellGraphic* g) {
    return g && (g->CellType() == ctButton || g->CellType() == ctBitButton);
}

} // namespace

// --- shared steps ------------------------------------------------------------------------------

TCellGraphic* TQorStringGrid::NewCellGraphic(int ACol, int ARow) {
    // Only the cell's own graphic goes; a shared stand-in is not the cell's to free.
    if (HasCellProperties(ACol, ARow)) propsOf(ACol, ARow)->FreeGraphic();
    auto graphic = std::make_unique<TCellGraphic>();
    SetGraphicObjects(ACol, ARow, graphic.get());
    TCellGraphic* g = graphic.release();
    if (FNumHidden > 0 && DisplColIndex(ACol) != ACol) RepaintCell(DisplColIndex(ACol), ARow);
    return g;
}

bool TQorStringGrid::RemoveCellGraphic(int ACol, int ARow) {
    if (!HasCellProperties(ACol, ARow)) return false;
    TCellProperties* p = propsOf(ACol, ARow);
    auto* g = dynamic_cast<TCellGraphic*>(p->GraphicObject());
    if (!g) return false;
    if (isShared(g))
        p->SetGraphicObject(nullptr);
    else
        p->FreeGraphic();
    if (!IsDestroying()) RepaintCell(DisplColIndex(ACol), ARow);
    return true;
}

bool TQorStringGrid::RemoveCellGraphicOfType(int ACol, int ARow, TCellType T) {
    return GetCellType(ACol, ARow) == T && RemoveCellGraphic(ACol, ARow);
}

bool TQorStringGrid::HasCellType(int ACol, int ARow, std::initializer_list<TCellType> Types) {
    if (ACol < 0 || ARow < 0) return false;
    const TPoint b = BaseCell(ACol, ARow);
    const TCellType t = GetCellType(b.X, b.Y);
    for (TCellType x : Types)
        if (x == t) return true;
    return false;
}

// --- bitmaps, pictures and icons ---------------------------------------------------------------

void TQorStringGrid::AddBitmap(int ACol, int ARow, TBitmap* ABmp, bool Transparent, TCellHAlign hal,
                               TCellVAlign val) {
    NewCellGraphic(ACol, ARow)->SetBitmap(ABmp, Transparent, hal, val);
}

TBitmap* TQorStringGrid::CreateBitmap(int ACol, int ARow, bool Transparent, TCellHAlign hal,
                                      TCellVAlign val) {
    TCellGraphic* g = NewCellGraphic(ACol, ARow);
    auto bmp = std::make_unique<TBitmap>();
    g->SetBitmap(bmp.get(), Transparent, hal, val);
    g->SetCellCreated(true);
    return bmp.release();
}

TBitmap* TQorStringGrid::GetBitmap(int ACol, int ARow) {
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    return g && g->CellType() == ctBitmap ? dynamic_cast<TBitmap*>(g->CellBitmap()) : nullptr;
}

void TQorStringGrid::AddPicture(int ACol, int ARow, TPicture* APicture, bool Transparent,
                                TStretchMode StretchMode, int Padding, TCellHAlign hal,
                                TCellVAlign val) {
    NewCellGraphic(ACol, ARow)->SetPicture(APicture, Transparent, StretchMode, Padding, hal, val);
}

TPicture* TQorStringGrid::CreatePicture(int ACol, int ARow, bool Transparent,
                                        TStretchMode StretchMode, int Padding, TCellHAlign hal,
                                        TCellVAlign val) {
    TCellGraphic* g = NewCellGraphic(ACol, ARow);
    auto picture = std::make_unique<TPicture>();
    g->SetPicture(picture.get(), Transparent, StretchMode, Padding, hal, val);
    g->SetCellCreated(true);
    return picture.release();
}

TPicture* TQorStringGrid::GetPicture(int ACol, int ARow) {
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    return g && g->CellType() == ctPicture ? dynamic_cast<TPicture*>(g->CellBitmap()) : nullptr;
}

void TQorStringGrid::AddFilePicture(int ACol, int ARow, TFilePicture* AFilePicture,
                                    bool Transparent, TStretchMode StretchMode, int Padding,
                                    TCellHAlign hal, TCellVAlign val) {
    NewCellGraphic(ACol, ARow)
        ->SetFilePicture(AFilePicture, Transparent, StretchMode, Padding, hal, val);
}

TFilePicture* TQorStringGrid::CreateFilePicture(int ACol, int ARow, bool Transparent,
                                                TStretchMode StretchMode, int Padding,
                                                TCellHAlign hal, TCellVAlign val) {
    TCellGraphic* g = NewCellGraphic(ACol, ARow);
    auto picture = std::make_unique<TFilePicture>();
    g->SetFilePicture(picture.get(), Transparent, StretchMode, Padding, hal, val);
    g->SetCellCreated(true);
    return picture.release();
}

TFilePicture* TQorStringGrid::GetFilePicture(int ACol, int ARow) {
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    return g && g->CellType() == ctFilePicture ? dynamic_cast<TFilePicture*>(g->CellBitmap())
                                               : nullptr;
}

void TQorStringGrid::AddIcon(int ACol, int ARow, TIcon* AIcon, TCellHAlign hal, TCellVAlign val) {
    NewCellGraphic(ACol, ARow)->SetIcon(AIcon, hal, val);
}

TIcon* TQorStringGrid::CreateIcon(int ACol, int ARow, TCellHAlign hal, TCellVAlign val) {
    TCellGraphic* g = NewCellGraphic(ACol, ARow);
    auto icon = std::make_unique<TIcon>();
    g->SetIcon(icon.get(), hal, val);
    g->SetCellCreated(true);
    return icon.release();
}

// --- image list images -------------------------------------------------------------------------

void TQorStringGrid::AddImageIdx(int ACol, int ARow, int Aidx, TCellHAlign hal, TCellVAlign val) {
    if (!FGridImages) return;
    NewCellGraphic(ACol, ARow)->SetImageIdx(Aidx, hal, val);
}

bool TQorStringGrid::GetImageIdx(int ACol, int ARow, int& idx) {
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!FGridImages || !g || g->CellType() != ctImageList) return false;
    idx = g->CellIndex();
    return true;
}

void TQorStringGrid::SetImageIdx(int ACol, int ARow, int Idx) {
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (FGridImages && g && g->CellType() == ctImageList) g->SetCellIndex(Idx);
}

void TQorStringGrid::AddDataImage(int ACol, int ARow, int Aidx, TCellHAlign hal, TCellVAlign val) {
    if (!FGridImages) return;
    NewCellGraphic(ACol, ARow)->SetDataImage(Aidx, hal, val);
    if (Cells(ACol, ARow).empty()) SetInts(ACol, ARow, Aidx);
}

void TQorStringGrid::RemoveDataImage(int ACol, int ARow) {
    RemoveCellGraphicOfType(ACol, ARow, ctDataImage);
    SetCells(ACol, ARow, "");
}

void TQorStringGrid::AddMultiImage(int ACol, int ARow, int Dir, TCellHAlign hal, TCellVAlign val) {
    if (!FGridImages) return;
    NewCellGraphic(ACol, ARow)
        ->SetMultiImage(ACol, ARow, Dir, hal, val,
                        [this](TObject*, int c, int r) { RepaintCell(DisplColIndex(c), r); });
}

// --- rotated text and interfaced cells -----------------------------------------------------------

void TQorStringGrid::AddRotated(int ACol, int ARow, short AAngle, const std::string& s) {
    NewCellGraphic(ACol, ARow)->SetAngle(AAngle);
    SetCells(ACol, ARow, s);
}

void TQorStringGrid::SetRotated(int ACol, int ARow, short AAngle) {
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g || isShared(g)) g = NewCellGraphic(ACol, ARow);
    g->SetAngle(AAngle);
    RepaintCell(DisplColIndex(ACol), ARow);
}

bool TQorStringGrid::IsRotated(int ACol, int ARow, int& aAngle) {
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g || g->CellType() != ctRotated) return false;
    aAngle = g->CellAngle();
    return true;
}

void TQorStringGrid::AddInterfacedCell(int ACol, int ARow, TObject* AObject) {
    NewCellGraphic(ACol, ARow)->SetInterfacedCell(AObject);
}

TObject* TQorStringGrid::GetInterfacedCell(int ACol, int ARow) {
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    return g && g->CellType() == ctInterface ? g->CellBitmap() : nullptr;
}

// --- progress bars, pies and range indicators ---------------------------------------------------

namespace {
void setProgress(TCellGraphic& g, TColor FGColor, TColor FGTextColor, TColor BKColor,
                 TColor BKTextColor, bool ownTextColors, const std::string& Fmt, int Min, int Max) {
    g.SetCellType(ctProgress);
    g.SetCellBitmapColor(FGColor);
    g.SetCellIconColor(BKColor);
    g.SetCellIndex(FGTextColor);
    g.SetCellAngle(BKTextColor);
    g.SetCellBoolean(ownTextColors);
    g.SetCellErrFrom(Min);
    g.SetCellErrLen(Max);
    g.SetCellText(Fmt);
    g.SetCellHAlign(haLeft);
    g.SetCellVAlign(vaTop);
}
} // namespace

void TQorStringGrid::AddProgress(int ACol, int ARow, TColor FGColor, TColor BKColor) {
    // Without own text colours the text takes the other part's colour.
    setProgress(*NewCellGraphic(ACol, ARow), FGColor, BKColor, BKColor, FGColor, false, "", 0, 100);
    if (FAutoNumAlign) SetAlignments(ACol, ARow, taRightJustify);
}

void TQorStringGrid::AddProgressEx(int ACol, int ARow, TColor FGColor, TColor FGTextColor,
                                   TColor BKColor, TColor BKTextColor) {
    setProgress(*NewCellGraphic(ACol, ARow), FGColor, FGTextColor, BKColor, BKTextColor, true, "",
                0, 100);
    if (FAutoNumAlign) SetAlignments(ACol, ARow, taRightJustify);
}

void TQorStringGrid::AddProgressFormatted(int ACol, int ARow, TColor FGColor, TColor FGTextColor,
                                          TColor BKColor, TColor BKTextColor,
                                          const std::string& Fmt, int Min, int Max) {
    setProgress(*NewCellGraphic(ACol, ARow), FGColor, FGTextColor, BKColor, BKTextColor, true, Fmt,
                Min, Max);
    if (FAutoNumAlign) SetAlignments(ACol, ARow, taRightJustify);
}

void TQorStringGrid::AddQorProgress(int ACol, int ARow, int Min, int Max) {
    TCellGraphic* g = NewCellGraphic(ACol, ARow);
    g->SetCellType(ctXPProgress);
    g->SetCellBoolean(false);
    g->SetCellErrFrom(Min);
    g->SetCellErrLen(Max);
    g->SetCellText("");
    g->SetCellHAlign(haLeft);
    g->SetCellVAlign(vaTop);
}

void TQorStringGrid::AddProgressPie(int ACol, int ARow, TColor Color, int Value) {
    TCellGraphic* g = NewCellGraphic(ACol, ARow);
    g->SetCellType(ctProgressPie);
    g->SetCellBitmapColor(Color);
    g->SetCellAngle(Value);
    g->SetCellHAlign(haBeforeText);
    g->SetCellVAlign(vaTop);
}

void TQorStringGrid::SetProgressPie(int ACol, int ARow, int Value) {
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g || g->CellType() != ctProgressPie) return;
    g->SetCellAngle(Value);
    RepaintCell(DisplColIndex(ACol), ARow);
}

void TQorStringGrid::AddRangeIndicator(int ACol, int ARow, int Range, TColor NegColor,
                                       TColor PosColor, bool ShowValue) {
    TCellGraphic* g = NewCellGraphic(ACol, ARow);
    g->SetCellType(ctRangeIndicator);
    g->SetCellBitmapColor(NegColor);
    g->SetCellIconColor(PosColor);
    g->SetCellIndex(Range);
    g->SetCellBoolean(ShowValue);
    g->SetCellHAlign(haLeft);
    g->SetCellVAlign(vaTop);
}

// --- comments and error markers -----------------------------------------------------------------

void TQorStringGrid::AddComment(int ACol, int ARow, const std::string& Comment) {
    AddColorComment(ACol, ARow, Comment, ControlLook()->CommentColor());
}

void TQorStringGrid::AddColorComment(int ACol, int ARow, const std::string& Comment, TColor Color) {
    TCellGraphic* g = NewCellGraphic(ACol, ARow);
    g->SetCellType(ctComment);
    g->SetCellIndex(Color);
    g->SetCellText(Comment);
    g->SetCellHAlign(haLeft);
    g->SetCellVAlign(vaTop);
    RepaintCell(DisplColIndex(ACol), ARow);
}

bool TQorStringGrid::IsComment(int ACol, int ARow, std::string& comment) {
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g || g->CellType() != ctComment) return false;
    comment = g->CellText();
    return true;
}

std::string TQorStringGrid::CellComment(int ACol, int ARow) {
    std::string comment;
    IsComment(ACol, ARow, comment);
    return comment;
}

void TQorStringGrid::SetCellComment(int ACol, int ARow, const std::string& Value) {
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g) {
        AddComment(ACol, ARow, Value);
    } else if (g->CellType() == ctComment) {
        g->SetCellText(Value);
        RepaintCell(DisplColIndex(ACol), ARow);
    }
}

void TQorStringGrid::RemoveAllComments() {
    for (int c = 0; c < ColCount(); ++c)
        for (int r = 0; r < RowCount(); ++r) RemoveComment(c, r);
}

namespace {
// The graphic in the cell's own slot (no shared stand-in).
TCellGraphic* ownGraphic(TBaseGrid& grid, int ACol, int ARow) {
    if (!grid.HasCellProperties(ACol, ARow)) return nullptr;
    return dynamic_cast<TCellGraphic*>(grid.CellProperties(ACol, ARow)->GraphicObject());
}
} // namespace

void TQorStringGrid::AddMarker(int ACol, int ARow, int ErrPos, int ErrLen) {
    TCellGraphic* g = ownGraphic(*this, ACol, ARow);
    if (!g) {
        g = NewCellGraphic(ACol, ARow);
        g->SetCellType(ctEmpty);
    }
    g->SetCellErrFrom(ErrPos);
    g->SetCellErrLen(ErrLen);
    RepaintCell(DisplColIndex(ACol), ARow);
}

void TQorStringGrid::GetMarker(int ACol, int ARow, int& ErrPos, int& ErrLen) {
    TCellGraphic* g = ownGraphic(*this, ACol, ARow);
    ErrPos = g ? g->CellErrFrom() : 0;
    ErrLen = g ? g->CellErrLen() : 0;
}

void TQorStringGrid::RemoveMarker(int ACol, int ARow) {
    TCellGraphic* g = ownGraphic(*this, ACol, ARow);
    if (!g) return;
    if (g->CellType() == ctEmpty) {
        RemoveCellGraphic(ACol, ARow);
        return;
    }
    g->SetCellErrFrom(0);
    g->SetCellErrLen(0);
    RepaintCell(DisplColIndex(ACol), ARow);
}

void TQorStringGrid::RemoveAllMarkers() {
    for (int c = 0; c < ColCount(); ++c)
        for (int r = 0; r < RowCount(); ++r) RemoveMarker(c, r);
}

// --- shapes, ratings and cell scroll bars --------------------------------------------------------

void TQorStringGrid::AddShape(int ACol, int ARow, TCellShape Shape, TColor FillColor,
                              TColor LineColor, TCellHAlign hal, TCellVAlign val) {
    TCellGraphic* g = NewCellGraphic(ACol, ARow);
    g->SetCellType(ctShape);
    g->SetCellBitmapColor(LineColor);
    g->SetCellIndex(FillColor);
    g->SetCellAngle(Shape);
    g->SetCellHAlign(hal);
    g->SetCellVAlign(val);
}

void TQorStringGrid::SetShapeColor(int ACol, int ARow, TColor FillColor) {
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (g && g->CellType() == ctShape) g->SetCellIndex(FillColor);
}

TColor TQorStringGrid::GetShapeColor(int ACol, int ARow) {
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    return g && g->CellType() == ctShape ? TColor(g->CellIndex()) : clNone;
}

void TQorStringGrid::AddRating(int ACol, int ARow, int Scale, TColor FillColor, TColor EmptyColor) {
    TCellGraphic* g = NewCellGraphic(ACol, ARow);
    g->SetCellType(ctRating);
    g->SetCellBitmapColor(EmptyColor);
    g->SetCellIndex(FillColor);
    g->SetCellAngle(Scale);
    g->SetCellHAlign(haFull);
}

void TQorStringGrid::AddScrollBar(int ACol, int ARow, bool AutoRange) {
    TCellGraphic* g = NewCellGraphic(ACol, ARow);
    g->SetCellType(ctScrollbar);
    g->SetCellIndex(0);
    g->SetCellAngle(0);
    g->SetCellBoolean(AutoRange);
    g->SetCellErrFrom(100);
    if (AutoRange) CellTextChanged(ACol, ARow);
}

namespace {
// The graphic of the base cell when it has the type.
TCellGraphic* baseGraphicOf(TQorStringGrid& grid, int ACol, int ARow, TCellType type) {
    if (ACol < 0 || ARow < 0) return nullptr;
    const TPoint b = grid.BaseCell(ACol, ARow);
    TCellGraphic* g = grid.GetCellGraphic(b.X, b.Y);
    return g && g->CellType() == type ? g : nullptr;
}
} // namespace

bool TQorStringGrid::HasAutoRangeScrollBar(int ACol, int ARow) {
    TCellGraphic* g = baseGraphicOf(*this, ACol, ARow, ctScrollbar);
    return g && g->CellBoolean();
}

void TQorStringGrid::SetScrollPosition(int ACol, int ARow, int Pos) {
    if (TCellGraphic* g = baseGraphicOf(*this, ACol, ARow, ctScrollbar)) {
        g->SetCellIndex(Pos);
        RepaintCell(DisplColIndex(ACol), ARow);
    }
}

int TQorStringGrid::GetScrollPosition(int ACol, int ARow) {
    TCellGraphic* g = baseGraphicOf(*this, ACol, ARow, ctScrollbar);
    return g ? g->CellIndex() : -1;
}

void TQorStringGrid::SetScrollProp(int ACol, int ARow, TScrollProp Prop) {
    if (TCellGraphic* g = baseGraphicOf(*this, ACol, ARow, ctScrollbar)) {
        g->SetCellAngle(Prop.PageSize);
        g->SetCellErrFrom(Prop.Range);
        RepaintCell(DisplColIndex(ACol), ARow);
    }
}

TQorStringGrid::TScrollProp TQorStringGrid::GetScrollProp(int ACol, int ARow) {
    TCellGraphic* g = baseGraphicOf(*this, ACol, ARow, ctScrollbar);
    return g ? TScrollProp{g->CellAngle(), g->CellErrFrom()} : TScrollProp{-1, -1};
}

// --- buttons and expand buttons
// ---------------------------------------------------------------------

void TQorStringGrid::AddButton(int ACol, int ARow, int bw, int bh, const std::string& Caption,
                               TCellHAlign hal, TCellVAlign val) {
    NewCellGraphic(ACol, ARow)->SetButton(bw, bh, Caption, hal, val);
}

void TQorStringGrid::AddBitButton(int ACol, int ARow, int bw, int bh, const std::string& Caption,
                                  TBitmap* Glyph, TCellHAlign hal, TCellVAlign val) {
    NewCellGraphic(ACol, ARow)->SetBitButton(bw, bh, Caption, Glyph, hal, val);
}

TBitmap* TQorStringGrid::CreateBitButton(int ACol, int ARow, int bw, int bh,
                                         const std::string& Caption, TCellHAlign hal,
                                         TCellVAlign val) {
    TCellGraphic* g = NewCellGraphic(ACol, ARow);
    auto glyph = std::make_unique<TBitmap>();
    g->SetBitButton(bw, bh, Caption, glyph.get(), hal, val);
    g->SetCellCreated(true);
    return glyph.release();
}

void TQorStringGrid::SetButtonText(int ACol, int ARow, const std::string& Caption) {
    TCellGraphic* g = GetCellGraphic(RealColIndex(ACol), ARow);
    if (!isButton(g)) return;
    g->SetCellText(Caption);
    RepaintCell(ACol, ARow);
}

std::string TQorStringGrid::GetButtonText(int ACol, int ARow) {
    TCellGraphic* g = GetCellGraphic(RealColIndex(ACol), ARow);
    return g ? g->CellText() : std::string();
}

void TQorStringGrid::PushButton(int ACol, int ARow, bool push) {
    TCellGraphic* g = GetCellGraphic(RealColIndex(ACol), ARow);
    if (!isButton(g) && !(g && g->CellType() == ctExpand)) return;
    g->SetCellBoolean(push);
    RepaintCell(ACol, ARow);
}

void TQorStringGrid::RemoveButton(int ACol, int ARow) {
    RemoveCellGraphicOfType(ACol, ARow, ctButton);
    RemoveCellGraphicOfType(ACol, ARow, ctBitButton);
}

void TQorStringGrid::RemoveAllButtons() {
    for (int c = 0; c < ColCount(); ++c)
        for (int r = 0; r < RowCount(); ++r)
            if (HasButton(c, r)) RemoveButton(c, r);
}

void TQorStringGrid::AddExpand(int ACol, int ARow, int ExpandedHeight) {
    TCellGraphic* g = NewCellGraphic(ACol, ARow);
    g->SetCellType(ctExpand);
    g->SetCellIndex(RowHeights(ARow));
    g->SetCellAngle(ExpandedHeight);
    g->SetCellVar(false);
}

namespace {
bool expandedOf(const TCellGraphic& g) {
    const bool* b = std::get_if<bool>(&g.CellVar());
    return b && *b;
}
} // namespace

bool TQorStringGrid::ToggleExpand(int ACol, int ARow) {
    TCellGraphic* g = baseGraphicOf(*this, ACol, ARow, ctExpand);
    if (!g) return false;
    const bool expanded = !expandedOf(*g);
    g->SetCellVar(expanded);
    return expanded;
}

bool TQorStringGrid::GetExpandState(int ACol, int ARow) {
    TCellGraphic* g = baseGraphicOf(*this, ACol, ARow, ctExpand);
    return g && expandedOf(*g);
}

int TQorStringGrid::GetExpandHeight(int ACol, int ARow, bool Expanded) {
    TCellGraphic* g = baseGraphicOf(*this, ACol, ARow, ctExpand);
    if (!g) return DefaultRowHeight();
    return Expanded ? g->CellAngle() : g->CellIndex();
}

TRect TQorStringGrid::GetExpandButtonRect(int ACol, int ARow) {
    if (!baseGraphicOf(*this, ACol, ARow, ctExpand)) return TRect();
    const TRect r = CellRect(DisplColIndex(ACol), ARow);
    return TRect(r.Right - 13, r.Top + 2, r.Right - 2, r.Top + 13);
}

// --- balloons
// ----------------------------------------------------------------------------------------

void TQorStringGrid::AddBalloon(int ACol, int ARow, const std::string& Title,
                                const std::string& Text, TBalloonIcon Icon) {
    auto list = std::make_unique<TStringList>();
    list->Add(Title);
    list->Add(Text);
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    // A shared check box stands for many cells: none of them takes a balloon.
    if (isShared(g)) return;
    if (g && carriesBalloon(g->CellType())) {
        g->SetBalloonList(list.release());
    } else {
        g = NewCellGraphic(ACol, ARow);
        g->SetCellType(ctBalloon);
        g->SetCellBitmap(list.release());
        g->SetCellAngle(0);
    }
    g->SetCellIndex(Icon);
}

bool TQorStringGrid::IsBalloon(int ACol, int ARow, std::string& Title, std::string& Text,
                               TBalloonIcon& Icon) {
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g) return false;
    const bool balloon =
        g->CellType() == ctBalloon || (carriesBalloon(g->CellType()) && g->CellAngle() == 1);
    auto* list = dynamic_cast<TStrings*>(g->CellBitmap());
    if (!balloon || !list) return false;
    Title = list->Count() > 0 ? list->Get(0) : std::string();
    Text = list->Count() > 1 ? list->Get(1) : std::string();
    Icon = TBalloonIcon(g->CellIndex());
    return true;
}

void TQorStringGrid::RemoveBalloon(int ACol, int ARow) {
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (g && carriesBalloon(g->CellType())) {
        if (g->CellAngle() == 1) g->SetBalloonList(nullptr);
        return;
    }
    RemoveCellGraphicOfType(ACol, ARow, ctBalloon);
}

// --- radio groups
// ---------------------------------------------------------------------------------

void TQorStringGrid::AddRadio(int ACol, int ARow, int DirRadio, int IdxRadio, TStrings* sl) {
    TCellGraphic* g = NewCellGraphic(ACol, ARow);
    g->SetCellType(ctRadio);
    g->SetCellBitmap(sl);
    g->SetCellCreated(false);
    g->SetCellIndex(IdxRadio);
    g->SetCellAngle(sl ? sl->Count() : 0);
    g->SetCellBoolean(DirRadio != 0);
}

TStrings* TQorStringGrid::CreateRadio(int ACol, int ARow, int DirRadio, int IdxRadio) {
    TCellGraphic* g = NewCellGraphic(ACol, ARow);
    auto list = std::make_unique<TStringList>();
    g->SetCellType(ctRadio);
    g->SetCellBitmap(list.get());
    g->SetCellCreated(true);
    g->SetCellIndex(IdxRadio);
    g->SetCellAngle(0);
    g->SetCellBoolean(DirRadio != 0);
    return list.release();
}

bool TQorStringGrid::GetRadioIdx(int ACol, int ARow, int& IdxRadio) {
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g) return false;
    IdxRadio = g->CellIndex();
    return g->CellType() == ctRadio;
}

bool TQorStringGrid::SetRadioIdx(int ACol, int ARow, int IdxRadio) {
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g || g->CellType() != ctRadio) return false;
    g->SetCellIndex(IdxRadio);
    if (IdxRadio == -1) SetCells(ACol, ARow, "");
    RepaintCell(DisplColIndex(ACol), ARow);
    return true;
}

TStrings* TQorStringGrid::GetRadioStrings(int ACol, int ARow) {
    TCellGraphic* g = baseGraphicOf(*this, ACol, ARow, ctRadio);
    return g ? dynamic_cast<TStrings*>(g->CellBitmap()) : nullptr;
}

void TQorStringGrid::NextRadioItem(int ACol, int ARow, bool FromUser) {
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g || g->CellType() != ctRadio) return;
    if (FromUser && !ControlLook()->RadioAlwaysActive()) {
        bool canEdit = true;
        IsEditableCell(ACol, ARow, canEdit);
        if (!canEdit) return;
    }
    auto* items = dynamic_cast<TStrings*>(g->CellBitmap());
    const int count = items ? items->Count() : 0;
    int next = g->CellIndex() >= 0 ? g->CellIndex() + 1
               : items             ? items->IndexOf(Cells(ACol, ARow)) + 1
                                   : 0;
    if (next >= count) next = 0;
    if (g->CellIndex() >= -1) g->SetCellIndex(next);
    g->SetCellVar(next);
    SetCells(ACol, ARow, next < count ? items->Get(next) : std::string());
}

// --- hit-test helpers
// -------------------------------------------------------------------------------

TRect TQorStringGrid::GetCellGraphicRect(int ACol, int ARow) {
    TCellGraphic* g = GetCellGraphic(RealColIndex(ACol), ARow);
    if (!g) return TRect();
    const unsigned offset = unsigned(std::lround(g->CellValue()));
    const unsigned size = unsigned(g->CellIndex());
    const TRect cell = CellRect(ACol, ARow);
    TRect r(cell.Left + int(offset & 0xFFFF), cell.Top + int(offset >> 16), 0, 0);
    r.Right = r.Left + int(size & 0xFFFF);
    r.Bottom = r.Top + int(size >> 16);
    if (g->CellVAlign() == vaFull) {
        r.Top = cell.Top;
        r.Bottom = cell.Bottom;
    }
    if (g->CellHAlign() == haFull) {
        r.Left = cell.Left;
        r.Right = cell.Right;
    }
    return r;
}

bool TQorStringGrid::IsControlCell(int ACol, int ARow) {
    return HasCellType(ACol, ARow,
                       {ctCheckBox, ctDataCheckBox, ctRadio, ctButton, ctVirtCheckBox,
                        ctRowCheckBox, ctRadioButton, ctTriStateCheckBox});
}

bool TQorStringGrid::IsDataGraphicCell(int ACol, int ARow) {
    return HasCellType(ACol, ARow, {ctDataCheckBox, ctDataImage, ctVirtCheckBox, ctRowCheckBox});
}
