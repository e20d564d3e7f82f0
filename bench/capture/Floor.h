// The floor of one capture: an attached XShmGetImage of a screen rectangle and a plain
// libjpeg quality-90 encode of the same pixels to memory. Kept apart from the class library's
// headers, whose global `Screen` the X headers' type of that name would clash with.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

class Floor {
public:
    // Empty error() when the display and its MIT-SHM could be used.
    Floor(int x, int y, int width, int height);
    ~Floor();
    Floor(const Floor&) = delete;
    Floor& operator=(const Floor&) = delete;

    const std::string& error() const { return error_; }
    // Copies the rectangle into the attached segment.
    void grab();
    // Encodes the last grab to memory; returns the JPEG's size in bytes.
    size_t encode();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    std::string error_;
};
