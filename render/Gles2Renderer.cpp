#include "render/Gles2Renderer.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "render/SphereMesh.h"
#include "world/Models.h"

namespace {

// Column-major 4x4 matrices, as OpenGL keeps them.
struct Mat {
    float m[16];
};

Mat Identity() {
    Mat r{};
    r.m[0] = r.m[5] = r.m[10] = r.m[15] = 1.0f;
    return r;
}

// a * b: b applied first, as glMultMatrix does.
Mat Mul(const Mat& a, const Mat& b) {
    Mat r{};
    for (int c = 0; c < 4; ++c) {
        for (int row = 0; row < 4; ++row) {
            float s = 0.0f;
            for (int k = 0; k < 4; ++k) {
                s += a.m[4 * k + row] * b.m[4 * c + k];
            }
            r.m[4 * c + row] = s;
        }
    }
    return r;
}

Mat Translate(const Mat& a, float x, float y, float z) {
    Mat t = Identity();
    t.m[12] = x;
    t.m[13] = y;
    t.m[14] = z;
    return Mul(a, t);
}

void Transform(const float* m, const float in[4], float out[4]) {
    for (int row = 0; row < 4; ++row) {
        out[row] = m[row] * in[0] + m[4 + row] * in[1] + m[8 + row] * in[2] + m[12 + row] * in[3];
    }
}

// gluPerspective's matrix, worked out in double as GLU does.
Mat Perspective(double fovy, double aspect, double zNear, double zFar) {
    const double radians = fovy / 2.0 * M_PI / 180.0;
    const double deltaZ = zFar - zNear;
    const double sine = std::sin(radians);
    Mat r{};
    if (deltaZ == 0.0 || sine == 0.0 || aspect == 0.0) {
        return Identity();
    }
    const double cotangent = std::cos(radians) / sine;
    r.m[0] = static_cast<float>(cotangent / aspect);
    r.m[5] = static_cast<float>(cotangent);
    r.m[10] = static_cast<float>(-(zFar + zNear) / deltaZ);
    r.m[11] = -1.0f;
    r.m[14] = static_cast<float>(-2.0 * zNear * zFar / deltaZ);
    return r;
}

void Normalize3(float v[3]) {
    const float r = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (r != 0.0f) {
        v[0] /= r;
        v[1] /= r;
        v[2] /= r;
    }
}

void Cross3(const float a[3], const float b[3], float out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

// gluLookAt's matrix: the rotation worked out in float, then the eye moved to the origin.
Mat LookAt(const Vec3& eye, const Vec3& center, const float upIn[3]) {
    float forward[3] = {center.x - eye.x, center.y - eye.y, center.z - eye.z};
    float up[3] = {upIn[0], upIn[1], upIn[2]};
    Normalize3(forward);
    float side[3];
    Cross3(forward, up, side);
    Normalize3(side);
    Cross3(side, forward, up);
    Mat r = Identity();
    for (int i = 0; i < 3; ++i) {
        r.m[4 * i + 0] = side[i];
        r.m[4 * i + 1] = up[i];
        r.m[4 * i + 2] = -forward[i];
    }
    return Translate(r, -eye.x, -eye.y, -eye.z);
}

}  // namespace

Gles2Renderer::Gles2Renderer() = default;

Gles2Renderer::~Gles2Renderer() {
    // A game without pictures made nothing and may have no OpenGL at all (node).
    bool made = stream_ != 0 || partIndices_ != 0 || sphere_.vertices != 0 || !meshes_.empty();
    Texture* const textures[] = {&floorTexture,  &wallTexture, &topTexture,   &landscapeTexture,
                                 &shadowTexture, &heroTexture, &enemyTexture, &bombTexture,
                                 &splashTexture, &fontTexture};
    for (const Texture* t : textures) {
        made = made || t->name != 0;
    }
    // Names of a context that is gone already need no deleting.
    if (!made || glGetString(GL_VERSION) == nullptr) {
        return;
    }
    for (auto& [mesh, buffers] : meshes_) {
        glDeleteBuffers(1, &buffers.vertices);
        glDeleteBuffers(1, &buffers.indices);
    }
    glDeleteBuffers(1, &sphere_.vertices);
    glDeleteBuffers(1, &sphere_.indices);
    glDeleteBuffers(1, &stream_);
    glDeleteBuffers(1, &partIndices_);
    for (Texture* t : textures) {
        glDeleteTextures(1, &t->name);
    }
}

bool Gles2Renderer::EnsureStream() {
    if (stream_ == 0) {
        glGenBuffers(1, &stream_);
    }
    return stream_ != 0;
}

const Gles2Program* Gles2Renderer::Program(int mode, bool borderClamp, bool alphaTest) {
    Gles2Program& p = programs_[mode][borderClamp ? 1 : 0][alphaTest ? 1 : 0];
    if (p.Built()) {
        return &p;
    }
    if (programFailed_) {
        return nullptr;
    }
    std::string error;
    if (!p.Build(static_cast<Gles2Program::TexMode>(mode), borderClamp, alphaTest, error)) {
        // Said once; nothing is drawn without the shaders.
        std::fprintf(stderr, "quorvax: the OpenGL ES shaders do not build: %s\n", error.c_str());
        programFailed_ = true;
        return nullptr;
    }
    return &p;
}

void Gles2Renderer::SetupState(const Vec3& eye, const Vec3& center, const ViewSize& view) {
    texturing_ = true;
    decal_ = true;
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glClearColor(0.1f, 0.1f, 0.5f, 0.0f);
    LoadCamera(eye, center, view);
    // Placed under the view loaded now, so the light stays put relative to the camera.
    const float light0[4] = {100.0f, 100.0f, 100.0f, 1.0f};
    Transform(view_, light0, lightEye_);
    lighting_ = true;
}

void Gles2Renderer::SetViewport(int width, int height) {
    glViewport(0, 0, width, height);
}

void Gles2Renderer::Flush() {
    glFlush();
}

void Gles2Renderer::LoadCamera(const Vec3& eye, const Vec3& center, const ViewSize& view) {
    const Mat p = Perspective(45.0, view.aspect, 0.1, 100.0);
    const float up[3] = {0.0f, 0.0f, 1.0f};
    const Mat v = LookAt(eye, center, up);
    std::memcpy(projection_, p.m, sizeof projection_);
    std::memcpy(view_, v.m, sizeof view_);
}

void Gles2Renderer::SetColor(float r, float g, float b, float a) {
    color_[0] = r;
    color_[1] = g;
    color_[2] = b;
    color_[3] = a;
}

bool Gles2Renderer::Apply(const float* model, const Texture* texture) {
    // An unbound or empty texture leaves the fixed function untextured.
    int mode = Gles2Program::kNoTexture;
    if (texturing_ && texture != nullptr && texture->hasImage) {
        mode = texture == &fontTexture ? Gles2Program::kGlyph
               : decal_                ? Gles2Program::kDecal
                                       : Gles2Program::kModulate;
    }
    const bool clamp = mode != Gles2Program::kNoTexture && texture->borderClamp;
    const Gles2Program* program = Program(mode, clamp, alphaTest_);
    if (program == nullptr) {
        return false;
    }
    program->Use();
    glUniformMatrix4fv(program->modelView, 1, GL_FALSE, model);
    glUniformMatrix4fv(program->projection, 1, GL_FALSE, projection_);
    glUniform1i(program->lighting, lighting_ ? 1 : 0);
    glUniform4fv(program->color, 1, color_);
    glUniform4fv(program->lightPosition, 1, lightEye_);
    if (alphaTest_) {
        glUniform1f(program->alphaRef, 0.0001f);
    }
    glVertexAttrib3fv(Gles2Program::kNormal, normal_);
    if (mode != Gles2Program::kNoTexture) {
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, texture->name);
        glUniform2f(program->clampSize, float(texture->width), float(texture->height));
        glUniform1f(program->maxLevel, float(texture->levels - 1));
    }
    return true;
}

const Gles2Renderer::Buffers& Gles2Renderer::MeshBuffers(const Mesh& mesh) {
    for (const auto& [m, buffers] : meshes_) {
        if (m == &mesh) {
            return buffers;
        }
    }
    // Once per model: its vertices as they are, its triangles in 16-bit indices.
    std::vector<uint16_t> indices(static_cast<size_t>(mesh.indexCount));
    for (int i = 0; i < mesh.indexCount; ++i) {
        const uint32_t k = mesh.indices[i];
        indices[static_cast<size_t>(i)] =
            static_cast<uint16_t>(k < static_cast<uint32_t>(mesh.vertexCount) ? k : 0);
    }
    Buffers b;
    glGenBuffers(1, &b.vertices);
    glBindBuffer(GL_ARRAY_BUFFER, b.vertices);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(sizeof(MeshVertex) * mesh.vertexCount),
                 mesh.vertices, GL_STATIC_DRAW);
    glGenBuffers(1, &b.indices);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b.indices);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * 2),
                 indices.data(), GL_STATIC_DRAW);
    b.count = static_cast<GLsizei>(indices.size());
    meshes_.emplace_back(&mesh, b);
    return meshes_.back().second;
}

void Gles2Renderer::DrawMesh(const Mesh& mesh, const float* model, const Mesh* part) {
    const Buffers& b = MeshBuffers(mesh);
    if (!Apply(model, bound_)) {
        return;
    }
    glBindBuffer(GL_ARRAY_BUFFER, b.vertices);
    GLsizei count = b.count;
    if (part != nullptr && part->indexCount != mesh.indexCount) {
        std::vector<uint16_t> indices(static_cast<size_t>(part->indexCount));
        for (int i = 0; i < part->indexCount; ++i) {
            const uint32_t k = part->indices[i];
            indices[static_cast<size_t>(i)] =
                static_cast<uint16_t>(k < static_cast<uint32_t>(mesh.vertexCount) ? k : 0);
        }
        if (partIndices_ == 0) {
            glGenBuffers(1, &partIndices_);
        }
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, partIndices_);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * 2),
                     indices.data(), GL_STREAM_DRAW);
        count = static_cast<GLsizei>(indices.size());
    } else {
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b.indices);
    }
    glEnableVertexAttribArray(Gles2Program::kPosition);
    glEnableVertexAttribArray(Gles2Program::kTexCoord);
    glVertexAttribPointer(Gles2Program::kPosition, 3, GL_FLOAT, GL_FALSE, sizeof(MeshVertex),
                          reinterpret_cast<const void*>(offsetof(MeshVertex, x)));
    glVertexAttribPointer(Gles2Program::kTexCoord, 2, GL_FLOAT, GL_FALSE, sizeof(MeshVertex),
                          reinterpret_cast<const void*>(offsetof(MeshVertex, u)));
    glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_SHORT, nullptr);
    glDisableVertexAttribArray(Gles2Program::kTexCoord);
}

void Gles2Renderer::DrawSphere(const float* model) {
    if (sphere_.count == 0) {
        const SphereMesh sphere = SphereMesh::Make(0.1f, 16, 16);
        glGenBuffers(1, &sphere_.vertices);
        glBindBuffer(GL_ARRAY_BUFFER, sphere_.vertices);
        glBufferData(GL_ARRAY_BUFFER,
                     static_cast<GLsizeiptr>(sphere.vertices.size() * sizeof(SphereMesh::Vertex)),
                     sphere.vertices.data(), GL_STATIC_DRAW);
        glGenBuffers(1, &sphere_.indices);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, sphere_.indices);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(sphere.indices.size() * 2),
                     sphere.indices.data(), GL_STATIC_DRAW);
        sphere_.count = static_cast<GLsizei>(sphere.indices.size());
        std::memcpy(sphereNormal_, sphere.lastNormal, sizeof sphereNormal_);
    }
    if (!Apply(model, nullptr)) {
        return;
    }
    glBindBuffer(GL_ARRAY_BUFFER, sphere_.vertices);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, sphere_.indices);
    glEnableVertexAttribArray(Gles2Program::kPosition);
    glEnableVertexAttribArray(Gles2Program::kNormal);
    glVertexAttribPointer(Gles2Program::kPosition, 3, GL_FLOAT, GL_FALSE,
                          sizeof(SphereMesh::Vertex),
                          reinterpret_cast<const void*>(offsetof(SphereMesh::Vertex, x)));
    glVertexAttribPointer(Gles2Program::kNormal, 3, GL_FLOAT, GL_FALSE, sizeof(SphereMesh::Vertex),
                          reinterpret_cast<const void*>(offsetof(SphereMesh::Vertex, nx)));
    glDrawElements(GL_TRIANGLES, sphere_.count, GL_UNSIGNED_SHORT, nullptr);
    glDisableVertexAttribArray(Gles2Program::kNormal);
    // The sphere's last normal stays the current one, as after GLU's.
    std::memcpy(normal_, sphereNormal_, sizeof normal_);
}

void Gles2Renderer::Stream(const std::vector<StreamVertex>& vertices) {
    glBindBuffer(GL_ARRAY_BUFFER, stream_);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(StreamVertex)),
                 vertices.data(), GL_STREAM_DRAW);
}

void Gles2Renderer::DrawStream(const float* model, const std::vector<Run>& runs) {
    glBindBuffer(GL_ARRAY_BUFFER, stream_);
    glEnableVertexAttribArray(Gles2Program::kPosition);
    glEnableVertexAttribArray(Gles2Program::kTexCoord);
    glVertexAttribPointer(Gles2Program::kPosition, 3, GL_FLOAT, GL_FALSE, sizeof(StreamVertex),
                          reinterpret_cast<const void*>(offsetof(StreamVertex, x)));
    glVertexAttribPointer(Gles2Program::kTexCoord, 2, GL_FLOAT, GL_FALSE, sizeof(StreamVertex),
                          reinterpret_cast<const void*>(offsetof(StreamVertex, u)));
    for (const Run& r : runs) {
        if (!Apply(model, r.texture)) {
            break;
        }
        glDrawArrays(GL_TRIANGLES, r.first, r.count);
    }
    glDisableVertexAttribArray(Gles2Program::kTexCoord);
}
