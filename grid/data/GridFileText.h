#pragma once
// The text layer under the grid's file formats: text files read and written in their encodings,
// text split into lines, the progress report of long saves and loads, and the UTF-16 lines of
// the grid's text stream.
#include "platform/base/Classes.h"
#include "platform/files/Files.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// How a text file is (or is to be) encoded: a UTF encoding with or without its byte order mark,
// or the ANSI code page (Windows-1252).
struct TGridTextEncoding {
    TTextEncoding Encoding = TTextEncoding::Ansi;
    bool ByteOrderMark = false;
};
constexpr TGridTextEncoding gteAnsi{TTextEncoding::Ansi, false};
constexpr TGridTextEncoding gteUtf8{TTextEncoding::Utf8, true};
constexpr TGridTextEncoding gteUtf16{TTextEncoding::Utf16LE, true};

struct TGridFileText {
    std::string Text; // UTF-8, without the byte order mark
    TGridTextEncoding Encoding;
};

// A byte order mark selects its UTF encoding; without one, well-formed UTF-8 that is not plain
// ASCII is read as UTF-8 (as spreadsheet programs write it) and anything else as ANSI.
TGridFileText DecodeGridText(std::string Bytes);
// Raises the files layer's EFOpenError when the file cannot be read.
TGridFileText ReadGridTextFile(const std::string& FileName);
// Writes a text file as its text is built, through the files layer's safe writer (temporary
// file, renamed into place by Commit; nothing changes when Commit is not reached). Pieces of
// about a megabyte are written as they fill, in the encoding; ANSI text is held until Commit,
// which writes it as UTF-8 with its byte order mark when the code page lacks one of its
// characters, so that nothing is lost. Raises the files layer's errors.
class TGridTextWriter {
public:
    TGridTextWriter(const std::string& FileName, TGridTextEncoding Encoding);
    // The piece to append to; valid until the next Break.
    std::string& Text() { return pieces_.back(); }
    // Between two lines: hands on a full piece.
    void Break();
    void Commit();

private:
    void writePiece(const std::string& Piece);
    TSafeFileWriter file_;
    TGridTextEncoding encoding_;
    std::vector<std::string> pieces_;
};

// The lines of a text; CR LF, a lone LF and a lone CR each end a line, and a line end at the
// very end adds no empty line.
std::vector<std::string_view> SplitTextLines(std::string_view Text);
// Binary data read as text holds NUL characters; text files never do.
bool HoldsNul(std::string_view Text);

// Reports a percentage through the grid's file progress event when it differs from the last
// one reported: Done * 100 / Total (Total at least 1), to the nearest integer.
class TProgressReport {
public:
    TProgressReport(const std::function<void(TObject*, int)>& Event, TObject* Sender)
        : event_(Event), sender_(Sender) {}
    bool Active() const { return bool(event_); }
    void Report(std::int64_t Done, std::int64_t Total);

private:
    const std::function<void(TObject*, int)>& event_;
    TObject* sender_;
    int last_ = -1;
};

// Lets pending window messages through now and then during a long load, so that the window
// stays painted; at most once per 50 ms of the application clock.
class TLoadPump {
public:
    TLoadPump();
    void Step();

private:
    std::uint64_t last_;
};

// The grid's text stream holds lines of 16-bit little-endian units ended by units 13 and 10.
void AppendUtf16Line(std::string& Out, std::string_view Line);
// Reads a line (up to a CR unit, whose following unit is taken as the line feed) from Bytes
// at Pos and moves Pos past it; false at the end of the bytes.
bool ReadUtf16Line(std::string_view Bytes, std::size_t& Pos, std::string& Line);
