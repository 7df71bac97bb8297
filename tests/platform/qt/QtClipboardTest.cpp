#include "platform/qt/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <gtest/gtest.h>

#include <string>

namespace {

UINT format(const char* name) {
    return RegisterClipboardFormat(name);
}

TEST(QtClipboardTest, FormatsSetTogetherReachTheDesktopClipboardAndComeBack) {
    const UINT cells = format("TQorStringGrid Cells");
    const UINT html = format("HTML Format");
    const std::string wrapped = "Version:1.0\r\nStartHTML:00000059\r\nEndHTML:00000075\r\n"
                                "<p>x</p><table>t</table>";
    Clipboard()->Open();
    Clipboard()->SetAsText("a\tb\r\nc\td\r\n");
    Clipboard()->SetAsBytes(cells, std::string("\x01\x00z", 3));
    Clipboard()->SetAsBytes(html, wrapped);
    Clipboard()->Close();

    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_EQ(mime->text(), QStringLiteral("a\tb\r\nc\td\r\n"));
    // Other programs read the HTML document the header points at.
    EXPECT_EQ(mime->html(), QStringLiteral("<table>t</table>"));

    EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
    EXPECT_TRUE(Clipboard()->HasFormat(cells));
    EXPECT_EQ(Clipboard()->GetAsBytes(cells), std::string("\x01\x00z", 3));
    EXPECT_EQ(Clipboard()->GetAsBytes(html), wrapped);
    EXPECT_EQ(Clipboard()->AsText(), "a\tb\r\nc\td\r\n");

    // A setter outside Open and Close replaces everything.
    Clipboard()->SetAsText("only");
    EXPECT_FALSE(Clipboard()->HasFormat(cells));
    EXPECT_EQ(Clipboard()->AsText(), "only");
}

TEST(QtClipboardTest, WhatAnotherProgramCopiedReadsInOurFormats) {
    auto* mime = new QMimeData;
    mime->setText(QString::fromUtf8("x\xC3\xA9\ty"));
    mime->setData(QStringLiteral("text/rtf"), QByteArray("{\\rtf1 x}"));
    QGuiApplication::clipboard()->setMimeData(mime);
    EXPECT_EQ(Clipboard()->AsText(), "x\xC3\xA9\ty");
    EXPECT_FALSE(Clipboard()->HasFormat(format("TQorStringGrid Cells")));
    EXPECT_EQ(Clipboard()->GetAsBytes(format("Rich Text Format")), std::string("{\\rtf1 x}\0", 10));

    Clipboard()->Clear();
    EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
}

} // namespace
