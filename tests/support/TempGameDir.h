#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

// A fresh, empty working directory for one test, so that a test decides
// which of the game's files exist. The old working directory comes back
// when it goes out of scope.
class TempGameDir {
  public:
    TempGameDir();
    ~TempGameDir();
    TempGameDir(const TempGameDir&) = delete;
    TempGameDir& operator=(const TempGameDir&) = delete;

    // Writes a w x h uncompressed 24-bit BMP of one colour under name.
    void WriteBmp(const std::string& name, int w, int h, uint8_t r, uint8_t g, uint8_t b) const;

  private:
    std::filesystem::path old_;
    std::filesystem::path dir_;
};
