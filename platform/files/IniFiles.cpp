#include "platform/files/IniFiles.h"

#include "platform/base/SysUtils.h"
#include "platform/files/Files.h"

#include <sstream>

namespace {
// A value with surrounding blanks, or one that is itself quoted, is kept in double quotes,
// which reading removes.
bool needsQuotes(const std::string& v) {
    return !v.empty() &&
           (v.front() == ' ' || v.back() == ' ' || v.front() == '\t' || v.back() == '\t' ||
            (v.size() >= 2 && v.front() == '"' && v.back() == '"'));
}
std::string unquoted(std::string v) {
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') return v.substr(1, v.size() - 2);
    return v;
}
} // namespace

TIniFile::TIniFile(std::string FileName) : file_(std::move(FileName)) {
    if (!FileExists(file_)) return;
    std::string text;
    try {
        text = ReadTextFile(file_);
    } catch (const Exception&) {
        return; // an unreadable file reads as empty, as a missing one
    }
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string t = Trim(line);
        if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
            sections_.push_back({t.substr(1, t.size() - 2), {}});
            continue;
        }
        auto eq = t.find('=');
        if (sections_.empty() || eq == std::string::npos || t[0] == ';') continue;
        sections_.back().values.emplace_back(Trim(t.substr(0, eq)),
                                             unquoted(Trim(t.substr(eq + 1))));
    }
}

const TIniFile::Section* TIniFile::find(const std::string& name) const {
    for (const auto& s : sections_)
        if (SameText(s.name, name)) return &s;
    return nullptr;
}

bool TIniFile::ValueExists(const std::string& Section, const std::string& Ident) const {
    if (const auto* s = find(Section))
        for (const auto& v : s->values)
            if (SameText(v.first, Ident)) return true;
    return false;
}

std::string TIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                 const std::string& Default) const {
    if (const auto* s = find(Section))
        for (const auto& v : s->values)
            if (SameText(v.first, Ident)) return v.second;
    return Default;
}

int TIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int Default) const {
    return StrToIntDef(ReadString(Section, Ident, ""), Default);
}

void TIniFile::WriteString(const std::string& Section, const std::string& Ident,
                           const std::string& Value) {
    auto* s = const_cast<TIniFile::Section*>(find(Section));
    if (!s) {
        sections_.push_back({Section, {}});
        s = &sections_.back();
    }
    for (auto& v : s->values)
        if (SameText(v.first, Ident)) {
            v.second = Value;
            return;
        }
    s->values.emplace_back(Ident, Value);
}

void TIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int Value) {
    WriteString(Section, Ident, std::to_string(Value));
}

void TIniFile::UpdateFile() const {
    std::string out;
    for (const auto& s : sections_) {
        out += "[" + s.name + "]\r\n";
        for (const auto& v : s.values)
            out += v.first + "=" + (needsQuotes(v.second) ? "\"" + v.second + "\"" : v.second) +
                   "\r\n";
    }
    WriteBinaryFile(file_, out);
}
