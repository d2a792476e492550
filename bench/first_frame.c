/* Start-up of the real game to its first frame on an X display, for
 * bench/run: preloaded into quorvax, it takes the time of the first buffer
 * swap after that swap returns, prints it in milliseconds since FIRST_FRAME_T0_NS
 * (wall clock, taken just before the game was started) and ends the
 * process there. bench/run builds it with the C compiler; nothing else
 * uses it. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

void SDL_GL_SwapWindow(void* window) {
    void (*real)(void*) = (void (*)(void*))dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
    if (real != NULL) {
        real(window);
    }
    const char* t0 = getenv("FIRST_FRAME_T0_NS");
    if (t0 == NULL) {
        return;
    }
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    const long long ns = (long long)now.tv_sec * 1000000000LL + now.tv_nsec - atoll(t0);
    fprintf(stderr, "first frame %.1f ms\n", ns / 1e6);
    _exit(0);
}
