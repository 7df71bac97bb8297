#pragma once
// Databases through the ODBC driver manager: a connection by connection text, queries whose
// records are read whole as texts.
#include "platform/base/SysUtils.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// A failure of the driver manager or the driver; the message holds their diagnostics.
class EOdbcError : public Exception {
public:
    using Exception::Exception;
};

struct TOdbcResult {
    std::vector<std::string> Fields; // column names, in order
    // One entry per record and field; no value for NULL.
    std::vector<std::vector<std::optional<std::string>>> Records;
};

class TOdbcConnection {
public:
    // Connects with a connection text such as "Driver={SQLite3};Database=/tmp/a.db".
    explicit TOdbcConnection(const std::string& ConnectionText);
    ~TOdbcConnection();
    TOdbcConnection(const TOdbcConnection&) = delete;
    TOdbcConnection& operator=(const TOdbcConnection&) = delete;

    // The character the data source quotes identifiers with; empty when it has none or does
    // not tell.
    std::string IdentifierQuote();
    // Runs the statement and reads every record of its result (none for a statement that has
    // no result) as text.
    TOdbcResult Query(const std::string& Sql);

private:
    struct Handles;
    std::unique_ptr<Handles> h_;
};
