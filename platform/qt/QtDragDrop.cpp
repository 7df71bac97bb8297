#include "platform/qt/QtDragDrop.h"

#include "platform/qt/QtWindowPeer.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace {
Qt::DropActions actionsOf(DWORD effects) {
    Qt::DropActions a;
    if (effects & DROPEFFECT_COPY) a |= Qt::CopyAction;
    if (effects & DROPEFFECT_MOVE) a |= Qt::MoveAction;
    if (effects & DROPEFFECT_LINK) a |= Qt::LinkAction;
    return a;
}

DWORD effectOf(Qt::DropAction a) {
    switch (a) {
    case Qt::CopyAction:
        return DROPEFFECT_COPY;
    case Qt::MoveAction:
        return DROPEFFECT_MOVE;
    case Qt::LinkAction:
        return DROPEFFECT_LINK;
    default:
        return DROPEFFECT_NONE;
    }
}

DWORD keysOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    DWORD k = 0;
    if (buttons & Qt::LeftButton) k |= MK_LBUTTON;
    if (buttons & Qt::RightButton) k |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton) k |= MK_MBUTTON;
    if (modifiers & Qt::ShiftModifier) k |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier) k |= MK_CONTROL;
    if (modifiers & Qt::AltModifier) k |= MK_ALT;
    return k;
}

// Where a drag event happens, on the screen.
TPoint screenPoint(TWinControl* Control, const QDropEvent& e) {
    const QPoint g = e.position().toPoint();
    auto* w = dynamic_cast<TQtWindowPeer*>(Control->Peer());
    const QPoint screen = w && w->Widget() ? w->Widget()->mapToGlobal(g) : g;
    return {screen.x(), screen.y()};
}

class QtDriver : public TDragDriver {
public:
    HRESULT DoDragDrop(const std::shared_ptr<IDataObject>& DataObj,
                       const std::shared_ptr<IDropSource>& DropSource, DWORD OkEffects,
                       DWORD& Effect) override {
        QWidget* from = QApplication::widgetAt(QCursor::pos());
        if (!from) from = QApplication::activeWindow();
        if (!from) return DRAGDROP_S_CANCEL;
        auto* drag = new QDrag(from);
        drag->setMimeData(DataObjectToMime(*DataObj).release());
        QObject::connect(drag, &QDrag::actionChanged,
                         [DropSource](Qt::DropAction a) { DropSource->GiveFeedback(effectOf(a)); });
        const Qt::DropAction done = drag->exec(actionsOf(OkEffects), Qt::MoveAction);
        // The source hears of the released button, as at the end of a drag in this process.
        DropSource->QueryContinueDrag(false, 0);
        Effect = effectOf(done) & OkEffects;
        return done == Qt::IgnoreAction ? DRAGDROP_S_CANCEL : DRAGDROP_S_DROP;
    }
};

// The data of the drag over a window, read once when it enters.
std::shared_ptr<TMemoryDataObject> entered;
} // namespace

QString ClipboardMimeName(const std::string& formatName) {
    return QStringLiteral("application/x-qt-windows-mime;value=\"%1\"")
        .arg(QString::fromStdString(formatName));
}

std::string ClipboardFormatName(const QString& mime) {
    static const QString prefix = QStringLiteral("application/x-qt-windows-mime;value=\"");
    if (!mime.startsWith(prefix) || !mime.endsWith(QLatin1Char('"'))) return "";
    return mime.mid(prefix.size(), mime.size() - prefix.size() - 1).toStdString();
}

std::unique_ptr<QMimeData> DataObjectToMime(IDataObject& DataObj) {
    auto mime = std::make_unique<QMimeData>();
    for (CLIPFORMAT f : DataObjectFormats(DataObj)) {
        const std::vector<std::uint8_t> bytes = DataObjectBytes(DataObj, f);
        if (f == CF_UNICODETEXT) {
            mime->setText(QString::fromStdString(WideBytesText(bytes.data(), bytes.size())));
        } else if (f == CF_TEXT) {
            if (!mime->hasText()) {
                std::string t(bytes.begin(), bytes.end());
                mime->setText(QString::fromStdString(t.substr(0, t.find('\0'))));
            }
        } else if (f == CF_HDROP) {
            QList<QUrl> urls;
            for (const std::string& name : ReadFileDropBlock(bytes.data(), bytes.size()))
                urls.append(QUrl::fromLocalFile(QString::fromStdString(name)));
            mime->setUrls(urls);
        } else if (const std::string name = GetClipboardFormatName(f); !name.empty()) {
            mime->setData(
                ClipboardMimeName(name),
                QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
        }
    }
    return mime;
}

std::shared_ptr<TMemoryDataObject> MimeToDataObject(const QMimeData& Mime) {
    auto data = std::make_shared<TMemoryDataObject>();
    for (const QString& format : Mime.formats()) {
        const std::string name = ClipboardFormatName(format);
        if (name.empty()) continue;
        const QByteArray b = Mime.data(format);
        data->SetFormat(CLIPFORMAT(RegisterClipboardFormat(name)),
                        std::vector<std::uint8_t>(b.begin(), b.end()));
    }
    std::vector<std::string> files;
    std::string url;
    for (const QUrl& u : Mime.urls()) {
        if (u.isLocalFile())
            files.push_back(u.toLocalFile().toStdString());
        else if (url.empty())
            url = u.toString().toStdString();
    }
    if (!files.empty()) data->SetFiles(files);
    // Only real text: Qt also reads a list of files as text, which a dropped file is not.
    if (Mime.hasFormat(QStringLiteral("text/plain"))) {
        data->SetText(Mime.text().toStdString());
    } else if (!url.empty()) {
        data->SetText(url);
    }
    if (!url.empty()) {
        std::vector<std::uint8_t> bytes(url.begin(), url.end());
        bytes.push_back(0);
        data->SetFormat(CLIPFORMAT(RegisterClipboardFormat("UniformResourceLocator")),
                        std::move(bytes));
    }
    return data;
}

TDragDriver* QtDragDriver() {
    static QtDriver driver;
    return &driver;
}

bool QtDragEvent(TWinControl* Control, QEvent* Event) {
    if (!Control || !Control->HandleAllocated()) return false;
    std::shared_ptr<IDropTarget> target = FindDropTarget(Control->Handle());
    if (!target) return false;
    switch (Event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* e = static_cast<QDragMoveEvent*>(Event);
        const TPoint pt = screenPoint(Control, *e);
        const DWORD keys = keysOf(e->buttons(), e->modifiers());
        DWORD effect = 0;
        for (Qt::DropAction a : {Qt::CopyAction, Qt::MoveAction, Qt::LinkAction})
            if (e->possibleActions() & a) effect |= effectOf(a);
        if (Event->type() == QEvent::DragEnter) {
            entered = MimeToDataObject(*e->mimeData());
            target->DragEnter(entered, keys, pt, effect);
        } else {
            target->DragOver(keys, pt, effect);
        }
        if (effect == DROPEFFECT_NONE) {
            e->ignore();
        } else {
            e->setDropAction(effect & DROPEFFECT_MOVE   ? Qt::MoveAction
                             : effect & DROPEFFECT_COPY ? Qt::CopyAction
                                                        : Qt::LinkAction);
            e->accept();
        }
        return true;
    }
    case QEvent::DragLeave:
        target->DragLeave();
        entered.reset();
        return true;
    case QEvent::Drop: {
        auto* e = static_cast<QDropEvent*>(Event);
        DWORD effect = effectOf(e->dropAction());
        auto data = MimeToDataObject(*e->mimeData());
        target->Drop(data, keysOf(e->buttons(), e->modifiers()), screenPoint(Control, *e), effect);
        entered.reset();
        if (effect == DROPEFFECT_NONE) {
            e->ignore();
        } else {
            e->setDropAction(effect & DROPEFFECT_MOVE ? Qt::MoveAction : Qt::CopyAction);
            e->accept();
        }
        return true;
    }
    default:
        return false;
    }
}
