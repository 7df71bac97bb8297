// Workbooks and documents as zip packages of XML parts, read and written through the XML DOM.
#include "grid/data/OfficeFiles.h"
#include "platform/base/DateUtils.h"
#include "platform/xml/XmlDoc.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <set>

namespace {

// Runs f with the failures of the zip and XML layers raised as EOfficeFileError.
template <typename F> auto guarded(F&& f) {
    try {
        return f();
    } catch (const EZipError& e) {
        throw EOfficeFileError(e.Message());
    } catch (const EXMLDocError& e) {
        throw EOfficeFileError(e.Message());
    }
}

constexpr std::string_view RelNs = "http://schemas.openxmlformats.org/package/2006/relationships";
constexpr std::string_view OfficeRel =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr std::string_view SheetNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr std::string_view WordNs = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr std::string_view XmlDecl =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";

// --- element names, whatever prefix the part's author chose -----------------------------------

std::string localName(std::string_view name) {
    const auto colon = name.find(':');
    return std::string(colon == std::string_view::npos ? name : name.substr(colon + 1));
}

std::string prefixOf(const TXmlNode& node) {
    const std::string name = node.NodeName();
    const auto colon = name.find(':');
    return colon == std::string::npos ? std::string() : name.substr(0, colon + 1);
}

bool isElement(const TXmlNode& node, std::string_view local) {
    return node.NodeType() == ntElement && localName(node.NodeName()) == local;
}

TXmlNode child(const TXmlNode& parent, std::string_view local) {
    const TXmlNodeList list = parent.ChildNodes();
    for (int i = 0; i < list.Count(); ++i)
        if (isElement(list[i], local)) return list[i];
    return {};
}

std::vector<TXmlNode> children(const TXmlNode& parent, std::string_view local) {
    std::vector<TXmlNode> found;
    const TXmlNodeList list = parent.ChildNodes();
    for (int i = 0; i < list.Count(); ++i)
        if (isElement(list[i], local)) found.push_back(list[i]);
    return found;
}

// An attribute by its local name; with Prefixed only one that has a prefix (r:id, not id).
std::string attribute(const TXmlNode& node, std::string_view local, bool Prefixed = false) {
    for (int i = 0; i < node.AttributeCount(); ++i) {
        const std::string name = node.AttributeName(i);
        if (localName(name) != local) continue;
        if (Prefixed == (name.find(':') != std::string::npos))
            return node.GetAttribute(name).AsString();
    }
    return {};
}

TXmlNode root(const TXMLDocument& doc) {
    TXmlNode r = doc.DocumentElement();
    if (!r) throw EXMLDocError("the part holds no element");
    return r;
}

// The texts of the t elements below node, leaving out phonetic runs.
void collectText(const TXmlNode& node, std::string& out) {
    const TXmlNodeList list = node.ChildNodes();
    for (int i = 0; i < list.Count(); ++i) {
        const TXmlNode n = list[i];
        if (n.NodeType() != ntElement) continue;
        const std::string name = localName(n.NodeName());
        if (name == "t")
            out += n.Text();
        else if (name != "rPh")
            collectText(n, out);
    }
}

bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// A spreadsheet text: "_xHHHH_" stands for the character HHHH (control characters).
std::string decodeEscapes(std::string s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '_' && i + 6 < s.size() && s[i + 1] == 'x' && s[i + 6] == '_' &&
            std::all_of(s.begin() + long(i) + 2, s.begin() + long(i) + 6, isHex)) {
            const unsigned v = unsigned(std::stoul(s.substr(i + 2, 4), nullptr, 16));
            if (v < 0x80) {
                out += char(v);
                i += 6;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

// The reverse: control characters (and a literal "_xHHHH_") escaped so that XML holds them.
std::string encodeEscapes(std::string_view s) {
    std::string out;
    char buf[8];
    for (std::size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = (unsigned char)s[i];
        const bool literal = c == '_' && i + 6 < s.size() && s[i + 1] == 'x' && s[i + 6] == '_' &&
                             std::all_of(s.begin() + long(i) + 2, s.begin() + long(i) + 6, isHex);
        if ((c < 0x20 && c != '\t' && c != '\n') || c == 0x7F || literal) {
            std::snprintf(buf, sizeof buf, "_x%04X_", literal ? unsigned('_') : unsigned(c));
            out += buf; // a literal's "xHHHH_" follows as it is
            continue;
        }
        out += char(c);
    }
    return out;
}

bool needsPreserve(std::string_view s) {
    return !s.empty() && (s.front() == ' ' || s.back() == ' ' || s.front() == '\t' ||
                          s.back() == '\t' || s.find('\n') != std::string_view::npos);
}

std::string xmlText(const TXMLDocument& doc) {
    return std::string(XmlDecl) + doc.SaveToXML();
}

// A number in the spreadsheet's notation, shortest text that reads back exactly.
std::string numberText(double v) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

bool parseNumber(std::string_view s, double& v) {
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    return r.ec == std::errc() && r.ptr == s.data() + s.size() && std::isfinite(v);
}

// Part names: "xl/workbook.xml" -> its relationships part and its folder.
std::string relsName(const std::string& part) {
    const auto slash = part.rfind('/');
    return slash == std::string::npos
               ? "_rels/" + part + ".rels"
               : part.substr(0, slash + 1) + "_rels/" + part.substr(slash + 1) + ".rels";
}

std::string folderOf(const std::string& part) {
    const auto slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

// A target resolved against the folder: "../x" climbs, a leading "/" starts at the root.
std::string resolve(const std::string& folder, const std::string& target) {
    std::string path = !target.empty() && target[0] == '/' ? target.substr(1) : folder + target;
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= path.size()) {
        const auto slash = std::min(path.find('/', start), path.size());
        const std::string name = path.substr(start, slash - start);
        if (name == "..") {
            if (!names.empty()) names.pop_back();
        } else if (!name.empty() && name != ".")
            names.push_back(name);
        start = slash + 1;
    }
    std::string out;
    for (const std::string& n : names) out += (out.empty() ? "" : "/") + n;
    return out;
}

bool isDateFormatCode(std::string_view code) {
    // Date and time letters outside quoted text, escapes and bracketed colours.
    bool quoted = false;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '"') {
            quoted = !quoted;
            continue;
        }
        if (quoted) continue;
        if (c == '\\' || c == '_' || c == '*') {
            ++i;
            continue;
        }
        if (c == '[') {
            const auto end = code.find(']', i);
            if (end == std::string_view::npos) return false;
            const std::string_view inside = code.substr(i + 1, end - i - 1);
            // Elapsed time such as [h] counts; colours and conditions do not.
            if (!inside.empty() &&
                std::string_view("hHmMsS").find(inside[0]) != std::string_view::npos)
                return true;
            i = end;
            continue;
        }
        if (std::string_view("dDmMyYhHsS").find(c) != std::string_view::npos) return true;
    }
    return false;
}

bool isSheetNameValid(std::string_view name) {
    if (name.empty() || name.front() == '\'' || name.back() == '\'') return false;
    int chars = 0;
    for (const char c : name) {
        if (std::string_view("[]:*?/\\").find(c) != std::string_view::npos) return false;
        if ((unsigned char)c < 0x20) return false;
        if (((unsigned char)c & 0xC0) != 0x80) ++chars;
    }
    return chars <= 31;
}

std::string asciiUpper(std::string_view s) {
    std::string u(s);
    for (char& c : u)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return u;
}

} // namespace

// --- cell references ---------------------------------------------------------------------------

std::string ColumnLetters(int Col) {
    std::string letters;
    while (Col > 0) {
        const int r = (Col - 1) % 26;
        letters.insert(letters.begin(), char('A' + r));
        Col = (Col - 1) / 26;
    }
    return letters;
}

bool ParseCellRef(std::string_view Ref, int& Col, int& Row) {
    std::size_t i = 0;
    if (i < Ref.size() && Ref[i] == '$') ++i;
    long col = 0, row = 0;
    const std::size_t lettersStart = i;
    while (i < Ref.size() &&
           ((Ref[i] >= 'A' && Ref[i] <= 'Z') || (Ref[i] >= 'a' && Ref[i] <= 'z'))) {
        col = col * 26 + ((Ref[i] & ~0x20) - 'A' + 1);
        if (col > MaxSheetCols) return false;
        ++i;
    }
    if (i == lettersStart) return false;
    if (i < Ref.size() && Ref[i] == '$') ++i;
    const std::size_t digitsStart = i;
    while (i < Ref.size() && Ref[i] >= '0' && Ref[i] <= '9') {
        row = row * 10 + (Ref[i] - '0');
        if (row > MaxSheetRows) return false;
        ++i;
    }
    if (i == digitsStart || i != Ref.size() || row < 1) return false;
    Col = int(col);
    Row = int(row);
    return true;
}

// --- packages ---------------------------------------------------------------------------------

void TOfficePackage::Load(const std::string& FileName) {
    entries_ = ReadZipFile(FileName);
}

bool TOfficePackage::Has(std::string_view Name) const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [&](const TZipEntry& e) { return e.Name == Name; });
}

std::string TOfficePackage::Part(std::string_view Name) const {
    for (const TZipEntry& e : entries_)
        if (e.Name == Name) return e.Data;
    return {};
}

void TOfficePackage::SetPart(const std::string& Name, std::string Data) {
    for (TZipEntry& e : entries_)
        if (e.Name == Name) {
            e.Data = std::move(Data);
            return;
        }
    entries_.push_back({Name, std::move(Data)});
}

void TOfficePackage::RemovePart(std::string_view Name) {
    std::erase_if(entries_, [&](const TZipEntry& e) { return e.Name == Name; });
}

std::unique_ptr<TXMLDocument> TOfficePackage::Xml(std::string_view Name) const {
    for (const TZipEntry& e : entries_)
        if (e.Name == Name) {
            auto doc = std::make_unique<TXMLDocument>();
            doc->LoadFromXML(e.Data);
            return doc;
        }
    throw EZipError("the package has no part " + std::string(Name));
}

void TOfficePackage::SetXml(const std::string& Name, const TXMLDocument& Doc) {
    SetPart(Name, xmlText(Doc));
}

std::map<std::string, TOfficePackage::TRelation>
TOfficePackage::Relations(const std::string& Source) const {
    std::map<std::string, TRelation> found;
    const std::string rels = relsName(Source);
    if (!Has(rels)) return found;
    const auto doc = Xml(rels);
    for (const TXmlNode& r : children(root(*doc), "Relationship")) {
        if (attribute(r, "TargetMode") == "External") continue;
        found[attribute(r, "Id")] = {attribute(r, "Type"),
                                     resolve(folderOf(Source), attribute(r, "Target"))};
    }
    return found;
}

std::string TOfficePackage::TargetOfType(const std::string& Source,
                                         std::string_view TypeSuffix) const {
    for (const auto& [id, rel] : Relations(Source))
        if (rel.Type.ends_with(TypeSuffix)) return rel.Target;
    return {};
}

std::string TOfficePackage::AddRelation(const std::string& Source, const std::string& Type,
                                        const std::string& Target) {
    const std::string rels = relsName(Source);
    std::unique_ptr<TXMLDocument> doc;
    if (Has(rels))
        doc = Xml(rels);
    else {
        doc = std::make_unique<TXMLDocument>();
        doc->AddChild("Relationships").SetAttribute("xmlns", std::string(RelNs));
    }
    TXmlNode top = root(*doc);
    std::set<std::string> ids;
    for (const TXmlNode& r : children(top, "Relationship")) ids.insert(attribute(r, "Id"));
    int k = 1;
    while (ids.count("rId" + std::to_string(k))) ++k;
    const std::string id = "rId" + std::to_string(k);
    TXmlNode r = top.AddChild(prefixOf(top) + "Relationship");
    r.SetAttribute("Id", id);
    r.SetAttribute("Type", Type);
    r.SetAttribute("Target", Target);
    SetXml(rels, *doc);
    return id;
}

void TOfficePackage::AddContentType(const std::string& Name, const std::string& ContentType) {
    auto doc = Xml("[Content_Types].xml");
    TXmlNode top = root(*doc);
    TXmlNode o = top.AddChild(prefixOf(top) + "Override");
    o.SetAttribute("PartName", "/" + Name);
    o.SetAttribute("ContentType", ContentType);
    SetXml("[Content_Types].xml", *doc);
}

void TOfficePackage::Save(const std::string& FileName) const {
    WriteZipFile(FileName, entries_);
}

// A new package: the content types and the package's relationship to its main part.
static void startPackage(TOfficePackage& package, const std::string& mainPart,
                         const std::string& contentType) {
    package.SetPart("[Content_Types].xml",
                    std::string(XmlDecl) +
                        "<Types "
                        "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                        "<Default Extension=\"rels\" "
                        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                        "<Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>");
    package.AddContentType(mainPart, contentType);
    package.AddRelation("", std::string(OfficeRel) + "/officeDocument", mainPart);
}

// --- workbooks --------------------------------------------------------------------------------

TXlsxWorkbook::TXlsxWorkbook() {
    const std::string ns(SheetNs);
    startPackage(package_, "xl/workbook.xml",
                 "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml");
    package_.SetPart("xl/workbook.xml", std::string(XmlDecl) + "<workbook xmlns=\"" + ns +
                                            "\" xmlns:r=\"" + std::string(OfficeRel) +
                                            "\"><sheets/></workbook>");
    package_.SetPart(
        "xl/styles.xml",
        std::string(XmlDecl) + "<styleSheet xmlns=\"" + ns +
            "\"><fonts count=\"1\"><font><sz val=\"11\"/><name val=\"Calibri\"/></font></fonts>"
            "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill><fill>"
            "<patternFill patternType=\"gray125\"/></fill></fills><borders count=\"1\"><border>"
            "<left/><right/><top/><bottom/><diagonal/></border></borders>"
            "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
            "borderId=\"0\"/></cellStyleXfs><cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" "
            "fillId=\"0\" borderId=\"0\" xfId=\"0\"/></cellXfs><cellStyles count=\"1\">"
            "<cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles></styleSheet>");
    package_.AddContentType(
        "xl/styles.xml", "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml");
    package_.AddRelation("xl/workbook.xml", std::string(OfficeRel) + "/styles", "styles.xml");
    load();
}

TXlsxWorkbook::TXlsxWorkbook(const std::string& FileName) {
    guarded([&] {
        package_.Load(FileName);
        load();
    });
}

TXlsxWorkbook::TXlsxWorkbook(TXlsxWorkbook&&) noexcept = default;
TXlsxWorkbook::~TXlsxWorkbook() = default;

void TXlsxWorkbook::load() {
    workbookPart_ = package_.TargetOfType("", "/officeDocument");
    if (workbookPart_.empty()) throw EZipError("the package holds no workbook");
    const auto book = package_.Xml(workbookPart_);
    const TXmlNode top = root(*book);
    if (localName(top.NodeName()) != "workbook") throw EZipError("the package holds no workbook");
    const auto rels = package_.Relations(workbookPart_);
    sheets_.clear();
    if (const TXmlNode list = child(top, "sheets"))
        for (const TXmlNode& s : children(list, "sheet")) {
            const auto rel = rels.find(attribute(s, "id", true));
            if (rel == rels.end()) throw EZipError("a sheet has no part");
            sheets_.push_back({attribute(s, "name"), rel->second.Target,
                               rel->second.Type.ends_with("/worksheet")});
        }
    active_ = 0;
    if (const TXmlNode views = child(top, "bookViews"))
        if (const TXmlNode view = child(views, "workbookView")) {
            const int tab = std::atoi(attribute(view, "activeTab").c_str());
            if (tab >= 0 && tab < int(sheets_.size())) active_ = tab;
        }
    const TXmlNode pr = child(top, "workbookPr");
    const std::string d1904 = pr ? attribute(pr, "date1904") : std::string();
    date1904_ = d1904 == "1" || d1904 == "true";

    sharedStrings_.clear();
    const std::string shared = package_.TargetOfType(workbookPart_, "/sharedStrings");
    if (!shared.empty() && package_.Has(shared)) {
        const auto doc = package_.Xml(shared);
        for (const TXmlNode& si : children(root(*doc), "si")) {
            std::string text;
            collectText(si, text);
            sharedStrings_.push_back(decodeEscapes(std::move(text)));
        }
    }
    dateStyles_.clear();
    const std::string styles = package_.TargetOfType(workbookPart_, "/styles");
    if (!styles.empty() && package_.Has(styles)) {
        const auto doc = package_.Xml(styles);
        const TXmlNode sheet = root(*doc);
        std::map<int, bool> customDate;
        if (const TXmlNode fmts = child(sheet, "numFmts"))
            for (const TXmlNode& f : children(fmts, "numFmt"))
                customDate[std::atoi(attribute(f, "numFmtId").c_str())] =
                    isDateFormatCode(attribute(f, "formatCode"));
        if (const TXmlNode xfs = child(sheet, "cellXfs"))
            for (const TXmlNode& xf : children(xfs, "xf")) {
                const int id = std::atoi(attribute(xf, "numFmtId").c_str());
                const auto custom = customDate.find(id);
                dateStyles_.push_back(custom != customDate.end()
                                          ? custom->second
                                          : (id >= 14 && id <= 22) || (id >= 45 && id <= 47));
            }
    }
}

std::string TXlsxWorkbook::sharedString(int Index) const {
    if (Index < 0 || Index >= int(sharedStrings_.size()))
        throw EXMLDocError("a cell names a shared text that is not there");
    return sharedStrings_[std::size_t(Index)];
}

bool TXlsxWorkbook::isDateStyle(int Style) const {
    return Style >= 0 && Style < int(dateStyles_.size()) && dateStyles_[std::size_t(Style)];
}

int TXlsxWorkbook::FindSheet(std::string_view Name, bool IgnoreCase) const {
    for (int i = int(sheets_.size()) - 1; i >= 0; --i) {
        const std::string& n = sheets_[std::size_t(i)].Name;
        if (IgnoreCase ? asciiUpper(n) == asciiUpper(Name) : n == Name) return i;
    }
    return -1;
}

int TXlsxWorkbook::AddSheet(const std::string& Name) {
    if (!isSheetNameValid(Name)) throw EOfficeFileError("a worksheet cannot be called " + Name);
    return guarded([&] { return addSheet(Name); });
}

int TXlsxWorkbook::addSheet(const std::string& Name) {
    int k = 1;
    std::string part;
    do part = "xl/worksheets/sheet" + std::to_string(k++) + ".xml";
    while (package_.Has(part));
    package_.SetPart(part, std::string(XmlDecl) + "<worksheet xmlns=\"" + std::string(SheetNs) +
                               "\" xmlns:r=\"" + std::string(OfficeRel) +
                               "\"><dimension ref=\"A1\"/><sheetData/></worksheet>");
    package_.AddContentType(
        part, "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml");
    const std::string id =
        package_.AddRelation(workbookPart_, std::string(OfficeRel) + "/worksheet", "/" + part);
    auto book = package_.Xml(workbookPart_);
    TXmlNode top = root(*book);
    const std::string p = prefixOf(top);
    TXmlNode list = child(top, "sheets");
    if (!list) throw EXMLDocError("the workbook has no list of sheets");
    int sheetId = 0;
    for (const TXmlNode& s : children(list, "sheet"))
        sheetId = std::max(sheetId, std::atoi(attribute(s, "sheetId").c_str()));
    // The relationship prefix the workbook declares, "r" when it declares none.
    std::string r = "r";
    for (int i = 0; i < top.AttributeCount(); ++i) {
        const std::string a = top.AttributeName(i);
        if (a.starts_with("xmlns:") && top.GetAttribute(a).AsString() == OfficeRel) r = a.substr(6);
    }
    if (!top.HasAttribute("xmlns:" + r)) top.SetAttribute("xmlns:" + r, std::string(OfficeRel));
    TXmlNode s = list.AddChild(p + "sheet");
    s.SetAttribute("name", Name);
    s.SetAttribute("sheetId", std::to_string(sheetId + 1));
    s.SetAttribute(r + ":id", id);
    package_.SetXml(workbookPart_, *book);
    sheets_.push_back({Name, part, true});
    return int(sheets_.size()) - 1;
}

std::vector<TSheetCell> TXlsxWorkbook::ReadCells(int Index) const {
    return guarded([&] { return readCells(Index); });
}

std::vector<TSheetCell> TXlsxWorkbook::readCells(int Index) const {
    std::vector<TSheetCell> cells;
    const Sheet& sheet = sheets_.at(std::size_t(Index));
    if (!sheet.Worksheet) return cells;
    const auto doc = package_.Xml(sheet.Part);
    const TXmlNode data = child(root(*doc), "sheetData");
    if (!data) return cells;
    int row = 0;
    for (const TXmlNode& r : children(data, "row")) {
        const std::string rr = attribute(r, "r");
        row = rr.empty() ? row + 1 : std::atoi(rr.c_str());
        if (row < 1 || row > MaxSheetRows) throw EXMLDocError("a row is out of bounds");
        int col = 0;
        for (const TXmlNode& c : children(r, "c")) {
            const std::string ref = attribute(c, "r");
            int refRow = row;
            if (ref.empty())
                ++col;
            else if (!ParseCellRef(ref, col, refRow) || refRow != row)
                throw EXMLDocError("a cell has a bad reference");
            if (col > MaxSheetCols) throw EXMLDocError("a cell is out of bounds");
            const std::string type = attribute(c, "t");
            const TXmlNode v = child(c, "v");
            std::string text;
            if (type == "inlineStr") {
                if (const TXmlNode is = child(c, "is")) collectText(is, text);
                text = decodeEscapes(std::move(text));
            } else if (!v || type == "e")
                continue;
            else if (type == "s")
                text = sharedString(std::atoi(v.Text().c_str()));
            else if (type == "b")
                text = v.Text() == "1" ? "True" : "False";
            else if (type == "str" || type == "d")
                text = decodeEscapes(v.Text());
            else {
                double number = 0;
                if (!parseNumber(v.Text(), number)) throw EXMLDocError("a cell holds no number");
                const std::string s = attribute(c, "s");
                text = isDateStyle(s.empty() ? 0 : std::atoi(s.c_str()))
                           ? DateTimeToStr(date1904_ ? number + 1462 : number)
                           : FloatToStr(number);
            }
            if (!text.empty()) cells.push_back({col, row, std::move(text)});
        }
    }
    return cells;
}

int TXlsxWorkbook::ActiveCellRow(int Index) const {
    return guarded([&] { return activeCellRow(Index); });
}

int TXlsxWorkbook::activeCellRow(int Index) const {
    const Sheet& sheet = sheets_.at(std::size_t(Index));
    if (!sheet.Worksheet) return 1;
    const auto doc = package_.Xml(sheet.Part);
    if (const TXmlNode views = child(root(*doc), "sheetViews"))
        for (const TXmlNode& view : children(views, "sheetView"))
            for (const TXmlNode& sel : children(view, "selection")) {
                int col = 0, row = 0;
                if (ParseCellRef(attribute(sel, "activeCell"), col, row)) return row;
            }
    return 1;
}

void TXlsxWorkbook::WriteBlock(int Index, int StartRow,
                               const std::vector<std::vector<std::string>>& Rows) {
    guarded([&] { writeBlock(Index, StartRow, Rows); });
}

void TXlsxWorkbook::writeBlock(int Index, int StartRow,
                               const std::vector<std::vector<std::string>>& Rows) {
    const Sheet& sheet = sheets_.at(std::size_t(Index));
    if (!sheet.Worksheet) throw EOfficeFileError("sheet " + sheet.Name + " holds no cells");
    std::size_t width = 0;
    for (const auto& r : Rows) width = std::max(width, r.size());
    if (StartRow < 1 || StartRow - 1 + int(Rows.size()) > MaxSheetRows ||
        width > std::size_t(MaxSheetCols))
        throw EOfficeFileError("the cells do not fit into a worksheet");
    auto doc = package_.Xml(sheet.Part);
    TXmlNode top = root(*doc);
    const std::string p = prefixOf(top);
    TXmlNode data = child(top, "sheetData");
    if (!data) throw EXMLDocError("the worksheet has no cell data");

    // Every row and cell gets its reference written out, so that the block can be placed.
    std::map<int, TXmlNode> rows;
    int row = 0;
    for (TXmlNode& r : children(data, "row")) {
        const std::string rr = attribute(r, "r");
        row = rr.empty() ? row + 1 : std::atoi(rr.c_str());
        r.SetAttribute("r", std::to_string(row));
        int col = 0;
        for (TXmlNode& c : children(r, "c")) {
            const std::string ref = attribute(c, "r");
            int refRow = row;
            if (ref.empty())
                ++col;
            else if (!ParseCellRef(ref, col, refRow))
                throw EXMLDocError("a cell has a bad reference");
            c.SetAttribute("r", ColumnLetters(col) + std::to_string(row));
        }
        rows[row] = r;
    }
    for (std::size_t i = 0; i < Rows.size(); ++i) {
        const int rowNo = StartRow + int(i);
        TXmlNode r;
        if (const auto it = rows.find(rowNo); it != rows.end())
            r = it->second;
        else {
            r = doc->CreateElement(p + "row");
            r.SetAttribute("r", std::to_string(rowNo));
            const auto next = rows.upper_bound(rowNo);
            data.InsertBefore(r, next == rows.end() ? TXmlNode() : next->second);
            rows[rowNo] = r;
        }
        r.RemoveAttribute("spans");
        TXmlNode after;
        for (const TXmlNode& c : children(r, "c")) {
            int col = 0, cr = 0;
            ParseCellRef(attribute(c, "r"), col, cr);
            if (col <= int(width))
                r.RemoveChild(c);
            else if (!after)
                after = c;
        }
        for (std::size_t k = 0; k < Rows[i].size(); ++k) {
            const std::string& text = Rows[i][k];
            if (text.empty()) continue;
            TXmlNode c = doc->CreateElement(p + "c");
            c.SetAttribute("r", ColumnLetters(int(k) + 1) + std::to_string(rowNo));
            double number = 0;
            if (TryStrToFloat(text, number) && std::isfinite(number) &&
                FloatToStr(number) == text) {
                c.AddChild(p + "v").SetText(numberText(number));
            } else {
                c.SetAttribute("t", "inlineStr");
                TXmlNode t = c.AddChild(p + "is").AddChild(p + "t");
                if (needsPreserve(text)) t.SetAttribute("xml:space", "preserve");
                t.SetText(encodeEscapes(text));
            }
            r.InsertBefore(c, after);
        }
    }
    // The used range the sheet announces.
    if (TXmlNode dim = child(top, "dimension")) {
        int c0 = 0, c1 = 0, r0 = 0, r1 = 0;
        for (const auto& [rowNo, r] : rows)
            for (const TXmlNode& c : children(r, "c")) {
                int col = 0, cr = 0;
                ParseCellRef(attribute(c, "r"), col, cr);
                c0 = c0 ? std::min(c0, col) : col;
                c1 = std::max(c1, col);
                r0 = r0 ? std::min(r0, rowNo) : rowNo;
                r1 = std::max(r1, rowNo);
            }
        const std::string first = c0 ? ColumnLetters(c0) + std::to_string(r0) : "A1";
        const std::string last = c0 ? ColumnLetters(c1) + std::to_string(r1) : "A1";
        dim.SetAttribute("ref", first == last ? first : first + ":" + last);
    }
    changed_[sheet.Part] = std::move(doc);
}

void TXlsxWorkbook::Save(const std::string& FileName) {
    guarded([&] { save(); });
    package_.Save(FileName);
}

void TXlsxWorkbook::save() {
    for (const auto& [part, doc] : changed_) package_.SetXml(part, *doc);
    changed_.clear();
    // The formula chain names cells that may have been overwritten; it is rebuilt on opening.
    const std::string chain = package_.TargetOfType(workbookPart_, "/calcChain");
    if (!chain.empty() && package_.Has(chain)) {
        package_.RemovePart(chain);
        auto rels = package_.Xml(relsName(workbookPart_));
        TXmlNode top = root(*rels);
        for (const TXmlNode& r : children(top, "Relationship"))
            if (attribute(r, "Type").ends_with("/calcChain")) top.RemoveChild(r);
        package_.SetXml(relsName(workbookPart_), *rels);
        auto types = package_.Xml("[Content_Types].xml");
        TXmlNode t = root(*types);
        for (const TXmlNode& o : children(t, "Override"))
            if (attribute(o, "PartName") == "/" + chain) t.RemoveChild(o);
        package_.SetXml("[Content_Types].xml", *types);
    }
}

// --- documents --------------------------------------------------------------------------------

TDocxDocument::TDocxDocument() {
    startPackage(
        package_, "word/document.xml",
        "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml");
    package_.SetPart("word/document.xml",
                     std::string(XmlDecl) + "<w:document xmlns:w=\"" + std::string(WordNs) +
                         "\"><w:body><w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/>"
                         "<w:pgMar w:top=\"1440\" w:right=\"1440\" w:bottom=\"1440\" "
                         "w:left=\"1440\" w:header=\"708\" w:footer=\"708\" w:gutter=\"0\"/>"
                         "</w:sectPr></w:body></w:document>");
    mainPart_ = "word/document.xml";
    doc_ = package_.Xml(mainPart_);
}

TDocxDocument::TDocxDocument(const std::string& FileName) {
    guarded([&] {
        package_.Load(FileName);
        mainPart_ = package_.TargetOfType("", "/officeDocument");
        if (mainPart_.empty()) throw EZipError("the package holds no document");
        doc_ = package_.Xml(mainPart_);
        const TXmlNode top = root(*doc_);
        if (localName(top.NodeName()) != "document" || !child(top, "body"))
            throw EZipError("the package holds no document");
    });
}

TDocxDocument::TDocxDocument(TDocxDocument&&) noexcept = default;
TDocxDocument::~TDocxDocument() = default;

namespace {

TXmlNode findBookmark(const TXmlNode& node, std::string_view name) {
    const TXmlNodeList list = node.ChildNodes();
    for (int i = 0; i < list.Count(); ++i) {
        const TXmlNode n = list[i];
        if (n.NodeType() != ntElement) continue;
        if (localName(n.NodeName()) == "bookmarkStart" && attribute(n, "name", true) == name)
            return n;
        if (TXmlNode found = findBookmark(n, name)) return found;
    }
    return {};
}

} // namespace

bool TDocxDocument::HasBookmark(std::string_view Name) const {
    return guarded([&] { return bool(findBookmark(child(root(*doc_), "body"), Name)); });
}

void TDocxDocument::AddTable(const std::vector<std::vector<TCell>>& Rows,
                             const std::string& Caption, TPlace Place, std::string_view Bookmark) {
    guarded([&] { addTable(Rows, Caption, Place, Bookmark); });
}

void TDocxDocument::addTable(const std::vector<std::vector<TCell>>& Rows,
                             const std::string& Caption, TPlace Place, std::string_view Bookmark) {
    TXmlNode top = root(*doc_);
    TXmlNode body = child(top, "body");
    // Elements take the document's prefix; attributes need one bound to the main namespace.
    const std::string e = prefixOf(top);
    std::string a = e;
    if (a.empty()) {
        a = "w:";
        if (!top.HasAttribute("xmlns:w")) top.SetAttribute("xmlns:w", std::string(WordNs));
    }
    auto add = [&](TXmlNode parent, const char* name) { return parent.AddChild(e + name); };
    auto set = [&](TXmlNode node, const char* name, const std::string& value) {
        node.SetAttribute(a + name, value);
    };
    auto paragraph = [&](TXmlNode parent, const std::string& text, int alignment) {
        TXmlNode p = add(parent, "p");
        if (alignment) set(add(add(p, "pPr"), "jc"), "val", alignment == 2 ? "right" : "center");
        if (text.empty()) return p;
        TXmlNode run = add(p, "r");
        std::string piece;
        auto flush = [&] {
            if (piece.empty()) return;
            TXmlNode t = add(run, "t");
            t.SetAttribute("xml:space", "preserve");
            t.SetText(piece);
            piece.clear();
        };
        for (std::size_t i = 0; i < text.size(); ++i) {
            const unsigned char c = (unsigned char)text[i];
            if (c == '\r' || c == '\n') {
                if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
                flush();
                add(run, "br");
            } else if (c == '\t') {
                flush();
                add(run, "tab");
            } else if (c >= 0x20 && c != 0x7F)
                piece += char(c); // other control characters have no place in a document
        }
        flush();
        return p;
    };

    // The place: the element to insert before (null: at the end of the body).
    TXmlNode before;
    const TXmlNodeList blocks = body.ChildNodes();
    if (Place == dpStart)
        before = blocks.First();
    else {
        TXmlNode mark = Place == dpBookmark ? findBookmark(body, Bookmark) : TXmlNode();
        if (mark) {
            while (!(mark.ParentNode() == body)) mark = mark.ParentNode();
            const int at = blocks.IndexOf(mark);
            before = at + 1 < blocks.Count() ? blocks[at + 1] : TXmlNode();
        } else if (TXmlNode last = blocks.Last(); last && isElement(last, "sectPr"))
            before = last;
    }

    TXmlNode holder = doc_->CreateElement(e + "body");
    if (!Caption.empty()) paragraph(holder, Caption, 0);
    TXmlNode tbl = add(holder, "tbl");
    TXmlNode pr = add(tbl, "tblPr");
    TXmlNode w = add(pr, "tblW");
    set(w, "w", "0");
    set(w, "type", "auto");
    TXmlNode borders = add(pr, "tblBorders");
    for (const char* side : {"top", "left", "bottom", "right", "insideH", "insideV"}) {
        TXmlNode b = add(borders, side);
        set(b, "val", "single");
        set(b, "sz", "4");
        set(b, "space", "0");
        set(b, "color", "auto");
    }
    std::size_t cols = 0;
    for (const auto& r : Rows) cols = std::max(cols, r.size());
    const std::string width =
        std::to_string(std::max<std::size_t>(1, 9000 / std::max<std::size_t>(1, cols)));
    TXmlNode grid = add(tbl, "tblGrid");
    for (std::size_t c = 0; c < cols; ++c) set(add(grid, "gridCol"), "w", width);
    for (const auto& r : Rows) {
        TXmlNode tr = add(tbl, "tr");
        for (std::size_t c = 0; c < cols; ++c) {
            TXmlNode tc = add(tr, "tc");
            TXmlNode cw = add(add(tc, "tcPr"), "tcW");
            set(cw, "w", width);
            set(cw, "type", "dxa");
            const TCell cell = c < r.size() ? r[c] : TCell();
            paragraph(tc, cell.Text, cell.Alignment);
        }
    }
    // A table is followed by a paragraph, or it would join the next table or end the body.
    if (!before || !isElement(before, "p")) add(holder, "p");
    while (TXmlNode n = holder.ChildNodes().First()) body.InsertBefore(n, before);
}

void TDocxDocument::Save(const std::string& FileName) {
    guarded([&] { package_.SetXml(mainPart_, *doc_); });
    package_.Save(FileName);
}
