#include "platform/linux/FontRaster.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>

#include "platform/Cp1252.h"

namespace {

struct FontFile {
    std::string path;
    int index = 0;
};

// Asks fontconfig for the best scalable face of the family and weight.
bool MatchFont(const char* family, int weight, FontFile& out) {
    if (!FcInit()) {
        return false;
    }
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) {
        return false;
    }
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr) {
        return false;
    }
    FcChar8* file = nullptr;
    int index = 0;
    bool ok = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file != nullptr;
    if (ok) {
        out.path = reinterpret_cast<const char*>(file);
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) {
            out.index = index;
        }
    }
    FcPatternDestroy(match);
    return ok;
}

}  // namespace

FontRaster::FontRaster() = default;

FontRaster::~FontRaster() {
    Close();
}

void FontRaster::Close() {
    if (face_ != nullptr) {
        FT_Done_Face(face_);
        face_ = nullptr;
    }
    if (library_ != nullptr) {
        FT_Done_FreeType(library_);
        library_ = nullptr;
    }
    path_.clear();
    family_.clear();
    ascent_ = descent_ = 0;
}

bool FontRaster::Open(const char* family, int weight, int cellHeight) {
    const char* candidates[] = {family, "DejaVu Sans"};
    for (const char* name : candidates) {
        FontFile file;
        if (!MatchFont(name, weight, file)) {
            continue;
        }
        if (OpenFile(file.path, cellHeight, file.index)) {
            return true;
        }
    }
    return false;
}

bool FontRaster::OpenFile(const std::string& path, int cellHeight, int faceIndex) {
    Close();
    if (cellHeight <= 0 || FT_Init_FreeType(&library_) != 0) {
        library_ = nullptr;
        return false;
    }
    if (FT_New_Face(library_, path.c_str(), faceIndex, &face_) != 0) {
        face_ = nullptr;
        Close();
        return false;
    }
    if (!SizeToCell(cellHeight)) {
        Close();
        return false;
    }
    path_ = path;
    family_ = face_->family_name != nullptr ? face_->family_name : "";
    return true;
}

// The classic font API's cell height is the face's Windows ascent plus
// descent (the OS/2 table; hhea when that is missing), so the em size is
// chosen to make that sum the requested number of pixels.
bool FontRaster::SizeToCell(int cellHeight) {
    FT_Face face = face_;
    if (!FT_IS_SCALABLE(face)) {
        if (FT_Set_Pixel_Sizes(face, 0, cellHeight) != 0) {
            return false;
        }
        ascent_ = static_cast<int>(face->size->metrics.ascender >> 6);
        descent_ = static_cast<int>(-face->size->metrics.descender >> 6);
        return true;
    }
    double ascent = face->ascender;
    double descent = -face->descender;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 != nullptr && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        ascent = os2->usWinAscent;
        descent = os2->usWinDescent;
    }
    const double units = face->units_per_EM;
    if (ascent + descent <= 0 || units <= 0) {
        return false;
    }
    const long ppem = std::max(1L, std::lround(cellHeight * units / (ascent + descent)));
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(ppem)) != 0) {
        return false;
    }
    ascent_ = static_cast<int>(std::lround(ascent * ppem / units));
    descent_ = static_cast<int>(std::lround(descent * ppem / units));
    return true;
}

bool FontRaster::Render(char32_t codePoint, Glyph& out) const {
    out = Glyph{};
    if (face_ == nullptr) {
        return false;
    }
    const FT_UInt index = FT_Get_Char_Index(face_, codePoint);
    if (FT_Load_Glyph(face_, index, FT_LOAD_DEFAULT | FT_LOAD_RENDER) != 0) {
        return false;
    }
    const FT_GlyphSlot slot = face_->glyph;
    const FT_Bitmap& bm = slot->bitmap;
    out.width = static_cast<int>(bm.width);
    out.rows = static_cast<int>(bm.rows);
    out.left = slot->bitmap_left;
    out.top = slot->bitmap_top;
    out.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    out.coverage.assign(static_cast<size_t>(out.width) * out.rows, 0);
    for (int y = 0; y < out.rows; ++y) {
        const unsigned char* row = bm.buffer + static_cast<long>(y) * bm.pitch;
        for (int x = 0; x < out.width; ++x) {
            uint8_t value = 0;
            if (bm.pixel_mode == FT_PIXEL_MODE_GRAY) {
                value = static_cast<uint8_t>(row[x] * 255 / std::max(1, bm.num_grays - 1));
            } else if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
                value = (row[x / 8] & (0x80 >> (x % 8))) != 0 ? 255 : 0;
            }
            out.coverage[static_cast<size_t>(y) * out.width + x] = value;
        }
    }
    return true;
}

int FontRaster::TextWidth(const std::string& utf8) const {
    if (face_ == nullptr) {
        return 0;
    }
    int width = 0;
    for (size_t pos = 0; pos < utf8.size();) {
        const char32_t cp = NextUtf8(utf8, pos);
        if (IsControlCodePoint(cp)) {
            continue;
        }
        if (FT_Load_Char(face_, cp, FT_LOAD_DEFAULT) == 0) {
            width += static_cast<int>((face_->glyph->advance.x + 32) >> 6);
        }
    }
    return width;
}
