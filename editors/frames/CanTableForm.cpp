#include "editors/frames/CanTableForm.h"

#include "editors/frames/tables/CanTables.h"
#include "grid/core/QorColumnGrid.h"

#include <string_view>

TCan_Table_Form::TCan_Table_Form(TComponent* AOwner, const std::string& Name, TFrame_Form_Kind Kind)
    : TFrame_Table_Form(AOwner, Name, Kind) {
    TQorColumnGrid* g = Grid();
    g->SetDefaultRowHeight(22);
    // The row number and header of the current cell stand out.
    g->SetActiveCellShow(true);
    g->SetActiveCellColor(RGB(182, 202, 234));
    g->ActiveCellFont()->SetStyle({fsBold});
    const std::vector<TTable_Column>& columns = *Kind.Columns;
    const std::vector<std::string> bytes = CAN_Byte_Items();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const std::string_view attribute = columns[i].Attribute;
        if (attribute == "CAN_Type") Set_Items(int(i) + 1, CAN_Type_Items);
        if (attribute.starts_with("Byte")) Set_Items(int(i) + 1, bytes);
    }
}
