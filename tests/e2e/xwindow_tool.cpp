// The few things the end-to-end scripts need from the X server that xdotool
// cannot do:
//
//   xwindow_tool close WINDOW              ask the window to close, as a window
//                                          manager's close button does
//   xwindow_tool checksum WINDOW X Y W H   print a checksum of that rectangle's
//                                          pixels, to see when a repaint happened
//
// WINDOW is a decimal or 0x-prefixed window id, as xdotool prints it.

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

int g_xError = 0;

int recordXError(Display* display, XErrorEvent* event)
{
    char text[256];
    XGetErrorText(display, event->error_code, text, sizeof text);
    std::fprintf(stderr, "xwindow_tool: X error: %s\n", text);
    g_xError = event->error_code;
    return 0;
}

bool parseNumber(const char* text, unsigned long& value)
{
    char* end = nullptr;
    value = std::strtoul(text, &end, 0);
    return end != text && *end == '\0';
}

struct DisplayCloser
{
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayHandle = std::unique_ptr<Display, DisplayCloser>;

struct ImageDestroyer
{
    void operator()(XImage* image) const { XDestroyImage(image); }
};
using ImageHandle = std::unique_ptr<XImage, ImageDestroyer>;

// The same message a window manager sends when the user presses the title
// bar's close button; destroying the window instead would skip the toolkit's
// own close handling, which is what the test is about.
int closeWindow(Display* display, Window window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    return g_xError == 0 ? 0 : 1;
}

ImageHandle grab(Display* display, Window window, int x, int y, unsigned width, unsigned height)
{
    ImageHandle image(XGetImage(display, window, x, y, width, height, AllPlanes, ZPixmap));
    XSync(display, False);
    if (!image || g_xError != 0) {
        std::fprintf(stderr, "xwindow_tool: cannot read the pixels of window 0x%lx\n", window);
        return nullptr;
    }
    return image;
}

int printChecksum(Display* display, Window window, int x, int y, unsigned width, unsigned height)
{
    const ImageHandle image = grab(display, window, x, y, width, height);
    if (!image)
        return 1;
    // FNV-1a over the pixel values, so row padding never counts.
    std::uint64_t hash = 14695981039346656037ull;
    for (int row = 0; row < image->height; ++row) {
        for (int column = 0; column < image->width; ++column) {
            std::uint64_t pixel = XGetPixel(image.get(), column, row);
            for (int byte = 0; byte < 4; ++byte, pixel >>= 8) {
                hash ^= pixel & 0xFF;
                hash *= 1099511628211ull;
            }
        }
    }
    std::printf("%016llx\n", static_cast<unsigned long long>(hash));
    return 0;
}

int usage()
{
    std::fputs("usage: xwindow_tool close WINDOW\n"
               "       xwindow_tool checksum WINDOW X Y WIDTH HEIGHT\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3)
        return usage();
    const std::string command = argv[1];
    unsigned long window = 0;
    if (!parseNumber(argv[2], window))
        return usage();

    const DisplayHandle display(XOpenDisplay(nullptr));
    if (!display) {
        std::fputs("xwindow_tool: cannot open the display named by DISPLAY\n", stderr);
        return 1;
    }
    XSetErrorHandler(recordXError);

    if (command == "close" && argc == 3)
        return closeWindow(display.get(), window);
    if (command == "checksum" && argc == 7) {
        unsigned long rect[4];
        for (int i = 0; i < 4; ++i) {
            if (!parseNumber(argv[3 + i], rect[i]))
                return usage();
        }
        return printChecksum(display.get(), window, static_cast<int>(rect[0]),
                             static_cast<int>(rect[1]), static_cast<unsigned>(rect[2]),
                             static_cast<unsigned>(rect[3]));
    }
    return usage();
}
