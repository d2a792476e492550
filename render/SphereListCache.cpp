#include "render/SphereListCache.h"

#include <new>

SphereListCache::~SphereListCache() {
    Forget();
}

SphereListCache& SphereListCache::Instance() {
    static SphereListCache cache;
    return cache;
}

GLuint SphereListCache::Find(double radius) const {
    for (const Entry* e = head_; e != nullptr; e = e->next) {
        if (e->radius == radius) {
            return e->list;
        }
    }
    return 0;
}

bool SphereListCache::Add(GLuint list, double radius) {
    Entry* e = new (std::nothrow) Entry{list, radius, head_};
    if (e == nullptr) {
        return false;
    }
    head_ = e;
    return true;
}

int SphereListCache::Count() const {
    int n = 0;
    for (const Entry* e = head_; e != nullptr; e = e->next) {
        ++n;
    }
    return n;
}

void SphereListCache::Forget() {
    while (head_ != nullptr) {
        Entry* next = head_->next;
        delete head_;
        head_ = next;
    }
}
