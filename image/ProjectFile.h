#pragma once
// How the image compiler reads project files: the integer conversion of project texts,
// loading a file to its root element, guarded keys and row attributes.
#include "platform/xml/XmlDoc.h"
#include "shell/state/ProjectInt.h"
#include "shell/state/ProjectXml.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A failure of the compile or of writing the bank files; the message names the file.
class EImageError : public Exception {
public:
    using Exception::Exception;
};
// The kinds of compile failure a caller can tell apart.
// A project file that is not well-formed XML or has no root element.
class EImageMalformedError : public EImageError {
public:
    using EImageError::EImageError;
};
// A key, section or attribute that is missing, or a value that cannot be read.
class EImageValueError : public EImageError {
public:
    using EImageError::EImageError;
};
// Rows or values that do not fit into the table or field of the image that holds them.
class EImageLimitError : public EImageError {
public:
    using EImageError::EImageError;
};

// Loads a project file into doc and returns its root element (the document element, so a
// declaration or a comment before it is passed over). False when the file does not exist.
// A file that is not well-formed raises EImageMalformedError with the parser's message; one
// that cannot be read (a folder, no permission) raises EImageError.
bool Load_Project_File(TXMLDocument& doc, const std::string& path, TXmlNode& root);

// The text of the key element name among the direct children of root; false when the
// element is missing or holds no plain text.
bool Key_Text(const TXmlNode& root, std::string_view name, std::string& text);
// The key read as an integer; def when it is missing or does not convert.
int Key_Int(const TXmlNode& root, std::string_view name, int def);
// The key read as an integer; raises EImageValueError naming path and the key when it is
// missing or does not convert.
int Key_Int_Strict(const TXmlNode& root, std::string_view name, const std::string& path);

// The section element name under root; raises EImageValueError naming path when it is
// missing.
TXmlNode Find_Section(const TXmlNode& root, std::string_view name, const std::string& path);
// Raises EImageLimitError for a file whose rows do not fit into the table that holds them.
[[noreturn]] void Refuse_Rows(const std::string& path, std::string_view table, int limit);

// A row being read, for attribute look-ups that name the file and row when they fail.
class TProject_Row {
public:
    TProject_Row(const TXmlNode& node, const std::string& path, int index)
        : node_(node), path_(path), index_(index) {}
    // The attribute's text; raises EImageValueError when the row has no such attribute.
    std::string Text(std::string_view name) const;
    // The attribute's text; false when it is absent (a guarded read).
    bool Try_Text(std::string_view name, std::string& text) const;
    // The attribute converted with default def; raises EImageValueError when it is absent.
    int Int(std::string_view name, int def) const;
    // The attribute converted with default def, also when it is absent.
    int Int_Guarded(std::string_view name, int def) const;
    // The attribute converted strictly; false when it is absent or does not convert.
    bool Try_Int(std::string_view name, int& value) const;
    bool Try_Int64(std::string_view name, std::int64_t& value) const;
    // The attribute converted strictly; raises EImageValueError naming the file, the row and
    // the attribute when it is absent or does not convert.
    int Strict_Int(std::string_view name) const;
    std::int64_t Strict_Int64(std::string_view name) const;
    // Raise EImageLimitError (a value past what the image holds) or EImageValueError (a value
    // that cannot be read) naming the file and the row, with the reason given.
    [[noreturn]] void Refuse(const std::string& reason) const;
    [[noreturn]] void Refuse_Value(const std::string& reason) const;
    // True when the attribute is present and equals literal exactly.
    bool Is(std::string_view name, std::string_view literal) const;
    // True when the attribute is present and its upper case equals literal.
    bool Is_Upper(std::string_view name, std::string_view literal) const;

private:
    TXmlNode node_;
    std::string path_;
    int index_;
};
