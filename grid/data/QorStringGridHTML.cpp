// TQorStringGrid: the HTML table export with its style sheet and the pictures of its cells.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridUtils.h"
#include "grid/data/DataSettings.h"
#include "grid/data/GridFileText.h"
#include "grid/render/markup/MarkupText.h"
#include "platform/files/Files.h"
#include "platform/gfx/Imaging.h"
#include "platform/process/Process.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view CRLF = "\r\n";
constexpr TColor NoColor = TColor(0x7FFFFFFF);

// The text with "&", "<", ">" and the double quote as entities.
std::string escapeMarkup(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
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
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// A file path as the path of a file URL: characters that end or break a URL as %XX.
std::string urlPath(std::string_view path) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        if (c <= ' ' || c == '%' || c == '#' || c == '?' || c == '"' || c == '<' || c == '>' ||
            c == '&' || c == 0x7F) {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += char(c);
        }
    }
    return out;
}

std::string htmlQuoted(std::string_view v) {
    return "\"" + std::string(v) + "\"";
}

// The lines of a header or footer file; raises the files layer's error when it cannot be read.
void appendFileLines(std::vector<std::string>& lines, const std::string& FileName) {
    const TGridFileText file = ReadGridTextFile(FileName);
    for (std::string_view l : SplitTextLines(file.Text)) lines.emplace_back(l);
}

// Collects the images of one export: each written as images/img<k>.jpg under the folder.
class ImageWriter {
public:
    explicit ImageWriter(std::string Dir) : dir_(std::move(Dir)) {}
    // The image tag of the graphic, written as a JPEG file.
    std::string Tag(const TGraphic& Graphic) {
        const std::string folder = dir_ + "images";
        if (!made_) {
            if (!DirectoryExists(folder) && !ForceDirectories(folder))
                throw Exception("Cannot create " + folder);
            made_ = true;
        }
        const std::string path = folder + "/img" + std::to_string(++count_) + ".jpg";
        TMemoryStream m;
        if (const auto* jpeg = dynamic_cast<const TJPEGImage*>(&Graphic)) {
            jpeg->SaveToStream(m);
        } else {
            TBitmap bmp;
            bmp.SetSize(Graphic.Width(), Graphic.Height());
            bmp.Canvas()->Brush()->SetColor(clWhite);
            bmp.Canvas()->FillRect(TRect(0, 0, Graphic.Width(), Graphic.Height()));
            bmp.Canvas()->Draw(0, 0, &Graphic);
            TJPEGImage out;
            out.Assign(&bmp);
            out.SaveToStream(m);
        }
        WriteBinaryFile(path, m.Memory(), std::size_t(m.Size()));
        return "<img src= \"file://" + urlPath(path) + "\">";
    }
    std::string ListTag(TImageList& List, int Index) {
        TBitmap bmp;
        List.GetBitmap(Index, &bmp);
        return Tag(bmp);
    }

private:
    std::string dir_;
    int count_ = 0;
    bool made_ = false;
};

} // namespace

std::string TQorStringGrid::htmlText(int FirstCol, int FirstRow, int LastCol, int LastRow,
                                     bool HeaderRow, const std::string& ImageDir, bool Images,
                                     const char* Charset) {
    const THTMLSettings& hs = *FHTMLSettings;
    std::string prologue;
    if (hs.XHTML()) {
        prologue += "<?xml version=\"1.0\" encoding=\"" + std::string(Charset) + "\"?>\r\n";
        prologue += "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\"\r\n";
        prologue += "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">\r\n";
        prologue += "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"en\" lang=\"en\">\r\n";
    }
    prologue += hs.PrefixTag();
    if (!hs.XHTML()) prologue += "<meta charset=\"" + std::string(Charset) + "\">\r\n";

    std::string table = "<TABLE BORDER=" + htmlQuoted(std::to_string(hs.BorderSize())) +
                        " CELLSPACING=" + htmlQuoted(std::to_string(hs.CellSpacing())) +
                        " CELLPADDING=" + htmlQuoted(std::to_string(hs.CellPadding())) + " ";
    if (!hs.Summary().empty()) table += "SUMMARY=" + htmlQuoted(escapeMarkup(hs.Summary())) + " ";
    if (!hs.TableStyle().empty()) table += " " + hs.TableStyle() + " ";
    table += " WIDTH=" + htmlQuoted(std::to_string(hs.Width()) + "%") + ">";
    table += CRLF;

    std::vector<std::string> styles;
    ImageWriter images(ImageDir);
    TBrush brush;
    TFont font;
    std::string text;

    auto styleOf = [&](int c, int r, bool header) {
        TGridDrawState state;
        TColor colorTo, mirror, mirrorTo;
        TAlignment ha = taLeftJustify;
        TVAlignment va = vtaTop;
        bool ww = false;
        TCellGradientDirection gd = GradientVertical;
        brush.SetColor(NoColor);
        font.SetColor(NoColor);
        GetVisualProperties(c, r, state, false, false, true, &brush, colorTo, mirror, mirrorTo,
                            &font, ha, va, ww, gd);
        TColor back = brush.Color();
        if (header || (state.Contains(gdFixed))) back = FixedColor();
        std::vector<std::string> parts;
        const auto colour = [&](TColor v) { return v != NoColor && v != clNone && hs.SaveColor(); };
        if (colour(back)) parts.push_back("background-color: #" + ColorToHTMLHex(back));
        if (colour(font.Color())) parts.push_back("color: #" + ColorToHTMLHex(font.Color()));
        parts.push_back("font-size:" + std::to_string(font.Size()) + "pt");
        if (font.Style().Contains(fsItalic)) parts.push_back("font-style: italic");
        if (font.Style().Contains(fsBold)) parts.push_back("font-weight: bold");
        parts.push_back("font-family: " + font.Name());
        if (ha == taRightJustify) parts.push_back("text-align: right");
        if (ha == taCenter) parts.push_back("text-align: center");
        parts.push_back(va == vtaTop      ? "vertical-align: top"
                        : va == vtaCenter ? "vertical-align: middle"
                                          : "vertical-align: bottom");
        std::string style;
        for (const std::string& p : parts) style += (style.empty() ? "" : ";") + p;
        std::size_t n = 0;
        while (n < styles.size() && styles[n] != style) ++n;
        if (n == styles.size()) styles.push_back(style);
        return std::make_pair(n, ww);
    };

    auto cellContent = [&](int c, int real, int r, bool data) {
        SaveCellText(real, r, text);
        // Markup characters are always escaped; ConvertSpecialChars adds the named entities.
        std::string s =
            hs.ConvertSpecialChars() && data ? HTMLEscapeText(text, true) : escapeMarkup(text);
        if (data && hs.NonBreakingText()) s = HTMLSpacesToNbsp(s);
        s = CRToBR(StringReplaceAll(s, "\r\n", "\r"));
        if (FURLShow && s.find("</") == std::string::npos) {
            const std::string plain = s;
            if (const auto p = plain.find("://"); p != std::string::npos) {
                const std::string label = FURLFull ? plain : plain.substr(p + 3, 255);
                s = "<a href=" + plain + ">" + label + "</a>";
            }
            if (const auto p = plain.find("mailto:"); p != std::string::npos)
                s = "<a href=" + plain + ">" + plain.substr(p + 7, 255) + "</a>";
        }
        const bool blank = data ? Trim(s).empty() : s.empty();
        if (blank) s = "&nbsp;";
        if (!Images || !hs.ExportImages()) return s;
        TCellGraphic* g = GetCellGraphic(c, r);
        if (!g) return s;
        TImageList* list = GetCellImageList(real, r);
        const int count = FGridImages ? FGridImages->Count() : 0;
        switch (g->CellType()) {
        case ctBitmap:
            if (auto* bmp = dynamic_cast<TBitmap*>(g->CellBitmap()); bmp && !bmp->Empty())
                return s + images.Tag(*bmp);
            return s;
        case ctImageList:
            if (list && g->CellIndex() >= 0 && g->CellIndex() < count)
                return images.ListTag(*list, g->CellIndex()) + s;
            return s;
        case ctDataImage: {
            int idx = -1;
            if (list && TryStrToInt(Trim(text), idx) && idx >= 0 && idx < count)
                return images.ListTag(*list, idx);
            return std::string();
        }
        case ctNode:
            return "+" + s;
        case ctImages: {
            auto* indexes = dynamic_cast<TIntList*>(g->CellBitmap());
            if (!list || !indexes) return s;
            std::string tags;
            for (int i = 0; i < indexes->Count(); ++i) {
                const int idx = indexes->GetInteger(i);
                if (idx >= 0 && idx < list->Count()) tags += images.ListTag(*list, idx);
            }
            return tags + s;
        }
        case ctPicture:
        case ctInterface:
            if (auto* pic = dynamic_cast<TPicture*>(g->CellBitmap()); pic && !pic->Empty())
                return s + images.Tag(*pic->Graphic());
            return s;
        default:
            return s;
        }
    };

    auto writeRow = [&](int r, bool header, bool widths) {
        table += "<TR>";
        for (int c = FirstCol; c <= LastCol; ++c) {
            const int real = c < ColCount() ? RealColIndexOf(c) : c + FNumHidden;
            if (real < 0 || IsMergedNonBaseCell(real, r)) continue;
            const auto [cls, wraps] = styleOf(c, r, header);
            table += "<TD class=" + htmlQuoted("c" + std::to_string(cls));
            const TPoint span = CellSpan(real, r);
            if (span.X > 0) table += " COLSPAN=" + htmlQuoted(std::to_string(span.X + 1));
            if (span.Y > 0) table += " ROWSPAN=" + htmlQuoted(std::to_string(span.Y + 1));
            if (!wraps) table += " nowrap";
            const TIntList* cw = hs.ColWidths();
            if (header && c < cw->Count())
                table += " WIDTH=" + std::to_string(cw->GetInteger(c));
            else if (widths && c - FirstCol < cw->Count())
                table += " width=" + std::to_string(cw->GetInteger(c - FirstCol));
            table += ">" + cellContent(c, real, r, !header) + "</td>";
        }
        table += "</TR>";
        table += CRLF;
    };

    int first = FirstRow;
    if (HeaderRow) {
        writeRow(FirstRow, true, false);
        ++first;
    }
    exportRows(first, LastRow, [&](int r) { writeRow(r, false, !HeaderRow); });
    table += "</TABLE>";
    table += CRLF;
    if (!hs.SuffixTag().empty()) {
        table += hs.SuffixTag();
        table += CRLF;
    }
    if (hs.XHTML()) {
        table += "</HTML>";
        table += CRLF;
    }

    std::string sheet = "<style>\r\n";
    for (std::size_t n = 0; n < styles.size(); ++n)
        sheet += ".c" + std::to_string(n) + " {" + styles[n] + "}\r\n";
    sheet += "</style>\r\n";
    return prologue + sheet + table;
}

std::string TQorStringGrid::htmlExport(const std::string& ImageDir, const char* Charset) {
    const bool fixed = FFlags.SaveFixedCells;
    const int c0 = fixed || FFlags.SaveFixedCols ? 0 : FixedCols();
    const int r0 = fixed || FFlags.SaveFixedRows ? 0 : FixedRows();
    const bool header = FixedRows() > 0 && (fixed || FFlags.SaveFixedRows) && r0 == 0;
    return htmlText(c0, r0, ColCount() - 1, RowCount() - 1, header, ImageDir, true, Charset);
}

std::string TQorStringGrid::SaveToHTMLString(const std::string& ImageDir) {
    return htmlExport(ImageDir, "utf-8");
}

void TQorStringGrid::writeHTML(const std::string& FileName, bool Show, bool Unicode, bool Append) {
    std::vector<std::string> lines;
    if (Append && FileExists(FileName)) {
        try {
            appendFileLines(lines, FileName);
        } catch (const Exception&) {
            // An existing file that cannot be read is written anew.
        }
    }
    const THTMLSettings& hs = *FHTMLSettings;
    if (!hs.HeaderFile().empty()) appendFileLines(lines, hs.HeaderFile());
    // The footer is read before any picture is written.
    std::vector<std::string> footer;
    if (!hs.FooterFile().empty()) appendFileLines(footer, hs.FooterFile());
    std::string dir =
        std::filesystem::absolute(std::filesystem::path(FileName)).parent_path().generic_string();
    if (!dir.ends_with('/')) dir += '/';
    lines.push_back(htmlExport(dir, Unicode ? "utf-16" : "utf-8"));
    lines.insert(lines.end(), footer.begin(), footer.end());
    TGridTextWriter file(FileName,
                         Unicode ? gteUtf16 : TGridTextEncoding{TTextEncoding::Utf8, false});
    for (const std::string& l : lines) {
        file.Text() += l;
        file.Text() += CRLF;
        file.Break();
    }
    file.Commit();
    if (Show || hs.AutoPreview()) ShellOpen(FileName);
}

void TQorStringGrid::SaveToHTML(const std::string& FileName, bool Show, bool Unicode) {
    writeHTML(FileName, Show, Unicode, false);
}

void TQorStringGrid::AppendToHTML(const std::string& FileName, bool Show, bool Unicode) {
    writeHTML(FileName, Show, Unicode, true);
}
