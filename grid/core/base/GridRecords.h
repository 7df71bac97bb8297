#pragma once
// Settings records owned by a grid (column sizes, node look, grow-while-typing), the record of
// a hidden row and the listener of changed cells.
#include "platform/base/Classes.h"
#include "platform/base/Types.h"
#include "platform/gfx/Graphics.h"

#include <functional>
#include <memory>
#include <string>

enum TColumnSizeLocation { clRegistry, clIniFile };
enum TAutoSizeRows { arAll, arNormal, arFixed };
enum TNodeType { cnFlat, cn3D, cnGlyph, cnLeaf, cnXP };

// Column-width persistence and stretching settings.
class TColumnSize : public TPersistent {
public:
    explicit TColumnSize(TComponent* AOwner) : FOwner(AOwner) {}
    TComponent* Owner() const { return FOwner; }
    bool Save() const { return FSave; }
    void SetSave(bool v) { FSave = v; }
    const std::string& Key() const { return FKey; }
    void SetKey(const std::string& v) { FKey = v; }
    const std::string& Section() const { return FSection; }
    void SetSection(const std::string& v) { FSection = v; }
    bool Stretch() const { return FStretch; }
    // Stores the value and lets the grid stretch StretchColumn at once (OnStretch).
    void SetStretch(bool v);
    int StretchColumn() const { return FStretchColumn; }
    void SetStretchColumn(int v) { FStretchColumn = v; }
    bool SynchWithGrid() const { return FSynchWithGrid; }
    void SetSynchWithGrid(bool v) { FSynchWithGrid = v; }
    bool SynchNormalCellsOnly() const { return FSynchNormalCellsOnly; }
    void SetSynchNormalCellsOnly(bool v) { FSynchNormalCellsOnly = v; }
    TColumnSizeLocation Location() const { return FLocation; }
    void SetLocation(TColumnSizeLocation v) { FLocation = v; }
    TAutoSizeRows Rows() const { return FRows; }
    void SetRows(TAutoSizeRows v) { FRows = v; }
    // Copies every setting but the owner.
    void Assign(const TPersistent* Source) override;

    // Set by the owning grid: stretches the column when the grid has a parent.
    std::function<void()> OnStretch;

private:
    TComponent* FOwner;
    bool FSave = false;
    std::string FKey;
    std::string FSection;
    bool FStretch = false;
    int FStretchColumn = -1;
    bool FSynchWithGrid = false;
    bool FSynchNormalCellsOnly = false;
    TColumnSizeLocation FLocation = clRegistry;
    TAutoSizeRows FRows = arAll;
};

// The look of node rows.
class TCellNode : public TPersistent {
public:
    explicit TCellNode(TComponent* AOwner)
        : FOwner(AOwner), FExpandGlyph(std::make_unique<TBitmap>()),
          FContractGlyph(std::make_unique<TBitmap>()) {}
    TComponent* Owner() const { return FOwner; }
    TColor Color() const { return FColor; }
    void SetColor(TColor v) { FColor = v; }
    TNodeType NodeType() const { return FNodeType; }
    void SetNodeType(TNodeType v);
    TColor NodeColor() const { return FNodeColor; }
    void SetNodeColor(TColor v) { FNodeColor = v; }
    bool ExpandOne() const { return FExpandOne; }
    void SetExpandOne(bool v) { FExpandOne = v; }
    // Owned glyphs; the setters copy the bitmap (nullptr empties the glyph).
    TBitmap* ExpandGlyph() const { return FExpandGlyph.get(); }
    void SetExpandGlyph(const TBitmap* v);
    TBitmap* ContractGlyph() const { return FContractGlyph.get(); }
    void SetContractGlyph(const TBitmap* v);
    bool ShowTree() const { return FShowTree; }
    void SetShowTree(bool v);
    bool ShowTreeFull() const { return FShowTreeFull; }
    void SetShowTreeFull(bool v);
    int NodeIndent() const { return FNodeIndent; }
    void SetNodeIndent(int v);
    TColor TreeColor() const { return FTreeColor; }
    void SetTreeColor(TColor v);
    void Assign(const TPersistent* Source) override;

    // Set by the owning grid: repaints it after a visible setting changed.
    std::function<void()> OnRepaint;

private:
    template <typename T> void setVisible(T& field, T v);
    TComponent* FOwner;
    TColor FColor = clSilver;
    TNodeType FNodeType = cnXP;
    TColor FNodeColor = clBlack;
    std::unique_ptr<TBitmap> FExpandGlyph;
    bool FExpandOne = false;
    std::unique_ptr<TBitmap> FContractGlyph;
    bool FShowTree = true;
    bool FShowTreeFull = true;
    int FNodeIndent = 12;
    TColor FTreeColor = clGray;
};

// Grow the row height or column width while the user types.
class TSizeWhileTyping : public TPersistent {
public:
    bool Height() const { return FHeight; }
    void SetHeight(bool v) { FHeight = v; }
    bool Width() const { return FWidth; }
    void SetWidth(bool v) { FWidth = v; }
    void Assign(const TPersistent* Source) override;

private:
    bool FHeight = false;
    bool FWidth = false;
};

// One row kept in the hidden-row store: its real index, height, level and cell texts with each
// cell's properties object as the entry's object.
class TGridItem : public TCollectionItem {
public:
    explicit TGridItem(TCollection* ACollection)
        : TCollectionItem(ACollection), FItems(std::make_unique<TStringList>()) {}
    int Idx() const { return FIdx; }
    void SetIdx(int v) { FIdx = v; }
    int Height() const { return FHeight; }
    void SetHeight(int v) { FHeight = v; }
    int Level() const { return FLevel; }
    void SetLevel(int v) { FLevel = v; }
    TStringList* Items() const { return FItems.get(); }

private:
    int FIdx = 0;
    int FHeight = 0;
    std::unique_ptr<TStringList> FItems;
    int FLevel = 0;
};

// Told every changed cell rectangle of the grids it is registered with.
class TGridChangeNotifier : public TComponent {
public:
    using TComponent::TComponent;
    virtual void CellsChanged(const TRect& /*R*/) {}
};
