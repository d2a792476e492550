#include <GL/gl.h>

#include <cstdlib>

#include "world/Hero.h"
#include "world/Mesh.h"
#include "world/Models.h"

namespace {

// Picked by HeroFrameFor: the bobbing also animates the figure.
const Mesh* const kHeroFrames[3] = {&heroFrameA, &heroFrameB, &heroFrameC};

}  // namespace

void Hero::Draw() {
    // Wall tops reach past the outermost open cells; keep the hero over the board.
    if (position.x <= -6.5f) {
        position.x = -6.5f;
    }
    if (position.x >= 7.5f) {
        position.x = 7.5f;
    }
    if (position.y <= -6.5f) {
        position.y = -6.5f;
    }
    if (position.y >= 7.5f) {
        position.y = 7.5f;
    }
    UpdateGroundHeight();

    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glPushMatrix();
    if (jumping == 1) {
        // The counter is looked at before it is lowered: six frames up, six down.
        position.z = static_cast<float>(position.z + jumpDirection * 0.2);
        if (jumpCounter < 0) {
            jumpDirection = -1;
        }
        if (jumpCounter < -5) {
            jumping = 0;
            position.z = groundHeight;
            jumpDirection = 1;
        }
        --jumpCounter;
        glTranslatef(position.x, position.y, position.z);
    } else {
        position.z = groundHeight;
        glTranslatef(position.x, position.y, static_cast<float>(groundHeight + bobOffset * 0.04));
        if (std::abs(bobOffset) > 5) {
            bobStep = -bobStep;
        }
        bobOffset += bobStep;
    }
    glBindTexture(GL_TEXTURE_2D, texture);
    glMultMatrixf(orientation.m);
    // Decal, unblended: the skin replaces the colour; texture 0 (no picture) leaves it untextured.
    DrawMesh(*kHeroFrames[HeroFrameFor(bobOffset)]);
    glPopMatrix();
    DrawShadow();
}

// A square of the shadow picture just above the floor, blended by its alpha;
// it does not turn with the hero and stays on the floor during a jump.
void Hero::DrawShadow() const {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glAlphaFunc(GL_GREATER, 0.0001f);
    glEnable(GL_ALPHA_TEST);
    glPushMatrix();
    glTranslatef(position.x, position.y, 0.0f);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, shadowTexture);
    glColor4f(0.1f, 0.1f, 0.1f, 0.99f);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(0.25f, 0.25f, 0.1f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(0.25f, -0.25f, 0.1f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(-0.25f, -0.25f, 0.1f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-0.25f, 0.25f, 0.1f);
    glEnd();
    glPopMatrix();
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    // Everything drawn after the hero relies on decal.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
}
