#pragma once
// The scan window's wireless grid for tests that include the tree or the page control, whose
// names clash with the grid's.
#include "mbus/ScanDecode.h"

#include <string>

namespace scangrid {

TWinControl* grid(TFScanDecode* Form);
std::string cell(TFScanDecode* Form, int Col, int Row);
TColor color(TFScanDecode* Form, int Col, int Row);
// The image index of a cell, -1 without one.
int image(TFScanDecode* Form, int Col, int Row);
// The middle of a cell, in the grid's client coordinates.
TPoint middle(TFScanDecode* Form, int Col, int Row);

} // namespace scangrid
