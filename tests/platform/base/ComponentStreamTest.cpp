// The component streaming format: the value tags each kind of value is written with, and the
// reader's refusals.
#include "platform/base/ComponentStream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

namespace {

std::string bytesOf(TMemoryStream& m) {
    return std::string(reinterpret_cast<const char*>(m.Bytes().data()), m.Bytes().size());
}

template <typename F> std::string written(F&& write) {
    TMemoryStream m;
    TWriter w(m);
    write(w);
    w.FlushBuffer();
    return bytesOf(m);
}

std::unique_ptr<TReader> readerOver(TMemoryStream& m, const std::string& bytes) {
    if (!bytes.empty()) m.WriteBuffer(bytes.data(), std::int64_t(bytes.size()));
    m.SetPosition(0);
    return std::make_unique<TReader>(m);
}

} // namespace

TEST(ComponentStream, WritesEachValueWithItsTag) {
    struct Case {
        const char* what;
        std::string bytes;
        std::string expected;
    };
    const Case cases[] = {
        {"int8", written([](TWriter& w) { w.WriteInteger(-128); }), std::string("\x02\x80", 2)},
        {"int16", written([](TWriter& w) { w.WriteInteger(128); }), std::string("\x03\x80\x00", 3)},
        {"int32", written([](TWriter& w) { w.WriteInteger(32768); }),
         std::string("\x04\x00\x80\x00\x00", 5)},
        {"false", written([](TWriter& w) { w.WriteBoolean(false); }), "\x08"},
        {"true ident", written([](TWriter& w) { w.WriteIdent("tRuE"); }), "\x09"},
        {"nil ident", written([](TWriter& w) { w.WriteIdent("NIL"); }), "\x0D"},
        {"ident", written([](TWriter& w) { w.WriteIdent("taCenter"); }), "\x07\x08taCenter"},
        {"colour name", written([](TWriter& w) { w.WriteColor(clWindow); }),
         "\x07\x08"
         "clWindow"},
        {"colour value", written([](TWriter& w) { w.WriteColor(0x123456); }),
         std::string("\x04\x56\x34\x12\x00", 5)},
        {"ascii", written([](TWriter& w) { w.WriteString("abc"); }),
         "\x06\x03"
         "abc"},
        {"long ascii", written([](TWriter& w) { w.WriteString(std::string(256, 'x')); }),
         std::string("\x0C\x00\x01\x00\x00", 5) + std::string(256, 'x')},
        // Three characters in four bytes: UTF-8.
        {"utf8", written([](TWriter& w) {
             w.WriteString("a\xC3\xA9"
                           "b");
         }),
         std::string("\x14\x04\x00\x00\x00"
                     "a\xC3\xA9"
                     "b",
                     9)},
        // One character in two bytes: UTF-16 units.
        {"wide", written([](TWriter& w) { w.WriteString("\xC3\xA9"); }),
         std::string("\x12\x01\x00\x00\x00\xE9\x00", 7)},
        {"set", written([](TWriter& w) {
             w.WriteSet({"fsBold", "fsItalic"});
         }),
         "\x0B\x06"
         "fsBold\x08"
         "fsItalic" +
             std::string(1, '\0')},
        {"binary", written([](TWriter& w) { w.WriteBinary("xy"); }),
         std::string("\x0A\x02\x00\x00\x00xy", 7)},
        {"header", written([](TWriter& w) { w.WriteComponentHeader("TGridCellIO", ""); }),
         std::string("TPF0\x0BTGridCellIO\x00", 17)},
    };
    for (const auto& c : cases) EXPECT_EQ(c.bytes, c.expected) << c.what;
}

TEST(ComponentStream, ReadsBackWhatItWrites) {
    TMemoryStream m;
    TWriter w(m);
    w.WriteComponentHeader("TThing", "");
    w.WritePropName("A");
    w.WriteInteger(-70000);
    w.WritePropName("B");
    w.WriteString("\xE2\x82\xAC uro");
    w.WritePropName("C");
    w.WriteFloat(2.5);
    w.WritePropName("D");
    w.WriteColor(clNone);
    w.WritePropName("E");
    w.WriteListBegin();
    w.WriteString("one");
    w.WriteString("");
    w.WriteListEnd();
    w.WriteComponentEnd();
    w.FlushBuffer();
    m.WriteBuffer("rest", 4);
    m.SetPosition(0);
    {
        TReader r(m);
        r.ExpectComponent("TThing");
        EXPECT_EQ(r.ReadStr(), "A");
        EXPECT_EQ(r.ReadInteger(), -70000);
        EXPECT_EQ(r.ReadStr(), "B");
        EXPECT_EQ(r.ReadString(), "\xE2\x82\xAC uro");
        EXPECT_EQ(r.ReadStr(), "C");
        EXPECT_EQ(r.ReadFloat(), 2.5L);
        EXPECT_EQ(r.ReadStr(), "D");
        EXPECT_EQ(r.ReadColor(), clNone);
        EXPECT_EQ(r.ReadStr(), "E");
        r.ReadListBegin();
        EXPECT_EQ(r.ReadString(), "one");
        EXPECT_EQ(r.ReadString(), "");
        EXPECT_TRUE(r.EndOfList());
        EXPECT_TRUE(r.EndOfList());
        r.ReadChildrenEnd();
    }
    // The stream is left after the component.
    char rest[4];
    m.ReadBuffer(rest, 4);
    EXPECT_EQ(std::string(rest, 4), "rest");
}

TEST(ComponentStream, ExtendedFloatsKeepTheirValue) {
    for (long double v : {0.0L, -0.0L, 1.0L, -2.5L, 1e-300L, 123456789.125L, 1e300L}) {
        std::uint8_t bytes[10];
        DoubleToExtended(v, bytes);
        EXPECT_EQ(ExtendedToDouble(bytes), v) << double(v);
    }
    std::uint8_t one[10];
    DoubleToExtended(1.0L, one);
    // Mantissa with its integer bit, exponent 16383.
    EXPECT_EQ(std::string(reinterpret_cast<char*>(one), 10),
              std::string("\0\0\0\0\0\0\0\x80\xFF\x3F", 10));
    std::uint8_t inf[10];
    DoubleToExtended(INFINITY, inf);
    EXPECT_TRUE(std::isinf(ExtendedToDouble(inf)));
}

TEST(ComponentStream, RefusesWhatIsNotItsFormat) {
    struct Case {
        std::string bytes;
        const char* message;
    };
    const Case cases[] = {
        {"", "Invalid stream format"},
        {"TPF1\x01X\x00", "Invalid stream format"},
        {std::string("TPF0\x05Other\x00\x00\x00", 13),
         "Invalid stream format: TThing expected, Other found"},
        {std::string("TPF0\x06TThing\x00\x01"
                     "A\x04\x01",
                     16),
         "Stream read error"},
    };
    for (const auto& c : cases) {
        TMemoryStream m;
        auto r = readerOver(m, c.bytes);
        try {
            r->ExpectComponent("TThing");
            r->ReadStr();
            r->ReadInteger();
            FAIL() << c.message;
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
    }
    EXPECT_THROW(TReader::UnknownProperty("Zap"), EReadError);
    try {
        TReader::UnknownProperty("Zap");
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Property Zap does not exist");
    }
    TMemoryStream m;
    TWriter w(m);
    EXPECT_THROW(w.WriteStr(std::string(256, 'n')), EWriteError);
}
