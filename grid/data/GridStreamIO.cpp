#include "grid/data/GridStreamIO.h"

#include "grid/core/base/GridTypeNames.h"

#include <cstdint>
#include <string_view>
#include <utility>

namespace {

// Reads a record of the class: each property goes to Prop, which answers false for a property
// the class does not have; the component's tag is read here.
template <typename F>
void readRecord(TReader& R, TComponent& Record, std::string_view ClassName, F&& Prop) {
    R.ExpectComponent(ClassName);
    while (!R.EndOfList()) {
        const std::string name = R.ReadStr();
        if (SameText(name, "Tag"))
            Record.SetTag(std::intptr_t(R.ReadInteger()));
        else if (!Prop(name))
            TReader::UnknownProperty(name);
    }
    R.ReadChildrenEnd();
}

void writeHeader(TWriter& W, const TComponent& Record, std::string_view ClassName) {
    W.WriteComponentHeader(ClassName, Record.Name());
}

void writeEnd(TWriter& W, const TComponent& Record) {
    if (Record.Tag() != 0) {
        W.WritePropName("Tag");
        W.WriteInteger(Record.Tag());
    }
    W.WriteComponentEnd();
}

void writeEnum(TWriter& W, const TEnumNames& Names, int Value) {
    const char* ident = EnumToIdent(Names, Value);
    if (!ident) throw EWriteError(Format("Invalid enumeration value %d", Value));
    W.WriteIdent(ident);
}

int readEnum(TReader& R, const TEnumNames& Names) {
    const std::string ident = R.ReadIdent();
    const int v = IdentToEnum(Names, ident);
    if (v < 0) throw EReadError(Format("Invalid property value %s", ident));
    return v;
}

int readInt(TReader& R) {
    const std::int64_t v = R.ReadInteger();
    if (v < INT32_MIN || v > INT32_MAX) throw EReadError("Invalid property value");
    return int(v);
}

// A 16-bit unsigned index.
int readIndex(TReader& R) {
    const std::int64_t v = R.ReadInteger();
    if (v < 0 || v > 65535) throw EReadError("Invalid property value");
    return int(v);
}

std::string graphicBytes(const TGraphic& g) {
    TMemoryStream m;
    g.SaveToStream(m);
    return std::string(reinterpret_cast<const char*>(m.Bytes().data()), m.Bytes().size());
}

void loadGraphic(TGraphic& g, std::string_view bytes) {
    TMemoryStream m;
    if (!bytes.empty()) m.WriteBuffer(bytes.data(), std::int64_t(bytes.size()));
    m.SetPosition(0);
    g.LoadFromStream(m);
}

// The class names a picture's data is written under.
const char* pictureClass(const TGraphic& g) {
    if (dynamic_cast<const TBitmap*>(&g)) return "TBitmap";
    if (dynamic_cast<const TIcon*>(&g)) return "TIcon";
    if (dynamic_cast<const TJPEGImage*>(&g)) return "TJPEGImage";
    if (dynamic_cast<const TGIFImage*>(&g)) return "TGIFImage";
    return "TPngImage";
}

std::unique_ptr<TGraphic> newPictureGraphic(std::string_view cls, std::string_view data) {
    if (cls == "TBitmap") return std::make_unique<TBitmap>();
    if (cls == "TIcon") return std::make_unique<TIcon>();
    if (cls == "TJPEGImage") return std::make_unique<TJPEGImage>();
    if (cls == "TGIFImage") return std::make_unique<TGIFImage>();
    if (cls == "TPngImage") return std::make_unique<TPngImage>();
    auto g = CreateGraphicForData(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
    if (!g) throw EReadError(Format("Unknown picture class %s", cls));
    return g;
}

bool named(const std::string& name, std::string_view expected) {
    return SameText(name, expected);
}

} // namespace

// --- TGridPropIO ---------------------------------------------------------------------------

void TGridPropIO::Write(TWriter& W) const {
    writeHeader(W, *this, "TGridPropIO");
    W.WritePropName("ColCount");
    W.WriteInteger(FColCount);
    W.WritePropName("RowCount");
    W.WriteInteger(FRowCount);
    if (!FColWidths.empty()) {
        W.WritePropName("ColWidths");
        W.WriteString(FColWidths);
    }
    if (!FRowHeights.empty()) {
        W.WritePropName("RowHeights");
        W.WriteString(FRowHeights);
    }
    W.WritePropName("FullGrid");
    W.WriteBoolean(FFullGrid);
    W.WritePropName("ID");
    W.WriteInteger(FID);
    writeEnd(W, *this);
}

void TGridPropIO::Read(TReader& R) {
    readRecord(R, *this, "TGridPropIO", [&](const std::string& name) {
        if (named(name, "ColCount"))
            FColCount = readInt(R);
        else if (named(name, "RowCount"))
            FRowCount = readInt(R);
        else if (named(name, "ColWidths"))
            FColWidths = R.ReadString();
        else if (named(name, "RowHeights"))
            FRowHeights = R.ReadString();
        else if (named(name, "FullGrid"))
            FFullGrid = R.ReadBoolean();
        else if (named(name, "ID"))
            FID = readInt(R);
        else
            return false;
        return true;
    });
}

// --- TGridCellIO ---------------------------------------------------------------------------

void TGridCellIO::Write(TWriter& W) const {
    writeHeader(W, *this, "TGridCellIO");
    W.WritePropName("Col");
    W.WriteInteger(FCol);
    W.WritePropName("Row");
    W.WriteInteger(FRow);
    if (!FCell.empty()) {
        W.WritePropName("Cell");
        W.WriteString(FCell);
    }
    W.WritePropName("HasProp");
    W.WriteBoolean(FHasProp);
    writeEnd(W, *this);
}

void TGridCellIO::Read(TReader& R) {
    FCell.clear();
    readRecord(R, *this, "TGridCellIO", [&](const std::string& name) {
        if (named(name, "Col"))
            FCol = readIndex(R);
        else if (named(name, "Row"))
            FRow = readIndex(R);
        else if (named(name, "Cell"))
            FCell = R.ReadString();
        else if (named(name, "HasProp"))
            FHasProp = R.ReadBoolean();
        else
            return false;
        return true;
    });
}

// --- TGridCellPropIO -----------------------------------------------------------------------

void CopyStreamedCellProps(const TCellProperties& From, TCellProperties& To, unsigned Mask) {
    if (Mask & scpIsBaseCell) To.SetIsBaseCell(From.IsBaseCell());
    if (Mask & scpCellSpanX) To.SetCellSpanX(From.CellSpanX());
    if (Mask & scpCellSpanY) To.SetCellSpanY(From.CellSpanY());
    if (Mask & scpAlignment) To.SetAlignment(From.Alignment());
    if (Mask & scpBorderColor) To.SetBorderColor(From.BorderColor());
    if (Mask & scpBorderWidth) To.SetBorderWidth(From.BorderWidth());
    if (Mask & scpBrushColor) To.SetBrushColor(From.BrushColor());
    if (Mask & scpBrushColorTo) To.SetBrushColorTo(From.BrushColorTo());
    if (Mask & scpBrushStyle) To.SetBrushStyle(From.BrushStyle());
    if (Mask & scpFontColor) To.SetFontColor(From.FontColor());
    if (Mask & scpFontName) To.SetFontName(From.FontName());
    if (Mask & scpFontSize) To.SetFontSize(From.FontSize());
    if (Mask & scpFontStyle) To.SetFontStyle(From.FontStyle());
    if (Mask & scpEditor) To.SetEditor(From.Editor());
    if (Mask & scpGradientDirection) To.SetGradientDirection(From.GradientDirection());
    if (Mask & scpReadOnly) To.SetReadOnly(From.ReadOnly());
    if (Mask & scpVAlignment) To.SetVAlignment(From.VAlignment());
    if (Mask & scpWordWrap) To.SetWordWrap(From.WordWrap());
    if (Mask & scpNodeLevel) To.SetNodeLevel(From.NodeLevel());
}

// Not tied to a grid, so that filling it repaints nothing.
TGridCellPropIO::TGridCellPropIO(TComponent* AOwner)
    : TComponent(AOwner), FCellProperties(std::make_unique<TCellProperties>(nullptr, 0, 0)) {}

void TGridCellPropIO::Write(TWriter& W) const {
    const TCellProperties& p = *FCellProperties;
    auto prop = [&](const char* name) { W.WritePropName(std::string("CellProperties.") + name); };
    writeHeader(W, *this, "TGridCellPropIO");
    prop("IsBaseCell");
    W.WriteBoolean(p.IsBaseCell());
    prop("CellSpanX");
    W.WriteInteger(p.CellSpanX());
    prop("CellSpanY");
    W.WriteInteger(p.CellSpanY());
    prop("Alignment");
    writeEnum(W, AlignmentNames, p.Alignment());
    prop("BorderColor");
    W.WriteColor(p.BorderColor());
    prop("BorderWidth");
    W.WriteInteger(p.BorderWidth());
    prop("BrushColor");
    W.WriteColor(p.BrushColor());
    prop("BrushColorTo");
    W.WriteColor(p.BrushColorTo());
    prop("BrushStyle");
    writeEnum(W, BrushStyleNames, p.BrushStyle());
    prop("CellObject");
    W.WriteInteger(0);
    prop("FontColor");
    W.WriteColor(p.FontColor());
    if (!p.FontName().empty()) {
        prop("FontName");
        W.WriteString(p.FontName());
    }
    prop("FontSize");
    W.WriteInteger(p.FontSize());
    prop("FontStyle");
    std::vector<std::string> styles;
    for (int s = fsBold; s <= fsStrikeOut; ++s)
        if (p.FontStyle().Contains(TFontStyle(s))) styles.push_back(EnumToIdent(FontStyleNames, s));
    W.WriteSet(styles);
    prop("Editor");
    writeEnum(W, EditorTypeNames, p.Editor());
    prop("GradientDirection");
    writeEnum(W, GradientDirectionNames, p.GradientDirection());
    prop("ReadOnly");
    W.WriteBoolean(p.ReadOnly());
    prop("VAlignment");
    writeEnum(W, VAlignmentNames, p.VAlignment());
    prop("WordWrap");
    W.WriteBoolean(p.WordWrap());
    prop("NodeLevel");
    W.WriteInteger(p.NodeLevel());
    if (p.Control() && !p.Control()->Name().empty()) {
        prop("Control");
        W.WriteIdent(p.Control()->Name());
    }
    W.WritePropName("HasGraphic");
    W.WriteBoolean(FHasGraphic);
    writeEnd(W, *this);
}

void TGridCellPropIO::Read(TReader& R) {
    FPresent = 0;
    FControlName.clear();
    TCellProperties& p = *FCellProperties;
    constexpr std::string_view prefix = "CellProperties.";
    readRecord(R, *this, "TGridCellPropIO", [&](const std::string& name) {
        if (named(name, "HasGraphic")) {
            FHasGraphic = R.ReadBoolean();
            return true;
        }
        if (name.size() <= prefix.size() || !SameText(name.substr(0, prefix.size()), prefix))
            return false;
        const std::string_view field = std::string_view(name).substr(prefix.size());
        unsigned bit = 0;
        if (SameText(field, "IsBaseCell")) {
            bit = scpIsBaseCell;
            p.SetIsBaseCell(R.ReadBoolean());
        } else if (SameText(field, "CellSpanX")) {
            bit = scpCellSpanX;
            p.SetCellSpanX(readInt(R));
        } else if (SameText(field, "CellSpanY")) {
            bit = scpCellSpanY;
            p.SetCellSpanY(readInt(R));
        } else if (SameText(field, "Alignment")) {
            bit = scpAlignment;
            p.SetAlignment(TAlignment(readEnum(R, AlignmentNames)));
        } else if (SameText(field, "BorderColor")) {
            bit = scpBorderColor;
            p.SetBorderColor(R.ReadColor());
        } else if (SameText(field, "BorderWidth")) {
            bit = scpBorderWidth;
            p.SetBorderWidth(readInt(R));
        } else if (SameText(field, "BrushColor")) {
            bit = scpBrushColor;
            p.SetBrushColor(R.ReadColor());
        } else if (SameText(field, "BrushColorTo")) {
            bit = scpBrushColorTo;
            p.SetBrushColorTo(R.ReadColor());
        } else if (SameText(field, "BrushStyle")) {
            bit = scpBrushStyle;
            p.SetBrushStyle(TBrushStyle(readEnum(R, BrushStyleNames)));
        } else if (SameText(field, "CellObject")) {
            // A pointer of the writing program means nothing here.
            R.ReadInteger();
        } else if (SameText(field, "FontColor")) {
            bit = scpFontColor;
            p.SetFontColor(R.ReadColor());
        } else if (SameText(field, "FontName")) {
            bit = scpFontName;
            p.SetFontName(R.ReadString());
        } else if (SameText(field, "FontSize")) {
            bit = scpFontSize;
            p.SetFontSize(readInt(R));
        } else if (SameText(field, "FontStyle")) {
            bit = scpFontStyle;
            TFontStyles styles;
            for (const std::string& m : R.ReadSet()) {
                const int s = IdentToEnum(FontStyleNames, m);
                if (s < 0) throw EReadError(Format("Invalid property value %s", m));
                styles.Include(TFontStyle(s));
            }
            p.SetFontStyle(styles);
        } else if (SameText(field, "Editor")) {
            bit = scpEditor;
            p.SetEditor(TEditorType(readEnum(R, EditorTypeNames)));
        } else if (SameText(field, "GradientDirection")) {
            bit = scpGradientDirection;
            p.SetGradientDirection(TCellGradientDirection(readEnum(R, GradientDirectionNames)));
        } else if (SameText(field, "ReadOnly")) {
            bit = scpReadOnly;
            p.SetReadOnly(R.ReadBoolean());
        } else if (SameText(field, "VAlignment")) {
            bit = scpVAlignment;
            p.SetVAlignment(TVAlignment(readEnum(R, VAlignmentNames)));
        } else if (SameText(field, "WordWrap")) {
            bit = scpWordWrap;
            p.SetWordWrap(R.ReadBoolean());
        } else if (SameText(field, "NodeLevel")) {
            bit = scpNodeLevel;
            p.SetNodeLevel(readInt(R));
        } else if (SameText(field, "Control")) {
            bit = scpControl;
            FControlName = R.ReadIdent();
            if (FControlName == "nil") FControlName.clear();
        } else {
            return false;
        }
        FPresent |= bit;
        return true;
    });
}

// --- TGridGraphicIO ------------------------------------------------------------------------

TGridGraphicIO::TGridGraphicIO(TComponent* AOwner)
    : TComponent(AOwner), FCellGraphic(std::make_unique<TCellGraphic>()) {}

void TGridGraphicIO::SetFrom(const TCellGraphic& Graphic) {
    FCellGraphic->Assign(&Graphic);
    FCellGraphic->SetCellCheckBoxState(Graphic.CellCheckBoxState());
}

void TGridGraphicIO::Write(TWriter& W) const {
    const TCellGraphic& g = *FCellGraphic;
    auto prop = [&](const char* name) { W.WritePropName(std::string("CellGraphic.") + name); };
    writeHeader(W, *this, "TGridGraphicIO");
    prop("CellType");
    writeEnum(W, CellTypeNames, g.CellType());
    prop("CellVAlign");
    writeEnum(W, CellVAlignNames, g.CellVAlign());
    prop("CellHAlign");
    writeEnum(W, CellHAlignNames, g.CellHAlign());
    prop("CellIndex");
    W.WriteInteger(g.CellIndex());
    prop("CellTransparent");
    W.WriteBoolean(g.CellTransparent());
    prop("CellCreated");
    W.WriteBoolean(g.CellCreated());
    prop("CellBoolean");
    W.WriteBoolean(g.CellBoolean());
    prop("CellCheckBoxState");
    writeEnum(W, CheckBoxStateNames, g.CellCheckBoxState());
    prop("CellAngle");
    W.WriteInteger(g.CellAngle());
    if (g.CellValue() != 0) {
        prop("CellValue");
        W.WriteFloat(g.CellValue());
    }
    prop("CellErrFrom");
    W.WriteInteger(g.CellErrFrom());
    prop("CellErrLen");
    W.WriteInteger(g.CellErrLen());
    if (!g.CellText().empty()) {
        prop("CellText");
        W.WriteString(g.CellText());
    }
    writeEnd(W, *this);
}

void TGridGraphicIO::Read(TReader& R) {
    FCellGraphic = std::make_unique<TCellGraphic>();
    TCellGraphic& g = *FCellGraphic;
    constexpr std::string_view prefix = "CellGraphic.";
    readRecord(R, *this, "TGridGraphicIO", [&](const std::string& name) {
        if (name.size() <= prefix.size() || !SameText(name.substr(0, prefix.size()), prefix))
            return false;
        const std::string_view field = std::string_view(name).substr(prefix.size());
        if (SameText(field, "CellType"))
            g.SetCellType(TCellType(readEnum(R, CellTypeNames)));
        else if (SameText(field, "CellVAlign"))
            g.SetCellVAlign(TCellVAlign(readEnum(R, CellVAlignNames)));
        else if (SameText(field, "CellHAlign"))
            g.SetCellHAlign(TCellHAlign(readEnum(R, CellHAlignNames)));
        else if (SameText(field, "CellIndex"))
            g.SetCellIndex(readInt(R));
        else if (SameText(field, "CellTransparent"))
            g.SetCellTransparent(R.ReadBoolean());
        else if (SameText(field, "CellCreated"))
            g.SetCellCreated(R.ReadBoolean());
        else if (SameText(field, "CellBoolean"))
            g.SetCellBoolean(R.ReadBoolean());
        else if (SameText(field, "CellCheckBoxState"))
            g.SetCellCheckBoxState(TCheckBoxState(readEnum(R, CheckBoxStateNames)));
        else if (SameText(field, "CellAngle"))
            g.SetCellAngle(readInt(R));
        else if (SameText(field, "CellValue"))
            g.SetCellValue(double(R.ReadFloat()));
        else if (SameText(field, "CellErrFrom"))
            g.SetCellErrFrom(readInt(R));
        else if (SameText(field, "CellErrLen"))
            g.SetCellErrLen(readInt(R));
        else if (SameText(field, "CellText"))
            g.SetCellText(R.ReadString());
        else
            return false;
        return true;
    });
    // A graphic read from a stream owns no object yet: its payload is placed by the reader.
    g.SetCellCreated(false);
}

// --- payload records -----------------------------------------------------------------------

TGridBMPIO::TGridBMPIO(TComponent* AOwner)
    : TComponent(AOwner), FBitmap(std::make_unique<TBitmap>()) {}

std::unique_ptr<TBitmap> TGridBMPIO::Take() {
    return std::exchange(FBitmap, std::make_unique<TBitmap>());
}

// The bitmap's data: a 4-byte byte count, then the BMP file.
void TGridBMPIO::Write(TWriter& W) const {
    writeHeader(W, *this, "TGridBMPIO");
    if (!FBitmap->Empty()) {
        const std::string bmp = graphicBytes(*FBitmap);
        std::string data(4, '\0');
        for (int i = 0; i < 4; ++i) data[std::size_t(i)] = char(bmp.size() >> (8 * i));
        W.WritePropName("Bitmap.Data");
        W.WriteBinary(data + bmp);
    }
    writeEnd(W, *this);
}

void TGridBMPIO::Read(TReader& R) {
    FBitmap = std::make_unique<TBitmap>();
    readRecord(R, *this, "TGridBMPIO", [&](const std::string& name) {
        if (!named(name, "Bitmap.Data")) return false;
        const std::string data = R.ReadBinary();
        std::uint32_t n = 0;
        for (int i = 0; i < 4 && std::size_t(i) < data.size(); ++i)
            n |= std::uint32_t(std::uint8_t(data[std::size_t(i)])) << (8 * i);
        if (data.size() < 4 || n > data.size() - 4) throw EReadError("Invalid bitmap data");
        loadGraphic(*FBitmap, std::string_view(data).substr(4, n));
        return true;
    });
}

TGridIconIO::TGridIconIO(TComponent* AOwner)
    : TComponent(AOwner), FIcon(std::make_unique<TIcon>()) {}

std::unique_ptr<TIcon> TGridIconIO::Take() {
    return std::exchange(FIcon, std::make_unique<TIcon>());
}

void TGridIconIO::Write(TWriter& W) const {
    writeHeader(W, *this, "TGridIconIO");
    if (!FIcon->Empty()) {
        W.WritePropName("Icon.Data");
        W.WriteBinary(graphicBytes(*FIcon));
    }
    writeEnd(W, *this);
}

void TGridIconIO::Read(TReader& R) {
    FIcon = std::make_unique<TIcon>();
    readRecord(R, *this, "TGridIconIO", [&](const std::string& name) {
        if (!named(name, "Icon.Data")) return false;
        loadGraphic(*FIcon, R.ReadBinary());
        return true;
    });
}

TGridPicIO::TGridPicIO(TComponent* AOwner)
    : TComponent(AOwner), FPicture(std::make_unique<TPicture>()) {}

std::unique_ptr<TPicture> TGridPicIO::Take() {
    return std::exchange(FPicture, std::make_unique<TPicture>());
}

// The picture's data: the class name of its image kind as a short string, then its data.
void TGridPicIO::Write(TWriter& W) const {
    writeHeader(W, *this, "TGridPicIO");
    if (const TGraphic* g = FPicture->Graphic(); g && !g->Empty()) {
        const std::string cls = pictureClass(*g);
        std::string data(1, char(cls.size()));
        data += cls;
        data += graphicBytes(*g);
        W.WritePropName("Picture.Data");
        W.WriteBinary(data);
    }
    writeEnd(W, *this);
}

void TGridPicIO::Read(TReader& R) {
    FPicture = std::make_unique<TPicture>();
    readRecord(R, *this, "TGridPicIO", [&](const std::string& name) {
        if (!named(name, "Picture.Data")) return false;
        const std::string data = R.ReadBinary();
        const std::size_t n = data.empty() ? 0 : std::uint8_t(data[0]);
        if (data.size() < 1 + n) throw EReadError("Invalid picture data");
        const std::string_view cls = std::string_view(data).substr(1, n);
        const std::string_view bytes = std::string_view(data).substr(1 + n);
        std::unique_ptr<TGraphic> g = newPictureGraphic(cls, bytes);
        loadGraphic(*g, bytes);
        FPicture->SetGraphic(g.get());
        return true;
    });
}

TGridFilePicIO::TGridFilePicIO(TComponent* AOwner)
    : TComponent(AOwner), FPicture(std::make_unique<TFilePicture>()) {}

std::unique_ptr<TFilePicture> TGridFilePicIO::Take() {
    return std::exchange(FPicture, std::make_unique<TFilePicture>());
}

void TGridFilePicIO::Write(TWriter& W) const {
    writeHeader(W, *this, "TGridFilePicIO");
    if (!FPicture->Filename().empty()) {
        W.WritePropName("Picture.Filename");
        W.WriteString(FPicture->Filename());
    }
    writeEnd(W, *this);
}

void TGridFilePicIO::Read(TReader& R) {
    FPicture = std::make_unique<TFilePicture>();
    readRecord(R, *this, "TGridFilePicIO", [&](const std::string& name) {
        if (!named(name, "Picture.Filename")) return false;
        FPicture->SetFilename(R.ReadString());
        return true;
    });
}

TGridSLIO::TGridSLIO(TComponent* AOwner)
    : TComponent(AOwner), FStrings(std::make_unique<TStringList>()) {}

std::unique_ptr<TStringList> TGridSLIO::Take() {
    return std::exchange(FStrings, std::make_unique<TStringList>());
}

void TGridSLIO::Write(TWriter& W) const {
    writeHeader(W, *this, "TGridSLIO");
    if (FStrings->Count() > 0) {
        W.WritePropName("Strings.Strings");
        W.WriteListBegin();
        for (int i = 0; i < FStrings->Count(); ++i) W.WriteString(FStrings->Get(i));
        W.WriteListEnd();
    }
    writeEnd(W, *this);
}

void TGridSLIO::Read(TReader& R) {
    FStrings = std::make_unique<TStringList>();
    readRecord(R, *this, "TGridSLIO", [&](const std::string& name) {
        if (!named(name, "Strings.Strings")) return false;
        R.ReadListBegin();
        while (!R.EndOfList()) FStrings->Add(R.ReadString());
        return true;
    });
}
