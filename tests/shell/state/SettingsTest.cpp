#include "shell/state/Settings.h"

#include "platform/files/Files.h"
#include "shell/state/ProgramState.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace {

struct Values {
    std::string project, ip, language;
    bool internet, update;
    bool operator==(const Values&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Values& v) {
    return os << "{" << v.project << "|" << v.ip << "|" << v.language << "|" << v.internet << "|"
              << v.update << "}";
}

Values current() {
    return {Project_Name, Last_IP, Language_Name, Internet_Enabled, Update_Check_Enabled};
}

const Values Defaults{"", "192.168.2.205", "English", false, false};

class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        Reset_Program_State();
        dir_ = std::filesystem::temp_directory_path() /
               ("knx-settings-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(dir_);
        Set_Program_Dir(dir_.string());
    }
    void TearDown() override {
        std::filesystem::remove_all(dir_);
        Reset_Program_State();
    }
    // Puts non-default values everywhere, so that a read shows what it set.
    static void scribble() {
        Project_Name = "stale";
        Project_Dir = "/stale";
        Last_IP = "1.1.1.1";
        Language_Name = "Stale";
        Internet_Enabled = Update_Check_Enabled = true;
    }

    std::filesystem::path dir_;
};

} // namespace

TEST_F(Settings, MissingFileGivesEveryDefaultAndClosesTheProject) {
    scribble();
    Read_Setting();
    EXPECT_EQ(current(), Defaults);
    EXPECT_EQ(Project_Dir, "");
}

TEST_F(Settings, ReadsEachValueOnItsOwn) {
    const std::string full = "<lastproj><projectname>Boat</projectname></lastproj>"
                             "<lastipadd><ipaddress>10.0.0.7</ipaddress></lastipadd>"
                             "<lastlang><language>Italiano</language></lastlang>";
    struct Case {
        const char* name;
        std::string xml;
        Values expected;
    };
    const Case cases[] = {
        {"complete",
         "<Conf_Settings>" + full +
             "<lastinternet><enable_internet>1</enable_internet>"
             "<enable_update>1</enable_update></lastinternet></Conf_Settings>",
         {"Boat", "10.0.0.7", "Italiano", true, true}},
        {"only the language",
         "<Conf_Settings><lastlang><language>Deutsch</language></lastlang></Conf_Settings>",
         {"", "192.168.2.205", "Deutsch", false, false}},
        {"internet without periodic check",
         "<Conf_Settings><lastinternet><enable_internet>1</enable_internet>"
         "<enable_update>0</enable_update></lastinternet></Conf_Settings>",
         {"", "192.168.2.205", "English", true, false}},
        {"flags other than 1 are false",
         "<Conf_Settings><lastinternet><enable_internet>true</enable_internet>"
         "<enable_update> 1</enable_update></lastinternet></Conf_Settings>",
         Defaults},
        {"enable_internet missing, enable_update still read",
         "<Conf_Settings><lastinternet><enable_update>1</enable_update></lastinternet>"
         "</Conf_Settings>",
         {"", "192.168.2.205", "English", false, true}},
        {"empty elements give empty texts",
         "<Conf_Settings><lastproj><projectname/></lastproj><lastipadd><ipaddress></ipaddress>"
         "</lastipadd><lastlang><language/></lastlang></Conf_Settings>",
         {"", "", "", false, false}},
        {"an element holding more than text takes its default",
         "<Conf_Settings><lastipadd><ipaddress>1<b/>2</ipaddress></lastipadd>"
         "<lastlang><language>Italiano</language></lastlang></Conf_Settings>",
         {"", "192.168.2.205", "Italiano", false, false}},
        {"the first element of a name counts",
         "<Conf_Settings><lastlang><language>One</language><language>Two</language></lastlang>"
         "<lastlang><language>Three</language></lastlang></Conf_Settings>",
         {"", "192.168.2.205", "One", false, false}},
        {"root of another name",
         "<Other>" + full + "</Other>",
         {"Boat", "10.0.0.7", "Italiano", false, false}},
        {"declaration before the root",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Conf_Settings>" + full + "</Conf_Settings>",
         {"Boat", "10.0.0.7", "Italiano", false, false}},
        {"comment before the root",
         "<!-- saved --><Conf_Settings>" + full + "</Conf_Settings>",
         {"Boat", "10.0.0.7", "Italiano", false, false}},
        {"non-ASCII name",
         "<Conf_Settings><lastproj><projectname>Schiff M\xC3\xBCller</projectname></lastproj>"
         "</Conf_Settings>",
         {"Schiff M\xC3\xBCller", "192.168.2.205", "English", false, false}},
        {"names that lead out of PROJECTS and LANGUAGE take their defaults",
         "<Conf_Settings><lastproj><projectname>..</projectname></lastproj>"
         "<lastlang><language>../../etc/passwd</language></lastlang></Conf_Settings>",
         Defaults},
        {"an absolute project name and a language name with a separator",
         "<Conf_Settings><lastproj><projectname>/etc</projectname></lastproj>"
         "<lastlang><language>x\\..\\y</language></lastlang></Conf_Settings>",
         Defaults},
        {"a project name with a separator inside",
         "<Conf_Settings><lastproj><projectname>Boat/../..</projectname></lastproj>"
         "</Conf_Settings>",
         Defaults},
        {"malformed", "<Conf_Settings><lastproj>", Defaults},
        {"empty file", "", Defaults},
        {"no element at all", "<!-- nothing -->", Defaults},
    };
    for (const auto& c : cases) {
        WriteBinaryFile(Settings_File(), c.xml);
        scribble();
        Read_Setting();
        EXPECT_EQ(current(), c.expected) << c.name;
    }
}

TEST_F(Settings, SaveWritesTheWholeFileInOrder) {
    WriteBinaryFile(Settings_File(), "<Conf_Settings><extra>old</extra></Conf_Settings>");
    Project_Name = "Boat";
    Last_IP = "10.0.0.7";
    Language_Name = "Italiano";
    Internet_Enabled = true;
    Update_Check_Enabled = false;
    Save_Setting();
    EXPECT_EQ(ReadBinaryFile(PathJoin(Program_Dir, "Velmar.xml")),
              "<Conf_Settings><lastproj><projectname>Boat</projectname></lastproj>"
              "<lastipadd><ipaddress>10.0.0.7</ipaddress></lastipadd>"
              "<lastlang><language>Italiano</language></lastlang>"
              "<lastinternet><enable_internet>1</enable_internet>"
              "<enable_update>0</enable_update></lastinternet></Conf_Settings>");
}

TEST_F(Settings, WritingThenReadingGivesTheSameValues) {
    const Values cases[] = {
        {"Boat <&> \"x\"", "192.168.0.1",
         "Fran\xC3\xA7"
         "ais",
         false, true},
        {"", "", "", true, true},
        Defaults,
    };
    for (const auto& v : cases) {
        Project_Name = v.project;
        Last_IP = v.ip;
        Language_Name = v.language;
        Internet_Enabled = v.internet;
        Update_Check_Enabled = v.update;
        Save_Setting();
        scribble();
        Read_Setting();
        EXPECT_EQ(current(), v);
    }
}

TEST_F(Settings, SaveFailureRaisesAndLeavesNoFile) {
    Set_Program_Dir((dir_ / "missing").string());
    EXPECT_THROW(Save_Setting(), Exception);
    EXPECT_FALSE(FileExists(Settings_File()));
}
