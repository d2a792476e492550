#pragma once

#include <GL/gl.h>

// The display lists that SolidSphere has made, one per radius, newest first.
// One cache serves the whole program; its lists belong to the game's one
// OpenGL context and are never deleted.
class SphereListCache {
  public:
    SphereListCache() = default;
    SphereListCache(const SphereListCache&) = delete;
    SphereListCache& operator=(const SphereListCache&) = delete;
    ~SphereListCache();

    // The cache SolidSphere uses.
    static SphereListCache& Instance();

    // SolidSphere looks a radius up: the list of the newest entry whose radius
    // equals it exactly, or 0 (NaN never matches).
    GLuint Find(double radius) const;
    // SolidSphere remembers a new list; false when no memory was available.
    bool Add(GLuint list, double radius);
    // Number of entries (tests).
    int Count() const;
    // Forgets every entry without touching OpenGL; a test calls it when its
    // context, and with it the lists, has gone.
    void Forget();

  private:
    struct Entry {
        GLuint list;
        double radius;
        Entry* next;
    };
    Entry* head_ = nullptr;
};
