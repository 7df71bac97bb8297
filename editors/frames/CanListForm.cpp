#include "editors/frames/CanListForm.h"

#include "editors/frames/tables/CanLegacyTables.h"
#include "editors/frames/tables/CanTables.h"
#include "grid/core/QorColumnGrid.h"

namespace {

TFrame_Form_Kind frameKind(const TCan_List_Form::TCan_List_Kind& k) {
    const int t = k.First_Text;
    return {
        "sga",         k.Columns,
        &New_CAN_List, k.Load,
        k.Check,       k.Save,
        k.File,        {t, t + 1, {t + 2, t + 3, t + 4, t + 5, 0, 0}, {}, t + 6, k.Delete_Question},
        759,           false,
        false,         false};
}

} // namespace

TCan_List_Form::TCan_List_Form(TComponent* AOwner, const std::string& Name,
                               const TCan_List_Kind& Kind)
    : TFrame_Table_Form(AOwner, Name, frameKind(Kind)) {
    sga = Grid();
    sga->Columns()->Items(0)->SetWidth(64);
    Set_Items(2, CAN_Type_Items);
}
