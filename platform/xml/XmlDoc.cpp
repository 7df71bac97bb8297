#include "platform/xml/XmlDoc.h"

#include "platform/files/Files.h"

#include <algorithm>
#include <pugixml.hpp>
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
std::shared_ptr<NodeData> convert(const pugi::xml_node& src, int depth) {
    if (depth > maxDepth) throw EXMLParseError("The XML document is nested too deeply");
    std::shared_ptr<NodeData> node;
    switch (src.type()) {
    case pugi::node_document:
        node = makeNode(ntDocument);
        break;
    case pugi::node_element:
        node = makeNode(ntElement, src.name());
        break;
    case pugi::node_pcdata:
        return makeNode(ntText, {}, src.value());
    case pugi::node_cdata:
        return makeNode(ntCData, {}, src.value());
    case pugi::node_comment:
        return makeNode(ntComment, {}, src.value());
    case pugi::node_pi:
        return makeNode(ntProcessingInstr, src.name(), src.value());
    case pugi::node_doctype:
        return makeNode(ntDocType, {}, src.value());
    case pugi::node_declaration: {
        std::string v;
        for (auto a : src.attributes()) {
            if (!v.empty()) v += ' ';
            v += std::string(a.name()) + "=\"" + a.value() + "\"";
        }
        return makeNode(ntProcessingInstr, "xml", v);
    }
    default:
        return nullptr;
    }
    for (auto a : src.attributes()) node->attrs.emplace_back(a.name(), a.value());
    for (auto c : src.children()) {
        auto child = convert(c, depth + 1);
        if (!child) continue;
        child->parent = node;
        node->children.push_back(std::move(child));
    }
    return node;
}

// The parser knows no Windows-1252, so a document that declares it is decoded here first.
bool declaresWindows1252(std::string_view bytes) {
    if (bytes.substr(0, 5) != "<?xml") return false;
    std::size_t end = bytes.find("?>");
    if (end == std::string_view::npos) return false;
    return LowerCase(bytes.substr(0, end)).find("windows-1252") != std::string::npos;
}

std::shared_ptr<NodeData> parse(std::string_view bytes, const std::string& source) {
    pugi::xml_document doc;
    unsigned flags = pugi::parse_default | pugi::parse_comments | pugi::parse_declaration |
                     pugi::parse_pi | pugi::parse_doctype;
    std::string decoded;
    pugi::xml_encoding encoding = pugi::encoding_auto;
    if (declaresWindows1252(bytes)) {
        decoded = DecodeText(bytes);
        bytes = decoded;
        encoding = pugi::encoding_utf8;
    }
    pugi::xml_parse_result r = doc.load_buffer(bytes.data(), bytes.size(), flags, encoding);
    if (!r) {
        std::string where;
        if (r.encoding == pugi::encoding_utf8 && r.offset >= 0 &&
            std::size_t(r.offset) <= bytes.size()) {
            int line = 1;
            std::size_t lineStart = 0;
            for (std::size_t i = 0; i < std::size_t(r.offset); ++i)
                if (bytes[i] == '\n') {
                    ++line;
                    lineStart = i + 1;
                }
            where = Format(" at line %d, column %d", line, int(r.offset - lineStart) + 1);
        } else {
            where = Format(" at offset %d", int(r.offset));
        }
        if (!source.empty()) where += Format(" of \"%s\"", source);
        throw EXMLParseError(std::string(r.description()) + where);
    }
    return convert(doc, 0);
}

// --- writing ----------------------------------------------------------------------------
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

void write(std::string& out, const NodeData& n) {
    switch (n.type) {
    case ntDocument:
        for (const auto& c : n.children) {
            // The document is always written as UTF-8 without a declaration.
            if (c->type == ntProcessingInstr && c->name == "xml") continue;
            write(out, *c);
        }
        break;
    case ntElement:
        out += '<';
        out += n.name;
        for (const auto& [name, value] : n.attrs) {
            out += ' ';
            out += name;
            out += "=\"";
            escape(out, value, true);
            out += '"';
        }
        if (n.children.empty()) {
            out += "/>";
            break;
        }
        out += '>';
        for (const auto& c : n.children) write(out, *c);
        out += "</";
        out += n.name;
        out += '>';
        break;
    case ntText:
        escape(out, n.value, false);
        break;
    case ntCData:
        out += "<![CDATA[" + StringReplaceAll(n.value, "]]>", "]]]]><![CDATA[>") + "]]>";
        break;
    case ntComment:
        out += "<!--" + n.value + "-->";
        break;
    case ntProcessingInstr:
        out += "<?" + n.name + (n.value.empty() ? "" : " " + n.value) + "?>";
        break;
    case ntDocType:
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
    std::string native = NativePath(path);
    auto parsed = parse(ReadBinaryFile(native), native);
    doc_ = std::move(parsed);
    fileName_ = native;
    active_ = true;
}

void TXMLDocument::LoadFromXML(std::string_view xml) {
    auto parsed = parse(xml, {});
    doc_ = std::move(parsed);
    fileName_.clear();
    active_ = true;
}

std::string TXMLDocument::SaveToXML() const {
    std::string out;
    write(out, *doc_);
    return out;
}

void TXMLDocument::SaveToFile(const std::string& path) const {
    WriteBinaryFile(path, SaveToXML());
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
