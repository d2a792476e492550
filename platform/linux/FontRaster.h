#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct FT_LibraryRec_;
struct FT_FaceRec_;

// One font face sized to a character cell height (ascent plus descent, as
// the classic font API measures it) that rasterises single glyphs into 8-bit
// coverage bitmaps. Free of any window system, so build-time tools can use
// it as well as the game's text and dialogs.
class FontRaster {
  public:
    struct Glyph {
        int width = 0;  // bitmap columns
        int rows = 0;   // bitmap rows, row 0 at the top
        int left = 0;   // pen position to the bitmap's left edge
        int top = 0;    // baseline up to the bitmap's top edge
        int advance = 0;
        std::vector<uint8_t> coverage;  // width * rows, 0..255
    };

    FontRaster();
    ~FontRaster();
    FontRaster(const FontRaster&) = delete;
    FontRaster& operator=(const FontRaster&) = delete;

    // Finds a face for the family and weight (400 regular, 700 bold) through
    // fontconfig, falling back to DejaVu Sans; false when no face can be opened.
    bool Open(const char* family, int weight, int cellHeight);
    // Opens a font file directly (tools and tests); faceIndex picks a face of a collection.
    bool OpenFile(const std::string& path, int cellHeight, int faceIndex = 0);
    bool IsOpen() const { return face_ != nullptr; }

    // Rasterises the code point; a code point the face lacks gives its
    // missing-glyph shape. False only when no face is open or FreeType fails.
    bool Render(char32_t codePoint, Glyph& out) const;
    // Sum of the advances of a UTF-8 string, in pixels.
    int TextWidth(const std::string& utf8) const;

    const std::string& Path() const { return path_; }
    const std::string& FamilyName() const { return family_; }
    int Ascent() const { return ascent_; }
    int Descent() const { return descent_; }
    int CellHeight() const { return ascent_ + descent_; }

  private:
    bool SizeToCell(int cellHeight);
    void Close();

    FT_LibraryRec_* library_ = nullptr;
    FT_FaceRec_* face_ = nullptr;
    std::string path_;
    std::string family_;
    int ascent_ = 0;
    int descent_ = 0;
};
