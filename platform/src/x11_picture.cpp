// The picture on a native window of any size: the client area's image scaled
// to fit, keeping its shape, and centred on black. XRender scales it in the
// X server, so only the client-sized picture crosses the connection each
// frame, and a server with a GPU (glamor) scales it there; Xvfb scales it
// with pixman. Without RENDER the picture is shown at its own size.
#include "x11_state.h"

#include <algorithm>

namespace zdp {
namespace {

// As large as fits in width by height keeping the picture's shape, centred;
// at its own size, centred, when it cannot be scaled.
XRectangle fitPicture(int pictureWidth, int pictureHeight, int width, int height, bool scales) {
    long w = std::max(pictureWidth, 1), h = std::max(pictureHeight, 1);
    if (scales && long(width) * h <= long(height) * w) {
        h = (h * width + w / 2) / w;
        w = width;
    } else if (scales) {
        w = (w * height + h / 2) / h;
        h = height;
    }
    w = std::max(w, 1L);
    h = std::max(h, 1L);
    return {short((width - w) / 2), short((height - h) / 2), (unsigned short)w, (unsigned short)h};
}

int shiftOf(unsigned long mask) {
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

// RGBA rows to the visual's 32-bit pixels; other visuals are not drawn on.
bool convertImage(const X11Connection& x, const Window& window, X11Window& native) {
    if (x.depth < 24 || x.visual->c_class != TrueColor) return false;
    int red = shiftOf(x.visual->red_mask), green = shiftOf(x.visual->green_mask),
        blue = shiftOf(x.visual->blue_mask);
    native.pixels.resize(size_t(window.imageWidth) * size_t(window.imageHeight));
    const unsigned char* rgba = window.image.data();
    uint32_t* out = native.pixels.data();
    for (size_t i = 0; i < native.pixels.size(); ++i, rgba += 4)
        out[i] = uint32_t(rgba[0]) << red | uint32_t(rgba[1]) << green | uint32_t(rgba[2]) << blue;
    return true;
}

void setTransform(const X11Connection& x, const X11Window& native) {
    XTransform transform = {
        {{XDoubleToFixed(double(native.pictureWidth) / native.shown.width), 0, 0},
         {0, XDoubleToFixed(double(native.pictureHeight) / native.shown.height), 0},
         {0, 0, XDoubleToFixed(1.0)}}};
    XRenderSetPictureTransform(x.display, native.source, &transform);
}

// The server's copy of the picture and XRender's pictures of it and of the
// window, made again when the picture's size changes. Edge pixels are
// repeated outwards, so smooth scaling does not darken the picture's rim.
void makeStore(const X11Connection& x, X11Window& native, int width, int height) {
    releasePicture(x, native);
    native.pictureWidth = width;
    native.pictureHeight = height;
    if (x.renderFormat) {
        native.store = XCreatePixmap(x.display, native.id, unsigned(width), unsigned(height),
                                     unsigned(x.depth));
        XRenderPictureAttributes attributes{};
        attributes.repeat = RepeatPad;
        native.source =
            XRenderCreatePicture(x.display, native.store, x.renderFormat, CPRepeat, &attributes);
        native.target = XRenderCreatePicture(x.display, native.id, x.renderFormat, 0, nullptr);
        XRenderSetPictureFilter(x.display, native.source,
                                native.smooth ? FilterBilinear : FilterNearest, nullptr, 0);
    }
    placePicture(x, native);
}

void composite(const X11Connection& x, const X11Window& native) {
    const XRectangle& at = native.shown;
    XRenderComposite(x.display, PictOpSrc, native.source, None, native.target, 0, 0, 0, 0, at.x,
                     at.y, at.width, at.height);
}

// The black around the picture: above and below it, or left and right of it.
void fillBorders(const X11Connection& x, const X11Window& native) {
    const XRectangle& at = native.shown;
    XSetForeground(x.display, native.gc, BlackPixel(x.display, x.screen));
    int right = at.x + at.width, bottom = at.y + at.height;
    if (at.y > 0) XFillRectangle(x.display, native.id, native.gc, 0, 0, native.width, at.y);
    if (bottom < native.height)
        XFillRectangle(x.display, native.id, native.gc, 0, bottom, native.width,
                       native.height - bottom);
    if (at.x > 0) XFillRectangle(x.display, native.id, native.gc, 0, 0, at.x, native.height);
    if (right < native.width)
        XFillRectangle(x.display, native.id, native.gc, right, 0, native.width - right,
                       native.height);
}

// Into the store, or straight onto the window where the server has no RENDER.
void putPixels(const X11Connection& x, X11Window& native) {
    XImage* image =
        XCreateImage(x.display, x.visual, unsigned(x.depth), ZPixmap, 0,
                     reinterpret_cast<char*>(native.pixels.data()), unsigned(native.pictureWidth),
                     unsigned(native.pictureHeight), 32, 0);
    if (!image) return;
    const uint32_t probe = 1;
    image->byte_order = *reinterpret_cast<const unsigned char*>(&probe) ? LSBFirst : MSBFirst;
    if (image->bits_per_pixel == 32) {
        bool direct = native.store == 0;
        XPutImage(x.display, direct ? native.id : native.store, native.gc, image, 0, 0,
                  direct ? native.shown.x : 0, direct ? native.shown.y : 0,
                  unsigned(native.pictureWidth), unsigned(native.pictureHeight));
    }
    image->data = nullptr; // the pixels belong to the window record
    XDestroyImage(image);
}

} // namespace

void placePicture(const X11Connection& x, X11Window& native) {
    native.shown = fitPicture(native.pictureWidth, native.pictureHeight, native.width,
                              native.height, x.renderFormat != nullptr);
    if (native.source) setTransform(x, native);
}

void showPicture(const X11Connection& x, X11Window& native, const Window& window) {
    if (!convertImage(x, window, native)) return;
    if (window.imageWidth != native.pictureWidth || window.imageHeight != native.pictureHeight ||
        (x.renderFormat && !native.store)) {
        makeStore(x, native, window.imageWidth, window.imageHeight);
        fillBorders(x, native);
    }
    putPixels(x, native);
    if (native.source) composite(x, native);
    XFlush(x.display);
}

void redrawPicture(const X11Connection& x, X11Window& native) {
    fillBorders(x, native);
    if (native.pixels.empty()) return;
    if (native.source)
        composite(x, native);
    else
        putPixels(x, native);
    XFlush(x.display);
}

void resizePicture(const X11Connection& x, X11Window& native, int width, int height) {
    if (width == native.width && height == native.height) return;
    native.width = width;
    native.height = height;
    placePicture(x, native);
    redrawPicture(x, native);
}

void releasePicture(const X11Connection& x, X11Window& native) {
    if (native.source) XRenderFreePicture(x.display, native.source);
    if (native.target) XRenderFreePicture(x.display, native.target);
    if (native.store) XFreePixmap(x.display, native.store);
    native.source = native.target = 0;
    native.store = 0;
}

POINT clientPointOf(const X11Window& native, int x, int y) {
    auto down = [](long offset, long picture, long shown) {
        long v = offset * picture;
        return LONG(v >= 0 ? v / shown : -((shown - 1 - v) / shown));
    };
    return {down(x - native.shown.x, native.pictureWidth, native.shown.width),
            down(y - native.shown.y, native.pictureHeight, native.shown.height)};
}

bool insidePicture(const X11Window& native, int x, int y) {
    const XRectangle& at = native.shown;
    return x >= at.x && y >= at.y && x < at.x + at.width && y < at.y + at.height;
}

} // namespace zdp
