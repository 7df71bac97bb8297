// ODBC through the SQLite driver on an in-memory database: values of every size as text,
// NULL kept apart from an empty text, failures with the driver's diagnostics.
#include "platform/odbc/Odbc.h"

#include <gtest/gtest.h>

TEST(Odbc, ReadsRecordsAsTexts) {
    TOdbcConnection c("Driver={SQLite3};Database=:memory:");
    EXPECT_EQ(c.IdentifierQuote(), "\"");
    EXPECT_TRUE(c.Query("CREATE TABLE t (a TEXT, b INTEGER)").Fields.empty());
    c.Query("INSERT INTO t VALUES ('\xC3\x84rger', 1), ('', NULL), (NULL, 3)");
    c.Query("INSERT INTO t VALUES (printf('%.*c', 10000, 'x') || 'end', 4)");
    const TOdbcResult r = c.Query("SELECT a, b AS number FROM t ORDER BY b IS NULL, b");
    EXPECT_EQ(r.Fields, (std::vector<std::string>{"a", "number"}));
    ASSERT_EQ(r.Records.size(), 4u);
    EXPECT_EQ(r.Records[0][0], "\xC3\x84rger");
    EXPECT_FALSE(r.Records[1][0].has_value());
    EXPECT_EQ(r.Records[1][1], "3");
    EXPECT_EQ(*r.Records[2][0], std::string(10000, 'x') + "end");
    EXPECT_EQ(r.Records[3][0], "");
    EXPECT_FALSE(r.Records[3][1].has_value());
}

TEST(Odbc, FailuresCarryTheDiagnostics) {
    EXPECT_THROW(TOdbcConnection("Driver={No Such Driver};Database=x"), EOdbcError);
    TOdbcConnection c("Driver={SQLite3};Database=:memory:");
    try {
        c.Query("SELECT * FROM nowhere");
        FAIL();
    } catch (const EOdbcError& e) {
        EXPECT_NE(e.Message().find("nowhere"), std::string::npos) << e.Message();
    }
}
