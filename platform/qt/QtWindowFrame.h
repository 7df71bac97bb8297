#pragma once
// The non-client frame of a custom-drawn child window: a widget of the window's size that shows
// the frame image (border, edges, the corner between the bars) and real Qt scroll bars where the
// window's scroll bars lie, and holds the client widget at the client rectangle. The scroll bars'
// user actions reach the control as WM_VSCROLL / WM_HSCROLL with the SB_ codes.
#include "platform/ui/core/Controls.h"

#include <QWidget>

class QScrollBar;

class TQtWindowFrame : public QWidget {
public:
    TQtWindowFrame(TWinControl* control, QWidget* parent);
    // The peer is going: no more messages to the control.
    void Detach();
    // Places the client widget and the bars and takes the bars' scroll information.
    void Sync(QWidget* client);
    QScrollBar* Bar(int Bar) const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    void sendMouse(QMouseEvent* e, UINT NonClient, UINT Client);
    TWinControl* control_;
    QScrollBar* bars_[2];
};
