#include "platform/net/Http.h"

#include "platform/base/Clock.h"

#include <curl/curl.h>
#include <memory>
#include <mutex>

namespace {

constexpr unsigned slice = 10; // ms between checks of the clock

std::size_t onBody(char* data, std::size_t size, std::size_t count, void* user) {
    static_cast<THttpResponse*>(user)->Body.append(data, size * count);
    return size * count;
}

std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* user) {
    std::string line(data, size * count);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    auto* response = static_cast<THttpResponse*>(user);
    // A new status line starts the headers again (after "100 Continue" or a redirect).
    if (line.rfind("HTTP/", 0) == 0) response->Headers.clear();
    if (!line.empty()) response->Headers.push_back(line);
    return size * count;
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

} // namespace

THttpResponse HttpGet(const THttpRequest& request) {
    static std::once_flag initOnce;
    std::call_once(initOnce, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

    THttpResponse response;
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
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &response);
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, &response);
    curl_multi_add_handle(multi.get(), c);

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
            curl_multi_remove_handle(multi.get(), c);
            throw ESocketError(
                Format("HTTP request to %s timed out after %u ms", request.Url, request.TimeoutMs));
        }
        // On the system clock the wait for the sockets is the passing of time; another clock
        // is only polled and then advanced.
        int numfds = 0;
        curl_multi_poll(multi.get(), nullptr, 0, realTime ? int(slice) : 0, &numfds);
        if (!realTime) clock.Sleep(slice);
    }
    curl_multi_remove_handle(multi.get(), c);
    if (result != CURLE_OK)
        throw ESocketError(
            Format("HTTP request to %s failed: %s", request.Url, curl_easy_strerror(result)));
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    response.StatusCode = int(status);
    return response;
}
