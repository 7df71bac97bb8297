#include "platform/testing/UiTest.h"

#include "platform/qt/QtWindowPeer.h"
#include "platform/ui/core/DragDrop.h"
#include "platform/ui/core/Monitors.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include "platform/ui/StdCtrls.h"
#include "platform/ui/core/SysInfo.h"
#include "platform/ui/core/Timers.h"

#include <gtest/gtest.h>

#include <deque>

namespace uitest {
namespace {
TManualClock clock;
TScriptedDialogService scripted;
std::deque<std::function<void(TCustomForm*)>> modalActions;
std::deque<std::function<void()>> dragActions;

void onDragIdle() {
    if (dragActions.empty()) {
        ADD_FAILURE() << "a drag is waiting with nothing to do; dropped";
        SetModifierKeyState({});
        return;
    }
    auto action = std::move(dragActions.front());
    dragActions.pop_front();
    action();
}

void onModalIdle(TCustomForm* form) {
    if (modalActions.empty()) {
        ADD_FAILURE() << "modal form '" << form->Name() << "' (\"" << form->Caption()
                      << "\") is waiting with nothing to do; cancelled";
        form->SetModalResult(mrCancel);
        return;
    }
    auto action = std::move(modalActions.front());
    modalActions.pop_front();
    action(form);
}

TWinControl* windowOf(TControl* c) {
    if (auto w = dynamic_cast<TWinControl*>(c)) return w;
    return c->Parent();
}

TPoint toWindow(TControl* c, TPoint p) {
    if (dynamic_cast<TWinControl*>(c)) return p;
    return {p.X + c->Left(), p.Y + c->Top()};
}

WPARAM mouseKeys(TShiftState shift) {
    WPARAM k = 0;
    if (shift.Contains(ssShift)) k |= MK_SHIFT;
    if (shift.Contains(ssCtrl)) k |= MK_CONTROL;
    if (shift.Contains(ssLeft)) k |= MK_LBUTTON;
    if (shift.Contains(ssRight)) k |= MK_RBUTTON;
    if (shift.Contains(ssMiddle)) k |= MK_MBUTTON;
    return k;
}

void sendMouse(TControl* c, UINT msg, TPoint p, TShiftState shift) {
    TWinControl* w = windowOf(c);
    ASSERT_NE(w, nullptr) << "control has no window";
    SetModifierKeyState(shift);
    DeliverMouse(w, msg, toWindow(c, p), mouseKeys(shift));
    SetModifierKeyState({});
}

UINT buttonMessage(TMouseButton b, bool down) {
    switch (b) {
    case mbRight:
        return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    case mbMiddle:
        return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    default:
        return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    }
}

TShiftFlag buttonFlag(TMouseButton b) {
    return b == mbRight ? ssRight : b == mbMiddle ? ssMiddle : ssLeft;
}

TWinControl* keyTarget(TWinControl* target) {
    if (target) return target;
    TWinControl* focused = FindControl(GetFocus());
    if (!focused) ADD_FAILURE() << "no window has the focus";
    return focused;
}

LPARAM keyData(TShiftState shift, bool up) {
    return 1 | (shift.Contains(ssAlt) ? AltMask : 0) | (up ? LPARAM(0xC0000000) : 0);
}

// The character a key types, as the keyboard layout would; 0 for none.
char32_t charOfKey(WORD vk, TShiftState shift) {
    if (vk >= 'A' && vk <= 'Z') {
        if (shift.Contains(ssCtrl) && !shift.Contains(ssAlt)) return char32_t(vk - 'A' + 1);
        return shift.Contains(ssShift) ? char32_t(vk) : char32_t(vk - 'A' + 'a');
    }
    if (vk >= '0' && vk <= '9') return char32_t(vk);
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return char32_t('0' + vk - VK_NUMPAD0);
    switch (vk) {
    case VK_SPACE:
        return U' ';
    case VK_RETURN:
        return U'\r';
    case VK_ESCAPE:
        return 27;
    case VK_BACK:
        return 8;
    case VK_TAB:
        return U'\t';
    case VK_MULTIPLY:
        return U'*';
    case VK_ADD:
        return U'+';
    case VK_SUBTRACT:
        return U'-';
    case VK_DIVIDE:
        return U'/';
    case VK_DECIMAL:
        return U'.';
    default:
        return 0;
    }
}

// Down (and the typed character) of one key; false when the key was taken as a dialog key.
bool sendKeyDown(TWinControl* t, WORD vk, TShiftState shift) {
    bool alt = shift.Contains(ssAlt);
    TMessage m{UINT(alt ? WM_SYSKEYDOWN : WM_KEYDOWN), vk, keyData(shift, false), 0};
    return DeliverMessage(t, m);
}

void sendChar(TWinControl* t, char32_t c, TShiftState shift) {
    if (!IsWindow(t->Handle())) return;
    TMessage m{UINT(shift.Contains(ssAlt) ? WM_SYSCHAR : WM_CHAR), WPARAM(c), keyData(shift, false),
               0};
    DeliverMessage(t, m);
}

void sendKeyUp(TWinControl* t, WORD vk, TShiftState shift) {
    TMessage m{UINT(shift.Contains(ssAlt) ? WM_SYSKEYUP : WM_KEYUP), vk, keyData(shift, true), 0};
    DeliverMessage(t, m);
}

// The window may be destroyed by a handler between the messages of one key.
bool alive(TWinControl* t, HWND h) {
    return FindControl(h) == t;
}
} // namespace

void installTestServices() {
    SetApplicationClock(&clock);
    SetDialogService(&scripted);
    Application->OnModalIdle = onModalIdle;
    SetDragLoopIdleHook(onDragIdle);
    if (Application->Title().empty()) Application->SetTitle("knxgwconfig");
}

void resetBetweenTests() {
    scripted.Clear();
    scripted.OnAsk = nullptr;
    modalActions.clear();
    dragActions.clear();
    SetModifierKeyState({});
    ReleaseCapture();
    Application->OnModalIdle = onModalIdle;
    Application->OnIdle = nullptr;
    Application->OnException = nullptr;
    Application->HintWindowClass = nullptr;
    Screen->SetCursor(crDefault);
    SystemParametersInfo(SPI_SETWHEELSCROLLLINES, 3, nullptr, 0);
    Application->CancelHint();
    Application->ResetTerminated();
    ScriptMonitorAreas({});
}

TManualClock& testClock() {
    return clock;
}
TScriptedDialogService& dialogs() {
    return scripted;
}

void processMessages() {
    Application->ProcessMessages();
}

void advanceClock(unsigned ms) {
    std::uint64_t target = clock.TickCount() + ms;
    processMessages();
    while (true) {
        auto due = NextTimerDue();
        if (!due || *due > target) break;
        if (*due > clock.TickCount()) clock.Set(*due);
        processMessages();
    }
    clock.Set(target);
    processMessages();
}

void mouseMove(TControl* control, TPoint p, TShiftState shift) {
    sendMouse(control, WM_MOUSEMOVE, p, shift);
}

void mouseDown(TControl* control, TPoint p, TMouseButton button, TShiftState shift) {
    TShiftState s = shift;
    s.Include(buttonFlag(button));
    sendMouse(control, buttonMessage(button, true), p, s);
}

void mouseUp(TControl* control, TPoint p, TMouseButton button, TShiftState shift) {
    sendMouse(control, buttonMessage(button, false), p, shift);
}

namespace {
// The mouse comes to p, then button goes down and up there.
void pressAt(TControl* control, TPoint p, TMouseButton button, TShiftState shift) {
    mouseMove(control, p, shift);
    mouseDown(control, p, button, shift);
    mouseUp(control, p, button, shift);
}
} // namespace

void click(TControl* control, TPoint p, TShiftState shift) {
    pressAt(control, p, mbLeft, shift);
    processMessages();
}

void click(TControl* control) {
    click(control, {control->ClientWidth() / 2, control->ClientHeight() / 2});
}

void doubleClick(TControl* control, TPoint p, TShiftState shift) {
    pressAt(control, p, mbLeft, shift);
    TShiftState s = shift;
    s.Include(ssLeft);
    sendMouse(control, WM_LBUTTONDBLCLK, p, s);
    mouseUp(control, p, mbLeft, shift);
    processMessages();
}

void rightClick(TControl* control, TPoint p, TShiftState shift) {
    pressAt(control, p, mbRight, shift);
    processMessages();
}

void mouseWheel(TControl* control, TPoint p, int delta, TShiftState shift) {
    TWinControl* w = windowOf(control);
    ASSERT_NE(w, nullptr);
    SetModifierKeyState(shift);
    TPoint screen = w->ClientToScreen(toWindow(control, p));
    TMessage m{WM_MOUSEWHEEL, MAKEWPARAM(int(mouseKeys(shift)), delta), PointToLParam(screen), 0};
    DeliverMessage(w, m);
    SetModifierKeyState({});
    processMessages();
}

void keyDown(WORD vk, TShiftState shift, TWinControl* target) {
    TWinControl* t = keyTarget(target);
    if (!t) return;
    SetModifierKeyState(shift);
    sendKeyDown(t, vk, shift);
}

void keyUp(WORD vk, TShiftState shift, TWinControl* target) {
    TWinControl* t = keyTarget(target);
    if (!t) return;
    SetModifierKeyState(shift);
    sendKeyUp(t, vk, shift);
    SetModifierKeyState({});
}

void pressKey(WORD vk, TShiftState shift, TWinControl* target) {
    TWinControl* t = keyTarget(target);
    if (!t) return;
    HWND h = t->Handle();
    SetModifierKeyState(shift);
    bool reached = sendKeyDown(t, vk, shift);
    char32_t c = charOfKey(vk, shift);
    if (reached && c && alive(t, h)) sendChar(t, c, shift);
    if (alive(t, h)) sendKeyUp(t, vk, shift);
    SetModifierKeyState({});
    processMessages();
}

void typeText(const std::string& text, TWinControl* target) {
    for (char32_t c : Utf8ToUtf32(text)) {
        TWinControl* t = keyTarget(target);
        if (!t) return;
        HWND h = t->Handle();
        WORD vk = 0;
        TShiftState shift;
        if (c >= 'a' && c <= 'z')
            vk = WORD(c - 'a' + 'A');
        else if (c >= 'A' && c <= 'Z') {
            vk = WORD(c);
            shift.Include(ssShift);
        } else if ((c >= '0' && c <= '9') || c == ' ') {
            vk = WORD(c);
        }
        SetModifierKeyState(shift);
        bool reached = vk ? sendKeyDown(t, vk, shift) : true;
        if (reached && alive(t, h)) sendChar(t, c, shift);
        if (vk && alive(t, h)) sendKeyUp(t, vk, shift);
        SetModifierKeyState({});
    }
    processMessages();
}

void whenModalIdle(std::function<void(TCustomForm*)> action) {
    modalActions.push_back(std::move(action));
}

void whenDragIdle(std::function<void()> action) {
    dragActions.push_back(std::move(action));
}

void dragPointer(TControl* control, TPoint p, TShiftState shift) {
    SetCursorPosition(control->ClientToScreen(p));
    SetModifierKeyState(shift);
}

void postNativeClick(TWinControl* control) {
    auto* peer = dynamic_cast<TQtWindowPeer*>(control->Peer());
    QWidget* w = peer ? peer->Widget() : nullptr;
    if (!w) return;
    QPointF at(w->width() / 2.0, w->height() / 2.0);
    QPointF global = w->mapToGlobal(at);
    QCoreApplication::postEvent(w, new QMouseEvent(QEvent::MouseButtonPress, at, global,
                                                   Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(w, new QMouseEvent(QEvent::MouseButtonRelease, at, global,
                                                   Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
}

namespace {
// The native window that takes keys for target (the focused control when nullptr): an open
// popup's, as Qt gives it the keyboard.
QWidget* nativeKeyTarget(TWinControl* target) {
    if (!target) target = FindControl(GetFocus());
    auto* peer = target ? dynamic_cast<TQtWindowPeer*>(target->Peer()) : nullptr;
    QWidget* w = peer ? peer->Widget() : nullptr;
    if (QWidget* popup = QApplication::activePopupWidget())
        w = popup->focusWidget() ? popup->focusWidget() : popup;
    if (!w) ADD_FAILURE() << "no native window takes the key";
    return w;
}

void postKeyPair(QWidget* w, int key, Qt::KeyboardModifiers modifiers, const QString& text) {
    QCoreApplication::postEvent(w, new QKeyEvent(QEvent::KeyPress, key, modifiers, text));
    QCoreApplication::postEvent(w, new QKeyEvent(QEvent::KeyRelease, key, modifiers, text));
}
} // namespace

void postNativeKey(WORD vk, TWinControl* target) {
    postNativeKey(vk, {}, target);
}

void postNativeKey(WORD vk, TShiftState shift, TWinControl* target) {
    QWidget* w = nativeKeyTarget(target);
    if (!w) return;
    Qt::KeyboardModifiers modifiers;
    if (shift.Contains(ssShift)) modifiers |= Qt::ShiftModifier;
    if (shift.Contains(ssCtrl)) modifiers |= Qt::ControlModifier;
    if (shift.Contains(ssAlt)) modifiers |= Qt::AltModifier;
    // Keys with Ctrl or Alt type no text.
    const bool plain = !(modifiers & (Qt::ControlModifier | Qt::AltModifier));
    struct Key {
        WORD vk;
        int key;
        const char* text;
        Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    };
    static const Key keys[] = {
        {VK_RETURN, Qt::Key_Return, "\r"},
        {VK_ESCAPE, Qt::Key_Escape, "\x1b"},
        {VK_TAB, Qt::Key_Tab, "\t"},
        {VK_SPACE, Qt::Key_Space, " "},
        {VK_UP, Qt::Key_Up, ""},
        {VK_DOWN, Qt::Key_Down, ""},
        {VK_LEFT, Qt::Key_Left, ""},
        {VK_RIGHT, Qt::Key_Right, ""},
        {VK_F2, Qt::Key_F2, ""},
        {VK_F4, Qt::Key_F4, ""},
        {VK_PRIOR, Qt::Key_PageUp, ""},
        {VK_NEXT, Qt::Key_PageDown, ""},
        {VK_HOME, Qt::Key_Home, ""},
        {VK_END, Qt::Key_End, ""},
        {VK_BACK, Qt::Key_Backspace, "\b"},
        {VK_DELETE, Qt::Key_Delete, "\x7f"},
        {VK_INSERT, Qt::Key_Insert, ""},
        {VK_DECIMAL, Qt::Key_Period, ".", Qt::KeypadModifier},
    };
    for (const Key& k : keys) {
        if (k.vk != vk) continue;
        postKeyPair(w, k.key, k.modifiers | modifiers,
                    plain ? QString::fromLatin1(k.text) : QString());
        return;
    }
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) {
        // A letter key types its lower-case letter (upper case with Shift); with Ctrl its control
        // character, as the desktop gives it.
        QString text;
        if (modifiers & Qt::ControlModifier)
            text = vk >= 'A' && vk <= 'Z' ? QString(QChar(vk - 'A' + 1)) : QString();
        else if (plain)
            text = QChar(vk >= 'A' && vk <= 'Z' && !shift.Contains(ssShift) ? vk - 'A' + 'a' : vk);
        postKeyPair(w, vk, modifiers, text);
        return;
    }
    ADD_FAILURE() << "postNativeKey has no Qt key for " << vk;
}

void postNativeText(const std::string& text, TWinControl* target) {
    QWidget* w = nativeKeyTarget(target);
    if (!w) return;
    for (char32_t c : Utf8ToUtf32(text)) {
        int key = int(c);
        Qt::KeyboardModifiers modifiers;
        if (c >= 'a' && c <= 'z') key = Qt::Key_A + int(c - 'a');
        if (c >= 'A' && c <= 'Z') modifiers = Qt::ShiftModifier;
        postKeyPair(w, key, modifiers, QString::fromStdU32String(std::u32string(1, c)));
    }
}

void postNativeWheel(TWinControl* control, TPoint p, int delta, TShiftState shift) {
    auto* peer = dynamic_cast<TQtWindowPeer*>(control->Peer());
    QWidget* w = peer ? peer->Widget() : nullptr;
    if (!w) return;
    QPointF at(p.X, p.Y);
    Qt::KeyboardModifiers keys;
    if (shift.Contains(ssCtrl)) keys |= Qt::ControlModifier;
    if (shift.Contains(ssShift)) keys |= Qt::ShiftModifier;
    if (shift.Contains(ssAlt)) keys |= Qt::AltModifier;
    QCoreApplication::postEvent(w,
                                new QWheelEvent(at, w->mapToGlobal(at), QPoint(), QPoint(0, delta),
                                                Qt::NoButton, keys, Qt::NoScrollPhase, false));
}

int runModal(TCustomForm* form, std::function<void(TCustomForm*)> action) {
    whenModalIdle(std::move(action));
    return form->ShowModal();
}

namespace {
// The open lists of the combo boxes in w, over everything else, as the native lists show them.
void paintDropLists(TWinControl* root, TWinControl* w, TCanvas* canvas) {
    for (int i = 0; i < w->ControlCount(); ++i) {
        auto* child = dynamic_cast<TWinControl*>(w->Controls(i));
        if (!child) continue;
        paintDropLists(root, child, canvas);
        auto* combo = dynamic_cast<TCustomComboBox*>(child);
        if (!combo || !combo->DroppedDown() || !combo->IsShowing()) continue;
        const TPoint at = combo->ClientToScreen({0, 0});
        const TPoint origin = root->ClientToScreen({0, 0});
        const TRect list = combo->DropListRect();
        combo->PaintDropList(canvas, at.X - origin.X + list.Left, at.Y - origin.Y + list.Top);
    }
}
} // namespace

std::unique_ptr<TBitmap> render(TWinControl* control) {
    auto image = std::make_unique<TBitmap>();
    image->SetPixelFormat(pf24bit);
    image->SetSize(control->ClientWidth(), control->ClientHeight());
    control->PaintTo(image->Canvas(), 0, 0);
    paintDropLists(control, control, image->Canvas());
    return image;
}

void savePng(TWinControl* control, const std::string& path) {
    SavePng(*render(control), path);
}

TColor pixel(TWinControl* control, int x, int y) {
    control->Update();
    TBitmap* image = control->BackingImage();
    if (!image) {
        ADD_FAILURE() << "control has no image of its own";
        return clNone;
    }
    return image->PixelColor(x, y);
}

} // namespace uitest
