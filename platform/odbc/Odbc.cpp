// The ODBC connection over the unixODBC driver manager (narrow calls, texts in UTF-8).
#include "platform/odbc/Odbc.h"

#include <sql.h>
#include <sqlext.h>

namespace {

std::string diagnostics(SQLSMALLINT type, SQLHANDLE handle) {
    std::string text;
    for (SQLSMALLINT i = 1;; ++i) {
        SQLCHAR state[6] = {};
        SQLCHAR message[1024] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        const SQLRETURN rc =
            SQLGetDiagRec(type, handle, i, state, &native, message, sizeof message, &length);
        if (!SQL_SUCCEEDED(rc)) break;
        if (!text.empty()) text += "\n";
        text += "[" + std::string(reinterpret_cast<char*>(state)) + "] " +
                std::string(reinterpret_cast<char*>(message));
    }
    return text;
}

void check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, const char* what) {
    if (SQL_SUCCEEDED(rc)) return;
    std::string d = handle ? diagnostics(type, handle) : std::string();
    throw EOdbcError(std::string(what) + (d.empty() ? std::string() : ": " + d));
}

struct Statement {
    SQLHSTMT h = SQL_NULL_HSTMT;
    ~Statement() {
        if (h) SQLFreeHandle(SQL_HANDLE_STMT, h);
    }
};

} // namespace

struct TOdbcConnection::Handles {
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    bool connected = false;
    ~Handles() {
        if (connected) SQLDisconnect(dbc);
        if (dbc) SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        if (env) SQLFreeHandle(SQL_HANDLE_ENV, env);
    }
};

TOdbcConnection::TOdbcConnection(const std::string& ConnectionText)
    : h_(std::make_unique<Handles>()) {
    check(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &h_->env), SQL_HANDLE_ENV, nullptr,
          "Cannot start the ODBC driver manager");
    check(SQLSetEnvAttr(h_->env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3),
                        0),
          SQL_HANDLE_ENV, h_->env, "Cannot start the ODBC driver manager");
    check(SQLAllocHandle(SQL_HANDLE_DBC, h_->env, &h_->dbc), SQL_HANDLE_ENV, h_->env,
          "Cannot start the ODBC driver manager");
    std::string text = ConnectionText;
    check(SQLDriverConnect(h_->dbc, nullptr, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS,
                           nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT),
          SQL_HANDLE_DBC, h_->dbc, "Cannot connect to the database");
    h_->connected = true;
}

TOdbcConnection::~TOdbcConnection() = default;

std::string TOdbcConnection::IdentifierQuote() {
    SQLCHAR quote[8] = {};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(
            SQLGetInfo(h_->dbc, SQL_IDENTIFIER_QUOTE_CHAR, quote, sizeof quote, &length)))
        return {};
    std::string q(reinterpret_cast<char*>(quote));
    return q == " " ? std::string() : q;
}

TOdbcResult TOdbcConnection::Query(const std::string& Sql) {
    Statement st;
    check(SQLAllocHandle(SQL_HANDLE_STMT, h_->dbc, &st.h), SQL_HANDLE_DBC, h_->dbc,
          "Cannot run the query");
    std::string sql = Sql;
    const SQLRETURN rc = SQLExecDirect(st.h, reinterpret_cast<SQLCHAR*>(sql.data()), SQL_NTS);
    if (rc != SQL_NO_DATA) check(rc, SQL_HANDLE_STMT, st.h, "Cannot run the query");
    TOdbcResult result;
    SQLSMALLINT columns = 0;
    check(SQLNumResultCols(st.h, &columns), SQL_HANDLE_STMT, st.h, "Cannot run the query");
    for (SQLSMALLINT c = 1; c <= columns; ++c) {
        SQLCHAR name[512] = {};
        SQLSMALLINT length = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        check(SQLDescribeCol(st.h, c, name, sizeof name, &length, &type, &size, &digits, &nullable),
              SQL_HANDLE_STMT, st.h, "Cannot read the query's fields");
        result.Fields.emplace_back(reinterpret_cast<char*>(name));
    }
    if (columns == 0) return result;
    for (;;) {
        const SQLRETURN f = SQLFetch(st.h);
        if (f == SQL_NO_DATA) break;
        check(f, SQL_HANDLE_STMT, st.h, "Cannot read the query's records");
        auto& record = result.Records.emplace_back();
        for (SQLSMALLINT c = 1; c <= columns; ++c) {
            std::string value;
            bool isNull = false;
            char buffer[4096];
            for (;;) {
                SQLLEN got = 0;
                const SQLRETURN g =
                    SQLGetData(st.h, SQLUSMALLINT(c), SQL_C_CHAR, buffer, sizeof buffer, &got);
                if (g == SQL_NO_DATA) break;
                check(g, SQL_HANDLE_STMT, st.h, "Cannot read the query's records");
                if (got == SQL_NULL_DATA) {
                    isNull = true;
                    break;
                }
                // A part that did not fit fills the buffer but its terminating NUL.
                const bool more = g == SQL_SUCCESS_WITH_INFO &&
                                  (got == SQL_NO_TOTAL || got >= SQLLEN(sizeof buffer));
                value.append(buffer, more ? sizeof buffer - 1 : std::size_t(got));
                if (!more) break;
            }
            if (isNull)
                record.emplace_back();
            else
                record.emplace_back(std::move(value));
        }
    }
    return result;
}
