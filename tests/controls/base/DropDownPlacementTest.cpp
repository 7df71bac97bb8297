// Where the popup opens: below the edit, above it where the work area of the edit's screen has
// no room below, moved left to end at the work area's right edge.
#include "DropDownTestSupport.h"

#include "platform/ui/core/Monitors.h"

using namespace uitest;

TEST_F(DropDownTest, PopupStaysInTheWorkAreaOfTheEditsScreen) {
    // A primary screen with a 40-pixel panel at the bottom, and one to its left.
    const TMonitorArea primary{{0, 0, 1024, 768}, {0, 0, 1024, 728}, true};
    const TMonitorArea left{{-800, 0, 0, 600}, {-800, 0, 0, 600}, false};
    struct Case {
        const char* what;
        TPoint form; // the edit is at form + (20, 30), 200 x 22
        TDropPosition position;
        TRect popup; // 200 x 100
    };
    const Case cases[] = {
        {"room below", {100, 100}, dpAuto, Bounds(120, 151, 200, 100)},
        {"bottom of the work area", {100, 600}, dpAuto, Bounds(120, 630 - 100, 200, 100)},
        {"fits the work area exactly", {100, 576}, dpAuto, Bounds(120, 627, 200, 100)},
        {"behind the panel", {100, 577}, dpAuto, Bounds(120, 607 - 100, 200, 100)},
        {"down always", {100, 600}, dpDown, Bounds(120, 651, 200, 100)},
        {"up always", {100, 100}, dpUp, Bounds(120, 30, 200, 100)},
        {"past the right edge", {900, 100}, dpAuto, Bounds(1024 - 200, 151, 200, 100)},
        {"past the left screen's right edge", {-150, 100}, dpAuto, Bounds(-200, 151, 200, 100)},
        {"left screen, bottom", {-500, 500}, dpAuto, Bounds(-480, 530 - 100, 200, 100)},
    };
    ScriptMonitorAreas({primary, left});
    edit->SetDropDownHeight(100);
    for (const Case& c : cases) {
        form->SetBounds(c.form.X, c.form.Y, 400, 300);
        edit->SetDropPosition(c.position);
        edit->ShowDropDown();
        EXPECT_EQ(edit->DropDownForm()->BoundsRect(), c.popup) << c.what;
        edit->HideDropDown(false);
        // The hide remembers the size as the user's; the program's height comes back.
        edit->SetDropDownHeight(0);
        edit->SetDropDownHeight(100);
        edit->SetDropDownWidth(1);
        edit->SetDropDownWidth(0);
    }
}
