#pragma once
// A project folder of its own for the two dialogs of the image subsystem.
#include "platform/files/Files.h"
#include "platform/testing/UiTest.h"
#include "platform/xml/XmlDoc.h"
#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        Reset_Program_State();
        Load_Default_Texts();
        SW_Code = "QS40511";
        dir_ = std::filesystem::temp_directory_path() /
               ("image_dialog_" + std::to_string(::getpid()) + "_" +
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
    std::string Path(const std::string& name) const { return PathJoin(dir_.string(), name); }
    // The texts of the questions and errors shown so far.
    static std::vector<std::string> Asked() {
        std::vector<std::string> texts;
        for (const auto& q : uitest::dialogs().Questions()) texts.push_back(q.Text);
        return texts;
    }

private:
    std::filesystem::path dir_;
};
