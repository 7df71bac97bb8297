#pragma once
// Helpers for tests of controls and forms. The test main (platform_testing_main) starts the
// application on Qt's offscreen platform with the manual clock and the scripted dialog service;
// these helpers drive controls through the same message path as a user.
#include "platform/base/Clock.h"
#include "platform/testing/NativeMouse.h"
#include "platform/ui/core/Dialogs.h"
#include "platform/ui/core/Forms.h"

#include <functional>
#include <memory>
#include <string>

namespace uitest {

// Installs the manual clock, the scripted dialog service and the modal idle hook; the test main
// calls it once after the back end.
void installTestServices();
// Resets what one test may leave behind (answers, questions, modal actions, key state).
void resetBetweenTests();

TManualClock& testClock();
TScriptedDialogService& dialogs();

// Handles everything pending (posted messages, thread calls, due timers, paints).
void processMessages();
// Moves the manual clock forward, stopping at each timer due on the way so that every
// firing happens at its own time.
void advanceClock(unsigned ms);

// Mouse input at p, in the control's client coordinates (a windowless control's own).
void mouseMove(TControl* control, TPoint p, TShiftState shift = {});
void mouseDown(TControl* control, TPoint p, TMouseButton button = mbLeft, TShiftState shift = {});
void mouseUp(TControl* control, TPoint p, TMouseButton button = mbLeft, TShiftState shift = {});
void click(TControl* control, TPoint p, TShiftState shift = {});
// Clicks the middle of the control.
void click(TControl* control);
void doubleClick(TControl* control, TPoint p, TShiftState shift = {});
void rightClick(TControl* control, TPoint p, TShiftState shift = {});
void mouseWheel(TControl* control, TPoint p, int delta, TShiftState shift = {});

// A left click at the middle of the control's native window, posted to Qt's event queue: it
// arrives the next time native events are handled, through Qt's own delivery.
void postNativeClick(TWinControl* control);
// A wheel turn (delta in eighths of a degree, 120 a notch) at p with the keys of shift held,
// posted the same way.
void postNativeWheel(TWinControl* control, TPoint p, int delta, TShiftState shift = {});
// Mouse moves, presses, clicks at a point and the mouse leaving: platform/testing/NativeMouse.h.

// A key press and release posted to Qt's event queue for the native window of target (the
// focused control's when target is nullptr; an open popup's, such as a combo box's list, while
// one is open, as Qt delivers keys): it arrives through Qt's own delivery the next time native
// events are handled. Keys: VK_RETURN, VK_ESCAPE, VK_TAB, VK_SPACE, VK_F2, the arrow and page
// keys, Home, End, the keypad's VK_DECIMAL, letters (typing lower case) and digits.
void postNativeKey(WORD vk, TWinControl* target = nullptr);
// The same with Shift, Ctrl and Alt held (VK_F4, VK_BACK and VK_DELETE too). With Ctrl a letter
// types its control character (Ctrl+V: 22); with Ctrl or Alt other keys type nothing.
void postNativeKey(WORD vk, TShiftState shift, TWinControl* target = nullptr);
// Each character of UTF-8 text as a key press and release typing it, posted the same way:
// letters on their keys (capitals with Shift), other characters as their own key.
void postNativeText(const std::string& text, TWinControl* target = nullptr);

// Keyboard input to target, or to the focused window when target is nullptr. pressKey sends
// key down, the character the key types (unless the key was taken as a dialog key) and key up;
// with ssAlt the system key messages.
void keyDown(WORD vk, TShiftState shift = {}, TWinControl* target = nullptr);
void keyUp(WORD vk, TShiftState shift = {}, TWinControl* target = nullptr);
void pressKey(WORD vk, TShiftState shift = {}, TWinControl* target = nullptr);
// Types UTF-8 text character by character.
void typeText(const std::string& text, TWinControl* target = nullptr);

// Runs action the next time a modal loop goes idle (actions run in the order queued, one per
// idle turn). A modal loop that goes idle with no action left fails the test and is cancelled,
// so a test never hangs.
void whenModalIdle(std::function<void(TCustomForm* form)> action);
// Runs action the next time a drag run in this process waits for the pointer (one action per
// turn). A drag that waits with no action left fails the test and is dropped where it is.
void whenDragIdle(std::function<void()> action);
// During a drag: the pointer moves to p (the control's client coordinates) with the buttons and
// keys of shift; no mouse message is sent, as during a real drag.
void dragPointer(TControl* control, TPoint p, TShiftState shift = {ssLeft});
// Shows form modally, runs action inside its loop, returns the modal result.
int runModal(TCustomForm* form, std::function<void(TCustomForm* form)> action);

// The control's client area with its children, as the user sees it (open combo lists too).
std::unique_ptr<TBitmap> render(TWinControl* control);
void savePng(TWinControl* control, const std::string& path);
// A pixel of a custom-drawn control's own image (painted first when invalid).
TColor pixel(TWinControl* control, int x, int y);

} // namespace uitest
