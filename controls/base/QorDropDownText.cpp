// The drop-down edit's text entry: what each edit type lets through when typed, pasted or
// deleted, the prefix and suffix around the value, number formats and the number value.
#include "controls/base/QorCustomDropDown.h"

#include "controls/base/DropDownLookup.h"
#include "grid/core/base/GridUtils.h"
#include "platform/base/FormatSettings.h"
#include "platform/base/SysUtils.h"
#include "platform/ui/core/Clipbrd.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace {

char32_t decimalSeparator() {
    return char32_t(static_cast<unsigned char>(FormatSettings().DecimalSeparator));
}

char32_t thousandSeparator() {
    return char32_t(static_cast<unsigned char>(FormatSettings().ThousandSeparator));
}

bool isDigit(char32_t c) {
    return c >= '0' && c <= '9';
}

bool isHexDigit(char32_t c) {
    return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool isAlphaNumeric(char32_t c) {
    return isDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The runtime's plain conversion: "." as the decimal point whatever the locale, as far as the
// text reads as a number.
double plainNumber(const std::string& s) {
    double v = 0;
    const auto res = std::from_chars(s.data(), s.data() + s.size(), v);
    return res.ec == std::errc() ? v : 0;
}

constexpr std::u32string::size_type npos = std::u32string::npos;

} // namespace

// --- free routines -----------------------------------------------------------------------------

bool IsRangeSeparator(char32_t Ch) {
    return Ch == ',' || Ch == '-' || Ch == ';';
}

int GetValueKind(const std::string& S) {
    const std::u32string s = Utf8ToUtf32(S);
    if (s.empty()) return vkText;
    const char32_t dec = decimalSeparator(), thou = thousandSeparator();
    if (std::count(s.begin(), s.end(), U'-') > 1 || std::count(s.begin(), s.end(), dec) > 1)
        return vkText;
    if (std::all_of(s.begin(), s.end(), [](char32_t c) { return isDigit(c) || c == '-'; }))
        return vkInteger;
    bool isFloat = true;
    int lastThousand = -1;
    for (int i = 0; i < int(s.size()) && isFloat; ++i) {
        const char32_t c = s[std::size_t(i)];
        if (!(isDigit(c) || c == ',' || c == '-' || c == '.')) isFloat = false;
        if (c != thou) continue;
        if (i == 0 || (lastThousand >= 0 && i - lastThousand - 1 < 2)) isFloat = false;
        lastThousand = i;
    }
    if (isFloat) return vkFloat;
    if (std::all_of(s.begin(), s.end(), [](char32_t c) { return isHexDigit(c) || c == '-'; }))
        return vkHex;
    return vkText;
}

std::string StripThousandSeparators(const std::string& S) {
    std::u32string s = Utf8ToUtf32(S);
    s.erase(std::remove(s.begin(), s.end(), thousandSeparator()), s.end());
    return Utf32ToUtf8(s);
}

int HexDigitValue(char32_t Ch) {
    if (isDigit(Ch)) return int(Ch - '0');
    if (Ch >= 'A' && Ch <= 'F') return int(Ch - 'A') + 10;
    if (Ch >= 'a' && Ch <= 'f') return int(Ch - 'a') + 10;
    return 0;
}

long long HexToInt(const std::string& S) {
    unsigned long long v = 0;
    for (char32_t c : Utf8ToUtf32(S)) v = v * 16 + unsigned(HexDigitValue(c));
    return static_cast<long long>(v);
}

std::string CaseText(const std::string& S, bool Keep) {
    return Keep ? S : AnsiUpperCase(S);
}

// --- value and number services -----------------------------------------------------------------

int TQorCustomDropDown::prefixLength() const {
    return int(Utf8Length(FPrefix));
}

int TQorCustomDropDown::valueLength() const {
    return int(Utf8Length(Text()));
}

void TQorCustomDropDown::setSelection(int Start, int Length) {
    Perform(EM_SETSEL, WPARAM(Start), LPARAM(Start + Length));
}

bool TQorCustomDropDown::signAllowed() const {
    return FSigned && numeric();
}

std::string TQorCustomDropDown::Text() const {
    std::string t = EditText();
    if (!FPrefix.empty() && StartsStr(FPrefix, t)) t.erase(0, FPrefix.size());
    if (!FSuffix.empty() && EndsStr(FSuffix, t)) t.erase(t.size() - FSuffix.size());
    return t;
}

void TQorCustomDropDown::SetTextValue(const std::string& Value) {
    std::string v = Value;
    if (v.empty() && (numeric() || FEditType == etHex)) v = "0";
    // Numbers take the precision; any other text stays as written.
    const int kind = GetValueKind(v);
    if (FPrecision > 0 && (kind == vkInteger || kind == vkFloat)) {
        if (FEditType == etMoney)
            v = Format("%.*n", FPrecision, StrToNumber(v));
        else if (FEditType == etFloat)
            v = Format("%.*f", FPrecision, StrToNumber(v));
    }
    if (FEditType == etHex) v = AnsiUpperCase(v);
    SetEditText(FPrefix + v + FSuffix);
    FOldText = v;
    SetModified(false);
    FIsModified = false;
}

void TQorCustomDropDown::SetModifiedFlag(bool Value) {
    if ((ComponentState() & csLoading) || !editable() || ReadOnly()) return;
    SetModified(Value);
    FIsModified = Value;
}

int TQorCustomDropDown::CompleteBeforeCaret(int Count,
                                            const std::function<std::string(int)>& Caption,
                                            bool MatchCase) {
    const std::string text = EditText();
    const int caret = SelStart();
    const std::string typed = Utf8Substr(text, 0, std::size_t(caret));
    const int index = FindCompletion(Count, Caption, typed, MatchCase);
    if (index >= 0) {
        SetEditText(CompletedText(typed, Caption(index)));
        SetSelStart(caret);
        SetSelLength(int(Utf8Length(EditText())) - caret);
    } else if (!typed.empty() && typed != text) {
        SetEditText(typed);
        SetSelStart(caret);
    }
    return index;
}

double TQorCustomDropDown::StrToNumber(const std::string& S) const {
    double v = 0;
    return TryStrToFloat(StripThousandSeparators(S), v) ? v : 0;
}

double TQorCustomDropDown::GetNumberValue() const {
    const std::string v = Text();
    switch (FEditType) {
    case etString:
        return plainNumber(v);
    case etNumeric:
    case etFloat:
        if (v.empty() || v == "Error" || v == "-") return 0;
        return StrToNumber(v);
    case etMoney: {
        std::string s = StripThousandSeparators(v);
        if (!s.empty() && s.back() == FormatSettings().DecimalSeparator) s.pop_back();
        if (s.empty() || s == "-") return 0;
        return StrToNumber(s);
    }
    case etHex:
        return v.empty() ? 0 : double(HexToInt(v));
    default:
        return 0;
    }
}

void TQorCustomDropDown::SetNumberValue(double Value) {
    std::string t;
    switch (FEditType) {
    case etString:
    case etFloat:
        t = FPrecision < 0 ? Format("%g", Value) : Format("%.*f", FPrecision, Value);
        break;
    case etNumeric:
        t = FPrecision < 0 ? Format("%g", Value) : Format("%.*n", FPrecision, Value);
        break;
    case etMoney:
        t = FPrecision < 0 ? Format("%g", Value) : Format("%.*f", FPrecision, Value);
        break;
    case etHex:
        t = IntToHex(static_cast<long long>(std::trunc(Value)), 1);
        break;
    default:
        return;
    }
    SetTextValue(t);
    if (FEditType == etMoney) AutoSeparators();
    SetModifiedFlag(true);
}

void TQorCustomDropDown::SetIntegerValue(int Value) {
    switch (FEditType) {
    case etNumeric:
    case etFloat:
        SetTextValue(IntToStr(Value));
        break;
    case etMoney:
        SetTextValue(IntToStr(Value));
        AutoSeparators();
        break;
    case etHex:
        SetTextValue(IntToHex(Value, 1));
        break;
    default:
        return;
    }
    SetModifiedFlag(true);
}

void TQorCustomDropDown::AutoSeparators() {
    std::string v = Text();
    if (v.empty()) return;
    const int caret = SelStart();
    const int oldLength = int(Utf8Length(v));
    const bool negative = v[0] == '-';
    if (negative) v.erase(0, 1);
    const std::size_t dec = v.find(FormatSettings().DecimalSeparator);
    const std::string fraction = dec == std::string::npos ? std::string() : v.substr(dec);
    std::string whole =
        Format(FAutoThousandSeparator ? "%n" : "%f", std::trunc(std::fabs(GetNumberValue())));
    whole = whole.substr(0, whole.find(FormatSettings().DecimalSeparator));
    const std::string text = FPrefix + (negative ? "-" : "") + whole + fraction + FSuffix;
    // Only a change of the edit text is notified: that one notification is swallowed.
    FBlockChange = text != EditText();
    SetEditText(text);
    setSelection(std::max(0, caret + int(Utf8Length(Text())) - oldLength), 0);
}

int TQorCustomDropDown::DecimalPos(const std::string& S) const {
    const std::u32string s = Utf8ToUtf32(StripThousandSeparators(S));
    const std::size_t at = s.find(decimalSeparator());
    int pos = at == npos ? int(s.size()) + 1 : int(at) + 1;
    if (signAllowed() && s.find(U'-') != npos) --pos;
    return pos;
}

void TQorCustomDropDown::SetEditType(TDropDownEditType Value) {
    if (Value == FEditType) return;
    FEditType = Value;
    if (Value == etPassword) {
        SetPasswordChar(U'*');
        FCanUndo = false;
    } else {
        SetPasswordChar(0);
    }
    const int kind = GetValueKind(Text());
    switch (Value) {
    case etNumeric:
        if (kind != vkInteger) SetIntegerValue(0);
        break;
    case etFloat:
    case etMoney:
        if (kind == vkText || kind == vkHex) SetNumberValue(0.0);
        break;
    case etHex:
        if (kind != vkInteger && kind != vkHex) SetIntegerValue(0);
        break;
    default:
        break;
    }
}

void TQorCustomDropDown::SetPrecision(int v) {
    if (v == FPrecision) return;
    if (FEditType != etString && FEditType != etFloat && FEditType != etMoney) return;
    FPrecision = v;
    const int kind = GetValueKind(Text());
    SetNumberValue(kind == vkText || kind == vkHex ? 0.0 : GetNumberValue());
}

// --- selection ---------------------------------------------------------------------------------

void TQorCustomDropDown::SelectAll() {
    setSelection(prefixLength(), valueLength());
}

void TQorCustomDropDown::SelectAfterDecimal() {
    const std::size_t at = Utf8ToUtf32(Text()).find(decimalSeparator());
    setSelection(at == npos ? prefixLength() : int(at) + 1 + prefixLength(), 0);
}

void TQorCustomDropDown::SelectBeforeDecimal() {
    const std::size_t at = Utf8ToUtf32(Text()).find(decimalSeparator());
    setSelection(at == npos ? prefixLength() : int(at) + prefixLength(), 0);
}

// --- keys --------------------------------------------------------------------------------------

bool TQorCustomDropDown::textKeyDown(TWMKey& Message) {
    const WORD key = Message.CharCode();
    const bool ctrl = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
    auto stop = [&Message] {
        Message.SetCharCode(0);
        Message.M.Result = 0;
        return true;
    };
    if (ctrl && (key == VK_TAB || key == VK_RETURN)) {
        TCustomEdit::Dispatch(Message.M);
        return true;
    }
    if (key == VK_RETURN && FReturnIsTab) {
        Message.SetCharCode(VK_TAB);
        if (IsWindowVisible(Handle())) PostMessage(Handle(), WM_KEYDOWN, VK_TAB, 0);
    }
    const int prefix = prefixLength();
    const int valueEnd = prefix + valueLength();
    if (!FSuffix.empty()) {
        if (key == VK_RIGHT && selEnd() >= valueEnd) return stop();
        if (key == VK_DELETE) {
            if (selEnd() >= valueEnd && SelLength() == 0) return stop();
            SetModifiedFlag(true);
        }
        if (key == VK_END) {
            if (shift)
                Perform(EM_SETSEL, WPARAM(Buffer().Caret()), LPARAM(valueEnd));
            else
                setSelection(valueEnd, 0);
            return stop();
        }
    }
    if (!FPrefix.empty()) {
        if (key == VK_LEFT && selEnd() <= prefix) return stop();
        if (key == VK_HOME) {
            if (shift)
                Perform(EM_SETSEL, WPARAM(valueEnd), LPARAM(prefix));
            else
                setSelection(prefix, 0);
            return stop();
        }
        if (key == VK_BACK) {
            if (SelStart() <= prefix + 1) return stop();
            SetModifiedFlag(true);
        }
    }
    if (key == VK_DELETE && SelStart() >= prefix) {
        std::u32string predicted = Utf8ToUtf32(Text());
        const int at = std::min(SelStart() - prefix, int(predicted.size()));
        predicted.erase(std::size_t(at), std::size_t(std::max(1, SelLength())));
        if (FLengthLimit > 0 && DecimalPos(Utf32ToUtf8(predicted)) - 1 > FLengthLimit)
            return stop();
        SetModifiedFlag(true);
    }
    TCustomEdit::Dispatch(Message.M);
    if (Message.CharCode() == VK_DELETE && FEditType == etMoney) AutoSeparators();
    if (!FPrefix.empty() && SelStart() < prefix) setSelection(prefix, 0);
    return false;
}

void TQorCustomDropDown::toggleSign() {
    const std::u32string value = Utf8ToUtf32(Text());
    const int prefix = prefixLength();
    const int caret = SelStart();
    const std::size_t minus = value.find(U'-');
    if (SelStart() == prefix && SelLength() == int(value.size()) && !value.empty()) {
        SetEditText(FPrefix + "-" + FSuffix);
        setSelection(prefix + 1, 0);
    } else if (minus == npos) {
        SetEditText(FPrefix + "-" + Utf32ToUtf8(value) + FSuffix);
        setSelection(caret + 1, 0);
    } else {
        std::u32string rest = value;
        rest.erase(minus, 1);
        SetEditText(FPrefix + Utf32ToUtf8(rest) + FSuffix);
        setSelection(caret > prefix ? caret - 1 : prefix, 0);
    }
    SetModifiedFlag(true);
}

void TQorCustomDropDown::typeFloat(TWMKey& Message, char32_t key, bool money) {
    const char32_t dec = decimalSeparator(), thou = thousandSeparator();
    if (money) {
        if (!(key == 8 || key == 9 || key == 13 || key == '-' || key == dec || isDigit(key)))
            return;
    } else {
        if (key == ',' && dec != ',' && thou != ',') return;
        if (key == '.' && dec != '.' && thou != '.') return;
        if (!(key == 8 || key == 9 || key == 13 || key == ',' || key == '-' || key == '.' ||
              isDigit(key)))
            return;
    }
    const std::u32string value = Utf8ToUtf32(Text());
    const int length = int(value.size());
    const int prefix = prefixLength();
    const int caret = std::clamp(SelStart() - prefix, 0, length);
    const int selected = std::clamp(SelLength(), 0, length - caret);
    const std::u32string selection = value.substr(std::size_t(caret), std::size_t(selected));
    // (a) one decimal separator only.
    if (key == dec && selection.find(dec) == npos && (value.find(dec) != npos || FPrecision == 0)) {
        if (FPrecision > 0) SelectAfterDecimal();
        return;
    }
    // (b) a comma that is no thousand separator, once.
    if (key == ',' && thou != ',') {
        std::u32string rest = value;
        rest.erase(std::size_t(caret), std::size_t(selected));
        if (rest.find(U',') != npos) return;
    }
    // (c) a separator only exactly three places away from the thousand separators.
    if ((key == thou || key == dec) && value.find(thou) != npos) {
        int c = caret, m = length;
        std::u32string t = value;
        for (std::size_t at = t.find(thou); at != npos; at = t.find(thou)) {
            const int q = int(at) + 1, distance = std::abs(q - c);
            m = std::min(m, distance);
            if (distance < 3) return;
            if (q < c) c -= q;
            t.erase(0, std::size_t(q));
        }
        if (m > 3) return;
    }
    // (d) with all decimals there, a digit overwrites the next one; nothing else goes in.
    const std::size_t decAt = value.find(dec);
    if (FPrecision > 0 && decAt != npos && caret > int(decAt) && selected == 0 &&
        length - int(decAt) - 1 >= FPrecision && length - caret <= FPrecision) {
        if (isDigit(key) && caret < length)
            setSelection(SelStart(), 1);
        else if (isDigit(key) || key == dec || key == thou || key == ',' || key == '.')
            return;
    }
    // (e) a separator typed into an empty value starts it with a 0.
    if (length == 0 && key == dec && caret == 0) {
        SetEditText(FPrefix + Utf32ToUtf8(std::u32string{U'0', dec}) + FSuffix);
        setSelection(prefix + 2, 0);
        SetModifiedFlag(true);
        return;
    }
    // (f)
    if (key == '-' && SelLength() == 0) {
        toggleSign();
        return;
    }
    TCustomEdit::Dispatch(Message.M);
    if (money && key != dec) {
        const std::string now = Text();
        if (!now.empty() && now != "-") {
            if (Modified()) SetModifiedFlag(true);
            AutoSeparators();
        }
    }
}

void TQorCustomDropDown::wmChar(TWMKey& Message) {
    // A character typed over a selection is one change of the edit here, reported once.
    if (!editable()) return;
    char32_t key = char32_t(Message.M.WParam);
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    TCustomForm* form = ::GetParentForm(this);
    const bool preview = form && form->KeyPreview();
    auto inherited = [this, &Message] { TCustomEdit::Dispatch(Message.M); };
    const int prefix = prefixLength();
    if (key == 13 && ctrl) {
        Message.M.Result = 1;
        return;
    }
    if (key == 13) {
        char32_t enter = 13;
        if (OnKeyPress) OnKeyPress(this, enter);
        if (!FDefaultHandling && Parent()) {
            PostMessage(Parent()->Handle(), WM_KEYDOWN, VK_RETURN, 0);
            if (preview)
                inherited();
            else
                PostMessage(Parent()->Handle(), WM_KEYUP, VK_RETURN, 0);
        }
        return;
    }
    if (key == 27 && !FDefaultHandling && Parent()) {
        if (preview) return inherited();
        PostMessage(Parent()->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessage(Parent()->Handle(), WM_KEYUP, VK_ESCAPE, 0);
    }
    // Escape types nothing: with FCanUndo it has selected the value and cleared the modified
    // state already (CMWantSpecialKey), which must stay cleared.
    if (key == 27) return inherited();
    if (ctrl && (key == 3 || key == 22 || key == 24)) return inherited();
    // The keypad's separator key (its scan code marks the key data) types the locale's one.
    if (FExcelStyleDecimalSeparator && (key == '.' || key == ',') &&
        (Message.KeyData() & (LPARAM(1) << 22))) {
        key = decimalSeparator();
        Message.M.WParam = key;
    }
    if (key == 8 && !FPrefix.empty() && SelStart() <= prefix && SelLength() == 0) return;
    if (FLengthLimit > 0 && SelLength() == 0) {
        const std::u32string value = Utf8ToUtf32(Text());
        const std::size_t decAt = value.find(decimalSeparator());
        const int before = decAt == npos ? int(value.size()) : int(decAt);
        const bool sign = key == '-' && signAllowed();
        if (DecimalPos(Text()) > FLengthLimit && SelStart() - prefix <= before && key != 8 &&
            key != decimalSeparator() && !sign)
            return;
    }
    if (key == 8) {
        std::u32string predicted = Utf8ToUtf32(Text());
        const int at = std::clamp(SelStart() - prefix, 0, int(predicted.size()));
        if (SelLength() > 0)
            predicted.erase(std::size_t(at), std::size_t(SelLength()));
        else if (at > 0)
            predicted.erase(std::size_t(at - 1), 1);
        inherited();
        if (Text().empty() && !predicted.empty()) Change();
    } else if (key == 10 && ctrl) {
        return;
    } else if (numeric() && !FSigned && key == '-') {
        return;
    } else {
        switch (FEditType) {
        case etString:
        case etPassword:
            SetModifiedFlag(true);
            inherited();
            break;
        case etNumeric:
            if (key == '-')
                toggleSign();
            else if (key == 9 || key == 13 || isDigit(key) || ctrl)
                inherited();
            break;
        case etFloat:
            typeFloat(Message, key, false);
            break;
        case etMoney:
            typeFloat(Message, key, true);
            break;
        case etUppercase:
        case etLowerCase: {
            const std::string c = CodePointToUtf8(key);
            const std::u32string mapped =
                Utf8ToUtf32(FEditType == etUppercase ? AnsiUpperCase(c) : AnsiLowerCase(c));
            if (mapped.size() == 1) Message.M.WParam = mapped[0];
            inherited();
            break;
        }
        case etMixedCase: {
            const int caret = SelStart();
            inherited();
            SetEditText(FPrefix + CapitalizeWords(Text()) + FSuffix);
            setSelection(caret + 1, 0);
            break;
        }
        case etRange: {
            if (!(key == 9 || key == 13 || key == ',' || key == '-' || key == ';' || isDigit(key)))
                break;
            SetModifiedFlag(true);
            if (IsRangeSeparator(key)) {
                const std::u32string text = Utf8ToUtf32(EditText());
                const int before = SelStart() - 1, after = selEnd();
                if (SelStart() <= prefix ||
                    (before >= 0 && IsRangeSeparator(text[std::size_t(before)])) ||
                    (after < int(text.size()) && IsRangeSeparator(text[std::size_t(after)])))
                    break;
            }
            inherited();
            break;
        }
        case etHex:
            if (key == 9 || key == 13 || key == '-' || isHexDigit(key)) {
                SetModifiedFlag(true);
                inherited();
            }
            break;
        case etAlphaNumeric:
            if (key == 9 || key == 13 || isAlphaNumeric(key)) {
                SetModifiedFlag(true);
                inherited();
            }
            break;
        case etValidChars:
            if (Utf8ToUtf32(FValidChars).find(key) != npos) {
                SetModifiedFlag(true);
                inherited();
            }
            break;
        }
    }
    if (Modified()) SetModifiedFlag(true);
}

// --- focus, mouse and clipboard ----------------------------------------------------------------

void TQorCustomDropDown::wmSetFocus(TMessage& Message) {
    TCustomEdit::Dispatch(Message);
    if (ComponentState() & csLoading) return;
    if (editable()) {
        FOldString = Text();
        if (AutoSelect())
            SelectAll();
        else if (FEditType == etFloat || FEditType == etMoney)
            SelectBeforeDecimal();
    } else {
        HideCaret(Handle());
    }
}

void TQorCustomDropDown::wmKillFocus(TMessage& Message) {
    if (!(ComponentState() & csLoading)) {
        if (FPrecision > 0 && (FEditType == etFloat || FEditType == etMoney) &&
            (!Text().empty() || !FAllowNumericNullValue)) {
            const bool modified = Modified(), flag = FIsModified;
            SetNumberValue(GetNumberValue());
            SetModified(modified);
            FIsModified = flag;
        }
        if (Text().empty() && numeric() && !FAllowNumericNullValue) SetTextValue("0");
    }
    TCustomEdit::Dispatch(Message);
    if (!editable()) Invalidate();
}

void TQorCustomDropDown::cmEnter(TMessage& Message) {
    if (AutoSelect() && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
    TCustomEdit::Dispatch(Message);
    Invalidate();
}

void TQorCustomDropDown::wmLButtonDown(TMessage& Message) {
    if (!editable()) {
        TCustomEdit::Dispatch(Message);
        buttonClick();
        return;
    }
    // A press inside the selection keeps it (for a drag of the selected text).
    const int at = int(Perform(EM_CHARFROMPOS, 0, Message.LParam));
    if (SelLength() > 0 && at >= SelStart() && at <= selEnd() && Focused()) {
        FButtonDown = true;
        return;
    }
    TCustomEdit::Dispatch(Message);
}

void TQorCustomDropDown::wmLButtonUp(TMessage& Message) {
    if (!editable()) {
        TCustomEdit::Dispatch(Message);
        Invalidate();
        return;
    }
    if (FButtonDown) setSelection(int(Perform(EM_CHARFROMPOS, 0, Message.LParam)), 0);
    FButtonDown = false;
    TCustomEdit::Dispatch(Message);
    // The selection stays within the value.
    const int prefix = prefixLength(), valueEnd = prefix + valueLength();
    if (SelStart() < prefix) {
        SelectAll();
    } else if (!FSuffix.empty()) {
        if (SelStart() > valueEnd)
            setSelection(valueEnd, 0);
        else if (selEnd() > valueEnd)
            setSelection(SelStart(), valueEnd - SelStart());
    }
    if (ReadOnly()) Invalidate();
}

namespace {
// The selected part of the value.
std::string selectedValue(const std::string& value, int start, int length) {
    const std::u32string v = Utf8ToUtf32(value);
    start = std::clamp(start, 0, int(v.size()));
    length = std::clamp(length, 0, int(v.size()) - start);
    return Utf32ToUtf8(v.substr(std::size_t(start), std::size_t(length)));
}
} // namespace

void TQorCustomDropDown::wmCut(TMessage& /*Message*/) {
    if (!editable() || ReadOnly()) return;
    FBlockCopy = true;
    bool allow = true;
    if (OnClipboardCut)
        OnClipboardCut(this, selectedValue(Text(), SelStart() - prefixLength(), SelLength()),
                       allow);
    if (allow) {
        Perform(WM_COPY);
        ClearSelection();
    }
    FBlockCopy = false;
}

void TQorCustomDropDown::wmCopy(TMessage& Message) {
    bool allow = true;
    if (OnClipboardCopy && !FBlockCopy)
        OnClipboardCopy(this, selectedValue(Text(), SelStart() - prefixLength(), SelLength()),
                        allow);
    FBlockCopy = false;
    if (allow) TCustomEdit::Dispatch(Message);
}

void TQorCustomDropDown::wmPaste(TMessage& /*Message*/) {
    if (ReadOnly() || !Clipboard()->HasFormat(CF_TEXT)) return;
    const std::string clip = Clipboard()->AsText();
    const std::u32string value = Utf8ToUtf32(Text());
    const int prefix = prefixLength();
    const int start = std::clamp(SelStart() - prefix, 0, int(value.size()));
    const int selected = std::clamp(SelLength(), 0, int(value.size()) - start);
    const bool replacing = SelLength() > 0;
    std::u32string joined = value;
    joined.replace(std::size_t(start), std::size_t(selected), Utf8ToUtf32(clip));
    const std::string newValue = Utf32ToUtf8(joined);
    bool allow = true;
    if (OnClipboardPaste) OnClipboardPaste(this, newValue, allow);
    if (!allow) return;
    const int clipLength = int(Utf8Length(clip));
    if (MaxLength() > 0 && clipLength + int(value.size()) - selected > MaxLength()) return;
    const int kind = GetValueKind(newValue);
    const bool minus = newValue.find('-') != std::string::npos;
    auto allOf = [&newValue](auto accepted) {
        const std::u32string s = Utf8ToUtf32(newValue);
        return std::all_of(s.begin(), s.end(), accepted);
    };
    switch (FEditType) {
    case etString:
    case etPassword:
        SetTextValue(newValue);
        break;
    case etNumeric:
        if (kind != vkInteger || (!FSigned && minus)) return;
        SetTextValue(newValue);
        SetModifiedFlag(true);
        break;
    case etFloat:
    case etMoney:
        if ((kind != vkInteger && kind != vkFloat) || (!FSigned && minus) ||
            (FPrecision == 0 && clip.find(FormatSettings().DecimalSeparator) != std::string::npos))
            return;
        SetTextValue(newValue);
        SetNumberValue(GetNumberValue());
        SetModifiedFlag(true);
        break;
    case etUppercase:
        SetTextValue(AnsiUpperCase(newValue));
        break;
    case etMixedCase:
        SetTextValue(CapitalizeWords(newValue));
        break;
    case etLowerCase:
        SetTextValue(AnsiLowerCase(newValue));
        break;
    case etAlphaNumeric:
        if (!allOf(isAlphaNumeric)) return;
        SetTextValue(newValue);
        SetModifiedFlag(true);
        break;
    case etValidChars: {
        const std::u32string valid = Utf8ToUtf32(FValidChars);
        if (!allOf([&valid](char32_t c) { return valid.find(c) != npos; })) return;
        SetTextValue(newValue);
        SetModifiedFlag(true);
        break;
    }
    case etRange:
    case etHex:
        return;
    }
    if (FEditType == etMoney && valueLength() > 3)
        SelectAll();
    else if (replacing)
        setSelection(prefix + start, clipLength);
    else
        setSelection(prefix + start + clipLength, 0);
    if (FEditType == etString || (FEditType >= etUppercase && FEditType <= etPassword))
        SetModifiedFlag(true);
}
