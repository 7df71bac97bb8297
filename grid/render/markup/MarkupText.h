#pragma once
// Routines on markup texts: plain text, escaping, highlighting of found text, the highlight
// colours and small string helpers. Positions are 1-based and count characters.
#include "platform/base/Types.h"

#include <optional>
#include <string>
#include <string_view>

class TCanvas;
class TFont;

// Colours of the HI tag for all later rendering.
void SetHTMLHighlightColors(TColor background, TColor text);
TColor HTMLHighlightBackColor();
TColor HTMLHighlightTextColor();

// BR and HR become CR LF, every other tag is removed.
std::string HTMLStripTags(std::string_view markup);
// Every tag removed, no line breaks added.
std::string HTMLRemoveTags(std::string_view markup);
// Position in the markup before which exactly n - 1 visible characters lie; length + 1 for
// one past the last visible character, 0 beyond that.
int HTMLTextPosToMarkupPos(std::string_view markup, int n);
// Position of the first match after the first `offset` characters, 0 when none.
int HTMLFindFrom(std::string_view search, std::string_view text, int offset, bool caseSensitive,
                 int* found = nullptr);
// Each match of search in the visible text wrapped in <tag> and </tag>.
std::string HTMLHighlightText(std::string_view markup, std::string_view search,
                              std::string_view tag, bool caseSensitive);
std::string HTMLUnhighlightText(std::string_view markup, std::string_view tag);
// Every <tag> and </tag> removed (tag names compare ignoring ASCII case); nothing else changes.
std::string HTMLRemoveTagPairs(std::string_view markup, std::string_view tag);
// The error marks ("e" tag pairs) removed.
std::string UnMarkText(std::string_view markup);
// "&", the double quote, "<" and ">" as entities; with accents also the accented characters
// of the entity table.
std::string HTMLEscapeText(std::string_view text, bool accents);
std::string HTMLUnescapeText(std::string_view text, bool accents);
std::string HTMLSpacesToNbsp(std::string_view text);
// CR and LF removed; with the flag each CR becomes "<BR>".
std::string HTMLLineBreaksToBR(std::string_view text, bool toBR);
// For each "<#" the "<" and the first ">" after it are removed.
std::string HTMLRemoveFieldTags(std::string_view text);
// Replaces the first occurrence of oldText (ASCII case ignored).
bool HTMLReplaceFirst(std::string_view oldText, std::string_view newText, std::string& text);
// 1-based position of part in text, ASCII case ignored; 0 when absent.
int HTMLPosNoCase(std::string_view part, std::string_view text);
// Leading integer: blanks skipped, "$" or "0x" reads hexadecimal, no digits give 0.
int HTMLValInt(std::string_view text);
// Value of a tag's attribute: the word is searched in upperTag (the tag upper-cased); the value
// runs from the first double quote behind it to the next one, taken from tag as written.
// nullopt when the word is absent, empty when no quote follows.
std::optional<std::string> HTMLTagAttribute(std::string_view tag, std::string_view upperTag,
                                            std::string_view word);

// Selects a copy of the canvas font turned by angle degrees; the previous font goes to saved.
void HTMLSelectRotatedFont(TCanvas& canvas, int angle, TFont& saved);
void HTMLRestoreFont(TCanvas& canvas, const TFont& saved);

// The XP flag: version 5.1 or later.
bool HTMLIsWinXPVersion(int major, int minor);
void HTMLCheckWinXP();
bool HTMLWinXP();

// Entity table: the character (UTF-8) and its named entity.
struct HTMLEntity {
    const char* character;
    const char* entity;
};
constexpr int HTMLEntityCount = 55;
const HTMLEntity* HTMLEntityTable();
