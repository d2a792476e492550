// Writes the game's compiled-in models as C++ source.
//   modelgen OUTPUT.cpp [--report]
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/gen/BombModel.h"
#include "tools/gen/EnemyModel.h"
#include "tools/gen/HeroModel.h"
#include "tools/gen/LandscapeModel.h"

namespace {

struct Target {
    const char* name;
    int vertices;
    int triangles;
};

bool Prepare(GenMesh& mesh, const Target& target, bool report) {
    if (report) {
        std::printf("%s: base %d vertices, %d triangles, seam budget %d (wanted %d)\n", target.name,
                    mesh.VertexCount(), mesh.TriangleCount(),
                    2 * mesh.VertexCount() - mesh.TriangleCount(),
                    2 * target.vertices - target.triangles);
    }
    std::string why;
    if (!mesh.Fit(target.vertices, target.triangles, &why)) {
        std::fprintf(stderr, "modelgen: %s: %s\n", target.name, why.c_str());
        return false;
    }
    // Check the data as it will be compiled: six decimals.
    for (auto& frame : mesh.pos) {
        for (V3& p : frame) {
            p = {std::round(p.x * 1e6) / 1e6, std::round(p.y * 1e6) / 1e6,
                 std::round(p.z * 1e6) / 1e6};
        }
    }
    if (!mesh.Validate(&why)) {
        std::fprintf(stderr, "modelgen: %s: %s\n", target.name, why.c_str());
        return false;
    }
    mesh.SetWFromHeight();
    if (report) {
        for (int f = 0; f < mesh.Frames(); ++f) {
            V3 lo{1e9, 1e9, 1e9}, hi{-1e9, -1e9, -1e9};
            for (const V3& p : mesh.pos[f]) {
                lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
                hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
            }
            std::printf("  frame %d: x %.3f..%.3f y %.3f..%.3f z %.3f..%.3f\n", f, lo.x, hi.x, lo.y,
                        hi.y, lo.z, hi.z);
        }
        double moved = 0;
        for (int f = 1; f < mesh.Frames(); ++f) {
            for (int i = 0; i < mesh.VertexCount(); ++i) {
                moved = std::max(moved, Length(mesh.pos[f][i] - mesh.pos[0][i]));
            }
        }
        if (mesh.Frames() > 1) {
            std::printf("  largest move between frames: %.3f\n", moved);
        }
    }
    return true;
}

void WriteVertices(FILE* out, const char* qualifier, const char* name, const GenMesh& mesh,
                   int frame) {
    std::fprintf(out, "%sMeshVertex %s[%d] = {\n", qualifier, name, mesh.VertexCount());
    for (int i = 0; i < mesh.VertexCount(); ++i) {
        const V3 p = mesh.pos[frame][i];
        std::fprintf(out, "    {%.6ff, %.6ff, %.6ff, %.6ff, %.6ff, %.6ff},\n", p.x, p.y, p.z,
                     mesh.u[i], mesh.v[i], mesh.w[i]);
    }
    std::fprintf(out, "};\n\n");
}

void WriteIndices(FILE* out, const char* name, const std::vector<uint32_t>& list) {
    std::fprintf(out, "const uint32_t %s[%zu] = {\n", name, list.size());
    for (size_t k = 0; k < list.size(); k += 12) {
        std::fprintf(out, "   ");
        for (size_t j = k; j < std::min(list.size(), k + 12); ++j) {
            std::fprintf(out, " %u,", list[j]);
        }
        std::fprintf(out, "\n");
    }
    std::fprintf(out, "};\n\n");
}

void WriteMesh(FILE* out, const char* meshName, const char* vertexName, const char* indexName,
               const GenMesh& mesh, int frame) {
    std::fprintf(out, "const Mesh %s = {%s, %d, %s, %zu};\n\n", meshName, vertexName,
                 mesh.VertexCount(), indexName, mesh.tris[frame].size());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: modelgen OUTPUT.cpp [--report]\n");
        return 2;
    }
    const bool report = argc > 2 && std::string(argv[2]) == "--report";
    GenMesh bombMesh = bomb::Build();
    GenMesh enemyMesh = enemy::Build();
    GenMesh heroMesh = hero::Build();
    GenMesh landMesh = landscape::Build();
    if (!Prepare(bombMesh, {"bomb", 154, 248}, report) ||
        !Prepare(enemyMesh, {"enemy", 319, 626}, report) ||
        !Prepare(heroMesh, {"hero", 4562, 8469}, report) ||
        !Prepare(landMesh, {"landscape", 132, 220}, report)) {
        return 1;
    }
    const std::string path = argv[1];
    const std::string temp = path + ".tmp";
    FILE* out = std::fopen(temp.c_str(), "w");
    if (out == nullptr) {
        std::perror(temp.c_str());
        return 1;
    }
    std::fprintf(out, "// Written by tools/modelgen at build time; do not edit.\n");
    std::fprintf(out, "#include \"world/Models.h\"\n\nnamespace {\n\n");
    WriteVertices(out, "const ", "kBombVertices", bombMesh, 0);
    WriteIndices(out, "kBombIndices", bombMesh.tris[0]);
    WriteVertices(out, "const ", "kEnemyVertices", enemyMesh, 0);
    WriteIndices(out, "kEnemyIndices", enemyMesh.tris[0]);
    const char* frameVertices[] = {"kHeroAVertices", "kHeroBVertices", "kHeroCVertices"};
    const char* frameIndices[] = {"kHeroAIndices", "kHeroBIndices", "kHeroCIndices"};
    for (int f = 0; f < 3; ++f) {
        WriteVertices(out, "const ", frameVertices[f], heroMesh, f);
        WriteIndices(out, frameIndices[f], heroMesh.tris[f]);
    }
    WriteIndices(out, "kLandscapeIndices", landMesh.tris[0]);
    std::fprintf(out, "}  // namespace\n\n");
    WriteVertices(out, "", "landscapeVertices", landMesh, 0);
    WriteMesh(out, "bombMesh", "kBombVertices", "kBombIndices", bombMesh, 0);
    WriteMesh(out, "enemyMesh", "kEnemyVertices", "kEnemyIndices", enemyMesh, 0);
    const char* frameMeshes[] = {"heroFrameA", "heroFrameB", "heroFrameC"};
    for (int f = 0; f < 3; ++f) {
        WriteMesh(out, frameMeshes[f], frameVertices[f], frameIndices[f], heroMesh, f);
    }
    WriteMesh(out, "landscapeMesh", "landscapeVertices", "kLandscapeIndices", landMesh, 0);
    if (std::fclose(out) != 0 || std::rename(temp.c_str(), path.c_str()) != 0) {
        std::perror(path.c_str());
        return 1;
    }
    return 0;
}
