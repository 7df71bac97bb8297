#include "grid/data/GridFileText.h"

#include "platform/base/Clock.h"
#include "platform/ui/core/Forms.h"

#include <cmath>
#include <cstring>

TGridFileText DecodeGridText(std::string_view Bytes) {
    TGridFileText out;
    const TTextEncoding bom = DetectTextEncoding(Bytes);
    if (bom != TTextEncoding::Ansi) {
        out.Encoding = {bom, true};
        out.Text = DecodeText(Bytes);
        return out;
    }
    bool ascii = true;
    for (unsigned char c : Bytes)
        if (c >= 0x80) {
            ascii = false;
            break;
        }
    if (!ascii && IsValidUtf8(Bytes)) {
        out.Encoding = {TTextEncoding::Utf8, false};
        out.Text = std::string(Bytes);
        return out;
    }
    out.Encoding = gteAnsi;
    out.Text = ascii ? std::string(Bytes) : DecodeText(Bytes);
    return out;
}

TGridFileText ReadGridTextFile(const std::string& FileName) {
    return DecodeGridText(ReadBinaryFile(FileName));
}

std::string EncodeGridText(std::string_view Text, TGridTextEncoding Encoding) {
    if (Encoding.Encoding == TTextEncoding::Ansi)
        return IsAnsiText(Text) ? EncodeText(Text, TTextEncoding::Ansi)
                                : EncodeText(Text, TTextEncoding::Utf8);
    std::string bytes = EncodeText(Text, Encoding.Encoding);
    if (!Encoding.ByteOrderMark) bytes.erase(0, Encoding.Encoding == TTextEncoding::Utf8 ? 3 : 2);
    return bytes;
}

void WriteGridTextFile(const std::string& FileName, std::string_view Text,
                       TGridTextEncoding Encoding) {
    WriteBinaryFile(FileName, EncodeGridText(Text, Encoding));
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
