// The CANopen data sheet and the GSDML description of a small project, compared line by line
// with files written by hand.
#include "image/EdsFile.h"
#include "image/GsdmlFile.h"
#include "image/ProjectFile.h"

#include "ImageTestSupport.h"

#include <algorithm>

namespace {

std::string expectedFile(const std::string& name) {
    return ReadBinaryFile(PathJoin(EXPECTED_DIR, name));
}

// The lines of a file ended by CR LF; a bare LF or CR, or a last line without an end, fails.
std::vector<std::string> crlfLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "last line has no CR LF: " << bytes.substr(start);
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        EXPECT_EQ(lines.back().find_first_of("\r\n"), std::string::npos) << lines.back();
        start = end + 2;
    }
    return lines;
}

void expectSameLines(const std::string& actual, const std::string& expected) {
    const std::vector<std::string> a = crlfLines(actual), e = crlfLines(expected);
    for (std::size_t i = 0; i < std::min(a.size(), e.size()); ++i)
        ASSERT_EQ(a[i], e[i]) << "line " << i + 1;
    EXPECT_EQ(a.size(), e.size());
}

TDateTime at(int hour, int minute) {
    return EncodeDate(2021, 3, 7) + EncodeTime(hour, minute, 0, 0);
}

const std::string Sdo_File =
    "<SDO_Server_CANopen><SDO_Read>" +
    Row({{"Index", "0x2000"}, {"SubIndex", "3"}, {"NByte", "1"}, {"Address_B1", "0"}}) +
    Row({{"Index", "8193"}, {"SubIndex", "0"}, {"NByte", "4"}}) + "</SDO_Read><SDO_Write>" +
    Row({{"Index", "$2000"}, {"SubIndex", "10"}, {"NByte", "4"}}) +
    Row({{"Index", "8192"}, {"SubIndex", "1"}, {"NByte", "2"}}) +
    "</SDO_Write></SDO_Server_CANopen>";

const std::string Pdo_File =
    "<PDO_CANopen><Receive_PDO>" + Row({{"COB-ID", "0x181"}, {"Dimension", "2"}}) +
    "</Receive_PDO><Transmit_PDO>" + Row({{"COB-ID", "641"}, {"Dimension", "1"}}) +
    "</Transmit_PDO></PDO_CANopen>";

std::string pdoRows(int count, const std::string& attributes) {
    std::string rows;
    for (int i = 0; i < count; ++i) rows += "<row " + attributes + "/>";
    return rows;
}

} // namespace

TEST(EdsFile, SmallProjectGivesTheHandWrittenFile) {
    TempProject project;
    project.Write("PDO_CANopen.xml", Pdo_File);
    project.Write("SDO_Server_CANopen.xml", Sdo_File);
    Write_EDS(project.Path("out.eds"), project.Dir(), at(12, 30));
    const std::string bytes = ReadBinaryFile(project.Path("out.eds"));
    EXPECT_FALSE(bytes.starts_with("\xEF\xBB\xBF"));
    expectSameLines(bytes, expectedFile("CANopen_KNX.eds"));
}

TEST(EdsFile, EmptyProjectListsOnlyTheFixedObjects) {
    TempProject project;
    const std::vector<std::string> lines = Build_EDS(project.Dir(), at(8, 0));
    const auto find = [&](const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) - lines.begin();
    };
    EXPECT_EQ(lines[std::size_t(find("[OptionalObjects]")) + 1], "SupportedObjects=8");
    EXPECT_EQ(lines[std::size_t(find("8=0x1280")) + 1], "");
    EXPECT_EQ(lines[std::size_t(find("[ManufacturerObjects]")) + 1], "SupportedObjects=0");
    EXPECT_NE(find("NrOfRXPDO=0"), std::ptrdiff_t(lines.size()));
    ASSERT_GE(lines.size(), 7u);
    EXPECT_EQ(lines[lines.size() - 7], "[1280sub3]");
    EXPECT_EQ(lines[lines.size() - 2], "PDOMapping=0");
    EXPECT_EQ(lines.back(), "");
}

TEST(EdsFile, TwelveHourClock) {
    struct Case {
        int hour, minute;
        const char* text;
    };
    const Case cases[] = {{0, 5, "12:05AM"},   {0, 30, "12:30AM"},  {9, 7, "09:07AM"},
                          {11, 59, "11:59AM"}, {12, 0, "12:00PM"},  {12, 30, "12:30PM"},
                          {13, 0, "01:00PM"},  {18, 45, "06:45PM"}, {23, 59, "11:59PM"}};
    for (const Case& c : cases) EXPECT_EQ(EDS_Time(at(c.hour, c.minute)), c.text) << c.hour;
    EXPECT_EQ(EDS_Date(EncodeDate(2021, 11, 25)), "11-25-2021");
    EXPECT_EQ(EDS_Date(EncodeDate(2021, 3, 7)), "03-07-2021");
}

TEST(EdsFile, MissingDimensionCountsAsEight) {
    TempProject project;
    project.Write("PDO_CANopen.xml", "<P><Receive_PDO><row COB-ID=\"x\"/></Receive_PDO>"
                                     "<Transmit_PDO/></P>");
    const std::vector<std::string> lines = Build_EDS(project.Dir(), at(1, 0));
    ASSERT_EQ(EDS_Receive_Count, 1);
    EXPECT_EQ(EDS_Receive_PDO[0].Dimension, 8u);
    EXPECT_EQ(EDS_Receive_PDO[0].COB_ID, 0u);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "[7000sub8]"), lines.end());
    EXPECT_EQ(std::find(lines.begin(), lines.end(), "[7000sub9]"), lines.end());
}

// Thirty PDOs fit the tables and the name lists; one more is refused, not written past them.
TEST(EdsFile, MoreThanThirtyPdosInOneDirectionAreRefused) {
    TempProject project;
    const std::string row = "COB-ID=\"1\" Dimension=\"1\"";
    project.Write("PDO_CANopen.xml",
                  "<P><Receive_PDO/><Transmit_PDO>" + pdoRows(30, row) + "</Transmit_PDO></P>");
    const std::vector<std::string> lines = Build_EDS(project.Dir(), at(1, 0));
    EXPECT_NE(std::find(lines.begin(), lines.end(), "ParameterName=cv1"), lines.end());

    project.Write("PDO_CANopen.xml",
                  "<P><Receive_PDO>" + pdoRows(31, row) + "</Receive_PDO><Transmit_PDO/></P>");
    project.Write("target.eds", "old");
    try {
        Write_EDS(project.Path("target.eds"), project.Dir(), at(1, 0));
        FAIL() << "31 receive PDOs must be refused";
    } catch (const EImageError& e) {
        EXPECT_NE(e.Message().find("more than 30"), std::string::npos) << e.Message();
    }
    EXPECT_EQ(ReadBinaryFile(project.Path("target.eds")), "old");
}

TEST(EdsFile, UnreadableFilesEndTheWriteAndLeaveTheTarget) {
    struct Case {
        const char* file;
        std::string text;
    };
    const Case cases[] = {
        {"PDO_CANopen.xml", "<P><Receive_PDO/></P>"},
        {"PDO_CANopen.xml",
         "<P><Receive_PDO><row Dimension=\"9\"/></Receive_PDO><Transmit_PDO/></P>"},
        {"PDO_CANopen.xml",
         "<P><Receive_PDO><row Dimension=\"-1\"/></Receive_PDO><Transmit_PDO/></P>"},
        {"SDO_Server_CANopen.xml", "<S><SDO_Read/></S>"},
        {"SDO_Server_CANopen.xml",
         "<S><SDO_Read><row Index=\"1\" NByte=\"1\"/></SDO_Read><SDO_Write/></S>"},
        {"SDO_Server_CANopen.xml", "<S><SDO_Read/><SDO_Write><row Index=\"1\" SubIndex=\"1\" "
                                   "NByte=\"one\"/></SDO_Write></S>"},
        {"SDO_Server_CANopen.xml", "<S><SDO_Read>"},
    };
    for (const Case& c : cases) {
        TempProject project;
        project.Write(c.file, c.text);
        project.Write("target.eds", "old");
        EXPECT_THROW(Write_EDS(project.Path("target.eds"), project.Dir(), at(1, 0)), EImageError)
            << c.text;
        EXPECT_EQ(ReadBinaryFile(project.Path("target.eds")), "old") << c.text;
    }
}

TEST(EdsFile, UnwritableTargetIsAnError) {
    TempProject project;
    EXPECT_THROW(Write_EDS(project.Path("missing/out.eds"), project.Dir(), at(1, 0)), Exception);
}

TEST(EdsFile, SubEntriesSortStablyBySubIndex) {
    SDO_Index_List = {
        {0x3000, {{5, 1, true, "a"}, {2, 1, true, "b"}, {5, 2, false, "c"}, {0, 4, true, "d"}}}};
    Sort_SDO_Sub_Indexs();
    std::string order;
    for (const SDO_Sub_Type& s : SDO_Index_List[0].Sub_Indexs) order += s.Mnemonic;
    EXPECT_EQ(order, "dbac");
    EXPECT_EQ(Find_SDO_Index(0x3000), 0);
    EXPECT_EQ(Find_SDO_Index(0x3001), -1);
    SDO_Index_List.clear();
}

TEST(GsdmlFile, SmallProjectGivesTheHandWrittenFile) {
    TempProject project;
    // Input carries the OUT size and Output the IN size.
    project.Write("ParGen.xml", ParGen({{"PROFINET_NB_IN", "100"}, {"PROFINET_NB_OUT", "200"}}));
    Write_GSDML(project.Path("out.xml"), 12, project.Dir());
    const std::string bytes = ReadBinaryFile(project.Path("out.xml"));
    const std::string expected = expectedFile("GSDML_Morvik.xml");
    ASSERT_TRUE(bytes.starts_with("\xEF\xBB\xBF"));
    expectSameLines(bytes.substr(3), expected.substr(3));
    // The file is a well-formed document.
    TXMLDocument doc;
    TXmlNode root;
    ASSERT_TRUE(Load_Project_File(doc, project.Path("out.xml"), root));
    EXPECT_EQ(root.NodeName(), "ISO15745Profile");
}

TEST(GsdmlFile, SecondEditionNamesItsVendor) {
    TempProject project;
    std::string morvik, lorvan;
    for (const std::string& line : Build_GSDML(12, project.Dir())) morvik += line + "\n";
    for (const std::string& line : Build_GSDML(1012, project.Dir())) lorvan += line + "\n";
    const auto count = [](const std::string& text, const std::string& part) {
        int n = 0;
        for (std::size_t at = text.find(part); at != std::string::npos;
             at = text.find(part, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count(lorvan, "Morvik"), 0);
    EXPECT_EQ(count(lorvan, "<VendorName Value=\"Lorvan\"/>"), 2);
    EXPECT_EQ(count(lorvan, "Value=\"Lorvan Gateways\""), 1);
    std::string replaced = morvik;
    for (std::size_t at = replaced.find("Morvik"); at != std::string::npos;
         at = replaced.find("Morvik", at))
        replaced.replace(at, 6, "Lorvan");
    EXPECT_EQ(replaced, lorvan);
}

TEST(GsdmlFile, SizesFallBackTo1438) {
    struct Case {
        std::string parGen; // empty: no file
        int in, out;
    };
    const Case cases[] = {
        {"", 1438, 1438},
        {ParGen({{"PROFINET_NB_IN", "12"}}), 12, 1438},
        {ParGen({{"PROFINET_NB_IN", "abc"}, {"PROFINET_NB_OUT", "0x20"}}), 1438, 32},
    };
    for (const Case& c : cases) {
        TempProject project;
        if (!c.parGen.empty()) project.Write("ParGen.xml", c.parGen);
        const TPROFINET_Sizes sizes = Read_PROFINET_Sizes(project.Dir());
        EXPECT_EQ(sizes.NB_IN, c.in) << c.parGen;
        EXPECT_EQ(sizes.NB_OUT, c.out) << c.parGen;
    }
}

TEST(GsdmlFile, FileNameComposition) {
    struct Case {
        const char* user;
        const char* name;
    };
    const std::string fixed = GSDML_Fixed_Part(12), date = GSDML_Date_Part(EncodeDate(2021, 3, 7));
    const Case cases[] = {
        {"", "GSDML-V2.31-Morvik-QV40522-20210307.xml"},
        {"   ", "GSDML-V2.31-Morvik-QV40522-20210307.xml"},
        {"Hall A", "GSDML-V2.31-Morvik-QV40522_Hall A-20210307.xml"},
        {"_x", "GSDML-V2.31-Morvik-QV40522_x-20210307.xml"},
        {" x", "GSDML-V2.31-Morvik-QV40522_ x-20210307.xml"},
        {"x ", "GSDML-V2.31-Morvik-QV40522_x -20210307.xml"},
        {" _x", "GSDML-V2.31-Morvik-QV40522_ _x-20210307.xml"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Compose_GSDML_File_Name(fixed, c.user, date), c.name) << '"' << c.user << '"';
    EXPECT_EQ(GSDML_Fixed_Part(1012), "GSDML-V2.31-Lorvan-QV40522");
    EXPECT_EQ(GSDML_Date_Part(EncodeDate(2021, 11, 25)), "-20211125.xml");
}
