// A bounded run of randomly damaged documents through the reader: each one is either refused
// with a parse error or read, and what is read saves to XML that reads back the same.
#include "platform/xml/XmlDoc.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> seeds = {
    "<Par_Gen><KNX_TYPE>0</KNX_TYPE><KNX_ID_DEV>1.1.200</KNX_ID_DEV></Par_Gen>"
    "<!--SW_VERSION = 1.000-->",
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Receive_NMEA_2000>\n  <row PGN=\"127250\" "
    "SA=\"5\" TP=\"N\" Mnemonic=\"Heading &amp; &#x20AC;\"/>\n  <row PGN=\"$1F\" SA=' 7'/>\n"
    "</Receive_NMEA_2000>",
    "<?xml version=\"1.0\" encoding=\"windows-1252\"?><a b=\"\x80\">\xE9<![CDATA[<x>]]></a>",
    "<!DOCTYPE r [<!ENTITY e \"v&#38;w\"><!ATTLIST r d CDATA \"1\">]><r>&e;<?pi data?>"
    "<k>  </k>\r\n<k/></r>",
    "<Conf_Settings><lastproj><projectname>M\xC3\xBC</projectname></lastproj>"
    "<lastinternet><enable_internet>1</enable_internet></lastinternet></Conf_Settings>",
    std::string("\xFF\xFE<\0a\0>\0\xE9\0<\0/\0a\0>\0", 18),
};

const std::vector<std::string> pieces = {"<",
                                         ">",
                                         "&",
                                         "&amp;",
                                         "&#",
                                         "&#x0;",
                                         "]]>",
                                         "<!--",
                                         "-->",
                                         "--",
                                         "\"",
                                         "'",
                                         "=",
                                         "/",
                                         "<a>",
                                         "</a>",
                                         "<b/>",
                                         "<![CDATA[",
                                         "?>",
                                         "\xC3",
                                         "\xC0\xAF",
                                         "\xED\xA0\x80",
                                         "\x01",
                                         "\n",
                                         " ",
                                         "\r",
                                         "&e;",
                                         "<?xml version=\"1.0\"?>",
                                         "<!DOCTYPE a [<!ENTITY e \"&e;\">]>",
                                         "<!ENTITY"};

std::string mutate(std::string s, std::mt19937& rng) {
    auto pick = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n)(rng);
    };
    const std::size_t steps = 1 + pick(1);
    for (std::size_t k = 0; k < steps; ++k) {
        const std::size_t at = pick(s.size());
        switch (pick(3)) {
        case 0:
            if (at < s.size()) s[at] = char(pick(255));
            break;
        case 1:
            s.insert(at, pieces[pick(pieces.size() - 1)]);
            break;
        case 2:
            s.erase(at, pick(8));
            break;
        default:
            s.insert(at, s.substr(pick(s.size()), pick(16)));
            break;
        }
    }
    return s;
}

TEST(XmlFuzz, DamagedDocumentsAreRefusedOrReadConsistently) {
    std::mt19937 rng(20261210);
    int read = 0, refused = 0;
    for (int i = 0; i < 20000; ++i) {
        const std::string& seed = seeds[std::size_t(i) % seeds.size()];
        const std::string input = mutate(seed, rng);
        TXMLDocument doc;
        try {
            doc.LoadFromXML(input);
        } catch (const EXMLParseError&) {
            ++refused;
            continue;
        }
        ++read;
        std::string saved;
        ASSERT_NO_THROW(saved = doc.SaveToXML()) << testing::PrintToString(input);
        TXMLDocument back;
        ASSERT_NO_THROW(back.LoadFromXML(saved)) << testing::PrintToString(input) << "\n"
                                                 << testing::PrintToString(saved);
        ASSERT_EQ(back.SaveToXML(), saved) << testing::PrintToString(input);
    }
    // Both outcomes are exercised, so the run is not trivially one-sided.
    EXPECT_GT(read, 1000);
    EXPECT_GT(refused, 1000);
}

} // namespace
