#pragma once
// A drop-down edit whose settings for descendants are open to the tests, on a shown form.
#include "controls/base/QorCustomDropDown.h"
#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <memory>

class TTestDropDown : public TQorCustomDropDown {
public:
    using TQorCustomDropDown::AutoSeparators;
    using TQorCustomDropDown::EditType;
    using TQorCustomDropDown::FOldText;
    using TQorCustomDropDown::GetModifiedFlag;
    using TQorCustomDropDown::GetNumberValue;
    using TQorCustomDropDown::SetAllowNumericNullValue;
    using TQorCustomDropDown::SetAutoThousandSeparator;
    using TQorCustomDropDown::SetCanUndo;
    using TQorCustomDropDown::SetControl;
    using TQorCustomDropDown::SetDefaultHandling;
    using TQorCustomDropDown::SetEditText;
    using TQorCustomDropDown::SetEditType;
    using TQorCustomDropDown::SetExcelStyleDecimalSeparator;
    using TQorCustomDropDown::SetFlat;
    using TQorCustomDropDown::SetFocusControl;
    using TQorCustomDropDown::SetFocusDraw;
    using TQorCustomDropDown::SetIntegerValue;
    using TQorCustomDropDown::SetLengthLimit;
    using TQorCustomDropDown::SetNumberValue;
    using TQorCustomDropDown::SetPrefix;
    using TQorCustomDropDown::SetSigned;
    using TQorCustomDropDown::SetSuffix;
    using TQorCustomDropDown::SetValidChars;
    using TQorCustomDropDown::TQorCustomDropDown;

    // The height AdjustDropDownHeight gives the popup (0: as asked).
    int trimmedHeight = 0;
    int wheelDown = 0;
    int wheelUp = 0;

protected:
    void AdjustDropDownHeight(int& AHeight) override {
        if (trimmedHeight > 0) AHeight = trimmedHeight;
    }
    void HandleMouseWheelDown() override { ++wheelDown; }
    void HandleMouseWheelUp() override { ++wheelUp; }
};

// A form at (100, 100) with a drop-down edit at (20, 30) in it, shown.
class DropDownTest : public ::testing::Test {
protected:
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TTestDropDown* edit = nullptr;

    void SetUp() override {
        form->SetBorderStyle(bsNone);
        form->SetBounds(100, 100, 400, 300);
        edit = new TTestDropDown(form.get());
        edit->SetParent(form.get());
        edit->SetBounds(20, 30, 200, 22);
        form->Show();
        edit->SetFocus();
        uitest::processMessages();
    }
    void TearDown() override { form.reset(); }

    // The middle of the drop-down button, in the button's coordinates.
    TPoint buttonMiddle() const {
        return {edit->Button()->Width() / 2, edit->Button()->Height() / 2};
    }
    void clickButton() {
        uitest::postNativeClickAt(edit->Button(), buttonMiddle());
        uitest::processMessages();
    }
    void type(const std::string& text) {
        uitest::postNativeText(text);
        uitest::processMessages();
    }
    void key(WORD vk, TShiftState shift = {}) {
        uitest::postNativeKey(vk, shift);
        uitest::processMessages();
    }
};
