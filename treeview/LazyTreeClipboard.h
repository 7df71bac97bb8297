#pragma once
// The process-wide registry of the clipboard formats trees offer, and the format numbers of the
// tree's own named formats. The first tree registers them (InitTreeGlobals).
#include "platform/base/Classes.h"
#include "platform/ui/core/Clipbrd.h"
#include "platform/ui/core/DragDrop.h"

#include <string>
#include <vector>

// A tree class as the registry names it: a format registered for a class applies to the classes
// derived from it.
struct TTreeClass {
    const char* Name;
    const TTreeClass* Base;
    bool InheritsFrom(const TTreeClass* Class) const;
};
extern const TTreeClass BaseLazyTreeClass;
extern const TTreeClass CustomLazyStringTreeClass;
extern const TTreeClass LazyStringTreeClass;

struct TClipboardFormatListEntry {
    std::string Description;
    const TTreeClass* TreeClass = nullptr;
    unsigned Priority = 0; // lower values are offered first
    FORMATETC FormatEtc;
};
using TFormatEtcArray = std::vector<FORMATETC>;

class TClipboardFormatList {
public:
    // Appends an entry and keeps the list ordered by priority.
    static void Add(const std::string& FormatString, const TTreeClass* TreeClass,
                    const FORMATETC& FormatEtc, unsigned Priority);
    static void Clear();
    // The formats for TreeClass (registered for it or a base class), in list order; with
    // AllowedFormats only those it names.
    static void EnumerateFormats(const TTreeClass* TreeClass, TFormatEtcArray& Formats,
                                 const TStrings* AllowedFormats = nullptr);
    static void EnumerateFormats(const TTreeClass* TreeClass, TStrings* Formats);
    // The entry named FormatString (any letter case), the last one registered; nil when none.
    static const TClipboardFormatListEntry* FindFormat(const std::string& FormatString);
    static const TTreeClass* FindFormat(const std::string& FormatString, CLIPFORMAT& Fmt);
    static const TTreeClass* FindFormat(CLIPFORMAT Fmt, std::string& Description);
    // A standard format (1..17 by the names of the standard table, others by their registered
    // name); an unknown one is ignored.
    static void RegisterStdClipFormat(CLIPFORMAT Id, const TTreeClass* TreeClass,
                                      unsigned Priority);
    // Registers the name as a clipboard format and adds its entry; answers the format number.
    static CLIPFORMAT RegisterNamedClipFormat(const std::string& Name, const TTreeClass* TreeClass,
                                              unsigned Priority, DWORD Medium = TYMED_HGLOBAL);
    static const std::vector<TClipboardFormatListEntry>& Entries();
};

// The tree's named formats (0 until the first tree registered them).
extern CLIPFORMAT LazyTreeReferenceFormat;
extern CLIPFORMAT LazyTreeDataFormat;
extern CLIPFORMAT HtmlClipFormat;
extern CLIPFORMAT RtfNoObjectsClipFormat;
extern CLIPFORMAT RtfClipFormat;
extern CLIPFORMAT CsvClipFormat;

// The registration the first tree does.
void RegisterTreeClipboardFormats();
