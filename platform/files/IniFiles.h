#pragma once
// An INI file: "[Section]" headers and "Ident=Value" lines, read whole when opened and written
// back whole (temporary file, then rename) by UpdateFile. Names compare without case.
#include <string>
#include <utility>
#include <vector>

class TIniFile {
public:
    // A missing or unreadable file starts empty.
    explicit TIniFile(std::string FileName);
    const std::string& FileName() const { return file_; }
    bool ValueExists(const std::string& Section, const std::string& Ident) const;
    std::string ReadString(const std::string& Section, const std::string& Ident,
                           const std::string& Default) const;
    // Default when the value is missing or not a whole number.
    int ReadInteger(const std::string& Section, const std::string& Ident, int Default) const;
    void WriteString(const std::string& Section, const std::string& Ident,
                     const std::string& Value);
    void WriteInteger(const std::string& Section, const std::string& Ident, int Value);
    // Raises the files layer's error when the file cannot be written.
    void UpdateFile() const;

private:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> values;
    };
    const Section* find(const std::string& name) const;
    std::string file_;
    std::vector<Section> sections_;
};
