#include "platform/linux/CurlHttpClient.h"

#include <curl/curl.h>

namespace {

size_t Collect(char* data, size_t size, size_t count, void* out) {
    static_cast<std::string*>(out)->append(data, size * count);
    return size * count;
}

class CurlHttpClient : public HttpClient {
  public:
    CurlHttpClient() { curl_global_init(CURL_GLOBAL_DEFAULT); }
    ~CurlHttpClient() override { curl_global_cleanup(); }

    HttpResponse PostJson(const std::string& url, const std::string& json) override {
        HttpResponse r;
        CURL* curl = curl_easy_init();
        if (curl == nullptr) {
            r.error = "no HTTP client";
            return r;
        }
        curl_slist* headers = curl_slist_append(nullptr, "Content-Type: application/json");
        char error[CURL_ERROR_SIZE] = {};
        curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, json.data());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(json.size()));
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Collect);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &r.body);
        curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
        // Short: the game waits for a request under way when the player quits.
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 5L);
        curl_easy_setopt(curl, CURLOPT_TIMEOUT, 15L);
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
        const CURLcode rc = curl_easy_perform(curl);
        if (rc == CURLE_OK) {
            long status = 0;
            curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
            r.status = static_cast<int>(status);
        } else {
            r.error = error[0] != '\0' ? error : curl_easy_strerror(rc);
        }
        curl_slist_free_all(headers);
        curl_easy_cleanup(curl);
        return r;
    }
};

}  // namespace

std::unique_ptr<HttpClient> MakeCurlHttpClient() {
    return std::make_unique<CurlHttpClient>();
}
