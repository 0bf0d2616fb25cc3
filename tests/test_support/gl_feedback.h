// tests/test_support/gl_feedback.h -- the primitives a draw sends, read in
// OpenGL's feedback mode: points, lines (line resets folded in) and
// polygons with their vertices in window coordinates, colours as bytes and,
// when asked for, the texture s coordinate. Bitmap and pixel tokens are
// skipped.
#pragma once

#include <GL/gl.h>

#include <cmath>
#include <cstddef>
#include <functional>
#include <vector>

struct NKFeedbackVertex {
    float x, y, z;  // window coordinates, depth 0..1
    int r, g, b;
    float s;  // texture s; 0 without texture coordinates
};
struct NKFeedbackPrimitive {
    int iToken;  // GL_POINT_TOKEN, GL_LINE_TOKEN or GL_POLYGON_TOKEN
    std::vector<NKFeedbackVertex> v;
};

inline std::vector<NKFeedbackPrimitive> NKCaptureFeedback(const std::function<void()> &draw,
                                                          bool bTexture = false,
                                                          size_t nFloats = size_t(1) << 18)
{
    std::vector<GLfloat> buf(nFloats);
    glFeedbackBuffer(static_cast<GLsizei>(buf.size()), bTexture ? GL_3D_COLOR_TEXTURE : GL_3D_COLOR,
                     buf.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint n = glRenderMode(GL_RENDER);
    const int iStride = bTexture ? 11 : 7;
    auto byte = [](float f) { return static_cast<int>(std::lround(f * 255.0f)); };
    std::vector<NKFeedbackPrimitive> out;
    for (GLint i = 0; i < n;) {
        const int iToken = static_cast<int>(buf[i++]);
        if (iToken == GL_PASS_THROUGH_TOKEN) {
            i++;
            continue;
        }
        if (iToken == GL_BITMAP_TOKEN || iToken == GL_DRAW_PIXEL_TOKEN ||
            iToken == GL_COPY_PIXEL_TOKEN) {
            i += iStride;
            continue;
        }
        int iCount = 1;
        if (iToken == GL_POLYGON_TOKEN) iCount = static_cast<int>(buf[i++]);
        if (iToken == GL_LINE_TOKEN || iToken == GL_LINE_RESET_TOKEN) iCount = 2;
        NKFeedbackPrimitive p{iToken == GL_LINE_RESET_TOKEN ? GL_LINE_TOKEN : iToken, {}};
        for (int k = 0; k < iCount; k++, i += iStride)
            p.v.push_back({buf[i], buf[i + 1], buf[i + 2], byte(buf[i + 3]), byte(buf[i + 4]),
                           byte(buf[i + 5]), bTexture ? buf[i + 7] : 0.0f});
        out.push_back(p);
    }
    return out;
}
