#include "mbus/scan/Slave_MBus.h"

TSlave_MBus_List List_Slave_MBus;
TSlave_wMBus_List List_Slave_wMBus;
