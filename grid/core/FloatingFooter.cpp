#include "grid/core/FloatingFooter.h"

void TFloatingFooter::SetVisible(bool v) {
    FVisible = v;
    if (OnLayout) OnLayout(true);
}

void TFloatingFooter::SetFooterStyle(TFooterStyle v) {
    FFooterStyle = v;
    if (OnLayout) OnLayout(false);
}
