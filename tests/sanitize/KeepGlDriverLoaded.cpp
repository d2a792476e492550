// Linked into every program of the sanitizer build, and only there.
//
// Mesa's software driver (swrast_dri.so, with libdrm, libsensors and libelf
// behind it) keeps a few small blocks that it never frees. On X it is
// unloaded as soon as SDL closes its display, so at exit LeakSanitizer finds
// the blocks but no module to name them by, and no suppression can match.
// Opened here once more with RTLD_NODELETE, the driver stays mapped to the
// end and scripts/lsan.supp names it; our own code stays fully checked.
#include <dlfcn.h>

namespace {

[[gnu::constructor]] void KeepGlDriverLoaded() {
    dlopen(QUORVAX_GL_DRIVER, RTLD_LAZY | RTLD_NODELETE);
}

}  // namespace
