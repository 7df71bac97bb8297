#pragma once
// Small pictures for the picture and markup tests, built in memory: a solid square in BMP,
// PNG, JPEG and ICO, and GIFs with any number of frames.
#include "platform/gfx/Imaging.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace fixtures {

using Bytes = std::vector<std::uint8_t>;

inline Bytes streamBytes(const TGraphic& g) {
    TMemoryStream m;
    g.SaveToStream(m);
    return m.Bytes();
}

inline std::unique_ptr<TBitmap> solid(int w, int h, TColor c) {
    auto b = std::make_unique<TBitmap>(w, h);
    b->SetPixelFormat(pf24bit);
    b->Canvas()->Brush()->SetColor(c);
    b->Canvas()->FillRect(TRect(0, 0, w, h));
    return b;
}

inline Bytes bmp(int w, int h, TColor c) {
    return streamBytes(*solid(w, h, c));
}
inline Bytes png(int w, int h, TColor c) {
    TPngImage p;
    p.Assign(solid(w, h, c).get());
    return streamBytes(p);
}
inline Bytes jpeg(int w, int h, TColor c) {
    TJPEGImage j;
    j.SetCompressionQuality(100);
    j.Assign(solid(w, h, c).get());
    return streamBytes(j);
}
inline Bytes ico(int w, int h, TColor c) {
    TIcon i;
    i.Assign(solid(w, h, c).get());
    return streamBytes(i);
}

struct GifFrame {
    int x, y, w, h;
    int delay;          // hundredths of a second
    std::uint8_t index; // colour of every pixel, below 128
};

// A GIF89a with a 128-colour table (colours[i] at index i, black after them) and one frame per
// entry, each with a graphic control extension. The LZW data uses 8-bit codes with a clear
// code every 100 pixels, so that the code width never grows.
inline Bytes gif(int screenW, int screenH, const std::vector<TColor>& colours,
                 const std::vector<GifFrame>& frames) {
    Bytes d = {'G', 'I', 'F', '8', '9', 'a'};
    auto put16 = [&](int v) {
        d.push_back(std::uint8_t(v & 0xFF));
        d.push_back(std::uint8_t((v >> 8) & 0xFF));
    };
    put16(screenW);
    put16(screenH);
    d.push_back(0xF6); // global table of 2^(6+1) = 128 colours
    d.push_back(0);
    d.push_back(0);
    for (int i = 0; i < 128; ++i) {
        const TColor c = i < int(colours.size()) ? colours[std::size_t(i)] : TColor(0);
        d.push_back(std::uint8_t(c & 0xFF));
        d.push_back(std::uint8_t((c >> 8) & 0xFF));
        d.push_back(std::uint8_t((c >> 16) & 0xFF));
    }
    for (const GifFrame& f : frames) {
        d.insert(d.end(), {0x21, 0xF9, 0x04, 0x04});
        put16(f.delay);
        d.insert(d.end(), {0x00, 0x00, 0x2C});
        put16(f.x);
        put16(f.y);
        put16(f.w);
        put16(f.h);
        d.push_back(0);
        d.push_back(7); // minimum code size: codes are 8 bits wide
        Bytes codes;
        for (int p = 0; p < f.w * f.h; ++p) {
            if (p % 100 == 0) codes.push_back(0x80); // clear
            codes.push_back(f.index);
        }
        codes.push_back(0x81); // end of information
        for (std::size_t at = 0; at < codes.size(); at += 255) {
            const std::size_t n = std::min<std::size_t>(255, codes.size() - at);
            d.push_back(std::uint8_t(n));
            d.insert(d.end(), codes.begin() + std::ptrdiff_t(at),
                     codes.begin() + std::ptrdiff_t(at + n));
        }
        d.push_back(0);
    }
    d.push_back(0x3B);
    return d;
}

} // namespace fixtures
