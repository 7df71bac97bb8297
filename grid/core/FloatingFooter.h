#pragma once
// Settings of the footer strip below a grid's cells. With fsFixedLastRow the strip repeats the
// grid's last row, whose cells hold column calculations; the strip itself is painted elsewhere.
#include "platform/base/Classes.h"

#include <functional>
#include <string>

enum TFooterStyle { fsFixedLastRow, fsColumnPreview, fsCustomPreview, fsCustomPaint };

using TCalcFooterEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, std::string& Value)>;

class TFloatingFooter : public TPersistent {
public:
    bool Visible() const { return FVisible; }
    void SetVisible(bool v);
    TFooterStyle FooterStyle() const { return FFooterStyle; }
    void SetFooterStyle(TFooterStyle v);
    int Height() const { return FHeight; }
    void SetHeight(int v) { FHeight = v; }
    bool CalculateHiddenRows() const { return FCalculateHiddenRows; }
    void SetCalculateHiddenRows(bool v) { FCalculateHiddenRows = v; }
    bool EnableCalculation() const { return FEnableCalculation; }
    void SetEnableCalculation(bool v) { FEnableCalculation = v; }
    // Shown in the fsFixedLastRow style: the grid's last row is the footer row.
    bool ShowsLastRow() const { return FVisible && FFooterStyle == fsFixedLastRow; }

    TCalcFooterEvent OnCalcFooter;
    // Set by the owning grid: the visibility (VisibleSet) or the style changed.
    std::function<void(bool VisibleSet)> OnLayout;

private:
    int FHeight = 22;
    bool FVisible = false;
    TFooterStyle FFooterStyle = fsFixedLastRow;
    bool FCalculateHiddenRows = true;
    bool FEnableCalculation = true;
};
