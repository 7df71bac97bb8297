// The grid's look as a text file of "Name=Value" lines.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridSettings.h"
#include "grid/data/DataSettings.h"
#include "grid/render/ControlLook.h"
#include "grid/render/FloatingFooter.h"
#include "grid/render/LookSettings.h"
#include "platform/files/Files.h"

#include <functional>
#include <vector>

namespace {
struct Prop {
    std::string key;
    std::function<std::string()> get;
    std::function<void(const std::string&)> set;
};

std::string colourText(TColor c) {
    const char* ident = nullptr;
    if (ColorToIdent(c, ident)) return ident;
    return "$" + IntToHex(static_cast<long long>(static_cast<std::uint32_t>(c)), 8);
}

// A colour name or number; empty is clNone. Raises EConvertError for other text.
TColor colourOf(const std::string& v) {
    if (v.empty()) return clNone;
    TColor c;
    if (IdentToColor(v, c)) return c;
    return TColor(StrToInt64(v));
}

template <class Get, class Set> Prop colour(std::string key, Get get, Set set) {
    return {std::move(key), [get] { return colourText(get()); },
            [set](const std::string& v) { set(colourOf(v)); }};
}
template <class Get, class Set> Prop boolean(std::string key, Get get, Set set) {
    return {std::move(key), [get] { return std::string(get() ? "true" : "false"); },
            [set](const std::string& v) { set(UpperCase(v) == "TRUE"); }};
}
template <class Get, class Set> Prop integer(std::string key, Get get, Set set) {
    return {std::move(key), [get] { return std::to_string(int(get())); },
            [set](const std::string& v) { set(StrToInt(v)); }};
}
// names[i] is the text of the value i; a text matching no name leaves the value unchanged.
template <class Get, class Set>
Prop enumeration(std::string key, std::vector<std::string> names, Get get, Set set) {
    return {std::move(key),
            [get, names] {
                const int i = int(get());
                return i >= 0 && i < int(names.size()) ? names[std::size_t(i)] : std::string();
            },
            [set, names](const std::string& v) {
                for (std::size_t i = 0; i < names.size(); ++i)
                    if (UpperCase(v) == UpperCase(names[i])) set(int(i));
            }};
}

const char* const styleNames[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};

void addFont(std::vector<Prop>& props, const std::string& prefix, TFont* f) {
    props.push_back(colour(
        prefix + ".Color", [f] { return f->Color(); }, [f](TColor c) { f->SetColor(c); }));
    props.push_back({prefix + ".Style",
                     [f] {
                         std::string s;
                         for (int i = 0; i < 4; ++i)
                             if (f->Style().Contains(TFontStyle(i)))
                                 s += (s.empty() ? "" : ",") + std::string(styleNames[i]);
                         return s;
                     },
                     [f](const std::string& v) {
                         TFontStyles st;
                         for (int i = 0; i < 4; ++i)
                             if (v.find(styleNames[i]) != std::string::npos)
                                 st.Include(TFontStyle(i));
                         f->SetStyle(st);
                     }});
    props.push_back(integer(
        prefix + ".Size", [f] { return f->Size(); }, [f](int v) { f->SetSize(v); }));
    props.push_back({prefix + ".Name", [f] { return f->Name(); },
                     [f](const std::string& v) { f->SetName(v); }});
}

#define KNX_COLOUR(key, obj, name)                                                                 \
    colour(                                                                                        \
        key, [obj] { return obj->name(); }, [obj](TColor c) { obj->Set##name(c); })
#define KNX_BOOL(key, obj, name)                                                                   \
    boolean(                                                                                       \
        key, [obj] { return obj->name(); }, [obj](bool b) { obj->Set##name(b); })
#define KNX_INT(key, obj, name)                                                                    \
    integer(                                                                                       \
        key, [obj] { return obj->name(); }, [obj](int v) { obj->Set##name(v); })

// Every setting of the file, in the order it is written and applied.
std::vector<Prop> visualProps(TQorStringGrid* g) {
    std::vector<Prop> p;
    TBalloonSettings* balloon = g->Balloon();
    TBands* bands = g->Bands();
    TSortSettings* sort = g->SortSettings();
    TFloatingFooter* footer = g->FloatingFooter();
    TControlLook* look = g->ControlLook();
    TSearchFooter* search = g->SearchFooter();
    TGrouping* grouping = g->Grouping();
    TBackGround* back = g->BackGround();
    p.push_back(KNX_COLOUR("Color", g, Color));
    p.push_back(KNX_COLOUR("HintColor", g, HintColor));
    p.push_back(KNX_COLOUR("SelectionColor", g, SelectionColor));
    p.push_back(KNX_COLOUR("SelectionColorTo", g, SelectionColorTo));
    p.push_back(KNX_COLOUR("SelectionMirrorColor", g, SelectionMirrorColor));
    p.push_back(KNX_COLOUR("SelectionMirrorColorTo", g, SelectionMirrorColorTo));
    p.push_back(KNX_COLOUR("SelectionTextColor", g, SelectionTextColor));
    p.push_back(KNX_COLOUR("URLColor", g, URLColor));
    p.push_back(KNX_BOOL("URLShow", g, URLShow));
    p.push_back(KNX_BOOL("URLShowInText", g, URLShowInText));
    p.push_back(KNX_COLOUR("ScrollColor", g, ScrollColor));
    p.push_back(KNX_COLOUR("ActiveRowColor", g, ActiveRowColor));
    p.push_back(KNX_BOOL("ActiveRowShow", g, ActiveRowShow));
    p.push_back(KNX_BOOL("ActiveCellShow", g, ActiveCellShow));
    addFont(p, "Font", g->Font());
    p.push_back(KNX_COLOUR("ActiveCellColor", g, ActiveCellColor));
    p.push_back(KNX_COLOUR("ActiveCellColorTo", g, ActiveCellColorTo));
    addFont(p, "ActiveCellFont", g->ActiveCellFont());
    addFont(p, "FixedFont", g->FixedFont());
    p.push_back(KNX_COLOUR("Balloon.BackgroundColor", balloon, BackgroundColor));
    p.push_back(KNX_COLOUR("Balloon.TextColor", balloon, TextColor));
    p.push_back(integer(
        "Balloon.Transparency", [balloon] { return balloon->Transparency(); },
        [balloon](int v) { balloon->SetTransparency(std::uint8_t(v)); }));
    p.push_back(KNX_COLOUR("Bands.PrimaryColor", bands, PrimaryColor));
    p.push_back(KNX_COLOUR("Bands.SecondaryColor", bands, SecondaryColor));
    p.push_back(KNX_BOOL("Bands.Active", bands, Active));
    p.push_back(KNX_COLOUR("SortSettings.IndexColor", sort, IndexColor));
    p.push_back(KNX_COLOUR("FloatingFooter.Color", footer, Color));
    p.push_back(KNX_INT("ControlLook.CheckSize", look, CheckSize));
    p.push_back(KNX_COLOUR("ControlLook.Color", look, Color));
    p.push_back(KNX_COLOUR("ControlLook.CommentColor", look, CommentColor));
    p.push_back(enumeration(
        "ControlLook.ControlStyle",
        {"csClassic", "csFlat", "csWinXP", "csBorland", "csQor", "csGlyph", "csTheme"},
        [look] { return look->ControlStyle(); },
        [look](int v) { look->SetControlStyle(TControlStyle(v)); }));
    p.push_back(KNX_COLOUR("ControlLook.FixedGradientFrom", look, FixedGradientFrom));
    p.push_back(KNX_COLOUR("ControlLook.FixedGradientTo", look, FixedGradientTo));
    p.push_back(KNX_INT("ControlLook.RadioSize", look, RadioSize));
    p.push_back(KNX_BOOL("ControlLook.FlatButton", look, FlatButton));
    p.push_back(KNX_COLOUR("ControlLook.ProgressBorderColor", look, ProgressBorderColor));
    p.push_back(KNX_BOOL("ControlLook.ProgressXP", look, ProgressXP));
    std::vector<std::string> looks;
    for (int l = glStandard; l < glCustom; ++l) looks.push_back(LookToString(TGridLook(l)));
    p.push_back(enumeration(
        "Look", looks, [g] { return g->Look(); }, [g](int v) { g->SetLook(TGridLook(v)); }));
    p.push_back(KNX_COLOUR("SearchFooter.Color", search, Color));
    p.push_back(KNX_COLOUR("SearchFooter.ColorTo", search, ColorTo));
    p.push_back(KNX_COLOUR("Grouping.HeaderColor", grouping, HeaderColor));
    p.push_back(KNX_COLOUR("Grouping.HeaderColorTo", grouping, HeaderColorTo));
    p.push_back(KNX_COLOUR("Grouping.HeaderTextColor", grouping, HeaderTextColor));
    p.push_back(KNX_BOOL("Grouping.HeaderUnderline", grouping, HeaderUnderline));
    p.push_back(KNX_COLOUR("Grouping.HeaderLineColor", grouping, HeaderLineColor));
    p.push_back(KNX_INT("Grouping.HeaderLineWidth", grouping, HeaderLineWidth));
    p.push_back(KNX_COLOUR("Grouping.SummaryColor", grouping, SummaryColor));
    p.push_back(KNX_COLOUR("Grouping.SummaryColorTo", grouping, SummaryColorTo));
    p.push_back(KNX_COLOUR("Grouping.SummaryTextColor", grouping, SummaryTextColor));
    p.push_back(KNX_BOOL("Grouping.SummaryLine", grouping, SummaryLine));
    p.push_back(KNX_COLOUR("Grouping.SummaryLineColor", grouping, SummaryLineColor));
    p.push_back(KNX_INT("Grouping.SummaryLineWidth", grouping, SummaryLineWidth));
    p.push_back(KNX_COLOUR("GridLineColor", g, GridLineColor));
    p.push_back(KNX_COLOUR("GridFixedLineColor", g, GridFixedLineColor));
    p.push_back(KNX_INT("BackGround.Top", back, Top));
    p.push_back(KNX_INT("BackGround.Left", back, Left));
    p.push_back(enumeration(
        "BackGround.Display", {"bdTile", "bdFixed", "bdGradientHorz", "bdGradientVert"},
        [back] { return back->Display(); },
        [back](int v) { back->SetDisplay(TBackGroundDisplay(v)); }));
    p.push_back(enumeration(
        "BackGround.Cells", {"bcNormal", "bcFixed", "bcAll"}, [back] { return back->Cells(); },
        [back](int v) { back->SetCells(TBackGroundCells(v)); }));
    p.push_back(KNX_COLOUR("BackGround.Color", back, Color));
    p.push_back(KNX_COLOUR("BackGround.ColorTo", back, ColorTo));
    return p;
}
#undef KNX_COLOUR
#undef KNX_BOOL
#undef KNX_INT
} // namespace

void TQorStringGrid::SaveVisualProps(const std::string& FileName) {
    std::string text;
    for (const Prop& p : visualProps(this)) text += p.key + "=" + p.get() + "\r\n";
    if (!TryWriteBinaryFile(FileName, EncodeText(text, TTextEncoding::Ansi)))
        throw EQorGridError("Cannot Create " + FileName);
}

void TQorStringGrid::LoadVisualProps(const std::string& FileName) {
    TStringList lines;
    try {
        ReadTextLines(FileName, lines);
    } catch (const Exception&) {
        throw EQorGridError("Cannot open file " + FileName);
    }
    // The first line whose name before its first "=" matches, letter case ignored.
    auto valueOf = [&](const std::string& key) {
        for (int i = 0; i < lines.Count(); ++i) {
            const std::string line = lines.Strings(i);
            const std::size_t eq = line.find('=');
            if (eq != std::string::npos && SameText(line.substr(0, eq), key))
                return line.substr(eq + 1);
        }
        return std::string();
    };
    for (const Prop& p : visualProps(this)) p.set(valueOf(p.key));
}
