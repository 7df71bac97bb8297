#pragma once
// An XML DOM in the manner of the model's XML document component.
//
//   TXMLDocument doc(nullptr);
//   doc.LoadFromFile(path);                        // raises EXMLParseError on bad XML
//   TXmlNode root = doc.ChildNodes().First();      // the document's first node
//   TXmlNode key = root.ChildNodes().FindNode("KNX_TYPE");   // null node when absent
//   if (key) value = key.Text();
//   for (int i = 0; i < root.ChildNodes().Count(); ++i) {
//       TXmlNode row = root.ChildNodes()[i];
//       std::string a = row.Attributes("Addr");  // raises when the attribute is absent
//   }
//
// Nodes are shared handles: a handle keeps its node (and the subtree below it) alive, also
// after the document has loaded something else. A default-constructed handle is the null
// node; using it raises EXMLDocError. Text is UTF-8 throughout.
#include "platform/base/Classes.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

class EXMLDocError : public Exception {
public:
    using Exception::Exception;
};
// A document that is not well-formed XML 1.0, or larger than MaxXMLDocumentBytes; the message
// is the parser's, with line and column.
class EXMLParseError : public EXMLDocError {
public:
    using EXMLDocError::EXMLDocError;
};
// A document that cannot be written as well-formed XML: a text that is not UTF-8 or holds a
// character XML does not allow, a comment holding "--". The message names the field.
class EXMLWriteError : public EXMLDocError {
public:
    using EXMLDocError::EXMLDocError;
};

// Larger documents are refused before they are parsed.
constexpr std::size_t MaxXMLDocumentBytes = std::size_t(64) << 20;

// The DOM node types with their DOM numbers.
enum TNodeType {
    ntReserved = 0,
    ntElement = 1,
    ntAttribute = 2,
    ntText = 3,
    ntCData = 4,
    ntEntityRef = 5,
    ntEntity = 6,
    ntProcessingInstr = 7,
    ntComment = 8,
    ntDocument = 9,
    ntDocType = 10,
    ntDocFragment = 11,
    ntNotation = 12
};

namespace xmldetail {
struct NodeData;
}

class TXmlNodeList;

// An attribute value that may be absent. Converting an absent value to text raises, as
// converting the model's null variant does.
class TXmlValue {
public:
    TXmlValue() = default;
    explicit TXmlValue(std::string v) : present_(true), value_(std::move(v)) {}
    bool IsNull() const { return !present_; }
    // The text; raises EXMLDocError when the value is absent.
    const std::string& AsString() const;
    operator std::string() const { return AsString(); }
    // The text, or def when the value is absent.
    std::string AsStringDef(const std::string& def) const { return present_ ? value_ : def; }

private:
    bool present_ = false;
    std::string value_;
};

class TXmlNode {
public:
    TXmlNode() = default;
    bool IsNull() const { return !data_; }
    explicit operator bool() const { return data_ != nullptr; }
    bool operator==(const TXmlNode& other) const { return data_ == other.data_; }

    TNodeType NodeType() const;
    // Element or processing-instruction name; "#text", "#comment", "#cdata-section",
    // "#document" for the other kinds, as the DOM names them.
    std::string NodeName() const;
    // The value of a text, CDATA, comment or processing-instruction node ("" for others).
    std::string NodeValue() const;
    void SetNodeValue(const std::string& value);

    // An element's text: "" when it has no children, the joined text when it holds only text
    // and CDATA; raises EXMLDocError when it holds child elements or other nodes. For a text,
    // CDATA or comment node its value.
    std::string Text() const;
    // Replaces an element's children by one text node (none for ""); sets a value node's value.
    void SetText(const std::string& text);
    // True for an element that holds exactly one text or CDATA node.
    bool IsTextElement() const;

    bool HasChildNodes() const;
    TXmlNodeList ChildNodes() const;
    TXmlNode ParentNode() const; // null for the document and for detached nodes
    // The first child element called name; the null node when there is none.
    TXmlNode SelectSingleNode(std::string_view name) const;

    // Creates an element called name and appends it (the model's AddChild).
    TXmlNode AddChild(const std::string& name);
    // Appends child, taking it from where it was; returns child. Raises EXMLDocError when
    // child is null, is this node or one of its ancestors, or cannot stand here.
    TXmlNode AppendChild(const TXmlNode& child);
    // Inserts child before refChild (appends when refChild is null).
    TXmlNode InsertBefore(const TXmlNode& child, const TXmlNode& refChild);
    // Detaches child from this node and returns it; raises EXMLDocError when it is not a child.
    TXmlNode RemoveChild(const TXmlNode& child);

    // Attributes of an element, in document order.
    bool HasAttribute(std::string_view name) const;
    TXmlValue GetAttribute(std::string_view name) const; // absent: IsNull()
    TXmlValue Attributes(std::string_view name) const { return GetAttribute(name); }
    void SetAttribute(const std::string& name, const std::string& value);
    void RemoveAttribute(std::string_view name);
    int AttributeCount() const;
    std::string AttributeName(int index) const;

private:
    friend class TXmlNodeList;
    friend class TXMLDocument;
    explicit TXmlNode(std::shared_ptr<xmldetail::NodeData> d) : data_(std::move(d)) {}
    xmldetail::NodeData& data() const;
    std::shared_ptr<xmldetail::NodeData> data_;
};

// The children of a node, a live view: changes to the node show at once.
class TXmlNodeList {
public:
    int Count() const;
    int Length() const { return Count(); }
    // The child at index; raises EXMLDocError when the index is out of bounds.
    TXmlNode Nodes(int index) const;
    TXmlNode operator[](int index) const { return Nodes(index); }
    TXmlNode First() const; // null when empty
    TXmlNode Last() const;  // null when empty
    // The first child element called name (case-sensitive); null when absent.
    TXmlNode FindNode(std::string_view name) const;
    int IndexOf(const TXmlNode& node) const; // -1 when not a child
    int Add(const TXmlNode& node);           // appends; returns its index
    void Insert(int index, const TXmlNode& node);
    void Delete(int index);
    int Remove(const TXmlNode& node); // index it had, -1 when not a child
    void Clear();

private:
    friend class TXmlNode;
    explicit TXmlNodeList(TXmlNode owner) : owner_(std::move(owner)) {}
    TXmlNode owner_;
};

// How a document is written: Encoding (UTF-8, ISO-8859-1, US-ASCII or windows-1252, any letter
// case) is declared and written, characters it lacks in texts and attribute values as
// character references; empty writes UTF-8 without a declaration. LineBreak follows the
// declaration, every end tag and empty element, and the start tag of an element that holds
// only elements.
struct TXMLWriteOptions {
    std::string Encoding;
    std::string LineBreak;
};

// The document component: a document node, loading and saving.
class TXMLDocument : public TComponent {
public:
    explicit TXMLDocument(TComponent* AOwner = nullptr);
    ~TXMLDocument() override;

    // Loading replaces the document only when the whole text parsed; on failure it raises and
    // the document keeps what it held. The encoding is UTF-8 or UTF-16 by the byte order
    // mark, or ISO-8859-1, US-ASCII or Windows-1252 when the declaration names it. Text made
    // only of blanks is kept where it is an element's value, dropped between elements.
    void LoadFromFile(const std::string& path); // a model path; raises EFOpenError/EXMLParseError
    void LoadFromXML(std::string_view xml);
    // Writes UTF-8 without declaration or indentation, to a temporary file in the same folder
    // that is then renamed into place. Raises EXMLWriteError (naming the file and field) for
    // a document that would not be well-formed, EFCreateError/EWriteError when writing fails.
    void SaveToFile(const std::string& path) const;
    std::string SaveToXML() const;
    // As above, written as Options say; an encoding not listed there, or a name or comment
    // holding a character the encoding lacks, raises EXMLWriteError.
    void SaveToFile(const std::string& path, const TXMLWriteOptions& Options) const;
    std::string SaveToXML(const TXMLWriteOptions& Options) const;
    const std::string& FileName() const { return fileName_; }
    // Loading refuses a document of more elements than this (0: no bound but the size), before
    // it builds them: a reader that knows how much its files can hold bounds what they cost.
    std::size_t MaxElements() const { return maxElements_; }
    void SetMaxElements(std::size_t count) { maxElements_ = count; }

    bool Active() const { return active_; }
    // Activating keeps the content; deactivating empties the document.
    void SetActive(bool value);
    // Empties the document (the document stays active).
    void Clear();

    TXmlNode Node() const { return TXmlNode(doc_); } // the document node
    TXmlNodeList ChildNodes() const { return Node().ChildNodes(); }
    // The first element at document level; null when there is none.
    TXmlNode DocumentElement() const;
    // Creates the document element called name; raises when there is one already.
    TXmlNode AddChild(const std::string& name);

    // Detached nodes, ready to be appended anywhere.
    TXmlNode CreateElement(const std::string& name) const;
    TXmlNode CreateTextNode(const std::string& text) const;
    TXmlNode CreateComment(const std::string& text) const;
    TXmlNode CreateCDataSection(const std::string& text) const;

private:
    std::shared_ptr<xmldetail::NodeData> doc_;
    bool active_ = false;
    std::string fileName_;
    std::size_t maxElements_ = 0;
};
