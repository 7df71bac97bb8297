// Writes the English language file and its flag picture into a LANGUAGE folder; the build
// runs it for the program's own folder, so the options dialog has a language on a fresh install.
#include "platform/files/Files.h"
#include "platform/gfx/Graphics.h"
#include "shell/state/UITexts.h"

#include <cstdio>
#include <string>

namespace {
// A 48 x 48 flag: a red cross on white.
void writeFlag(const std::string& path) {
    TBitmap flag(48, 48);
    TCanvas* c = flag.Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(Rect(0, 0, 48, 48));
    c->Brush()->SetColor(RGB(200, 16, 46));
    c->FillRect(Rect(20, 8, 28, 40));
    c->FillRect(Rect(4, 20, 44, 28));
    c->Brush()->SetColor(clGray);
    c->FrameRect(Rect(4, 8, 44, 40));
    flag.SaveToFile(path);
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s LANGUAGE-folder\n", argv[0]);
        return 2;
    }
    try {
        const std::string dir = argv[1];
        ForceDirectories(dir);
        WriteBinaryFile(PathJoin(dir, "English.lng"), English_Lng_File_Text());
        writeFlag(PathJoin(dir, "English.bmp"));
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s\n", e.Message().c_str());
        return 1;
    }
    return 0;
}
