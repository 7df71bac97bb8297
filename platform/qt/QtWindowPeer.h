#pragma once
// The base of every native peer: it owns a QWidget, mirrors the control's common properties
// into it and reports the widget's input to the control as messages.
//
// A standard control's peer derives from TQtWindowPeer, creates its widget (parented to
// ParentWidget()) and passes it to Attach(); it overrides Changed() for its own property codes
// (calling the base for the rest) and reports notifications with SendCommand(EN_CHANGE) ...
// Input events of the widget reach the control's window procedure first; the widget handles
// the event itself only when the control lets the message reach DefaultHandler.
#include "platform/ui/core/Controls.h"

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QObject>
#include <QPointer>
#include <QWidget>

class TQtWindowFrame;

class TQtWindowPeer : public QObject, public TWindowPeer {
public:
    explicit TQtWindowPeer(TWinControl* control);
    ~TQtWindowPeer() override;

    TWinControl* Control() const { return control_; }
    QWidget* Widget() const { return widget_; }
    // The peer whose widget Widget is; nil for a widget of no peer.
    static TQtWindowPeer* OfWidget(const QObject* Widget);
    // Where child controls' widgets go (a page, a group's inside ...).
    virtual QWidget* ChildContainer() const { return widget_; }
    // The widget of the whole window: the one of its non-client frame, where it has one.
    virtual QWidget* OuterWidget() const { return widget_; }

    void Changed(int what) override;
    void Invalidate() override;
    void SetFocus() override;
    void DefaultProc(TMessage& Message) override;
    bool Grab(TBitmap& bitmap) override;
    void Activate() override;

    // Sends WM_COMMAND-style notifications to the control as CN_COMMAND (at once / queued).
    void SendCommand(WORD code);
    void PostCommand(WORD code);
    // Sends msg to the control the way the loop does; true when it reached DefaultHandler
    // (the native widget should then process the event itself).
    bool Deliver(TMessage& msg);

protected:
    // The parent control's container widget, or nullptr for a top-level window.
    QWidget* ParentWidget() const;
    // Takes ownership of the widget, syncs every common property and starts translating input.
    void Attach(QWidget* widget);
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool IsTopLevel() const;
    void syncLayoutDirection();
    // The message comes from a native event the peer is delivering (not sent or posted).
    bool IsDelivering(const TMessage& Message) const {
        return delivering_ && Message.Msg == delivering_->Msg;
    }

private:
    bool mouseEvent(QEvent* event);
    bool keyEvent(QEvent* event);
    TWinControl* control_;
    QPointer<QWidget> widget_;
    const TMessage* delivering_ = nullptr;
    bool defaultCalled_ = false;
    bool settingFocus_ = false;
};

// A custom-drawn window (TCustomControl, forms, hint windows): shows the control's backing
// image, painting the control first when it is invalid.
class TQtCustomPeer : public TQtWindowPeer {
public:
    explicit TQtCustomPeer(TWinControl* control);
    ~TQtCustomPeer() override;
    void Changed(int what) override;
    QWidget* OuterWidget() const override;

private:
    // Puts the client widget into a frame widget once the window has a non-client frame.
    void syncFrame();
    bool painting_ = false; // the widget is painting: image changes need no new paint
    QPointer<TQtWindowFrame> frame_;
};

// Conversions between the model and Qt.
QColor ToQColor(TColor color);
QFont ToQFont(const TFont& font);
Qt::CursorShape ToQtCursor(TCursor cursor);
// The standard shape, or the picture the program gave the cursor number (TScreen).
QCursor ToQCursor(TCursor cursor);
WORD QtKeyToVK(int key, Qt::KeyboardModifiers modifiers);
TShiftState QtModifiersToShift(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = {});
