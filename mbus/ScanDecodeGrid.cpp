#include "grid/core/QorColumnGrid.h"
#include "mbus/ScanDecode.h"
#include "platform/base/DateUtils.h"

// The wireless senders' grid of the scan window.

namespace {
// Light red (encrypted) and light green rows.
constexpr TColor Row_Cripted = 0xB9BAFF;
constexpr TColor Row_Plain = 0xA8FFA8;
} // namespace

void TFScanDecode::Build_Wireless_Grid() {
    ASG_Wireless = Create_Control<TQorColumnGrid>(this, P_View_Wireless, "ASG_Wireless");
    ASG_Wireless->SetAlign(alTop);
    ASG_Wireless->SetHeight(200);
    ASG_Wireless->SetColCount(13);
    ASG_Wireless->SynchColumns();
    ASG_Wireless->SetRowCount(2);
    const char* headers[] = {"N",
                             "Date Time",
                             "Message Type",
                             "Manufacturer (LLA)",
                             "Address (LLA)",
                             "Version (LLA)",
                             "Device Type (LLA)",
                             "Manufacturer (ALA)",
                             "Address (ALA)",
                             "Version (ALA)",
                             "Device Type (ALA)",
                             "RSSI",
                             "Cripted"};
    const int widths[] = {40, 65, 90, 120, 90, 85, 110, 120, 90, 85, 110, 50, 70};
    for (int c = 0; c < 13; ++c) {
        ASG_Wireless->Columns()->Items(c)->SetHeader(headers[c]);
        ASG_Wireless->Columns()->Items(c)->SetWidth(widths[c]);
    }
    ASG_Wireless->SetOptions(ASG_Wireless->Options() + goRowSelect);
    ASG_Wireless->SetGridImages(ImageList1);
    ASG_Wireless->OnClickCell = [this](TObject*, int ARow, int) {
        if (ARow >= 1 && ARow - 1 < List_Slave_wMBus.Count()) Show_Slave_in_Tree_Wireless(ARow - 1);
    };
    ASG_Wireless->OnDblClickCell = [this](TObject*, int ARow, int) {
        TPoint p;
        GetCursorPos(p);
        ASG_WirelessDblClickCell(ARow, p);
    };
}

void TFScanDecode::Clear_Wireless_Grid() {
    ASG_Wireless->SetRowCount(2);
    for (int c = 0; c < ASG_Wireless->ColCount(); ++c) {
        ASG_Wireless->SetCells(c, 1, "");
        ASG_Wireless->SetColors(c, 1, clWhite);
    }
    ASG_Wireless->RemoveImageIdx(12, 1);
}

void TFScanDecode::Update_Wireless_List(int Index, TSlave_wMBus* s) {
    if (ASG_Wireless->RowCount() < Index + 2) ASG_Wireless->SetRowCount(Index + 2);
    const int r = Index + 1;
    const TColor back = s->Cripted ? Row_Cripted : Row_Plain;
    auto hex = [](long long v, int d) { return IntToHex(v, d); };
    const std::string cells[] = {
        std::to_string(r),
        DateTimeToStr(s->DateTime),
        "0x" + hex(s->Message_Type, 2),
        s->LLA_Manu_str + "(" + hex(s->LLA_Manufacturer, 4) + ")",
        hex(std::uint32_t(s->LLA_Address), 8),
        std::to_string(s->LLA_Version) + " (" + hex(s->LLA_Version, 2) + ")",
        std::to_string(s->LLA_DeviceType) + " (" + hex(s->LLA_DeviceType, 2) + ")",
        s->ALA_Manu_str + "(" + hex(s->ALA_Manufacturer, 4) + ")",
        hex(std::uint32_t(s->ALA_Address), 8),
        std::to_string(s->ALA_Version) + " (" + hex(s->ALA_Version, 2) + ")",
        std::to_string(s->ALA_DeviceType) + " (" + hex(s->ALA_DeviceType, 2) + ")",
        std::to_string(s->RSSI)};
    for (int c = 0; c < 13; ++c) {
        if (c < 12) ASG_Wireless->SetCells(c, r, cells[c]);
        if (c > 0) ASG_Wireless->SetColors(c, r, back);
    }
    ASG_Wireless->AddImageIdx(12, r, s->Cripted ? 0 : 1, haCenter, vaCenter);
}
