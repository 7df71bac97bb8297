#pragma once
// The process-wide table of user-interface texts, addressed by index, and the language files
// that override it ("STR<index> = <text>" lines in LANGUAGE/<language>.lng).
#include "platform/base/Classes.h"

#include <string>

constexpr int UI_Texts_Max = 1800;

// Built-in English texts in index order.
extern const char* const English_UI_Texts[UI_Texts_Max];

// Every text of the user interface; read as UI_Texts[n]. An index at or above the count raises
// the list's out-of-range error.
extern TStringList UI_Texts;
// Number of valid indexes: UI_Texts_Max once the built-in texts are loaded, 0 before.
extern int UI_Texts_Count;

// Refills UI_Texts with the built-in English texts.
void Load_Default_Texts();
// Applies one language file to UI_Texts; raises the platform's file error when it cannot be read.
void Load_Lng_File(const std::string& Path);
// Applies one line of a language file; lines that do not follow the format change nothing.
void Apply_Lng_Line(const std::string& Line);
// The built-in texts, then the file of Language_Name (English.lng when that file is missing,
// and Language_Name becomes "English").
void Load_Language();
// A language file of the built-in English texts (UTF-8 with its byte-order mark), which
// Load_Lng_File reads back unchanged: texts with blanks at their ends stand between pilcrows.
std::string English_Lng_File_Text();
// The flag bitmap shown for a language: Language_Dir + "\<language>.bmp", else
// Language_Dir + "\DefaultFlag.bmp"; "" when neither exists.
std::string Language_Flag_File(const std::string& Language);
