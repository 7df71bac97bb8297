#pragma once
// A project folder of its own for a dialog test: the program state reset, the built-in texts,
// and Project_Dir with the project file paths in a fresh temporary folder named after the test.
#include "platform/files/Files.h"
#include "platform/testing/UiTest.h"
#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

class ProjectFolderTest : public ::testing::Test {
protected:
    // prefix names the folder; swCode is the software code the dialogs show.
    ProjectFolderTest(std::string prefix, std::string swCode)
        : prefix_(std::move(prefix)), swCode_(std::move(swCode)) {}

    void SetUp() override {
        Reset_Program_State();
        Load_Default_Texts();
        SW_Code = swCode_;
        dir_ = std::filesystem::temp_directory_path() /
               (prefix_ + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        Project_Dir = dir_.string();
        Set_Files();
    }
    void TearDown() override {
        Set_Product_Type(Built_Product_Type());
        std::filesystem::remove_all(dir_);
    }

    std::string Dir() const { return dir_.string(); }
    std::string Path(const std::string& name) const { return PathJoin(dir_.string(), name); }
    // The texts of the questions and errors shown so far.
    static std::vector<std::string> Asked() {
        std::vector<std::string> texts;
        for (const auto& q : uitest::dialogs().Questions()) texts.push_back(q.Text);
        return texts;
    }

private:
    std::string prefix_, swCode_;
    std::filesystem::path dir_;
};
