#pragma once
// A program folder of its own for each test, and the program's forms created in it.
#include "platform/files/Files.h"
#include "shell/ProgramForms.h"
#include "shell/state/ProgramState.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("shell_test_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        SetProgramPathOverride((dir_ / "Velmar.exe").string());
        Reset_Program_State();
        SetType(25);
    }
    void TearDown() override {
        Destroy_Program_Forms();
        Set_Product_Type(Built_Product_Type());
        SetProgramPathOverride("");
        std::filesystem::remove_all(dir_);
    }

    std::string Dir() const { return dir_.string(); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    void WriteFile(const std::string& name, const std::string& text) const {
        std::filesystem::create_directories((dir_ / name).parent_path());
        WriteBinaryFile(Path(name), text);
    }

    // The product type of the next start.
    void SetType(int type) {
        type_ = type;
        Set_Product_Type(type);
    }
    // A fresh start of the program: the state as at process start, then the 33 forms.
    void StartProgram() {
        Destroy_Program_Forms();
        Reset_Program_State();
        Set_Product_Type(type_);
        Create_Program_Forms();
    }

private:
    std::filesystem::path dir_;
    int type_ = 25;
};
