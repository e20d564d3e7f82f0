#include "bench/capture/Floor.h"

#include <cstdlib>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <vector>

#include <jpeglib.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

struct Floor::Impl {
    Display* display = nullptr;
    XImage* image = nullptr;
    XShmSegmentInfo shm{};
    bool attached = false;
    int x = 0;
    int y = 0;
    unsigned long capacity = 16 * 1024 * 1024;
    unsigned char* buffer = static_cast<unsigned char*>(std::malloc(capacity));
};

Floor::Floor(int x, int y, int width, int height) : d(std::make_unique<Impl>()) {
    d->x = x;
    d->y = y;
    d->display = XOpenDisplay(nullptr);
    if (!d->display) {
        error_ = "cannot open the X display";
        return;
    }
    if (!XShmQueryExtension(d->display)) {
        error_ = "the display has no MIT-SHM";
        return;
    }
    const int scr = DefaultScreen(d->display);
    d->image =
        XShmCreateImage(d->display, DefaultVisual(d->display, scr),
                        static_cast<unsigned>(DefaultDepth(d->display, scr)), ZPixmap, nullptr,
                        &d->shm, static_cast<unsigned>(width), static_cast<unsigned>(height));
    if (!d->image) {
        error_ = "cannot create a shared-memory image";
        return;
    }
    d->shm.shmid =
        shmget(IPC_PRIVATE, static_cast<size_t>(d->image->bytes_per_line) * d->image->height,
               IPC_CREAT | 0600);
    d->shm.shmaddr = d->image->data = static_cast<char*>(shmat(d->shm.shmid, nullptr, 0));
    d->shm.readOnly = False;
    XShmAttach(d->display, &d->shm);
    XSync(d->display, False);
    shmctl(d->shm.shmid, IPC_RMID, nullptr);
    d->attached = true;
}

Floor::~Floor() {
    if (d->attached) {
        XShmDetach(d->display, &d->shm);
        shmdt(d->shm.shmaddr);
    }
    if (d->image) {
        d->image->data = nullptr;
        XDestroyImage(d->image);
    }
    if (d->display)
        XCloseDisplay(d->display);
    std::free(d->buffer);
}

void Floor::grab() {
    XShmGetImage(d->display, DefaultRootWindow(d->display), d->image, d->x, d->y, AllPlanes);
}

// Defaults, quality 90, BGRX rows straight from the X image.
size_t Floor::encode() {
    const XImage* image = d->image;
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned long size = d->capacity;
    jpeg_mem_dest(&c, &d->buffer, &size);
    c.image_width = static_cast<JDIMENSION>(image->width);
    c.image_height = static_cast<JDIMENSION>(image->height);
    c.input_components = 4;
    c.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 90, TRUE);
    jpeg_start_compress(&c, TRUE);
    std::vector<JSAMPROW> rows(static_cast<size_t>(image->height));
    for (int y = 0; y < image->height; ++y)
        rows[static_cast<size_t>(y)] = reinterpret_cast<JSAMPROW>(
            image->data + static_cast<size_t>(y) * image->bytes_per_line);
    while (c.next_scanline < c.image_height)
        jpeg_write_scanlines(&c, rows.data() + c.next_scanline, c.image_height - c.next_scanline);
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    if (size > d->capacity)
        d->capacity = size; // libjpeg grew the buffer
    return size;
}
