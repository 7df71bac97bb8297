#include "shell/state/KnxText.h"

#include <gtest/gtest.h>

TEST(KnxText, ChecksIndividualAddresses) {
    struct Case {
        const char* text;
        bool allowZero;
        int expected;
    };
    const Case cases[] = {
        {"1.1.1", false, 0},      {"0.0.0", false, 1},  {"0.0.0", true, 0},
        {"15.15.255", false, 0},  {"16.0.1", false, 1}, {"1.16.1", false, 1},
        {"1.1.256", false, 1},    {"1.2", false, 1},    {"1.2.3.4", false, 1},
        {"1/2", false, 1},        {"4660", false, 0},   {"0", false, 1},
        {"65536", false, 1},      {"", false, 1},       {" 1 . 2 . 3 ", false, 0},
        {"a.1.1", false, 1},      {"-1.1.1", false, 1}, {"1..1", false, 1},
        {"$F.x1.0xFF", false, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Check_KNX_Address(c.text, false, c.allowZero), c.expected)
            << '"' << c.text << "\" allowZero=" << c.allowZero;
}

TEST(KnxText, ChecksGroupAddresses) {
    struct Case {
        const char* text;
        int expected;
    };
    const Case cases[] = {
        {"31/2047", 0},  {"0/0", 1},   {"32/1", 1},  {"1/2048", 1}, {"0/1", 0},
        {"31/7/255", 0}, {"1/8/1", 1}, {"0/0/0", 1}, {"0/0/1", 0},  {"1/1/256", 1},
        {"1/2/3/4", 1},  {"1.2", 1},   {"65535", 0}, {"0", 1},      {"65536", 1},
        {" 1 / 2 ", 0},  {"1/x", 1},   {"", 1},      {"/", 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Check_KNX_Address(c.text, true, false), c.expected) << '"' << c.text << '"';
        // Allow_Zero has no effect on group addresses.
        EXPECT_EQ(Check_KNX_Address(c.text, true, true), c.expected) << '"' << c.text << '"';
    }
}

TEST(KnxText, FindsDots) {
    EXPECT_TRUE(Has_No_Dot("1/2/3"));
    EXPECT_TRUE(Has_No_Dot(""));
    EXPECT_FALSE(Has_No_Dot("1.1.5"));
    EXPECT_FALSE(Has_No_Dot("."));
}

TEST(KnxText, ConvertsTableTextsToCodes) {
    struct Case {
        const char* text;
        int access, priority, conversion;
    };
    const Case cases[] = {
        {"write", 128, 1, 0},
        {"WRITE", 128, 1, 0},
        {"Read", 0, 1, 0},
        {"7", 7, 1, 0},
        {"abc", 0, 1, 0},
        {"", 0, 1, 0},
        {" write", 0, 1, 0}, // not trimmed
        // Numbers follow the project integer rule of the dialogs and the compiler.
        {" 7", 7, 1, 0},
        {"7 ", 0, 1, 0},
        {"x80", 128, 1, 0},
        {"0X80", 128, 1, 0},
        {"$FFFFFFFF", -1, 1, 0},
        {"4294967296", 0, 1, 0},
        {"system", 0, 0, 0},
        {"Normal", 0, 1, 0},
        {"urgent", 0, 2, 0},
        {"LOW", 0, 3, 0},
        {"None", 0, 1, 0x0000},
        {"swap16", 0, 1, 0x1000},
        {"SWAP32", 0, 1, 0x2000},
        {"Swap All", 0, 1, 0x3000},
        {"Int to Float", 0, 1, 0x4000},
        {"FLOAT TO INT", 0, 1, 0x5000},
        {"Float16 to Float32", 0, 1, 0x6000},
        {"float16 to int", 0, 1, 0x7000},
        {"FLOAT16 TO INT * 10", 0, 1, 0x8000},
        {"float16 to int * 100", 0, 1, 0x9000},
        {"SWAP 16", 0, 1, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Str_To_Access_Flag(c.text), c.access) << '"' << c.text << '"';
        EXPECT_EQ(Str_To_KNX_Priority(c.text), c.priority) << '"' << c.text << '"';
        EXPECT_EQ(Str_To_Conversion(c.text), c.conversion) << '"' << c.text << '"';
    }
}
