#pragma once
// Free text, number and date routines of the grid. Text is UTF-8; positions are 1-based byte
// positions as the platform's Pos answers them. Locale values are read at every call.
#include "platform/base/DateUtils.h"
#include "platform/base/SysUtils.h"
#include "platform/base/Types.h"

#include <string>
#include <string_view>

class TStrings;

// --- text and search helpers -------------------------------------------------------------
inline int Min(int a, int b) {
    return a < b ? a : b;
}
inline int Max(int a, int b) {
    return a > b ? a : b;
}
// A limit of 0 or below means no limit; equal limits leave the value unchanged.
int LimitValue(int Value, int Lower, int Upper);
// Grid rectangle in cells, both corners included.
bool CellInGridRect(const TRect& GridRect, int Col, int Row);
int CharPos(char Ch, std::string_view Text);
// As CharPos; Position is set only when the character is found.
int CharPosVar(char Ch, std::string_view Text, int& Position);
int VarPos(std::string_view Sub, std::string_view Text, int& Position);
// Sub must already be upper case.
int PosInUpperCase(std::string_view Sub, std::string_view Text);
int WidePos(std::u16string_view Sub, std::u16string_view Text);
int CountChar(char Ch, std::string_view Text);
// Answers the part before Delimiter and removes it with the delimiter from Text; without a
// delimiter answers "" and leaves Text alone.
std::string SplitOffToken(std::string& Text, std::string_view Delimiter);
std::string ConcatStrings(const TStrings& Strings);
// Every character of Text becomes Ch.
void FillStringChar(std::string& Text, char Ch);
// First character of Chars outside double quotes, with its position; '\0' and -1 when none.
char FindUnquotedChar(std::string_view Chars, std::string_view Text, int& Position);

// --- cell text kinds and packed wide text ------------------------------------------------
constexpr int ctkPlain = 0;
constexpr int ctkMarkup = 1;
constexpr int ctkRTF = 2;
constexpr int ctkFormula = 3;
constexpr int ctkPackedWide = 5;
int GetCellTextKind(std::string_view Text, bool MarkupEnabled);

// "|\" then per UTF-16 unit one character holding its high byte and one its low byte.
std::string EncodePackedWideText(std::u16string_view Text);
// The units of a packed text; any other text converted unchanged.
std::u16string DecodePackedWideText(std::string_view Text);

// --- numbers --------------------------------------------------------------------------------
constexpr int ntkInteger = 0;
constexpr int ntkDecimal = 1;
constexpr int ntkNotANumber = 2;
constexpr int ntkExponent = 5;
int NumberTextKind(std::string_view Text);
// A plain number text with "." as decimal point, e.g. "(1.234,50 EUR)" gives "-1234.50".
std::string ExtractNumericText(std::string_view Text);
// The locale's decimal separator written as ".", its thousand separators removed.
std::string NormalizeNumberText(std::string_view Text);

// --- dates ----------------------------------------------------------------------------------
// A date in the locale's short date order with an optional "h:m[:s]" time.
bool ParseLocaleDateTime(std::string_view Text, TDateTime& Value);
// Month, day, year (US) or day, month, year (EU) separated by "/", "." or "-"; 0 when the text
// does not parse. Raises EConvertError for a date that does not exist.
TDateTime ParseShortDateUS(std::string_view Text);
TDateTime ParseShortDateEU(std::string_view Text);
bool LooksLikeDate(std::string_view Text);
// The next value of a fill series. Raises EConvertError for a date that does not exist.
double IncDateStep(int Years, int Months, int Days, double Base, double Step);

// --- line breaks ----------------------------------------------------------------------------
std::string EncodeLineBreaks(std::string_view Text);
std::string DecodeLineBreaks(std::string_view Text, bool MultiLine);
std::string EscapeLineBreaks(std::string_view Text);
std::string UnescapeLineBreaks(std::string_view Text);
std::string CRToBR(std::string_view Text);
std::string CRToLF(std::string_view Text);
std::string RemoveCR(std::string_view Text);
std::string CRLFToLF(std::string_view Text);
std::string QuoteMultiLineText(std::string_view Text);
std::string LTToCRLF(std::string_view Text);
std::string CRLFToTilde(std::string_view Text);
std::string TildeToCRLF(std::string_view Text);
// Line is the text before the first CR; Text loses it, the CR and one LF after it, and is
// then emptied unless KeepRest.
void GetNextLine(std::string& Text, bool KeepRest, std::string& Line);
int CountLines(std::string_view Text, bool MultiLine);

// --- CSV ------------------------------------------------------------------------------------
std::string QuoteDoubleQuotes(std::string_view Text);
std::string UndoubleChar(char Ch, std::string_view Text);
// End of the first run of an odd number of quotes followed by another character, or a quote
// that ends the text; 0 when none.
int FindClosingQuote(char Quote, std::string_view Text);
int CountClosingQuotes(char Quote, std::string_view Text);
// OEM is code page 850 and ANSI code page 1252: StringToOem leaves text whose ANSI bytes are
// the OEM bytes; OemToString reverses it.
void StringToOem(std::string& Text);
void OemToString(std::string& Text);

// --- HTML and links -------------------------------------------------------------------------
// Wraps the UTF-8 fragment in the clipboard's HTML header, which declares UTF-8; offsets count
// bytes of the result.
void MakeClipboardHTML(std::string& Text);
std::string ColorToHTMLHex(TColor Color);
// Turns the first URL starting with Prefix (upper case) into a link; false when absent.
bool MakeURLLink(std::string_view Text, std::string_view Prefix, std::string& Result);
bool IsURL(std::string_view Text);
void StripURLProtocol(std::string& Text);
// "R<row>C<column>"; Cell gets (column, row) on success.
bool ParseCellReference(std::string_view Text, TPoint& Cell);

// Mixed case: "henry iii" gives "Henry III", "mcdonald" gives "McDonald".
std::string CapitalizeWords(std::string_view Text);
