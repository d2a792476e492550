#include "render/MeshDraw.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "render/SphereListCache.h"

void DrawMesh(const Mesh& mesh) {
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(MeshVertex), &mesh.vertices[0].x);
    glTexCoordPointer(2, GL_FLOAT, sizeof(MeshVertex), &mesh.vertices[0].u);
    glDrawElements(GL_TRIANGLES, mesh.indexCount, GL_UNSIGNED_INT, mesh.indices);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

namespace {

void DrawSphere(double radius) {
    GLUquadric* quadric = gluNewQuadric();
    if (quadric == nullptr) {
        return;
    }
    gluQuadricDrawStyle(quadric, GLU_FILL);
    gluQuadricNormals(quadric, GLU_SMOOTH);
    gluSphere(quadric, radius, 16, 16);
    gluDeleteQuadric(quadric);
}

}  // namespace

void SolidSphere(double radius) {
    SphereListCache& cache = SphereListCache::Instance();
    const GLuint known = cache.Find(radius);
    if (known != 0) {
        glCallList(known);
        return;
    }
    const GLuint list = glGenLists(1);
    if (list == 0) {
        // No list name to be had: draw this one directly and try again next time.
        DrawSphere(radius);
        return;
    }
    if (!cache.Add(list, radius)) {
        glDeleteLists(list, 1);
        return;
    }
    glNewList(list, GL_COMPILE_AND_EXECUTE);
    DrawSphere(radius);
    glEndList();
}
