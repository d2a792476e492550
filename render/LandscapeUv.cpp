#include "render/LandscapeUv.h"

#include "world/Models.h"

namespace {

bool landscapeScaled = false;

}  // namespace

void ScaleLandscapeOnce() {
    if (landscapeScaled) {
        return;
    }
    for (MeshVertex& v : landscapeVertices) {
        v.u *= 20.0f;
        v.v *= 20.0f;
    }
    landscapeScaled = true;
}
