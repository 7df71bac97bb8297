#include "platform/ui/Mask.h"

#include "platform/base/FormatSettings.h"
#include "platform/ui/StdCtrlsInternal.h"
#include "platform/ui/core/Clipbrd.h"

#include <algorithm>
#include <cwctype>

namespace {
bool isLetter(char32_t c) {
    return c < 0x80 ? std::isalpha(int(c)) != 0 : std::iswalpha(wint_t(c)) != 0;
}

bool isDigit(char32_t c) {
    return c >= '0' && c <= '9';
}

char32_t caseOf(char32_t c, int charCase) {
    if (charCase == 0) return c;
    const std::string s = CodePointToUtf8(c);
    const std::u32string u = Utf8ToUtf32(charCase > 0 ? AnsiUpperCase(s) : AnsiLowerCase(s));
    return u.size() == 1 ? u[0] : c;
}
} // namespace

// --- TEditMaskFormat ----------------------------------------------------------------------------
TEditMaskFormat::TEditMaskFormat(const std::string& Mask) {
    const std::u32string m = Utf8ToUtf32(Mask);
    // The fields after the mask: ";0" or ";1" (save literals), then the blank character. A
    // ";" escaped by "\" belongs to the mask.
    std::size_t end = m.size();
    for (std::size_t i = 0; i < m.size(); ++i) {
        if (m[i] == U'\\') {
            ++i;
            continue;
        }
        if (m[i] == U';') {
            end = i;
            break;
        }
    }
    if (end < m.size()) {
        const std::u32string rest = m.substr(end + 1);
        const std::size_t semi = rest.find(U';');
        const std::u32string save = rest.substr(0, semi);
        saveLiterals_ = save != U"0";
        if (semi != std::u32string::npos && semi + 1 < rest.size()) blank_ = rest[semi + 1];
    }
    int charCase = 0;
    for (std::size_t i = 0; i < end; ++i) {
        const char32_t c = m[i];
        TMaskPosition p;
        p.CharCase = charCase;
        switch (c) {
        case U'!':
            continue;
        case U'>':
            charCase = 1;
            continue;
        case U'<':
            if (i + 1 < end && m[i + 1] == U'>') {
                ++i;
                charCase = 0;
            } else {
                charCase = -1;
            }
            continue;
        case U'\\':
            if (++i >= end) continue;
            p.Char = m[i];
            break;
        case U'L':
        case U'l':
            p.Kind = TMaskPosition::Letter;
            p.Required = c == U'L';
            break;
        case U'A':
        case U'a':
            p.Kind = TMaskPosition::AlphaNum;
            p.Required = c == U'A';
            break;
        case U'C':
        case U'c':
            p.Kind = TMaskPosition::AnyChar;
            p.Required = c == U'C';
            break;
        case U'0':
        case U'9':
            p.Kind = TMaskPosition::Digit;
            p.Required = c == U'0';
            break;
        case U'#':
            p.Kind = TMaskPosition::DigitOrSign;
            break;
        case U':':
            p.Char = char32_t(FormatSettings().TimeSeparator);
            break;
        case U'/':
            p.Char = char32_t(FormatSettings().DateSeparator);
            break;
        case U'_':
            p.Char = U' ';
            break;
        default:
            p.Char = c;
            break;
        }
        positions_.push_back(p);
    }
}

bool TEditMaskFormat::Accepts(int i, char32_t& c) const {
    if (i < 0 || i >= int(positions_.size())) return false;
    const TMaskPosition& p = positions_[std::size_t(i)];
    switch (p.Kind) {
    case TMaskPosition::Literal:
        return false;
    case TMaskPosition::Letter:
        if (!isLetter(c)) return false;
        break;
    case TMaskPosition::AlphaNum:
        if (!isLetter(c) && !isDigit(c)) return false;
        break;
    case TMaskPosition::AnyChar:
        if (c < 32) return false;
        break;
    case TMaskPosition::Digit:
        if (!isDigit(c)) return false;
        break;
    case TMaskPosition::DigitOrSign:
        if (!isDigit(c) && c != U'+' && c != U'-') return false;
        break;
    }
    c = caseOf(c, p.CharCase);
    return true;
}

std::u32string TEditMaskFormat::EditTextOf(const std::u32string& Value) const {
    std::u32string edit;
    std::size_t v = 0;
    for (int i = 0; i < int(positions_.size()); ++i) {
        const TMaskPosition& p = positions_[std::size_t(i)];
        if (p.Kind == TMaskPosition::Literal) {
            edit += p.Char;
            if (saveLiterals_ && v < Value.size() && Value[v] == p.Char) ++v;
            continue;
        }
        char32_t c = v < Value.size() ? Value[v] : blank_;
        if (v < Value.size()) ++v;
        if (c == U' ' || !Accepts(i, c)) c = blank_;
        edit += c;
    }
    return edit;
}

std::u32string TEditMaskFormat::TextOf(const std::u32string& Edit) const {
    std::u32string text;
    for (std::size_t i = 0; i < positions_.size() && i < Edit.size(); ++i) {
        if (positions_[i].Kind == TMaskPosition::Literal) {
            if (saveLiterals_) text += Edit[i];
            continue;
        }
        text += Edit[i] == blank_ ? U' ' : Edit[i];
    }
    return text;
}

bool TEditMaskFormat::Complete(const std::u32string& Edit) const {
    for (std::size_t i = 0; i < positions_.size(); ++i)
        if (positions_[i].Required && (i >= Edit.size() || Edit[i] == blank_)) return false;
    return true;
}

std::string FormatMaskText(const std::string& Mask, const std::string& Value) {
    const TEditMaskFormat f(Mask);
    if (f.Empty()) return Value;
    return Utf32ToUtf8(f.TextOf(f.EditTextOf(Utf8ToUtf32(Value))));
}

// --- TCustomMaskEdit ----------------------------------------------------------------------------
TCustomMaskEdit::TCustomMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

void TCustomMaskEdit::SetEditMask(const std::string& v) {
    if (v == editMask_) return;
    const std::string text = Text();
    editMask_ = v;
    format_ = TEditMaskFormat(v);
    // The text is laid out again in the new mask.
    SetText(text);
}

bool TCustomMaskEdit::MaskComplete() const {
    return !IsMasked() || format_.Complete(Utf8ToUtf32(EditText()));
}

std::string TCustomMaskEdit::TextFromEdit(const std::string& Edit) const {
    if (!IsMasked()) return Edit;
    return Utf32ToUtf8(format_.TextOf(Utf8ToUtf32(Edit)));
}

std::string TCustomMaskEdit::EditFromText(const std::string& Value) const {
    if (!IsMasked()) return Value;
    return Utf32ToUtf8(format_.EditTextOf(Utf8ToUtf32(Value)));
}

int TCustomMaskEdit::nextPlace(int pos) const {
    const auto& ps = format_.Positions();
    for (int i = std::max(0, pos); i < int(ps.size()); ++i)
        if (ps[std::size_t(i)].Kind != TMaskPosition::Literal) return i;
    return -1;
}

int TCustomMaskEdit::previousPlace(int pos) const {
    const auto& ps = format_.Positions();
    for (int i = std::min(pos, int(ps.size()) - 1); i >= 0; --i)
        if (ps[std::size_t(i)].Kind != TMaskPosition::Literal) return i;
    return -1;
}

void TCustomMaskEdit::clearPlaces(std::u32string& edit, int from, int to) const {
    const auto& ps = format_.Positions();
    for (int i = from; i < to && i < int(edit.size()); ++i)
        if (ps[std::size_t(i)].Kind != TMaskPosition::Literal)
            edit[std::size_t(i)] = format_.Blank();
}

void TCustomMaskEdit::setEdit(const std::u32string& edit, int caret) {
    const bool changed = Utf32ToUtf8(edit) != EditText();
    Buffer().SetText(Utf32ToUtf8(edit));
    Buffer().SetSelection(caret, caret);
    if (changed)
        BufferEdited();
    else {
        PeerChanged(pcSelection);
        Invalidate();
    }
}

bool TCustomMaskEdit::typeMasked(const std::u32string& s) {
    std::u32string edit = Utf8ToUtf32(EditText());
    const int start = SelStart(), end = start + SelLength();
    clearPlaces(edit, start, end);
    int caret = start;
    bool typed = false;
    const auto& ps = format_.Positions();
    for (char32_t c : s) {
        // Typing a literal steps over it.
        if (caret < int(ps.size()) && ps[std::size_t(caret)].Kind == TMaskPosition::Literal &&
            ps[std::size_t(caret)].Char == c) {
            ++caret;
            typed = true;
            continue;
        }
        const int place = nextPlace(caret);
        if (place < 0 || !format_.Accepts(place, c)) break;
        edit[std::size_t(place)] = c;
        caret = place + 1;
        typed = true;
    }
    // The caret waits at the next place, past the literals.
    if (typed) {
        const int next = nextPlace(caret);
        caret = next < 0 ? int(ps.size()) : next;
    }
    if (typed || end > start) setEdit(edit, typed ? caret : start);
    return typed;
}

void TCustomMaskEdit::DefaultHandler(TMessage& Message) {
    if (!IsMasked() || ReadOnly()) {
        TCustomEdit::DefaultHandler(Message);
        return;
    }
    if (Message.Msg == WM_CHAR) {
        const char32_t c = char32_t(Message.WParam);
        if (c == 8) {
            std::u32string edit = Utf8ToUtf32(EditText());
            if (SelLength() > 0) {
                clearPlaces(edit, SelStart(), SelStart() + SelLength());
                setEdit(edit, SelStart());
            } else if (const int p = previousPlace(SelStart() - 1); p >= 0) {
                clearPlaces(edit, p, p + 1);
                setEdit(edit, p);
            }
            return;
        }
        if (c == 22) {
            Perform(WM_PASTE);
            return;
        }
        if (c == 24) {
            Perform(WM_CUT);
            return;
        }
        if (c >= 32 && c != 127) {
            if (!typeMasked(std::u32string(1, c))) MessageBeep(0);
            return;
        }
    } else if (Message.Msg == WM_KEYDOWN && WORD(Message.WParam) == VK_DELETE) {
        std::u32string edit = Utf8ToUtf32(EditText());
        const int start = SelStart();
        const int end = SelLength() > 0 ? start + SelLength() : start + 1;
        clearPlaces(edit, start, end);
        setEdit(edit, start);
        return;
    }
    TCustomEdit::DefaultHandler(Message);
}

void TCustomMaskEdit::Dispatch(TMessage& Message) {
    if (IsMasked() && Message.Msg == WM_CLEAR) {
        if (ReadOnly()) return;
        std::u32string edit = Utf8ToUtf32(EditText());
        clearPlaces(edit, SelStart(), SelStart() + SelLength());
        setEdit(edit, SelStart());
        return;
    }
    if (IsMasked() && (Message.Msg == WM_PASTE || Message.Msg == WM_CUT)) {
        if (ReadOnly()) return;
        if (Message.Msg == WM_CUT) {
            Clipboard()->SetAsText(SelText());
            std::u32string edit = Utf8ToUtf32(EditText());
            clearPlaces(edit, SelStart(), SelStart() + SelLength());
            setEdit(edit, SelStart());
            return;
        }
        std::string text = Clipboard()->AsText();
        text = text.substr(0, text.find_first_of("\r\n"));
        if (!typeMasked(Utf8ToUtf32(text))) MessageBeep(0);
        return;
    }
    TCustomEdit::Dispatch(Message);
}
