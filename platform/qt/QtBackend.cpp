#include "platform/qt/QtBackend.h"

#include "platform/print/Printers.h"
#include "platform/qt/QtAccessible.h"
#include "platform/qt/QtClipboard.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtDragDrop.h"
#include "platform/qt/QtPopupPeer.h"
#include "platform/qt/QtPrint.h"
#include "platform/qt/QtStdPeers.h"
#include "platform/qt/QtWindowPeer.h"
#include "platform/ui/core/Clipbrd.h"
#include "platform/ui/core/Dialogs.h"
#include "platform/ui/core/Forms.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCursor>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QMimeDatabase>
#include <QPainter>
#include <QPalette>
#include <QProxyStyle>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionComboBox>
#include <QThread>
#include <QTimer>

#include <cstring>
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

    bool ProcessNonInputEvents() override {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
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

    std::vector<TMonitorArea> MonitorAreas() const override {
        std::vector<TMonitorArea> areas;
        auto rect = [](const QRect& r) {
            return TRect{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
        };
        QScreen* primary = QGuiApplication::primaryScreen();
        if (primary)
            areas.push_back({rect(primary->geometry()), rect(primary->availableGeometry()), true});
        for (QScreen* s : QGuiApplication::screens())
            if (s != primary)
                areas.push_back({rect(s->geometry()), rect(s->availableGeometry()), false});
        if (areas.empty()) return TBackend::MonitorAreas();
        return areas;
    }

    void SetScreenCursor(TCursor cursor) override {
        if (overridden) QGuiApplication::restoreOverrideCursor();
        overridden = cursor != crDefault;
        if (overridden) QGuiApplication::setOverrideCursor(ToQCursor(cursor));
    }

    void Beep() override { QApplication::beep(); }

    // Qt has no page setting: a page per notch is kept here.
    int WheelScrollLines() const override {
        return pageWheel ? -1 : QApplication::wheelScrollLines();
    }
    void SetWheelScrollLines(int lines) override {
        pageWheel = lines < 0;
        if (lines > 0) QApplication::setWheelScrollLines(lines);
    }

    void SetCursorPos(TPoint p) override { QCursor::setPos(p.X, p.Y); }

    bool FileIcon(const std::string& path, bool byName, std::string& kind, TBitmap& small,
                  TBitmap& large) override {
        const QString name = QString::fromStdString(path);
        QFileIconProvider provider;
        QIcon icon;
        const QFileInfo info(name);
        if (!byName && info.isDir()) {
            kind = "inode/directory";
            icon = provider.icon(QAbstractFileIconProvider::Folder);
        } else {
            QMimeDatabase db;
            const QMimeType mime = byName ? db.mimeTypeForFile(name, QMimeDatabase::MatchExtension)
                                          : db.mimeTypeForFile(info);
            kind = mime.name().toStdString();
            icon = QIcon::fromTheme(mime.iconName());
            if (icon.isNull()) icon = QIcon::fromTheme(mime.genericIconName());
            if (icon.isNull()) icon = provider.icon(QAbstractFileIconProvider::File);
        }
        if (icon.isNull()) return false;
        auto toBitmap = [&icon](int size, TBitmap& out) {
            QImage img = icon.pixmap(size, size)
                             .toImage()
                             .scaled(size, size)
                             .convertToFormat(QImage::Format_ARGB32);
            out.SetPixelFormat(pf32bit);
            out.SetAlphaFormat(afDefined);
            out.SetSize(size, size);
            for (int y = 0; y < size; ++y)
                std::memcpy(out.ScanLine(y), img.constScanLine(y), std::size_t(size) * 4);
        };
        toBitmap(16, small);
        toBitmap(32, large);
        return true;
    }

    bool overridden = false;
    bool pageWheel = false;
};

// The classic desktop colours, for the native widgets and boxes.
QPalette classicPalette() {
    QPalette p;
    auto set = [&p](QPalette::ColorRole role, TColor color) { p.setColor(role, ToQColor(color)); };
    set(QPalette::Window, clBtnFace);
    set(QPalette::WindowText, clWindowText);
    set(QPalette::Base, clWindow);
    set(QPalette::AlternateBase, clBtnFace);
    set(QPalette::Text, clWindowText);
    set(QPalette::Button, clBtnFace);
    set(QPalette::ButtonText, clBtnText);
    set(QPalette::Light, clBtnHighlight);
    set(QPalette::Midlight, cl3DLight);
    set(QPalette::Mid, clBtnShadow);
    set(QPalette::Dark, clBtnShadow);
    set(QPalette::Shadow, cl3DDkShadow);
    set(QPalette::Highlight, clHighlight);
    set(QPalette::HighlightedText, clHighlightText);
    set(QPalette::ToolTipBase, clInfoBk);
    set(QPalette::ToolTipText, clInfoText);
    set(QPalette::PlaceholderText, clGrayText);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, ToQColor(clGrayText));
    return p;
}

// Qt's classic style, with the field of an enabled drop-down list in the window colour (Qt
// gives it the button face), as the classic combo box has it.
class ClassicStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override {
        auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option);
        if (control != CC_ComboBox || !combo || combo->editable ||
            !(combo->state & State_Enabled)) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        // Frame and arrow button as Qt draws them, the field inside refilled, then the field's
        // focus look on top.
        QStyleOptionComboBox outer = *combo;
        outer.subControls &= ~SC_ComboBoxEditField;
        QProxyStyle::drawComplexControl(control, &outer, painter, widget);
        QRect field = combo->rect.adjusted(2, 2, -2, -2);
        field.setRight(subControlRect(control, combo, SC_ComboBoxArrow, widget).left() - 1);
        painter->fillRect(field, combo->palette.brush(QPalette::Base));
        QStyleOptionComboBox edit = *combo;
        edit.subControls &= SC_ComboBoxEditField;
        QProxyStyle::drawComplexControl(control, &edit, painter, widget);
    }
};

// The standard controls' look: the classic style where Qt has it, in the classic colours.
void useClassicLook() {
    if (QStyle* classic = QStyleFactory::create(QStringLiteral("Windows")))
        QApplication::setStyle(new ClassicStyle(classic));
    QApplication::setPalette(classicPalette());
}

// Messages posted before an input event are handled before it, as the classic queue hands
// out posted messages before input: a character the grid posts to the editor it opens comes
// before the next key, however long opening the editor took.
class PostedBeforeInput : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            if (!draining_ && Application) {
                draining_ = true;
                // Bounded: a handler that posts again is served by the loop, not here.
                for (int i = 0; i < 64 && Application->ProcessPostedMessage(); ++i) {
                }
                draining_ = false;
            }
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool draining_ = false;
};

QtBackend backend;
TQtDialogService dialogs;
PostedBeforeInput* postedBeforeInput = nullptr;
std::unique_ptr<QApplication> app;
} // namespace

void RegisterQtPeerClass(const std::string& peerClass, TQtPeerMaker maker) {
    makers()[peerClass] = std::move(maker);
}

void InitQtBackend(int& argc, char** argv) {
    if (app) return;
    app = std::make_unique<QApplication>(argc, argv);
    postedBeforeInput = new PostedBeforeInput;
    app->installEventFilter(postedBeforeInput);
    useClassicLook();
    RegisterQtStdPeers();
    RegisterQtPopupPeer();
    auto custom = [](TWinControl* c) -> std::unique_ptr<TWindowPeer> {
        return std::make_unique<TQtCustomPeer>(c);
    };
    for (const char* cls : {"WINDOW", "FORM", "HINT"})
        if (!makers().count(cls)) RegisterQtPeerClass(cls, custom);
    SetBackend(&backend);
    SetDialogService(&dialogs);
    SetClipboardAccess(QtClipboardAccess());
    SetPrintBackend(QtPrintBackend());
    InitQtAccessibility();
    // Without native windows (the offscreen platform) drags run in this process.
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        SetDragDriver(QtDragDriver());
    Application->Initialize();
}

void DoneQtBackend() {
    if (!app) return;
    SetBackend(nullptr);
    SetPrintBackend(nullptr);
    DoneQtAccessibility();
    SetDialogService(nullptr);
    SetClipboardAccess({});
    SetDragDriver(nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    app->removeEventFilter(postedBeforeInput);
    delete postedBeforeInput;
    postedBeforeInput = nullptr;
    app.reset();
}
