#pragma once

#include "tools/gen/Vec.h"

// The hero's skeleton: rest-pose joints (left side, +y; the right side
// mirrors y) and the three key poses of the walk.
namespace hero::rig {

inline constexpr double kArmOutSin = 0.4695;  // arms hang 28 degrees out
inline constexpr double kArmOutCos = 0.8829;
inline constexpr V3 kShoulder{0.0, 0.155, 0.205};
inline constexpr V3 kElbow{0.0, 0.155 + 0.14 * kArmOutSin, 0.205 - 0.14 * kArmOutCos};
inline constexpr V3 kWrist{0.0, 0.155 + 0.27 * kArmOutSin, 0.205 - 0.27 * kArmOutCos};
inline constexpr V3 kHandCentre{0.004, 0.155 + 0.318 * kArmOutSin, 0.205 - 0.318 * kArmOutCos};
inline constexpr V3 kHip{0.0, 0.068, -0.062};
inline constexpr V3 kKnee{0.0, 0.07, -0.19};
inline constexpr V3 kAnkle{0.0, 0.072, -0.318};
inline constexpr V3 kBootCentre{0.03, 0.074, -0.334};
inline constexpr V3 kNeck{0.0, 0.0, 0.27};
inline constexpr V3 kWaist{0.0, 0.0, -0.03};
inline constexpr V3 kHeadCentre{0.012, 0.0, 0.425};
inline constexpr V3 kVisorCentre{0.158, 0.0, 0.497};
inline constexpr V3 kPompomCentre{-0.004, 0.0, 0.598};
inline constexpr V3 kNoseCentre{0.142, 0.0, 0.405};
inline constexpr V3 kEarCentre{0.0, 0.128, 0.41};

enum Bone {
    kRoot,
    kTorso,
    kHead,
    kUpperArmL,
    kForeArmL,
    kUpperArmR,
    kForeArmR,
    kThighL,
    kShinL,
    kThighR,
    kShinR,
    kFootL,
    kFootR,
    kBoneCount
};

// Joint angles in radians: positive swings a limb forward (+x); elbows and
// knees bend by their angle.
struct Pose {
    double rootDrop = 0;  // downward shift of everything above the feet
    double torsoTwist = 0;
    double headNod = 0;
    double shoulder[2] = {0, 0};
    double elbow[2] = {0, 0};
    double hip[2] = {0, 0};
    double knee[2] = {0, 0};
    double ankle[2] = {0, 0};  // positive lifts the toe
    double capePhase = 0;
};

Pose FramePose(int frame);

// World transforms of every bone for the pose.
void BoneTransforms(const Pose& pose, Xform out[kBoneCount]);

}  // namespace hero::rig
