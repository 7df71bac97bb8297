// The key, start-register and start-address dialogs of the scan window.
#include "grid/core/QorColumnGrid.h"
#include "mbus/InsertKeyWireless.h"
#include "mbus/ModbusStartAdd_SD.h"
#include "mbus/ScanModbusStart.h"

#include "grid/core/QorColumnGrid.h"

#include "MBusTestSupport.h"

#include <memory>

namespace {

template <class Form> std::unique_ptr<Form> makeForm() {
    auto f = std::make_unique<Form>(nullptr);
    f->AfterConstruction();
    return f;
}

} // namespace

TEST_F(MBusWindowTest, KeyDialogAcceptsOnly32HexCharacters) {
    auto form = makeForm<TFInsertKeyWireless>();
    struct Case {
        const char* typed;
        int result;
        const char* error;
    };
    const Case cases[] = {
        {"00112233445566778899aabbccddeeff", mrOk, nullptr},
        {"0011223344556677", mrCancel,
         "Error!! The Key must contain 16 bytes (32 characters in HEX)"},
        {"0011223344556677889900112233445G", mrCancel,
         "Error!! Acceptable characters are from 0 to 9 and from A to F"},
        // 32 characters, one of them two bytes long.
        {"0011223344556677889900112233445\u00E9", mrCancel,
         "Error!! Acceptable characters are from 0 to 9 and from A to F"},
    };
    for (const Case& c : cases) {
        uitest::dialogs().Clear();
        const int result = Show(form.get(), [&] {
            form->E_Key->SetText("");
            uitest::typeText(c.typed, form->E_Key);
            form->Btn_OK->Click();
        });
        EXPECT_EQ(result, c.result) << c.typed;
        EXPECT_EQ(Asked(), c.error ? std::vector<std::string>{c.error} : std::vector<std::string>{})
            << c.typed;
    }
    // The upper-cased text of the first case gives the bytes.
    form->E_Key->SetText("00112233445566778899AABBCCDDEEFF");
    const auto key = form->Key();
    EXPECT_EQ(key[0], 0x00);
    EXPECT_EQ(key[9], 0x99);
    EXPECT_EQ(key[15], 0xFF);
}

TEST_F(MBusWindowTest, StartRegisterIsBetween1And65535) {
    auto form = makeForm<TFScanModbusStart>();
    struct Case {
        const char* text;
        int result;
    };
    const Case cases[] = {
        {"0", mrCancel}, {"65536", mrCancel}, {"x", mrCancel}, {"65535", mrOk}, {"1", mrOk}};
    for (const Case& c : cases) {
        uitest::dialogs().Clear();
        form->E_StartModAdd->SetText(c.text);
        EXPECT_EQ(Show(form.get(), [&] { form->Btn_OK->Click(); }), c.result) << c.text;
        if (c.result == mrOk)
            EXPECT_EQ(form->StartModAdd, StrToInt(c.text));
        else
            EXPECT_EQ(Asked(), std::vector<std::string>{UI_Texts[1306]}) << c.text;
    }
}

TEST_F(MBusWindowTest, StartAddressesAreCheckedRowByRow) {
    auto form = makeForm<TFModbusStartAdd_SD>();
    EXPECT_EQ(form->sga->Cells(0, 0), "M-Bus ID");
    EXPECT_EQ(form->sga->Cells(1, 0), "Modbus Start Address");
    struct Case {
        std::vector<std::string> values;
        const char* error;
    };
    const Case cases[] = {
        {{"1", "59999", "60000"}, "Error row 3!! Modbus Start Address must be between 1 and 59999"},
        {{"1", "", "0"}, "Error row 2!! Modbus Start Address cannot be empty"},
        {{"0"}, "Error row 1!! Modbus Start Address must be between 1 and 59999"},
        {{"1", "100"}, nullptr},
    };
    for (const Case& c : cases) {
        uitest::dialogs().Clear();
        form->sga->SetRowCount(int(c.values.size()) + 1);
        for (std::size_t r = 0; r < c.values.size(); ++r)
            form->sga->SetCells(1, int(r) + 1, c.values[r]);
        const int result = Show(form.get(), [&] { form->Btn_OK->Click(); });
        EXPECT_EQ(result, c.error ? mrCancel : mrOk);
        EXPECT_EQ(Asked(),
                  c.error ? std::vector<std::string>{c.error} : std::vector<std::string>{});
    }
}
