#pragma once
// Spreadsheet workbooks and word-processor documents as zip packages of XML parts: the
// sheets of a workbook read as cell texts and written from them, a table added to a document.
#include "platform/zip/ZipArchive.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TXMLDocument;

// A file that is no workbook or document of the kind asked for, or a part of it that cannot be
// read or written as XML.
class EOfficeFileError : public Exception {
public:
    using Exception::Exception;
};

// The largest column and row a workbook holds.
constexpr int MaxSheetCols = 16384, MaxSheetRows = 1048576;

// Column letters: 1 is "A", 26 "Z", 27 "AA", 702 "ZZ", 703 "AAA".
std::string ColumnLetters(int Col);
// A cell reference such as "B12" or "$B$12" as a 1-based column and row; false for anything
// else and for cells beyond the workbook's bounds.
bool ParseCellRef(std::string_view Ref, int& Col, int& Row);

// The parts of a package, kept in their order; parts not touched are written back as read.
class TOfficePackage {
public:
    // Raises EFOpenError, or EZipError for what is no zip archive.
    void Load(const std::string& FileName);
    bool Has(std::string_view Name) const;
    // The part's bytes; empty when there is none.
    std::string Part(std::string_view Name) const;
    void SetPart(const std::string& Name, std::string Data); // replaces it or adds it at the end
    void RemovePart(std::string_view Name);
    // The part parsed; raises EXMLParseError for bad XML and EZipError when it is missing.
    std::unique_ptr<TXMLDocument> Xml(std::string_view Name) const;
    void SetXml(const std::string& Name, const TXMLDocument& Doc);
    // The relationships of a part: id -> (type, target part name resolved against the part).
    struct TRelation {
        std::string Type, Target;
    };
    std::map<std::string, TRelation> Relations(const std::string& Source) const;
    // The first target whose type ends with TypeSuffix ("/officeDocument"); empty when none.
    std::string TargetOfType(const std::string& Source, std::string_view TypeSuffix) const;
    // Adds a relationship (a target relative to the source's folder) and returns its id.
    std::string AddRelation(const std::string& Source, const std::string& Type,
                            const std::string& Target);
    // Declares the content type of a part.
    void AddContentType(const std::string& Name, const std::string& ContentType);
    // Replaces the file; raises EFCreateError or EWriteError.
    void Save(const std::string& FileName) const;

private:
    std::vector<TZipEntry> entries_;
};

struct TSheetCell {
    int Col = 0, Row = 0; // 1-based
    std::string Text;
};

// A workbook read from a file or made anew. Raises EOfficeFileError when the file is no
// workbook, EFOpenError when it cannot be read.
class TXlsxWorkbook {
public:
    TXlsxWorkbook(); // a new workbook without sheets
    explicit TXlsxWorkbook(const std::string& FileName);
    TXlsxWorkbook(TXlsxWorkbook&&) noexcept;
    ~TXlsxWorkbook();
    int SheetCount() const { return int(sheets_.size()); }
    const std::string& SheetName(int Index) const { return sheets_[std::size_t(Index)].Name; }
    bool IsWorksheet(int Index) const { return sheets_[std::size_t(Index)].Worksheet; }
    int ActiveSheet() const { return active_; }
    // The last sheet called Name (letter case ignored with IgnoreCase); -1 when none.
    int FindSheet(std::string_view Name, bool IgnoreCase) const;
    // Adds an empty worksheet at the end; raises EOfficeFileError for a name a workbook cannot
    // hold.
    int AddSheet(const std::string& Name);
    // The cells of a sheet that hold a value, as texts (error values left out).
    std::vector<TSheetCell> ReadCells(int Index) const;
    // The row of the sheet's active cell; 1 when it has none.
    int ActiveCellRow(int Index) const;
    // Writes Rows from column A of StartRow on: a cell with an empty text is cleared, a text
    // that reads back as the same number is written as a number, others as text. Cells outside
    // the block keep their values.
    void WriteBlock(int Index, int StartRow, const std::vector<std::vector<std::string>>& Rows);
    // Raises EFCreateError or EWriteError when the file cannot be written.
    void Save(const std::string& FileName);

private:
    struct Sheet {
        std::string Name, Part;
        bool Worksheet = true;
    };
    void load();
    int addSheet(const std::string& Name);
    std::vector<TSheetCell> readCells(int Index) const;
    int activeCellRow(int Index) const;
    void writeBlock(int Index, int StartRow, const std::vector<std::vector<std::string>>& Rows);
    void save();
    std::string sharedString(int Index) const;
    bool isDateStyle(int Style) const;

    TOfficePackage package_;
    std::string workbookPart_;
    std::vector<Sheet> sheets_;
    int active_ = 0;
    bool date1904_ = false;
    std::vector<std::string> sharedStrings_;
    std::vector<bool> dateStyles_;
    std::map<std::string, std::unique_ptr<TXMLDocument>> changed_;
};

// A document read from a file or made anew; raises as TXlsxWorkbook.
class TDocxDocument {
public:
    TDocxDocument();
    explicit TDocxDocument(const std::string& FileName);
    TDocxDocument(TDocxDocument&&) noexcept;
    ~TDocxDocument();
    bool HasBookmark(std::string_view Name) const;
    enum TPlace { dpStart, dpEnd, dpBookmark };
    struct TCell {
        std::string Text;
        int Alignment = 0; // 0 left, 1 centred, 2 right
    };
    // Adds Caption (when not empty) as a paragraph and the table after it: at the start of the
    // document, at its end, or after the paragraph that holds the bookmark.
    void AddTable(const std::vector<std::vector<TCell>>& Rows, const std::string& Caption,
                  TPlace Place, std::string_view Bookmark = {});
    void Save(const std::string& FileName);

private:
    void addTable(const std::vector<std::vector<TCell>>& Rows, const std::string& Caption,
                  TPlace Place, std::string_view Bookmark);
    TOfficePackage package_;
    std::string mainPart_;
    std::unique_ptr<TXMLDocument> doc_;
};
