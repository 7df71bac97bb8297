#pragma once
// The records of the grid's binary cell stream. Each record is a small component, written and
// read in the component streaming format ("TPF0", class name, properties); one object of each
// class serves every cell of a save or load. A record's Read refuses a record of another class
// and a property its class does not have.
#include "grid/core/base/CellGraphic.h"
#include "grid/core/base/CellProperties.h"
#include "grid/core/base/GridSupport.h"
#include "platform/base/ComponentStream.h"
#include "platform/gfx/Imaging.h"

#include <memory>
#include <string>
#include <vector>

// The grid part of the stream: the rectangle's size, its column widths and row heights as
// comma-separated pixels, whether it is the whole grid, and the writing grid's window.
class TGridPropIO : public TComponent {
public:
    using TComponent::TComponent;
    int ColCount() const { return FColCount; }
    void SetColCount(int v) { FColCount = v; }
    int RowCount() const { return FRowCount; }
    void SetRowCount(int v) { FRowCount = v; }
    const std::string& ColWidths() const { return FColWidths; }
    void SetColWidths(const std::string& v) { FColWidths = v; }
    const std::string& RowHeights() const { return FRowHeights; }
    void SetRowHeights(const std::string& v) { FRowHeights = v; }
    bool FullGrid() const { return FFullGrid; }
    void SetFullGrid(bool v) { FFullGrid = v; }
    int ID() const { return FID; }
    void SetID(int v) { FID = v; }
    void Write(TWriter& W) const;
    void Read(TReader& R);

private:
    int FColCount = 0;
    int FRowCount = 0;
    std::string FColWidths;
    std::string FRowHeights;
    bool FFullGrid = false;
    int FID = 0;
};

// One cell: its indexes (16 bits each), its text and whether a properties record follows.
class TGridCellIO : public TComponent {
public:
    using TComponent::TComponent;
    int Col() const { return FCol; }
    void SetCol(int v) { FCol = v; }
    int Row() const { return FRow; }
    void SetRow(int v) { FRow = v; }
    const std::string& Cell() const { return FCell; }
    void SetCell(const std::string& v) { FCell = v; }
    bool HasProp() const { return FHasProp; }
    void SetHasProp(bool v) { FHasProp = v; }
    void Write(TWriter& W) const;
    // The text is emptied first: a record without a Cell property holds an empty cell.
    void Read(TReader& R);

private:
    int FCol = 0;
    int FRow = 0;
    std::string FCell;
    bool FHasProp = false;
};

// The streamed properties of a cell's properties object, one bit each.
enum TStreamedCellProp : unsigned {
    scpIsBaseCell = 1u << 0,
    scpCellSpanX = 1u << 1,
    scpCellSpanY = 1u << 2,
    scpAlignment = 1u << 3,
    scpBorderColor = 1u << 4,
    scpBorderWidth = 1u << 5,
    scpBrushColor = 1u << 6,
    scpBrushColorTo = 1u << 7,
    scpBrushStyle = 1u << 8,
    scpCellObject = 1u << 9,
    scpFontColor = 1u << 10,
    scpFontName = 1u << 11,
    scpFontSize = 1u << 12,
    scpFontStyle = 1u << 13,
    scpEditor = 1u << 14,
    scpGradientDirection = 1u << 15,
    scpReadOnly = 1u << 16,
    scpVAlignment = 1u << 17,
    scpWordWrap = 1u << 18,
    scpNodeLevel = 1u << 19,
    scpControl = 1u << 20,
    scpAll = (1u << 21) - 1,
    // Where a cell lies in a merged area.
    scpMerge = scpIsBaseCell | scpCellSpanX | scpCellSpanY,
};
// Copies the streamed properties of Mask (the control reference excepted) from one properties
// object to another.
void CopyStreamedCellProps(const TCellProperties& From, TCellProperties& To, unsigned Mask);

// A cell's properties and whether a graphic record follows. The user object of a cell is a
// pointer of the writing program: it is written as 0 and never read back.
class TGridCellPropIO : public TComponent {
public:
    explicit TGridCellPropIO(TComponent* AOwner);
    TCellProperties* CellProperties() const { return FCellProperties.get(); }
    bool HasGraphic() const { return FHasGraphic; }
    void SetHasGraphic(bool v) { FHasGraphic = v; }
    // The properties the last Read found (TStreamedCellProp bits) and the name of the control
    // it referred to.
    unsigned Present() const { return FPresent; }
    const std::string& ControlName() const { return FControlName; }
    void Write(TWriter& W) const;
    // Reads over the current properties: those absent from the record keep their values.
    void Read(TReader& R);

private:
    std::unique_ptr<TCellProperties> FCellProperties;
    bool FHasGraphic = false;
    unsigned FPresent = 0;
    std::string FControlName;
};

// A cell's graphic without its objects (bitmap, icon, lists), which follow in a payload record.
class TGridGraphicIO : public TComponent {
public:
    explicit TGridGraphicIO(TComponent* AOwner);
    TCellGraphic* CellGraphic() const { return FCellGraphic.get(); }
    // Takes the fields of a cell's graphic, its check box state included.
    void SetFrom(const TCellGraphic& Graphic);
    void Write(TWriter& W) const;
    // Reads into an emptied graphic: absent properties read as their defaults.
    void Read(TReader& R);

private:
    std::unique_ptr<TCellGraphic> FCellGraphic;
};

// The payload records: one image or string list each. Take hands the object read over to a new
// owner and leaves the record with an empty one.
class TGridBMPIO : public TComponent {
public:
    explicit TGridBMPIO(TComponent* AOwner);
    TBitmap* Bitmap() const { return FBitmap.get(); }
    std::unique_ptr<TBitmap> Take();
    void Write(TWriter& W) const;
    void Read(TReader& R);

private:
    std::unique_ptr<TBitmap> FBitmap;
};

class TGridIconIO : public TComponent {
public:
    explicit TGridIconIO(TComponent* AOwner);
    TIcon* Icon() const { return FIcon.get(); }
    std::unique_ptr<TIcon> Take();
    void Write(TWriter& W) const;
    void Read(TReader& R);

private:
    std::unique_ptr<TIcon> FIcon;
};

// A picture of any kind the picture container knows, written as its class name and its data.
class TGridPicIO : public TComponent {
public:
    explicit TGridPicIO(TComponent* AOwner);
    TPicture* Picture() const { return FPicture.get(); }
    std::unique_ptr<TPicture> Take();
    void Write(TWriter& W) const;
    void Read(TReader& R);

private:
    std::unique_ptr<TPicture> FPicture;
};

// A picture referenced by file name; reading it reads the picture's size from the file.
class TGridFilePicIO : public TComponent {
public:
    explicit TGridFilePicIO(TComponent* AOwner);
    TFilePicture* Picture() const { return FPicture.get(); }
    std::unique_ptr<TFilePicture> Take();
    void Write(TWriter& W) const;
    void Read(TReader& R);

private:
    std::unique_ptr<TFilePicture> FPicture;
};

class TGridSLIO : public TComponent {
public:
    explicit TGridSLIO(TComponent* AOwner);
    TStringList* Strings() const { return FStrings.get(); }
    std::unique_ptr<TStringList> Take();
    void Write(TWriter& W) const;
    void Read(TReader& R);

private:
    std::unique_ptr<TStringList> FStrings;
};

// The cells of a stream, read whole before any of them is placed.
struct TBinStreamCell {
    struct Extra {
        std::unique_ptr<TCellProperties> Props;
        unsigned Present = 0;
        std::string ControlName;
        std::unique_ptr<TCellGraphic> Graphic;
        // The graphic's bitmap, icon, picture, file picture or string list.
        std::unique_ptr<TObject> Payload;
    };
    int Col = 0;
    int Row = 0;
    std::string Text;
    std::unique_ptr<Extra> More;
};
struct TBinStreamCells {
    int ColCount = 0;
    int RowCount = 0;
    std::vector<int> ColWidths;
    std::vector<int> RowHeights;
    bool FullGrid = false;
    std::vector<TBinStreamCell> Cells;
};
