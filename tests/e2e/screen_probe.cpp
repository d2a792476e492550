// Reads the X screen for the end-to-end test, as a person would look at it:
//   screen_probe mean X0 Y0 X1 Y1   mean red, green, blue of the rectangle
//   screen_probe hash                a hash of the whole screen's pixels
//   screen_probe cursor              the pointer's image as the server
//                                    shows it: WIDTHxHEIGHT and the number
//                                    of its pixels that are not transparent
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: screen_probe mean X0 Y0 X1 Y1 | hash | cursor\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "screen_probe: no display\n");
        return 2;
    }
    if (std::strcmp(argv[1], "cursor") == 0) {
        int event = 0, error = 0;
        XFixesCursorImage* cursor =
            XFixesQueryExtension(display, &event, &error) ? XFixesGetCursorImage(display) : nullptr;
        if (cursor == nullptr) {
            std::fprintf(stderr, "screen_probe: no XFixes cursor image\n");
            return 2;
        }
        int opaque = 0;
        for (int i = 0; i < cursor->width * cursor->height; ++i) {
            opaque += (cursor->pixels[i] >> 24) != 0 ? 1 : 0;  // ARGB, one per long
        }
        std::printf("%dx%d %d\n", cursor->width, cursor->height, opaque);
        XFree(cursor);
        XCloseDisplay(display);
        return 0;
    }
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attrs;
    XGetWindowAttributes(display, root, &attrs);
    int x0 = 0, y0 = 0, x1 = attrs.width, y1 = attrs.height;
    const bool mean = std::strcmp(argv[1], "mean") == 0;
    if (mean) {
        if (argc != 6) {
            return 2;
        }
        x0 = std::atoi(argv[2]);
        y0 = std::atoi(argv[3]);
        x1 = std::atoi(argv[4]);
        y1 = std::atoi(argv[5]);
    }
    XImage* image = XGetImage(display, root, x0, y0, static_cast<unsigned>(x1 - x0),
                              static_cast<unsigned>(y1 - y0), AllPlanes, ZPixmap);
    if (image == nullptr) {
        return 2;
    }
    uint64_t hash = 1469598103934665603ull;
    double sum[3] = {0, 0, 0};
    for (int y = 0; y < y1 - y0; ++y) {
        for (int x = 0; x < x1 - x0; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            const unsigned rgb[3] = {static_cast<unsigned>((p >> 16) & 0xFF),
                                     static_cast<unsigned>((p >> 8) & 0xFF),
                                     static_cast<unsigned>(p & 0xFF)};
            for (int c = 0; c < 3; ++c) {
                sum[c] += rgb[c];
                hash = (hash ^ rgb[c]) * 1099511628211ull;
            }
        }
    }
    const double n = static_cast<double>(x1 - x0) * (y1 - y0);
    if (mean) {
        std::printf("%.0f %.0f %.0f\n", sum[0] / n, sum[1] / n, sum[2] / n);
    } else {
        std::printf("%016llx\n", static_cast<unsigned long long>(hash));
    }
    XDestroyImage(image);
    XCloseDisplay(display);
    return 0;
}
