#include "shell/state/UITexts.h"

#include "platform/files/Files.h"
#include "shell/state/ProgramState.h"

TStringList UI_Texts;
int UI_Texts_Count = 0;

namespace {
const std::string Pilcrow = "\xC2\xB6"; // U+00B6 in UTF-8
}

void Load_Default_Texts() {
    UI_Texts.BeginUpdate();
    UI_Texts.Clear();
    for (const char* text : English_UI_Texts) UI_Texts.Add(text);
    UI_Texts.EndUpdate();
    UI_Texts_Count = UI_Texts_Max;
}

std::string English_Lng_File_Text() {
    std::string out = "\xEF\xBB\xBF";
    for (int i = 0; i < UI_Texts_Max; ++i) {
        const std::string text = English_UI_Texts[i];
        const bool keepBlanks = text.empty() || Trim(text) != text;
        out +=
            "STR" + IntToStr(i) + " = " + (keepBlanks ? Pilcrow + text + Pilcrow : text) + "\r\n";
    }
    return out;
}

void Apply_Lng_Line(const std::string& Line) {
    const std::string S = Trim(Line);
    if (!StartsStr("STR", S)) return;
    const std::size_t equals = S.find('=');
    if (equals == std::string::npos) return;
    // The key ends one character before the "=" (normally a blank); step back over that
    // character whole, whatever its length in UTF-8.
    std::size_t keyEnd = equals;
    if (keyEnd > 0) --keyEnd;
    while (keyEnd > 0 && (static_cast<unsigned char>(S[keyEnd]) & 0xC0) == 0x80) --keyEnd;
    if (keyEnd <= 3) return;
    int index = 0;
    if (!TryStrToInt(Trim(S.substr(3, keyEnd - 3)), index)) return;
    if (index < 0 || index >= UI_Texts_Count) return;

    std::string value = Trim(S.substr(equals + 1));
    if (value.empty()) return;
    if (const std::size_t comment = value.find("/#/"); comment != std::string::npos) {
        value = Trim(value.substr(0, comment));
        if (value.empty()) return;
    }
    // A value between two pilcrows keeps the blanks at its ends.
    if (StartsStr(Pilcrow, value)) value.erase(0, Pilcrow.size());
    if (const std::size_t end = value.find(Pilcrow); end != std::string::npos) value.erase(end);
    UI_Texts.Put(index, value);
}

void Load_Lng_File(const std::string& Path) {
    TStringList lines;
    ReadTextLines(Path, lines);
    for (int i = 0; i < lines.Count(); ++i) Apply_Lng_Line(lines[i]);
}

void Load_Language() {
    Load_Default_Texts();
    const std::string path = PathJoin(Language_Dir, Language_Name + ".lng");
    if (FileExists(path)) {
        Load_Lng_File(path);
        return;
    }
    Language_Name = "English";
    const std::string english = PathJoin(Language_Dir, "English.lng");
    if (FileExists(english)) Load_Lng_File(english);
}

std::string Language_Flag_File(const std::string& Language) {
    for (const std::string& name : {Language + ".bmp", std::string("DefaultFlag.bmp")}) {
        const std::string path = PathJoin(Language_Dir, name);
        if (FileExists(path)) return path;
    }
    return "";
}
