#include "platform/files/Files.h"

#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

class TempFolder : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/knx_files_XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string dir;
};

TEST(Paths, JoinKeepsBackslashesAsCharacters) {
    struct Case {
        const char* dir;
        const char* name;
        const char* expected;
    };
    const Case cases[] = {
        {"/a/b", "c.xml", "/a/b/c.xml"},
        {"/a/b/", "c.xml", "/a/b/c.xml"},
        {"/a/b", "bin\\bank.bin", "/a/b/bin\\bank.bin"},
        {"/a\\b", "x", "/a\\b/x"},
        {"/a/b", "/bin", "/a/b/bin"},
        {"", "c.xml", "c.xml"},
        {"/", "etc", "/etc"},
    };
    for (const auto& c : cases) EXPECT_EQ(PathJoin(c.dir, c.name), c.expected) << c.dir << c.name;
    EXPECT_EQ(NativePath("/p\\PROJECTS\\Mine\\ParGen.xml"), "/p/PROJECTS/Mine/ParGen.xml");
}

TEST(Paths, FileNameParts) {
    EXPECT_EQ(ExtractFileName("/x/LANGUAGE/Italiano.lng"), "Italiano.lng");
    EXPECT_EQ(ExtractFileExt("/x.d/name"), "");
    EXPECT_EQ(ExtractFileExt("a\\b.LNG"), ".LNG");
    EXPECT_EQ(ExtractFileName("/x/a\\b.lng"), "a\\b.lng");
    EXPECT_EQ(ExtractFileDir("/x/a\\b.lng"), "/x");
    EXPECT_EQ(ChangeFileExt("/x/Italiano.lng", ""), "/x/Italiano");
    EXPECT_EQ(ChangeFileExt("/x.d/name", ".bmp"), "/x.d/name.bmp");
    EXPECT_EQ(ExtractFilePath("/x/y.z"), "/x/");
    EXPECT_EQ(ExtractFileDir("/x/y.z"), "/x");
}

TEST(Paths, ProgramDirComesFromTheExecutableAndCanBeOverridden) {
    std::string exe = ProgramPath();
    EXPECT_EQ(ExtractFileName(exe), "test_platform_files");
    EXPECT_TRUE(FileExists(exe));
    EXPECT_TRUE(DirectoryExists(ProgramDir()));
    EXPECT_NE(ProgramDir().back(), '/');

    SetProgramPathOverride("/opt/g\\w/Config.exe");
    EXPECT_EQ(ProgramDir(), "/opt/g\\w");
    SetProgramPathOverride("");
    EXPECT_EQ(ProgramPath(), exe);
}

TEST_F(TempFolder, CreatesAndListsFolders) {
    EXPECT_FALSE(CreateDir(dir + "/a/b")) << "parent is missing";
    EXPECT_TRUE(ForceDirectories(dir + "/a/b/c"));
    EXPECT_TRUE(DirectoryExists(dir + "/a/b/c"));
    EXPECT_TRUE(ForceDirectories(dir + "/a/b/c")) << "existing folder";
    EXPECT_TRUE(CreateDir(dir + "/Zeta"));
    EXPECT_FALSE(CreateDir(dir + "/Zeta")) << "exists already";
    WriteBinaryFile(dir + "/file.txt", "x");
    EXPECT_EQ(ListSubFolders(dir), (std::vector<std::string>{"Zeta", "a"}));
    EXPECT_FALSE(FileExists(dir + "/a"));
    EXPECT_FALSE(DirectoryExists(dir + "/file.txt"));
    EXPECT_TRUE(ListSubFolders(dir + "/missing").empty());
}

TEST_F(TempFolder, ListsFilesByPatternIgnoringCase) {
    for (const char* n : {"English.lng", "Italiano.LNG", "flag.bmp", "lng"})
        WriteBinaryFile(PathJoin(dir, n), "");
    ForceDirectories(dir + "/folder.lng");
    EXPECT_EQ(ListFiles(dir, "*.lng"), (std::vector<std::string>{"English.lng", "Italiano.LNG"}));
    EXPECT_EQ(ListFiles(dir).size(), 4u);
}

TEST_F(TempFolder, ReadsTextInEachEncodingWithAnyLineEnd) {
    struct Case {
        const char* name;
        std::string bytes;
    };
    // "Aé€" then "x" then "y", with CR LF, LF and CR line ends.
    const Case cases[] = {
        {"utf8-bom", std::string("\xEF\xBB\xBF"
                                 "A\xC3\xA9\xE2\x82\xAC\r\nx\ny\r")},
        {"utf16le", std::string("\xFF\xFE"
                                "A\0\xE9\0\xAC\x20\r\0\n\0x\0\n\0y\0\r\0",
                                20)},
        {"utf16be", std::string("\xFE\xFF"
                                "\0A\0\xE9\x20\xAC\0\r\0\n\0x\0\n\0y\0\r",
                                20)},
        {"ansi", std::string("A\xE9\x80\r\nx\ny\r")},
    };
    for (const auto& c : cases) {
        std::string path = PathJoin(dir, c.name);
        WriteBinaryFile(path, c.bytes);
        TStringList lines;
        ReadTextLines(path, lines);
        EXPECT_EQ(lines.ToVector(), (std::vector<std::string>{"A\xC3\xA9\xE2\x82\xAC", "x", "y"}))
            << c.name;
    }
    EXPECT_EQ(DetectTextEncoding("plain"), TTextEncoding::Ansi);
    // A surrogate pair (U+1F600) and a lone surrogate in UTF-16 LE.
    EXPECT_EQ(DecodeText(std::string("\xFF\xFE\x3D\xD8\x00\xDE\x00\xD8", 8)),
              "\xF0\x9F\x98\x80\xEF\xBF\xBD");
}

TEST(TextEncoding, EncodesInEachEncodingAndReadsItBack) {
    const std::string text = "A\xC3\xA9\xE2\x82\xAC\r\n"; // "Aé€" CR LF
    struct Case {
        TTextEncoding encoding;
        std::string bytes;
    };
    const Case cases[] = {
        {TTextEncoding::Ansi, "A\xE9\x80\r\n"},
        {TTextEncoding::Utf8, "\xEF\xBB\xBF" + text},
        {TTextEncoding::Utf16LE, std::string("\xFF\xFE"
                                             "A\0\xE9\0\xAC\x20\r\0\n\0",
                                             12)},
        {TTextEncoding::Utf16BE, std::string("\xFE\xFF"
                                             "\0A\0\xE9\x20\xAC\0\r\0\n",
                                             12)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeText(text, c.encoding), c.bytes) << int(c.encoding);
        EXPECT_EQ(DecodeText(c.bytes), text) << int(c.encoding);
    }
    // The code page's five unassigned bytes read as C1 controls and write back as themselves.
    EXPECT_EQ(EncodeText(DecodeText("\x81\x8D\x8F\x90\x9D"), TTextEncoding::Ansi),
              "\x81\x8D\x8F\x90\x9D");
    EXPECT_TRUE(IsAnsiText(text));
    EXPECT_FALSE(IsAnsiText("\xE2\x86\x92")); // an arrow
    EXPECT_EQ(EncodeText("a\xE2\x86\x92", TTextEncoding::Ansi), "a?");
}

TEST_F(TempFolder, SafeWriterReplacesTheFileOnlyOnCommit) {
    const std::string path = PathJoin(dir, "data.txt");
    WriteBinaryFile(path, "old");
    {
        TSafeFileWriter writer(path);
        writer.Write("new ");
        writer.Write("text");
        EXPECT_EQ(ReadBinaryFile(path), "old");
    }
    // Dropped without Commit: the file is as it was and no temporary file is left.
    EXPECT_EQ(ReadBinaryFile(path), "old");
    EXPECT_EQ(ListFiles(dir, ".*").size(), 0u);
    TSafeFileWriter writer(path);
    writer.Write("new ");
    writer.Write("text");
    writer.Commit();
    EXPECT_EQ(ReadBinaryFile(path), "new text");
    EXPECT_THROW(writer.Write("more"), EWriteError);
    WriteBinaryFileParts(path, {"a", "", "bc"});
    EXPECT_EQ(ReadBinaryFile(path), "abc");
    EXPECT_THROW(TSafeFileWriter(PathJoin(dir, "no/such/file")), EFCreateError);
}

TEST_F(TempFolder, MissingFileRaisesOnRead) {
    EXPECT_THROW(ReadTextFile(dir + "/none.txt"), EFOpenError);
    EXPECT_THROW(ReadBinaryFile(dir), EFOpenError);
}

TEST_F(TempFolder, BinaryWriteReplacesWholeFileAndLeavesNoTemporary) {
    std::string path = dir + "/bank.bin";
    WriteBinaryFile(path, std::string(100, '\xAA'));
    WriteBinaryFile(path, std::string("\x01\x00\x02", 3));
    EXPECT_EQ(ReadBinaryFile(path), std::string("\x01\x00\x02", 3));
    EXPECT_EQ(ListFiles(dir, "*"), (std::vector<std::string>{"bank.bin"}));
}

// A write cut short leaves its temporary file; the next write of that file removes it, but not
// one that a running write holds, nor the temporaries of other files.
TEST_F(TempFolder, WriteRemovesTheTemporariesOfWritesCutShort) {
    const std::string path = dir + "/bank.bin";
    for (const char* name : {".bank.bin.a1B2c3", ".bank.bin.held01", ".bank.bin.a1B2c",
                             ".other.bin.a1B2c3", "bank.bin.x1y2z3"})
        WriteBinaryFile(dir + "/" + name, "stale");
    ForceDirectories(dir + "/.bank.bin.q1w2e3");
    const int held = ::open((dir + "/.bank.bin.held01").c_str(), O_RDONLY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    WriteBinaryFile(path, "new");
    ::close(held);
    EXPECT_EQ(ReadBinaryFile(path), "new");
    EXPECT_EQ(ListFiles(dir),
              (std::vector<std::string>{".bank.bin.a1B2c", ".bank.bin.held01", ".other.bin.a1B2c3",
                                        "bank.bin", "bank.bin.x1y2z3"}));
    EXPECT_TRUE(DirectoryExists(dir + "/.bank.bin.q1w2e3"));
    // Once nobody holds it, the next write removes it too.
    WriteBinaryFile(path, "newer");
    EXPECT_FALSE(FileExists(dir + "/.bank.bin.held01"));
}

TEST_F(TempFolder, BackslashIsPartOfTheName) {
    ASSERT_TRUE(ForceDirectories(dir + "/sub"));
    WriteBinaryFile(PathJoin(dir, "sub\\x.bin"), "x");
    EXPECT_EQ(ListFiles(dir), (std::vector<std::string>{"sub\\x.bin"}));
    EXPECT_TRUE(ListFiles(dir + "/sub").empty());
    EXPECT_TRUE(FileExists(dir + "/sub\\x.bin"));
    EXPECT_FALSE(FileExists(dir + "/sub/x.bin"));
}

TEST_F(TempFolder, RenameReplacesTheTargetAndReportsFailure) {
    WriteBinaryFile(dir + "/new", "new");
    WriteBinaryFile(dir + "/old", "old");
    EXPECT_TRUE(RenameFile(dir + "/new", dir + "/old"));
    EXPECT_EQ(ReadBinaryFile(dir + "/old"), "new");
    EXPECT_FALSE(FileExists(dir + "/new"));
    EXPECT_FALSE(RenameFile(dir + "/missing", dir + "/old"));
    EXPECT_EQ(ReadBinaryFile(dir + "/old"), "new");
}

TEST_F(TempFolder, FailedBinaryWriteIsReportedAndKeepsTheOldState) {
    EXPECT_THROW(WriteBinaryFile(dir + "/nobin/bank.bin", "data"), EFCreateError);
    EXPECT_FALSE(DirectoryExists(dir + "/nobin"));
    // A folder in the way: the rename fails, the folder stays and no temporary remains.
    ForceDirectories(dir + "/busy");
    EXPECT_FALSE(TryWriteBinaryFile(dir + "/busy", "data"));
    EXPECT_THROW(WriteBinaryFile(dir + "/busy", "data"), EStreamError);
    EXPECT_TRUE(DirectoryExists(dir + "/busy"));
    EXPECT_TRUE(ListFiles(dir).empty());
}

} // namespace
