#include "platform/ui/core/DragDrop.h"
#include "UiCoreFixtures.h"
#include "platform/ui/core/LayeredWindows.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

class TPopupProbe : public TProbe {
public:
    using TProbe::TProbe;

protected:
    void CreateParams(TCreateParams& Params) override {
        TProbe::CreateParams(Params);
        Params.Style = WS_POPUP;
    }
};

// Records what a drag does to it; answers with a fixed effect.
class RecordingTarget : public IDropTarget {
public:
    std::vector<std::string> log;
    DWORD answer = DROPEFFECT_COPY;
    std::string dropped;

    HRESULT DragEnter(const std::shared_ptr<IDataObject>& data, DWORD, TPoint pt,
                      DWORD& effect) override {
        log.push_back("enter " + std::to_string(pt.X) + "," + std::to_string(pt.Y));
        this->data = data;
        effect &= answer;
        return S_OK;
    }
    HRESULT DragOver(DWORD, TPoint pt, DWORD& effect) override {
        log.push_back("over " + std::to_string(pt.X) + "," + std::to_string(pt.Y));
        effect &= answer;
        return S_OK;
    }
    HRESULT DragLeave() override {
        log.push_back("leave");
        return S_OK;
    }
    HRESULT Drop(const std::shared_ptr<IDataObject>& d, DWORD, TPoint pt, DWORD& effect) override {
        log.push_back("drop " + std::to_string(pt.X) + "," + std::to_string(pt.Y));
        const auto bytes = DataObjectBytes(*d, CF_TEXT);
        dropped = bytes.empty() ? "" : std::string(reinterpret_cast<const char*>(bytes.data()));
        effect &= answer;
        return S_OK;
    }
    std::shared_ptr<IDataObject> data;
};

// Goes on while the left button is held; Cancel ends the drag at once.
class ButtonSource : public IDropSource {
public:
    bool cancel = false;
    std::vector<DWORD> feedback;
    HRESULT QueryContinueDrag(bool escape, DWORD keys) override {
        if (escape || cancel) return DRAGDROP_S_CANCEL;
        return keys & MK_LBUTTON ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT GiveFeedback(DWORD effect) override {
        feedback.push_back(effect);
        return DRAGDROP_S_USEDEFAULTCURSORS;
    }
};

class DragDropTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetBorderStyle(bsNone);
        form->SetBounds(100, 100, 300, 200);
        left = new TProbe(form.get());
        left->SetParent(form.get());
        left->SetBounds(0, 0, 100, 100);
        right = new TProbe(form.get());
        right->SetParent(form.get());
        right->SetBounds(150, 0, 100, 100);
        form->Show();
        data = std::make_shared<TMemoryDataObject>();
        data->SetText("dragged");
        source = std::make_shared<ButtonSource>();
        leftTarget = std::make_shared<RecordingTarget>();
        rightTarget = std::make_shared<RecordingTarget>();
        ASSERT_EQ(RegisterDragDrop(left->Handle(), leftTarget), S_OK);
        ASSERT_EQ(RegisterDragDrop(right->Handle(), rightTarget), S_OK);
    }
    void TearDown() override {
        RevokeDragDrop(left->Handle());
        RevokeDragDrop(right->Handle());
    }
    HRESULT drag(DWORD ok, DWORD& effect) {
        uitest::dragPointer(left, TPoint(10, 10));
        return DoDragDrop(data, source, ok, effect);
    }

    std::unique_ptr<TForm> form;
    TProbe* left = nullptr;
    TProbe* right = nullptr;
    std::shared_ptr<TMemoryDataObject> data;
    std::shared_ptr<ButtonSource> source;
    std::shared_ptr<RecordingTarget> leftTarget, rightTarget;
};

TEST_F(DragDropTest, ADragTellsEachTargetUnderThePointerAndDropsOnTheLast) {
    uitest::whenDragIdle([&] { uitest::dragPointer(left, TPoint(20, 10)); });
    uitest::whenDragIdle([&] { uitest::dragPointer(right, TPoint(5, 6)); });
    // Moved and released in one step: the drop lands where the button came up.
    uitest::whenDragIdle([&] { uitest::dragPointer(right, TPoint(7, 8), {}); });
    DWORD effect = 0;
    EXPECT_EQ(drag(DROPEFFECT_COPY | DROPEFFECT_MOVE, effect), DRAGDROP_S_DROP);
    EXPECT_EQ(effect, DROPEFFECT_COPY);
    const std::vector<std::string> l = {"enter 110,110", "over 120,110", "leave"};
    EXPECT_EQ(leftTarget->log, l);
    const std::vector<std::string> r = {"enter 255,106", "over 257,108", "drop 257,108"};
    EXPECT_EQ(rightTarget->log, r);
    EXPECT_EQ(rightTarget->dropped, "dragged");
    EXPECT_EQ(source->feedback.back(), DROPEFFECT_COPY);
}

TEST_F(DragDropTest, NoDropWithoutAnAcceptingTargetAndACancelledDragLeaves) {
    struct Case {
        const char* name;
        DWORD answer;
        bool cancel;
        bool outside;
        HRESULT result;
        const char* lastLeft;
    };
    const Case cases[] = {
        {"refused", DROPEFFECT_NONE, false, false, DRAGDROP_S_DROP, "leave"},
        {"cancelled", DROPEFFECT_COPY, true, false, DRAGDROP_S_CANCEL, "leave"},
        {"outside", DROPEFFECT_COPY, false, true, DRAGDROP_S_DROP, "leave"},
    };
    for (const auto& c : cases) {
        leftTarget->log.clear();
        leftTarget->answer = c.answer;
        source->cancel = false;
        uitest::whenDragIdle([&] {
            if (c.outside)
                uitest::dragPointer(form.get(), TPoint(120, 150), {});
            else if (c.cancel)
                source->cancel = true;
            else
                uitest::dragPointer(left, TPoint(12, 12), {});
        });
        DWORD effect = 99;
        EXPECT_EQ(drag(DROPEFFECT_COPY, effect), c.result) << c.name;
        EXPECT_EQ(effect, DROPEFFECT_NONE) << c.name;
        ASSERT_FALSE(leftTarget->log.empty()) << c.name;
        EXPECT_EQ(leftTarget->log.back(), c.lastLeft) << c.name;
    }
}

TEST_F(DragDropTest, RegistrationIsPerWindowAndReachesChildren) {
    EXPECT_EQ(RegisterDragDrop(left->Handle(), leftTarget), DRAGDROP_E_ALREADYREGISTERED);
    auto* child = new TProbe(form.get());
    child->SetParent(left);
    child->SetBounds(10, 10, 20, 20);
    EXPECT_EQ(WindowFromPoint(TPoint(115, 115)), child->Handle());
    EXPECT_EQ(FindDropTarget(child->Handle()), leftTarget);
    EXPECT_EQ(FindDropTarget(form->Handle()), nullptr);
    EXPECT_EQ(RevokeDragDrop(right->Handle()), S_OK);
    EXPECT_EQ(RevokeDragDrop(right->Handle()), DRAGDROP_E_NOTREGISTERED);
    EXPECT_EQ(FindDropTarget(right->Handle()), nullptr);
}

TEST_F(DragDropTest, PopupsAreFoundAboveTheFormAndOnlyInsideTheirShape) {
    auto* popup = new TPopupProbe(form.get());
    popup->SetParent(form.get());
    popup->SetBounds(105, 105, 40, 40);
    popup->HandleNeeded();
    popup->Show();
    EXPECT_EQ(WindowFromPoint(TPoint(110, 110)), popup->Handle());
    SetWindowRgn(popup->Handle(), new TRegion(TRect(20, 20, 40, 40)), false);
    EXPECT_EQ(WindowFromPoint(TPoint(110, 110)), left->Handle());
    EXPECT_EQ(WindowFromPoint(TPoint(130, 130)), popup->Handle());
    popup->SetEnabled(false);
    EXPECT_EQ(WindowFromPoint(TPoint(130, 130)), left->Handle());
}

TEST(GlobalMemoryTest, BlocksAreZeroedLockedAndFreedOnce) {
    HGLOBAL h = GlobalAlloc(GHND, 6);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalSize(h), 6u);
    auto* p = static_cast<std::uint8_t*>(GlobalLock(h));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(std::vector<std::uint8_t>(p, p + 6), std::vector<std::uint8_t>(6, 0));
    EXPECT_FALSE(GlobalUnlock(h));
    EXPECT_EQ(GlobalFree(h), nullptr);
    EXPECT_EQ(GlobalFree(h), h);
    EXPECT_EQ(GlobalLock(h), nullptr);
}

TEST(MemoryDataObjectTest, OffersTextAndFilesInTheirBlocks) {
    TMemoryDataObject d;
    d.SetText("ab\xC3\xA9");
    d.SetFiles({"/tmp/a.csv", "/tmp/b"});
    EXPECT_EQ(DataObjectFormats(d), (std::vector<CLIPFORMAT>{CF_UNICODETEXT, CF_TEXT, CF_HDROP}));
    const auto wide = DataObjectBytes(d, CF_UNICODETEXT);
    EXPECT_EQ(wide, (std::vector<std::uint8_t>{'a', 0, 'b', 0, 0xE9, 0, 0, 0}));
    const auto drop = DataObjectBytes(d, CF_HDROP);
    ASSERT_GE(drop.size(), sizeof(DROPFILES));
    DROPFILES h;
    std::memcpy(&h, drop.data(), sizeof h);
    EXPECT_EQ(h.pFiles, 20u);
    EXPECT_EQ(h.fWide, 1);
    // Two names, each ended, then the empty name: (10 + 1 + 6 + 1 + 1) UTF-16 units.
    EXPECT_EQ(drop.size(), 20u + 19u * 2u);
    FORMATETC f;
    f.cfFormat = CF_HDROP;
    f.tymed = TYMED_NULL;
    EXPECT_EQ(d.QueryGetData(f), DV_E_FORMATETC);
    std::shared_ptr<IEnumFORMATETC> list;
    EXPECT_EQ(d.EnumFormatEtc(DATADIR_SET, list), E_NOTIMPL);
}

TEST_F(DragDropTest, ALayeredWindowIsBlendedOverWhatLiesBelow) {
    left->painter = [](TCanvas* c) {
        c->Brush()->SetColor(clBlue);
        c->FillRect(TRect(0, 0, 100, 100));
    };
    auto* popup = new TPopupProbe(form.get());
    popup->SetParent(form.get());
    popup->SetBounds(100, 100, 20, 20);
    popup->HandleNeeded();
    popup->Show();
    const HWND h = popup->Handle();
    // Not layered yet: refused.
    TBitmap picture(4, 4);
    picture.SetPixelFormat(pf32bit);
    TSize size{4, 4};
    BLENDFUNCTION blend;
    blend.AlphaFormat = AC_SRC_ALPHA;
    EXPECT_FALSE(UpdateLayeredWindow(h, nullptr, nullptr, &size, picture.Canvas(), nullptr, clNone,
                                     &blend, ULW_ALPHA));
    SetWindowLong(h, GWL_EXSTYLE, GetWindowLong(h, GWL_EXSTYLE) | LONG(WS_EX_LAYERED));
    // Half-transparent red in premultiplied form, fully transparent in the last column.
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) picture.Pixels32()[y * 4 + x] = x == 3 ? 0u : 0x80800000u;
    picture.Modified();
    ASSERT_TRUE(UpdateLayeredWindow(h, nullptr, nullptr, &size, picture.Canvas(), nullptr, clNone,
                                    &blend, ULW_ALPHA));
    EXPECT_EQ(popup->Width(), 4);
    auto shot = uitest::render(form.get());
    const TColor mixed = shot->PixelColor(0, 0);
    EXPECT_NEAR(GetRValue(mixed), 128, 2);
    EXPECT_NEAR(GetBValue(mixed), 127, 2);
    EXPECT_EQ(shot->PixelColor(3, 0), clBlue);
    // Dropping the layered style forgets the picture.
    SetWindowLong(h, GWL_EXSTYLE, GetWindowLong(h, GWL_EXSTYLE) & ~LONG(WS_EX_LAYERED));
    EXPECT_EQ(popup->LayeredImage(), nullptr);
}

} // namespace
