#include "grid/core/base/GridTypeNames.h"

#include "platform/base/SysUtils.h"

#include <iterator>

namespace {
constexpr const char* alignment[] = {"taLeftJustify", "taRightJustify", "taCenter"};
constexpr const char* vAlignment[] = {"vtaTop", "vtaCenter", "vtaBottom"};
constexpr const char* brushStyle[] = {"bsSolid",     "bsClear",     "bsHorizontal", "bsVertical",
                                      "bsFDiagonal", "bsBDiagonal", "bsCross",      "bsDiagCross"};
constexpr const char* fontStyle[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
constexpr const char* editorType[] = {"edNormal",
                                      "edSpinEdit",
                                      "edComboEdit",
                                      "edComboList",
                                      "edEditBtn",
                                      "edCheckBox",
                                      "edDateEdit",
                                      "edDateEditUpDown",
                                      "edTimeEdit",
                                      "edButton",
                                      "edDataCheckBox",
                                      "edNumeric",
                                      "edPositiveNumeric",
                                      "edFloat",
                                      "edCapital",
                                      "edMixedCase",
                                      "edPassword",
                                      "edUnitEditBtn",
                                      "edLowerCase",
                                      "edUpperCase",
                                      "edFloatSpinEdit",
                                      "edTimeSpinEdit",
                                      "edDateSpinEdit",
                                      "edNumericEditBtn",
                                      "edFloatEditBtn",
                                      "edCustom",
                                      "edRichEdit",
                                      "edNone",
                                      "edDateTimeEdit",
                                      "edValidChars",
                                      "edTrackbarDropDown",
                                      "edMemoDropDown",
                                      "edCalculatorDropDown",
                                      "edTimePickerDropDown",
                                      "edDetailDropDown",
                                      "edGridDropDown",
                                      "edColorPickerDropDown",
                                      "edImagePickerDropDown",
                                      "edQorGridDropDown",
                                      "edPositiveFloat",
                                      "edNumericUnitEditBtn",
                                      "edFloatUnitEditBtn",
                                      "edMaskEditBtn"};
constexpr const char* gradientDirection[] = {"GradientVertical", "GradientHorizontal"};
constexpr const char* cellType[] = {
    "ctBitmap",      "ctIcon",         "ctNone",      "ctImageList",
    "ctCheckBox",    "ctDataCheckBox", "ctRotated",   "ctDataImage",
    "ctNode",        "ctRadio",        "ctEmpty",     "ctImages",
    "ctPicture",     "ctFilePicture",  "ctValue",     "ctProgress",
    "ctComment",     "ctButton",       "ctBitButton", "ctVirtCheckBox",
    "ctRowCheckBox", "ctProgressPie",  "ctSummary",   "ctRangeIndicator",
    "ctXPProgress",  "ctInterface",    "ctScrollbar", "ctRadioButton",
    "ctBalloon",     "ctShape",        "ctRating",    "ctTriStateCheckBox",
    "ctExpand"};
constexpr const char* cellHAlign[] = {"haLeft",       "haRight",     "haCenter",
                                      "haBeforeText", "haAfterText", "haFull"};
constexpr const char* cellVAlign[] = {"vaTop",       "vaBottom",    "vaCenter",
                                      "vaUnderText", "vaAboveText", "vaFull"};
constexpr const char* checkBoxState[] = {"cbUnchecked", "cbChecked", "cbGrayed"};

template <std::size_t N> constexpr TEnumNames names(const char* const (&list)[N]) {
    return TEnumNames{list, int(N)};
}
} // namespace

const TEnumNames AlignmentNames = names(alignment);
const TEnumNames VAlignmentNames = names(vAlignment);
const TEnumNames BrushStyleNames = names(brushStyle);
const TEnumNames FontStyleNames = names(fontStyle);
const TEnumNames EditorTypeNames = names(editorType);
const TEnumNames GradientDirectionNames = names(gradientDirection);
const TEnumNames CellTypeNames = names(cellType);
const TEnumNames CellHAlignNames = names(cellHAlign);
const TEnumNames CellVAlignNames = names(cellVAlign);
const TEnumNames CheckBoxStateNames = names(checkBoxState);

const char* EnumToIdent(const TEnumNames& Names, int Value) {
    return Value >= 0 && Value < Names.Count ? Names.Names[Value] : nullptr;
}

int IdentToEnum(const TEnumNames& Names, std::string_view Ident) {
    for (int i = 0; i < Names.Count; ++i)
        if (SameText(Ident, Names.Names[i])) return i;
    return -1;
}
