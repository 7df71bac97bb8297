// A cell graphic that reports its destruction; kept apart from the grid headers.
#include "grid/core/base/CellGraphic.h"

namespace {
class ProbeGraphic : public TCellGraphic {
public:
    explicit ProbeGraphic(bool* destroyed) : destroyed_(destroyed) {}
    ~ProbeGraphic() override { *destroyed_ = true; }

private:
    bool* destroyed_;
};
} // namespace

TObject* MakeProbeCellGraphic(bool* destroyed) {
    return new ProbeGraphic(destroyed);
}
