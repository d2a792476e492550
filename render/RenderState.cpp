#include <GL/gl.h>

#include "game/Game.h"

void Game::SetViewSize(int width, int height) {
    viewWidth = width;
    viewHeight = height;
    // A zero height (minimised) divides as floating point; the next size change mends it.
    aspect = static_cast<float>(static_cast<double>(width) / static_cast<double>(height));
}

bool Game::SetupGlState() {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glShadeModel(GL_SMOOTH);
    glClearColor(0.1f, 0.1f, 0.5f, 0.0f);
    SetupCamera();
    // Given while the view is loaded, so the lights stay put relative to the camera.
    const GLfloat light0[] = {100.0f, 100.0f, 100.0f, 1.0f};
    const GLfloat light1[] = {0.0f, 0.0f, 1000.0f, 1.0f};
    const GLfloat ambient[] = {0.1f, 0.1f, 0.1f, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, light0);
    glLightfv(GL_LIGHT1, GL_POSITION, light1);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT1, GL_AMBIENT, ambient);
    glEnable(GL_LIGHTING);
    SetupCamera();
    return true;
}
