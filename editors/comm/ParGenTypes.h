#pragma once
// Which product types use which parameter group of the communication-parameter dialog; shared
// by the dialog's layout, file and validation sources.

namespace pargen {

inline bool Is_Any(int) {
    return true;
}
inline bool Is_KNXnet(int t) {
    return t == 14 || t == 1014;
}
inline bool Is_Delay(int t) {
    return t == 12 || t == 1012;
}
inline bool Is_Modbus_Master(int t) {
    return t == 1 || t == 1001;
}
inline bool Is_Modbus_Slave(int t) {
    return t == 2;
}
inline bool Is_Modbus_TCP_Master(int t) {
    return t == 3 || t == 1003;
}
inline bool Is_Modbus_TCP_Slave(int t) {
    return t == 4;
}
// The types that show GB_Modbus_TCP_Slave (as " Ethernet ", or for type 4 as itself).
inline bool Has_Ethernet(int t) {
    switch (t) {
    case 1:
    case 2:
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
    case 9:
    case 10:
    case 11:
    case 14:
    case 25:
    case 1001:
    case 1010:
    case 1011:
    case 1014:
        return true;
    default:
        return false;
    }
}
inline bool Is_CAN(int t) {
    return t == 5;
}
inline bool Is_CANopen(int t) {
    return t == 6;
}
inline bool Is_DNET_Master(int t) {
    return t == 7;
}
inline bool Is_DNET_Slave(int t) {
    return t == 8;
}
inline bool Is_J1939(int t) {
    return t == 9;
}
inline bool Is_MBus(int t) {
    return t == 10 || t == 1010;
}
inline bool Is_DMX(int t) {
    return t == 11 || t == 1011;
}
inline bool Is_PROFINET(int t) {
    return t == 12 || t == 1012;
}
inline bool Is_SNMP(int t) {
    return t == 15;
}
inline bool Is_PROFINET_Or_SNMP(int t) {
    return Is_PROFINET(t) || Is_SNMP(t);
}
inline bool Is_EtherNetIP(int t) {
    return t == 13;
}
inline bool Is_NMEA2000(int t) {
    return t == 25;
}

} // namespace pargen
