#include "image/CanImage.h"
#include "image/ImageCompiler.h"

#include "ImageTestSupport.h"

namespace {

std::string frames(const std::string& rows) {
    return "<CAN_Frames>" + rows + "</CAN_Frames>";
}

Attribute_List positions(const std::string& first) {
    const int p = std::stoi(first);
    Attribute_List a;
    for (int k = 1; k <= 8; ++k)
        a.push_back({"Byte" + std::to_string(k), std::to_string(p + k - 1)});
    return a;
}

// bank.bin of the CAN gateway before any row (sealed by the caller).
Bytes baseImage() {
    Bytes b(55296, 0);
    for (std::size_t e = 0; e < 1024; ++e)
        for (std::size_t k = 0; k < 8; ++k) Put16(b, e * 32 + 16 + 2 * k, 0xFFFF);
    PutDefaultSettings(b, 53248);
    Put32(b, 53248 + 200, 0x5B000);
    Put32(b, 53248 + 444, 0x63000);
    Put32(b, 53248 + 448, 0x63000);
    return b;
}

class CanImage : public ::testing::Test {
protected:
    Bytes compileAndSave() {
        Compile_Bank(5, project.Dir());
        Save_Bank(5, project.Dir());
        return project.Read("bin/bank.bin");
    }
    TempProject project;
};

} // namespace

TEST_F(CanImage, EmptyProjectGivesTheDefaultImage) {
    Bytes expected = baseImage();
    SealBlock(expected, 53248);
    EXPECT_EQ(compileAndSave(), expected);
}

TEST_F(CanImage, SmallProjectGivesTheImageByteForByte) {
    project.Write("ParGen.xml", ParGen({{"KNX_ID_DEV", "abc"}, {"CAN_BAUDRATE", "3"}}));
    project.Write(
        "CAN_Rec_Frames.xml",
        frames(Row(With({{"Enable", "Y"},
                         {"COBID", "0x181"},
                         {"CAN_Type", "2.0A (11 bits)"},
                         {"Dim", "2"},
                         {"TimeOut", "1500"},
                         {"Mnemonic", "a"}},
                        positions("10"))) +
               Row(With({{"Enable", "N"}, {"COBID", "5"}}, positions("0"))) +
               Row(With({{"COBID", "0x18FF0001"}, {"CAN_Type", " 2.0B (29 bits) "}, {"Dim", "x"}},
                        With(positions("20"), {{"Byte3", "None"}})))));
    project.Write("CAN_Send_Frames.xml", frames(Row(With({{"Enable", "Y"},
                                                          {"COBID", "0x201"},
                                                          {"CAN_Type", "2.0A (11 bits)"},
                                                          {"Dim", "1"},
                                                          {"OnChange", "Y"},
                                                          {"OnCMD", "N"},
                                                          {"OnTimer", "Y"},
                                                          {"Time", "250"}},
                                                         positions("40")))));
    project.Write("KNX_SetAccess.xml", OneKnxRow());

    Bytes expected = baseImage();
    Put(expected, 0, {0x81, 0x01, 0, 0, 0, 0, 0, 0, 0xDC, 0x05, 0, 0, 0, 0, 2, 0, 10, 0, 11, 0});
    Put(expected, 32, {0x01, 0x00, 0xFF, 0x98, 0,    0,    0,  0, 0,  0, 0,  0, 0,  0, 8,  0, //
                       20,   0,    21,   0,    0xFF, 0xFF, 23, 0, 24, 0, 25, 0, 26, 0, 27, 0});
    Put(expected, 64, {0x01, 0x02, 0, 0, 250, 0, 0, 0, 0, 0, 0, 0, 0, 0x07, 1, 0, 40, 0});
    PutOneKnxEntry(expected, 32768);
    const std::size_t s = 53248;
    Put32(expected, s + 0, 62500);
    Put(expected, s + 40, {192, 168, 0, 5, 255, 255, 255, 0, 255, 255, 255, 255});
    Put32(expected, s + 112, 3);
    Put32(expected, s + 456, 1);
    Put16(expected, s + 462, 4372); // a text without dots converts as a whole, default 1.1.20
    SealBlock(expected, s);
    EXPECT_EQ(compileAndSave(), expected);
}
