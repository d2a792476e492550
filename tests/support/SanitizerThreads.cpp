// The unit tests of the sanitizer build only. Mesa's software renderer
// keeps its drawing threads alive to the program's end, and LeakSanitizer's
// tracer crashed on them at exit in a fresh root. Set before the first
// context is made; drawing on the calling thread gives the same pixels.
#if defined(__SANITIZE_ADDRESS__)
#include <cstdlib>

namespace {

[[gnu::constructor]] void DrawOnTheCallingThread() {
    setenv("LP_NUM_THREADS", "0", 0);
}

}  // namespace
#endif
