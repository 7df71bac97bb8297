// Zip archives: entries come back in their order with their bytes; what is no archive, or a
// damaged one, is refused naming the file.
#include "platform/zip/ZipArchive.h"
#include "platform/files/Files.h"
#include "tests/TempFolder.h"

#include <gtest/gtest.h>

TEST(ZipArchive, EntriesComeBackAsWritten) {
    TempFolder folder("zip");
    std::string big(200000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = char(i * 7 % 251);
    const std::vector<TZipEntry> entries = {
        {"z/last.xml", "<a/>"}, {"[Content_Types].xml", ""}, {"a/\xC3\xA4.bin", big}};
    WriteZipFile(folder.Path("a.zip"), entries);
    const std::vector<TZipEntry> back = ReadZipFile(folder.Path("a.zip"));
    ASSERT_EQ(back.size(), entries.size());
    for (std::size_t i = 0; i < back.size(); ++i) {
        EXPECT_EQ(back[i].Name, entries[i].Name);
        EXPECT_EQ(back[i].Data, entries[i].Data);
    }
}

TEST(ZipArchive, RefusesWhatIsNoArchiveNamingIt) {
    TempFolder folder("zip");
    const std::string whole = ZipBytes({{"part.xml", std::string(5000, 'x')}});
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"text.zip", "just text\n"},
        {"empty.zip", ""},
        {"cut.zip", whole.substr(0, whole.size() / 2)},
        {"damaged.zip", whole.substr(0, 40) + std::string(20, '\xFF') + whole.substr(60)}};
    for (const auto& [name, bytes] : cases) {
        const std::string path = folder.Path(name);
        WriteBinaryFile(path, bytes);
        try {
            ReadZipFile(path);
            ADD_FAILURE() << name;
        } catch (const EZipError& e) {
            EXPECT_NE(e.Message().find(path), std::string::npos) << e.Message();
        }
    }
    EXPECT_THROW(ReadZipFile(folder.Path("missing.zip")), EFOpenError);
}
