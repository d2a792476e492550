// The portable parts of the OpenGL ES renderer: the mipmaps it uploads
// against those the desktop's GLU builds, the sphere, and the glyph bytes.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/virtual/VirtualSystem.h"
#include "render/GlyphAtlas.h"
#include "render/MipmapChain.h"
#include "render/SphereMesh.h"

namespace {

// Every level GLU makes of a picture must be the one MipmapChain makes,
// byte for byte: powers of two kept, rounded up and down, halved exactly,
// scaled, down to one-pixel sides.
TEST(MipmapChain, MatchesGluLevelForLevel) {
    VirtualSystem sys;
    SetSys(&sys);
    ASSERT_TRUE(sys.MakeStandaloneGlContext(16, 16));
    struct Case {
        int width, height, components;
    };
    for (const Case c : {Case{64, 64, 3}, Case{64, 16, 3}, Case{1, 8, 3}, Case{128, 96, 3},
                         Case{37, 23, 3}, Case{100, 60, 2}, Case{640, 480, 3}, Case{5, 3, 2}}) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        // A copy with a spare row, as CreateTexture hands GLU a scaled picture.
        std::vector<uint8_t> pixels(size_t(c.width) * (c.height + 1) * c.components, 0);
        uint32_t seed = 12345;
        for (size_t i = 0; i < size_t(c.width) * c.height * c.components; ++i) {
            seed = seed * 1103515245u + 12345u;
            pixels[i] = static_cast<uint8_t>(seed >> 16);
        }
        const GLenum format = c.components == 3 ? GL_RGB : GL_LUMINANCE_ALPHA;
        GLuint name = 0;
        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, name);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        ASSERT_EQ(gluBuild2DMipmaps(GL_TEXTURE_2D, c.components, c.width, c.height, format,
                                    GL_UNSIGNED_BYTE, pixels.data()),
                  0);
        const std::vector<MipLevel> levels =
            MipmapChain::Build(c.width, c.height, c.components, pixels.data());
        ASSERT_FALSE(levels.empty());
        for (size_t l = 0; l < levels.size(); ++l) {
            GLint w = 0, h = 0;
            glGetTexLevelParameteriv(GL_TEXTURE_2D, GLint(l), GL_TEXTURE_WIDTH, &w);
            glGetTexLevelParameteriv(GL_TEXTURE_2D, GLint(l), GL_TEXTURE_HEIGHT, &h);
            ASSERT_EQ(levels[l].width, w) << "level " << l;
            ASSERT_EQ(levels[l].height, h) << "level " << l;
            std::vector<uint8_t> gl(size_t(w) * h * c.components);
            glGetTexImage(GL_TEXTURE_2D, GLint(l), format, GL_UNSIGNED_BYTE, gl.data());
            int differing = 0;
            for (size_t i = 0; i < gl.size(); ++i) {
                differing += gl[i] != levels[l].pixels[i];
            }
            EXPECT_EQ(differing, 0) << "level " << l << " of " << gl.size() << " bytes";
        }
        GLint last = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, GLint(levels.size()), GL_TEXTURE_WIDTH, &last);
        EXPECT_EQ(last, 0) << "GLU made more levels";
        glDeleteTextures(1, &name);
    }
    SetSys(nullptr);
}

TEST(SphereMesh, ClosedSphereOfTheRadiusWithOutwardNormals) {
    const SphereMesh s = SphereMesh::Make(0.1f, 16, 16);
    // Two fans of 16 and 14 bands of 32 triangles.
    EXPECT_EQ(s.indices.size(), size_t(3 * (2 * 16 + 14 * 32)));
    for (const SphereMesh::Vertex& v : s.vertices) {
        EXPECT_NEAR(std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z), 0.1f, 1e-6);
        EXPECT_NEAR(v.x, 0.1f * v.nx, 1e-6);
        EXPECT_NEAR(v.z, 0.1f * v.nz, 1e-6);
    }
    for (uint16_t i : s.indices) {
        ASSERT_LT(i, s.vertices.size());
    }
    EXPECT_TRUE(SphereMesh::Make(0.1f, 1, 16).indices.empty());
}

std::vector<FontGlyph> TwoGlyphs() {
    return {FontGlyph{2, 2, 1, 2, 3, {0, 128, 127, 255}}, FontGlyph{0, 0, 0, 0, 5, {}}};
}

TEST(GlyphAtlas, BytesRoundTripIntoAnAtlasOfSetPixels) {
    const std::vector<uint8_t> bytes = SerializeFontGlyphs(TwoGlyphs());
    GlyphAtlas atlas;
    std::string error;
    ASSERT_TRUE(atlas.Load(bytes.data(), bytes.size(), error)) << error;
    const GlyphAtlas::Glyph& g = atlas.Of(0);
    EXPECT_EQ(g.width, 2);
    EXPECT_EQ(g.top, 2);
    EXPECT_EQ(g.advance, 3);
    EXPECT_EQ(atlas.Of(1).advance, 5);
    EXPECT_EQ(atlas.Of(200).advance, 0);  // past the count
    auto at = [&](int x, int y) {
        return atlas.Pixels()[size_t(g.atlasY + y) * atlas.Width() + g.atlasX + x];
    };
    EXPECT_EQ(at(0, 0), 0);
    EXPECT_EQ(at(1, 0), 255);  // coverage 128 sets a pixel, 127 does not
    EXPECT_EQ(at(0, 1), 0);
    EXPECT_EQ(at(1, 1), 255);
    EXPECT_EQ(atlas.Width() & (atlas.Width() - 1), 0);
    EXPECT_EQ(atlas.Height() & (atlas.Height() - 1), 0);
}

TEST(GlyphAtlas, RefusesDamagedBytes) {
    const std::vector<uint8_t> good = SerializeFontGlyphs(TwoGlyphs());
    std::vector<std::vector<uint8_t>> bad;
    bad.emplace_back(good.begin(), good.end() - 1);  // cut short
    bad.push_back(good);
    bad.back().push_back(0);  // trailing byte
    bad.push_back(good);
    bad.back()[4] = 2;  // version
    bad.push_back(good);
    bad.back()[5] = 0x01;  // count 257
    bad.back()[6] = 0x01;
    bad.push_back(good);
    bad.back()[8] = 0x10;  // first glyph 4098 rows
    bad.push_back({});
    for (size_t i = 0; i < bad.size(); ++i) {
        GlyphAtlas atlas;
        std::string error;
        EXPECT_FALSE(atlas.Load(bad[i].data(), bad[i].size(), error)) << "case " << i;
        EXPECT_FALSE(error.empty()) << "case " << i;
        EXPECT_EQ(atlas.Width(), 0) << "case " << i;
    }
}

}  // namespace
