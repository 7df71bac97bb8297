#include "mbus/scan/Slave_MBus.h"

TSlave_MBus_List List_Slave_MBus;
TSlave_wMBus_List List_Slave_wMBus;

namespace {

std::uint64_t identity(std::uint16_t Manufacturer, int Address, std::uint8_t Version,
                       std::uint8_t DeviceType) {
    return std::uint64_t(Manufacturer) << 48 | std::uint64_t(std::uint32_t(Address)) << 16 |
           std::uint64_t(Version) << 8 | DeviceType;
}

} // namespace

int TSlave_wMBus_List::Add(std::unique_ptr<TSlave_wMBus> item) {
    auto lock = Lock();
    const std::uint64_t key = identity(item->ALA_Manufacturer, item->ALA_Address, item->ALA_Version,
                                       item->ALA_DeviceType);
    const int i = TSlave_List<TSlave_wMBus>::Add(std::move(item));
    index_.emplace(key, i); // the first sender of an identity stays the one found
    return i;
}

void TSlave_wMBus_List::Clear() {
    auto lock = Lock();
    TSlave_List<TSlave_wMBus>::Clear();
    index_.clear();
}

int TSlave_wMBus_List::Find(std::uint16_t Manufacturer, int Address, std::uint8_t Version,
                            std::uint8_t DeviceType) const {
    auto lock = Lock();
    const auto it = index_.find(identity(Manufacturer, Address, Version, DeviceType));
    return it == index_.end() ? -1 : it->second;
}
