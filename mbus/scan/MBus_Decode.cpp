#include "mbus/scan/MBus_Decode.h"

#include "platform/base/SysUtils.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr int Max_DIFE = 11;
constexpr int Max_VIFE = 11;
constexpr std::size_t Unit_Buffer = 192; // characters of a plain-text unit

const char* const Plain_Units[4] = {"Seconds", "Minutes", "Hours", "Days"};
const char* const Unit_Words[4] = {"Second(s)", "Minute(s)", "Hour(s)", "Day(s)"};
const char* const Month_Units[4] = {"Hour(s)", "Day(s)", "Month(s)", "Year(s)"};

std::string twoDigits(int v) {
    return v < 10 ? "0" + std::to_string(v) : std::to_string(v);
}

std::string hexByte(std::uint8_t b) {
    return IntToHex(b, 2);
}

// A meter's plain text as text: each byte a Latin-1 character; a control character, which no
// project file may hold, becomes "?". What the scan window shows is then what a save writes.
std::string plainText(const std::uint8_t* bytes, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t b = bytes[i];
        text += b < 0x20 || (b >= 0x7F && b < 0xA0) ? std::string("?") : CodePointToUtf8(b);
    }
    return text;
}

std::int64_t signedLE(const std::uint8_t* b, int n) {
    std::uint64_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = (v << 8) | b[i];
    const int bits = n * 8;
    if (bits < 64 && (v >> (bits - 1)) & 1) v |= ~std::uint64_t(0) << bits;
    return std::int64_t(v);
}

// What a VIF or VIFE row contributes: a description, a code and a power of ten.
struct Row {
    std::string text;
    int code = -1;
    int exponent = 0;
};

Row fdRow(std::uint8_t v) {
    const int nn = v & 3;
    if (v <= 0x03) return {"Credit of (currency units)", 1, nn - 3};
    if (v <= 0x07) return {"Debit of (currency units)", 2, nn - 3};
    static const struct {
        std::uint8_t vife;
        int code;
        const char* text;
    } plain[] = {
        {0x08, 3, "Unique message Identification"},
        {0x09, 4, "Device Type"},
        {0x0A, 5, "Manufacturer"},
        {0x0B, 6, "Parameter Set Identification"},
        {0x0C, 7, "Model Version"},
        {0x0D, 8, "Hardware Version Number"},
        {0x0E, 9, "Metrology (Firmware) Version Number"},
        {0x0F, 10, "Other Software Version Number"},
        {0x10, 11, "Customer LOcation"},
        {0x11, 12, "Customer"},
        {0x12, 13, "Access Code User"},
        {0x13, 14, "Access Code Operator"},
        {0x14, 15, "Access Code System Operator"},
        {0x15, 16, "Access Code Developer"},
        {0x16, 17, "Password"},
        {0x17, 18, "Error Flag (Binary)"},
        {0x18, 19, "Error Mask"},
        {0x19, 126, "Security Key"},
        {0x1A, 20, "Digital Output (Binary)"},
        {0x1B, 21, "Digital Input (Binary)"},
        {0x1C, 22, "Baudrate [Baud]"},
        {0x1D, 23, "Responce Delay Time [Bit-Times]"},
        {0x1E, 24, "Retry"},
        {0x1F, 127, "Remote Control (Device Specific e.g. Gas Value)"},
        {0x20, 25, "First Storage Number for Cyclic Storage"},
        {0x21, 26, "Last Storage Number for Cyclic Storage"},
        {0x22, 27, "Size of Storage Block"},
        {0x28, 29, "Storage Interval Month(s)"},
        {0x29, 30, "Storage Interval Year(s)"},
        {0x2A, 128, "Operator Specific Data"},
        {0x2B, 129, "Time Point Second (0 to 59)"},
        {0x30, 32, "Start (Date/Time) of Tariff"},
        {0x38, 35, "Period of Tariff Month(s)"},
        {0x39, 36, "Period of Tariff Year(s)"},
        {0x3A, 37, "Dimensionless / No VIF"},
        {0x3B, 130, "Data Container for Wireless M-Bus Protocol"},
        {0x60, 40, "Reset Counter"},
        {0x61, 41, "Cumulation Counter"},
        {0x62, 42, "Control Signal"},
        {0x63, 43, "Day of Week"},
        {0x64, 44, "Week Number"},
        {0x65, 45, "Time Point of Day Change"},
        {0x66, 46, "State of Parameter Activation"},
        {0x67, 47, "Special Supplier Information"},
        {0x70, 50, "Date and Time of Battery Change"},
        {0x71, 132, "RF Level Units: dBm"},
        {0x72, 133, "Daylight Savings (Beginning, Ending, Deviation) Data Type K"},
        {0x73, 134, "Listening Window Management Data Type L"},
        {0x74, 135, "Remaining Battery Life Time (Days)"},
        {0x75, 136, "Number Times the Meter Was Stopped"},
    };
    for (const auto& p : plain)
        if (p.vife == v) return {p.text, p.code, 0};
    const std::uint8_t group = v & 0xFC;
    switch (group) {
    case 0x24:
        return {std::string("Storage Interval ") + Unit_Words[nn], 28, 0};
    case 0x2C:
        return {std::string("Duration Since Last Readout ") + Unit_Words[nn], 31, 0};
    case 0x34:
        return {std::string("Period of Tariff ") + Unit_Words[nn], 34, 0};
    case 0x3C:
        return {std::string("Period of Nominal Data Transmissions ") + Unit_Words[nn], 131, 0};
    case 0x68:
        return {std::string("Duration Since Last Cumulation ") + Month_Units[nn], 48, 0};
    case 0x6C:
        return {std::string("Operating Time Battery ") + Month_Units[nn], 49, 0};
    default:
        break;
    }
    if (v >= 0x31 && v <= 0x33) return {std::string("Duration of Tariff ") + Unit_Words[nn], 33, 0};
    if (v >= 0x40 && v <= 0x4F) return {"Electric Units Volts", 38, 0};
    if (v >= 0x50 && v <= 0x5F) return {"Electric Units A", 39, 0};
    return {"Reserved", -1, 0};
}

Row fbRow(std::uint8_t v) {
    if (v & 0x80) return {"Reserved", -1, 0};
    const int n = v & 1, nn = v & 3, nnn = v & 7;
    switch (v & 0xFE) {
    case 0x00:
        return {"Energy MWh", 51, n - 1};
    case 0x02:
        return {"Reactive Energy kVARh", 137, n};
    case 0x04:
        return {"Apparent Energy kVAh", 138, n};
    case 0x08:
        return {"Energy GJ", 52, n - 1};
    case 0x10:
        return {"Volume m3", 53, n + 2};
    case 0x18:
        return {"Volume t", 54, n + 2};
    case 0x1A:
        return {"Relative Humidity %", 141, n - 1};
    case 0x28:
        return {"Power MW", 61, n - 1};
    case 0x30:
        return {"Power GJ/h", 62, n - 1};
    default:
        break;
    }
    switch (v) {
    case 0x20:
        return {"Volume Feet 3", 142, 0};
    case 0x21:
        return {"Volume 0,1 Feet 3", 55, 0};
    case 0x22:
        return {"Volume 0,1 American Gallon", 56, 0};
    case 0x23:
        return {"Volume 1 American Gallon", 57, 0};
    case 0x24:
        return {"Volume Flow 0,001 American Gallon/min", 58, 0};
    case 0x25:
        return {"Volume Flow 1 American Gallon/min", 59, 0};
    case 0x26:
        return {"Volume Flow 1 American Gallon/h", 60, 0};
    case 0x2A:
        return {"Phase U-U (Volt. to Volt.)", 143, 0};
    case 0x2B:
        return {"Phase U-I (Volt. to Current)", 144, 0};
    default:
        break;
    }
    switch (v & 0xFC) {
    case 0x0C:
        return {"Energy MCal", 139, nn - 1};
    case 0x14:
        return {"Reactive Power kVAR", 140, nn - 3};
    case 0x2C:
        return {"Frequency Hz", 145, nn - 3};
    case 0x34:
        return {"Apparent Power kVA", 146, nn - 3};
    case 0x58:
        return {"Flow Temperature \xC2\xB0"
                "F",
                63, nn - 3};
    case 0x5C:
        return {"Return Temperature \xC2\xB0"
                "F",
                64, nn - 3};
    case 0x60:
        return {"Temperature Difference \xC2\xB0"
                "F",
                65, nn - 3};
    case 0x64:
        return {"External Temperature \xC2\xB0"
                "F",
                66, nn - 3};
    case 0x70:
        return {"Cold / Warm Temperature Limit \xC2\xB0"
                "F",
                67, nn - 3};
    case 0x74:
        return {"Cold / Warm Temperature Limit \xC2\xB0"
                "C",
                68, nn - 3};
    default:
        break;
    }
    // Its own code: the row before it carries 68.
    if ((v & 0xF8) == 0x78) return {"Cum. Max. of Active Power W", 69, nnn - 3};
    return {"Reserved", -1, 0};
}

// The primary VIF row (VIF with bit 7 cleared) for a record of the given data field.
Row primaryRow(std::uint8_t vif, std::uint8_t dataField) {
    const int nnn = vif & 7, nn = vif & 3;
    if (vif <= 0x07) return {"Energy Wh", 0, nnn - 3};
    if (vif <= 0x0F) return {"Energy J", 1, nnn};
    if (vif <= 0x17) return {"Volume m3", 2, nnn - 6};
    if (vif <= 0x1F) return {"Mass kg", 3, nnn - 3};
    if (vif <= 0x23) return {std::string("On Time ") + Plain_Units[nn], 4, 0};
    if (vif <= 0x27) return {std::string("Operating Time ") + Plain_Units[nn], 5, 0};
    if (vif <= 0x2F) return {"Power W", 6, nnn - 3};
    if (vif <= 0x37) return {"Power J/h", 7, nnn};
    if (vif <= 0x3F) return {"Volume Flow m3/h", 8, nnn - 6};
    if (vif <= 0x47) return {"Volume Flow ext. m3/min", 9, nnn - 7};
    if (vif <= 0x4F) return {"Volume Flow ext. m3/s", 10, nnn - 9};
    if (vif <= 0x57) return {"Mass Flow kg/h", 11, nnn - 3};
    if (vif <= 0x5B)
        return {"Flow Temperature \xC2\xB0"
                "C",
                12, nn - 3};
    if (vif <= 0x5F)
        return {"Return Temperature \xC2\xB0"
                "C",
                13, nn - 3};
    if (vif <= 0x63) return {"Temperature Difference K", 14, nn - 3};
    if (vif <= 0x67)
        return {"External Temperature \xC2\xB0"
                "C",
                15, nn - 3};
    if (vif <= 0x6B) return {"Pressure bar", 16, nn - 3};
    if (vif <= 0x6D) {
        switch (dataField) {
        case 2:
            return {"Time Point Date (Type G)", 20, 0};
        case 4:
            return {"Time Point Date and Time (Type F)", 20, 0};
        case 3:
            return {"Time Point Extended Time Point (Type J)", 20, 0};
        case 6:
            return {"Time Point Extended Date and Time Point (Type I)", 20, 0};
        default:
            return {"", 20, 0};
        }
    }
    if (vif == 0x6E) return {"Units for H.C.A.", 22, 0};
    if (vif == 0x6F) return {"", Type_Data_None, 0};
    if (vif <= 0x73) return {std::string("Averaging Duration ") + Plain_Units[nn], 17, 0};
    if (vif <= 0x77) return {std::string("Actuality Duration ") + Plain_Units[nn], 18, 0};
    if (vif == 0x78) return {"Fabrication No", 23, 0};
    if (vif == 0x79) return {"Identification", 24, 0};
    if (vif == 0x7A) return {"Bus Address", 25, 0};
    if (vif == 0x7B || vif == 0x7D) return {"", 19, 0};
    if (vif == 0x7C) return {"Vif in following String", 21, 0};
    if (vif == 0x7E) return {"Any VIF", Type_Data_None, 0};
    return {"Manufacturer Specific", Type_Data_None, 0};
}

const char* const Per_Texts[] = {
    " - Per Second", " - Per Minute", " - Per Hour", " - Per Day",
    " - Per Week",   " - Per Month",  " - Per Year", " - Per Revolution / Measurement",
};
const char* const Per_Unit_Texts[] = {
    " - Per Liter",
    " - Per m3",
    " - Per kg",
    " - Per K (Kelvin)",
    " - Per kWh",
    " - Per GJ",
    " - Per kW",
    " - Per (K*l)(Kelvin * Litre)",
    " - Per V (Volt)",
    " - Per (A) (Ampere)",
    " - Multiplied by s",
    " - Multiplied by s / V",
    " - Multiplied by s / A",
};

bool isDateVife(std::uint8_t v) {
    switch (v) {
    case 0x42:
    case 0x43:
    case 0x46:
    case 0x47:
    case 0x4A:
    case 0x4B:
    case 0x4E:
    case 0x4F:
    case 0x6A:
    case 0x6B:
    case 0x6E:
    case 0x6F:
        return true;
    default:
        return false;
    }
}

// A VIFE row of the walk (bit 7 cleared). Code 0 means none.
Row vifeRow(std::uint8_t v) {
    static const struct {
        std::uint8_t vife;
        int code;
        const char* text;
    } plain[] = {
        {0x00, 108, " - None"},
        {0x01, 109, " - Too Many DIFEs"},
        {0x02, 110, " - Storage Number not Implemented"},
        {0x03, 111, " - Unit Number not Implemented"},
        {0x04, 112, " - Tariff Number not Implemented"},
        {0x05, 113, " - Function not Implemented"},
        {0x06, 114, " - Data Class not Implemented"},
        {0x07, 115, " - Data Size not Implemented"},
        {0x0B, 116, " - Too Many VIFEs"},
        {0x0C, 117, " - Illegal VIF-Group"},
        {0x0D, 118, " - Illegal VIF-Exponent"},
        {0x0E, 119, " - VIF / DIF Mismatch"},
        {0x0F, 120, " - Unimplemented Action"},
        {0x15, 121, " - No Data Available (Undefined Value)"},
        {0x16, 122, " - Data Overflow"},
        {0x17, 123, " - Data Underflow"},
        {0x18, 124, " - Data Error"},
        {0x1C, 125, " - Premature End of Record"},
        {0x39, 93, " - Start Date (/Time) of"},
        {0x3A, 94,
         " - VIF Contains Uncorrect Unit or Value at Metering Conditions Instead of Converted "
         "Unit"},
        {0x3B, 95, " - Accumulation Only if Positive Contributions (Forward Flow Contribution)"},
        {0x3C, 96, " - Accumulation of abs Value Only if Negative Contributions (Backward Flow)"},
        {0x3D, 147, " - Reserved for Alternate non-metric Unit System (according to Annex C)"},
        {0x3E, 148, " - Value at Base Conditions"},
        {0x40, 97, " - Lower Limit Value"},
        {0x48, 97, " - Upper Limit Value"},
        {0x41, 98, " - # of Exceeds of Lower Limit"},
        {0x49, 98, " - # of Exceeds of Upper Limit"},
        {0x68, 149, " - Value During Lower Limit Exceed"},
        {0x6C, 149, " - Value During Upper Limit Exceed"},
        {0x69, 150, " - Leakage Values"},
        {0x6D, 151, " - Overflow Values"},
        {0x7D, 105, " - Multiplicative Cerrection Factor: 10^(3)"},
        {0x7E, 106, " - Future Value"},
        {0x7F, 107, " - Next VIFEs and Data of This Block Are Manufacturer Specific"},
    };
    for (const auto& p : plain)
        if (p.vife == v) return {p.text, p.code, v == 0x7D ? 3 : 0};
    const char* beginEnd = (v & 1) ? "End" : "Begin";
    const char* firstLast = (v & 4) ? "Last" : "First";
    const char* lowerUpper = (v & 8) ? "Upper" : "Lower";
    if (v >= 0x20 && v <= 0x27) return {Per_Texts[v - 0x20], 70 + (v - 0x20), 0};
    if (v == 0x28 || v == 0x29)
        return {Format(" - Increment per Input Pulse on Input Channel %d", v - 0x28), 78, 0};
    if (v == 0x2A || v == 0x2B)
        return {Format(" - Increment per Output Pulse on Output Channel %d", v - 0x2A), 79, 0};
    if (v >= 0x2C && v <= 0x38) return {Per_Unit_Texts[v - 0x2C], 80 + (v - 0x2C), 0};
    if (v >= 0x42 && v <= 0x4F && isDateVife(v))
        return {
            Format(" - Date(/Time) of %s of %s %s Limit Exceed", beginEnd, firstLast, lowerUpper),
            99, 0};
    if (v >= 0x50 && v <= 0x5F)
        return {
            Format(" - Duration %s of %s %s Limit Exceed", twoDigits(v & 3), firstLast, lowerUpper),
            100, 0};
    if (v >= 0x60 && v <= 0x67)
        return {Format(" - Duration %s of %s", twoDigits(v & 3), firstLast), 101, 0};
    if (isDateVife(v)) return {Format(" - Date(/Time) of %s of %s", beginEnd, firstLast), 102, 0};
    if (v >= 0x70 && v <= 0x77)
        return {Format(" - Moltiplicative Correction Factor: 10^(%d)", (v & 7) - 6), 103,
                (v & 7) - 6};
    if (v >= 0x78 && v <= 0x7B)
        return {Format(" - Additive Correction Constant: 10^(%d) * Unit of VIF", (v & 3) - 3), 104,
                (v & 3) - 3};
    return {" - Reserved", 0, 0};
}

std::string phaseText(std::uint8_t v) {
    switch (v & 0x7F) {
    case 1:
        return " - At Phase L1";
    case 2:
        return " - At Phase L2";
    case 3:
        return " - At Phase L3";
    case 4:
        return " - At Neutral (N)";
    case 5:
        return " - Between Phase L1 and L2";
    case 6:
        return " - Between Phase L2 and L3";
    case 7:
        return " - Between Phase L3 and L1";
    case 16:
        return " - Accumulation of abs. Value for Both Positive and Negative Contribution "
               "(Absolute Count)";
    default:
        return "";
    }
}

std::string valueText(double raw, int exponent) {
    double v = raw;
    if (exponent > 0)
        v = raw * std::pow(10.0, exponent);
    else if (exponent < 0)
        v = raw / std::pow(10.0, -exponent);
    return FloatToStr(v);
}

struct DataFieldInfo {
    const char* fieldText; // DataFieldStr
    const char* dimText;   // descdim
    int length;
};

const DataFieldInfo Data_Fields[16] = {
    {"", "No data", 0},
    {"8 Bit Integer", "8 Bit Integer", 1},
    {"16 Bit Integer", "16 Bit Integer", 2},
    {"24 Bit Integer", "24 Bit Integer", 3},
    {"32 Bit Integer", "32 Bit Integer", 4},
    {"32 Bit Real", "32 Bit real", 4},
    {"48 Bit Integer", "48 Bit Integer", 6},
    {"64 Bit Integer", "64 Bit Integer", 8},
    {"", "", 0},
    {"2 Digit BCD", "2 digit BCD", 1},
    {"4 Digit BCD", "4 digit BCD", 2},
    {"6 Digit BCD", "6 digit BCD", 3},
    {"8 Digit BCD", "8 digit BCD", 4},
    {"", "", 0}, // variable length, from its length byte
    {"12 Digit BCD", "12 digit BCD", 6},
    {"Special Function", "", 0},
};

// Data length and texts of a variable-length record from its length byte.
void variableLength(std::uint8_t L, int& length, std::string& fieldText, std::string& dimText,
                    bool& reserved) {
    reserved = false;
    if (L <= 191) {
        length = L;
        fieldText = Format("Variable Length - ASCII String with %d characters", L);
        dimText = Format("Variable length: ASCII string with %d characters", L);
    } else if (L <= 207) {
        length = L - 192;
        fieldText = Format("Variable Length - Positive BCD Number with %d digits", 2 * length);
        dimText = Format("Variable length: Positive BCD number with %d *2 digits", length);
    } else if (L <= 223) {
        length = L - 208;
        fieldText = Format("Variable Length - Negative BCD Number with %d digits", 2 * length);
        dimText = Format("Variable length: Negative BCD number with %d *2 digits", length);
    } else if (L <= 239) {
        length = L - 224;
        fieldText = Format("Variable Length - Binary Number with %d Bytes", length);
        dimText = Format("Variable length: Binary number with %d bytes", length);
    } else if (L <= 250) {
        length = L - 240;
        fieldText = Format("Variable Length - Floating Point Number with %d Bytes", length);
        dimText = Format("Variable length: Floating Point number with %d bytes", length);
    } else {
        length = 0;
        fieldText = "Variable Length - Reserved";
        dimText = "Variable length: Reserved";
        reserved = true;
    }
}

const char* functionText(int f) {
    static const char* const texts[4] = {"Istantaneous value", "Maximum value", "Minimum value",
                                         "Value during error state"};
    return texts[f & 3];
}

} // namespace

std::string Date_Type_G(const std::uint8_t* b) {
    const int day = b[0] & 0x1F, month = b[1] & 0x0F;
    const int year = ((b[0] & 0xE0) >> 5) | ((b[1] & 0xF0) >> 1);
    return twoDigits(day) + "/" + twoDigits(month) + "/" + twoDigits(year);
}

std::string Date_Type_F(const std::uint8_t* b) {
    return Date_Type_G(b + 2) + " " + twoDigits(b[1] & 0x1F) + ":" + twoDigits(b[0] & 0x3F);
}

std::string Time_Type_J(const std::uint8_t* b) {
    return twoDigits(b[2] & 0x1F) + ":" + twoDigits(b[1] & 0x3F) + ":" + twoDigits(b[0] & 0x3F);
}

std::string Date_Type_I(const std::uint8_t* b) {
    static const char* const days[8] = {"",          "Monday ", "Tuesday ",  "Wednesday ",
                                        "Thursday ", "Friday ", "Saturday ", "Sunday "};
    return std::string(days[(b[2] >> 5) & 7]) + Date_Type_G(b + 3) + " " + Time_Type_J(b);
}

std::string Trova_Man(int Code) {
    std::string s;
    for (int shift : {10, 5, 0}) {
        const int c = ((Code >> shift) & 0x1F) + 64;
        s += (c >= 'A' && c <= 'Z') ? char(c) : '?';
    }
    return s;
}

std::string Medium_Description(int Medium) {
    static const char* const texts[] = {"Oil",
                                        "Electricity",
                                        "Gas",
                                        "Heat (outlet)",
                                        "Steam",
                                        "Hot Water",
                                        "Water",
                                        "Heat Cost Allocator.",
                                        "Compressed Air",
                                        "Cooling load meter (outlet)",
                                        "Cooling load meter (inlet)",
                                        "Heat (inlet) ",
                                        "Heat/Cooling load meter",
                                        "Bus/System",
                                        "Unknown Medium"};
    if (Medium >= 1 && Medium <= 15) return texts[Medium - 1];
    switch (Medium) {
    case 0x16:
        return "Cold Water";
    case 0x17:
        return "Dual Water";
    case 0x18:
        return "Pressure";
    case 0x19:
        return "A/D Converter";
    default:
        return "Other";
    }
}

std::int64_t TMBus_Decoder::BCD_To_Int64(int n) const {
    std::int64_t v = 0;
    std::int64_t weight = 1;
    for (int i = 0; i < n; ++i) {
        const int lo = App_Data_Val[std::size_t(i)] & 0x0F;
        const int hi = App_Data_Val[std::size_t(i)] >> 4;
        v += lo * weight;
        weight *= 10;
        if (i == n - 1 && hi == 0x0F) return -v;
        v += hi * weight;
        weight *= 10;
    }
    return v;
}

void TMBus_Decoder::Decode_VIF_Value(std::uint8_t VIF, std::uint8_t VIFE, TVariable_MBus& Record,
                                     int Data_Len, std::uint8_t LVar, std::uint8_t Data_Field) {
    const std::uint8_t* data = App_Data_Val.data();
    double raw = 0;
    switch (Data_Field) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 6:
    case 7:
        raw = double(signedLE(data, Data_Len));
        break;
    case 5: {
        float f;
        std::uint32_t bits = std::uint32_t(signedLE(data, 4));
        std::memcpy(&f, &bits, 4);
        raw = f;
        break;
    }
    case 9:
    case 10:
    case 11:
    case 12:
    case 14:
        raw = double(BCD_To_Int64(Data_Len));
        break;
    case 13:
        if (LVar >= 192 && LVar <= 201)
            raw = double(BCD_To_Int64(LVar - 192));
        else if (LVar >= 208 && LVar <= 217)
            raw = -double(BCD_To_Int64(LVar - 208));
        break;
    default:
        break;
    }

    const std::uint8_t vif = VIF & 0x7F;
    Row row = primaryRow(vif, Data_Field);
    Record.type_data = row.code;
    int vifeCode = 0;
    int exponent = row.exponent;
    std::string text;
    std::string dateText;
    bool isText = false;
    if (vif == 0x6C || vif == 0x6D) {
        isText = true;
        if (Data_Field == 2 && Data_Len >= 2)
            dateText = Date_Type_G(data);
        else if (Data_Field == 4 && Data_Len >= 4)
            dateText = Date_Type_F(data);
        else if (Data_Field == 3 && Data_Len >= 3)
            dateText = Time_Type_J(data);
        else if (Data_Field == 6 && Data_Len >= 6)
            dateText = Date_Type_I(data);
        else
            isText = false;
    } else if (vif == 0x7C) {
        isText = true;
        dateText = plainText(data, std::size_t(Data_Len));
    }
    text = row.text;

    // Where the VIFE walk starts: after a primary VIF with its extension bit at the first
    // VIFE; after FB or FD at the second, when the first has its extension bit.
    int walk = App_Vife_Count; // none
    if (VIF == 0xFB || VIF == 0xFD) {
        Row ext = VIF == 0xFD ? fdRow(VIFE & 0x7F) : fbRow(VIFE);
        text = ext.text;
        vifeCode = ext.code;
        exponent = ext.exponent;
        if (App_Vife_Count > 0 && (App_Vife_Val[0] & 0x80)) walk = 1;
    } else if (VIF & 0x80) {
        walk = 0;
    }
    int used = 0;
    while (walk < App_Vife_Count && used < 10) {
        const std::uint8_t raw_vife = App_Vife_Val[std::size_t(walk)];
        const std::uint8_t v = raw_vife & 0x7F;
        ++used;
        ++walk;
        bool more = raw_vife & 0x80;
        if (v == 0x7C) {
            // The next VIFE names the phase.
            if (walk < App_Vife_Count) {
                const std::uint8_t phase = App_Vife_Val[std::size_t(walk)];
                text += phaseText(phase);
                more = phase & 0x80;
                ++walk;
                ++used;
            }
        } else {
            Row r = vifeRow(v);
            if (r.code == 0 && r.text == " - Reserved")
                text = r.text;
            else
                text += r.text;
            if (r.code != 0 && vifeCode == 0) vifeCode = r.code;
            exponent += r.exponent;
            if (isDateVife(v)) {
                if (Data_Field == 2 && Data_Len >= 2) {
                    dateText = Date_Type_G(data);
                    isText = true;
                } else if (Data_Field == 4 && Data_Len >= 4) {
                    dateText = Date_Type_F(data);
                    isText = true;
                }
            }
        }
        if (!more) break;
    }

    Record.Type_Data_Vife = vifeCode;
    Record.Desc_Type_Data = text;
    Record.ValueStr = isText ? dateText : valueText(raw, exponent);
}

bool TMBus_Decoder::Decode_Data_Records(TVariable_List& List, int Last, const std::uint8_t* Area) {
    const TDateTime now = Now();
    const std::string today = DateToStr(now), time = TimeToStr(now);
    int p = 0;
    while (p <= Last) {
        const std::uint8_t dif = Area[p++];
        const std::uint8_t dataField = dif & 0x0F;
        const bool special = dif == 0x0F || dif == 0x1F || dif == 0x2F;
        std::uint8_t difes[Max_DIFE];
        int numDife = 0;
        std::uint8_t vif = 0;
        std::uint8_t vifes[Max_VIFE];
        int numVife = 0;
        std::vector<std::uint8_t> unit;
        if (!special) {
            if (dif & 0x80) {
                do {
                    if (p > Last) return true; // truncated record
                    difes[numDife++] = Area[p++];
                } while ((difes[numDife - 1] & 0x80) && numDife < Max_DIFE);
            }
            if (p > Last) return true;
            vif = Area[p++];
            if (vif == 0x7C || vif == 0xFC) {
                if (p > Last) return true;
                const int n = Area[p++];
                if (p + n - 1 > Last) return true;
                for (int i = n - 1; i >= 0; --i)
                    if (unit.size() < Unit_Buffer) unit.push_back(Area[p + i]);
                p += n;
            }
            if (vif & 0x80) {
                do {
                    if (p > Last) return true;
                    vifes[numVife++] = Area[p++];
                } while ((vifes[numVife - 1] & 0x80) && numVife < Max_VIFE);
            }
        }

        int length = Data_Fields[dataField].length;
        std::string fieldText = Data_Fields[dataField].fieldText;
        std::string dimText = Data_Fields[dataField].dimText;
        std::uint8_t lvar = 0;
        bool reserved = false;
        if (dataField == 13) {
            if (p > Last) return true;
            lvar = Area[p++];
            variableLength(lvar, length, fieldText, dimText, reserved);
        }
        if (p + length - 1 > Last) return true; // truncated: no stale bytes
        const std::uint8_t* data = Area + p;
        p += length;

        if (dif == 0x0F) return true;
        if (dif == 0x1F) return false;
        if (dif >= 0x3F && dif <= 0x7F && (dif & 0x0F) == 0x0F) return true;
        if (dif == 0x2F || (dif >= 0x8F && (dif & 0x0F) == 0x0F)) {
            if (dif == 0x2F && Wireless_Scan) {
                auto filler = std::make_unique<TVariable_MBus>();
                filler->Real_Wireless_Var = false;
                List.push_back(std::move(filler));
            }
            continue;
        }
        if (dataField == 8) return true;
        if (vif == 0x7E || vif == 0xFE) return true;

        auto rec = std::make_unique<TVariable_MBus>();
        TVariable_MBus& r = *rec;
        r.DataFieldStr = fieldText;
        r.datagiorno = today;
        r.tempo = time;
        r.Real_Wireless_Var = true;
        r.DIF = "$" + hexByte(dif);
        r.dimension = dataField;
        r.descdim = dimText;
        r.nbyte = length;
        if (reserved) {
            r.errata = true;
            r.sterror = "Non analizabile";
        }
        r.function_fild = (dif >> 4) & 3;
        std::int64_t storage = (dif >> 6) & 1;
        if (numDife > 0) {
            std::int64_t s = 0, t = 0, u = 0;
            for (int i = 0; i < numDife; ++i) {
                r.DIFE += "$" + hexByte(difes[i]) + " ";
                s |= std::int64_t(difes[i] & 0x0F) << (4 * i);
                t |= std::int64_t((difes[i] >> 4) & 3) << (2 * i);
                u |= std::int64_t((difes[i] >> 6) & 1) << i;
            }
            storage += 2 * s;
            r.numdife = numDife;
            r.tarif = std::uint16_t(t);
            r.device = std::uint16_t(u);
        }
        r.storage_number = storage;
        r.VIF = vif;
        if (vif == 0x7C || vif == 0xFC) {
            r.casovif = 101;
            r.VIF_ASCII = plainText(unit.data(), unit.size());
        } else if (vif < 0x7B || (vif >= 0x80 && vif <= 0xFA)) {
            r.vifvalue = vif;
            r.casovif = 0;
        } else if (vif == 0xFB || vif == 0xFD) {
            r.casovif = vif == 0xFB ? 2 : 1;
            r.vifvalue = numVife > 0 ? vifes[0] : -1;
        } else if (vif == 0x7F || vif == 0xFF) {
            r.casovif = 100;
        }
        for (int i = 0; i < numVife; ++i) r.VIFE += "$" + hexByte(vifes[i]) + " ";
        r.PrinVIFE = numVife > 0 ? vifes[0] : 0;
        std::uint8_t bytes[8] = {};
        for (int i = 0; i < length; ++i) {
            r.totdati += hexByte(data[i]);
            if (i < 8) bytes[i] = data[i];
        }
        r.dato_A = int(std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 |
                       std::uint32_t(bytes[2]) << 16 | std::uint32_t(bytes[3]) << 24);
        r.dato_B = int(std::uint32_t(bytes[4]) | std::uint32_t(bytes[5]) << 8 |
                       std::uint32_t(bytes[6]) << 16 | std::uint32_t(bytes[7]) << 24);

        App_Data_Val.fill(0);
        std::memcpy(App_Data_Val.data(), data, std::size_t(length));
        App_Vife_Count = numVife;
        for (int i = 0; i < numVife; ++i) App_Vife_Val[std::size_t(i)] = vifes[i];
        Decode_VIF_Value(vif, numVife > 0 ? vifes[0] : 0, r, length, lvar, dataField);
        r.FunctionFieldStr = functionText(r.function_fild);
        List.push_back(std::move(rec));
    }
    return true;
}

int TMBus_Decoder::Add_Wired_Slave(TSlave_MBus_List& List, const std::uint8_t* Frame, int Len,
                                   int Index, bool& NoMoreTelegrams) {
    auto lock = List.Lock();
    TSlave_MBus* slave;
    if (Index < 0) {
        auto s = std::make_unique<TSlave_MBus>();
        s->Primary_Addresss = Frame[5];
        const std::uint32_t id = std::uint32_t(Frame[7]) | std::uint32_t(Frame[8]) << 8 |
                                 std::uint32_t(Frame[9]) << 16 | std::uint32_t(Frame[10]) << 24;
        s->Secondary_Addresss = IntToHex(id, 2);
        s->Manufacture = Frame[11] | Frame[12] << 8;
        s->descManufacture = Trova_Man(s->Manufacture);
        s->Version = Frame[13];
        s->Medium = Frame[14];
        s->descmedium = Medium_Description(s->Medium);
        s->Status = Frame[16];
        slave = s.get();
        Index = List.Add(std::move(s));
    } else {
        slave = List.Items(Index);
    }
    NoMoreTelegrams = true;
    if (Len - 3 >= 19)
        NoMoreTelegrams = Decode_Data_Records(slave->List_Var, Len - 3 - 19, Frame + 19);
    return Index;
}
