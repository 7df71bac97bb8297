#include "platform/qt/QtDragDrop.h"

#include "platform/qt/QtWindowPeer.h"
#include "platform/testing/UiTest.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

std::string textOf(IDataObject& d) {
    const auto b = DataObjectBytes(d, CF_TEXT);
    return b.empty() ? "" : std::string(reinterpret_cast<const char*>(b.data()));
}

TEST(QtDragDropTest, DataTravelsThroughMimeDataAndBack) {
    const CLIPFORMAT cells = CLIPFORMAT(RegisterClipboardFormat("TQorStringGrid Cells"));
    TMemoryDataObject out;
    out.SetText("a\tb\xC3\xA9");
    out.SetFiles({"/tmp/one.csv"});
    out.SetFormat(cells, {3, 0, 0, 0, 0, 0, 0, 0, 'x', 'y', 'z'});
    const std::unique_ptr<QMimeData> mime = DataObjectToMime(out);
    EXPECT_EQ(mime->text(), QString::fromUtf8("a\tb\xC3\xA9"));
    ASSERT_EQ(mime->urls().size(), 1);
    EXPECT_EQ(mime->urls()[0].toLocalFile(), QStringLiteral("/tmp/one.csv"));

    const auto back = MimeToDataObject(*mime);
    EXPECT_EQ(textOf(*back), "a\tb\xC3\xA9");
    ASSERT_NE(back->Bytes(cells), nullptr);
    EXPECT_EQ(*back->Bytes(cells), *out.Bytes(cells));
    EXPECT_EQ(*back->Bytes(CF_HDROP), *out.Bytes(CF_HDROP));
}

TEST(QtDragDropTest, AWebAddressArrivesAsUrlAndText) {
    QMimeData mime;
    mime.setUrls({QUrl(QStringLiteral("http://127.0.0.1/x"))});
    const auto d = MimeToDataObject(mime);
    const CLIPFORMAT url = CLIPFORMAT(RegisterClipboardFormat("UniformResourceLocator"));
    EXPECT_TRUE(d->HasFormat(url));
    EXPECT_FALSE(d->HasFormat(CF_HDROP));
    EXPECT_EQ(textOf(*d), "http://127.0.0.1/x");
}

class Target : public IDropTarget {
public:
    std::string log;
    HRESULT DragEnter(const std::shared_ptr<IDataObject>&, DWORD, TPoint, DWORD& e) override {
        log += "enter;";
        e &= DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT DragOver(DWORD, TPoint, DWORD& e) override {
        e &= DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT DragLeave() override { return S_OK; }
    HRESULT Drop(const std::shared_ptr<IDataObject>& d, DWORD, TPoint, DWORD& e) override {
        log += "drop " + textOf(*d) + ";";
        e &= DROPEFFECT_COPY;
        return S_OK;
    }
};

TEST(QtDragDropTest, ANativeDropReachesTheTargetOfTheWindow) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 100);
    auto* box = new TCustomControl(&form);
    box->SetParent(&form);
    box->SetBounds(10, 10, 50, 50);
    form.Show();
    uitest::processMessages();
    auto target = std::make_shared<Target>();
    ASSERT_EQ(RegisterDragDrop(box->Handle(), target), S_OK);
    auto* widget = dynamic_cast<TQtWindowPeer*>(box->Peer())->Widget();
    QMimeData mime;
    mime.setText(QStringLiteral("native"));
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(widget, &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
    QDropEvent drop(QPointF(6, 6), Qt::CopyAction | Qt::MoveAction, &mime, Qt::NoButton,
                    Qt::NoModifier);
    QApplication::sendEvent(widget, &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(target->log, "enter;drop native;");
    RevokeDragDrop(box->Handle());
    // Without a registered target the window takes no drag.
    QDragEnterEvent again(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &again);
    EXPECT_FALSE(again.isAccepted());
}

} // namespace
