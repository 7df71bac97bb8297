#pragma once
// The identifiers of the grid's enumeration values, in value order, as the component stream
// writes and reads them.
#include <string_view>

struct TEnumNames {
    const char* const* Names;
    int Count;
};

extern const TEnumNames AlignmentNames;         // TAlignment
extern const TEnumNames VAlignmentNames;        // TVAlignment
extern const TEnumNames BrushStyleNames;        // TBrushStyle
extern const TEnumNames FontStyleNames;         // TFontStyle
extern const TEnumNames EditorTypeNames;        // TEditorType
extern const TEnumNames GradientDirectionNames; // TCellGradientDirection
extern const TEnumNames CellTypeNames;          // TCellType
extern const TEnumNames CellHAlignNames;        // TCellHAlign
extern const TEnumNames CellVAlignNames;        // TCellVAlign
extern const TEnumNames CheckBoxStateNames;     // TCheckBoxState

// The identifier of a value; nullptr for a value outside the list.
const char* EnumToIdent(const TEnumNames& Names, int Value);
// The value of an identifier (letter case ignored); -1 for an unknown one.
int IdentToEnum(const TEnumNames& Names, std::string_view Ident);
