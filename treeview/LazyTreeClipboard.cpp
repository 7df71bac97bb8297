#include "treeview/LazyTreeClipboard.h"

#include "platform/base/SysUtils.h"

#include <algorithm>
#include <array>

const TTreeClass BaseLazyTreeClass{"TBaseLazyTree", nullptr};
const TTreeClass CustomLazyStringTreeClass{"TCustomLazyStringTree", &BaseLazyTreeClass};
const TTreeClass LazyStringTreeClass{"TLazyStringTree", &CustomLazyStringTreeClass};

CLIPFORMAT LazyTreeReferenceFormat = 0;
CLIPFORMAT LazyTreeDataFormat = 0;
CLIPFORMAT HtmlClipFormat = 0;
CLIPFORMAT RtfNoObjectsClipFormat = 0;
CLIPFORMAT RtfClipFormat = 0;
CLIPFORMAT CsvClipFormat = 0;

bool TTreeClass::InheritsFrom(const TTreeClass* Class) const {
    for (const TTreeClass* c = this; c; c = c->Base)
        if (c == Class) return true;
    return false;
}

namespace {

std::vector<TClipboardFormatListEntry>& entries() {
    static std::vector<TClipboardFormatListEntry> list;
    return list;
}

// The names of the standard formats 1 to 17.
const std::array<const char*, 17> standardNames = {"Plain text",
                                                   "Windows bitmap",
                                                   "Windows metafile",
                                                   "Symbolic link",
                                                   "Data interchange format",
                                                   "Tiff image",
                                                   "OEM text",
                                                   "DIB image",
                                                   "Palette data",
                                                   "Pen data",
                                                   "Riff audio data",
                                                   "Wav audio data",
                                                   "Unicode text",
                                                   "Enhanced metafile image",
                                                   "File name(s)",
                                                   "Locale descriptor",
                                                   "DIB image V5"};

} // namespace

void TClipboardFormatList::Add(const std::string& FormatString, const TTreeClass* TreeClass,
                               const FORMATETC& FormatEtc, unsigned Priority) {
    auto& list = entries();
    list.push_back({FormatString, TreeClass, Priority, FormatEtc});
    std::stable_sort(list.begin(), list.end(),
                     [](const auto& a, const auto& b) { return a.Priority < b.Priority; });
}

void TClipboardFormatList::Clear() {
    entries().clear();
}

const std::vector<TClipboardFormatListEntry>& TClipboardFormatList::Entries() {
    return entries();
}

void TClipboardFormatList::EnumerateFormats(const TTreeClass* TreeClass, TFormatEtcArray& Formats,
                                            const TStrings* AllowedFormats) {
    Formats.clear();
    for (const auto& e : entries())
        if (TreeClass->InheritsFrom(e.TreeClass) &&
            (!AllowedFormats || AllowedFormats->IndexOf(e.Description) >= 0))
            Formats.push_back(e.FormatEtc);
}

void TClipboardFormatList::EnumerateFormats(const TTreeClass* TreeClass, TStrings* Formats) {
    for (const auto& e : entries())
        if (TreeClass->InheritsFrom(e.TreeClass)) Formats->Add(e.Description);
}

const TClipboardFormatListEntry* TClipboardFormatList::FindFormat(const std::string& FormatString) {
    const auto& list = entries();
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        if (SameText(it->Description, FormatString)) return &*it;
    return nullptr;
}

const TTreeClass* TClipboardFormatList::FindFormat(const std::string& FormatString,
                                                   CLIPFORMAT& Fmt) {
    const TClipboardFormatListEntry* e = FindFormat(FormatString);
    if (!e) return nullptr;
    Fmt = e->FormatEtc.cfFormat;
    return e->TreeClass;
}

const TTreeClass* TClipboardFormatList::FindFormat(CLIPFORMAT Fmt, std::string& Description) {
    const auto& list = entries();
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        if (it->FormatEtc.cfFormat == Fmt) {
            Description = it->Description;
            return it->TreeClass;
        }
    return nullptr;
}

void TClipboardFormatList::RegisterStdClipFormat(CLIPFORMAT Id, const TTreeClass* TreeClass,
                                                 unsigned Priority) {
    std::string name;
    if (Id >= 1 && Id <= standardNames.size())
        name = standardNames[Id - 1];
    else if (Id > standardNames.size())
        name = GetClipboardFormatName(Id);
    if (name.empty()) return;
    FORMATETC format;
    format.cfFormat = Id;
    Add(name, TreeClass, format, Priority);
}

CLIPFORMAT TClipboardFormatList::RegisterNamedClipFormat(const std::string& Name,
                                                         const TTreeClass* TreeClass,
                                                         unsigned Priority, DWORD Medium) {
    FORMATETC format;
    format.cfFormat = CLIPFORMAT(RegisterClipboardFormat(Name));
    format.tymed = Medium;
    Add(Name, TreeClass, format, Priority);
    return format.cfFormat;
}

void RegisterTreeClipboardFormats() {
    LazyTreeReferenceFormat = CLIPFORMAT(RegisterClipboardFormat("Lazy Tree Reference"));
    using List = TClipboardFormatList;
    LazyTreeDataFormat = List::RegisterNamedClipFormat("Lazy Tree Data", &BaseLazyTreeClass, 50);
    const TTreeClass* strings = &CustomLazyStringTreeClass;
    HtmlClipFormat = List::RegisterNamedClipFormat("HTML Format", strings, 80);
    RtfNoObjectsClipFormat =
        List::RegisterNamedClipFormat("Rich Text Format Without Objects", strings, 84);
    RtfClipFormat = List::RegisterNamedClipFormat("Rich Text Format", strings, 85);
    CsvClipFormat = List::RegisterNamedClipFormat("CSV", strings, 90);
    List::RegisterStdClipFormat(CF_TEXT, strings, 100);
    List::RegisterStdClipFormat(CF_UNICODETEXT, strings, 95);
}
