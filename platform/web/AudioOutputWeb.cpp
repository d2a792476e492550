#include "platform/web/AudioOutputWeb.h"

#include <emscripten.h>

namespace {

constexpr int kRate = 48000;

EM_JS(int, PageAudioAvailable, (), { return QuorvaxPage.audioAvailable() ? 1 : 0; });
EM_JS(int, PagePlayEffect, (const char* path),
      { return QuorvaxPage.playEffect(UTF8ToString(path)) ? 1 : 0; });

}  // namespace

std::unique_ptr<AudioOutputWeb> AudioOutputWeb::Open() {
    if (PageAudioAvailable() == 0) {
        return nullptr;
    }
    return std::unique_ptr<AudioOutputWeb>(new AudioOutputWeb());
}

AudioOutputWeb::AudioOutputWeb() : AudioOutput(kRate) {}

bool AudioOutputWeb::PlayFile(const std::string& path) {
    return PagePlayEffect(path.c_str()) != 0;
}
