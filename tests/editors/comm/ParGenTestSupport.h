#pragma once
// A project folder of its own and a communication-parameter dialog of a chosen product type.
#include "editors/comm/ParGen.h"
#include "platform/files/Files.h"
#include "platform/testing/UiTest.h"
#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

class ParGenTest : public ::testing::Test {
protected:
    void SetUp() override {
        Reset_Program_State();
        Load_Default_Texts();
        SW_Code = "QS40526";
        dir_ = std::filesystem::temp_directory_path() /
               ("pargen_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        Project_Dir = dir_.string();
        Set_Files();
    }
    void TearDown() override {
        form.reset();
        Set_Product_Type(Built_Product_Type());
        std::filesystem::remove_all(dir_);
    }

    // A dialog created as at program start for the product type.
    TFParGen* Create(int type) {
        form.reset();
        Set_Product_Type(type);
        form = std::make_unique<TFParGen>(nullptr);
        form->AfterConstruction();
        return form.get();
    }
    void WriteParGen(const std::string& text) { WriteBinaryFile(File_ParGen, text); }
    std::string ReadParGen() const { return ReadBinaryFile(File_ParGen); }
    bool HasParGen() const { return FileExists(File_ParGen); }
    std::string Dir() const { return dir_.string(); }

    // The texts of the questions and errors shown so far.
    std::vector<std::string> Asked() const {
        std::vector<std::string> texts;
        for (const auto& q : uitest::dialogs().Questions()) texts.push_back(q.Text);
        return texts;
    }

    std::unique_ptr<TFParGen> form;

private:
    std::filesystem::path dir_;
};
