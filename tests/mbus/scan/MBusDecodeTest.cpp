#include "mbus/scan/MBus_Decode.h"

#include "MiniJson.h"
#include "platform/base/SysUtils.h"

#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string Examples = std::string(KNX_MBUS_EXAMPLES);

// Decodes one record area with a wired decoder.
TVariable_List decode(const Bytes& area, bool* more = nullptr, bool wireless = false) {
    TVariable_List list;
    TMBus_Decoder d(wireless);
    bool r = d.Decode_Data_Records(list, int(area.size()) - 1, area.data());
    if (more) *more = r;
    return list;
}

double number(const std::string& s) {
    return StrToFloat(s);
}

TEST(MBusRecords, PartExamplesDecode) {
    struct Case {
        Bytes record;
        const char* text;
        int typeData;
        int typeVife;
        double value; // NAN: compare valueText instead
        const char* valueText;
    };
    const Case cases[] = {
        {{0x04, 0x13, 0x15, 0x31, 0x00, 0x00}, "Volume m3", 2, 0, 12.565, nullptr},
        {{0x0C, 0x14, 0x78, 0x56, 0x34, 0x12}, "Volume m3", 2, 0, 123456.78, nullptr},
        {{0x0A, 0x13, 0x23, 0xF1}, "Volume m3", 2, 0, -0.123, nullptr},
        {{0x02, 0xFD, 0x1B, 0x05, 0x00}, "Digital Input (Binary)", 19, 21, 5, nullptr},
        {{0x04, 0x6D, 0x2D, 0x0E, 0xAF, 0x16},
         "Time Point Date and Time (Type F)",
         20,
         0,
         NAN,
         "15/06/13 14:45"},
        {{0x02, 0x6C, 0xBF, 0x1C}, "Time Point Date (Type G)", 20, 0, NAN, "31/12/13"},
        {{0x03, 0x6D, 0x05, 0x1E, 0x17},
         "Time Point Extended Time Point (Type J)",
         20,
         0,
         NAN,
         "23:30:05"},
        {{0x06, 0x6D, 0x05, 0x1E, 0x37, 0xBF, 0x1C, 0x00},
         "Time Point Extended Date and Time "
         "Point (Type I)",
         20,
         0,
         NAN,
         "Monday 31/12/13 23:30:05"},
        {{0x01, 0xFB, 0x78, 0x07}, "Cum. Max. of Active Power W", 19, 69, 0.007, nullptr},
        {{0x01, 0xFB, 0x74, 0x07},
         "Cold / Warm Temperature Limit \xC2\xB0"
         "C",
         19,
         68,
         0.007,
         nullptr},
        {{0x02, 0x93, 0x7D, 0x02, 0x00},
         "Volume m3 - Multiplicative Cerrection Factor: 10^(3)",
         2,
         105,
         2,
         nullptr},
        {{0x01, 0xAB, 0xFC, 0x01, 0x09}, "Power W - At Phase L1", 6, 0, 9, nullptr},
        {{0x01, 0x93, 0x3B, 0x03},
         "Volume m3 - Accumulation Only if Positive Contributions "
         "(Forward Flow Contribution)",
         2,
         95,
         0.003,
         nullptr},
        {{0x01, 0x93, 0x74, 0x04},
         "Volume m3 - Moltiplicative Correction Factor: 10^(-2)",
         2,
         103,
         0.00004,
         nullptr},
        {{0x02, 0x93, 0x6A, 0xBF, 0x1C},
         "Volume m3 - Date(/Time) of Begin of First",
         2,
         102,
         NAN,
         "31/12/13"},
        {{0x01, 0x6E, 0x2A}, "Units for H.C.A.", 22, 0, 42, nullptr},
        {{0x01, 0x78, 0x07}, "Fabrication No", 23, 0, 7, nullptr},
        {{0x01, 0x6F, 0x07}, "", Type_Data_None, 0, 7, nullptr},
        {{0x01, 0xFD, 0x76, 0x07}, "Reserved", 19, -1, 7, nullptr},
        // A first VIFE with its extension bit after FB is reserved; the walk goes on after it.
        {{0x01, 0xFB, 0x81, 0x00, 0x07}, "Reserved - None", 19, -1, 7, nullptr},
        {{0x05, 0x5B, 0x2B, 0x4B, 0xAC, 0x41},
         "Flow Temperature \xC2\xB0"
         "C",
         12,
         0,
         21.5367031,
         nullptr},
        {{0x0D, 0x13, 0xC2, 0x34, 0x12}, "Volume m3", 2, 0, 1.234, nullptr},
        {{0x0D, 0x13, 0xD2, 0x34, 0x12}, "Volume m3", 2, 0, -1.234, nullptr},
        {{0x07, 0x03, 0x01, 0, 0, 0, 0, 0, 0, 0x80},
         "Energy Wh",
         0,
         0,
         -9223372036854775808.0,
         nullptr},
    };
    for (const auto& c : cases) {
        TVariable_List list = decode(c.record);
        ASSERT_EQ(list.size(), 1u) << c.text;
        const TVariable_MBus& r = *list[0];
        EXPECT_EQ(r.Desc_Type_Data, c.text);
        EXPECT_EQ(r.type_data, c.typeData) << c.text;
        EXPECT_EQ(r.Type_Data_Vife, c.typeVife) << c.text;
        if (std::isnan(c.value))
            EXPECT_EQ(r.ValueStr, c.valueText) << c.text;
        else
            EXPECT_NEAR(number(r.ValueStr), c.value, std::fabs(c.value) * 1e-6 + 1e-12) << c.text;
    }
}

TEST(MBusRecords, EveryPrimaryVifRowHasItsTextCodeAndScale) {
    struct Case {
        std::uint8_t vif;
        const char* text;
        int code;
        int exponent;
    };
    const Case cases[] = {
        {0x00, "Energy Wh", 0, -3},
        {0x07, "Energy Wh", 0, 4},
        {0x08, "Energy J", 1, 0},
        {0x0F, "Energy J", 1, 7},
        {0x10, "Volume m3", 2, -6},
        {0x18, "Mass kg", 3, -3},
        {0x20, "On Time Seconds", 4, 0},
        {0x23, "On Time Days", 4, 0},
        {0x25, "Operating Time Minutes", 5, 0},
        {0x2E, "Power W", 6, 3},
        {0x30, "Power J/h", 7, 0},
        {0x3B, "Volume Flow m3/h", 8, -3},
        {0x40, "Volume Flow ext. m3/min", 9, -7},
        {0x48, "Volume Flow ext. m3/s", 10, -9},
        {0x52, "Mass Flow kg/h", 11, -1},
        {0x5C,
         "Return Temperature \xC2\xB0"
         "C",
         13, -3},
        {0x61, "Temperature Difference K", 14, -2},
        {0x67,
         "External Temperature \xC2\xB0"
         "C",
         15, 0},
        {0x69, "Pressure bar", 16, -2},
        {0x72, "Averaging Duration Hours", 17, 0},
        {0x77, "Actuality Duration Days", 18, 0},
        {0x79, "Identification", 24, 0},
        {0x7A, "Bus Address", 25, 0},
    };
    for (const auto& c : cases) {
        TVariable_List list = decode({0x01, c.vif, 0x03});
        ASSERT_EQ(list.size(), 1u);
        EXPECT_EQ(list[0]->Desc_Type_Data, c.text) << int(c.vif);
        EXPECT_EQ(list[0]->type_data, c.code) << int(c.vif);
        EXPECT_NEAR(number(list[0]->ValueStr), 3 * std::pow(10.0, c.exponent),
                    3 * std::pow(10.0, c.exponent) * 1e-9)
            << int(c.vif);
    }
}

TEST(MBusRecords, ExtensionAndVifeRowsHaveTheirTextsAndCodes) {
    struct Case {
        Bytes vifs; // VIF and VIFEs
        const char* text;
        int code;
        int exponent;
    };
    const Case cases[] = {
        {{0xFD, 0x02}, "Credit of (currency units)", 1, -1},
        {{0xFD, 0x07}, "Debit of (currency units)", 2, 0},
        {{0xFD, 0x0E}, "Metrology (Firmware) Version Number", 9, 0},
        {{0xFD, 0x19}, "Security Key", 126, 0},
        {{0xFD, 0x26}, "Storage Interval Hour(s)", 28, 0},
        {{0xFD, 0x2F}, "Duration Since Last Readout Day(s)", 31, 0},
        {{0xFD, 0x31}, "Duration of Tariff Minute(s)", 33, 0},
        {{0xFD, 0x34}, "Period of Tariff Second(s)", 34, 0},
        {{0xFD, 0x3F}, "Period of Nominal Data Transmissions Day(s)", 131, 0},
        {{0xFD, 0x48}, "Electric Units Volts", 38, 0},
        {{0xFD, 0x59}, "Electric Units A", 39, 0},
        {{0xFD, 0x6A}, "Duration Since Last Cumulation Month(s)", 48, 0},
        {{0xFD, 0x6F}, "Operating Time Battery Year(s)", 49, 0},
        {{0xFD, 0x75}, "Number Times the Meter Was Stopped", 136, 0},
        {{0xFD, 0x23}, "Reserved", -1, 0},
        {{0xFB, 0x01}, "Energy MWh", 51, 0},
        {{0xFB, 0x03}, "Reactive Energy kVARh", 137, 1},
        {{0xFB, 0x0D}, "Energy MCal", 139, 0},
        {{0xFB, 0x11}, "Volume m3", 53, 3},
        {{0xFB, 0x17}, "Reactive Power kVAR", 140, 0},
        {{0xFB, 0x1A}, "Relative Humidity %", 141, -1},
        {{0xFB, 0x26}, "Volume Flow 1 American Gallon/h", 60, 0},
        {{0xFB, 0x2D}, "Frequency Hz", 145, -2},
        {{0xFB, 0x31}, "Power GJ/h", 62, 0},
        {{0xFB, 0x5A},
         "Flow Temperature \xC2\xB0"
         "F",
         63,
         -1},
        {{0xFB, 0x7F}, "Cum. Max. of Active Power W", 69, 4},
        {{0xFB, 0x40}, "Reserved", -1, 0},
        {{0x93, 0x22}, "Volume m3 - Per Hour", 72, -3},
        {{0x93, 0x29}, "Volume m3 - Increment per Input Pulse on Input Channel 1", 78, -3},
        {{0x93, 0x38}, "Volume m3 - Multiplied by s / A", 92, -3},
        {{0x93, 0x4F}, "Volume m3 - Date(/Time) of End of Last Upper Limit Exceed", 99, -3},
        {{0x93, 0x5D}, "Volume m3 - Duration 01 of Last Upper Limit Exceed", 100, -3},
        {{0x93, 0x62}, "Volume m3 - Duration 02 of First", 101, -3},
        {{0x93, 0x79}, "Volume m3 - Additive Correction Constant: 10^(-2) * Unit of VIF", 104, -5},
        {{0x93, 0x15}, "Volume m3 - No Data Available (Undefined Value)", 121, -3},
        {{0x93, 0x0A}, " - Reserved", 0, -3},
        {{0xFD, 0x97, 0x3E}, "Error Flag (Binary) - Value at Base Conditions", 18, 0},
        {{0x93, 0xA2, 0x3E}, "Volume m3 - Per Hour - Value at Base Conditions", 72, -3},
    };
    for (const auto& c : cases) {
        Bytes rec{0x01};
        rec.insert(rec.end(), c.vifs.begin(), c.vifs.end());
        rec.push_back(0x05);
        TVariable_List list = decode(rec);
        ASSERT_EQ(list.size(), 1u) << c.text;
        EXPECT_EQ(list[0]->Desc_Type_Data, c.text);
        const int expectedCode = (c.vifs[0] == 0xFB || c.vifs[0] == 0xFD) ? c.code : c.code;
        EXPECT_EQ(list[0]->Type_Data_Vife, expectedCode) << c.text;
        if (c.vifs[0] != 0xFB && c.vifs[0] != 0xFD) {
            EXPECT_EQ(list[0]->type_data, 2) << c.text;
        } else {
            EXPECT_EQ(list[0]->type_data, 19) << c.text;
        }
        EXPECT_NEAR(number(list[0]->ValueStr), 5 * std::pow(10.0, c.exponent),
                    5 * std::pow(10.0, c.exponent) * 1e-9)
            << c.text;
    }
}

// The codes go into the project's M-Bus file: every extension and VIFE row has its own.
TEST(MBusRecords, EveryExtensionAndVifeRowCarriesItsCode) {
    struct Range {
        std::uint8_t from, to;
        int code;
    };
    const Range fd[] = {
        {0x00, 0x03, 1},   {0x04, 0x07, 2},   {0x08, 0x08, 3},   {0x09, 0x09, 4},
        {0x0A, 0x0A, 5},   {0x0B, 0x0B, 6},   {0x0C, 0x0C, 7},   {0x0D, 0x0D, 8},
        {0x0E, 0x0E, 9},   {0x0F, 0x0F, 10},  {0x10, 0x10, 11},  {0x11, 0x11, 12},
        {0x12, 0x12, 13},  {0x13, 0x13, 14},  {0x14, 0x14, 15},  {0x15, 0x15, 16},
        {0x16, 0x16, 17},  {0x17, 0x17, 18},  {0x18, 0x18, 19},  {0x19, 0x19, 126},
        {0x1A, 0x1A, 20},  {0x1B, 0x1B, 21},  {0x1C, 0x1C, 22},  {0x1D, 0x1D, 23},
        {0x1E, 0x1E, 24},  {0x1F, 0x1F, 127}, {0x20, 0x20, 25},  {0x21, 0x21, 26},
        {0x22, 0x22, 27},  {0x23, 0x23, -1},  {0x24, 0x27, 28},  {0x28, 0x28, 29},
        {0x29, 0x29, 30},  {0x2A, 0x2A, 128}, {0x2B, 0x2B, 129}, {0x2C, 0x2F, 31},
        {0x30, 0x30, 32},  {0x31, 0x33, 33},  {0x34, 0x37, 34},  {0x38, 0x38, 35},
        {0x39, 0x39, 36},  {0x3A, 0x3A, 37},  {0x3B, 0x3B, 130}, {0x3C, 0x3F, 131},
        {0x40, 0x4F, 38},  {0x50, 0x5F, 39},  {0x60, 0x60, 40},  {0x61, 0x61, 41},
        {0x62, 0x62, 42},  {0x63, 0x63, 43},  {0x64, 0x64, 44},  {0x65, 0x65, 45},
        {0x66, 0x66, 46},  {0x67, 0x67, 47},  {0x68, 0x6B, 48},  {0x6C, 0x6F, 49},
        {0x70, 0x70, 50},  {0x71, 0x71, 132}, {0x72, 0x72, 133}, {0x73, 0x73, 134},
        {0x74, 0x74, 135}, {0x75, 0x75, 136}, {0x76, 0x7F, -1},
    };
    const Range fb[] = {
        {0x00, 0x01, 51},  {0x02, 0x03, 137}, {0x04, 0x05, 138}, {0x06, 0x07, -1},
        {0x08, 0x09, 52},  {0x0A, 0x0B, -1},  {0x0C, 0x0F, 139}, {0x10, 0x11, 53},
        {0x12, 0x13, -1},  {0x14, 0x17, 140}, {0x18, 0x19, 54},  {0x1A, 0x1B, 141},
        {0x1C, 0x1F, -1},  {0x20, 0x20, 142}, {0x21, 0x21, 55},  {0x22, 0x22, 56},
        {0x23, 0x23, 57},  {0x24, 0x24, 58},  {0x25, 0x25, 59},  {0x26, 0x26, 60},
        {0x27, 0x27, -1},  {0x28, 0x29, 61},  {0x2A, 0x2A, 143}, {0x2B, 0x2B, 144},
        {0x2C, 0x2F, 145}, {0x30, 0x31, 62},  {0x32, 0x33, -1},  {0x34, 0x37, 146},
        {0x38, 0x57, -1},  {0x58, 0x5B, 63},  {0x5C, 0x5F, 64},  {0x60, 0x63, 65},
        {0x64, 0x67, 66},  {0x68, 0x6F, -1},  {0x70, 0x73, 67},  {0x74, 0x77, 68},
        {0x78, 0x7F, 69},
    };
    const Range vife[] = {
        {0x00, 0x00, 108}, {0x01, 0x01, 109}, {0x02, 0x02, 110}, {0x03, 0x03, 111},
        {0x04, 0x04, 112}, {0x05, 0x05, 113}, {0x06, 0x06, 114}, {0x07, 0x07, 115},
        {0x08, 0x0A, 0},   {0x0B, 0x0B, 116}, {0x0C, 0x0C, 117}, {0x0D, 0x0D, 118},
        {0x0E, 0x0E, 119}, {0x0F, 0x0F, 120}, {0x10, 0x14, 0},   {0x15, 0x15, 121},
        {0x16, 0x16, 122}, {0x17, 0x17, 123}, {0x18, 0x18, 124}, {0x19, 0x1B, 0},
        {0x1C, 0x1C, 125}, {0x1D, 0x1F, 0},   {0x28, 0x29, 78},  {0x2A, 0x2B, 79},
        {0x39, 0x39, 93},  {0x3A, 0x3A, 94},  {0x3B, 0x3B, 95},  {0x3C, 0x3C, 96},
        {0x3D, 0x3D, 147}, {0x3E, 0x3E, 148}, {0x3F, 0x3F, 0},   {0x40, 0x40, 97},
        {0x41, 0x41, 98},  {0x42, 0x43, 99},  {0x44, 0x45, 0},   {0x46, 0x47, 99},
        {0x48, 0x48, 97},  {0x49, 0x49, 98},  {0x4A, 0x4B, 99},  {0x4C, 0x4D, 0},
        {0x4E, 0x4F, 99},  {0x50, 0x5F, 100}, {0x60, 0x67, 101}, {0x68, 0x68, 149},
        {0x69, 0x69, 150}, {0x6A, 0x6B, 102}, {0x6C, 0x6C, 149}, {0x6D, 0x6D, 151},
        {0x6E, 0x6F, 102}, {0x70, 0x77, 103}, {0x78, 0x7B, 104}, {0x7D, 0x7D, 105},
        {0x7E, 0x7E, 106}, {0x7F, 0x7F, 107},
    };
    auto check = [](const Range* table, std::size_t n, std::uint8_t vif, const char* name) {
        for (std::size_t i = 0; i < n; ++i)
            for (int v = table[i].from; v <= table[i].to; ++v) {
                TVariable_List list = decode({0x02, vif, std::uint8_t(v), 0x01, 0x00});
                ASSERT_EQ(list.size(), 1u);
                EXPECT_EQ(list[0]->Type_Data_Vife, table[i].code) << name << " " << v;
            }
    };
    check(fd, std::size(fd), 0xFD, "FD");
    check(fb, std::size(fb), 0xFB, "FB");
    check(vife, std::size(vife), 0x93, "VIFE");
    // The per-time and per-unit rows count up one code per VIFE.
    for (int v = 0x20; v <= 0x27; ++v)
        EXPECT_EQ(decode({0x02, 0x93, std::uint8_t(v), 0x01, 0x00})[0]->Type_Data_Vife,
                  70 + v - 0x20);
    for (int v = 0x2C; v <= 0x38; ++v)
        EXPECT_EQ(decode({0x02, 0x93, std::uint8_t(v), 0x01, 0x00})[0]->Type_Data_Vife,
                  80 + v - 0x2C);
}

TEST(MBusRecords, RecordFieldsFollowTheDifDifeAndVif) {
    // DIF C4 (storage bit, function max? no: bits 4-5 = 0), DIFE 8D (ext, tariff 0, storage D),
    // DIFE 51 (unit 1, tariff 1, storage 1), VIF 93 VIFE 3B.
    TVariable_List list = decode({0xC4, 0x8D, 0x51, 0x93, 0x3B, 0x01, 0x02, 0x03, 0x04});
    ASSERT_EQ(list.size(), 1u);
    const TVariable_MBus& r = *list[0];
    EXPECT_EQ(r.DIF, "$C4");
    EXPECT_EQ(r.DIFE, "$8D $51 ");
    EXPECT_EQ(r.VIFE, "$3B ");
    EXPECT_EQ(r.numdife, 2);
    EXPECT_EQ(r.storage_number, 1 + 2 * (0xD + 16 * 1));
    EXPECT_EQ(r.tarif, 0 + 4 * 1);
    EXPECT_EQ(r.device, 0 + 2 * 1);
    EXPECT_EQ(r.totdati, "01020304");
    EXPECT_EQ(r.dato_A, 0x04030201);
    EXPECT_EQ(r.nbyte, 4);
    EXPECT_EQ(r.descdim, "32 Bit Integer");
    EXPECT_EQ(r.DataFieldStr, "32 Bit Integer");
    EXPECT_EQ(r.FunctionFieldStr, "Istantaneous value");
    EXPECT_EQ(r.vifvalue, 0x93);
    EXPECT_EQ(r.PrinVIFE, 0x3B);
    EXPECT_EQ(r.casovif, 0);
    EXPECT_FALSE(r.datagiorno.empty());

    struct Kind {
        Bytes record;
        int casovif;
        int vifvalue;
        const char* function;
    };
    const Kind kinds[] = {
        {{0x11, 0xFD, 0x17, 0x00}, 1, 0x17, "Maximum value"},
        {{0x21, 0xFB, 0x00, 0x00}, 2, 0x00, "Minimum value"},
        {{0x31, 0xFF, 0x00, 0x00}, 100, -1, "Value during error state"},
        {{0x01, 0x7C, 0x02, 'h', 'W', 0x00}, 101, -1, "Istantaneous value"},
    };
    for (const auto& k : kinds) {
        TVariable_List l = decode(k.record);
        ASSERT_EQ(l.size(), 1u);
        EXPECT_EQ(l[0]->casovif, k.casovif);
        EXPECT_EQ(l[0]->vifvalue, k.vifvalue);
        EXPECT_EQ(l[0]->FunctionFieldStr, k.function);
    }
    EXPECT_EQ(decode({0x01, 0x7C, 0x02, 'h', 'W', 0x00})[0]->VIF_ASCII, "Wh");
}

TEST(MBusRecords, SpecialDifsEndOrSkip) {
    bool more = true;
    // 1F: manufacturer data follows and more telegrams are announced.
    EXPECT_EQ(decode({0x01, 0x13, 0x05, 0x1F, 0xAA, 0xBB}, &more).size(), 1u);
    EXPECT_FALSE(more);
    EXPECT_EQ(decode({0x01, 0x13, 0x05, 0x0F, 0x01, 0x02}, &more).size(), 1u);
    EXPECT_TRUE(more);
    // 2F fillers are skipped; a wireless scan keeps a placeholder per filler.
    EXPECT_EQ(decode({0x2F, 0x2F, 0x01, 0x13, 0x05, 0x2F}).size(), 1u);
    TVariable_List wl = decode({0x2F, 0x2F, 0x01, 0x13, 0x05, 0x2F}, nullptr, true);
    ASSERT_EQ(wl.size(), 4u);
    EXPECT_FALSE(wl[0]->Real_Wireless_Var);
    EXPECT_TRUE(wl[2]->Real_Wireless_Var);
    // 3F..7F end; data field 8 ends; VIF 7E ends.
    EXPECT_EQ(decode({0x01, 0x13, 0x05, 0x5F, 0x01, 0x13, 0x05}).size(), 1u);
    EXPECT_EQ(decode({0x01, 0x13, 0x05, 0x08, 0x13, 0x01, 0x13, 0x05}).size(), 1u);
    EXPECT_EQ(decode({0x01, 0x7E, 0x05, 0x01, 0x13, 0x05}).size(), 0u);
    // A reserved variable length stays as an uninterpretable record.
    TVariable_List res = decode({0x0D, 0x13, 0xFB});
    ASSERT_EQ(res.size(), 1u);
    EXPECT_TRUE(res[0]->errata);
    EXPECT_EQ(res[0]->sterror, "Non analizabile");
    EXPECT_EQ(res[0]->descdim, "Variable length: Reserved");
}

TEST(MBusRecords, TruncatedRecordsEndTheWalkWithoutReadingPastTheArea) {
    const Bytes cases[] = {
        {0x01, 0x13, 0x05, 0x04, 0x13, 0x01, 0x02},       // data cut short
        {0x01, 0x13, 0x05, 0x84},                         // DIFE missing
        {0x01, 0x13, 0x05, 0x04, 0x93},                   // VIFE missing
        {0x01, 0x13, 0x05, 0x04, 0x7C, 0x09, 'a', 'b'},   // unit longer than the bytes left
        {0x01, 0x13, 0x05, 0x0D, 0x13, 0x05, 0x01, 0x02}, // variable length past the end
    };
    for (const auto& c : cases) {
        // Copy into an exactly sized heap block so that the sanitizer sees any overread.
        auto area = std::make_unique<std::uint8_t[]>(c.size());
        std::copy(c.begin(), c.end(), area.get());
        TVariable_List list;
        TMBus_Decoder d;
        EXPECT_TRUE(d.Decode_Data_Records(list, int(c.size()) - 1, area.get()));
        EXPECT_EQ(list.size(), 1u) << "only the complete record";
    }
}

TEST(MBusRecords, LongUnitsAndVifeChainsStayInTheirBuffers) {
    Bytes rec{0x01, 0x7C, 250};
    for (int i = 0; i < 250; ++i) rec.push_back(std::uint8_t('a' + i % 26));
    rec.push_back(0x07);
    TVariable_List list = decode(rec);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->VIF_ASCII.size(), 192u);

    // Eleven VIFEs, all with the extension bit: the walk reads eleven and goes on after them.
    Bytes chain{0x01, 0x93};
    for (int i = 0; i < 11; ++i) chain.push_back(0xA2);
    chain.push_back(0x05);
    list = decode(chain);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->VIFE.size(), 11u * 4);
    EXPECT_EQ(list[0]->totdati, "05");
}

TEST(MBusRecords, BcdNamesAndMedia) {
    TMBus_Decoder d;
    d.App_Data_Val[0] = 0x23;
    d.App_Data_Val[1] = 0xF1;
    EXPECT_EQ(d.BCD_To_Int64(2), -123);
    d.App_Data_Val[1] = 0x01;
    EXPECT_EQ(d.BCD_To_Int64(2), 123);
    EXPECT_EQ(Trova_Man(0x2C2D), "KAM");
    EXPECT_EQ(Trova_Man(0), "???");
    EXPECT_EQ(Trova_Man(0x1593), "ELS");
    struct Case {
        int medium;
        const char* text;
    };
    const Case media[] = {{1, "Oil"},
                          {7, "Water"},
                          {12, "Heat (inlet) "},
                          {15, "Unknown Medium"},
                          {0x16, "Cold Water"},
                          {0x19, "A/D Converter"},
                          {0, "Other"},
                          {16, "Other"}};
    for (const auto& m : media) EXPECT_EQ(Medium_Description(m.medium), m.text);
}

// Published wired telegrams with the values their sources state.
TEST(MBusRecords, PublishedWiredTelegramsDecodeToTheirStatedValues) {
    if (!std::filesystem::exists(Examples)) GTEST_SKIP() << "no example telegrams";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(Examples + "/expected")) {
        const json::Value doc = json::parseFile(entry.path().string());
        SCOPED_TRACE(doc["name"].text);
        ++files;
        const Bytes frame = json::hexBytes(doc["frame_hex"].text);
        TSlave_MBus_List slaves;
        TMBus_Decoder d;
        bool noMore = false;
        const int index = d.Add_Wired_Slave(slaves, frame.data(), int(frame.size()), -1, noMore);
        ASSERT_EQ(index, 0);
        const TSlave_MBus& s = *slaves.Items(0);
        const json::Value& h = doc["header_expected"];
        EXPECT_EQ(s.Primary_Addresss, int(h["Primary_Addresss"].number));
        EXPECT_EQ(s.Manufacture, int(h["Manufacture"].number));
        EXPECT_EQ(s.Version, int(h["Version"].number));
        EXPECT_EQ(s.Medium, int(h["Medium"].number));
        EXPECT_EQ(s.Status, int(h["Status"].number));
        for (const char* key :
             {"Secondary_Addresss_hex_digits_of_bytes_7_10", "Secondary_Addresss_from_source"})
            if (h.has(key)) {
                EXPECT_EQ(s.Secondary_Addresss, h[key].text);
            }
        for (const char* key : {"descManufacture_from_library", "descManufacture_from_source"})
            if (h.has(key)) {
                EXPECT_EQ(s.descManufacture, h[key].text);
            }

        std::size_t r = 0;
        for (std::size_t i = 0; i < doc["records"].size(); ++i) {
            const json::Value& rec = doc["records"][i];
            if (!rec["decoded_record"].boolean) continue;
            ASSERT_LT(r, s.List_Var.size());
            const TVariable_MBus& v = *s.List_Var[r++];
            const json::Value& e = rec["expected"];
            const json::Value& b = rec["bytes"];
            SCOPED_TRACE(rec["index"].number);
            EXPECT_EQ(v.DIF, "$" + b["dif"].text);
            std::string dife, vife;
            for (std::size_t k = 0; k < b["dife"].size(); ++k)
                dife += "$" + b["dife"][k].text + " ";
            for (std::size_t k = 0; k < b["vife"].size(); ++k)
                vife += "$" + b["vife"][k].text + " ";
            EXPECT_EQ(v.DIFE, dife);
            EXPECT_EQ(v.VIFE, vife);
            EXPECT_EQ(v.totdati, b["data"].text);
            EXPECT_EQ(v.function_fild, int(e["function_fild"].number));
            EXPECT_EQ(v.storage_number, std::int64_t(e["storage_number"].number));
            EXPECT_EQ(v.tarif, int(e["tarif"].number));
            EXPECT_EQ(v.device, int(e["device"].number));
            const std::string kind = e["value_kind"].text;
            if (kind == "plain_text_unit") {
                if (e.has("expected_VIF_ASCII"))
                    EXPECT_EQ(v.VIF_ASCII, e["expected_VIF_ASCII"].text);
                else
                    EXPECT_EQ(v.VIF_ASCII, b["plain_text_unit_reversed"].text);
            } else if (kind == "date") {
                const json::Value& date = e["expected_date"];
                int day = 0, month = 0, year = 0, hour = 0, minute = 0;
                ASSERT_GE(std::sscanf(v.ValueStr.c_str(), "%d/%d/%d %d:%d", &day, &month, &year,
                                      &hour, &minute),
                          3)
                    << v.ValueStr;
                EXPECT_EQ(day, int(date["day"].number));
                EXPECT_EQ(month, int(date["month"].number));
                EXPECT_EQ(year, int(date["year"].number));
                if (date.has("hour")) {
                    EXPECT_EQ(hour, int(date["hour"].number));
                }
                if (date.has("minute")) {
                    EXPECT_EQ(minute, int(date["minute"].number));
                }
            } else if (rec["compare_value"].boolean) {
                const double factor =
                    e.has("factor_to_library_unit") ? e["factor_to_library_unit"].number : 1.0;
                // The stated value in the source's unit; factor converts the decoder's to it.
                const double stated = e.has("library_normalised_value")
                                          ? e["library_normalised_value"].number
                                          : e["expected_value"].number;
                EXPECT_NEAR(number(v.ValueStr) * factor, stated, e["tolerance_library_unit"].number)
                    << v.ValueStr;
            }
        }
        EXPECT_EQ(s.List_Var.size(), r) << "no record beyond the stated ones";
    }
    EXPECT_GE(files, 4);
}

TEST(MBusRecords, FurtherTelegramsAppendToTheSameSlave) {
    // 68 L L 68 08 05 72 | id 78 56 34 12 | man 2D 2C | ver 01 | medium 07 | acc 01 | status 00 |
    // sig 00 00 | records | CS 16
    Bytes frame{0x68, 0x00, 0x00, 0x68, 0x08, 0x05, 0x72, 0x78, 0x56, 0x34, 0x12, 0x2D, 0x2C,
                0x01, 0x07, 0x01, 0x00, 0x00, 0x00, 0x01, 0x13, 0x05, 0x1F, 0x00, 0x16};
    TSlave_MBus_List slaves;
    TMBus_Decoder d;
    bool noMore = true;
    int i = d.Add_Wired_Slave(slaves, frame.data(), int(frame.size()), -1, noMore);
    EXPECT_FALSE(noMore);
    EXPECT_EQ(slaves.Items(i)->Secondary_Addresss, "12345678");
    EXPECT_EQ(slaves.Items(i)->descManufacture, "KAM");
    EXPECT_EQ(slaves.Items(i)->descmedium, "Water");
    frame[22] = 0x0F;
    EXPECT_EQ(d.Add_Wired_Slave(slaves, frame.data(), int(frame.size()), i, noMore), i);
    EXPECT_TRUE(noMore);
    EXPECT_EQ(slaves.Count(), 1);
    EXPECT_EQ(slaves.Items(0)->List_Var.size(), 2u);
}

} // namespace
