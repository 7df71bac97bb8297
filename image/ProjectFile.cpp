#include "image/ProjectFile.h"

#include "platform/files/Files.h"

#include <cstdint>

namespace {

// Parses a text by the image rule into its sign, magnitude and radix; false when it does not
// convert or its magnitude exceeds limit.
bool parseImageInt(std::string_view text, std::uint64_t limit, bool& negative, bool& hex,
                   std::uint64_t& magnitude) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    hex = false;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == text.size()) return false;
    magnitude = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        const std::uint64_t radix = hex ? 16 : 10;
        if (magnitude > (limit - std::uint64_t(digit)) / radix) return false;
        magnitude = magnitude * radix + std::uint64_t(digit);
    }
    return true;
}

} // namespace

bool TryImageInt(std::string_view text, int& value) {
    bool negative, hex;
    std::uint64_t magnitude;
    if (!parseImageInt(text, 0xFFFFFFFFull, negative, hex, magnitude)) return false;
    if (hex) {
        // Any 32-bit pattern; a sign negates it in 32 bits.
        std::uint32_t bits = std::uint32_t(magnitude);
        if (negative) bits = ~bits + 1u;
        value = std::int32_t(bits);
        return true;
    }
    if (magnitude > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return false;
    value = std::int32_t(negative ? -std::int64_t(magnitude) : std::int64_t(magnitude));
    return true;
}

bool TryImageInt64(std::string_view text, std::int64_t& value) {
    bool negative, hex;
    std::uint64_t magnitude;
    if (!parseImageInt(text, ~0ull, negative, hex, magnitude)) return false;
    if (hex) {
        value = std::int64_t(negative ? ~magnitude + 1u : magnitude);
        return true;
    }
    if (magnitude > (negative ? 0x8000000000000000ull : 0x7FFFFFFFFFFFFFFFull)) return false;
    value = negative ? std::int64_t(~magnitude + 1u) : std::int64_t(magnitude);
    return true;
}

int ImageIntDef(std::string_view text, int def) {
    int value;
    return TryImageInt(text, value) ? value : def;
}

int ImageInt(std::string_view text) {
    int value;
    if (!TryImageInt(text, value))
        throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
    return value;
}

bool Load_Project_File(TXMLDocument& doc, const std::string& path, TXmlNode& root) {
    if (!FileExists(path)) return false;
    try {
        doc.SetActive(true);
        doc.LoadFromFile(path);
    } catch (const Exception& e) {
        throw EImageError(path + ": " + e.Message());
    }
    root = doc.DocumentElement();
    if (!root) throw EImageError(path + ": the file has no root element");
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
        throw EImageError(Format("%s: the key \"%s\" is missing", path, std::string(name)));
    int value;
    if (!TryImageInt(text, value))
        throw EImageError(Format("%s: the key \"%s\" holds \"%s\", which is not a number", path,
                                 std::string(name), text));
    return value;
}

std::vector<TXmlNode> Element_Children(const TXmlNode& node) {
    std::vector<TXmlNode> elements;
    const TXmlNodeList children = node.ChildNodes();
    for (int i = 0; i < children.Count(); ++i)
        if (children[i].NodeType() == ntElement) elements.push_back(children[i]);
    return elements;
}

TXmlNode Find_Section(const TXmlNode& root, std::string_view name, const std::string& path) {
    const TXmlNode section = root.ChildNodes().FindNode(name);
    if (!section || section.NodeType() != ntElement)
        throw EImageError(Format("%s: the section \"%s\" is missing", path, std::string(name)));
    return section;
}

void Refuse_Rows(const std::string& path, std::string_view table, int limit) {
    throw EImageError(Format("%s: more than %d rows; the %s holds %d entries", path, limit,
                             std::string(table), limit));
}

std::string TProject_Row::Text(std::string_view name) const {
    std::string text;
    if (!Try_Text(name, text))
        throw EImageError(
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
        Refuse(Format("the attribute \"%s\" holds \"%s\", which is not a number", std::string(name),
                      text));
    return value;
}

std::int64_t TProject_Row::Strict_Int64(std::string_view name) const {
    const std::string text = Text(name);
    std::int64_t value;
    if (!TryImageInt64(text, value))
        Refuse(Format("the attribute \"%s\" holds \"%s\", which is not a number", std::string(name),
                      text));
    return value;
}

void TProject_Row::Refuse(const std::string& reason) const {
    throw EImageError(Format("%s: row %d: %s", path_, index_ + 1, reason));
}

bool TProject_Row::Is(std::string_view name, std::string_view literal) const {
    std::string text;
    return Try_Text(name, text) && text == literal;
}

bool TProject_Row::Is_Upper(std::string_view name, std::string_view literal) const {
    std::string text;
    return Try_Text(name, text) && UpperCase(text) == literal;
}
