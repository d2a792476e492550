#include "tools/gen/GenMesh.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <utility>

GenMesh::GenMesh(int frameCount) : pos(frameCount), tris(frameCount) {}

uint32_t GenMesh::AddVertex(const V3* framePositions, double tu, double tv) {
    for (int f = 0; f < Frames(); ++f) {
        pos[f].push_back(framePositions[f]);
    }
    u.push_back(tu);
    v.push_back(tv);
    w.push_back(0);
    return static_cast<uint32_t>(u.size() - 1);
}

uint32_t GenMesh::AddVertex(V3 p, double tu, double tv) {
    std::vector<V3> all(Frames(), p);
    return AddVertex(all.data(), tu, tv);
}

void GenMesh::AddTriangle(uint32_t a, uint32_t b, uint32_t c, bool isFrozen) {
    for (auto& list : tris) {
        list.insert(list.end(), {a, b, c});
    }
    frozen.push_back(isFrozen ? 1 : 0);
}

uint32_t AddGrid(GenMesh& mesh, const GridPlan& g) {
    const int frames = mesh.Frames();
    const bool shareSeam = g.wrap && g.seamless;
    const int perRow = shareSeam ? g.cols : g.cols + 1;
    std::vector<V3> p(frames);
    const uint32_t first = static_cast<uint32_t>(mesh.VertexCount());
    // rowIndex[j][i]: vertex of column i (0..cols) in row j.
    std::vector<std::vector<uint32_t>> rowIndex(g.rows + 1, std::vector<uint32_t>(g.cols + 1));
    auto isPole = [&](int j) {
        return (j == 0 && g.start != GridEnd::Open) || (j == g.rows && g.end != GridEnd::Open);
    };
    for (int j = 0; j <= g.rows; ++j) {
        const double t = static_cast<double>(j) / g.rows;
        const GridEnd kind = j == 0 ? g.start : (j == g.rows ? g.end : GridEnd::Open);
        if (kind == GridEnd::Pole) {
            double tu, tv;
            g.position(0.5, t, p.data());
            g.texcoord(0.5, t, &tu, &tv);
            const uint32_t pole = mesh.AddVertex(p.data(), tu, tv);
            std::fill(rowIndex[j].begin(), rowIndex[j].end(), pole);
            continue;
        }
        // A pole's copies sit one under each triangle of the fan.
        const int count = kind == GridEnd::PoleCopies ? g.cols : perRow;
        for (int i = 0; i < count; ++i) {
            double s = static_cast<double>(i) / g.cols;
            double ts = s;
            if (kind == GridEnd::PoleCopies) {
                ts = (i + 0.5) / g.cols;  // the copy sits under the middle of its triangle
            }
            double tu, tv;
            g.position(s, t, p.data());
            g.texcoord(ts, t, &tu, &tv);
            rowIndex[j][i] = mesh.AddVertex(p.data(), tu, tv);
        }
        if (shareSeam || kind == GridEnd::PoleCopies) {
            rowIndex[j][g.cols] = rowIndex[j][0];
        }
    }
    for (int j = 0; j < g.rows; ++j) {
        for (int i = 0; i < g.cols; ++i) {
            const uint32_t a = rowIndex[j][i], b = rowIndex[j][i + 1];
            const uint32_t c = rowIndex[j + 1][i + 1], d = rowIndex[j + 1][i];
            if (isPole(j)) {
                mesh.AddTriangle(a, c, d, g.frozen);
            } else if (isPole(j + 1)) {
                mesh.AddTriangle(a, b, d, g.frozen);
            } else {
                mesh.AddTriangle(a, b, c, g.frozen);
                mesh.AddTriangle(a, c, d, g.frozen);
            }
        }
    }
    return first;
}

namespace {

using Edge = std::pair<uint32_t, uint32_t>;

Edge MakeEdge(uint32_t a, uint32_t b) {
    return a < b ? Edge{a, b} : Edge{b, a};
}

// Edges of the (shared) triangle list with the triangles that use them.
std::map<Edge, std::vector<int>> EdgeMap(const GenMesh& m) {
    std::map<Edge, std::vector<int>> edges;
    const auto& t = m.tris[0];
    for (int k = 0; k < m.TriangleCount(); ++k) {
        for (int e = 0; e < 3; ++e) {
            edges[MakeEdge(t[3 * k + e], t[3 * k + (e + 1) % 3])].push_back(k);
        }
    }
    return edges;
}

double EdgeLength(const GenMesh& m, Edge e) {
    double longest = 0;
    for (int f = 0; f < m.Frames(); ++f) {
        longest = std::max(longest, Length(m.pos[f][e.first] - m.pos[f][e.second]));
    }
    return longest;
}

// Longest edge with the wanted number of adjacent triangles, none frozen.
bool LongestEdge(const GenMesh& m, size_t adjacent, Edge* out) {
    bool found = false;
    double best = -1;
    for (const auto& [edge, list] : EdgeMap(m)) {
        if (list.size() != adjacent) {
            continue;
        }
        bool blocked = false;
        for (int k : list) {
            blocked = blocked || m.frozen[k] != 0;
        }
        const double len = EdgeLength(m, edge);
        if (!blocked && len > best) {
            best = len;
            *out = edge;
            found = true;
        }
    }
    return found;
}

uint32_t MidpointVertex(GenMesh& m, Edge e) {
    std::vector<V3> p(m.Frames());
    for (int f = 0; f < m.Frames(); ++f) {
        p[f] = Lerp(m.pos[f][e.first], m.pos[f][e.second], 0.5);
    }
    return m.AddVertex(p.data(), (m.u[e.first] + m.u[e.second]) / 2,
                       (m.v[e.first] + m.v[e.second]) / 2);
}

void SplitEdge(GenMesh& m, Edge e) {
    std::vector<int> adjacent = EdgeMap(m)[e];
    const uint32_t mid = MidpointVertex(m, e);
    for (int k : adjacent) {
        const bool isFrozen = m.frozen[k] != 0;
        for (auto& t : m.tris) {
            // Rotate so that the split edge is (p, q) in winding order.
            uint32_t tri[3] = {t[3 * k], t[3 * k + 1], t[3 * k + 2]};
            int r = 0;
            while (MakeEdge(tri[r], tri[(r + 1) % 3]) != e) {
                ++r;
            }
            const uint32_t p = tri[r], q = tri[(r + 1) % 3], o = tri[(r + 2) % 3];
            t[3 * k] = p;
            t[3 * k + 1] = mid;
            t[3 * k + 2] = o;
            t.insert(t.end(), {mid, q, o});
        }
        m.frozen.push_back(isFrozen ? 1 : 0);
    }
}

// Gives one triangle of the busiest vertex a copy of that vertex of its own.
void DuplicateVertex(GenMesh& m) {
    std::vector<int> uses(m.VertexCount(), 0);
    for (uint32_t i : m.tris[0]) {
        ++uses[i];
    }
    const uint32_t busiest =
        static_cast<uint32_t>(std::max_element(uses.begin(), uses.end()) - uses.begin());
    std::vector<V3> p(m.Frames());
    for (int f = 0; f < m.Frames(); ++f) {
        p[f] = m.pos[f][busiest];
    }
    const uint32_t copy = m.AddVertex(p.data(), m.u[busiest], m.v[busiest]);
    for (auto& t : m.tris) {
        *std::find(t.begin(), t.end(), busiest) = copy;
    }
}

}  // namespace

bool GenMesh::Fit(int vertexCount, int triangleCount, std::string* why) {
    const int dV = vertexCount - VertexCount();
    const int dT = triangleCount - TriangleCount();
    const int dB = dV * 2 - dT;  // the seam budget 2V - T only grows
    char text[160];
    if (dV < 0 || dT < 0 || dB < 0) {
        std::snprintf(text, sizeof text, "base %d/%d cannot grow to %d/%d", VertexCount(),
                      TriangleCount(), vertexCount, triangleCount);
        *why = text;
        return false;
    }
    // Interior splits (+1, +2), boundary splits (+1, +1), vertex copies (+1, 0).
    int boundary, copies;
    if (dT >= dV) {
        boundary = dB;
        copies = 0;
    } else {
        boundary = dT;
        copies = dV - dT;
    }
    const int interior = dV - boundary - copies;
    Edge e;
    for (int k = 0; k < boundary; ++k) {
        if (!LongestEdge(*this, 1, &e)) {
            *why = "no boundary edge left to split";
            return false;
        }
        SplitEdge(*this, e);
    }
    for (int k = 0; k < interior; ++k) {
        if (!LongestEdge(*this, 2, &e)) {
            *why = "no interior edge left to split";
            return false;
        }
        SplitEdge(*this, e);
    }
    for (int k = 0; k < copies; ++k) {
        DuplicateVertex(*this);
    }
    if (VertexCount() != vertexCount || TriangleCount() != triangleCount) {
        *why = "fit missed the counts";
        return false;
    }
    return true;
}

void GenMesh::SetWFromHeight() {
    double lo = 1e9, hi = -1e9;
    for (const V3& p : pos[0]) {
        lo = std::min(lo, p.z);
        hi = std::max(hi, p.z);
    }
    for (int i = 0; i < VertexCount(); ++i) {
        w[i] = hi > lo ? (pos[0][i].z - lo) / (hi - lo) : 0;
    }
}

bool GenMesh::Validate(std::string* why) const {
    char text[200];
    std::vector<uint8_t> used(VertexCount(), 0);
    for (int f = 0; f < Frames(); ++f) {
        const auto& t = tris[f];
        if (t.size() % 3 != 0 || t.size() != tris[0].size()) {
            *why = "index list length";
            return false;
        }
        for (size_t k = 0; k < t.size(); k += 3) {
            V3 c[3];
            for (int e = 0; e < 3; ++e) {
                if (t[k + e] >= static_cast<uint32_t>(VertexCount())) {
                    *why = "index out of range";
                    return false;
                }
                used[t[k + e]] = 1;
                const V3 p = pos[f][t[k + e]];
                c[e] = {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)};
            }
            const double area = Length(Cross(c[1] - c[0], c[2] - c[0])) / 2;
            if (!(area > 1e-9)) {
                std::snprintf(text, sizeof text, "triangle %zu of frame %d has area %g", k / 3, f,
                              area);
                *why = text;
                return false;
            }
        }
    }
    for (int i = 0; i < VertexCount(); ++i) {
        if (!used[i]) {
            std::snprintf(text, sizeof text, "vertex %d unused", i);
            *why = text;
            return false;
        }
    }
    return true;
}
