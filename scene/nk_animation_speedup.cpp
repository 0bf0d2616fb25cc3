// scene/nk_animation_speedup.cpp -- the performance read-out after each
// frame (see NKCalculateAnimationSpeedup in nk_scene_extras.h).
#include <cstdint>

#include "core/nk_model.h"
#include "core/nk_progress.h"
#include "core/nk_render_state.h"
#include "core/nk_shell_hooks.h"
#include "core/nk_string.h"
#include "core/nk_view_state.h"
#include "platform/nk_clock.h"
#include "render/nk_text.h"
#include "render/nk_text_list.h"
#include "render/nk_view_settings.h"
#include "scene/nk_scene_extras.h"

namespace {

constexpr uint32_t kFrameRateUpdateMs = 333;

// The frames counted and the sum of their rates, both 64-bit: a 32-bit sum
// overflows within a few dozen frames at hundreds of millions per second.
uint64_t sg_uFramesCounted = 0;
uint64_t sg_uRateSum = 0;
uint32_t sg_uLastRateUpdate = 0;

// The status bar's frame rate, at most every 333 ms while it is shown;
// while the hidden-polygon analysis runs over an animation ("hpc"), its
// progress bar follows the frames analysed so far.
void UpdateStatusFrameRate(uint32_t uMilliseconds)
{
    const uint32_t uNow = NKGetMilliseconds();
    if (uNow - sg_uLastRateUpdate < kFrameRateUpdateMs) return;
    const NKAnimationSettings &a = g_AnimationSettings;
    if (!NKShowStatusFrameRate(a.fFrameRate, uMilliseconds, static_cast<uint32_t>(a.iFrameInterval),
                               g_bHiddenCullingOn, g_bHiddenCullingAnalysis))
        return;
    sg_uLastRateUpdate = uNow;
    const HiddenPartCuller &c = g_HiddenPartCuller;
    if (c.bEnabled && c.bAnalysisOn)
        NKSetProgress(c.iAnalysisCount,
                      NKString::FromFormat("Calculating Animation Speedup (%d of %d)...",
                                           c.iAnalysisCount, c.iFramesToAnalyse)
                          .GetText());
}

}  // namespace

void NKCalculateAnimationSpeedup(unsigned int uMilliseconds, NKGeometry *pGeometry)
{
    UpdateStatusFrameRate(uMilliseconds);
    if (g_pViewSettings == nullptr || !g_pViewSettings->bShowPerformance) {
        sg_uFramesCounted = sg_uRateSum = 0;
        return;
    }
    if (pGeometry == nullptr) return;
    const int iStyle = pGeometry->iNumParts > 0 && pGeometry->pParts != nullptr
                           ? pGeometry->pParts[0].iDrawStyle
                           : NK_DRAW_SURFACE;
    const char *pszWord = "polygons", *pszTitle = "Polygons";
    int64_t n = pGeometry->iTotalNumPolygons;
    if (iStyle == NK_DRAW_LINES) {
        pszWord = "lines", pszTitle = "Lines";
        n = pGeometry->iTotalNumConnects;
    } else if (iStyle == NK_DRAW_POINTS) {
        pszWord = "points", pszTitle = "Points";
        n = pGeometry->iTotalNumNodes;
    }
    NKString text;
    if (uMilliseconds > 0) {
        const int64_t iRate = n * 1000 / static_cast<int64_t>(uMilliseconds);
        sg_uFramesCounted++;
        sg_uRateSum += static_cast<uint64_t>(iRate);
        text = NKString::FromFormat(
            "Number of %s: %lld   %s/Second: %lld  Average : %llu  Drawing time: %u ms (%.1f fps)",
            pszWord, static_cast<long long>(n), pszTitle, static_cast<long long>(iRate),
            static_cast<unsigned long long>(sg_uRateSum / sg_uFramesCounted), uMilliseconds,
            1000.0 / uMilliseconds);
    } else {
        text = NKString::FromFormat("Number of %s: %lld   %s/Second: >%lld  Drawing time: < 1 ms",
                                    pszWord, static_cast<long long>(n), pszTitle,
                                    static_cast<long long>(n * 1000));
    }
    const uint8_t *c = NKGetTextColor();
    NKAddText(12, -0.99f, 0.87f, c[0], c[1], c[2], text.GetText());
}
