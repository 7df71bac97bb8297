// The wireless machine of the scan thread: configuration mode, the radio module's set-up,
// receive mode and key installation, for both radio-module types.
#include "mbus/scan/MBusScanDecode.h"

#include "platform/base/Clock.h"

namespace {

const std::string Config_Enabled = "\n\rConfiguration_Mode Enabled!\n\r";
const std::string Config_Disabled = "\n\rConfiguration_Mode Disabled!\n\r";
const std::string Telit_Name = "\n\rTELIT\n\r";
const std::string RadioCrafts_Name = "\n\rRADIOCRAFTS\n\r";
const std::string Telit_OK = "OK\r";

bool exactPrompt(const std::vector<std::uint8_t>& a) {
    return a.size() == 1 && a[0] == '>';
}

bool leadingPrompt(const std::vector<std::uint8_t>& a) {
    return !a.empty() && a[0] == '>';
}

// The module's mode byte of the second radio-module type for a mode code.
std::uint8_t radioCraftsMode(int mode) {
    switch (mode) {
    case 1:
        return 0x03;
    case 5:
        return 0x01;
    case 15:
        return 0x11;
    case 17:
        return 0x10;
    case 11:
        return 0x0A;
    default:
        return 0x01;
    }
}

} // namespace

bool TMBusScanDecode::Insert_Wireless_Key(int Index, const std::array<std::uint8_t, 16>& Key) {
    std::lock_guard keyLock(FKeyLock);
    auto lock = List_Slave_wMBus.Lock();
    if (Index < 0 || Index >= List_Slave_wMBus.Count()) return false;
    TSlave_wMBus* sender = List_Slave_wMBus.Items(Index);
    const TRadioModule module = RadioModule;
    bool placed = true;
    if (module == rmRadioCrafts && sender->RadioCrafts_Ind_Tab_Decript < 1) {
        if (Index_RadioCrafts_Position_Used <= 64)
            sender->RadioCrafts_Ind_Tab_Decript = Index_RadioCrafts_Position_Used++;
        else
            placed = false;
    }
    const int step = Step_Scan;
    const bool receiving =
        FInScan && MBusType == mtWireless &&
        ((module == rmTelit && step == 134) || (module == rmRadioCrafts && step == 320));
    if (!placed || !receiving) return false;
    sender->Enable_Key = true;
    sender->Key = Key;
    // The machine takes the key at its next pass in receive mode.
    Key_Pending = true;
    Key_Pending_Index = Index;
    Key_Pending_Value = Key;
    return true;
}

void TMBusScanDecode::Scan_Decode_Wireless() {
    if (FAbortScan || FStopScan) Step_Scan = 500;
    std::vector<std::uint8_t> answer;
    const int step = Step_Scan;
    const bool narrow = wMBusMode == 15 || wMBusMode == 17; // N1, N2
    auto fail = [&] {
        FResult = 2;
        Step_Scan = 500;
    };
    // A wait step: goes on at `next` on the expected answer, fails on any other or on the
    // time-out.
    auto expect = [&](auto accepted, int next) {
        const TAwaited got = awaitAnswer(answer, accepted);
        if (got == TAwaited::Accepted)
            Step_Scan = next;
        else if (got != TAwaited::Nothing)
            fail();
    };
    // A wait step that goes on whatever comes, also on the time-out.
    auto anyAnswer = [&](int next) {
        if (awaitAnswer(answer, [](const auto&) { return true; }) != TAwaited::Nothing)
            Step_Scan = next;
    };
    auto sendText = [&](const std::string& text, int next, int timeout = 1000) {
        TimeOut_Calc = timeout;
        sendStep(text, Port_Wireless, next);
    };
    auto sendBlock = [&](std::vector<std::uint8_t> bytes, int next, int timeout = 1000) {
        TimeOut_Calc = timeout;
        Req_Array = std::move(bytes);
        sendStep(Port_Wireless, next);
    };
    auto isOk = [](const std::vector<std::uint8_t>& a) { return isText(a, Telit_OK); };
    auto takeKey = [&](int next) {
        std::lock_guard keyLock(FKeyLock);
        if (!Key_Pending) return;
        Key_Pending = false;
        Wireless_Key = Key_Pending_Value;
        Wireless_Key_Index = Key_Pending_Index;
        Step_Scan = next;
    };
    // The identity of the sender whose key is installed; false when it is gone.
    struct Identity {
        std::uint16_t manufacturer = 0;
        std::uint32_t address = 0;
        std::uint8_t version = 0, deviceType = 0;
        int position = -1;
    } id;
    auto sender = [&] {
        auto lock = List_Slave_wMBus.Lock();
        if (Wireless_Key_Index < 0 || Wireless_Key_Index >= List_Slave_wMBus.Count()) return false;
        const TSlave_wMBus* s = List_Slave_wMBus.Items(Wireless_Key_Index);
        id = {s->ALA_Manufacturer, std::uint32_t(s->ALA_Address), s->ALA_Version, s->ALA_DeviceType,
              s->RadioCrafts_Ind_Tab_Decript};
        return true;
    };

    if (step >= 100 && step <= 133) {
        // The first module type's configuration: one AT command per even step, "OK\r" awaited
        // at the odd step after it.
        if (step % 2 == 0) {
            std::string cmd;
            switch (step) {
            case 100:
                cmd = "+++";
                break;
            case 102:
                cmd = "ATR\r";
                break;
            case 104:
                cmd = "ATS400=" + std::to_string(wMBusMode) + "\r";
                break;
            case 106:
                cmd = "ATS401=0\r";
                break;
            case 108:
                cmd = "ATS402=191\r";
                break;
            case 110:
                cmd = "ATS420=" + std::to_string(wMBusRadioChannel) + "\r";
                break;
            case 112:
                cmd = "ATS421=0\r";
                break;
            case 114:
                cmd = "ATS422=3\r";
                break;
            case 116:
                cmd = "ATS430=5\r";
                break;
            case 118:
                cmd = "ATS431=5\r";
                break;
            case 120:
                cmd = "ATS440=0\r";
                break;
            case 122:
                cmd = "ATS441=0\r";
                break;
            case 124:
                cmd = "ATS442=0\r";
                break;
            case 126:
                cmd = "ATS452=0\r";
                break;
            case 128:
                cmd = "ATS453=0\r";
                break;
            case 130:
                cmd = "ATS454=0\r";
                break;
            case 132:
                cmd = "ATO\r";
                break;
            default:
                break;
            }
            sendText(cmd, step + 1);
        } else {
            int next = step + 1;
            if (step == 111) next = narrow ? 114 : 112;
            if (step == 123) next = narrow ? 126 : 124;
            if (step == 129) next = narrow ? 132 : 130;
            expect(isOk, next);
            if (step == 133 && Step_Scan == 134) Wireless_Receive_Message = true;
        }
        return;
    }
    if (step >= 200 && step <= 221) {
        // The first module type's key installation.
        if (step % 2 == 0) {
            if (!sender()) {
                fail();
                return;
            }
            std::string cmd;
            switch (step) {
            case 200:
                Wireless_Receive_Message = false;
                cmd = "+++";
                break;
            case 202:
                cmd = "ATS461=" + std::to_string(id.manufacturer & 0xFF) + "\r";
                break;
            case 204:
                cmd = "ATS462=" + std::to_string(id.manufacturer >> 8) + "\r";
                break;
            case 206:
            case 208:
            case 210:
            case 212: {
                const int byte = (step - 206) / 2;
                cmd = "ATS" + std::to_string(463 + byte) + "=" +
                      std::to_string((id.address >> (8 * byte)) & 0xFF) + "\r";
                break;
            }
            case 214:
                cmd = "ATS467=" + std::to_string(id.version) + "\r";
                break;
            case 216:
                cmd = "ATS468=" + std::to_string(id.deviceType) + "\r";
                break;
            case 218:
                cmd = "ATS" + std::to_string(470 + Index_Key_Send) + "=" +
                      std::to_string(Wireless_Key[std::size_t(Index_Key_Send)]) + "\r";
                break;
            case 220:
                cmd = "ATS460=5\r";
                break;
            default:
                break;
            }
            sendText(cmd, step + 1);
        } else {
            int next = step + 1;
            if (step == 219) next = Index_Key_Send + 1 < 16 ? 218 : 220;
            if (step == 221) next = 132;
            expect(isOk, next);
            if (Step_Scan == next) {
                if (step == 217) Index_Key_Send = 0;
                if (step == 219) ++Index_Key_Send;
                if (step == 221) Index_Key_Send = 0;
            }
        }
        return;
    }

    switch (step) {
    case 0:
        // The wireless scan runs over Ethernet only: over serial nothing is sent.
        if (Select_Hardware == shSerial) break;
        Wireless_Receive_Message = false;
        FResult = 1;
        sendText("Morvik_Enable_Configuration_Mode", 1);
        break;
    case 1:
        expect([](const auto& a) { return isText(a, Config_Enabled); }, 2);
        break;
    case 2:
        FResult = 1;
        sendText("Morvik_Type_Radio_Module", 3);
        break;
    case 3: {
        const auto named = [](const auto& a) {
            return isText(a, Telit_Name) || isText(a, RadioCrafts_Name);
        };
        const TAwaited got = awaitAnswer(answer, named);
        if (got == TAwaited::Accepted) {
            const bool telit = isText(answer, Telit_Name);
            RadioModule = telit ? rmTelit : rmRadioCrafts;
            Step_Scan = telit ? 100 : 300;
        } else if (got != TAwaited::Nothing) {
            fail();
        }
        break;
    }
    case 134:
        takeKey(200);
        break;

    // The second module type's configuration and key erasing.
    case 300: {
        {
            std::lock_guard keyLock(FKeyLock);
            Index_RadioCrafts_Position_Used = 1;
        }
        sendBlock({0x00}, 301);
        break;
    }
    case 301:
    case 305:
    case 311:
    case 401:
    case 403:
    case 409:
    case 415: {
        static const std::pair<int, int> next[] = {{301, 302}, {305, 306}, {311, 313}, {401, 402},
                                                   {403, 404}, {409, 410}, {415, 416}};
        for (const auto& [from, to] : next)
            if (from == step) expect(exactPrompt, to);
        break;
    }
    case 302:
        sendBlock({'0'}, 303);
        break;
    case 303:
        expect([](const auto& a) { return a.size() == 257 && a.back() == '>'; }, 304);
        break;
    case 304:
        sendBlock({'M'}, 305);
        break;
    case 306:
        sendBlock({0x03, radioCraftsMode(wMBusMode), 0x04, 0x00, 0x05, 0x01, 0x12, 0x01, 0x16, 0x17,
                   0x3A, 0x01, 0x3D, 0x02, 0x37, 0x01},
                  307, 500);
        break;
    case 307:
        anyAnswer(308);
        break;
    case 308:
        sendBlock({0xFF}, 309);
        break;
    case 309:
        expect(exactPrompt, 310);
        if (Step_Scan == 310) Index_RadioCrafts_Erase_Position = 0;
        break;
    case 310:
        // Every position a key can take, 1 to 64, is erased.
        if (Index_RadioCrafts_Erase_Position >= 64)
            Step_Scan = 318;
        else
            sendBlock({'B'}, 311);
        break;
    case 313:
        if (Index_RadioCrafts_Erase_Position >= 64) {
            Step_Scan = 318;
        } else {
            ++Index_RadioCrafts_Erase_Position;
            Step_Scan = 314;
        }
        break;
    case 314:
        sendBlock({std::uint8_t(Index_RadioCrafts_Erase_Position)}, 315, 100);
        break;
    case 315:
    case 405:
    case 411:
    case 417:
        anyAnswer(step + 1);
        break;
    case 316:
        sendBlock(std::vector<std::uint8_t>(8, 0x00), 317);
        break;
    case 317:
        expect(leadingPrompt, 310);
        break;
    case 318:
        sendBlock({'X'}, 319);
        break;
    case 319:
        Wireless_Receive_Message = true;
        Step_Scan = 320;
        break;
    case 320:
        takeKey(400);
        break;

    // The second module type's key installation.
    case 400:
        Wireless_Receive_Message = false;
        sendBlock({0x00}, 401);
        break;
    case 402:
        sendBlock({'B'}, 403);
        break;
    case 404:
    case 410:
    case 416:
        if (!sender()) {
            fail();
            break;
        }
        sendBlock({std::uint8_t(id.position)}, step + 1, 100);
        break;
    case 406:
        if (!sender()) {
            fail();
            break;
        }
        sendBlock({std::uint8_t(id.address), std::uint8_t(id.address >> 8),
                   std::uint8_t(id.address >> 16), std::uint8_t(id.address >> 24),
                   std::uint8_t(id.manufacturer), std::uint8_t(id.manufacturer >> 8), id.version,
                   id.deviceType},
                  407);
        break;
    case 407:
        expect(leadingPrompt, 408);
        break;
    case 408:
        sendBlock({'K'}, 409);
        break;
    case 412:
        sendBlock(std::vector<std::uint8_t>(Wireless_Key.begin(), Wireless_Key.end()), 413);
        break;
    case 413:
        expect(leadingPrompt, 414);
        break;
    case 414:
        sendBlock({'A'}, 415);
        break;
    case 418:
        sendBlock({0x00, 0x40}, 419);
        break;
    case 419:
        expect(exactPrompt, 318);
        break;

    // Closing.
    case 500:
        Count_Disable_Analyzer = 0;
        FAbortScan = false;
        FStopScan = false;
        Wireless_Receive_Message = false;
        Step_Scan = 501;
        break;
    case 501:
    case 502:
        closingStep(step, 500, Port_Wireless, "Morvik_Disable_Configuration_Mode", Config_Disabled);
        break;
    case 503:
        if (FInScan) Scan_Finished();
        break;
    default:
        break;
    }
}
