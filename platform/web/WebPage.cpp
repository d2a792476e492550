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
