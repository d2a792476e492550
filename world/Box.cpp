#include "world/Box.h"

#include <cmath>

namespace {

bool AxisOverlaps(float minP, float maxP, float minQ, float maxQ) {
    const float centreP = (minP + maxP) * 0.5f;
    const float halfP = (maxP - minP) * 0.5f;
    const float centreQ = (minQ + maxQ) * 0.5f;
    const float halfQ = (maxQ - minQ) * 0.5f;
    return halfP + halfQ > std::fabs(centreP - centreQ);
}

}  // namespace

bool BoxesOverlap(const Box& p, const Box& q) {
    return AxisOverlaps(p.minX, p.maxX, q.minX, q.maxX) &&
           AxisOverlaps(p.minY, p.maxY, q.minY, q.maxY) &&
           AxisOverlaps(p.minZ, p.maxZ, q.minZ, q.maxZ);
}
