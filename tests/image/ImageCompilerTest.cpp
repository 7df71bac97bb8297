#include "image/ImageCompiler.h"

#include "ImageTestSupport.h"

#include "shell/state/ProgramState.h"

#include <functional>

namespace {

void put(Bytes& b, std::size_t at, std::initializer_list<std::uint8_t> bytes) {
    for (std::uint8_t v : bytes) b.at(at++) = v;
}

const std::uint8_t FF4[] = {0xFF, 0xFF, 0xFF, 0xFF};

// The empty PGN entry: FF x12, 8 zero bytes, FF x4, 8 zero bytes.
void putEmptyEntry(Bytes& b, std::size_t at) {
    for (std::size_t i : {0u, 4u, 8u, 20u}) put(b, at + i, {FF4[0], FF4[1], FF4[2], FF4[3]});
}

// bank2.bin of a project with no rows: 1024 empty PGN entries and a zero KNX table.
Bytes emptyBank2() {
    Bytes b(53248, 0);
    for (std::size_t e = 0; e < 1024; ++e) putEmptyEntry(b, e * 32);
    return b;
}

// bank1.bin of a project with no files: the default NMEA 2000 block.
Bytes defaultBank1() {
    Bytes b(2048, 0);
    put(b, 0, {0x90, 0xD0, 0x03, 0x00}); // 250000
    put(b, 4, {0x90, 0xD0, 0x03, 0x00});
    put(b, 12, {0x80, 0x25}); // 9600
    put(b, 40, {192, 168, 2, 205, 255, 255, 255, 0, 255, 255, 255, 255});
    put(b, 52, {0x10, 0x27, 0x11, 0x27, 0x11, 0x27});              // 10000, 10001, 10001
    put(b, 204, {0x00, 0x00, 0x08, 0x00, 0x00, 0x40, 0x08, 0x00}); // 0x80000, 0x84000
    put(b, 436, {8, 8, 8, 8, 8, 8, 8, 8});
    put(b, 444, {0x00, 0x80, 0x08, 0x00, 0x00, 0x80, 0x08, 0x00}); // 0x88000 twice
    put(b, 460, {0x57, 0x0E});                                     // 3671
    put(b, 468, {0x50, 0xC3, 0x51, 0xC3, 0x52, 0xC3});             // 50000..50002
    put(b, 2044, {0x83, 0x12, 0x00, 0x00});                        // byte sum 4739
    return b;
}

class ImageCompiler : public ::testing::Test {
protected:
    void compileAndSave(int type = 25) {
        Compile_Bank(type, project.Dir());
        Save_Bank(type, project.Dir());
    }
    TempProject project;
};

} // namespace

TEST_F(ImageCompiler, EmptyProjectGivesTheDefaultImage) {
    compileAndSave();
    EXPECT_EQ(project.Read("bin/bank1.bin"), defaultBank1());
    EXPECT_EQ(project.Read("bin/bank2.bin"), emptyBank2());
    EXPECT_EQ(Image_Length, 2048u);
    EXPECT_EQ(Bank2_Length, 53248u);
}

TEST_F(ImageCompiler, SmallProjectGivesTheImageByteForByte) {
    project.Write("ParGen.xml",
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                  "<Par_Gen><KNX_TYPE>0</KNX_TYPE><KNX_ID_DEV>1.1.200</KNX_ID_DEV>"
                  "<NMEA2000_BAUDRATE>6</NMEA2000_BAUDRATE><NMEA2000_TIMEOUT>30</NMEA2000_TIMEOUT>"
                  "<NMEA2000_PEER_TO_PEER>0</NMEA2000_PEER_TO_PEER>"
                  "<NMEA2000_ID_Device>35</NMEA2000_ID_Device>"
                  "<Modbus_TCP_Slave_IP1>10</Modbus_TCP_Slave_IP1>"
                  "<Modbus_TCP_Slave_IP2>0</Modbus_TCP_Slave_IP2>"
                  "<Modbus_TCP_Slave_IP3>0</Modbus_TCP_Slave_IP3>"
                  "<Modbus_TCP_Slave_IP4>7</Modbus_TCP_Slave_IP4>"
                  "<Modbus_TCP_Slave_SM1>255</Modbus_TCP_Slave_SM1>"
                  "<Modbus_TCP_Slave_SM2>255</Modbus_TCP_Slave_SM2>"
                  "<Modbus_TCP_Slave_SM3>0</Modbus_TCP_Slave_SM3>"
                  "<Modbus_TCP_Slave_SM4>0</Modbus_TCP_Slave_SM4>"
                  "<Modbus_TCP_Slave_GAT1>10</Modbus_TCP_Slave_GAT1>"
                  "<Modbus_TCP_Slave_GAT2>0</Modbus_TCP_Slave_GAT2>"
                  "<Modbus_TCP_Slave_GAT3>0</Modbus_TCP_Slave_GAT3>"
                  "<Modbus_TCP_Slave_GAT4>1</Modbus_TCP_Slave_GAT4>"
                  "<Modbus_TCP_Slave_EN_GAT>1</Modbus_TCP_Slave_EN_GAT></Par_Gen>"
                  "<!--SW_VERSION = 1.000-->");
    project.Write("NMEA_Rec_Frames.xml",
                  "<Receive_NMEA_2000>"
                  "<row PGN=\"127250\" SA=\"5\" TP=\"N\" FP=\"N\" TP_Start=\"0\" TP_NByte=\"8\" "
                  "Delete=\"Y\" Mnemonic=\"Heading\"/>"
                  "<row PGN=\"130306\" SA=\"10\" TP=\"N\" FP=\"Y\" TP_Start=\"2\" TP_NByte=\"20\" "
                  "Delete=\"N\" Mnemonic=\"Wind\"/>"
                  "</Receive_NMEA_2000>");
    project.Write("NMEA_Send_Frames.xml",
                  "<Receive_NMEA_2000>"
                  "<row Priority=\"2\" PGN=\"127250\" SA=\"5\" FP=\"N\" TP_NByte=\"9\" "
                  "On_Request=\"Y\" On_Data_Change=\"N\" On_Timer=\"Y\" SendTimer=\"1000\" "
                  "Mnemonic=\"Out\"/>"
                  "</Receive_NMEA_2000>");
    project.Write(
        "KNX_SetAccess.xml",
        "<BACnet_to_KNX><KNX_in_Read/><KNX_in_Write>"
        "<row Enable=\"Y\" Source_Address=\"1.1.5\" Destination_Address=\"1/2/3\" APCI=\"Write\" "
        "Priority=\"Low\" Format=\"SWAP16\" Extended=\"N\" ReTest=\"Y\" On_Command=\"Y\" "
        "On_Change=\"Y\" On_Timer=\"Y\" Poll_Time=\"5000\" Position=\"10\" Bit_Mode=\"No\" "
        "Length=\"2\" TimeOut=\"3000\" Mnemonic=\"a\"/>"
        "<row Enable=\"N\" Source_Address=\"1.1.6\" Destination_Address=\"1/2/4\" APCI=\"Write\" "
        "Priority=\"Low\" Format=\"None\" Extended=\"N\" ReTest=\"N\" On_Command=\"N\" "
        "On_Change=\"N\" On_Timer=\"N\" Poll_Time=\"0\" Position=\"0\" Bit_Mode=\"No\" "
        "Length=\"1\" TimeOut=\"0\" Mnemonic=\"b\"/>"
        "<row Enable=\" y \" Source_Address=\"15.15.255\" Destination_Address=\"1.1.1\" "
        "APCI=\"Read\" Priority=\"System\" Format=\"None\" Extended=\"Y\" ReTest=\"N\" "
        "On_Command=\"N\" On_Change=\"N\" On_Timer=\"N\" Poll_Time=\"0\" Position=\"10\" "
        "Bit_Mode=\"3\" Length=\"1\" TimeOut=\"0\" Mnemonic=\"c\"/>"
        "</KNX_in_Write></BACnet_to_KNX>");
    compileAndSave();

    Bytes bank1 = defaultBank1();
    put(bank1, 0, {0x20, 0xA1, 0x07, 0x00});                    // 500000
    put(bank1, 28, {35});                                       // device ID
    put(bank1, 40, {10, 0, 0, 7, 255, 255, 0, 0, 10, 0, 0, 1}); // address, mask, gateway
    put(bank1, 116, {28, 0, 0, 0, 9});                          // input and output bytes
    put(bank1, 144, {2, 0, 0, 0, 1});                           // receive and transmit rows
    put(bank1, 456, {2});                                       // KNX entries
    put(bank1, 462, {0xC8, 0x11});                              // 1.1.200
    put(bank1, 2044, {0xF8, 0x0B, 0x00, 0x00});                 // byte sum 3064
    EXPECT_EQ(project.Read("bin/bank1.bin"), bank1);

    Bytes bank2 = emptyBank2();
    put(bank2, 0, {0x05, 0x12, 0xF1, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x30, 0x75, 0, 0, // 30000 ms
                   0,    0,    0,    0,    8,    0,    0,    0});
    put(bank2, 32, {0x0A, 0x02, 0xFD, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, //
                    8,    0,    2,    0,    20,   0,    0,    0});
    put(bank2, 32 + 30, {0x04});
    put(bank2, 16384, {0x05, 0x12, 0xF1, 0x09, 0xE8, 0x03, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, //
                       0,    0,    0,    0,    9,    0,    0, 0});
    put(bank2, 16384 + 28, {1, 0, 0x53});
    put(bank2, 32768, {0x88, 0x13, 0,    0,    0xB8, 0x0B, 0, 0, 3, 2, 0x2B, 0x10, 0x80, 0, //
                       0x05, 0x11, 0x03, 0x0A, 0x0A, 0});
    put(bank2, 32788,
        {0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0x50, 0, 0, 0, 0xFF, 0xFF, 0x01, 0x11, 0x53, 0});
    EXPECT_EQ(project.Read("bin/bank2.bin"), bank2);
}

TEST_F(ImageCompiler, CompilesAreRepeatableWhateverCameBefore) {
    project.Write("NMEA_Rec_Frames.xml",
                  "<R><row PGN=\"1\" SA=\"2\" TP_NByte=\"4\" Delete=\"Y\"/></R>");
    compileAndSave();
    const Bytes first1 = project.Read("bin/bank1.bin"), first2 = project.Read("bin/bank2.bin");

    TempProject other;
    other.Write("ParGen.xml", "<Par_Gen><NMEA2000_PEER_TO_PEER>1</NMEA2000_PEER_TO_PEER>"
                              "<NMEA2000_TIMEOUT>9</NMEA2000_TIMEOUT></Par_Gen>");
    other.Write("NMEA_Send_Frames.xml", "<R><row Priority=\"1\" PGN=\"5\" SA=\"5\"/></R>");
    Compile_Bank(25, other.Dir());

    // A longer earlier file is truncated to the new image.
    WriteBinaryFile(project.Path("bin/bank1.bin"), std::string(70000, 'x'));
    compileAndSave();
    EXPECT_EQ(project.Read("bin/bank1.bin"), first1);
    EXPECT_EQ(project.Read("bin/bank2.bin"), first2);
}

TEST_F(ImageCompiler, FailedCompileWritesNothing) {
    compileAndSave();
    const Bytes before = project.Read("bin/bank1.bin");
    project.Write("ParGen.xml", "<Par_Gen><NMEA2000_BAUDRATE>1</NMEA2000_BAUDRATE>");
    try {
        Compile_Bank(25, project.Dir());
        FAIL() << "a malformed file must end the compile";
    } catch (const EImageError& e) {
        EXPECT_NE(e.Message().find("ParGen.xml"), std::string::npos) << e.Message();
    }
    EXPECT_EQ(project.Read("bin/bank1.bin"), before);
}

TEST_F(ImageCompiler, TypesWithoutAnImageWriteNothing) {
    for (int type : {7, 8, 0, 16, 999}) {
        EXPECT_NO_THROW(compileAndSave(type)) << type;
    }
    EXPECT_TRUE(ListFiles(project.Path("bin")).empty());
}

TEST_F(ImageCompiler, SaveIsRefusedUnlessTheImageIsTheCompileOfThatProject) {
    compileAndSave();
    const Bytes old1 = project.Read("bin/bank1.bin"), old2 = project.Read("bin/bank2.bin");
    project.Write("NMEA_Rec_Frames.xml", "<R><row PGN=\"1\" SA=\"2\" TP_NByte=\"4\"/></R>");
    TempProject other;
    struct Case {
        const char* name;
        std::function<void()> before;
        int type;
    };
    const Case cases[] = {
        {"another project compiled last", [&] { Compile_Bank(25, other.Dir()); }, 25},
        {"another product type compiled last", [&] { Compile_Bank(25, project.Dir()); }, 10},
        {"the last compile failed",
         [&] {
             Compile_Bank(25, project.Dir());
             project.Write("ParGen.xml", "<Par_Gen>");
             EXPECT_THROW(Compile_Bank(25, project.Dir()), EImageMalformedError);
             DeleteFile(project.Path("ParGen.xml"));
         },
         25},
    };
    for (const Case& c : cases) {
        c.before();
        EXPECT_THROW(Save_Bank(c.type, project.Dir()), EBankFileError) << c.name;
        EXPECT_EQ(project.Read("bin/bank1.bin"), old1) << c.name;
        EXPECT_EQ(project.Read("bin/bank2.bin"), old2) << c.name;
    }
}

TEST_F(ImageCompiler, ReadOnlyBankFileRefusesTheWriteAndKeepsItsMode) {
    compileAndSave();
    const Bytes old1 = project.Read("bin/bank1.bin"), old2 = project.Read("bin/bank2.bin");
    namespace fs = std::filesystem;
    const fs::path bank2 = project.Path("bin/bank2.bin");
    fs::permissions(bank2, fs::perms::owner_read | fs::perms::group_read);
    project.Write("NMEA_Rec_Frames.xml", "<R><row PGN=\"1\" SA=\"2\" TP_NByte=\"4\"/></R>");
    Compile_Bank(25, project.Dir());
    try {
        Save_Bank(25, project.Dir());
        FAIL() << "a read-only bank file must refuse the write";
    } catch (const EBankFileError& e) {
        EXPECT_NE(e.Message().find("bank2.bin"), std::string::npos) << e.Message();
        EXPECT_NE(e.Message().find("read-only"), std::string::npos) << e.Message();
    }
    EXPECT_EQ(project.Read("bin/bank1.bin"), old1);
    EXPECT_EQ(project.Read("bin/bank2.bin"), old2);
    EXPECT_EQ(fs::status(bank2).permissions(), fs::perms::owner_read | fs::perms::group_read);
}

TEST_F(ImageCompiler, SaveKeepsTheOtherFilesOfTheBinFolderAndLeavesNothingBehind) {
    compileAndSave();
    project.Write("bin/notes.txt", "mine");
    // Leftovers of writes cut short.
    for (const char* stale : {"bin/.bank1.bin.a1B2c3", "bin/bank2.bin.tmp", "bin/bank1.bin.old"})
        project.Write(stale, "stale");
    compileAndSave();
    EXPECT_EQ(ListFiles(project.Path("bin")),
              (std::vector<std::string>{"bank1.bin", "bank2.bin", "notes.txt"}));
    EXPECT_EQ(project.Read("bin/notes.txt"), Bytes({'m', 'i', 'n', 'e'}));
    EXPECT_EQ(ListSubFolders(project.Dir()), std::vector<std::string>{"bin"});
}

// Folders, links and files of any depth stay in "bin" beside the new pair.
TEST_F(ImageCompiler, SaveKeepsTheFoldersOfTheBinFolder) {
    namespace fs = std::filesystem;
    const auto bytes = [](const std::string& s) { return Bytes(s.begin(), s.end()); };
    compileAndSave();
    ForceDirectories(project.Path("bin/keep/old"));
    project.Write("bin/keep/old/bank1.bin", "an older pair");
    project.Write("bin/keep/notes.txt", "mine");
    ForceDirectories(project.Path("bin/empty"));
    fs::create_symlink("keep/notes.txt", project.Path("bin/link"));
    fs::permissions(project.Path("bin/keep/old"), fs::perms::owner_read | fs::perms::owner_exec);
    DeleteFile(project.Path("bin/bank2.bin"));
    compileAndSave();
    EXPECT_EQ(project.Read("bin/bank1.bin"), defaultBank1());
    EXPECT_EQ(project.Read("bin/bank2.bin"), emptyBank2());
    EXPECT_EQ(ListSubFolders(project.Path("bin")), (std::vector<std::string>{"empty", "keep"}));
    EXPECT_EQ(project.Read("bin/keep/old/bank1.bin"), bytes("an older pair"));
    EXPECT_EQ(project.Read("bin/keep/notes.txt"), bytes("mine"));
    EXPECT_EQ(fs::read_symlink(project.Path("bin/link")), "keep/notes.txt");
    EXPECT_EQ(fs::status(project.Path("bin/keep/old")).permissions(),
              fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(ListSubFolders(project.Dir()), std::vector<std::string>{"bin"});
}

// A save cut short at any moment leaves "bin" with the old pair or the new one; the next save,
// or a reader's recovery, finds a whole pair and removes the leftovers.
TEST_F(ImageCompiler, SaveCutShortLeavesAWholePair) {
    compileAndSave();
    const Bytes old1 = project.Read("bin/bank1.bin"), old2 = project.Read("bin/bank2.bin");
    const auto half = [&](const std::string& folder) {
        ForceDirectories(project.Path(folder));
        project.Write(folder + "/bank1.bin", "new");
    };
    struct Case {
        const char* name;
        std::function<void()> cut;
    };
    const Case cases[] = {
        {"while the new folder was written", [&] { half("bin.new"); }},
        {"between the two renames",
         [&] {
             half("bin.new");
             std::filesystem::rename(project.Path("bin"), project.Path("bin.old"));
         }},
        {"before the old folder was removed",
         [&] {
             std::filesystem::copy(project.Path("bin"), project.Path("bin.old"));
             std::filesystem::copy(project.Path("bin"), project.Path("bin.new"));
         }},
    };
    for (const Case& c : cases) {
        c.cut();
        recoverBankFolder(project.Dir());
        EXPECT_EQ(project.Read("bin/bank1.bin"), old1) << c.name;
        EXPECT_EQ(project.Read("bin/bank2.bin"), old2) << c.name;
        EXPECT_EQ(ListSubFolders(project.Dir()), std::vector<std::string>{"bin"}) << c.name;
    }
    half("bin.new");
    compileAndSave();
    EXPECT_EQ(project.Read("bin/bank1.bin"), old1);
    EXPECT_EQ(ListSubFolders(project.Dir()), std::vector<std::string>{"bin"});
}

TEST_F(ImageCompiler, MissingBinFolderIsCreated) {
    std::filesystem::remove_all(project.Path("bin"));
    compileAndSave();
    EXPECT_EQ(project.Read("bin/bank1.bin"), defaultBank1());
    EXPECT_EQ(project.Read("bin/bank2.bin"), emptyBank2());
    EXPECT_EQ(ListSubFolders(project.Dir()), std::vector<std::string>{"bin"});

    // A file where the folder belongs is not replaced.
    std::filesystem::remove_all(project.Path("bin"));
    project.Write("bin", "mine");
    Compile_Bank(25, project.Dir());
    try {
        Save_Bank(25, project.Dir());
        FAIL() << "a file in the folder's place must be reported";
    } catch (const EImageError& e) {
        EXPECT_NE(e.Message().find("bank1.bin"), std::string::npos) << e.Message();
    }
    EXPECT_EQ(project.Read("bin"), (Bytes{'m', 'i', 'n', 'e'}));
}

TEST_F(ImageCompiler, RefusesToRunWithoutAProject) {
    EXPECT_THROW(Compile_Bank(25, ""), EImageError);
    EXPECT_THROW(Save_Bank(25, ""), EImageError);
}

TEST_F(ImageCompiler, EntryPointsUseTheProgramsTypeAndOpenProject) {
    Reset_Program_State();
    Project_Dir = project.Dir();
    Set_Product_Type(25);
    Compile_Bank();
    Save_Bank();
    EXPECT_EQ(project.Read("bin/bank1.bin"), defaultBank1());
    Reset_Program_State();
}
