#pragma once
// The grid's side of its drop-down cell editors (edTrackbarDropDown .. edQorGridDropDown). The
// editors are drop-down edits of the controls library, which lies above the grid: the grid
// drives them through this interface and has the library make them through the maker the
// library installs (GridDropDownEditorsInitialize). Without a maker installed, cells of these
// kinds open no editor.
#include "grid/core/base/CellProperties.h"
#include "grid/core/base/GridTheme.h"
#include "platform/base/Types.h"

#include <string>

class TQorStringGrid;
class TWinControl;
class THeaderAppearance;
class TFooterAppearance;

class TDropDownCellEditor {
public:
    virtual ~TDropDownCellEditor() = default;
    // The editor's window.
    virtual TWinControl* EditorControl() = 0;
    // Before the grid's OnGetEditorProp: the popup's header and footer looks and the colour
    // style of the grid.
    virtual void TakeGridLooks(const THeaderAppearance* Header, const TFooterAppearance* Footer,
                               TQorStyle Style) = 0;
    // Around the grid's OnGetEditorProp, with the colour of the cell: the list editors take the
    // colour and an editable edit before it and rebuild their lookup after it.
    virtual void BeforeEditorProp(TColor /*CellColor*/) {}
    virtual void AfterEditorProp() {}
    // The value of the cell (real column ACol, row ARow), whose edit text is EditText.
    virtual void LoadCellValue(int ACol, int ARow, const std::string& EditText) = 0;
    // Shown and focused over the cell: the popup opens.
    virtual void DropDown() = 0;
    // Shown and focused over the cell, the start character posted.
    virtual void EditorShown() {}
    // The editor's value into the cell (real column ACol, row ARow); the popup closes.
    virtual void StoreCellValue(int ACol, int ARow) = 0;
};

// Makes the editor of a drop-down kind for Grid, owned by and parented to it, hidden.
using TDropDownCellEditorMaker = TDropDownCellEditor* (*)(TQorStringGrid* Grid, TEditorType Kind);
void SetDropDownCellEditorMaker(TDropDownCellEditorMaker Maker);

inline bool IsDropDownEditorKind(TEditorType Kind) {
    return Kind >= edTrackbarDropDown && Kind <= edQorGridDropDown;
}
