// Runs the built program on a virtual X server and checks that its window and a modal dialog
// reach the screen painted.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {
struct XwdImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> rgb; // 0x00RRGGBB per pixel
};

std::uint32_t be32(const std::vector<unsigned char>& d, std::size_t at) {
    return std::uint32_t(d[at]) << 24 | std::uint32_t(d[at + 1]) << 16 |
           std::uint32_t(d[at + 2]) << 8 | d[at + 3];
}

int shiftOf(std::uint32_t mask) {
    int s = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++s;
    }
    return s;
}

// An XWD file: a header of big-endian 32-bit fields, the window name, the colour map
// (12 bytes per entry), then rows of bytes_per_line bytes. Only true-colour images are read.
bool readXwd(const std::string& path, XwdImage& out, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> d((std::istreambuf_iterator<char>(in)), {});
    if (d.size() < 100) {
        error = "no XWD header";
        return false;
    }
    std::uint32_t headerSize = be32(d, 0), version = be32(d, 4), format = be32(d, 8);
    std::uint32_t width = be32(d, 16), height = be32(d, 20), byteOrder = be32(d, 28);
    std::uint32_t bpp = be32(d, 44), bytesPerLine = be32(d, 48);
    std::uint32_t redMask = be32(d, 56), greenMask = be32(d, 60), blueMask = be32(d, 64);
    std::uint32_t ncolors = be32(d, 76);
    if (version != 7 || format != 2 || (bpp != 32 && bpp != 24)) {
        error = "unexpected XWD format";
        return false;
    }
    std::size_t data = std::size_t(headerSize) + std::size_t(ncolors) * 12;
    if (d.size() < data + std::size_t(bytesPerLine) * height) {
        error = "XWD file too short";
        return false;
    }
    out.width = int(width);
    out.height = int(height);
    out.rgb.resize(std::size_t(width) * height);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            std::size_t at = data + std::size_t(y) * bytesPerLine + std::size_t(x) * (bpp / 8);
            std::uint32_t p = 0;
            for (std::uint32_t i = 0; i < bpp / 8; ++i) {
                std::uint32_t byte = d[at + i];
                p |= byteOrder == 0 ? byte << (8 * i) : byte << (8 * (bpp / 8 - 1 - i));
            }
            std::uint32_t r = (p & redMask) >> shiftOf(redMask);
            std::uint32_t g = (p & greenMask) >> shiftOf(greenMask);
            std::uint32_t b = (p & blueMask) >> shiftOf(blueMask);
            out.rgb[std::size_t(y) * width + x] = r << 16 | g << 8 | b;
        }
    return true;
}
} // namespace

// The build puts the English language file and its flag beside the program, so that the options
// dialog offers a language on a fresh install.
TEST(Program, ItsFolderHoldsTheEnglishLanguageFileAndFlag) {
    std::string exe = KNXGW_EXE;
    std::string dir = exe.substr(0, exe.rfind('/')) + "/LANGUAGE/";
    std::ifstream lng(dir + "English.lng", std::ios::binary);
    std::string first;
    std::getline(lng, first);
    EXPECT_EQ(first, "\xEF\xBB\xBFSTR0 = Begin\r");
    std::ifstream flag(dir + "English.bmp", std::ios::binary);
    char magic[2] = {};
    flag.read(magic, 2);
    EXPECT_EQ(std::string(magic, 2), "BM");
}

TEST(Program, ItsWindowShowsOnAVirtualScreen) {
    if (std::system("command -v xvfb-run >/dev/null 2>&1 && command -v xwd >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "xvfb-run or xwd is not installed";
    std::string shot = std::string(KNXGW_SHOT_DIR) + "/screen.xwd";
    std::remove(shot.c_str());
    // The program says "ready" once its window has been up for a moment, and quits by itself.
    std::string inner = "KNXGW_READY_AFTER_MS=700 KNXGW_QUIT_AFTER_MS=4000 QT_QPA_PLATFORM=xcb '" +
                        std::string(KNXGW_EXE) + "' | (read line; xwd -root -silent -out '" + shot +
                        "'; cat >/dev/null)";
    std::string command = "xvfb-run -a -s '-screen 0 1024x768x24' sh -c \"" + inner + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    XwdImage image;
    std::string error;
    ASSERT_TRUE(readXwd(shot, image, error)) << error;
    EXPECT_EQ(image.width, 1024);
    EXPECT_EQ(image.height, 768);
    // The root window shows in the corner; the program's window must cover a good part of the
    // screen with something else.
    std::uint32_t root = image.rgb.front();
    std::size_t covered = 0;
    std::set<std::uint32_t> colours;
    for (std::uint32_t p : image.rgb)
        if (p != root) {
            ++covered;
            colours.insert(p);
        }
    EXPECT_GE(covered, 200u * 150u) << "no window on the screen";
    EXPECT_GE(colours.size(), 2u) << "the window is one flat colour";
}

TEST(Program, ItsModalAboutBoxPaintsItsContents) {
    if (std::system("command -v xvfb-run >/dev/null 2>&1 && command -v xwd >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "xvfb-run or xwd is not installed";
    std::string shot = std::string(KNXGW_SHOT_DIR) + "/about.xwd";
    std::remove(shot.c_str());
    // The About box opens modally soon after start; "ready" comes while it is up. The box is
    // read from its own window: a root capture by xwd blanks a window lying wholly inside
    // another window of the same program.
    // On a loaded machine the box may be mapped a little after "ready": xwd looks again.
    std::string inner = "KNXGW_ABOUT_AFTER_MS=300 KNXGW_READY_AFTER_MS=1500 "
                        "KNXGW_QUIT_AFTER_MS=9000 QT_QPA_PLATFORM=xcb '" +
                        std::string(KNXGW_EXE) +
                        "' | (read line; for i in 1 2 3 4 5 6 7 8 9 10; do xwd -name About... "
                        "-silent -out '" +
                        shot +
                        "' 2>/dev/null && break; sleep 0.5; done; "
                        "cat >/dev/null)";
    std::string command = "xvfb-run -a -s '-screen 0 1024x768x24' sh -c \"" + inner + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    XwdImage image;
    std::string error;
    ASSERT_TRUE(readXwd(shot, image, error)) << error << " (the About box did not show)";
    EXPECT_GE(image.width, 200);
    EXPECT_GE(image.height, 100);
    std::map<std::uint32_t, std::size_t> counts;
    for (std::uint32_t p : image.rgb) ++counts[p];
    std::size_t most = 0;
    for (const auto& [colour, n] : counts) most = std::max(most, n);
    EXPECT_GE(counts.size(), 3u) << "the About box is one flat colour";
    // Logo, texts and button: well over a few percent of the box is not its background.
    EXPECT_GE(image.rgb.size() - most, image.rgb.size() / 25) << "one colour fills the About box";
    EXPECT_LT(counts[0], image.rgb.size() / 2) << "the About box is mostly black";
}

TEST(Program, TheMouseOverAPushButtonShowsItsHotColourAndItsHint) {
    if (std::system("command -v xvfb-run >/dev/null 2>&1 && command -v xwd >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "xvfb-run or xwd is not installed";
    std::string screen = std::string(KNXGW_SHOT_DIR) + "/hover.xwd";
    std::string hint = std::string(KNXGW_SHOT_DIR) + "/hint.xwd";
    std::remove(screen.c_str());
    std::remove(hint.c_str());
    // The program moves the X pointer onto its Options button; "ready" comes after the hint
    // pause, while the hint is up. The hint window is read from its own window, named after its
    // text, for the reason given above.
    std::string inner = "KNXGW_POINT_AT=Btn_Opz KNXGW_POINT_AT_MS=400 KNXGW_READY_AFTER_MS=1500 "
                        "KNXGW_QUIT_AFTER_MS=4500 QT_QPA_PLATFORM=xcb '" +
                        std::string(KNXGW_EXE) + "' | (read line; xwd -root -silent -out '" +
                        screen + "'; xwd -name Options -silent -out '" + hint +
                        "'; cat >/dev/null)";
    std::string command = "xvfb-run -a -s '-screen 0 1024x768x24' sh -c \"" + inner + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    XwdImage image;
    std::string error;
    ASSERT_TRUE(readXwd(screen, image, error)) << error;
    // The button's face turns to its hot-track colour, yellow; nothing else on the idle window
    // is yellow.
    std::size_t yellow = std::count(image.rgb.begin(), image.rgb.end(), 0xFFFF00u);
    EXPECT_GE(yellow, 40u * 40u) << "the Options button is not hot";

    XwdImage tip;
    ASSERT_TRUE(readXwd(hint, tip, error)) << error << " (no hint window)";
    EXPECT_GE(tip.width, 30);
    EXPECT_LE(tip.height, 40);
    // The hint's info background (255, 255, 225) with dark text on it.
    std::size_t background = std::count(tip.rgb.begin(), tip.rgb.end(), 0xFFFFE1u);
    std::size_t dark = std::count_if(tip.rgb.begin(), tip.rgb.end(), [](std::uint32_t p) {
        return (p >> 16 & 0xFF) < 100 && (p >> 8 & 0xFF) < 100 && (p & 0xFF) < 100;
    });
    EXPECT_GE(background, tip.rgb.size() / 2) << "the hint is not on the info colour";
    EXPECT_GE(dark, 20u) << "the hint shows no text";
}
