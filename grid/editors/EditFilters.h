#pragma once
// The character rules the grid's number editors share (the text editor's number kinds and the
// number kinds of the edits with a button).
#include <string>

enum class TNumberKind { Integer, PositiveInteger, Float, PositiveFloat };

// Whether a number editor takes Key typed into Text with the selection (SelStart, SelLength);
// Beep says whether a refusal beeps. Backspace, Tab, Enter and Escape always pass.
bool NumberKeyAccepted(TNumberKind Kind, char32_t Key, const std::u32string& Text, int SelStart,
                       int SelLength, bool& Beep);

// A pasted text loses its line break when its only CR LF ends it.
void DropFinalLineBreak(std::string& Text);
