#include "image/CanopenImage.h"
#include "image/ImageCompiler.h"

#include "ImageTestSupport.h"

namespace {

// Byte offsets of the six tables in bank.bin.
const std::size_t Table_At[] = {0, 16384, 32768, 40960, 49152, 53248};
const std::size_t Settings_At = 77824;

std::string twoSections(const char* root, const char* first, const std::string& firstRows,
                        const char* second, const std::string& secondRows) {
    return std::string("<") + root + "><" + first + ">" + firstRows + "</" + first + "><" + second +
           ">" + secondRows + "</" + second + "></" + root + ">";
}

// bank.bin of the CANopen gateway before any row (sealed by the caller).
Bytes baseImage() {
    Bytes b(79872, 0);
    for (std::size_t e = 0; e < 57344 / 32; ++e)
        for (std::size_t k = 0; k < 8; ++k) Put16(b, e * 32 + 12 + 2 * k, 0xFFFF);
    PutDefaultSettings(b, Settings_At);
    const std::uint32_t flash[] = {0x55000, 0x59000, 0x5D000, 0x5F000, 0x61000, 0x62000};
    for (std::size_t t = 0; t < 6; ++t) Put32(b, Settings_At + 224 + 4 * t, flash[t]);
    Put32(b, Settings_At + 444, 0x63000);
    Put32(b, Settings_At + 448, 0x63000);
    return b;
}

class CanopenImage : public ::testing::Test {
protected:
    Bytes compileAndSave() {
        Compile_Bank(6, project.Dir());
        Save_Bank(6, project.Dir());
        return project.Read("bin/bank.bin");
    }
    TempProject project;
};

} // namespace

TEST_F(CanopenImage, EmptyProjectGivesTheDefaultImage) {
    Bytes expected = baseImage();
    SealBlock(expected, Settings_At);
    EXPECT_EQ(compileAndSave(), expected);
}

TEST_F(CanopenImage, SmallProjectGivesTheImageByteForByte) {
    project.Write("ParGen.xml", ParGen({{"CANopen_IDDev", "5"},
                                        {"CANopen_BAUDRATE", "2"},
                                        {"CANopen_Set_Operational", "1"},
                                        {"CANopen_Network_Start", "1"},
                                        {"CANopen_Delay", "5"}}));
    project.Write("SDO_Server_CANopen.xml", twoSections("SDO_Server_CANopen", "SDO_Read",
                                                        Row({{"Index", "0x2000"},
                                                             {"SubIndex", "1"},
                                                             {"NByte", "2"},
                                                             {"Address_B1", "10"},
                                                             {"Address_B2", "11"},
                                                             {"Address_B3", "x"}}),
                                                        "SDO_Write",
                                                        Row({{"Index", "0x2100"},
                                                             {"SubIndex", "2"},
                                                             {"NByte", "4"},
                                                             {"Address_B1", "1"},
                                                             {"Address_B2", "2"},
                                                             {"Address_B3", "3"},
                                                             {"Address_B4", "4"}})));
    project.Write("SDO_Client_CANopen.xml", twoSections("SDO_Client", "SDO_Read", "", "SDO_Write",
                                                        Row({{"Device_ID", "7"},
                                                             {"Index", "0x6200"},
                                                             {"SubIndex", "1"},
                                                             {"NByte", "1"},
                                                             {"Poll_Time", "100"},
                                                             {"On_Change", "Y"},
                                                             {"Address_B1", "30"}})));
    project.Write(
        "PDO_CANopen.xml",
        twoSections(
            "PDO_CANopen", "Receive_PDO",
            Row({{"COB-ID", "0x201"}, {"Dimension", "1"}, {"TimeOut", "0"}, {"Address_B1", "50"}}),
            "Transmit_PDO",
            Row({{"COB-ID", "0x181"},
                 {"Dimension", "3"},
                 {"Send_Time", "200"},
                 {"On_Change", "N"},
                 {"Address_B1", "60"},
                 {"Address_B2", "61"},
                 {"Address_B3", "62"}})));
    project.Write("KNX_SetAccess.xml", OneKnxRow());

    Bytes expected = baseImage();
    // SDO server read: two bytes at elements 4 and 5, the others 0; B3 is not read.
    Put(expected, Table_At[0],
        {0, 0, 0, 0, 0x00, 0x20, 1, 0, 0,  0, 0,  0, //
         0, 0, 0, 0, 0,    0,    0, 0, 10, 0, 11, 0, 0, 0, 0, 0, 2, 0, 0, 0});
    Put(expected, Table_At[1], {0, 0, 0, 0, 0x00, 0x21, 2, 0, 0, 0, 0, 0, //
                                0, 0, 0, 0, 0,    0,    0, 0, 1, 0, 2, 0, 3, 0, 4, 0, 4, 1, 0, 0});
    Put(expected, Table_At[3],
        {0, 0, 0, 0, 0x00, 0x62, 1, 7, 100, 0, 0, 0, //
         0, 0, 0, 0, 0,    0,    0, 0, 30,  0, 0, 0, 0, 0, 0, 0, 1, 3, 0, 0});
    Put(expected, Table_At[4], {0x01, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, //
                                50,   0,    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0});
    Put(expected, Table_At[5],
        {0x81, 0x01, 0,  0, 0,  0, 0, 0, 200, 0, 0, 0, //
         60,   0,    61, 0, 62, 0, 0, 0, 0,   0, 0, 0, 0, 0, 0, 0, 3, 1, 0, 0});
    PutOneKnxEntry(expected, 57344);
    const std::size_t s = Settings_At;
    Put32(expected, s + 0, 50000);
    Put(expected, s + 40, {192, 168, 0, 5, 255, 255, 255, 0, 255, 255, 255, 255});
    Put32(expected, s + 156, 5);
    Put32(expected, s + 160, 3);
    Put32(expected, s + 164, 5000);
    Put32(expected, s + 168, 10000);
    const std::uint32_t counts[] = {1, 1, 0, 1, 1, 1};
    for (std::size_t t = 0; t < 6; ++t) Put32(expected, s + 172 + 4 * t, counts[t]);
    Put32(expected, s + 456, 1);
    Put16(expected, s + 462, 36865);
    SealBlock(expected, s);
    EXPECT_EQ(compileAndSave(), expected);
}

TEST_F(CanopenImage, MissingSectionOrNumberStopsTheCompile) {
    struct Case {
        const char* file;
        std::string text, expected;
    };
    const Case cases[] = {
        {"PDO_CANopen.xml", "<PDO_CANopen><Receive_PDO/></PDO_CANopen>",
         "section \"Transmit_PDO\""},
        {"SDO_Server_CANopen.xml",
         twoSections("S", "SDO_Read",
                     Row({{"Index", "1"}, {"SubIndex", "1"}, {"NByte", "2"}, {"Address_B1", "1"}}),
                     "SDO_Write", ""),
         "no attribute \"Address_B2\""},
        {"SDO_Client_CANopen.xml",
         twoSections("S", "SDO_Read", Row({{"Index", "1"}, {"SubIndex", "y"}}), "SDO_Write", ""),
         "\"SubIndex\" holds \"y\""},
    };
    for (const Case& c : cases) {
        project.Write(c.file, c.text);
        const std::string message = FailureOf([&] { Compile_Bank(6, project.Dir()); });
        EXPECT_NE(message.find(c.file), std::string::npos) << message;
        EXPECT_NE(message.find(c.expected), std::string::npos) << message;
        DeleteFile(project.Path(c.file));
    }
}
