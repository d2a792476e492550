#include <gtest/gtest.h>

#include <cmath>

#include "world/Box.h"
#include "world/Matrix4.h"
#include "world/Random.h"
#include "world/Vec3.h"

TEST(Vec3Math, NormalizeLeavesTinyVectorsAlone) {
    Vec3 zero{0, 0, 0};
    Normalize(zero);
    EXPECT_EQ(zero.x, 0.0f);

    Vec3 tiny{5e-8f, 0, 0};
    Normalize(tiny);
    EXPECT_EQ(tiny.x, 5e-8f);

    Vec3 small{2e-7f, 0, 0};
    Normalize(small);
    EXPECT_FLOAT_EQ(small.x, 1.0f);

    Vec3 v{3, 4, 0};
    Normalize(v);
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.y, 0.8f);

    Vec3 nan{NAN, 0, 0};
    Normalize(nan);
    EXPECT_TRUE(std::isnan(nan.x));
    EXPECT_EQ(nan.y, 0.0f);
}

TEST(Vec3Math, CrossAndInPlaceOperations) {
    Vec3 out;
    Cross(out, Vec3{1, 0, 0}, Vec3{0, 1, 0});
    EXPECT_EQ(out.z, 1.0f);
    EXPECT_EQ(out.x, 0.0f);

    Vec3 a{1, 2, 3};
    Add(a, a, Vec3{1, 1, 1});
    Sub(a, a, Vec3{0, 0, 4});
    Scaled(a, a, 2.0);
    EXPECT_EQ(a.x, 4.0f);
    EXPECT_EQ(a.y, 6.0f);
    EXPECT_EQ(a.z, 0.0f);
    EXPECT_DOUBLE_EQ(Length(Vec3{3, 4, 12}), 13.0);
}

TEST(Matrix4Math, RotationAboutZ) {
    Matrix4 r;
    SetIdentity(r);
    SetRotation(r, 0, 0, M_PI / 4);
    EXPECT_NEAR(r[0], 0.70710678f, 1e-6);
    EXPECT_NEAR(r[1], 0.70710678f, 1e-6);
    EXPECT_EQ(r[2], 0.0f);
    EXPECT_EQ(r[10], 1.0f);

    // Eight 45-degree steps come back to +x.
    Matrix4 m, t;
    SetIdentity(m);
    for (int k = 0; k < 8; ++k) {
        Multiply(t, m, r);
        m = t;
    }
    EXPECT_NEAR(m[0], 1.0f, 1e-5);
    EXPECT_NEAR(m[1], 0.0f, 1e-5);
}

TEST(Matrix4Math, RotationScalesRowsByTheOldDiagonalAndKeepsTheRest) {
    Matrix4 m;
    SetIdentity(m);
    m[0] = 2;
    m[12] = 7;
    m[15] = 3;
    SetRotation(m, 0, 0, 0);
    EXPECT_EQ(m[0], 2.0f);
    EXPECT_EQ(m[5], 1.0f);
    EXPECT_EQ(m[10], 1.0f);
    for (int i : {1, 2, 4, 6, 8, 9}) {
        EXPECT_EQ(m[i], 0.0f) << i;
    }
    EXPECT_EQ(m[12], 7.0f);
    EXPECT_EQ(m[15], 3.0f);
}

TEST(Matrix4Math, MultiplyAppliesTheFirstOperandFirst) {
    Matrix4 id, rot, tr, out;
    SetIdentity(id);
    SetIdentity(rot);
    SetRotation(rot, 0, 0, M_PI / 2);
    Multiply(out, rot, id);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(out[i], rot[i]);
    }
    Multiply(out, id, rot);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(out[i], rot[i]);
    }
    // Translate by +x, then rotate a quarter turn: the origin ends on +y.
    SetIdentity(tr);
    tr[12] = 1;
    Multiply(out, tr, rot);
    EXPECT_NEAR(out[12], 0.0f, 1e-6);
    EXPECT_NEAR(out[13], 1.0f, 1e-6);
}

TEST(BoxMath, TouchingIsNotOverlapping) {
    const Box cell{0, 0, 0, 1, 1, 1};
    EXPECT_FALSE(BoxesOverlap(cell, Box{1, 0, 0, 2, 1, 1}));
    EXPECT_TRUE(BoxesOverlap(cell, Box{0.99f, 0, 0, 2, 1, 1}));
    EXPECT_TRUE(BoxesOverlap(cell, Box{0.25f, 0.25f, 0.25f, 0.75f, 0.75f, 0.75f}));
    // A point box inside overlaps; on the boundary it does not.
    EXPECT_TRUE(BoxesOverlap(cell, Box{0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}));
    EXPECT_FALSE(BoxesOverlap(cell, Box{1, 0.5f, 0.5f, 1, 0.5f, 0.5f}));
    // Separation on z alone is enough.
    EXPECT_FALSE(BoxesOverlap(cell, Box{0, 0, 1.25f, 1, 1, 1.75f}));
}

TEST(Random, ClassicSequenceFromTheDefaultSeed) {
    Random rng;
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (int e : expected) {
        EXPECT_EQ(rng.Next(), e);
    }
    for (int i = 0; i < 100000; ++i) {
        const int v = rng.Next();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 32767);
    }
    EXPECT_EQ(Random().Next(), 41) << "every generator starts the sequence afresh";
}
