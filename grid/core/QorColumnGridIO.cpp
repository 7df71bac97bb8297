// The column grid's column items in the component streaming format.
#include "grid/core/QorColumnGrid.h"
#include "grid/core/base/GridTypeNames.h"
#include "grid/data/DataSettings.h"
#include "platform/base/ComponentStream.h"

#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* sortStyle[] = {
    "ssAutomatic",   "ssAlphabetic", "ssNumeric",       "ssDate",
    "ssAlphaNoCase", "ssAlphaCase",  "ssShortDateEU",   "ssShortDateUS",
    "ssCustom",      "ssFinancial",  "ssAnsiAlphaCase", "ssAnsiAlphaNoCase",
    "ssRaw",         "ssHTML",       "ssImages",        "ssCheckBox",
    "ssDateTime",    "ssTime",       "ssAlphaNumeric",  "ssAlphaNumericNoCase"};
constexpr const char* popupType[] = {"cpFixedCellsRClick",  "cpFixedCellsLClick",
                                     "cpNormalCellsRClick", "cpNormalCellsLClick",
                                     "cpAllCellsRClick",    "cpAllCellsLClick"};
constexpr const char* cellBorder[] = {"cbTop", "cbLeft", "cbRight", "cbBottom"};
constexpr const char* penStyle[] = {"psSolid",       "psDash",       "psDot",
                                    "psDashDot",     "psDashDotDot", "psClear",
                                    "psInsideFrame", "psUserStyle",  "psAlternate"};
constexpr const char* fontPitch[] = {"fpDefault", "fpVariable", "fpFixed"};
constexpr TEnumNames SortStyleNames{sortStyle, int(std::size(sortStyle))};
constexpr TEnumNames PopupTypeNames{popupType, int(std::size(popupType))};
constexpr TEnumNames CellBorderNames{cellBorder, int(std::size(cellBorder))};
constexpr TEnumNames PenStyleNames{penStyle, int(std::size(penStyle))};
constexpr TEnumNames FontPitchNames{fontPitch, int(std::size(fontPitch))};

void writeEnum(TWriter& w, const TEnumNames& names, int value) {
    const char* ident = EnumToIdent(names, value);
    if (!ident) throw EWriteError(Format("Invalid enumeration value %d", value));
    w.WriteIdent(ident);
}

int readEnum(TReader& r, const TEnumNames& names) {
    const std::string ident = r.ReadIdent();
    const int v = IdentToEnum(names, ident);
    if (v < 0) throw EReadError(Format("Invalid property value %s", ident));
    return v;
}

int readInt(TReader& r) {
    const std::int64_t v = r.ReadInteger();
    if (v < INT32_MIN || v > INT32_MAX) throw EReadError("Invalid property value");
    return int(v);
}

std::vector<std::string> styleNames(TFontStyles styles) {
    std::vector<std::string> members;
    for (int i = 0; i < FontStyleNames.Count; ++i)
        if (styles.Contains(TFontStyle(i))) members.push_back(FontStyleNames.Names[i]);
    return members;
}

void writeFont(TWriter& w, const std::string& prop, const TFont& f) {
    w.WritePropName(prop + ".Charset");
    w.WriteInteger(f.Charset());
    w.WritePropName(prop + ".Color");
    w.WriteColor(f.Color());
    w.WritePropName(prop + ".Height");
    w.WriteInteger(f.Height());
    if (!f.Name().empty()) {
        w.WritePropName(prop + ".Name");
        w.WriteString(f.Name());
    }
    w.WritePropName(prop + ".Orientation");
    w.WriteInteger(f.Orientation());
    w.WritePropName(prop + ".Pitch");
    writeEnum(w, FontPitchNames, f.Pitch());
    w.WritePropName(prop + ".Style");
    w.WriteSet(styleNames(f.Style()));
}

// A property of a font by its name after the font's point; false for an unknown one.
bool readFont(TReader& r, std::string_view field, TFont& f) {
    if (SameText(field, "Charset")) {
        f.SetCharset(TFontCharset(readInt(r)));
    } else if (SameText(field, "Color")) {
        f.SetColor(r.ReadColor());
    } else if (SameText(field, "Height")) {
        f.SetHeight(readInt(r));
    } else if (SameText(field, "Size")) {
        f.SetSize(readInt(r));
    } else if (SameText(field, "Name")) {
        f.SetName(r.ReadString());
    } else if (SameText(field, "Orientation")) {
        f.SetOrientation(readInt(r));
    } else if (SameText(field, "Pitch")) {
        f.SetPitch(TFontPitch(readEnum(r, FontPitchNames)));
    } else if (SameText(field, "Style")) {
        TFontStyles styles;
        for (const std::string& m : r.ReadSet()) {
            const int s = IdentToEnum(FontStyleNames, m);
            if (s < 0) throw EReadError(Format("Invalid property value %s", m));
            styles.Include(TFontStyle(s));
        }
        f.SetStyle(styles);
    } else {
        return false;
    }
    return true;
}

void writePen(TWriter& w, const std::string& prop, const TPen& p) {
    w.WritePropName(prop + ".Color");
    w.WriteColor(p.Color());
    w.WritePropName(prop + ".Style");
    writeEnum(w, PenStyleNames, p.Style());
    w.WritePropName(prop + ".Width");
    w.WriteInteger(p.Width());
}

bool readPen(TReader& r, std::string_view field, TPen& p) {
    if (SameText(field, "Color"))
        p.SetColor(r.ReadColor());
    else if (SameText(field, "Style"))
        p.SetStyle(TPenStyle(readEnum(r, PenStyleNames)));
    else if (SameText(field, "Width"))
        p.SetWidth(readInt(r));
    else
        return false;
    return true;
}

void writeBorders(TWriter& w, TCellBorders borders) {
    std::vector<std::string> members;
    for (int i = 0; i < CellBorderNames.Count; ++i)
        if (borders.Contains(TCellBorder(i))) members.push_back(CellBorderNames.Names[i]);
    w.WriteSet(members);
}

TCellBorders readBorders(TReader& r) {
    TCellBorders borders;
    for (const std::string& m : r.ReadSet()) {
        const int b = IdentToEnum(CellBorderNames, m);
        if (b < 0) throw EReadError(Format("Invalid property value %s", m));
        borders.Include(TCellBorder(b));
    }
    return borders;
}

void writeStrings(TWriter& w, const std::string& prop, const TStrings& list) {
    if (list.Count() == 0) return;
    w.WritePropName(prop + ".Strings");
    w.WriteListBegin();
    for (int i = 0; i < list.Count(); ++i) w.WriteString(list.Get(i));
    w.WriteListEnd();
}

void readStrings(TReader& r, TStrings& list) {
    list.Clear();
    r.ReadListBegin();
    while (!r.EndOfList()) list.Add(r.ReadString());
}

std::string referenceName(const TObject* o) {
    const auto* c = dynamic_cast<const TComponent*>(o);
    return c ? c->Name() : std::string();
}

void writeItem(TWriter& w, const TGridColumnItem& item) {
    auto name = [&](const char* n) { w.WritePropName(n); };
    auto text = [&](const char* n, const std::string& v) {
        if (v.empty()) return;
        name(n);
        w.WriteString(v);
    };
    auto integer = [&](const char* n, std::int64_t v) {
        name(n);
        w.WriteInteger(v);
    };
    auto boolean = [&](const char* n, bool v) {
        name(n);
        w.WriteBoolean(v);
    };
    auto reference = [&](const char* n, const TObject* o) {
        if (const std::string id = referenceName(o); !id.empty()) {
            name(n);
            w.WriteIdent(id);
        }
    };
    w.WriteListBegin();
    integer("Width", item.Width());
    name("Alignment");
    writeEnum(w, AlignmentNames, item.Alignment());
    text("Header", item.Header());
    name("SortStyle");
    writeEnum(w, SortStyleNames, item.SortStyle());
    text("SortPrefix", item.SortPrefix());
    text("SortSuffix", item.SortSuffix());
    text("EditMask", item.EditMask());
    integer("EditLength", item.EditLength());
    reference("EditLink", item.EditLink());
    writeFont(w, "Font", *item.Font());
    name("Color");
    w.WriteColor(item.Color());
    name("Editor");
    writeEnum(w, EditorTypeNames, item.Editor());
    boolean("Fixed", item.Fixed());
    boolean("ReadOnly", item.ReadOnly());
    writeStrings(w, "ComboItems", *item.ComboItems());
    integer("DropDownCount", item.DropDownCount());
    integer("SpinMin", item.SpinMin());
    integer("SpinMax", item.SpinMax());
    integer("SpinStep", item.SpinStep());
    boolean("Password", item.Password());
    writeFont(w, "PrintFont", *item.PrintFont());
    name("PrintColor");
    w.WriteColor(item.PrintColor());
    name("Borders");
    writeBorders(w, item.Borders());
    writePen(w, "BorderPen", *item.BorderPen());
    name("PrintBorders");
    writeBorders(w, item.PrintBorders());
    writePen(w, "PrintBorderPen", *item.PrintBorderPen());
    if (item.Tag() != 0) integer("Tag", item.Tag());
    integer("DefIdx", item.DefIdx());
    text("Name", item.Name());
    text("CheckFalse", item.CheckFalse());
    text("CheckTrue", item.CheckTrue());
    boolean("ShowBands", item.ShowBands());
    writeStrings(w, "Filter", *item.Filter());
    integer("MaxSize", item.MaxSize());
    integer("MinSize", item.MinSize());
    integer("AutoMinSize", item.AutoMinSize());
    integer("AutoMaxSize", item.AutoMaxSize());
    name("ColumnPopupType");
    writeEnum(w, PopupTypeNames, item.ColumnPopupType());
    reference("ColumnPopup", item.ColumnPopup());
    boolean("FilterCaseSensitive", item.FilterCaseSensitive());
    text("FloatFormat", item.FloatFormat());
    name("HeaderAlignment");
    writeEnum(w, AlignmentNames, item.HeaderAlignment());
    writeFont(w, "HeaderFont", *item.HeaderFont());
    boolean("PrintBorderCustom", item.PrintBorderCustom());
    boolean("PrintFontCustom", item.PrintFontCustom());
    w.WriteListEnd();
}

// A property of a column item; false for an unknown one.
bool readItemProperty(TReader& r, const std::string& name, TGridColumnItem& item,
                      TComponent* form) {
    auto find = [&](const std::string& id) -> TComponent* {
        return form && id != "nil" ? form->FindComponent(id) : nullptr;
    };
    const auto dot = name.find('.');
    if (dot != std::string::npos) {
        const std::string owner = name.substr(0, dot);
        const std::string_view field = std::string_view(name).substr(dot + 1);
        if (SameText(owner, "Font")) return readFont(r, field, *item.Font());
        if (SameText(owner, "PrintFont")) return readFont(r, field, *item.PrintFont());
        if (SameText(owner, "HeaderFont")) return readFont(r, field, *item.HeaderFont());
        if (SameText(owner, "BorderPen")) return readPen(r, field, *item.BorderPen());
        if (SameText(owner, "PrintBorderPen")) return readPen(r, field, *item.PrintBorderPen());
        if (!SameText(field, "Strings")) return false;
        if (SameText(owner, "ComboItems")) {
            readStrings(r, *item.ComboItems());
            return true;
        }
        if (SameText(owner, "Filter")) {
            readStrings(r, *item.Filter());
            return true;
        }
        return false;
    }
    if (SameText(name, "Width"))
        item.SetWidth(readInt(r));
    else if (SameText(name, "Alignment"))
        item.SetAlignment(TAlignment(readEnum(r, AlignmentNames)));
    else if (SameText(name, "Header"))
        item.SetHeader(r.ReadString());
    else if (SameText(name, "SortStyle"))
        item.SetSortStyle(TSortStyle(readEnum(r, SortStyleNames)));
    else if (SameText(name, "SortPrefix"))
        item.SetSortPrefix(r.ReadString());
    else if (SameText(name, "SortSuffix"))
        item.SetSortSuffix(r.ReadString());
    else if (SameText(name, "EditMask"))
        item.SetEditMask(r.ReadString());
    else if (SameText(name, "EditLength"))
        item.SetEditLength(readInt(r));
    else if (SameText(name, "EditLink"))
        item.SetEditLink(find(r.ReadIdent()));
    else if (SameText(name, "Color"))
        item.SetColor(r.ReadColor());
    else if (SameText(name, "Editor"))
        item.SetEditor(TEditorType(readEnum(r, EditorTypeNames)));
    else if (SameText(name, "Fixed"))
        item.SetFixed(r.ReadBoolean());
    else if (SameText(name, "ReadOnly"))
        item.SetReadOnly(r.ReadBoolean());
    else if (SameText(name, "DropDownCount"))
        item.SetDropDownCount(readInt(r));
    else if (SameText(name, "SpinMin"))
        item.SetSpinMin(readInt(r));
    else if (SameText(name, "SpinMax"))
        item.SetSpinMax(readInt(r));
    else if (SameText(name, "SpinStep"))
        item.SetSpinStep(readInt(r));
    else if (SameText(name, "Password"))
        item.SetPassword(r.ReadBoolean());
    else if (SameText(name, "PrintColor"))
        item.SetPrintColor(r.ReadColor());
    else if (SameText(name, "Borders"))
        item.SetBorders(readBorders(r));
    else if (SameText(name, "PrintBorders"))
        item.SetPrintBorders(readBorders(r));
    else if (SameText(name, "Tag"))
        item.SetTag(std::intptr_t(r.ReadInteger()));
    else if (SameText(name, "DefIdx"))
        item.SetDefIdx(readInt(r));
    else if (SameText(name, "Name"))
        item.SetName(r.ReadString());
    else if (SameText(name, "CheckFalse"))
        item.SetCheckFalse(r.ReadString());
    else if (SameText(name, "CheckTrue"))
        item.SetCheckTrue(r.ReadString());
    else if (SameText(name, "ShowBands"))
        item.SetShowBands(r.ReadBoolean());
    else if (SameText(name, "MaxSize"))
        item.SetMaxSize(readInt(r));
    else if (SameText(name, "MinSize"))
        item.SetMinSize(readInt(r));
    else if (SameText(name, "AutoMinSize"))
        item.SetAutoMinSize(readInt(r));
    else if (SameText(name, "AutoMaxSize"))
        item.SetAutoMaxSize(readInt(r));
    else if (SameText(name, "ColumnPopupType"))
        item.SetColumnPopupType(TColumnPopupType(readEnum(r, PopupTypeNames)));
    else if (SameText(name, "ColumnPopup"))
        item.SetColumnPopup(dynamic_cast<TPopupMenu*>(find(r.ReadIdent())));
    else if (SameText(name, "FilterCaseSensitive"))
        item.SetFilterCaseSensitive(r.ReadBoolean());
    else if (SameText(name, "FloatFormat"))
        item.SetFloatFormat(r.ReadString());
    else if (SameText(name, "HeaderAlignment"))
        item.SetHeaderAlignment(TAlignment(readEnum(r, AlignmentNames)));
    else if (SameText(name, "PrintBorderCustom"))
        item.SetPrintBorderCustom(r.ReadBoolean());
    else if (SameText(name, "PrintFontCustom"))
        item.SetPrintFontCustom(r.ReadBoolean());
    else
        return false;
    return true;
}

// Assign, and the three settings an item's Assign leaves out, which the stream holds too.
void copyItems(const TGridColumnCollection& from, TGridColumnCollection& to) {
    to.Assign(&from);
    for (int i = 0; i < to.Count() && i < from.Count(); ++i) {
        TGridColumnItem* t = to.Items(i);
        const TGridColumnItem* f = from.Items(i);
        t->SetColumnPopupType(f->ColumnPopupType());
        t->SetPrintBorderCustom(f->PrintBorderCustom());
        t->SetPrintFontCustom(f->PrintFontCustom());
    }
}

} // namespace

// --- TQorColumnGridIO ------------------------------------------------------------------------

TQorColumnGridIO::TQorColumnGridIO(TComponent* AOwner, TQorColumnGrid* Grid)
    : TComponent(AOwner), FItems(std::make_unique<TGridColumnCollection>(Grid)) {
    // The stream's items must not resize the grid or rebuild its headers on every change.
    FItems->SetNoRecursiveUpdate(true);
}

TQorColumnGridIO::~TQorColumnGridIO() = default;

void TQorColumnGridIO::SetItems(const TGridColumnCollection* v) {
    copyItems(*v, *FItems);
}

void TQorColumnGridIO::WriteComponent(TStream& Stream) const {
    TWriter w(Stream);
    w.WriteComponentHeader("TQorColumnGridIO", Name());
    w.WritePropName("Items");
    w.WriteCollectionBegin();
    for (int i = 0; i < FItems->Count(); ++i) writeItem(w, *FItems->Items(i));
    w.WriteListEnd();
    if (Tag() != 0) {
        w.WritePropName("Tag");
        w.WriteInteger(Tag());
    }
    w.WriteComponentEnd();
    w.FlushBuffer();
}

void TQorColumnGridIO::ReadComponent(TStream& Stream, TComponent* Form) {
    TReader r(Stream);
    r.ExpectComponent("TQorColumnGridIO");
    while (!r.EndOfList()) {
        const std::string name = r.ReadStr();
        if (SameText(name, "Tag")) {
            SetTag(std::intptr_t(r.ReadInteger()));
            continue;
        }
        if (!SameText(name, "Items")) TReader::UnknownProperty(name);
        FItems->Clear();
        r.ReadCollectionBegin();
        while (!r.EndOfList()) {
            if (r.NextValue() != vaList) r.ReadInteger(); // an item's order value
            r.ReadListBegin();
            // A fresh item, not one that takes the visuals of the item before it.
            auto* item = FItems->Insert(FItems->Count());
            while (!r.EndOfList()) {
                const std::string prop = r.ReadStr();
                if (!readItemProperty(r, prop, *item, Form)) TReader::UnknownProperty(prop);
            }
        }
    }
    r.ReadChildrenEnd();
    r.Finish();
}

// --- TQorColumnGrid --------------------------------------------------------------------------

void TQorColumnGrid::SaveColumnsToStream(TStream& st) {
    TQorColumnGridIO io(nullptr, this);
    io.SetItems(FColumnCollection.get());
    io.WriteComponent(st);
}

void TQorColumnGrid::LoadColumnsFromStream(TStream& st) {
    TQorColumnGridIO io(nullptr, this);
    io.ReadComponent(st, Owner());
    const bool saved = FColumnCollection->NoRecursiveUpdate();
    FColumnCollection->SetNoRecursiveUpdate(true);
    copyItems(*io.Items(), *FColumnCollection);
    FColumnCollection->SetNoRecursiveUpdate(saved);
    Invalidate();
}
