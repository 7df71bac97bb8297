#pragma once
// The grid's own glyph pictures (check boxes, radio buttons, node buttons), kept under their
// resource names. Each carries its transparent colour in the bottom-left pixel.
#include "platform/gfx/Graphics.h"

#include <string>

// The glyph of that name, nullptr for an unknown name. The first call also registers every
// glyph as a resource bitmap (DrawResourceBitmap).
const TBitmap* CellGlyph(const std::string& Name);
