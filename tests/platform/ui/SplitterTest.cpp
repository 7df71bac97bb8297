// The splitter between two aligned controls: a drag resizes the control it follows, within the
// room the client-aligned control can give.
#include "platform/ui/Splitter.h"

#include "platform/testing/UiTest.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/core/Forms.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TPanel* panel(TForm* form, TAlign align) {
    auto* p = new TPanel(form);
    p->SetParent(form);
    p->SetBounds(0, 0, 100, 100);
    p->SetAlign(align);
    return p;
}

// Drags the splitter's middle by (dx, dy).
void drag(TSplitter* s, int dx, int dy) {
    const TPoint from{s->Width() / 2, s->Height() / 2};
    uitest::mouseDown(s, from);
    uitest::mouseMove(s, {from.X + dx, from.Y + dy});
    uitest::mouseUp(s, from);
}

} // namespace

TEST(Splitter, ADragResizesTheControlItFollowsWithinTheRoomOfTheClientControl) {
    struct Case {
        TAlign align;
        int dx, dy;
        int expected; // the followed control's size along the drag
    };
    // The form's client area is 400 x 300; the followed control starts at 100, the splitter
    // takes 3 and the client control the rest.
    const Case cases[] = {
        {alTop, 0, 40, 140},  {alTop, 0, -40, 60},     {alTop, 0, -90, TSplitter::MinSize},
        {alTop, 0, 500, 267}, {alBottom, 0, -40, 140}, {alBottom, 0, 40, 60},
        {alLeft, 50, 0, 150}, {alLeft, 500, 0, 367},   {alRight, -50, 0, 150},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.align) + " " + std::to_string(c.dx) + " " +
                     std::to_string(c.dy));
        auto form = std::make_unique<TForm>(nullptr);
        form->SetClientSize(400, 300);
        TPanel* followed = panel(form.get(), c.align);
        auto* splitter = new TSplitter(form.get());
        splitter->SetParent(form.get());
        splitter->SetAlign(c.align);
        const bool vertical = c.align == alTop || c.align == alBottom;
        if (vertical) splitter->SetHeight(3);
        TPanel* client = panel(form.get(), alClient);
        form->Show();
        drag(splitter, c.dx, c.dy);
        EXPECT_EQ(vertical ? followed->Height() : followed->Width(), c.expected);
        EXPECT_EQ(vertical ? client->Height() : client->Width(),
                  (vertical ? 300 : 400) - 3 - c.expected);
        // Released, the mouse moves on without resizing.
        uitest::mouseMove(splitter, {1, 1});
        EXPECT_EQ(vertical ? followed->Height() : followed->Width(), c.expected);
    }
}

// The drag as a user makes it: Qt delivers the press, the moves and the release to the form's
// window, which hands them to the splitter under the pointer while the splitter itself moves.
TEST(Splitter, APointerDragThroughTheNativeWindowResizes) {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetClientSize(400, 300);
    TPanel* followed = panel(form.get(), alLeft);
    auto* splitter = new TSplitter(form.get());
    splitter->SetParent(form.get());
    splitter->SetAlign(alLeft);
    panel(form.get(), alClient);
    form->Show();
    uitest::processMessages();
    const int x = splitter->Left() + 1, y = 150;
    uitest::postNativeMouseDown(form.get(), {x, y});
    uitest::postNativeMouseMove(form.get(), {x + 25, y}, true);
    uitest::postNativeMouseMove(form.get(), {x + 50, y}, true);
    uitest::postNativeMouseUp(form.get(), {x + 50, y});
    uitest::processMessages();
    EXPECT_EQ(followed->Width(), 150);
    uitest::postNativeMouseMove(form.get(), {x, y});
    uitest::processMessages();
    EXPECT_EQ(followed->Width(), 150) << "released";
}
