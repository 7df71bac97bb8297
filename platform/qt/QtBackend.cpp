#include "platform/qt/QtBackend.h"

#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtStdPeers.h"
#include "platform/qt/QtWindowPeer.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Forms.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>
#include <QTimer>

#include <map>

namespace {
std::map<std::string, TQtPeerMaker>& makers() {
    static std::map<std::string, TQtPeerMaker> m;
    return m;
}

class QtBackend : public TBackend {
public:
    std::unique_ptr<TWindowPeer> CreatePeer(TWinControl* control) override {
        auto it = makers().find(control->PeerClassName());
        if (it != makers().end()) return it->second(control);
        return std::make_unique<TQtCustomPeer>(control);
    }

    bool ProcessEvents() override {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return false;
    }

    void WaitForEvents(unsigned ms) override {
        QTimer timer;
        timer.setSingleShot(true);
        timer.start(int(ms));
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }

    void Wake() override {
        if (auto d = QAbstractEventDispatcher::instance(QCoreApplication::instance()->thread()))
            d->wakeUp();
    }

    TRect ScreenRect() const override {
        QScreen* s = QGuiApplication::primaryScreen();
        if (!s) return {0, 0, 1024, 768};
        QRect g = s->geometry();
        return {g.left(), g.top(), g.right() + 1, g.bottom() + 1};
    }

    void SetScreenCursor(TCursor cursor) override {
        if (overridden) QGuiApplication::restoreOverrideCursor();
        overridden = cursor != crDefault;
        if (overridden) QGuiApplication::setOverrideCursor(QCursor(ToQtCursor(cursor)));
    }

    void Beep() override { QApplication::beep(); }

    void SetCursorPos(TPoint p) override { QCursor::setPos(p.X, p.Y); }

    bool overridden = false;
};

QtBackend backend;
TQtDialogService dialogs;
std::unique_ptr<QApplication> app;
} // namespace

void RegisterQtPeerClass(const std::string& peerClass, TQtPeerMaker maker) {
    makers()[peerClass] = std::move(maker);
}

void InitQtBackend(int& argc, char** argv) {
    if (app) return;
    app = std::make_unique<QApplication>(argc, argv);
    RegisterQtStdPeers();
    auto custom = [](TWinControl* c) -> std::unique_ptr<TWindowPeer> {
        return std::make_unique<TQtCustomPeer>(c);
    };
    for (const char* cls : {"WINDOW", "FORM", "HINT"})
        if (!makers().count(cls)) RegisterQtPeerClass(cls, custom);
    SetBackend(&backend);
    SetDialogService(&dialogs);
    Application->Initialize();
}

void DoneQtBackend() {
    if (!app) return;
    SetBackend(nullptr);
    SetDialogService(nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    app.reset();
}
