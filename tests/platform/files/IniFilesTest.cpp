#include "platform/files/IniFiles.h"
#include "platform/files/Files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <unistd.h>

TEST(IniFileTest, ReadsWritesAndKeepsOtherSections) {
    std::string path = "/tmp/inifile_" + std::to_string(::getpid()) + ".ini";
    std::ofstream(path) << "; comment\r\n[A]\r\nx = 5\r\nname=some text\r\n[B]\r\ny=z\r\n";
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("a", "X", 0), 5);
    EXPECT_EQ(ini.ReadInteger("A", "name", -1), -1); // not a number
    EXPECT_EQ(ini.ReadString("A", "name", ""), "some text");
    EXPECT_FALSE(ini.ValueExists("A", "y"));
    ini.WriteInteger("A", "x", 6);
    ini.WriteInteger("C", "new", 1);
    ini.UpdateFile();
    TIniFile back(path);
    EXPECT_EQ(back.ReadInteger("A", "x", 0), 6);
    EXPECT_EQ(back.ReadString("B", "y", ""), "z");
    EXPECT_EQ(back.ReadInteger("C", "new", 0), 1);
    std::remove(path.c_str());
    TIniFile missing("/no/such/dir/file.ini");
    EXPECT_EQ(missing.ReadInteger("A", "x", 7), 7);
}

TEST(IniFileTest, ValuesWithSurroundingBlanksOrQuotesComeBackAsWritten) {
    std::string path = "/tmp/inifile_quotes_" + std::to_string(::getpid()) + ".ini";
    const std::string values[] = {" of ", "a ", "\"quoted\"", "plain", ""};
    {
        TIniFile ini(path);
        for (const std::string& v : values)
            ini.WriteString("S", "k" + std::to_string(&v - values), v);
        ini.UpdateFile();
    }
    TIniFile back(path);
    for (const std::string& v : values)
        EXPECT_EQ(back.ReadString("S", "k" + std::to_string(&v - values), "?"), v) << v;
    std::remove(path.c_str());
}
