#pragma once
// What a cell shows besides its text: the graphic record held in a cell's properties.
#include "grid/core/base/GridSupport.h"
#include "platform/base/Classes.h"
#include "platform/base/Types.h"
#include "platform/gfx/Imaging.h"
#include "platform/ui/core/Controls.h"

#include <string>
#include <variant>

enum TCellType {
    ctBitmap,
    ctIcon,
    ctNone,
    ctImageList,
    ctCheckBox,
    ctDataCheckBox,
    ctRotated,
    ctDataImage,
    ctNode,
    ctRadio,
    ctEmpty,
    ctImages,
    ctPicture,
    ctFilePicture,
    ctValue,
    ctProgress,
    ctComment,
    ctButton,
    ctBitButton,
    ctVirtCheckBox,
    ctRowCheckBox,
    ctProgressPie,
    ctSummary,
    ctRangeIndicator,
    ctXPProgress,
    ctInterface,
    ctScrollbar,
    ctRadioButton,
    ctBalloon,
    ctShape,
    ctRating,
    ctTriStateCheckBox,
    ctExpand
};
enum TCellVAlign { vaTop, vaBottom, vaCenter, vaUnderText, vaAboveText, vaFull };
enum TCellHAlign { haLeft, haRight, haCenter, haBeforeText, haAfterText, haFull };
enum TStretchMode { noStretch, Stretch, StretchWithAspectRatio, Shrink, ShrinkWithAspectRatio };
// Title icon of a cell balloon: none, information, warning, error.
enum TBalloonIcon { biNone, biInfo, biWarning, biError };

// The drawing interface of an interfaced cell (ctInterface): the object in the graphic's bitmap
// place implements it to draw itself, tell its size and whether it goes before the text.
class ICellDrawer {
public:
    virtual ~ICellDrawer() = default;
    virtual void Draw(TCanvas* Canvas, const TRect& R, TObject* Grid, bool Selected, int ARow,
                      int ACol) = 0;
    virtual int GetWidth() = 0;
    virtual int GetHeight() = 0;
    virtual bool IsBackground() = 0;
};

// The extra value of a graphic (a Boolean or an index, depending on the type).
using TCellVariant = std::variant<std::monostate, bool, int, double, std::string>;

// Drawn size of a w x h picture in a cw x rh cell; reals round half to even.
TSize CalcPictureSize(int w, int h, int cw, int rh, int Padding, TStretchMode Mode);

// Owns, by type: the CellBitmap object of ctImages and ctBalloon always; of ctBitmap, ctRadio,
// ctPicture, ctFilePicture and ctBitButton when CellCreated; the icon of ctIcon when
// CellCreated; the balloon list of a check box or radio button when CellAngle is 1.
// The Set... operations release what the graphic owned before they store a new kind, so a
// graphic that changes its kind frees its objects; the plain property setters do not.
class TCellGraphic : public TPersistent {
public:
    TCellGraphic() = default;
    ~TCellGraphic() override;
    TCellGraphic(const TCellGraphic&) = delete;
    TCellGraphic& operator=(const TCellGraphic&) = delete;

    TCellType CellType() const { return FCellType; }
    void SetCellType(TCellType v) { FCellType = v; }
    // The type's object (bitmap, picture, file picture, glyph, integer list, string list ...).
    TObject* CellBitmap() const { return FCellBitmap; }
    void SetCellBitmap(TObject* v) { FCellBitmap = v; }
    TIcon* CellIcon() const { return FCellIcon; }
    void SetCellIcon(TIcon* v) { FCellIcon = v; }
    // Colours that progress, range, shape and rating cells keep in the bitmap and icon places.
    TColor CellBitmapColor() const { return FCellBitmapColor; }
    void SetCellBitmapColor(TColor v) { FCellBitmapColor = v; }
    TColor CellIconColor() const { return FCellIconColor; }
    void SetCellIconColor(TColor v) { FCellIconColor = v; }
    TCellVAlign CellVAlign() const { return FCellVAlign; }
    void SetCellVAlign(TCellVAlign v) { FCellVAlign = v; }
    TCellHAlign CellHAlign() const { return FCellHAlign; }
    void SetCellHAlign(TCellHAlign v) { FCellHAlign = v; }
    int CellIndex() const { return FCellIndex; }
    void SetCellIndex(int v) { FCellIndex = v; }
    bool CellTransparent() const { return FCellTransparent; }
    void SetCellTransparent(bool v) { FCellTransparent = v; }
    bool CellCreated() const { return FCellCreated; }
    void SetCellCreated(bool v) { FCellCreated = v; }
    bool CellBoolean() const { return FCellBoolean; }
    void SetCellBoolean(bool v) { FCellBoolean = v; }
    int CellAngle() const { return FCellAngle; }
    void SetCellAngle(int v) { FCellAngle = v; }
    double CellValue() const { return FCellValue; }
    void SetCellValue(double v) { FCellValue = v; }
    int CellErrFrom() const { return FCellErrFrom; }
    void SetCellErrFrom(int v) { FCellErrFrom = v; }
    int CellErrLen() const { return FCellErrLen; }
    void SetCellErrLen(int v) { FCellErrLen = v; }
    const std::string& CellText() const { return FCellText; }
    void SetCellText(const std::string& v) { FCellText = v; }
    const TCellVariant& CellVar() const { return FCellVar; }
    void SetCellVar(const TCellVariant& v) { FCellVar = v; }
    TCheckBoxState CellCheckBoxState() const { return FCellCheckBoxState; }
    void SetCellCheckBoxState(TCheckBoxState v) { FCellCheckBoxState = v; }

    void SetBitmap(TObject* ABmp, bool Transparent, TCellHAlign hal, TCellVAlign val);
    void SetPicture(TObject* APicture, bool Transparent, TStretchMode StretchMode, int padding,
                    TCellHAlign hal, TCellVAlign val);
    void SetFilePicture(TObject* APicture, bool Transparent, TStretchMode stretchmode, int padding,
                        TCellHAlign hal, TCellVAlign val);
    void SetImageIdx(int idx, TCellHAlign hal, TCellVAlign val);
    void SetDataImage(int idx, TCellHAlign hal, TCellVAlign val);
    // A new owned integer list for (Col, Row) whose changes go to Notifier.
    void SetMultiImage(int Col, int Row, int dir, TCellHAlign hal, TCellVAlign val,
                       TImageChangeEvent Notifier);
    void SetIcon(TIcon* aicon, TCellHAlign hal, TCellVAlign val);
    void SetCheckBox(bool Value, bool Data, bool Flat, TCellHAlign hal, TCellVAlign val);
    void SetCheckBox(TCheckBoxState Value, bool Flat, TCellHAlign hal, TCellVAlign val);
    void SetRadioButton(bool Value, bool Flat, TCellHAlign hal, TCellVAlign val);
    // The angle brought into 0..360 (360 stays 360).
    void SetAngle(int AAngle);
    // Button size: height in the upper 16 bits of CellIndex, width in the lower.
    void SetButton(int bw, int bh, const std::string& caption, TCellHAlign hal, TCellVAlign val);
    void SetBitButton(int bw, int bh, const std::string& caption, TObject* Glyph, TCellHAlign hal,
                      TCellVAlign val);
    void SetInterfacedCell(TObject* AObject);
    // The balloon list a check box or radio button carries (CellAngle 1); an earlier one is
    // freed. nullptr frees the list and leaves the graphic without one.
    void SetBalloonList(TObject* AList);

    // Copies kind, placements, index, transparency, value, angle, Boolean, error range, text
    // and CellCreated. The objects are not copied: what this graphic owned is freed and its
    // object places are cleared, so no object ever gets two owners.
    void Assign(const TPersistent* Source) override;

    // Drawn size of the picture (TPicture or TFilePicture) of a ctPicture or ctFilePicture cell.
    TSize GetPictureSize(int cw, int rh, bool hastext) const;

private:
    void releaseOwned(const TObject* keep);
    void place(TCellType type, TCellHAlign hal, TCellVAlign val, const TObject* keep);
    // A picture or file picture: the picture, its transparency, stretch mode and padding.
    void placePicture(TCellType type, TObject* APicture, bool Transparent, TStretchMode StretchMode,
                      int padding, TCellHAlign hal, TCellVAlign val);

    TCellType FCellType = ctNone;
    TObject* FCellBitmap = nullptr;
    TIcon* FCellIcon = nullptr;
    TColor FCellBitmapColor = 0;
    TColor FCellIconColor = 0;
    TCellVAlign FCellVAlign = vaTop;
    TCellHAlign FCellHAlign = haLeft;
    int FCellIndex = 0;
    bool FCellTransparent = false;
    bool FCellCreated = false;
    bool FCellBoolean = false;
    int FCellAngle = 0;
    double FCellValue = 0;
    int FCellErrFrom = 0;
    int FCellErrLen = 0;
    std::string FCellText;
    TCellVariant FCellVar;
    TCheckBoxState FCellCheckBoxState = cbUnchecked;
};
