#include "shell/StepLayout.h"

int Step_Label_Top(int k) {
    return 128 + 44 * (k - 1);
}

TStep_Layout Get_Step_Layout(int Type) {
    const TStep_Button_Place knx{"Btn_KNX_Access", 80, 200};
    TStep_Layout l;
    l.Known = true;
    l.Logo = Type > 1000;
    switch (Type) {
    case 1:
    case 1001:
    case 3:
    case 1003:
        l.Steps = 5;
        l.Buttons = {knx, {"Btn_ModM_SetAccess", 80, 244}};
        l.Last_At = 288;
        break;
    case 2:
    case 4:
    case 8:
    case 13:
    case 15:
        l.Steps = 4;
        l.Buttons = {knx};
        l.Last_At = 244;
        break;
    case 5:
        l.Steps = 6;
        l.Buttons = {knx, {"Btn_CAN_Rec_Frame", 80, 244}, {"Btn_CAN_Send_Frame", 80, 288}};
        l.Last_At = 332;
        break;
    case 6:
        l.Steps = 8;
        l.Buttons = {knx,
                     {"Btn_SDO_Server_CANopen", 80, 244},
                     {"Btn_SDO_Client_CANopen", 80, 288},
                     {"Btn_PDO_CANopen", 80, 332},
                     {"Btn_CANopen_EDS", 80, 376}};
        l.Last_At = 420;
        break;
    case 7:
        l.Steps = 5;
        l.Buttons = {knx, {"Btn_DNet_Net", 80, 244}, {"Btn_DNet_Offset", 258, 244}};
        l.Last_At = 288;
        break;
    case 9:
    case 25:
        l.Steps = 6;
        l.Buttons = {knx, {"Btn_J1939_Rec_Frame", 80, 244}, {"Btn_J1939_Send_Frame", 80, 288}};
        l.Last_At = 332;
        break;
    case 10:
    case 1010:
        l.Steps = 5;
        l.Buttons = {{"Btn_ScanDecode", 516, 70}, knx, {"Btn_MBus", 80, 244}};
        l.Last_At = 288;
        break;
    case 11:
    case 1011:
        l.Steps = 5;
        l.Buttons = {knx, {"Btn_DMX_Default", 80, 244}};
        l.Last_At = 288;
        break;
    case 12:
    case 1012:
        l.Steps = 5;
        l.Buttons = {knx, {"Btn_PROFINET_XML", 80, 244}};
        l.Last_At = 288;
        break;
    case 14:
    case 1014:
        l.Steps = 3;
        l.Last_At = 200;
        break;
    default:
        return {};
    }
    l.Link_Step = l.Steps;
    return l;
}

int Link_Top(const TStep_Layout& Layout) {
    return Layout.Known ? Step_Label_Top(Layout.Link_Step) : Morvik_Design_Top;
}

int Logo_Left() {
    return Morvik_Left - 121;
}

int Logo_Top(const TStep_Layout& Layout) {
    return Link_Top(Layout) - 38;
}

int Shape1_Top(int Last_At) {
    return Last_At + 51;
}

int Main_Client_Height(int Last_At) {
    return Last_At + 152;
}
