#pragma once
// HTTP GET over libcurl. Waiting is measured on the application clock, so a test with the
// manual clock sees the time-out without waiting for it.
#include "platform/net/NetError.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

enum class THttpVersion { Http10, Http11 };

struct THttpRequest {
    std::string Url;
    THttpVersion Version = THttpVersion::Http11;
    std::vector<std::string> Headers; // "Name: value" lines sent with the request
    unsigned TimeoutMs = 10000;       // for the whole exchange
    // A larger body (or more header bytes) ends the exchange with ESocketError.
    std::size_t MaxBodyBytes = 64 * 1024;
    // Called on the calling thread between checks while the answer is awaited, for example to
    // keep windows painting; what it raises ends the request and reaches the caller.
    std::function<void()> OnWait;
};

struct THttpResponse {
    int StatusCode = 0;
    std::string Body;
    std::vector<std::string> Headers; // the response's header lines, without line ends
};

// Sends the request and returns the answer, whatever its status code. Raises ESocketError
// with the reason when there is no answer (no connection, time-out, bad URL, an answer larger
// than the request allows). Loopback addresses are never sent through a proxy.
THttpResponse HttpGet(const THttpRequest& request);
