#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "tools/contentgen/Canvas.h"
#include "tools/gen/Vec.h"

// A small software renderer for the title picture: textured triangles with
// a depth buffer, perspective-correct texture coordinates, mipmapped
// sampling and a shading callback that sees the world position.
class SoftRender {
  public:
    struct Vertex {
        V3 p;
        double u, v;
    };
    // Colour of a pixel from its world position and texture colour.
    using Shader = std::function<Rgb(V3 world, Rgb texel)>;

    SoftRender(Canvas& target, V3 eye, V3 lookAt, double fieldOfViewDegrees);

    void Triangles(const std::vector<Vertex>& vertices, const std::vector<uint32_t>& indices,
                   const Canvas& texture, const Shader& shade);
    // Screen position of a world point (x right, y down); false behind the eye.
    bool Project(V3 world, double* x, double* y) const;

  private:
    struct Clip {
        V3 view;  // camera space, looking down -z
        V3 world;
        double u, v;
    };
    void Raster(const Clip tri[3], const Canvas& texture, const Shader& shade);
    const std::vector<Canvas>& Mips(const Canvas& texture);

    Canvas& target_;
    std::vector<double> depth_;
    V3 eye_, right_, up_, forward_;
    double focal_;
    std::map<const Canvas*, std::vector<Canvas>> mips_;
};
