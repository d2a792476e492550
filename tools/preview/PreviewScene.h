#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "world/Mesh.h"

// Drawing for the artwork preview: the game's textures read by the game's
// own readers, and the models drawn the way the game draws them (decal
// texturing, no lighting), seen from chosen directions.
struct PreviewTextures {
    GLuint wood = 0, floor = 0, top = 0, landscape = 0, enemy = 0, bomb = 0, hero = 0, shadow = 0,
           title = 0;
};

// Loads every picture from the working directory; false names the first missing one.
bool LoadPreviewTextures(PreviewTextures& t, std::string* missing);

// A camera looking at target from the given azimuth (degrees from +x towards
// +y) and elevation, at a distance, with a vertical field of view.
struct View {
    double azimuth, elevation, distance;
    double targetX, targetY, targetZ;
    double fieldOfView = 30;
};

// Clears and sets up the projection and the camera.
void BeginView(const View& v, int width, int height);
// The floor around a model, a patch of board cells at height z.
void DrawFloorPatch(const PreviewTextures& t, double z, int cells);
// A model with its texture.
void DrawTexturedMesh(const Mesh& mesh, GLuint texture);
// Layout 0 of the board with its blocks, floor and the landscape.
void DrawBoardScene(const PreviewTextures& t);
// The hero's shadow at (x, y).
void DrawShadow(const PreviewTextures& t, double x, double y);
// The title picture over the whole view.
void DrawTitle(const PreviewTextures& t);
