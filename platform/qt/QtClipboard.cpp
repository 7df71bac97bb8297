#include "platform/qt/QtClipboard.h"

#include "platform/base/SysUtils.h"
#include "platform/qt/QtDragDrop.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <string_view>

namespace {
constexpr const char* htmlFormat = "HTML Format";
constexpr const char* rtfFormat = "Rich Text Format";
const QString rtfMime = QStringLiteral("text/rtf");

// The number after Key in the HTML format's header; -1 when absent.
long long headerNumber(std::string_view bytes, std::string_view key) {
    const std::size_t p = bytes.find(key);
    if (p == std::string_view::npos) return -1;
    long long v = 0;
    std::size_t i = p + key.size();
    if (i >= bytes.size() || bytes[i] < '0' || bytes[i] > '9') return -1;
    for (; i < bytes.size() && bytes[i] >= '0' && bytes[i] <= '9'; ++i)
        v = v * 10 + (bytes[i] - '0');
    return v;
}

// The document the HTML format's header points at; the bytes themselves without a header.
std::string_view htmlDocument(std::string_view bytes) {
    const long long start = headerNumber(bytes, "StartHTML:");
    const long long end = headerNumber(bytes, "EndHTML:");
    if (start < 0 || end < start || std::size_t(end) > bytes.size()) return bytes;
    return bytes.substr(std::size_t(start), std::size_t(end - start));
}

// Rich text ends at its zero byte on the clipboard.
std::string_view withoutZero(std::string_view bytes) {
    return bytes.substr(0, bytes.find('\0'));
}

QByteArray toBytes(std::string_view s) {
    return QByteArray(s.data(), qsizetype(s.size()));
}

bool readClipboard(TClipboardContents& contents) {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data) return false;
    if (data->hasText()) contents.Text = data->text().toStdString();
    bool hasRtf = false;
    for (const QString& format : data->formats()) {
        const std::string name = ClipboardFormatName(format);
        if (name.empty()) continue;
        const QByteArray b = data->data(format);
        contents.Named.emplace_back(name, std::string(b.constData(), std::size_t(b.size())));
        hasRtf = hasRtf || SameText(name, rtfFormat);
    }
    if (!hasRtf && data->hasFormat(rtfMime)) {
        const QByteArray b = data->data(rtfMime);
        contents.Named.emplace_back(rtfFormat,
                                    std::string(b.constData(), std::size_t(b.size())) + '\0');
    }
    return true;
}

void writeClipboard(const TClipboardContents& contents) {
    auto* data = new QMimeData;
    if (contents.Text) data->setText(QString::fromStdString(*contents.Text));
    for (const auto& [name, bytes] : contents.Named) {
        data->setData(ClipboardMimeName(name), toBytes(bytes));
        if (SameText(name, htmlFormat))
            data->setHtml(QString::fromUtf8(toBytes(htmlDocument(bytes))));
        else if (SameText(name, rtfFormat))
            data->setData(rtfMime, toBytes(withoutZero(bytes)));
    }
    QGuiApplication::clipboard()->setMimeData(data);
}
} // namespace

TClipboardAccess QtClipboardAccess() {
    return {readClipboard, writeClipboard};
}
