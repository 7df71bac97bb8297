#pragma once
// A project folder of its own and a communication-parameter dialog of a chosen product type.
#include "editors/comm/ParGen.h"
#include "tests/ProjectFolderTest.h"

#include <memory>

class ParGenTest : public ProjectFolderTest {
protected:
    ParGenTest() : ProjectFolderTest("pargen_", "QS40526") {}
    void TearDown() override {
        form.reset();
        ProjectFolderTest::TearDown();
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

    std::unique_ptr<TFParGen> form;
};
