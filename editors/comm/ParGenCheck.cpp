// The communication-parameter dialog's validation.
#include "editors/comm/ParGen.h"
#include "editors/comm/ParGenTypes.h"
#include "platform/base/SysUtils.h"
#include "platform/ui/core/Dialogs.h"
#include "shell/state/KnxText.h"
#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

using namespace pargen;

namespace {

bool In_Range(const TEdit* Edit, int Low, int High) {
    const int v = TFParGen::Text_To_Int(Edit->Text(), -1);
    return v >= Low && v <= High;
}

bool Is_KNX_Individual(const TEdit* Edit) {
    return Check_KNX_Address(Trim(Edit->Text()), false, false) == 0;
}

} // namespace

bool TFParGen::Error(int Entry, const std::string& Suffix) {
    MessageDlg(UI_Texts[Entry] + Suffix, mtError, {mbOK});
    return false;
}

bool TFParGen::Controllo_Dati() {
    const int type = Product_Type();
    // The IP, mask and (when ticked) gateway octets of a row group; the messages of octet n
    // are the entries First_IP + n - 1 and so on.
    auto octets = [&](const std::vector<TEdit*>& edits, const TCheckBox* gateway, int first_ip,
                      int first_sm, int first_gat) {
        for (int n = 0; n < 4; ++n)
            if (!In_Range(edits[n], 0, 255)) return Error(first_ip + n);
        for (int n = 0; n < 4; ++n)
            if (!In_Range(edits[4 + n], 0, 255)) return Error(first_sm + n);
        if (gateway->Checked())
            for (int n = 0; n < 4; ++n)
                if (!In_Range(edits[8 + n], 0, 255)) return Error(first_gat + n);
        return true;
    };
    const auto& slave_octets = octet_rows_.at("Modbus_TCP_Slave");
    const auto& master_octets = octet_rows_.at("Modbus_TCP_Master");
    const auto& profinet_octets = octet_rows_.at("PROFINET");
    const auto& ethernetip_octets = octet_rows_.at("EtherNetIP");

    if (!Is_KNX_Individual(E_ID_DEV_KNX)) return Error(123);
    if (Is_KNXnet(type)) {
        if (!Is_KNX_Individual(E_ID_Tun_KNX)) return Error(949);
        if (!Is_KNX_Individual(E_ID_Mana_KNX)) return Error(950);
        if (!In_Range(E_CTRL_Port_KNX, 0, 65535)) return Error(951);
        if (!In_Range(E_TUN_Port_KNX, 0, 65535)) return Error(952);
        if (!In_Range(E_MANA_Port_KNX, 0, 65535)) return Error(953);
        const int ctrl = Text_To_Int(E_CTRL_Port_KNX->Text(), -1);
        const int tun = Text_To_Int(E_TUN_Port_KNX->Text(), -1);
        const int mana = Text_To_Int(E_MANA_Port_KNX->Text(), -1);
        if (ctrl == tun || ctrl == mana || tun == mana) return Error(954);
    }
    if (Is_Delay(type) && !In_Range(E_KNX_Delay_Packets, 0, 1000)) return Error(980);

    if (Is_Modbus_Master(type)) {
        if (CB_StopBits_Modbus_Master->ItemIndex() > 0 && CB_Par_Modbus_Master->ItemIndex() > 0)
            return Error(124);
        if (!In_Range(E_TO_Modbus_Master, 0, 100000)) return Error(125);
        if (!In_Range(E_CD_Modbus_Master, 0, 10000)) return Error(126);
    }
    if (Is_Modbus_Slave(type)) {
        if (CB_StopBits_Modbus_Slave->ItemIndex() > 0 && CB_Par_Modbus_Slave->ItemIndex() > 0)
            return Error(341);
        if (!In_Range(E_ID_Modbus_Slave, 1, 247)) return Error(127);
        if (CB_Modbus_Slave_Diagnostic->Checked() && !In_Range(E_Modbus_Slave_Diagnostic, 0, 1438))
            return Error(982);
    }
    if (Is_Modbus_TCP_Master(type)) {
        if (!In_Range(E_TO_Modbus_TCP_Master, 0, 100000)) return Error(128);
        if (!In_Range(E_CD_Modbus_TCP_Master, 0, 10000)) return Error(129);
        if (!octets(master_octets, CB_En_GAT_Modbus_TCP_Master, 130, 134, 138)) return false;
    }
    if (Is_Modbus_TCP_Slave(type)) {
        const int port = Text_To_Int(E_Port_Modbus_TCP_Slave->Text(), -1);
        if (port < 0 || port > 65535 || port == 10000) return Error(142);
        if (CB_Modbus_TCP_Slave_Diagnostic->Checked() &&
            !In_Range(E_Modbus_TCP_Slave_Diagnostic, 0, 1438))
            return Error(984);
        if (!octets(slave_octets, CB_En_GAT_Modbus_TCP_Slave, 143, 151, 159)) return false;
    } else if (Has_Ethernet(type)) {
        if (!octets(slave_octets, CB_En_GAT_Modbus_TCP_Slave, 147, 155, 163)) return false;
    }
    if (Is_CANopen(type)) {
        if (!In_Range(E_ID_CANopen, 1, 127)) return Error(371);
        if (CB_Net_Ope_CANopen->Checked() && !In_Range(E_NO_Delay_CANopen, 0, 255))
            return Error(372);
        if (!In_Range(E_SDO_TO_CANopen, 0, 100000)) return Error(373);
    }
    if (Is_DNET_Master(type) && !In_Range(E_ID_DNET_Master, 0, 63)) return Error(374);
    if (Is_DNET_Slave(type)) {
        if (!In_Range(E_ID_DNET_Slave, 0, 63)) return Error(375);
        if (!In_Range(E_NB_IN_DNET_Slave, 0, 455)) return Error(376);
        if (!In_Range(E_NB_OUT_DNET_Slave, 0, 455)) return Error(377);
    }
    if (Is_J1939(type)) {
        if (!In_Range(E_TO_J1939, 0, 100000)) return Error(378);
        if (!In_Range(E_J1939_DevID, 0, 239)) return Error(975);
    }
    if (Is_MBus(type)) {
        const bool wire = CB_MBus_Options_Wire_Present->ItemIndex() == 1;
        if (CB_MBus_Options_Wire_Present->ItemIndex() == 0 &&
            CB_MBus_Options_Wireless_Present->ItemIndex() == 0)
            return Error(736);
        if (wire && !In_Range(E_CD_Mbus, 0, 65535)) return Error(737);
        if (wire && !In_Range(E_NSE_MBus, 0, 255)) return Error(738);
    }
    if (Is_DMX(type) && !In_Range(E_DMX_Num_Channel, 24, 512)) return Error(862);
    if (Is_PROFINET(type)) {
        if (!octets(profinet_octets, CB_EN_GAT, 897, 901, 905)) return false;
        if (!In_Range(E_NB_IN_PROFINET, 1, 1438)) return Error(909, "1438");
        if (!In_Range(E_NB_OUT_PROFINET, 1, 1438)) return Error(910, "1438");
    }
    if (Is_EtherNetIP(type)) {
        if (!octets(ethernetip_octets, CB_EtherNetIP_Gateway, 929, 933, 937)) return false;
        if (Text_To_Int(E_Port_EtherNetIP->Text(), -1) != 44818) return Error(941);
        if (!In_Range(E_B_IN_EtherNetIP, 0, 496)) return Error(942);
        if (!In_Range(E_B_OUT_EtherNetIP, 0, 500)) return Error(943);
    }
    if (Is_SNMP(type) && !octets(profinet_octets, CB_EN_GAT, 957, 961, 965)) return false;
    if (Is_NMEA2000(type)) {
        if (!In_Range(E_NMEA2000_TimeOut, 0, 100000)) return Error(993);
        if (!In_Range(E_NMEA2000_ID_Device, 0, 239)) return Error(994);
    }
    return true;
}
