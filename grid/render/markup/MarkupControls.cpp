#include "grid/render/markup/MarkupControls.h"

#include "grid/render/markup/MarkupText.h"
#include "platform/base/SysUtils.h"

#include <vector>

namespace {

struct Found {
    std::size_t start; // of "<"
    std::size_t end;   // one past ">"
    HTMLControlTag tag;
};

// Every complete "<CONTROL " tag of the text, in order.
std::vector<Found> controls(std::string_view text) {
    std::vector<Found> out;
    const std::string upper = UpperCase(text);
    std::size_t at = 0;
    for (;;) {
        const std::size_t start = upper.find("<CONTROL ", at);
        if (start == std::string::npos) break;
        const std::size_t gt = upper.find('>', start);
        if (gt == std::string::npos) break;
        out.push_back({start, gt + 1, HTMLParseControlTag(text.substr(start, gt + 1 - start))});
        at = gt + 1;
    }
    return out;
}

const Found* byId(const std::vector<Found>& all, std::string_view id) {
    for (const Found& f : all)
        if (f.tag.ID == id) return &f;
    return nullptr;
}

bool editable(const HTMLControlTag& t) {
    return t.Type != "BUTTON" && t.Type != "CHECK" && t.Type != "RADIO";
}

} // namespace

bool HTMLHasControls(std::string_view text) {
    return UpperCase(text).find("<CONTROL") != std::string::npos;
}

HTMLControlTag HTMLParseControlTag(std::string_view tag) {
    const std::string u = UpperCase(tag);
    auto get = [&](std::string_view word) { return HTMLTagAttribute(tag, u, word).value_or(""); };
    HTMLControlTag t;
    t.Type = UpperCase(get("TYPE="));
    t.ID = get("ID=");
    t.Value = HTMLUnescapeText(get("VALUE="), true);
    t.Prop = HTMLUnescapeText(get("PROP="), true);
    t.MaxLen = get("MAXLEN=");
    t.Width = get("WIDTH=");
    t.Height = get("HEIGHT=");
    return t;
}

std::string HTMLGetControlValue(std::string_view text, std::string_view id, bool& found) {
    const auto all = controls(text);
    const Found* f = byId(all, id);
    found = f != nullptr;
    return f ? f->tag.Value : std::string();
}

std::string HTMLGetControlProp(std::string_view text, std::string_view id) {
    const auto all = controls(text);
    const Found* f = byId(all, id);
    return f ? f->tag.Prop : std::string();
}

int HTMLGetControlMaxLen(std::string_view text, std::string_view id) {
    const auto all = controls(text);
    const Found* f = byId(all, id);
    return f ? StrToIntDef(Trim(f->tag.MaxLen), 0) : 0;
}

std::string HTMLNextControlID(std::string_view text, std::string_view id) {
    const auto all = controls(text);
    std::size_t from = 0;
    if (!id.empty()) {
        const Found* f = byId(all, id);
        if (!f) return "";
        from = std::size_t(f - all.data()) + 1;
    }
    for (std::size_t i = from; i < all.size(); ++i)
        if (editable(all[i].tag)) return all[i].tag.ID;
    return "";
}

bool HTMLSetControlValue(std::string& text, std::string_view id, std::string_view value) {
    const auto all = controls(text);
    const Found* f = byId(all, id);
    if (!f) return false;
    const HTMLControlTag& t = f->tag;
    std::string tag = "<CONTROL ID=\"" + t.ID + "\" VALUE=\"" + HTMLEscapeText(value, true) +
                      "\" WIDTH=\"" + t.Width + "\" TYPE=\"" + t.Type + "\"";
    const std::string u = UpperCase(std::string_view(text).substr(f->start, f->end - f->start));
    if (u.find("PROP=") != std::string::npos)
        tag += " PROP=\"" + HTMLEscapeText(t.Prop, true) + "\"";
    if (u.find("MAXLEN=") != std::string::npos) tag += " MAXLEN=\"" + t.MaxLen + "\"";
    tag += ">";
    text = text.substr(0, f->start) + tag + text.substr(f->end);
    return true;
}

std::string HTMLClearRadioControls(std::string_view text) {
    std::string out(text);
    for (const Found& f : controls(text))
        if (f.tag.Type == "RADIO") HTMLSetControlValue(out, f.tag.ID, "FALSE");
    return out;
}

std::string HTMLPasswordMask(std::string_view text) {
    return std::string(Utf8Length(text), '*');
}
