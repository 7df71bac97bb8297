// The image picker drop-down: items from an image list and from a folder of pictures, the edit
// showing the chosen picture, the popup chosen from with keys and the mouse, and cancelled.
#include "controls/QorImagePickerDropDown.h"
#include "platform/files/Files.h"
#include "platform/gfx/ImageList.h"
#include "platform/testing/NativeMouse.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/core/Forms.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <unistd.h>

using namespace uitest;

namespace {

// A w x h picture in one colour.
std::unique_ptr<TBitmap> swatch(TColor colour, int w = 16, int h = 16) {
    auto b = std::make_unique<TBitmap>(w, h);
    b->Canvas()->Brush()->SetColor(colour);
    b->Canvas()->FillRect(TRect{0, 0, w, h});
    return b;
}

class ImagePickerTest : public ::testing::Test {
protected:
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    std::unique_ptr<TImageList> images = std::make_unique<TImageList>(nullptr);
    TQorImagePickerDropDown* edit = nullptr;
    int selects = 0, changes = 0;

    void SetUp() override {
        form->SetBorderStyle(bsNone);
        form->SetBounds(100, 100, 400, 400);
        edit = new TQorImagePickerDropDown(form.get());
        edit->SetParent(form.get());
        edit->SetBounds(20, 30, 200, 22);
        images->SetWidth(16);
        images->SetHeight(16);
        for (TColor c : {clRed, clLime, clBlue, clYellow, clFuchsia})
            images->Add(swatch(c).get(), nullptr);
        edit->SetImages(images.get());
        edit->OnSelect = [this](TObject*) { ++selects; };
        edit->OnChange = [this](TObject*) { ++changes; };
        form->Show();
        edit->SetFocus();
        processMessages();
    }
    void TearDown() override {
        form.reset();
        images.reset();
    }
    void key(WORD vk, TShiftState shift = {}) {
        postNativeKey(vk, shift);
        processMessages();
    }
    // The colour in the middle of the edit's text area.
    TColor shown() {
        auto image = render(edit);
        TRect r;
        edit->Perform(EM_GETRECT, 0, LPARAM(&r));
        return image->PixelColor(r.Left + r.Width() / 2, r.Top + r.Height() / 2);
    }
};

} // namespace

TEST_F(ImagePickerTest, ImageListItemsAndTheImageIndex) {
    edit->AddImagesFromImageList();
    ASSERT_EQ(edit->Items()->Count(), 5);
    EXPECT_EQ(edit->Items()->Items(4)->ImageIndex(), 4);
    EXPECT_EQ(edit->ImageIndex(), -1);
    EXPECT_NE(shown(), clRed) << "nothing chosen: the edit area stays empty";
    edit->SetImageIndex(3);
    EXPECT_EQ(edit->ItemIndex(), 3);
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(shown(), clYellow);
    edit->SetItemIndex(3);
    edit->SetItemIndex(5);
    EXPECT_EQ(selects, 1) << "the same index and one beyond the items fire nothing";
    edit->SetImageIndex(7);
    EXPECT_EQ(edit->ItemIndex(), -1);
    EXPECT_EQ(edit->ImageIndex(), -1);
}

TEST_F(ImagePickerTest, KeysStepTheClosedPicker) {
    edit->AddImagesFromImageList();
    struct Step {
        WORD key;
        int index;
    };
    const Step steps[] = {{VK_DOWN, 0}, {VK_DOWN, 1}, {VK_END, 4}, {VK_DOWN, 4},
                          {VK_UP, 3},   {VK_HOME, 0}, {VK_UP, 0}};
    for (const Step& s : steps) {
        key(s.key);
        EXPECT_EQ(edit->ItemIndex(), s.index) << s.key;
    }
    EXPECT_FALSE(edit->DroppedDown());
}

TEST_F(ImagePickerTest, PopupChosenWithKeysAndMouseAndCancelled) {
    edit->AddImagesFromImageList();
    edit->SetItemIndex(1);
    key(VK_DOWN, {ssAlt});
    ASSERT_TRUE(edit->DroppedDown());
    EXPECT_EQ(edit->ItemSelector()->ItemIndex(), 1);
    key(VK_DOWN);
    key(VK_DOWN);
    EXPECT_TRUE(edit->DroppedDown());
    EXPECT_EQ(edit->ItemIndex(), 3) << "the picker follows the list at once";
    key(VK_ESCAPE);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->ItemIndex(), 1) << "a cancel restores the item of the drop-down";

    edit->ShowDropDown();
    processMessages();
    const TRect r = edit->ItemSelector()->Items()->Items(2)->Rect();
    postNativeClickAt(edit->ItemSelector()->SelectorPanel(), {r.Left + 4, r.Top + 4});
    processMessages();
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->ItemIndex(), 2);
    EXPECT_EQ(shown(), clBlue);
}

TEST_F(ImagePickerTest, FolderListsItsPicturesOnly) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("knx_image_picker_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "sub.bmp");
    swatch(clRed)->SaveToFile(PathJoin(dir.string(), "a.bmp"));
    swatch(clLime, 8, 8)->SaveToFile(PathJoin(dir.string(), "b.bmp"));
    WriteBinaryFile(PathJoin(dir.string(), "broken.bmp"), "not a picture");
    WriteBinaryFile(PathJoin(dir.string(), "notes.txt"), "text");

    edit->AddImagesFromFolder(PathJoin(dir.string(), "*.bmp"), true);
    ASSERT_EQ(edit->Items()->Count(), 2) << "no folder, no broken file, no other mask";
    EXPECT_EQ(edit->Items()->Items(0)->Caption(), "a.bmp");
    EXPECT_EQ(edit->Items()->Items(1)->Caption(), "b.bmp");
    EXPECT_EQ(edit->Items()->Items(1)->Image()->Width(), 8);
    edit->AddImagesFromFolder(PathJoin(dir.string(), "*.bmp"), false);
    EXPECT_EQ(edit->Items()->Items(2)->Caption(), "");
    std::filesystem::remove_all(dir);

    // The popup lists them, and the picture chosen shows in the edit.
    key(VK_DOWN, {ssAlt});
    ASSERT_EQ(edit->ItemSelector()->Items()->Count(), 4);
    key(VK_DOWN);
    key(VK_RETURN);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->ItemIndex(), 0);
    EXPECT_EQ(shown(), clRed);
}
