#include "tools/gen/HeroRig.h"

namespace hero::rig {

namespace {

constexpr double kDeg = kPi / 180;

V3 Side(V3 p, int side) {
    return side == 0 ? p : V3{p.x, -p.y, p.z};
}

}  // namespace

Pose FramePose(int frame) {
    Pose p;
    if (frame == 1) {
        // Passing: the left leg bears the weight with a bent knee, the right
        // foot swings through behind it; the arms hang almost still.
        p.rootDrop = 0.035;
        p.headNod = 7 * kDeg;
        p.hip[0] = 30 * kDeg;
        p.knee[0] = 60 * kDeg;
        p.hip[1] = 22 * kDeg;
        p.knee[1] = 66 * kDeg;
        p.ankle[0] = -30 * kDeg;
        p.ankle[1] = -22 * kDeg;
        p.shoulder[0] = 4 * kDeg;
        p.shoulder[1] = -4 * kDeg;
        p.elbow[0] = 18 * kDeg;
        p.elbow[1] = 18 * kDeg;
        p.capePhase = 1.0 / 3;
        return p;
    }
    // The strides: frame 0 with the left foot forward, frame 2 mirrored.
    const int front = frame == 0 ? 0 : 1, back = 1 - front;
    p.rootDrop = frame == 0 ? 0.0 : -0.01;
    p.torsoTwist = (frame == 0 ? -5 : 5) * kDeg;
    p.hip[front] = 24 * kDeg;
    p.knee[front] = 8 * kDeg;
    p.hip[back] = -20 * kDeg;
    p.knee[back] = 26 * kDeg;
    p.ankle[front] = 10 * kDeg;
    p.ankle[back] = -22 * kDeg;
    p.shoulder[back] = 30 * kDeg;
    p.elbow[back] = 30 * kDeg;
    p.shoulder[front] = -26 * kDeg;
    p.elbow[front] = 12 * kDeg;
    p.capePhase = frame == 0 ? 0.0 : 2.0 / 3;
    return p;
}

void BoneTransforms(const Pose& pose, Xform out[kBoneCount]) {
    const V3 yAxis{0, 1, 0}, zAxis{0, 0, 1};
    out[kRoot] = Translation({0, 0, -pose.rootDrop});
    out[kTorso] = Compose(out[kRoot], RotationAbout(kWaist, zAxis, pose.torsoTwist));
    out[kHead] = Compose(out[kTorso], Compose(RotationAbout(kNeck, zAxis, -pose.torsoTwist * 0.8),
                                              RotationAbout(kNeck, yAxis, pose.headNod)));
    for (int side = 0; side < 2; ++side) {
        // A rotation about +y by a negative angle swings a hanging limb towards +x.
        const Bone upper = side == 0 ? kUpperArmL : kUpperArmR;
        const Bone fore = side == 0 ? kForeArmL : kForeArmR;
        out[upper] =
            Compose(out[kTorso], RotationAbout(Side(kShoulder, side), yAxis, -pose.shoulder[side]));
        out[fore] =
            Compose(out[upper], RotationAbout(Side(kElbow, side), yAxis, -pose.elbow[side]));
        const Bone thigh = side == 0 ? kThighL : kThighR;
        const Bone shin = side == 0 ? kShinL : kShinR;
        out[thigh] = Compose(out[kRoot], RotationAbout(Side(kHip, side), yAxis, -pose.hip[side]));
        out[shin] = Compose(out[thigh], RotationAbout(Side(kKnee, side), yAxis, pose.knee[side]));
        const Bone foot = side == 0 ? kFootL : kFootR;
        out[foot] = Compose(out[shin], RotationAbout(Side(kAnkle, side), yAxis, pose.ankle[side]));
    }
}

}  // namespace hero::rig
