#include "editors/frames/NmeaTableForm.h"

#include "grid/core/QorColumnGrid.h"

namespace {

TFrame_Form_Kind frameKind(const TNmea_Table_Form::TNmea_Form_Kind& k) {
    const int t = k.First_Text;
    return {"sga",
            k.Columns,
            &New_NMEA_Table,
            &Load_NMEA_Table,
            k.Check,
            &Save_NMEA_Table,
            k.File,
            {t,
             t + 1,
             {t + 2, t + 3, t + 4, t + 5, t + 6, t + 7},
             {0, 0, 0, 0, t + 12, t + 13},
             t + 14,
             k.Delete_Question},
            810,
            true,
            true,
            true};
}

} // namespace

TNmea_Table_Form::TNmea_Table_Form(TComponent* AOwner, const std::string& Name,
                                   const TNmea_Form_Kind& Kind)
    : TFrame_Table_Form(AOwner, Name, frameKind(Kind)) {
    sga = Grid();
    TQorColumnGrid* g = sga;
    sga->OnDblClickCell = [g](TObject*, int ARow, int ACol) { Grid_Auto_Size_Col(g, ARow, ACol); };
    sga->OnKeyDown = [g](TObject*, WORD& Key, TShiftState) { Grid_Enter_Next_Cell(g, Key); };
}
