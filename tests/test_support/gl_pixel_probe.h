// tests/test_support/gl_pixel_probe.h -- one pixel of the current GL read
// buffer and its comparison with an expected colour, for the GL tests that
// check what a draw left on screen.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>

struct Pixel {
    int r, g, b;
};

// The colour of window pixel (x, y), counted from the bottom left.
inline Pixel ReadPixel(int x, int y)
{
    unsigned char a[4] = {0, 0, 0, 0};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, a);
    return {a[0], a[1], a[2]};
}

// True when every channel of p lies within iTol of (r, g, b).
inline bool PixelNear(const Pixel &p, int r, int g, int b, int iTol = 0)
{
    return std::abs(p.r - r) <= iTol && std::abs(p.g - g) <= iTol && std::abs(p.b - b) <= iTol;
}

// PixelNear for the test macros: a failure names the pixel's colour.
inline ::testing::AssertionResult Is(const Pixel &p, int r, int g, int b, int iTol = 0)
{
    if (PixelNear(p, r, g, b, iTol)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel (" << p.r << ", " << p.g << ", " << p.b << ")";
}
