#pragma once
// The shell's system image lists (16 x 16 and 32 x 32 icons) and the icon index of a file, a
// folder or a file kind, as SHGetFileInfo with SHGFI_SYSICONINDEX answers them. An icon joins
// both lists the first time its kind is asked for; the back end supplies the pictures.
#include <string>

class TImageList;

TImageList* SystemImageList(bool Large);
// useFileAttributes: Path need not exist; its extension tells the kind (a bare ".txt" works).
// -1 when the platform has no icon for it.
int SystemIconIndex(const std::string& Path, bool useFileAttributes);
