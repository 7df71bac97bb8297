#pragma once
// The hot-key prefix of captions: "&x" marks x as the hot key, "&&" is one "&".

// An "&" before Next marks Next as the hot key, except before a blank, where no key applies
// and the "&" is shown as it is ("Scan & Decode").
bool MarksHotkey(char32_t Next);
