#include "render/SphereMesh.h"

#include <cmath>

SphereMesh SphereMesh::Make(float radius, int slices, int stacks) {
    SphereMesh mesh;
    if (slices < 2 || stacks < 2 || (slices + 1) * (stacks + 1) > 65535) {
        return mesh;
    }
    // The angles as GLU caches them: the last slice repeats the first exactly,
    // and the poles have no sideways extent at all.
    std::vector<float> sinA(slices + 1), cosA(slices + 1), sinB(stacks + 1), cosB(stacks + 1);
    for (int i = 0; i < slices; ++i) {
        const float angle =
            2.0f * static_cast<float>(M_PI) * static_cast<float>(i) / static_cast<float>(slices);
        sinA[i] = std::sin(angle);
        cosA[i] = std::cos(angle);
    }
    sinA[slices] = sinA[0];
    cosA[slices] = cosA[0];
    for (int j = 0; j <= stacks; ++j) {
        const float angle =
            static_cast<float>(M_PI) * static_cast<float>(j) / static_cast<float>(stacks);
        sinB[j] = std::sin(angle);
        cosB[j] = std::cos(angle);
    }
    sinB[0] = 0.0f;
    sinB[stacks] = 0.0f;

    // Ring j (0 = the +z pole) at slice i; a normal points straight out.
    auto add = [&](float nx, float ny, float nz) {
        mesh.vertices.push_back({radius * nx, radius * ny, radius * nz, nx, ny, nz});
        mesh.lastNormal[0] = nx;
        mesh.lastNormal[1] = ny;
        mesh.lastNormal[2] = nz;
        return static_cast<uint16_t>(mesh.vertices.size() - 1);
    };
    auto ringVertex = [&](int j, int i) {
        return add(sinA[i] * sinB[j], cosA[i] * sinB[j], cosB[j]);
    };

    // The +z cap: a fan from the pole over ring 1, slices in reverse.
    const uint16_t top = add(0.0f, 0.0f, 1.0f);
    std::vector<uint16_t> ring(slices + 1);
    for (int i = slices; i >= 0; --i) {
        ring[i] = ringVertex(1, i);
    }
    for (int i = slices; i > 0; --i) {
        mesh.indices.insert(mesh.indices.end(), {top, ring[i], ring[i - 1]});
    }
    // The -z cap: a fan from the pole over ring stacks - 1.
    const uint16_t bottom = add(0.0f, 0.0f, -1.0f);
    for (int i = 0; i <= slices; ++i) {
        ring[i] = ringVertex(stacks - 1, i);
    }
    for (int i = 0; i < slices; ++i) {
        mesh.indices.insert(mesh.indices.end(), {bottom, ring[i], ring[i + 1]});
    }
    // The bands between, each a strip of (upper, lower) pairs.
    std::vector<uint16_t> upper(slices + 1), lower(slices + 1);
    for (int j = 1; j < stacks - 1; ++j) {
        for (int i = 0; i <= slices; ++i) {
            upper[i] = ringVertex(j + 1, i);
            lower[i] = ringVertex(j, i);
        }
        for (int i = 0; i < slices; ++i) {
            mesh.indices.insert(mesh.indices.end(), {upper[i], lower[i], upper[i + 1]});
            mesh.indices.insert(mesh.indices.end(), {upper[i + 1], lower[i], lower[i + 1]});
        }
    }
    return mesh;
}
