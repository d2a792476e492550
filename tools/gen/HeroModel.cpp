#include "tools/gen/HeroModel.h"

#include <cmath>

#include "tools/gen/HeroRig.h"

namespace hero {

namespace {

using rig::Bone;

constexpr int kFrames = 3;

// Two bones and the share of the second.
struct Skin {
    Bone a, b;
    double share;
};

Skin SkinOf(Part part, int side, double t) {
    const bool left = side == 0;
    switch (part) {
        case Part::Head:
        case Part::Pompom:
        case Part::Nose:
        case Part::Ear:
        case Part::Visor:
            return {rig::kHead, rig::kHead, 0};
        case Part::Torso:
            return {rig::kTorso, rig::kRoot, Smooth(0.75, 0.95, t)};
        case Part::Cape:
            return {rig::kTorso, rig::kTorso, 0};
        case Part::Arm:
            return {left ? rig::kUpperArmL : rig::kUpperArmR,
                    left ? rig::kForeArmL : rig::kForeArmR, Smooth(0.45, 0.58, t)};
        case Part::Hand:
            return {left ? rig::kForeArmL : rig::kForeArmR, rig::kRoot, 0};
        case Part::Leg:
            return {left ? rig::kThighL : rig::kThighR, left ? rig::kShinL : rig::kShinR,
                    Smooth(0.43, 0.57, t)};
        case Part::Boot:
            return {left ? rig::kFootL : rig::kFootR, rig::kRoot, 0};
        case Part::Count:
            break;
    }
    return {rig::kRoot, rig::kRoot, 0};
}

// The cape ripples a little differently in every pose.
V3 CapeFlutter(double s, double t, double phase) {
    const V3 normal = Normalize(V3{0.74, 0, -0.67});
    const double wave = std::sin(2 * kPi * (phase + 0.6 * s + 0.8 * t));
    const double sway = std::sin(2 * kPi * phase) * (2 * s - 1);
    return normal * (0.03 * std::pow(t, 1.4) * wave) + V3{0, 0, 0.012 * t * sway};
}

struct PartGrid {
    Part part;
    int cols, rows;
    GridEnd start, end;
    bool wrap;
    bool seamless = false;  // closed round without a seam: u runs there and back
};

void AddPart(GenMesh& mesh, const PartGrid& g, int side, const Xform bones[][rig::kBoneCount],
             const rig::Pose poses[]) {
    GridPlan plan;
    plan.cols = g.cols;
    plan.rows = g.rows;
    plan.wrap = g.wrap;
    plan.seamless = g.seamless;
    plan.start = g.start;
    plan.end = g.end;
    plan.position = [&, g, side](double s, double t, V3* out) {
        const V3 rest = RestPoint(g.part, side, s, t);
        const Skin skin = SkinOf(g.part, side, t);
        for (int f = 0; f < kFrames; ++f) {
            V3 p = rest;
            if (g.part == Part::Cape) {
                p = p + CapeFlutter(s, t, poses[f].capePhase);
            }
            out[f] = Lerp(bones[f][skin.a].Apply(p), bones[f][skin.b].Apply(p), skin.share);
        }
    };
    plan.texcoord = [g, side](double s, double t, double* u, double* v) {
        // Mirrored limbs run their texture the other way round, so both
        // show the same side of the picture to the front.
        double ms = side == 0 ? s : 1 - s;
        if (g.seamless) {
            ms = 1 - std::fabs(2 * s - 1);
        }
        Rect(g.part).ToUv(g.wrap ? ms : s, t, u, v);
    };
    AddGrid(mesh, plan);
}

}  // namespace

GenMesh Build() {
    rig::Pose poses[kFrames];
    Xform bones[kFrames][rig::kBoneCount];
    for (int f = 0; f < kFrames; ++f) {
        poses[f] = rig::FramePose(f);
        rig::BoneTransforms(poses[f], bones[f]);
    }
    const GridEnd pole = GridEnd::Pole, copies = GridEnd::PoleCopies, open = GridEnd::Open;
    const PartGrid single[] = {
        {Part::Head, 36, 28, copies, copies, true}, {Part::Torso, 32, 26, pole, pole, true},
        {Part::Cape, 14, 18, open, open, false},    {Part::Pompom, 10, 8, pole, pole, true},
        {Part::Nose, 8, 6, pole, pole, true, true}, {Part::Visor, 16, 8, pole, pole, true, true},
    };
    const PartGrid paired[] = {
        {Part::Arm, 14, 22, pole, pole, true}, {Part::Hand, 12, 10, pole, pole, true},
        {Part::Leg, 16, 20, pole, pole, true}, {Part::Boot, 18, 14, pole, pole, true},
        {Part::Ear, 8, 6, pole, pole, true},
    };
    GenMesh mesh(kFrames);
    for (const PartGrid& g : single) {
        AddPart(mesh, g, 0, bones, poses);
    }
    for (const PartGrid& g : paired) {
        for (int side = 0; side < 2; ++side) {
            AddPart(mesh, g, side, bones, poses);
        }
    }
    return mesh;
}

}  // namespace hero
