#include "tools/contentgen/Title.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/contentgen/SoftRender.h"
#include "tools/contentgen/Textures.h"
#include "tools/contentgen/TitleText.h"
#include "tools/gen/BombModel.h"
#include "tools/gen/EnemyModel.h"
#include "tools/gen/HeroModel.h"
#include "tools/gen/LandscapeModel.h"
#include "tools/gen/Noise.h"
#include "world/Levels.h"

namespace {

// The night: moonlight from the upper left, and the glow of a bomb going off.
const V3 kBlast{-3.5, -1.5, 0.5};

Rgb Night(V3 world, Rgb texel, double moon, V3 eye) {
    const double d = Length(world - kBlast);
    const double glow = 2.4 / (1 + d * d * 0.5);
    // The moonlit board fades into the dark away from the blast.
    moon *= 0.55 + 0.45 / (1 + d * d * 0.02);
    Rgb c =
        texel * Rgb{0.36 * moon, 0.42 * moon, 0.62 * moon} + (texel * Rgb{1.0, 0.55, 0.2}) * glow;
    // Haze towards the distance.
    const double haze = Smooth(14, 60, Length(world - eye)) * 0.8;
    return MixRgb(c, Hex(0x0C1024), haze);
}

std::vector<SoftRender::Vertex> Placed(const GenMesh& m, int frame, V3 at, double facing) {
    std::vector<SoftRender::Vertex> out;
    const double c = std::cos(facing), s = std::sin(facing);
    for (int i = 0; i < m.VertexCount(); ++i) {
        const V3 p = m.pos[frame][i];
        out.push_back(
            {{at.x + c * p.x - s * p.y, at.y + s * p.x + c * p.y, at.z + p.z}, m.u[i], m.v[i]});
    }
    return out;
}

void Quad(std::vector<SoftRender::Vertex>& v, std::vector<uint32_t>& idx, V3 a, V3 b, V3 c, V3 d) {
    const uint32_t base = static_cast<uint32_t>(v.size());
    v.push_back({a, 0, 0});
    v.push_back({b, 1, 0});
    v.push_back({c, 1, 1});
    v.push_back({d, 0, 1});
    idx.insert(idx.end(), {base, base + 1, base + 2, base, base + 2, base + 3});
}

void Sky(Canvas& c) {
    const int w = c.Width(), h = c.Height();
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double fy = y / static_cast<double>(h);
            Rgb sky = MixRgb(Hex(0x03040B), Hex(0x1A1838), Smooth(0.0, 0.55, fy));
            // Sparse, faint stars: enough for a night, too dim to fight with text.
            const uint32_t cell = Hash(x / 3, y / 3, 500);
            if ((cell & 1023) < 3 && x % 3 == 1 && y % 3 == 1) {
                sky = sky + Rgb{0.25, 0.25, 0.3} * (0.4 + 0.6 * Hash01(cell));
            }
            c.At(x, y) = sky;
        }
    }
    // The moon, top left, away from the score list.
    const double mx = 0.11 * w, my = 0.13 * h, mr = 0.045 * h;
    for (int y = 0; y < h / 3; ++y) {
        for (int x = 0; x < w / 4; ++x) {
            const double d = std::hypot(x - mx, y - my) / mr;
            const double crater = Fractal(x / (mr * 0.5), y / (mr * 0.5), 64, 3, 510);
            const Rgb moon = Hex(0xE8E4CC) * (0.85 + 0.2 * crater);
            Rgb& p = c.At(x, y);
            p = p + Hex(0x40405A) * (0.5 * std::exp(-d * 1.1));
            p = MixRgb(p, moon, 1 - Smooth(0.97, 1.03, d));
        }
    }
}

// A glowing fragment of the blast.
void Spark(Canvas& c, double x, double y, double radius, Rgb colour) {
    const int r = static_cast<int>(radius * 4);
    for (int py = static_cast<int>(y) - r; py <= static_cast<int>(y) + r; ++py) {
        for (int px = static_cast<int>(x) - r; px <= static_cast<int>(x) + r; ++px) {
            if (px < 0 || py < 0 || px >= c.Width() || py >= c.Height()) {
                continue;
            }
            const double d = std::hypot(px + 0.5 - x, py + 0.5 - y) / radius;
            c.At(px, py) =
                c.At(px, py) + colour * (std::exp(-d * d * 1.5) * 1.2 + 0.25 / (1 + d * d));
        }
    }
}

}  // namespace

Canvas PaintTitle() {
    // Painted at twice the size, then halved to smooth the edges.
    Canvas big(kTitleWidth * 2, kTitleHeight * 2);
    Sky(big);
    const V3 eye{-11.5, -16.0, 8.0}, target{12.0, 3.0, -0.2};
    SoftRender r(big, eye, target, 50);

    const Canvas landTex = PaintLandscape(), wood = PaintWood(), floor = PaintFloor(),
                 top = PaintBlockTop(), heroTex = PaintHeroSkin(), enemyTex = PaintEnemySkin(),
                 bombTex = PaintBombSkin();
    auto night = [eye](double moon) {
        return [eye, moon](V3 w, Rgb t) { return Night(w, t, moon, eye); };
    };

    const GenMesh land = landscape::Build();
    std::vector<SoftRender::Vertex> lv = Placed(land, 0, {0, 0, 0}, 0);
    for (auto& v : lv) {
        v.u *= 20;
        v.v *= 20;
    }
    r.Triangles(lv, land.tris[0], landTex, [eye](V3 w, Rgb t) {
        return Night(w, t, 0.75 - 0.35 * Smooth(-5, -20, w.z), eye);
    });

    // Layout 0: floor, then the blocks with their sides and tops.
    std::vector<SoftRender::Vertex> fv, sv, tv;
    std::vector<uint32_t> fi, si, ti;
    for (int row = 0; row < 15; ++row) {
        for (int col = 0; col < 15; ++col) {
            const double x0 = row - 7, x1 = row - 6, y0 = col - 7, y1 = col - 6;
            if (kLevelLayouts[0][row * 15 + col] != '0') {
                Quad(fv, fi, {x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0});
                continue;
            }
            Quad(sv, si, {x0, y0, 1}, {x1, y0, 1}, {x1, y0, 0}, {x0, y0, 0});
            Quad(sv, si, {x1, y0, 1}, {x1, y1, 1}, {x1, y1, 0}, {x1, y0, 0});
            Quad(sv, si, {x0, y0, 1}, {x0, y1, 1}, {x0, y1, 0}, {x0, y0, 0});
            Quad(sv, si, {x1, y1, 1}, {x0, y1, 1}, {x0, y1, 0}, {x1, y1, 0});
            Quad(tv, ti, {x0, y0, 1}, {x1, y0, 1}, {x1, y1, 1}, {x0, y1, 1});
        }
    }
    r.Triangles(fv, fi, floor, night(1.0));
    r.Triangles(sv, si, wood, night(0.85));
    r.Triangles(tv, ti, top, night(1.25));

    const GenMesh heroMesh = hero::Build();
    r.Triangles(Placed(heroMesh, 2, {-4.5, -4.5, 1.5}, -1.6), heroMesh.tris[2], heroTex,
                night(1.8));
    const GenMesh enemyMesh = enemy::Build();
    const V3 enemies[] = {{-3.5, 0.5, 0}, {-0.5, -2.5, 0}, {0.5, 0.5, 0}};
    const double facing[] = {3.1, 3.9, 3.6};
    for (int k = 0; k < 3; ++k) {
        r.Triangles(Placed(enemyMesh, 0, enemies[k], facing[k]), enemyMesh.tris[0], enemyTex,
                    night(1.6));
    }
    const GenMesh bombMesh = bomb::Build();
    r.Triangles(Placed(bombMesh, 0, {-5.5, -1.5, 0.5}, 0), bombMesh.tris[0], bombTex, night(1.5));

    // The blast: eight fragments flying out, red turning green.
    for (int k = 0; k < 8; ++k) {
        const double a = kPi / 4 * (k + 1), s = 0.6;
        double x, y;
        if (r.Project(kBlast + V3{std::cos(a) * s, std::sin(a) * s, 0}, &x, &y)) {
            Spark(big, x, y, 9, MixRgb(Hex(0xFF3010), Hex(0x60FF40), s) * 0.9);
        }
    }
    double bx, by;
    if (r.Project(kBlast, &bx, &by)) {
        Spark(big, bx, by, 26, Hex(0xFFB040) * 0.7);
    }

    Canvas title = big.Downsampled();
    DrawTitleText(title);
    return title;
}
