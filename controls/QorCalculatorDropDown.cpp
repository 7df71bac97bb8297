#include "controls/QorCalculatorDropDown.h"

#include "platform/base/FormatSettings.h"
#include "platform/base/SysUtils.h"

#include <cmath>

namespace {

char32_t decimalSeparator() {
    return char32_t(static_cast<unsigned char>(FormatSettings().DecimalSeparator));
}

bool isDigit(char32_t c) {
    return c >= '0' && c <= '9';
}

bool containsDecimal(const std::string& s) {
    return s.find(FormatSettings().DecimalSeparator) != std::string::npos;
}

// The tags of the calculator buttons.
enum : int {
    tagAdd = 10,
    tagSubtract = 11,
    tagMultiply = 12,
    tagDivide = 13,
    tagSign = 14,
    tagPoint = 15,
    tagClear = 16,
    tagEquals = 17,
    tagPercent = 18,
    tagOn = 30,
    tagBack = 31,
    tagClearEntry = 32,
    tagMemoryClear = 33,
    tagMemoryRecall = 34,
    tagMemoryStore = 35,
    tagMemoryAdd = 36,
    tagSquareRoot = 37,
    tagReciprocal = 38
};

} // namespace

TQorCalculatorDropdown::TQorCalculatorDropdown(TComponent* AOwner)
    : TQorCustomDropDown(AOwner), FCalcButtonAppearance(std::make_unique<TButtonAppearance>()) {
    // The base applied its style before this control's appearance existed.
    SetComponentStyle(GetComponentStyle());
    SetDropDownColor(clWhite);
    SetDropDownWidth(230);
    DropDownHeader()->SetVisible(false);
    DropDownFooter()->SetVisible(false);
    SetEditType(etFloat);
    SetPrecision(2);
}

TQorCalculatorDropdown::~TQorCalculatorDropdown() = default;

void TQorCalculatorDropdown::SetComponentStyle(TQorStyle AStyle) {
    TQorCustomDropDown::SetComponentStyle(AStyle);
    if (!FCalcButtonAppearance) return;
    const TQorButtonAppearance& b = *ButtonAppearance();
    TButtonAppearance& a = *FCalcButtonAppearance;
    a.SetBorderColor(b.BorderColor());
    a.SetBorderColorHot(b.BorderColorHot());
    a.SetBorderColorDown(b.BorderColorDown());
    a.SetColor(b.Color());
    a.SetColorTo(b.ColorTo());
    a.SetColorDown(b.ColorDown());
    a.SetColorDownTo(b.ColorDownTo());
    a.SetColorHot(b.ColorHot());
    a.SetColorHotTo(b.ColorHotTo());
    if (AStyle == tsOffice2010Blue || AStyle == tsOffice2010Silver || AStyle == tsOffice2010Black) {
        a.SetGlowColorHot(b.ColorHot());
        a.SetGlowColorDown(b.ColorHot());
    } else {
        a.SetGlowColorDown(0xD5C244);
        a.SetGlowColorHot(b.ColorDownTo());
    }
}

double TQorCalculatorDropdown::Value() {
    if (Text().empty()) SetText("0");
    return double(shownNumber());
}

void TQorCalculatorDropdown::SetValue(double Value) {
    SetText(Format("%g", Value));
}

void TQorCalculatorDropdown::SetShowThousandSeparator(bool Value) {
    if (Value == FShowThousandSeparator) return;
    FShowThousandSeparator = Value;
    SetEditType(Value ? etMoney : etFloat);
    SetNumberValue(GetNumberValue());
}

long double TQorCalculatorDropdown::shownNumber() const {
    double v = 0;
    return TryStrToFloat(StripThousandSeparators(Text()), v) ? v : 0;
}

bool TQorCalculatorDropdown::popupClosed() const {
    return FCalcClosed || (FDropDownForm && !FDropDownForm->Visible());
}

bool TQorCalculatorDropdown::atMaxLength() const {
    return MaxLength() > 0 && int(Utf8Length(Text())) >= MaxLength();
}

void TQorCalculatorDropdown::startNumber(const std::string& Digit) {
    SetText(Digit);
    const int caret = int(Utf8Length(Prefix())) + 1;
    Perform(EM_SETSEL, WPARAM(caret), LPARAM(caret));
}

// --- the popup ---------------------------------------------------------------------------------

void TQorCalculatorDropdown::CreateDropDownForm() {
    TQorCustomDropDown::CreateDropDownForm();
    if (FQorButtonPanel) return;
    FQorButtonPanel = new TCustomButtonPanel(this);
    FQorButtonPanel->SetParent(FDropDownForm);
    FQorButtonPanel->SetQorDropDown(this);
    FQorButtonPanel->SetHeight(150);
    FQorButtonPanel->CreateButtons();
    SetControl(FQorButtonPanel);
    FQorButtonPanel->OnButtonClick = [this](TObject* Sender, int Index) {
        CalcButtonClick(Sender, Index);
    };
}

void TQorCalculatorDropdown::BeforeDropDown() {
    TQorCustomDropDown::BeforeDropDown();
    FDropDownForm->SetCancelOnDeActivate(false);
    if (FQorButtonPanel) {
        FQorButtonPanel->SetButtonAppearance(FCalcButtonAppearance.get());
        FQorButtonPanel->SetColor(DropDownColor());
        FQorButtonPanel->ArrangeButtons();
    }
    FNewval = true;
    FDecim = 0;
    FCalcClosed = false;
}

// --- the operations ----------------------------------------------------------------------------

void TQorCalculatorDropdown::CalcPending() {
    if (Text().empty() || Text() == "Error") SetText("0");
    const long double x = shownNumber();
    switch (FPrevop) {
    case 0:
        FPrevval += x;
        break;
    case 1:
        FPrevval *= x;
        break;
    case 2:
        FPrevval -= x;
        break;
    case 3:
        if (x == 0) {
            FPrevval = 0;
            SetText("Error");
            return;
        }
        FPrevval /= x;
        break;
    default:
        FPrevval = x;
        break;
    }
    // An overflow counts as a failed operation.
    if (!std::isfinite(double(FPrevval))) FPrevval = 0;
    SetNumberValue(double(FPrevval));
    FNewval = true;
}

void TQorCalculatorDropdown::calcOperator(int Operation) {
    CalcPending();
    FPrevop = Operation;
}

void TQorCalculatorDropdown::CalcEquals() {
    CalcPending();
    if (Text().empty()) SetText("0");
    FPrevop = -1;
    // The shown, rounded result is the next left operand.
    if (Text() != "Error") FPrevval = shownNumber();
}

void TQorCalculatorDropdown::CalcPercent() {
    if (Text().empty() || Text() == "Error") SetText("0");
    const long double x = shownNumber();
    SetText(Format("%g", double(FPrevval * x / 100)));
}

void TQorCalculatorDropdown::CalcButtonClick(TObject* /*Panel*/, int Index) {
    if (!FQorButtonPanel || Index < 0 || Index >= FQorButtonPanel->Buttons()->Count()) return;
    BeforeCalc();
    const int tag = FQorButtonPanel->Buttons()->Items(Index)->Tag();
    // "CE" starts the number anew as well.
    if ((tag >= tagAdd && tag <= tagSign) || (tag >= tagClear && tag <= tagPercent) ||
        tag == tagClearEntry)
        FDecim = 0;
    const bool typing = (tag >= 0 && tag <= 9) || tag == tagSign || tag == tagPoint;
    if (typing && atMaxLength()) return;
    if (tag >= 0 && tag <= 9) {
        const double value = GetNumberValue();
        if ((value == 0 && FDecim == 0) || FNewval) {
            SetText(IntToStr(tag));
            FNewval = false;
        } else if (FDecim > 0) {
            SetNumberValue(value + double(tag) / FDecim);
            FDecim *= 10;
        } else {
            SetNumberValue(value * 10 + tag);
        }
    } else {
        switch (tag) {
        case tagAdd:
            CalcAdd();
            break;
        case tagSubtract:
            CalcSubtract();
            break;
        case tagMultiply:
            CalcMultiply();
            break;
        case tagDivide:
            CalcDivide();
            break;
        case tagSign: {
            const std::string t = Text();
            SetText(t.find('-') != std::string::npos ? Utf8Substr(t, 1, std::string::npos)
                                                     : "-" + t);
            break;
        }
        case tagPoint:
            if (!containsDecimal(Text())) SetText(Text() + FormatSettings().DecimalSeparator);
            FDecim = 10;
            if (FNewval) SetText("0");
            FNewval = false;
            break;
        case tagClear:
        case tagOn:
        case tagClearEntry:
            SetText("0");
            FPrevval = 0;
            FPrevop = -1;
            break;
        case tagEquals:
            CalcEquals();
            break;
        case tagPercent:
            CalcPercent();
            break;
        case tagBack:
            if (FPrevop == -1) {
                std::u32string s = Utf8ToUtf32(FloatToStr(GetNumberValue()));
                if (!s.empty()) s.pop_back();
                SetText(Utf32ToUtf8(s));
            }
            break;
        case tagMemoryClear:
            FMVal = 0;
            break;
        case tagMemoryRecall:
            SetNumberValue(double(FMVal));
            break;
        case tagMemoryStore:
            FMVal = shownNumber();
            break;
        case tagMemoryAdd:
            FMVal += shownNumber();
            break;
        case tagSquareRoot: {
            const double value = GetNumberValue();
            if (value < 0)
                SetText("Error");
            else
                SetNumberValue(std::sqrt(value));
            break;
        }
        case tagReciprocal: {
            const double value = GetNumberValue();
            if (value == 0)
                SetText("Error");
            else
                SetNumberValue(1 / value);
            break;
        }
        default:
            break;
        }
    }
    SetModifiedFlag(true);
}

// --- keys --------------------------------------------------------------------------------------

void TQorCalculatorDropdown::handleKeyPress(TMessage& Message) {
    const char32_t key = char32_t(Message.WParam);
    if (popupClosed()) {
        switch (key) {
        case '-':
            CalcSubtract();
            break;
        case 13:
        case '=':
            CalcEquals();
            break;
        case '%':
            CalcPercent();
            break;
        case '*':
            CalcMultiply();
            break;
        case '+':
            CalcAdd();
            break;
        case '/':
            CalcDivide();
            break;
        case 'C':
        case 'c':
            SetText("0");
            FNewval = true;
            FPrevop = -1;
            break;
        default:
            break;
        }
    }
    const char32_t dec = decimalSeparator();
    const bool number = isDigit(key);
    if (!(number || key == dec || key == 8 || key == '-')) return;
    if ((Text() == "0" || FNewval) && number) {
        startNumber(CodePointToUtf8(key));
        FNewval = false;
        return;
    }
    if (Utf8Length(Text()) == 1 && key == 8) {
        startNumber("0");
        return;
    }
    if (key == char32_t(static_cast<unsigned char>(FormatSettings().ThousandSeparator))) return;
    if (key == dec && containsDecimal(Text())) return;
    TQorCustomDropDown::Dispatch(Message);
}

void TQorCalculatorDropdown::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_CHAR:
        handleKeyPress(Message);
        return;
    case WM_KEYDOWN: {
        const WORD key = WORD(Message.WParam);
        TQorCustomDropDown::Dispatch(Message);
        if (key == VK_DELETE && (Text().empty() || Text() == "Error")) SetText("0");
        return;
    }
    default:
        TQorCustomDropDown::Dispatch(Message);
    }
}

void TQorCalculatorDropdown::DropDownFormKeyPress(char32_t& Key) {
    TQorCustomDropDown::DropDownFormKeyPress(Key);
    BeforeCalc();
    const char32_t dec = decimalSeparator();
    if (Key == dec && !containsDecimal(Text())) SetText(Text() + FormatSettings().DecimalSeparator);
    if (isDigit(Key) && atMaxLength()) return;
    switch (Key) {
    case 13:
        CalcEquals();
        HideDropDown(false);
        break;
    case 27:
        HideDropDown(true);
        break;
    case '%':
        CalcPercent();
        break;
    case '*':
        CalcMultiply();
        break;
    case '+':
        CalcAdd();
        break;
    case '-':
        CalcSubtract();
        break;
    case '/':
        CalcDivide();
        break;
    case '=':
        CalcEquals();
        break;
    case 'C':
    case 'c':
        SetText("0");
        FPrevval = 0;
        FNewval = true;
        FPrevop = -1;
        break;
    default:
        if (isDigit(Key)) FNewval = false;
        break;
    }
}

void TQorCalculatorDropdown::DropDownFormKeyDown(WORD& Key, TShiftState Shift) {
    TQorCustomDropDown::DropDownFormKeyDown(Key, Shift);
    if (Key == VK_TAB || Key == VK_F4) {
        HideDropDown(false);
    } else if (Key == VK_BACK) {
        std::u32string s = Utf8ToUtf32(Text());
        if (!s.empty()) s.pop_back();
        const std::string rest = Utf32ToUtf8(s);
        SetText(rest.empty() || rest == "Error" ? "0" : rest);
    }
}
