#include "image/ProjectFile.h"

#include "platform/files/Files.h"

bool Load_Project_File(TXMLDocument& doc, const std::string& path, TXmlNode& root) {
    try {
        // Only a path with nothing behind it is a missing file; a folder or FIFO is an error.
        if (!FileExistsStrict(path)) return false;
        doc.SetActive(true);
        doc.LoadFromFile(path);
    } catch (const EXMLParseError& e) {
        throw EImageMalformedError(path + ": " + e.Message());
    } catch (const Exception& e) {
        throw EImageError(path + ": " + e.Message());
    }
    root = doc.DocumentElement();
    if (!root) throw EImageMalformedError(path + ": the file has no root element");
    return true;
}

bool Key_Text(const TXmlNode& root, std::string_view name, std::string& text) {
    const TXmlNode key = root.ChildNodes().FindNode(name);
    if (!key || key.NodeType() != ntElement) return false;
    try {
        text = key.Text();
    } catch (const EXMLDocError&) {
        return false; // an element with child elements holds no value: the key's default
    }
    return true;
}

int Key_Int(const TXmlNode& root, std::string_view name, int def) {
    std::string text;
    return Key_Text(root, name, text) ? ImageIntDef(text, def) : def;
}

int Key_Int_Strict(const TXmlNode& root, std::string_view name, const std::string& path) {
    std::string text;
    if (!Key_Text(root, name, text))
        throw EImageValueError(Format("%s: the key \"%s\" is missing", path, std::string(name)));
    int value;
    if (!TryImageInt(text, value))
        throw EImageValueError(Format("%s: the key \"%s\" holds \"%s\", which is not a number",
                                      path, std::string(name), text));
    return value;
}

TXmlNode Find_Section(const TXmlNode& root, std::string_view name, const std::string& path) {
    const TXmlNode section = root.ChildNodes().FindNode(name);
    if (!section || section.NodeType() != ntElement)
        throw EImageValueError(
            Format("%s: the section \"%s\" is missing", path, std::string(name)));
    return section;
}

void Refuse_Rows(const std::string& path, std::string_view table, int limit) {
    throw EImageLimitError(Format("%s: more than %d rows; the %s holds %d entries", path, limit,
                                  std::string(table), limit));
}

std::string TProject_Row::Text(std::string_view name) const {
    std::string text;
    if (!Try_Text(name, text))
        throw EImageValueError(
            Format("%s: row %d has no attribute \"%s\"", path_, index_ + 1, std::string(name)));
    return text;
}

bool TProject_Row::Try_Text(std::string_view name, std::string& text) const {
    const TXmlValue value = node_.GetAttribute(name);
    if (value.IsNull()) return false;
    text = value.AsString();
    return true;
}

int TProject_Row::Int(std::string_view name, int def) const {
    return ImageIntDef(Text(name), def);
}

int TProject_Row::Int_Guarded(std::string_view name, int def) const {
    std::string text;
    return Try_Text(name, text) ? ImageIntDef(text, def) : def;
}

bool TProject_Row::Try_Int(std::string_view name, int& value) const {
    std::string text;
    return Try_Text(name, text) && TryImageInt(text, value);
}

bool TProject_Row::Try_Int64(std::string_view name, std::int64_t& value) const {
    std::string text;
    return Try_Text(name, text) && TryImageInt64(text, value);
}

int TProject_Row::Strict_Int(std::string_view name) const {
    const std::string text = Text(name);
    int value;
    if (!TryImageInt(text, value))
        Refuse_Value(Format("the attribute \"%s\" holds \"%s\", which is not a number",
                            std::string(name), text));
    return value;
}

std::int64_t TProject_Row::Strict_Int64(std::string_view name) const {
    const std::string text = Text(name);
    std::int64_t value;
    if (!TryImageInt64(text, value))
        Refuse_Value(Format("the attribute \"%s\" holds \"%s\", which is not a number",
                            std::string(name), text));
    return value;
}

void TProject_Row::Refuse(const std::string& reason) const {
    throw EImageLimitError(Format("%s: row %d: %s", path_, index_ + 1, reason));
}

void TProject_Row::Refuse_Value(const std::string& reason) const {
    throw EImageValueError(Format("%s: row %d: %s", path_, index_ + 1, reason));
}

bool TProject_Row::Is(std::string_view name, std::string_view literal) const {
    std::string text;
    return Try_Text(name, text) && text == literal;
}

bool TProject_Row::Is_Upper(std::string_view name, std::string_view literal) const {
    std::string text;
    return Try_Text(name, text) && UpperCase(text) == literal;
}
