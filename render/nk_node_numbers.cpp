// render/nk_node_numbers.cpp -- node numbers in the view (see
// nk_node_numbers.h). The labels are the anchored bitmap texts of
// nk_text_list.h, bracketed once per part by NKBeginText3D/NKEndText3D.
#include "render/nk_node_numbers.h"

#include <GL/gl.h>

#include "core/nk_frame_results.h"
#include "core/nk_model.h"
#include "render/nk_gl_scope.h"
#include "render/nk_text.h"
#include "render/nk_text_list.h"

NKNodeNumberRange g_NodeNumberRange;

namespace {

// The window position test of a point under the current matrices.
class ViewportTest {
public:
    ViewportTest()
    {
        GLdouble adModel[16], adProjection[16];
        glGetDoublev(GL_MODELVIEW_MATRIX, adModel);
        glGetDoublev(GL_PROJECTION_MATRIX, adProjection);
        glGetIntegerv(GL_VIEWPORT, m_aiViewport);
        for (int c = 0; c < 4; c++)
            for (int r = 0; r < 4; r++) {
                double d = 0.0;
                for (int k = 0; k < 4; k++) d += adProjection[k * 4 + r] * adModel[c * 4 + k];
                m_adMatrix[c * 4 + r] = d;
            }
    }
    bool Inside(const float *p) const
    {
        double clip[4];
        for (int r = 0; r < 4; r++)
            clip[r] = m_adMatrix[r] * p[0] + m_adMatrix[4 + r] * p[1] + m_adMatrix[8 + r] * p[2] +
                      m_adMatrix[12 + r];
        if (!(clip[3] > 0.0)) return false;
        const double x = m_aiViewport[0] + m_aiViewport[2] * (clip[0] / clip[3] + 1.0) / 2.0;
        const double y = m_aiViewport[1] + m_aiViewport[3] * (clip[1] / clip[3] + 1.0) / 2.0;
        const double z = clip[2] / clip[3];
        return x >= m_aiViewport[0] && x < m_aiViewport[0] + m_aiViewport[2] &&
               y >= m_aiViewport[1] && y < m_aiViewport[1] + m_aiViewport[3] && z >= -1.0 &&
               z <= 1.0;
    }

private:
    double m_adMatrix[16];
    GLint m_aiViewport[4];
};

// A label's raster position takes the depth of its node, which a surface
// through the node matches only to the depth buffer's precision: the
// projection (pushed by the caller, current) is moved a little towards the
// eye in depth, so a visible node keeps its number while nodes behind
// surfaces stay hidden.
void PullTowardsEye(void)
{
    constexpr GLfloat kDepthBias = 0.001f;  // in normalised device z (-1..1)
    GLfloat afProjection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, afProjection);
    // clip z' = clip z - bias x clip w, one row added to another.
    for (int c = 0; c < 4; c++) afProjection[c * 4 + 2] -= kDepthBias * afProjection[c * 4 + 3];
    glLoadMatrixf(afProjection);
    glMatrixMode(GL_MODELVIEW);
}

}  // namespace

NKString NKFormatNodeLabel(const NKPart &part, int iPart, int iNode)
{
    if (part.pNodeIDs != nullptr && iNode >= 0 && iNode < part.iNumNodes)
        return NKString::FromFormat("%d", part.pNodeIDs[iNode]);
    return NKString::FromFormat("%d, %d", iPart + 1, iNode + 1);
}

void NKDrawNodeNumbers(NKFrame *pFrame, NKPart *pPart, int iPart, const NKNodeNumberRange *pRange)
{
    if (pFrame == nullptr || pPart == nullptr || pRange == nullptr) return;
    if (iPart < pRange->iFromPart || iPart > pRange->iToPart || pPart->iNumNodes < 1) return;
    const float *pfCoords = GetPartNodeCoords(iPart, pPart, pFrame);
    if (pfCoords == nullptr) return;
    const int iFirst = iPart == pRange->iFromPart ? pRange->iFromNode : 0;
    int iLast = pPart->iNumNodes - 1;
    if (iPart == pRange->iToPart && pRange->iToNode >= 0 && pRange->iToNode < iLast)
        iLast = pRange->iToNode;
    if (iFirst < 0 || iFirst > iLast) return;
    const NKAttribScope attribs(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LIGHTING_BIT |
                                GL_DEPTH_BUFFER_BIT);
    glDepthFunc(GL_LEQUAL);
    const ViewportTest viewport;
    const NKMatrixScope projection(GL_PROJECTION);
    PullTowardsEye();
    const uint8_t *c = NKGetTextColor();
    NKBeginText3D(12, c[0], c[1], c[2]);
    for (int i = iFirst; i <= iLast; i++) {
        const float *p = pfCoords + 3 * i;
        if (!viewport.Inside(p)) continue;
        NKDrawText3DPlain(p[0], p[1], p[2], NKFormatNodeLabel(*pPart, iPart, i).GetText());
    }
    NKEndText3D();
}
