#include "platform/web/WebPage.h"

#include <emscripten.h>

#include "platform/web/WebSystem.h"

namespace {

WebPage::Request g_request = WebPage::Request::Play;

EM_ASYNC_JS(void, PageMountStorage, (const char* dir),
            { await QuorvaxPage.mountStorage(FS, IDBFS, UTF8ToString(dir)); });
EM_JS(void, PageOfferRecording, (const char* path),
      { QuorvaxPage.offerRecording(UTF8ToString(path)); });
EM_JS(void, PagePlaybackEnded, (const char* state),
      { QuorvaxPage.playbackEnded(UTF8ToString(state)); });
EM_JS(void, PageGameStarting, (int pictures), { QuorvaxPage.gameStarting(pictures); });
EM_JS(void, PageOfferFile, (const char* path), { QuorvaxPage.offerFile(UTF8ToString(path)); });
EM_JS(void, PageTableOpen, (const char* url), { QuorvaxTable.open(UTF8ToString(url)); });
EM_JS(void, PageTableGameStarted, (), { QuorvaxTable.gameStarted(); });
EM_JS(void, PageTableSubmit, (const char* body), { QuorvaxTable.submit(UTF8ToString(body)); });
EM_JS(int, PageTableStatusSize, (), { return lengthBytesUTF8(QuorvaxTable.status()) + 1; });
EM_JS(void, PageTableStatusCopy, (char* out, int size),
      { stringToUTF8(QuorvaxTable.status(), out, size); });

}  // namespace

void WebPage::MountStorage() {
    PageMountStorage(kStorageDir);
}

WebPage::Request WebPage::TakeRequest() {
    const Request request = g_request;
    g_request = Request::Play;
    return request;
}

void WebPage::Ask(Request request) {
    g_request = request;
    if (WebSystem* system = WebSystem::Current(); system != nullptr) {
        system->QueueQuit();
    }
}

void WebPage::OfferRecording() {
    PageOfferRecording(kRecordingFile);
}

void WebPage::ShowPlaybackEnd(const std::string& state) {
    PagePlaybackEnded(state.c_str());
}

void WebPage::OfferFile(const std::string& path) {
    PageOfferFile(path.c_str());
}

void WebPage::GameStarting(bool pictures) {
    PageGameStarting(pictures ? 1 : 0);
}

void WebPage::TableOpen(const std::string& url) {
    PageTableOpen(url.c_str());
}

void WebPage::TableGameStarted() {
    PageTableGameStarted();
}

void WebPage::TableSubmit(const std::string& body) {
    PageTableSubmit(body.c_str());
}

std::string WebPage::TableStatus() {
    std::string text(static_cast<size_t>(PageTableStatusSize()), '\0');
    PageTableStatusCopy(text.data(), static_cast<int>(text.size()));
    text.resize(text.find('\0'));
    return text;
}

extern "C" {

// The page's record button (start: 1, stop: 0) and its chosen recording,
// already written to WebPage::kChosenFile.
EMSCRIPTEN_KEEPALIVE void quorvax_record(int start) {
    WebPage::Ask(start != 0 ? WebPage::Request::Record : WebPage::Request::Play);
}

EMSCRIPTEN_KEEPALIVE void quorvax_watch() {
    WebPage::Ask(WebPage::Request::Watch);
}

}  // extern "C"
