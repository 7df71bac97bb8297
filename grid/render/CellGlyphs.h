#pragma once
// The grid's own glyph pictures (check boxes, radio buttons, node buttons), kept under their
// resource names. Each carries its transparent colour in the bottom-left pixel.
#include "platform/gfx/Graphics.h"

#include <string>

// The glyph of that name, nullptr for an unknown name. The first call also registers every
// glyph as a resource bitmap (DrawResourceBitmap).
const TBitmap* CellGlyph(const std::string& Name);

// Gives the screen the pictures of the grid's own cursors: 8010 (rows), 8011 (columns), 8012
// (everything, the selection resizer), 8014 (the cell selector) and 8000 .. 8008 (wheel panning:
// at rest, then by direction). The first call does it; later calls do nothing.
void RegisterGridCursors();
