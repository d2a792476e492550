#include "tools/contentgen/TitleText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/gen/Vec.h"

#ifdef QUORVAX_HAVE_FONT_RASTER
#include "platform/linux/FontRaster.h"
#endif

#ifdef QUORVAX_HAVE_FONT_RASTER
namespace {

// Coverage (0..1) of a text laid out on a grid the size of the canvas.
struct Mask {
    int w, h;
    std::vector<double> a;
    double At(int x, int y) const {
        return x < 0 || y < 0 || x >= w || y >= h ? 0 : a[static_cast<size_t>(y) * w + x];
    }
};

// Lays the text out centred at baseline y; false when no font could be opened.
bool TextMask(Mask& m, const char* family, int cell, const std::string& text, int baseline,
              double letterSpacing) {
    FontRaster font;
    if (!font.Open(family, 700, cell)) {
        return false;
    }
    std::vector<FontRaster::Glyph> glyphs;
    int width = 0;
    for (char ch : text) {
        FontRaster::Glyph g;
        if (!font.Render(static_cast<unsigned char>(ch), g)) {
            return false;
        }
        width += g.advance + static_cast<int>(letterSpacing);
        glyphs.push_back(std::move(g));
    }
    int pen = (m.w - width) / 2;
    for (const FontRaster::Glyph& g : glyphs) {
        for (int y = 0; y < g.rows; ++y) {
            for (int x = 0; x < g.width; ++x) {
                const int px = pen + g.left + x, py = baseline - g.top + y;
                if (px >= 0 && py >= 0 && px < m.w && py < m.h) {
                    double& a = m.a[static_cast<size_t>(py) * m.w + px];
                    a = std::max(a, g.coverage[static_cast<size_t>(y) * g.width + x] / 255.0);
                }
            }
        }
        pen += g.advance + static_cast<int>(letterSpacing);
    }
    return true;
}

// Largest coverage within radius r: the text grown into an outline.
Mask Grow(const Mask& m, int r) {
    Mask out{m.w, m.h, std::vector<double>(m.a.size(), 0)};
    for (int y = 0; y < m.h; ++y) {
        for (int x = 0; x < m.w; ++x) {
            double best = 0;
            for (int dy = -r; dy <= r && best < 1; ++dy) {
                for (int dx = -r; dx <= r; ++dx) {
                    const double d = std::hypot(dx, dy);
                    if (d <= r + 0.5) {
                        best = std::max(best, m.At(x + dx, y + dy) * Clamp01(r + 0.5 - d + 0.5));
                    }
                }
            }
            out.a[static_cast<size_t>(y) * m.w + x] = best;
        }
    }
    return out;
}

}  // namespace
#endif

void DrawTitleText(Canvas& c) {
#ifdef QUORVAX_HAVE_FONT_RASTER
    const int w = c.Width(), h = c.Height();
    Mask text{w, h, std::vector<double>(static_cast<size_t>(w) * h, 0)};
    const int cell = h * 19 / 100, baseline = h * 95 / 100;
    if (!TextMask(text, "DejaVu Serif", cell, "QUORVAX", baseline, cell * 0.06)) {
        std::fprintf(stderr, "contentgen: no font for the title\n");
        return;
    }
    const Mask outline = Grow(text, std::max(2, h / 180));
    const Mask glow = Grow(text, h / 45);
    const double top = baseline - cell * 0.72;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const size_t i = static_cast<size_t>(y) * w + x;
            Rgb& p = c.At(x, y);
            p = MixRgb(p, p * 0.35, glow.a[i] * 0.8);
            p = MixRgb(p, Hex(0x1A0C04), outline.a[i]);
            // Gold, bright at the top of the letters and deeper below.
            const double f = Clamp01((y - top) / (baseline - top));
            Rgb gold = MixRgb(Hex(0xFFF2A8), Hex(0xD88A18), f);
            gold = MixRgb(gold, Hex(0xFFF8D0), 0.6 * (1 - Smooth(0.0, 0.08, std::fabs(f - 0.45))));
            p = MixRgb(p, gold, text.a[i]);
        }
    }
#else
    (void)c;
#endif
}
