// The GSDML file-name dialog and the save of the file under the composed name.
#include "image/dialogs/ProfinetFileName.h"

#include "DialogTestSupport.h"

#include "platform/base/DateUtils.h"

#include <memory>

namespace {

class ProfinetFileNameTest : public DialogTest {
protected:
    TFProfinetFileName* Create(int type) {
        Set_Product_Type(type);
        form = std::make_unique<TFProfinetFileName>(nullptr);
        form->AfterConstruction();
        return form.get();
    }
    void TearDown() override {
        form.reset();
        DialogTest::TearDown();
    }
    std::string Named(const std::string& user) {
        form->E_XML_User->SetText(user);
        const int result = uitest::runModal(form.get(), [](TCustomForm* f) {
            uitest::click(static_cast<TFProfinetFileName*>(f)->Btn_OK);
        });
        EXPECT_EQ(result, mrOk);
        return form->Name_File_XML;
    }

    std::unique_ptr<TFProfinetFileName> form;
};

} // namespace

TEST_F(ProfinetFileNameTest, OkComposesTheNameFromTheThreeParts) {
    Create(12);
    const std::string date = "-" + FormatDateTime("yyyymmdd", Now()) + ".xml";
    EXPECT_EQ(form->L_XML_Fix2->Caption(), date);
    const std::string fixed = "GSDML-V2.31-Morvik-QV40522";
    const std::pair<const char*, std::string> cases[] = {
        {"", fixed + date},
        {"  ", fixed + date},
        {"Hall A", fixed + "_Hall A" + date},
        {"_x", fixed + "_x" + date},
        {" x", fixed + "_ x" + date},
        {" _x", fixed + "_ _x" + date},
    };
    for (const auto& [user, name] : cases) EXPECT_EQ(Named(user), name) << '"' << user << '"';
    Create(1012);
    EXPECT_EQ(Named("a"), "GSDML-V2.31-Lorvan-QV40522_a" + date);
}

TEST_F(ProfinetFileNameTest, UserPartStaysForTheNextShowing) {
    Create(12);
    Named("Line 2");
    EXPECT_EQ(form->E_XML_User->Text(), "Line 2");
    form->E_XML_User->SetText("ignored");
    EXPECT_EQ(uitest::runModal(form.get(),
                               [](TCustomForm* f) {
                                   uitest::click(static_cast<TFProfinetFileName*>(f)->Btn_Cancel);
                               }),
              mrCancel);
    EXPECT_NE(form->Name_File_XML.find("Line 2"), std::string::npos);
}

TEST_F(ProfinetFileNameTest, SaveWritesTheComposedNameInTheChosenFolder) {
    Set_Product_Type(12);
    WriteBinaryFile(File_ParGen, "<Par_Gen><PROFINET_NB_IN>100</PROFINET_NB_IN>"
                                 "<PROFINET_NB_OUT>200</PROFINET_NB_OUT></Par_Gen>");
    ForceDirectories(Path("out"));
    const std::string name = "GSDML-V2.31-Morvik-QV40522-20210307.xml";
    uitest::dialogs().QueueFile(Path("out/other.xml"));
    Save_PROFINET_XML(name);
    ASSERT_EQ(uitest::dialogs().Questions().size(), 1u);
    const TDialogRequest& save = uitest::dialogs().Questions()[0];
    EXPECT_EQ(save.Kind, dkSaveFile);
    EXPECT_EQ(save.InitialDir, Project_Dir);
    EXPECT_EQ(save.Filter, "PROFINET XML (*.xml)|" + name);
    EXPECT_EQ(save.FileName, name);
    EXPECT_FALSE(FileExists(Path("out/other.xml")));
    const std::string text = ReadBinaryFile(Path("out/" + name));
    EXPECT_TRUE(text.starts_with("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"));
    EXPECT_NE(text.find("Length=\"200\" TextId=\"IDT_Input_1\""), std::string::npos);
}

TEST_F(ProfinetFileNameTest, ExistingFileIsReplacedOnlyAfterYes) {
    Set_Product_Type(1012);
    const std::string name = "x.xml";
    WriteBinaryFile(Path(name), "old");
    for (int answer : {mrNo, mrYes}) {
        uitest::dialogs().Clear();
        uitest::dialogs().QueueFile(Path("picked.xml"));
        uitest::dialogs().QueueAnswer(answer);
        Save_PROFINET_XML(name);
        ASSERT_EQ(Asked().size(), 2u);
        EXPECT_EQ(Asked()[1], "File already exists! Do you want to overwrite the file?");
        EXPECT_EQ(uitest::dialogs().Questions()[1].Buttons, mbYesNo);
        const std::string text = ReadBinaryFile(Path(name));
        if (answer == mrNo)
            EXPECT_EQ(text, "old");
        else
            EXPECT_NE(text.find("Lorvan Gateways"), std::string::npos);
    }
}

TEST_F(ProfinetFileNameTest, CancelOrAnotherProductTypeWritesNothing) {
    Set_Product_Type(12);
    uitest::dialogs().QueueFileCancel();
    Save_PROFINET_XML("a.xml");
    Set_Product_Type(13);
    uitest::dialogs().QueueFile(Path("b.xml"));
    Save_PROFINET_XML("a.xml");
    EXPECT_TRUE(ListFiles(Path("")).empty());
}

TEST_F(ProfinetFileNameTest, UnwritableFolderRaises) {
    Set_Product_Type(12);
    uitest::dialogs().QueueFile(Path("missing/a.xml"));
    EXPECT_THROW(Save_PROFINET_XML("a.xml"), Exception);
}
