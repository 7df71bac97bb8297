#include "shell/state/ProgramState.h"

#ifndef KNX_PRODUCT_TYPE
#error "KNX_PRODUCT_TYPE must be defined by the build (CMake setting PRODUCT_TYPE)"
#endif

namespace {
int productType = KNX_PRODUCT_TYPE;
} // namespace

int Product_Type() {
    return productType;
}

void Set_Product_Type(int value) {
    productType = value;
}

int Built_Product_Type() {
    return KNX_PRODUCT_TYPE;
}
