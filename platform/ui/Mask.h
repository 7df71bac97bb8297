#pragma once
// The masked edit: an edit whose text follows an edit mask "mask;save literals;blank".
//
// Mask characters: L a letter, l a letter or nothing, A a letter or digit, a the same or nothing,
// C any character, c any character or nothing, 0 a digit, 9 a digit or nothing, # a digit, "+",
// "-" or nothing; ">" upper case and "<" lower case for what follows, "<>" neither; "\" makes the
// next character a literal; ":" and "/" are the locale's time and date separators; "_" is a
// blank literal; "!" is accepted and has no effect; every other character is a literal. The
// second field "0" leaves the literals out of Text; the third is the character shown for an
// empty position ("_" by default).
#include "platform/ui/StdCtrls.h"

#include <string>
#include <vector>

// One position of an edit mask: a literal or a place for a character.
struct TMaskPosition {
    enum TKind { Literal, Letter, AlphaNum, AnyChar, Digit, DigitOrSign };
    TKind Kind = Literal;
    char32_t Char = 0; // the literal
    bool Required = false;
    int CharCase = 0; // 1 upper, -1 lower
};

// A parsed edit mask.
class TEditMaskFormat {
public:
    explicit TEditMaskFormat(const std::string& Mask = std::string());
    bool Empty() const { return positions_.empty(); }
    const std::vector<TMaskPosition>& Positions() const { return positions_; }
    bool SaveLiterals() const { return saveLiterals_; }
    char32_t Blank() const { return blank_; }
    // Whether c may stand at position i; c comes back in the position's case.
    bool Accepts(int i, char32_t& c) const;
    // The edit text that shows Value: with saved literals the literals of Value are matched,
    // without them Value fills the character places in order.
    std::u32string EditTextOf(const std::u32string& Value) const;
    // The text of an edit text: empty places as blanks, literals only when they are saved.
    std::u32string TextOf(const std::u32string& Edit) const;
    // Every required place is filled.
    bool Complete(const std::u32string& Edit) const;

private:
    std::vector<TMaskPosition> positions_;
    bool saveLiterals_ = true;
    char32_t blank_ = U'_';
};

// Formats Value into Mask as the mask's Text.
std::string FormatMaskText(const std::string& Mask, const std::string& Value);

class TCustomMaskEdit : public TCustomEdit {
public:
    explicit TCustomMaskEdit(TComponent* AOwner);

    const std::string& EditMask() const { return editMask_; }
    // The text is laid out in the new mask.
    void SetEditMask(const std::string& v);
    bool IsMasked() const { return !format_.Empty(); }
    // Every required place of the mask is filled (always without a mask).
    bool MaskComplete() const;

protected:
    void DefaultHandler(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    std::string TextFromEdit(const std::string& Edit) const override;
    std::string EditFromText(const std::string& Value) const override;

private:
    // Typed or pasted characters from the selection on; false when none fitted.
    bool typeMasked(const std::u32string& s);
    // Empties the character places from..to (exclusive).
    void clearPlaces(std::u32string& edit, int from, int to) const;
    // The first character place at or after (before) pos; -1 when none.
    int nextPlace(int pos) const;
    int previousPlace(int pos) const;
    void setEdit(const std::u32string& edit, int caret);
    std::string editMask_;
    TEditMaskFormat format_;
};

class TMaskEdit : public TCustomMaskEdit {
public:
    using TCustomMaskEdit::TCustomMaskEdit;
};
