#include "platform/net/Http.h"

#include "platform/base/Clock.h"

#include <curl/curl.h>
#include <memory>
#include <mutex>

namespace {

constexpr unsigned slice = 10; // ms between checks of the clock

// What the callbacks fill. They run inside libcurl: nothing may be thrown out of them, so a
// failure is noted here and the transfer is ended by returning a short count.
struct Transfer {
    THttpResponse response;
    std::size_t maxBytes = 0;
    std::size_t headerBytes = 0;
    bool tooLarge = false;
    bool failed = false;
};

std::size_t onBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    const std::size_t n = size * count;
    if (n > t->maxBytes - t->response.Body.size()) {
        t->tooLarge = true;
        return 0;
    }
    try {
        t->response.Body.append(data, n);
    } catch (...) {
        t->failed = true;
        return 0;
    }
    return n;
}

std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    const std::size_t n = size * count;
    t->headerBytes += n;
    if (t->headerBytes > t->maxBytes) {
        t->tooLarge = true;
        return 0;
    }
    try {
        std::string line(data, n);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        // A new status line starts the headers again (after "100 Continue" or a redirect).
        if (line.rfind("HTTP/", 0) == 0) t->response.Headers.clear();
        if (!line.empty()) t->response.Headers.push_back(line);
    } catch (...) {
        t->failed = true;
        return 0;
    }
    return n;
}

struct EasyCleanup {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct MultiCleanup {
    void operator()(CURLM* m) const { curl_multi_cleanup(m); }
};
struct ListCleanup {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};
// Takes the transfer out of the multi handle however the request ends.
struct Attached {
    CURLM* multi;
    CURL* easy;
    ~Attached() { curl_multi_remove_handle(multi, easy); }
};

} // namespace

THttpResponse HttpGet(const THttpRequest& request) {
    static std::once_flag initOnce;
    std::call_once(initOnce, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

    Transfer transfer;
    transfer.maxBytes = request.MaxBodyBytes;
    std::unique_ptr<CURL, EasyCleanup> easy(curl_easy_init());
    std::unique_ptr<CURLM, MultiCleanup> multi(curl_multi_init());
    if (!easy || !multi) throw ESocketError("Cannot start an HTTP request");
    std::unique_ptr<curl_slist, ListCleanup> headers;
    for (const auto& h : request.Headers) {
        curl_slist* l = curl_slist_append(headers.get(), h.c_str());
        if (!l) throw ESocketError("Cannot start an HTTP request");
        headers.release();
        headers.reset(l);
    }
    CURL* c = easy.get();
    curl_easy_setopt(c, CURLOPT_URL, request.Url.c_str());
    curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(c, CURLOPT_HTTP_VERSION,
                     request.Version == THttpVersion::Http10 ? long(CURL_HTTP_VERSION_1_0)
                                                             : long(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(c, CURLOPT_NOPROXY, "localhost,127.0.0.1,::1");
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, &transfer);
    curl_multi_add_handle(multi.get(), c);
    const Attached attached{multi.get(), c};

    TClock& clock = ApplicationClock();
    bool realTime = dynamic_cast<TSystemClock*>(&clock) != nullptr;
    std::uint64_t start = clock.TickCount();
    CURLcode result = CURLE_OK;
    bool done = false;
    while (!done) {
        int running = 0;
        curl_multi_perform(multi.get(), &running);
        int left = 0;
        while (CURLMsg* msg = curl_multi_info_read(multi.get(), &left)) {
            if (msg->msg == CURLMSG_DONE) {
                result = msg->data.result;
                done = true;
            }
        }
        if (done) break;
        if (clock.TickCount() - start >= request.TimeoutMs) {
            throw ESocketError(
                Format("HTTP request to %s timed out after %u ms", request.Url, request.TimeoutMs));
        }
        // On the system clock the wait for the sockets is the passing of time; another clock
        // is only polled and then advanced.
        int numfds = 0;
        curl_multi_poll(multi.get(), nullptr, 0, realTime ? int(slice) : 0, &numfds);
        if (!realTime) clock.Sleep(slice);
        if (request.OnWait) request.OnWait();
    }
    if (transfer.tooLarge)
        throw ESocketError(Format("The answer of %s is larger than %u bytes", request.Url,
                                  unsigned(request.MaxBodyBytes)));
    if (transfer.failed)
        throw ESocketError(Format("HTTP request to %s failed: out of memory", request.Url));
    if (result != CURLE_OK)
        throw ESocketError(
            Format("HTTP request to %s failed: %s", request.Url, curl_easy_strerror(result)));
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    transfer.response.StatusCode = int(status);
    return std::move(transfer.response);
}
