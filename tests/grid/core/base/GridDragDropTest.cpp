#include "grid/core/base/GridDragDrop.h"
#include "grid/core/GridLibrary.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

const TDropFormatIds& ids() {
    return DropFormatIds();
}

// Records what the target hands on.
class RecordingTarget : public TASGDropTarget {
public:
    std::vector<std::string> log;
    void DropText(TPoint, const std::string& s) override { log.push_back("text " + s); }
    void DropStream(TPoint, TMemoryStream* ms) override {
        log.push_back("stream " + std::to_string(ms->Size()));
    }
    void DropCol(TPoint, int Col) override { log.push_back("col " + std::to_string(Col)); }
    void DropRTF(TPoint, const std::string& s) override { log.push_back("rtf " + s); }
    void DropFiles(TPoint, TStrings* Files) override {
        log.push_back("files " + std::to_string(Files->Count()) + " " + Files->Get(0));
    }
    void DropURL(TPoint, const std::string& s) override { log.push_back("url " + s); }
    void DragMouseMove(TPoint, bool& Allow, TDropFormats) override {
        if (refuseMove) Allow = false;
    }
    bool refuseMove = false;
};

std::shared_ptr<TMemoryDataObject> textObject(const std::string& text) {
    auto d = std::make_shared<TMemoryDataObject>();
    d->SetText(text);
    return d;
}

std::vector<std::uint8_t> block(IDataObject& d, CLIPFORMAT f) {
    return DataObjectBytes(d, f);
}

TEST(GridDragDropTest, FormatsAreRegisteredOnceAtStartUp) {
    GridLibraryInitialize();
    EXPECT_EQ(ids().GridCells, CLIPFORMAT(GridLibrary().GridClipboardFormat));
    EXPECT_EQ(ids().GridCol, CLIPFORMAT(RegisterClipboardFormat("Grid Column")));
    EXPECT_EQ(ids().RTF, CLIPFORMAT(RegisterClipboardFormat("Rich Text Format")));
    EXPECT_EQ(ids().URL, CLIPFORMAT(RegisterClipboardFormat("UniformResourceLocator")));
    // A reader registers nothing: later registrations keep their numbers apart from these.
    const CLIPFORMAT before = ids().GridCol;
    TEnumFormats reader(textObject("x"));
    EXPECT_EQ(ids().GridCol, before);
}

TEST(GridDragDropTest, TheEffectRuleAndWhatATargetAccepts) {
    struct Case {
        const char* name;
        bool acceptText;
        bool cells;
        DWORD keys;
        DWORD allowed;
        DWORD effect;
    };
    const Case cases[] = {
        {"text refused", false, false, 0, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_NONE},
        {"cells always taken", false, true, 0, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_MOVE},
        {"move when allowed", true, false, 0, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_MOVE},
        {"Ctrl copies", true, false, MK_CONTROL, DROPEFFECT_COPY | DROPEFFECT_MOVE,
         DROPEFFECT_COPY},
        {"copy only", true, false, 0, DROPEFFECT_COPY, DROPEFFECT_COPY},
    };
    for (const auto& c : cases) {
        RecordingTarget t;
        t.SetAcceptText(c.acceptText);
        auto d = textObject("x");
        if (c.cells) d->SetFormat(ids().GridCells, {0, 0, 0, 0, 0, 0, 0, 0});
        DWORD effect = c.allowed;
        t.DragEnter(d, c.keys, TPoint(), effect);
        EXPECT_EQ(effect, c.effect) << c.name;
        effect = c.allowed;
        t.DragOver(c.keys, TPoint(), effect);
        EXPECT_EQ(effect, c.effect) << c.name;
        EXPECT_EQ(t.DropFormats().Contains(dfGridCells), c.cells) << c.name;
    }
    // An object that lists no formats is refused, not an error inside the drag.
    struct NoFormats : TMemoryDataObject {
        HRESULT EnumFormatEtc(DWORD, std::shared_ptr<IEnumFORMATETC>& out) override {
            out.reset();
            return E_NOTIMPL;
        }
    };
    RecordingTarget plain;
    DWORD none = DROPEFFECT_COPY;
    plain.DragEnter(std::make_shared<NoFormats>(), 0, TPoint(), none);
    EXPECT_EQ(none, DROPEFFECT_NONE);
    EXPECT_THROW(TEnumFormats(std::make_shared<NoFormats>()), EAssertionFailed);

    RecordingTarget refusing;
    refusing.refuseMove = true;
    DWORD effect = DROPEFFECT_COPY;
    refusing.DragEnter(textObject("x"), 0, TPoint(), effect);
    effect = DROPEFFECT_COPY;
    refusing.DragOver(0, TPoint(), effect);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
}

TEST(GridDragDropTest, ADropHandsOnWhatTheObjectOffers) {
    auto withCol = textObject("t");
    std::uint8_t col[4] = {7, 0, 0, 0};
    withCol->SetFormat(ids().GridCol, std::vector<std::uint8_t>(col, col + 4));
    auto withCells = textObject("t");
    withCells->SetFormat(ids().GridCells, {3, 0, 0, 0, 0, 0, 0, 0, 'a', 'b', 'c'});
    auto lying = textObject("t");
    // The block announces more bytes than it holds: no stream, the text is taken.
    lying->SetFormat(ids().GridCells, {200, 0, 0, 0, 0, 0, 0, 0, 'a'});
    auto files = std::make_shared<TMemoryDataObject>();
    files->SetFiles({"/data/a.csv"});
    auto url = textObject("http://127.0.0.1/");
    url->SetFormat(ids().URL, {'h', 0});
    struct Case {
        const char* name;
        std::shared_ptr<TMemoryDataObject> data;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"column alone", withCol, {"col 7"}},
        {"cells before text", withCells, {"stream 3"}},
        {"bad length", lying, {"text t"}},
        {"files", files, {"files 1 /data/a.csv"}},
        {"url with its text", url, {"text http://127.0.0.1/", "url http://127.0.0.1/"}},
    };
    for (const auto& c : cases) {
        RecordingTarget t;
        t.SetAcceptCols(true);
        DWORD effect = DROPEFFECT_COPY;
        t.DragEnter(c.data, 0, TPoint(), effect);
        effect = DROPEFFECT_COPY;
        t.Drop(c.data, 0, TPoint(), effect);
        EXPECT_EQ(t.log, c.log) << c.name;
        EXPECT_EQ(effect, DROPEFFECT_COPY) << c.name;
    }
    // Rich text only with the switch on, and then before the text.
    auto rtf = textObject("plain");
    rtf->SetFormat(ids().RTF, {'{', 'r', '}', 0});
    for (bool on : {false, true}) {
        SetDropRTF(on);
        RecordingTarget t;
        DWORD effect = DROPEFFECT_COPY;
        t.DragEnter(rtf, 0, TPoint(), effect);
        t.Drop(rtf, 0, TPoint(), effect);
        EXPECT_EQ(t.log, std::vector<std::string>{on ? "rtf {r}" : "text plain"});
    }
    SetDropRTF(false);
}

TEST(GridDragDropTest, TheSourceObjectsBlocks) {
    TMemoryStream ms;
    ms.WriteBuffer("0123456789", 10);
    TSourceDataObject text("ab", "", -1, &ms);
    EXPECT_EQ(block(text, CF_UNICODETEXT), (std::vector<std::uint8_t>{'a', 0, 'b', 0, 0, 0}));
    EXPECT_EQ(block(text, CF_TEXT), (std::vector<std::uint8_t>{'a', 'b', 0}));
    const auto cells = block(text, ids().GridCells);
    ASSERT_EQ(cells.size(), 18u);
    EXPECT_EQ(std::vector<std::uint8_t>(cells.begin(), cells.begin() + 8),
              (std::vector<std::uint8_t>{10, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(cells[8], '0');
    // Rich text only with the switch on; without rich text of its own an empty one.
    EXPECT_TRUE(block(text, ids().RTF).empty());
    SetDropRTF(true);
    EXPECT_EQ(block(text, ids().RTF), (std::vector<std::uint8_t>{0}));
    SetDropRTF(false);
    FORMATETC f;
    f.cfFormat = CF_TEXT;
    f.dwAspect = 4;
    EXPECT_EQ(text.QueryGetData(f), DV_E_FORMATETC);
    f.dwAspect = DVASPECT_CONTENT;
    STGMEDIUM m;
    EXPECT_EQ(text.GetDataHere(f, m), DV_E_FORMATETC);
    EXPECT_EQ(text.SetData(f, m, true), DV_E_FORMATETC);
    std::shared_ptr<IDataAdviseHolder> holder;
    CreateDataAdviseHolder(holder);
    std::shared_ptr<IEnumSTATDATA> advise;
    holder->EnumAdvise(advise);
    EXPECT_EQ(text.EnumDAdvise(advise), OLE_E_ADVISENOTSUPPORTED);
    EXPECT_EQ(advise, nullptr);

    TSourceDataObject column("", "", 5, nullptr);
    EXPECT_TRUE(block(column, CF_TEXT).empty());
    EXPECT_EQ(block(column, ids().GridCol), (std::vector<std::uint8_t>{5, 0, 0, 0}));
    std::shared_ptr<IEnumFORMATETC> list;
    ASSERT_EQ(column.EnumFormatEtc(DATADIR_GET, list), S_OK);
    FORMATETC got[10];
    ULONG fetched = 0;
    EXPECT_EQ(list->Next(10, got, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 4u);
    EXPECT_EQ(got[0].cfFormat, CF_TEXT);
    EXPECT_EQ(got[3].cfFormat, ids().GridCol);
    EXPECT_EQ(list->Reset(), S_OK);
    EXPECT_EQ(list->Skip(3), S_OK);
    std::shared_ptr<IEnumFORMATETC> clone;
    list->Clone(clone);
    EXPECT_EQ(clone->Next(1, got, nullptr), S_OK);
    EXPECT_EQ(got[0].cfFormat, ids().GridCol);
    EXPECT_EQ(list->Skip(5), S_FALSE);
    EXPECT_EQ(column.EnumFormatEtc(DATADIR_SET, list), E_NOTIMPL);
    EXPECT_EQ(list, nullptr);
}

TEST(GridDragDropTest, TheSourceDecidesHowTheDragGoesOn) {
    struct Source : TASGDropSource {
        int finished = 0, queried = 0;
        void DragFinished() override { ++finished; }
        void QueryDrag() override { ++queried; }
    } s;
    EXPECT_EQ(s.QueryContinueDrag(false, MK_LBUTTON), S_OK);
    EXPECT_EQ(s.QueryContinueDrag(true, MK_LBUTTON), DRAGDROP_S_CANCEL);
    EXPECT_EQ(s.QueryContinueDrag(false, 0), DRAGDROP_S_DROP);
    EXPECT_EQ(s.finished, 2);
    EXPECT_EQ(s.queried, 3);
    EXPECT_EQ(s.GiveFeedback(DROPEFFECT_NONE), DRAGDROP_S_USEDEFAULTCURSORS);
    EXPECT_TRUE(s.NoAccept());
}

TEST(GridDragDropTest, TheReaderReadsNarrowAndWideFileLists) {
    for (bool wide : {false, true}) {
        std::vector<std::uint8_t> b(sizeof(DROPFILES), 0);
        DROPFILES h;
        h.fWide = wide ? 1 : 0;
        std::memcpy(b.data(), &h, sizeof h);
        for (const char* name : {"a.txt", "b.csv", ""}) {
            for (const char* p = name;; ++p) {
                b.push_back(std::uint8_t(*p));
                if (wide) b.push_back(0);
                if (!*p) break;
            }
        }
        auto d = std::make_shared<TMemoryDataObject>();
        d->SetFormat(CF_HDROP, b);
        TEnumFormats reader(d);
        ASSERT_TRUE(reader.HasFile());
        TStringList files;
        EXPECT_TRUE(reader.ReadFiles(&files));
        EXPECT_EQ(files.Count(), 2);
        EXPECT_EQ(files.Get(1), "b.csv");
    }
    // A list cut short ends with what is complete.
    auto cut = std::make_shared<TMemoryDataObject>();
    cut->SetFormat(CF_HDROP, std::vector<std::uint8_t>(10, 0));
    TEnumFormats reader(cut);
    reader.HasFile();
    TStringList files;
    EXPECT_FALSE(reader.ReadFiles(&files));
}

} // namespace
