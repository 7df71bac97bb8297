#pragma once
// The CONTROL tags of markup texts: form controls (edit, password, mask, combo, check box,
// radio button, push button) that a cell draws and edits in place. The routines take the whole
// text and scan its "<CONTROL " tags from the left; an ID is compared with regard to case.
// VALUE and PROP are stored escaped (accented characters included) and read back unescaped.
#include <string>
#include <string_view>

struct HTMLControlTag {
    std::string Type; // upper case
    std::string ID;
    std::string Value;
    std::string Prop;
    std::string MaxLen;
    std::string Width;
    std::string Height;
};

// "<CONTROL" occurs, in any case.
bool HTMLHasControls(std::string_view text);
// The attributes of one tag's text; each empty when absent.
HTMLControlTag HTMLParseControlTag(std::string_view tag);
// VALUE of the first control with that ID; found tells whether there is one.
std::string HTMLGetControlValue(std::string_view text, std::string_view id, bool& found);
// PROP (a MASK control's edit mask) of that control; empty when none.
std::string HTMLGetControlProp(std::string_view text, std::string_view id);
// MAXLEN of that control as a number; 0 when none.
int HTMLGetControlMaxLen(std::string_view text, std::string_view id);
// ID of the first control after the one with that ID (after the start for an empty ID) that is
// no BUTTON, CHECK or RADIO; empty when there is none.
std::string HTMLNextControlID(std::string_view text, std::string_view id);
// Rewrites the tag of the control with that ID with the new VALUE (ID, VALUE, WIDTH, TYPE, and
// PROP and MAXLEN when it had them); false, and the text unchanged, when there is none.
bool HTMLSetControlValue(std::string& text, std::string_view id, std::string_view value);
// The text with the VALUE of every RADIO control set to "FALSE".
std::string HTMLClearRadioControls(std::string_view text);
// One "*" for each character of text.
std::string HTMLPasswordMask(std::string_view text);
