#pragma once
// The footer strip below a grid's cells: TFloatingFooter holds its settings and TFooterPanel,
// a child panel of the grid, paints it, shows hints for its cells and reports clicks on them.
// With fsFixedLastRow the strip repeats the grid's last row, whose cells hold column
// calculations; fsColumnPreview shows one column of the current row, fsCustomPreview the
// current row through a template with "<#column>" fields, fsCustomPaint what the grid's
// OnPaintFooter draws.
#include "grid/core/base/CellProperties.h"
#include "platform/base/Classes.h"
#include "platform/ui/ExtCtrls.h"

#include <functional>
#include <string>

class TQorStringGrid;

enum TFooterStyle { fsFixedLastRow, fsColumnPreview, fsCustomPreview, fsCustomPaint };

using TCalcFooterEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, std::string& Value)>;

// What changed in the footer settings; the owning grid reacts.
enum TFooterChange : int {
    fcVisible, // the strip shows or hides: panel, FixedFooters, last row, repaint
    fcStyle,   // the style: FixedFooters, last row, grid and panel repainted
    fcHeight,  // the strip's height
    fcHint,    // ShowHint, passed to the panel
    fcPaint    // only the strip's look
};

class TFloatingFooter : public TPersistent {
public:
    explicit TFloatingFooter(TQorStringGrid* AGrid = nullptr) : FGrid(AGrid) {}

    // Copies CalculateHiddenRows, Color, Column, CustomTemplate, FooterStyle, Visible (through
    // its setter) and ShowHint from another floating footer.
    void Assign(const TPersistent* Source) override;

    bool Visible() const { return FVisible; }
    void SetVisible(bool v);
    TFooterStyle FooterStyle() const { return FFooterStyle; }
    void SetFooterStyle(TFooterStyle v);
    int Height() const { return FHeight; }
    void SetHeight(int v);
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v);
    // The column fsColumnPreview shows.
    int Column() const { return FColumn; }
    void SetColumn(int v);
    const std::string& CustomTemplate() const { return FCustomTemplate; }
    void SetCustomTemplate(const std::string& v);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool v);
    bool CalculateHiddenRows() const { return FCalculateHiddenRows; }
    void SetCalculateHiddenRows(bool v) { FCalculateHiddenRows = v; }
    bool EnableCalculation() const { return FEnableCalculation; }
    void SetEnableCalculation(bool v) { FEnableCalculation = v; }
    // Shown in the fsFixedLastRow style: the grid's last row is the footer row.
    bool ShowsLastRow() const { return FVisible && FFooterStyle == fsFixedLastRow; }

    // The calculation type of footer cell (real column, last row); acNONE without properties.
    TColumnCalcType GetColumnCalc(int ACol) const;
    // Sets it and has the grid recalculate that footer cell.
    void SetColumnCalc(int ACol, TColumnCalcType Value);
    // Repaints the strip.
    void Invalidate();

    TCalcFooterEvent OnCalcFooter;
    // Set by the owning grid.
    std::function<void(TFooterChange)> OnChange;

private:
    void changed(TFooterChange what);
    TQorStringGrid* FGrid;
    int FHeight = 22;
    bool FVisible = false;
    TColor FColor = clBtnFace;
    TFooterStyle FFooterStyle = fsFixedLastRow;
    int FColumn = 0;
    std::string FCustomTemplate;
    bool FCalculateHiddenRows = true;
    bool FEnableCalculation = true;
    bool FShowHint = false;
    TColor FBorderColor = clNone;
};

// The "<#n>" fields of a template filled with the texts of real columns n of a grid row; a
// field that is no number or names no column is dropped.
std::string ExpandFooterTemplate(const std::string& Template,
                                 const std::function<int()>& ColumnCount,
                                 const std::function<std::string(int Column)>& CellText);

class TFooterPanel : public TCustomPanel {
public:
    // The owner must be the grid.
    explicit TFooterPanel(TComponent* AOwner);

    // The footer column under a client x: fixed columns from 0, then the scrolling columns
    // from the first visible one; -1 past the last column.
    int FooterColumnAt(int X) const;
    // The span of a footer column (display index) in the panel, mirrored under right-to-left.
    TRect FooterColumnRect(int ACol) const;
    // The width the columns take.
    int FooterWidth() const;
    int LastHintColumn() const { return FLastHintX; }

protected:
    void CreateWnd() override;
    void Paint() override;
    void CMHintShow(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    // The display columns in footer order with their left edges.
    template <typename F> void eachColumn(F f) const;
    void paintFixedLastRow(TCanvas* C);
    void paintPreview(TCanvas* C, bool Template);
    // Right to left (the grid's alignment) the footer shows mirrored against the panel width.
    bool mirrored() const;
    TRect shown(const TRect& R) const;
    // A horizontal line over the pixels Left .. Right - 1, or a vertical one at X.
    void hline(TCanvas* C, int Left, int Right, int Y) const;
    void vline(TCanvas* C, int X, int Top, int Bottom) const;
    TQorStringGrid* FGrid;
    int FLastHintX = -1;
};
