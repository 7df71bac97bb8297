#include "platform/xml/XmlDoc.h"

#include "platform/files/Files.h"

#include <algorithm>
#include <expat.h>
#include <utility>
#include <vector>

namespace xmldetail {
struct NodeData {
    NodeData(TNodeType t, std::string n, std::string v)
        : type(t), name(std::move(n)), value(std::move(v)) {}
    TNodeType type;
    std::string name;  // elements and processing instructions
    std::string value; // text, CDATA, comment, processing instruction, doctype
    std::vector<std::pair<std::string, std::string>> attrs;
    std::vector<std::shared_ptr<NodeData>> children;
    std::weak_ptr<NodeData> parent;
};
} // namespace xmldetail

using xmldetail::NodeData;

namespace {

// Deeper documents are refused: the DOM and the writer walk them recursively.
constexpr int maxDepth = 2000;

std::shared_ptr<NodeData> makeNode(TNodeType t, std::string name = {}, std::string value = {}) {
    return std::make_shared<NodeData>(t, std::move(name), std::move(value));
}

bool isNameStart(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' || c >= 0x80;
}

void checkName(const std::string& name) {
    bool ok = !name.empty() && isNameStart(static_cast<unsigned char>(name[0]));
    for (unsigned char c : name)
        if (!(isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.')) ok = false;
    if (!ok) throw EXMLDocError(Format("Invalid XML name \"%s\"", name));
}

bool mayHoldChild(TNodeType parent, TNodeType child) {
    switch (parent) {
    case ntDocument:
        return child == ntElement || child == ntComment || child == ntProcessingInstr ||
               child == ntDocType;
    case ntElement:
        return child == ntElement || child == ntText || child == ntCData || child == ntComment ||
               child == ntProcessingInstr;
    default:
        return false;
    }
}

void detach(const std::shared_ptr<NodeData>& node) {
    if (auto p = node->parent.lock()) {
        auto& c = p->children;
        c.erase(std::remove(c.begin(), c.end(), node), c.end());
    }
    node->parent.reset();
}

// --- reading ----------------------------------------------------------------------------
// Windows-1252 is read only when the declaration names it; the five bytes the code page leaves
// unassigned are refused like any other byte that is not valid in the document's encoding.
int XMLCALL windows1252(void*, const XML_Char* name, XML_Encoding* info) {
    if (!SameText(name, "windows-1252")) return XML_STATUS_ERROR;
    static const int high[32] = {0x20AC, -1,     0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, -1,     0x017D, -1,
                                 -1,     0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, -1,     0x017E, 0x0178};
    for (int b = 0; b < 256; ++b) info->map[b] = b >= 0x80 && b < 0xA0 ? high[b - 0x80] : b;
    info->data = nullptr;
    info->convert = nullptr;
    info->release = nullptr;
    return XML_STATUS_OK;
}

bool isBlank(const std::string& s) {
    return s.find_first_not_of(" \t\r\n") == std::string::npos;
}

// Builds the node tree from the parser's events.
class TreeBuilder {
public:
    TreeBuilder(XML_Parser parser, std::size_t maxElements)
        : parser_(parser), doc_(makeNode(ntDocument)), maxElements_(maxElements) {
        open_.push_back(doc_);
        XML_SetUserData(parser, this);
        XML_SetElementHandler(parser, onStart, onEnd);
        XML_SetCharacterDataHandler(parser, onText);
        XML_SetCdataSectionHandler(parser, onCDataStart, onCDataEnd);
        XML_SetCommentHandler(parser, onComment);
        XML_SetProcessingInstructionHandler(parser, onPI);
        XML_SetXmlDeclHandler(parser, onDeclaration);
        XML_SetStartDoctypeDeclHandler(parser, onDocType);
        XML_SetSkippedEntityHandler(parser, onSkippedEntity);
        XML_SetExternalEntityRefHandler(parser, onExternalEntity);
        XML_SetUnknownEncodingHandler(parser, windows1252, nullptr);
    }

    std::shared_ptr<NodeData> document() const { return doc_; }
    // The reason the builder stopped the parser; empty when the parser found the error.
    const std::string& stopReason() const { return stopReason_; }

private:
    static TreeBuilder& self(void* user) { return *static_cast<TreeBuilder*>(user); }

    void stop(std::string reason) {
        if (stopReason_.empty()) stopReason_ = std::move(reason);
        XML_StopParser(parser_, XML_FALSE);
    }

    NodeData& current() { return *open_.back(); }

    void append(std::shared_ptr<NodeData> node) {
        node->parent = open_.back();
        current().children.push_back(std::move(node));
    }

    static void XMLCALL onStart(void* user, const XML_Char* name, const XML_Char** attrs) {
        TreeBuilder& b = self(user);
        if (int(b.open_.size()) > maxDepth) return b.stop("The XML document is nested too deeply");
        if (b.maxElements_ > 0 && ++b.elements_ > b.maxElements_)
            return b.stop(Format("The XML document holds more than %d elements",
                                 static_cast<long long>(b.maxElements_)));
        auto node = makeNode(ntElement, name);
        for (int i = 0; attrs[i]; i += 2) node->attrs.emplace_back(attrs[i], attrs[i + 1]);
        b.append(node);
        b.open_.push_back(std::move(node));
    }

    // Blank text between child elements is indentation; an element that holds only text
    // keeps its text, blanks included.
    static void XMLCALL onEnd(void* user, const XML_Char*) {
        TreeBuilder& b = self(user);
        auto& children = b.current().children;
        const bool onlyText = std::all_of(children.begin(), children.end(), [](const auto& c) {
            return c->type == ntText || c->type == ntCData;
        });
        if (!onlyText)
            children.erase(std::remove_if(children.begin(), children.end(),
                                          [](const auto& c) {
                                              return c->type == ntText && isBlank(c->value);
                                          }),
                           children.end());
        b.open_.pop_back();
    }

    static void XMLCALL onText(void* user, const XML_Char* s, int len) {
        TreeBuilder& b = self(user);
        auto& children = b.current().children;
        const TNodeType type = b.inCData_ ? ntCData : ntText;
        // The parser hands text over in pieces; they join into one node.
        if (children.empty() || children.back()->type != type || b.newCData_) {
            b.append(makeNode(type));
            b.newCData_ = false;
        }
        children.back()->value.append(s, std::size_t(len));
    }

    static void XMLCALL onCDataStart(void* user) {
        self(user).inCData_ = true;
        self(user).newCData_ = true;
    }

    static void XMLCALL onCDataEnd(void* user) {
        TreeBuilder& b = self(user);
        if (b.newCData_) b.append(makeNode(ntCData)); // an empty section
        b.inCData_ = b.newCData_ = false;
    }

    static void XMLCALL onComment(void* user, const XML_Char* text) {
        self(user).append(makeNode(ntComment, {}, text));
    }

    static void XMLCALL onPI(void* user, const XML_Char* target, const XML_Char* data) {
        self(user).append(makeNode(ntProcessingInstr, target, data));
    }

    static void XMLCALL onDeclaration(void* user, const XML_Char* version, const XML_Char* encoding,
                                      int standalone) {
        std::string v;
        if (version) v = std::string("version=\"") + version + "\"";
        if (encoding) v += std::string(v.empty() ? "" : " ") + "encoding=\"" + encoding + "\"";
        if (standalone >= 0)
            v += std::string(v.empty() ? "" : " ") + "standalone=\"" + (standalone ? "yes" : "no") +
                 "\"";
        self(user).append(makeNode(ntProcessingInstr, "xml", v));
    }

    static void XMLCALL onDocType(void* user, const XML_Char* name, const XML_Char* sysid,
                                  const XML_Char* pubid, int) {
        // A system identifier may hold one kind of quote; it is written in the other.
        auto quoted = [](const std::string& id) {
            const char q = id.find('"') == std::string::npos ? '"' : '\'';
            return q + id + q;
        };
        std::string v = name;
        if (pubid)
            v += " PUBLIC " + quoted(pubid) + " " + quoted(sysid ? sysid : "");
        else if (sysid)
            v += " SYSTEM " + quoted(sysid);
        self(user).append(makeNode(ntDocType, {}, v));
    }

    // A reference to an entity that no declaration read here defines.
    static void XMLCALL onSkippedEntity(void* user, const XML_Char* name, int) {
        self(user).stop(Format("undefined entity \"%s\"", std::string(name)));
    }

    // Nothing outside the document is ever read.
    static int XMLCALL onExternalEntity(XML_Parser, const XML_Char*, const XML_Char*,
                                        const XML_Char*, const XML_Char*) {
        return XML_STATUS_ERROR;
    }

    XML_Parser parser_;
    std::shared_ptr<NodeData> doc_;
    std::vector<std::shared_ptr<NodeData>> open_; // the document and the open elements
    bool inCData_ = false, newCData_ = false;
    std::string stopReason_;
    std::size_t maxElements_;
    std::size_t elements_ = 0;
};

struct ParserFree {
    void operator()(XML_Parser p) const { XML_ParserFree(p); }
};

void checkSize(std::size_t size, const std::string& source) {
    if (size > MaxXMLDocumentBytes)
        throw EXMLParseError(Format("The XML document%s is larger than %d MB and is not read",
                                    source.empty() ? std::string() : " \"" + source + "\"",
                                    int(MaxXMLDocumentBytes >> 20)));
}

std::shared_ptr<NodeData> parse(std::string_view bytes, const std::string& source,
                                std::size_t maxElements) {
    checkSize(bytes.size(), source);
    std::unique_ptr<XML_ParserStruct, ParserFree> parser(XML_ParserCreate(nullptr));
    if (!parser) throw EXMLParseError("Cannot create the XML parser");
    TreeBuilder builder(parser.get(), maxElements);
    if (XML_Parse(parser.get(), bytes.data(), int(bytes.size()), XML_TRUE) != XML_STATUS_OK) {
        std::string reason = builder.stopReason();
        if (reason.empty()) reason = XML_ErrorString(XML_GetErrorCode(parser.get()));
        std::string where =
            Format(" at line %d, column %d", int(XML_GetCurrentLineNumber(parser.get())),
                   int(XML_GetCurrentColumnNumber(parser.get())) + 1);
        if (!source.empty()) where += Format(" of \"%s\"", source);
        throw EXMLParseError(reason + where);
    }
    return builder.document();
}

// --- writing ----------------------------------------------------------------------------
// Where a node stands, for messages: "Par_Gen/KNX_ID_DEV".
std::string placeOf(const NodeData& n) {
    std::string place;
    for (const NodeData* p = &n; p; p = p->parent.lock().get()) {
        if (p->type != ntElement) continue;
        place = place.empty() ? p->name : p->name + "/" + place;
    }
    return place;
}

bool allowedInXml(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// Refuses a text that a reader would refuse: bytes that are not UTF-8, or a character that
// XML 1.0 does not allow. field names the text in the message.
void checkText(const std::string& s, const NodeData& n, const std::string& field) {
    const bool plain = std::all_of(s.begin(), s.end(), [](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        return c >= 0x20 ? c < 0x80 : (c == 0x9 || c == 0xA || c == 0xD);
    });
    if (plain) return;
    auto fail = [&](const std::string& what) {
        std::string where = placeOf(n);
        throw EXMLWriteError(Format("The %s%s %s", field,
                                    where.empty() ? std::string() : " of \"" + where + "\"", what));
    };
    if (!IsValidUtf8(s)) fail("is not valid UTF-8 text");
    for (char32_t c : Utf8ToUtf32(s))
        if (!allowedInXml(c))
            fail(Format("holds the character U+%.4X, which XML does not allow",
                        static_cast<unsigned>(c)));
}

// Whether the parser takes text as a whole document.
bool parses(const std::string& text) {
    std::unique_ptr<XML_ParserStruct, ParserFree> parser(XML_ParserCreate("UTF-8"));
    return parser &&
           XML_Parse(parser.get(), text.data(), int(text.size()), XML_TRUE) == XML_STATUS_OK;
}

// Refuses an element or attribute name that a strict reader would refuse. A name of ASCII
// characters was checked when it was given; one with other bytes may be no UTF-8 or hold a
// character no XML name may, and is tried on the parser itself.
void checkWrittenName(const std::string& name, const NodeData& n, bool attribute) {
    if (std::all_of(name.begin(), name.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return;
    if (parses(attribute ? "<a " + name + "=\"\"/>" : "<" + name + "/>")) return;
    // The name itself is left out of the message, which must stay UTF-8 text.
    const NodeData* parent = attribute ? &n : n.parent.lock().get();
    const std::string where = parent ? placeOf(*parent) : std::string();
    throw EXMLWriteError(Format(
        "The name of %s%s is not a valid XML name", attribute ? "an attribute" : "an element",
        where.empty() ? std::string() : Format(" %s \"%s\"", attribute ? "of" : "in", where)));
}

// The character set a document is written in and the line break after each line's last tag.
struct WriteStyle {
    enum Set { Utf8, Latin1, Ascii, Ansi } set = Utf8;
    std::string lineBreak;
    bool holds(char32_t c) const {
        switch (set) {
        case Latin1:
            return c <= 0xFF;
        case Ascii:
            return c <= 0x7F;
        case Ansi:
            return c < 0x80 || IsAnsiText(Utf32ToUtf8(std::u32string(1, c)));
        default:
            return true;
        }
    }
};

// The characters of an escaped text that the character set lacks as character references.
void referenceOutside(std::string& text, const WriteStyle& style) {
    if (style.set == WriteStyle::Utf8 ||
        std::all_of(text.begin(), text.end(), [](char c) { return (unsigned char)c < 0x80; }))
        return;
    std::string out;
    for (char32_t c : Utf8ToUtf32(text)) {
        if (style.holds(c))
            out += Utf32ToUtf8(std::u32string(1, c));
        else
            out += "&#" + std::to_string(static_cast<unsigned long>(c)) + ";";
    }
    text = std::move(out);
}

void escape(std::string& out, const std::string& s, bool attribute) {
    for (char c : s) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        // Line ends would be normalised by the next reader; written as references they survive.
        case '\r':
            out += "&#13;";
            break;
        case '"':
            out += attribute ? "&quot;" : "\"";
            break;
        case '\n':
            out += attribute ? "&#10;" : "\n";
            break;
        case '\t':
            out += attribute ? "&#9;" : "\t";
            break;
        default:
            out += c;
        }
    }
}

void write(std::string& out, const NodeData& n, const WriteStyle& style) {
    switch (n.type) {
    case ntDocument:
        for (const auto& c : n.children) {
            // The document is always written as UTF-8 without a declaration.
            if (c->type == ntProcessingInstr && c->name == "xml") continue;
            write(out, *c, style);
        }
        break;
    case ntElement:
        checkWrittenName(n.name, n, false);
        out += '<';
        out += n.name;
        for (const auto& [name, value] : n.attrs) {
            checkWrittenName(name, n, true);
            checkText(value, n, "attribute \"" + name + "\"");
            out += ' ';
            out += name;
            out += "=\"";
            std::string escaped;
            escape(escaped, value, true);
            referenceOutside(escaped, style);
            out += escaped;
            out += '"';
        }
        if (n.children.empty()) {
            out += "/>";
            out += style.lineBreak;
            break;
        }
        out += '>';
        // An element of elements has its start tag on a line of its own.
        if (std::all_of(n.children.begin(), n.children.end(),
                        [](const auto& c) { return c->type == ntElement; }))
            out += style.lineBreak;
        for (const auto& c : n.children) write(out, *c, style);
        out += "</";
        out += n.name;
        out += '>';
        out += style.lineBreak;
        break;
    case ntText: {
        checkText(n.value, n, "text");
        std::string escaped;
        escape(escaped, n.value, false);
        referenceOutside(escaped, style);
        out += escaped;
        break;
    }
    case ntCData:
        checkText(n.value, n, "text");
        out += "<![CDATA[" + StringReplaceAll(n.value, "]]>", "]]]]><![CDATA[>") + "]]>";
        break;
    case ntComment:
        checkText(n.value, n, "comment");
        if (n.value.find("--") != std::string::npos || n.value.ends_with('-'))
            throw EXMLWriteError(Format("The comment \"%s\" holds \"--\" or ends with \"-\", "
                                        "which XML does not allow",
                                        n.value));
        out += "<!--" + n.value + "-->";
        break;
    case ntProcessingInstr:
        checkText(n.value, n, "processing instruction");
        if (n.value.find("?>") != std::string::npos || SameText(n.name, "xml"))
            throw EXMLWriteError(
                Format("The processing instruction \"%s\" cannot be written", n.name));
        out += "<?" + n.name + (n.value.empty() ? "" : " " + n.value) + "?>";
        break;
    case ntDocType:
        checkText(n.value, n, "document type");
        out += "<!DOCTYPE " + n.value + ">";
        break;
    default:
        break;
    }
}

} // namespace

// --- TXmlValue ----------------------------------------------------------------------------
const std::string& TXmlValue::AsString() const {
    if (!present_)
        throw EXMLDocError("Could not convert variant of type (Null) into type (String)");
    return value_;
}

// --- TXmlNode -----------------------------------------------------------------------------
NodeData& TXmlNode::data() const {
    if (!data_) throw EXMLDocError("Access to a null XML node");
    return *data_;
}

TNodeType TXmlNode::NodeType() const {
    return data().type;
}

std::string TXmlNode::NodeName() const {
    const NodeData& d = data();
    switch (d.type) {
    case ntElement:
    case ntProcessingInstr:
        return d.name;
    case ntText:
        return "#text";
    case ntCData:
        return "#cdata-section";
    case ntComment:
        return "#comment";
    case ntDocument:
        return "#document";
    case ntDocType:
        return "#doctype";
    default:
        return {};
    }
}

std::string TXmlNode::NodeValue() const {
    return data().value;
}

void TXmlNode::SetNodeValue(const std::string& value) {
    NodeData& d = data();
    if (d.type == ntElement || d.type == ntDocument)
        throw EXMLDocError("An element or document has no node value");
    d.value = value;
}

std::string TXmlNode::Text() const {
    const NodeData& d = data();
    if (d.type != ntElement && d.type != ntDocument) return d.value;
    std::string text;
    for (const auto& c : d.children) {
        if (c->type != ntText && c->type != ntCData)
            throw EXMLDocError(
                Format("Element \"%s\" does not contain a single text node", d.name));
        text += c->value;
    }
    return text;
}

void TXmlNode::SetText(const std::string& text) {
    NodeData& d = data();
    if (d.type == ntDocument) throw EXMLDocError("A document has no text");
    if (d.type != ntElement) {
        d.value = text;
        return;
    }
    for (auto& c : d.children) c->parent.reset();
    d.children.clear();
    if (!text.empty()) {
        auto t = makeNode(ntText, {}, text);
        t->parent = data_;
        d.children.push_back(std::move(t));
    }
}

bool TXmlNode::IsTextElement() const {
    const NodeData& d = data();
    return d.type == ntElement && d.children.size() == 1 &&
           (d.children[0]->type == ntText || d.children[0]->type == ntCData);
}

bool TXmlNode::HasChildNodes() const {
    return !data().children.empty();
}

TXmlNodeList TXmlNode::ChildNodes() const {
    data();
    return TXmlNodeList(*this);
}

TXmlNode TXmlNode::ParentNode() const {
    return TXmlNode(data().parent.lock());
}

TXmlNode TXmlNode::SelectSingleNode(std::string_view name) const {
    return ChildNodes().FindNode(name);
}

TXmlNode TXmlNode::AddChild(const std::string& name) {
    checkName(name);
    return AppendChild(TXmlNode(makeNode(ntElement, name)));
}

TXmlNode TXmlNode::AppendChild(const TXmlNode& child) {
    return InsertBefore(child, TXmlNode());
}

TXmlNode TXmlNode::InsertBefore(const TXmlNode& child, const TXmlNode& refChild) {
    NodeData& d = data();
    if (!child.data_) throw EXMLDocError("Cannot insert a null XML node");
    if (!mayHoldChild(d.type, child.data_->type))
        throw EXMLDocError(
            Format("A node \"%s\" cannot be inserted into \"%s\"", child.NodeName(), NodeName()));
    for (auto p = data_; p; p = p->parent.lock())
        if (p == child.data_) throw EXMLDocError("Cannot insert a node into itself");
    if (d.type == ntDocument && child.data_->type == ntElement) {
        for (const auto& c : d.children)
            if (c->type == ntElement && c != child.data_)
                throw EXMLDocError("Only one top level element is allowed in an XML document");
    }
    if (refChild.data_ && refChild.data_->parent.lock() != data_)
        throw EXMLDocError("The reference node is not a child of this node");
    auto node = child.data_;
    detach(node);
    auto pos = d.children.end();
    if (refChild.data_) pos = std::find(d.children.begin(), d.children.end(), refChild.data_);
    d.children.insert(pos, node);
    node->parent = data_;
    return child;
}

TXmlNode TXmlNode::RemoveChild(const TXmlNode& child) {
    data();
    if (!child.data_ || child.data_->parent.lock() != data_)
        throw EXMLDocError("The node to remove is not a child of this node");
    detach(child.data_);
    return child;
}

bool TXmlNode::HasAttribute(std::string_view name) const {
    return !GetAttribute(name).IsNull();
}

TXmlValue TXmlNode::GetAttribute(std::string_view name) const {
    for (const auto& [n, v] : data().attrs)
        if (n == name) return TXmlValue(v);
    return TXmlValue();
}

void TXmlNode::SetAttribute(const std::string& name, const std::string& value) {
    NodeData& d = data();
    if (d.type != ntElement) throw EXMLDocError("Only elements have attributes");
    checkName(name);
    for (auto& [n, v] : d.attrs)
        if (n == name) {
            v = value;
            return;
        }
    d.attrs.emplace_back(name, value);
}

void TXmlNode::RemoveAttribute(std::string_view name) {
    auto& a = data().attrs;
    a.erase(std::remove_if(a.begin(), a.end(), [&](const auto& p) { return p.first == name; }),
            a.end());
}

int TXmlNode::AttributeCount() const {
    return int(data().attrs.size());
}

std::string TXmlNode::AttributeName(int index) const {
    const auto& a = data().attrs;
    if (index < 0 || index >= int(a.size()))
        throw EXMLDocError(Format("List index out of bounds (%d)", index));
    return a[std::size_t(index)].first;
}

// --- TXmlNodeList -------------------------------------------------------------------------
int TXmlNodeList::Count() const {
    return int(owner_.data().children.size());
}

TXmlNode TXmlNodeList::Nodes(int index) const {
    const auto& c = owner_.data().children;
    if (index < 0 || index >= int(c.size()))
        throw EXMLDocError(Format("List index out of bounds (%d)", index));
    return TXmlNode(c[std::size_t(index)]);
}

TXmlNode TXmlNodeList::First() const {
    const auto& c = owner_.data().children;
    return c.empty() ? TXmlNode() : TXmlNode(c.front());
}

TXmlNode TXmlNodeList::Last() const {
    const auto& c = owner_.data().children;
    return c.empty() ? TXmlNode() : TXmlNode(c.back());
}

TXmlNode TXmlNodeList::FindNode(std::string_view name) const {
    for (const auto& c : owner_.data().children)
        if (c->type == ntElement && c->name == name) return TXmlNode(c);
    return TXmlNode();
}

int TXmlNodeList::IndexOf(const TXmlNode& node) const {
    const auto& c = owner_.data().children;
    auto it = std::find(c.begin(), c.end(), node.data_);
    return it == c.end() ? -1 : int(it - c.begin());
}

int TXmlNodeList::Add(const TXmlNode& node) {
    TXmlNode(owner_).AppendChild(node);
    return Count() - 1;
}

void TXmlNodeList::Insert(int index, const TXmlNode& node) {
    if (index < 0 || index > Count())
        throw EXMLDocError(Format("List index out of bounds (%d)", index));
    TXmlNode owner(owner_);
    owner.InsertBefore(node, index == Count() ? TXmlNode() : Nodes(index));
}

void TXmlNodeList::Delete(int index) {
    TXmlNode(owner_).RemoveChild(Nodes(index));
}

int TXmlNodeList::Remove(const TXmlNode& node) {
    int i = IndexOf(node);
    if (i >= 0) Delete(i);
    return i;
}

void TXmlNodeList::Clear() {
    auto& c = owner_.data().children;
    for (auto& n : c) n->parent.reset();
    c.clear();
}

// --- TXMLDocument -------------------------------------------------------------------------
TXMLDocument::TXMLDocument(TComponent* AOwner) : TComponent(AOwner), doc_(makeNode(ntDocument)) {}

TXMLDocument::~TXMLDocument() = default;

void TXMLDocument::LoadFromFile(const std::string& path) {
    const std::string& native = path;
    // One byte more than the bound is enough to refuse a larger file without reading it all.
    auto parsed = parse(ReadBinaryFile(native, MaxXMLDocumentBytes + 1), native, maxElements_);
    doc_ = std::move(parsed);
    fileName_ = native;
    active_ = true;
}

void TXMLDocument::LoadFromXML(std::string_view xml) {
    auto parsed = parse(xml, {}, maxElements_);
    doc_ = std::move(parsed);
    fileName_.clear();
    active_ = true;
}

std::string TXMLDocument::SaveToXML() const {
    std::string out;
    write(out, *doc_, WriteStyle());
    return out;
}

std::string TXMLDocument::SaveToXML(const TXMLWriteOptions& Options) const {
    if (Options.Encoding.empty() && Options.LineBreak.empty()) return SaveToXML();
    WriteStyle style;
    style.lineBreak = Options.LineBreak;
    const std::string& e = Options.Encoding;
    if (e.empty() || SameText(e, "UTF-8"))
        style.set = WriteStyle::Utf8;
    else if (SameText(e, "ISO-8859-1") || SameText(e, "latin1"))
        style.set = WriteStyle::Latin1;
    else if (SameText(e, "US-ASCII") || SameText(e, "ASCII"))
        style.set = WriteStyle::Ascii;
    else if (SameText(e, "windows-1252"))
        style.set = WriteStyle::Ansi;
    else
        throw EXMLWriteError(Format("The encoding \"%s\" cannot be written", e));
    std::string out;
    if (!e.empty()) {
        checkText(e, *doc_, "encoding");
        out = "<?xml version=\"1.0\" encoding=\"" + e + "\" ?>" + style.lineBreak;
    }
    write(out, *doc_, style);
    if (style.set == WriteStyle::Utf8) return out;
    // What is left outside the character set is in names or comments, which have no references.
    std::string bytes;
    bytes.reserve(out.size());
    for (char32_t c : Utf8ToUtf32(out)) {
        if (!style.holds(c))
            throw EXMLWriteError(Format("A name or comment holds the character U+%.4X, which the "
                                        "encoding \"%s\" cannot hold",
                                        static_cast<unsigned>(c), e));
        bytes += style.set == WriteStyle::Ansi
                     ? EncodeText(Utf32ToUtf8(std::u32string(1, c)), TTextEncoding::Ansi)
                     : std::string(1, char(c));
    }
    return bytes;
}

void TXMLDocument::SaveToFile(const std::string& path) const {
    SaveToFile(path, TXMLWriteOptions());
}

void TXMLDocument::SaveToFile(const std::string& path, const TXMLWriteOptions& Options) const {
    std::string xml;
    try {
        xml = SaveToXML(Options);
    } catch (const EXMLWriteError& e) {
        throw EXMLWriteError(Format("Cannot save \"%s\": %s", path, e.Message()));
    }
    WriteBinaryFile(path, xml);
}

void TXMLDocument::SetActive(bool value) {
    if (!value) Clear();
    active_ = value;
}

void TXMLDocument::Clear() {
    // A fresh document node: handles to the old nodes keep them, detached from this document.
    doc_ = makeNode(ntDocument);
    fileName_.clear();
}

TXmlNode TXMLDocument::DocumentElement() const {
    for (const auto& c : doc_->children)
        if (c->type == ntElement) return TXmlNode(c);
    return TXmlNode();
}

TXmlNode TXMLDocument::AddChild(const std::string& name) {
    active_ = true;
    return Node().AddChild(name);
}

TXmlNode TXMLDocument::CreateElement(const std::string& name) const {
    checkName(name);
    return TXmlNode(makeNode(ntElement, name));
}

TXmlNode TXMLDocument::CreateTextNode(const std::string& text) const {
    return TXmlNode(makeNode(ntText, {}, text));
}

TXmlNode TXMLDocument::CreateComment(const std::string& text) const {
    return TXmlNode(makeNode(ntComment, {}, text));
}

TXmlNode TXMLDocument::CreateCDataSection(const std::string& text) const {
    return TXmlNode(makeNode(ntCData, {}, text));
}
