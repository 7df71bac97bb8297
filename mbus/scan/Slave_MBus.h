#pragma once
// The records a scan leaves behind: wired slaves, wireless senders and their decoded data
// records, and the two process-wide lists that hold them.
#include "platform/base/DateUtils.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// The VIF group code of a record without a group (VIF 6F, 7E, 7F, plain-text VIF ...).
constexpr int Type_Data_None = -1;

// One decoded data record.
class TVariable_MBus {
public:
    int dato_A = 0;                  // data bytes 0..3, least significant first
    int dato_B = 0;                  // data bytes 4..7
    std::uint8_t dimension = 0;      // DIF data field
    std::uint16_t function_fild = 0; // 0 instantaneous, 1 maximum, 2 minimum, 3 during error
    std::int64_t storage_number = 0;
    std::uint16_t tarif = 0;
    std::uint16_t device = 0; // subunit
    int type_data = Type_Data_None;
    std::uint16_t scale = 0;
    bool errata = false;
    std::string sterror;
    int nbyte = 0;
    std::string descdim;
    int numdife = 0;
    int numvife = 0;
    int vifvalue = -1;
    int PrinVIFE = 0;
    std::uint8_t casovif = 0; // 0 primary, 1 FD, 2 FB, 100 manufacturer, 101 plain-text unit
    int numdato = 0;
    std::uint8_t VIF = 0;
    std::string VIFE; // "$hh " per VIFE
    std::string DIF;  // "$hh"
    std::string DIFE; // "$hh " per DIFE
    std::string totdati;
    std::string VIF_ASCII;
    std::string Description;
    std::string datagiorno;
    std::string tempo;
    std::string icon;
    int Type_Data_Vife = 0;
    std::string Desc_Type_Data;
    std::string ValueStr;
    std::string FunctionFieldStr;
    std::string DataFieldStr;
    bool Enable = true;
    bool Real_Wireless_Var = true; // false for the 2F filler placeholders of wireless telegrams
    void* Node = nullptr;          // its node in the scan window's tree; nil until shown
};

using TVariable_List = std::vector<std::unique_ptr<TVariable_MBus>>;

// One wired slave.
class TSlave_MBus {
public:
    std::uint16_t Primary_Addresss = 0;
    std::string Secondary_Addresss; // identification number as hexadecimal digits
    int Manufacture = 0;
    int Version = 0;
    int Medium = 0;
    int Status = 0;
    std::string descManufacture;
    std::string descmedium;
    std::string description;
    TVariable_List List_Var;
    void* Node = nullptr; // its node in the scan window's tree; nil until shown
};

// One wireless sender.
class TSlave_wMBus {
public:
    std::uint8_t Message_Type = 0; // C field of the first telegram
    std::uint16_t LLA_Manufacturer = 0;
    std::string LLA_Manu_str;
    int LLA_Address = 0;
    std::uint8_t LLA_Version = 0;
    std::uint8_t LLA_DeviceType = 0;
    std::uint16_t ALA_Manufacturer = 0;
    std::string ALA_Manu_str;
    int ALA_Address = 0;
    std::uint8_t ALA_Version = 0;
    std::uint8_t ALA_DeviceType = 0;
    std::int8_t RSSI = 0;
    TDateTime DateTime = 0;
    bool Cripted = false;
    bool Enable = true;
    bool Enable_Key = false;
    std::array<std::uint8_t, 16> Key{};
    int RadioCrafts_Ind_Tab_Decript = -1;
    TVariable_List List_Var;
    void* Node = nullptr; // its node in the scan window's tree; nil until shown

    // Frees every record.
    void Cancel_Var() { List_Var.clear(); }
};

// A list of slaves shared by the scan thread, the UDP listener and the UI: each user holds
// Lock() while it reads or changes the list or any of its items.
template <class T> class TSlave_List {
public:
    std::unique_lock<std::recursive_mutex> Lock() const {
        return std::unique_lock<std::recursive_mutex>(mutex_);
    }
    int Count() const { return int(items_.size()); }
    T* Items(int i) const { return items_.at(std::size_t(i)).get(); }
    T* Last() const { return items_.empty() ? nullptr : items_.back().get(); }
    int Add(std::unique_ptr<T> item) {
        auto lock = Lock();
        items_.push_back(std::move(item));
        return Count() - 1;
    }
    // Frees every item with its records.
    void Clear() {
        auto lock = Lock();
        items_.clear();
    }

private:
    mutable std::recursive_mutex mutex_;
    std::vector<std::unique_ptr<T>> items_;
};

using TSlave_MBus_List = TSlave_List<TSlave_MBus>;

// The most wireless senders a scan lists: a network holds no more wireless meters than its
// data area has bytes, as each delivers at least one.
constexpr int Max_Wireless_Senders = 1439;

// The wireless senders, found by their application-layer identity in logarithmic time however
// many telegrams arrive.
class TSlave_wMBus_List : public TSlave_List<TSlave_wMBus> {
public:
    // Appends a sender, indexed by its identity, which must not change afterwards.
    int Add(std::unique_ptr<TSlave_wMBus> item);
    void Clear();
    // The index of the first sender with this identity, or -1.
    int Find(std::uint16_t Manufacturer, int Address, std::uint8_t Version,
             std::uint8_t DeviceType) const;

private:
    std::map<std::uint64_t, int> index_;
};

// The wired slaves and wireless senders found by the scans; the main window empties them at
// start-up, the scan window before each new scan.
extern TSlave_MBus_List List_Slave_MBus;
extern TSlave_wMBus_List List_Slave_wMBus;
