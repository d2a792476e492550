#pragma once

#include <cstdint>
#include <memory>

#include "platform/AudioOutput.h"

// The sound card through SDL: one stereo float device at 48 kHz or whatever
// rate the device really runs at. main() opens it once at start.
class AudioOutputSdl : public AudioOutput {
  public:
    // Null, after a line on stderr, when no device can be opened; the game
    // then runs silently.
    static std::unique_ptr<AudioOutputSdl> Open();
    ~AudioOutputSdl() override;

    void Lock() override;
    void Unlock() override;

  private:
    AudioOutputSdl();
    bool OpenDevice();
    static void Callback(void* self, uint8_t* stream, int len);

    uint32_t device_ = 0;
    bool subsystem_ = false;
};
