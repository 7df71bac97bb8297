#include "grid/data/GridFileText.h"

#include "platform/base/Clock.h"
#include "platform/ui/core/Forms.h"

#include <cmath>
#include <cstring>

namespace {
constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";
// The size at which a text writer hands a piece on.
constexpr std::size_t PieceSize = std::size_t(1) << 20;

// Whether the text is well-formed UTF-8, and whether it is plain ASCII; runs of ASCII are
// passed eight bytes at a time.
bool wellFormedUtf8(std::string_view s, bool& ascii) {
    ascii = true;
    const std::size_t n = s.size();
    std::size_t i = 0;
    while (i < n) {
        for (std::uint64_t w; i + 8 <= n; i += 8) {
            std::memcpy(&w, s.data() + i, 8);
            if (w & 0x8080808080808080ull) break;
        }
        if (i >= n) break;
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        ascii = false;
        const std::size_t len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        if (i + len > n || !IsValidUtf8(s.substr(i, len))) return false;
        i += len;
    }
    return true;
}
} // namespace

TGridFileText DecodeGridText(std::string Bytes) {
    TGridFileText out;
    const TTextEncoding bom = DetectTextEncoding(Bytes);
    bool ascii = true;
    if (bom == TTextEncoding::Utf8 && wellFormedUtf8(std::string_view(Bytes).substr(3), ascii)) {
        out.Encoding = gteUtf8;
        out.Text = std::move(Bytes);
        out.Text.erase(0, Utf8Mark.size());
    } else if (bom != TTextEncoding::Ansi) {
        out.Encoding = {bom, true};
        out.Text = DecodeText(Bytes);
    } else if (wellFormedUtf8(Bytes, ascii)) {
        out.Encoding = ascii ? gteAnsi : TGridTextEncoding{TTextEncoding::Utf8, false};
        out.Text = std::move(Bytes);
    } else {
        out.Encoding = gteAnsi;
        out.Text = DecodeText(Bytes);
    }
    return out;
}

TGridFileText ReadGridTextFile(const std::string& FileName) {
    return DecodeGridText(ReadBinaryFile(FileName));
}

TGridTextWriter::TGridTextWriter(const std::string& FileName, TGridTextEncoding Encoding)
    : file_(FileName), encoding_(Encoding) {
    const TTextEncoding e = encoding_.Encoding;
    if (encoding_.ByteOrderMark && e == TTextEncoding::Utf8) file_.Write(Utf8Mark);
    if (encoding_.ByteOrderMark && e == TTextEncoding::Utf16LE) file_.Write("\xFF\xFE");
    if (encoding_.ByteOrderMark && e == TTextEncoding::Utf16BE) file_.Write("\xFE\xFF");
    pieces_.emplace_back().reserve(PieceSize + PieceSize / 8);
}

void TGridTextWriter::writePiece(const std::string& Piece) {
    if (encoding_.Encoding == TTextEncoding::Utf8)
        file_.Write(Piece);
    else
        file_.Write(std::string_view(EncodeText(Piece, encoding_.Encoding)).substr(2));
}

void TGridTextWriter::Break() {
    if (pieces_.back().size() < PieceSize) return;
    if (encoding_.Encoding == TTextEncoding::Ansi) {
        pieces_.emplace_back().reserve(PieceSize + PieceSize / 8);
        return;
    }
    // The piece is written and its room used again.
    writePiece(pieces_.back());
    pieces_.back().clear();
}

void TGridTextWriter::Commit() {
    if (encoding_.Encoding != TTextEncoding::Ansi) {
        writePiece(pieces_.back());
    } else {
        bool ascii = true, ansi = true;
        for (const std::string& p : pieces_) {
            bool pieceAscii = true;
            wellFormedUtf8(p, pieceAscii);
            ascii = ascii && pieceAscii;
            ansi = ansi && (pieceAscii || IsAnsiText(p));
        }
        if (!ansi) file_.Write(Utf8Mark);
        for (const std::string& p : pieces_) {
            if (ascii || !ansi)
                file_.Write(p);
            else
                file_.Write(EncodeText(p, TTextEncoding::Ansi));
        }
    }
    file_.Commit();
}

std::vector<std::string_view> SplitTextLines(std::string_view Text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    const std::size_t n = Text.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char c = Text[i];
        if (c != '\r' && c != '\n') continue;
        lines.push_back(Text.substr(start, i - start));
        if (c == '\r' && i + 1 < n && Text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < n) lines.push_back(Text.substr(start));
    return lines;
}

bool HoldsNul(std::string_view Text) {
    return std::memchr(Text.data(), 0, Text.size()) != nullptr;
}

void TProgressReport::Report(std::int64_t Done, std::int64_t Total) {
    if (!event_) return;
    const int p = int(std::nearbyint(double(Done) * 100.0 / double(Total < 1 ? 1 : Total)));
    if (p == last_) return;
    last_ = p;
    event_(sender_, p);
}

TLoadPump::TLoadPump() : last_(GetTickCount64()) {}

void TLoadPump::Step() {
    const std::uint64_t now = GetTickCount64();
    if (now - last_ < 50) return;
    last_ = now;
    if (Application) Application->ProcessMessages();
}

void AppendUtf16Line(std::string& Out, std::string_view Line) {
    for (char16_t u : Utf8ToWide(Line)) {
        Out += char(u & 0xFF);
        Out += char(u >> 8);
    }
    Out.append("\r\0\n\0", 4);
}

bool ReadUtf16Line(std::string_view Bytes, std::size_t& Pos, std::string& Line) {
    if (Pos + 1 >= Bytes.size()) return false;
    std::u16string units;
    while (Pos + 1 < Bytes.size()) {
        const char16_t u = char16_t(std::uint8_t(Bytes[Pos]) | std::uint8_t(Bytes[Pos + 1]) << 8);
        Pos += 2;
        if (u == 13) {
            if (Pos + 1 < Bytes.size()) Pos += 2; // the line feed
            break;
        }
        units += u;
    }
    Line = WideToUtf8(units);
    return true;
}
