// Markup cell texts: measuring and drawing 10,000 texts of typical length (a bold label, a
// coloured value, an anchor, a highlighted search hit) in cell-sized rectangles.
#include "grid/render/markup/MarkupRender.h"
#include "platform/gfx/Graphics.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

constexpr int kTexts = 10000;

std::vector<std::string> makeTexts() {
    std::vector<std::string> texts;
    texts.reserve(kTexts);
    for (int i = 0; i < kTexts; ++i) {
        const std::string n = std::to_string(i);
        switch (i % 4) {
        case 0:
            texts.push_back("<B>Group " + n + "</B> 1/2/" + n);
            break;
        case 1:
            texts.push_back("<FONT color=\"clRed\">Error</FONT> in object " + n);
            break;
        case 2:
            texts.push_back("<A href=\"obj" + n + "\">Object " + n + "</A> &amp; more");
            break;
        default:
            texts.push_back("Switch <HI>light</HI> floor " + n + "<BR><I>dimmer</I>");
        }
    }
    return texts;
}

void BM_MeasureMarkupCells(benchmark::State& state) {
    const auto texts = makeTexts();
    TCanvas canvas(nullptr);
    HTMLRenderOptions o;
    o.MeasureOnly = true;
    for (auto _ : state) {
        long long sum = 0;
        for (const auto& t : texts) {
            HTMLRenderResult r;
            HTMLRenderText(canvas, t, TRect(0, 0, 160, 36), o, r);
            sum += r.MaxLineWidth + r.TotalHeight;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kTexts);
}
BENCHMARK(BM_MeasureMarkupCells)->Unit(benchmark::kMillisecond);

void BM_DrawMarkupCells(benchmark::State& state) {
    const auto texts = makeTexts();
    TBitmap bitmap;
    bitmap.SetSize(640, 480);
    TCanvas* canvas = bitmap.Canvas();
    HTMLRenderOptions o;
    for (auto _ : state) {
        for (int i = 0; i < kTexts; ++i) {
            const int x = (i % 4) * 160, y = (i / 4 % 13) * 36;
            HTMLRenderResult r;
            HTMLRenderText(*canvas, texts[std::size_t(i)], TRect(x, y, x + 160, y + 36), o, r);
        }
    }
    state.SetItemsProcessed(state.iterations() * kTexts);
}
BENCHMARK(BM_DrawMarkupCells)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
