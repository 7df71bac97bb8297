#pragma once
// The set-up of the grid's drop-down cell editors, apart from the editor classes.

// Installs the maker through which every grid makes its drop-down editors; the program calls it
// once at start, after the grid library's set-up. Later calls change nothing.
void GridDropDownEditorsInitialize();
