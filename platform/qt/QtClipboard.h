#pragma once
// The desktop's clipboard through Qt's QClipboard.
#include "platform/ui/core/Clipbrd.h"

// Text as text/plain, every registered format under Qt's name for it; the HTML format is also
// offered as text/html and rich text as text/rtf, the names other programs read. Rich text
// that another program put on the clipboard reads as the registered rich-text format.
TClipboardAccess QtClipboardAccess();
