// bench/image_files.cpp -- still-image files of the beam at 1920 x 1080:
// NKSaveSceneImage per format with capture (BMP rendered off-screen) into
// the page cache (/tmp), and the GIF writer alone on noise. Bytes are the
// picture's pixels (6.22 MB a frame), so the rates read as MB/s of pixels.
// Aims: PPM, TIFF and BMP at least 300 MB/s, SGI 200, GIF 80, the GIF
// writer alone 60. The view drawn into is an off-screen context that the
// shell's view slot makes current. Needs an X display (xvfb-run). Usage:
// bench_image_files --benchmark_repetitions=5 (best of the five).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_model.h"
#include "core/nk_shell_hooks.h"
#include "export/nk_gif_writer.h"
#include "export/nk_image.h"
#include "platform/nk_gl_context.h"
#include "readers/nk_data_source.h"
#include "scene/nk_renderer.h"
#include "tests/export/image_test_support.h"
#include "tests/test_support/test_files.h"

namespace {

const int kW = 1920, kH = 1080;
NKGLContext *sg_pView = nullptr;

bool MakeViewCurrent(void) { return NKMakeGLContextCurrent(sg_pView); }

// The beam open in a view of 1920 x 1080; false without a display.
bool OpenBeam(void)
{
    if (sg_pView != nullptr) return true;
    if (!NKEnsureGuiApplication()) return false;
    sg_pView = NKCreateOffscreenGLContext(kW, kH);
    if (sg_pView == nullptr) return false;
    NKShellHooks hooks = NKGetShellHooks();
    hooks.pfnMakeViewCurrent = MakeViewCurrent;
    NKSetShellHooks(hooks);
    g_pGraphicsSettings = NKCreateRenderOptions(nullptr);
    g_pModel = NKCreateModel();
    NKInstallCommandHooks();
    NKInstallDataSources();
    if (!NKInstallRenderer()) return false;
    NKRegisterFileCommands();
    const std::string line = "opennkffile \"" + NKTestExamplePath("beam.nkf") + "\"";
    if (ExecuteCommand(line.c_str()) != 0) return false;
    NKResizeView(kW, kH);
    return true;
}

void BM_SaveScene(benchmark::State &state)
{
    if (!OpenBeam()) {
        state.SkipWithError("no display or no beam");
        return;
    }
    const uint32_t uFlags = (uint32_t)state.range(0);
    const std::string file =
        "/tmp/bench_image_files." + std::string(NKImageFormatNames(uFlags, true).GetText());
    NKSaveSceneImage(-1, kW, kH, uFlags, file.c_str(), nullptr, nullptr, nullptr);  // warm-up
    for (auto _ : state)
        if (NKSaveSceneImage(-1, kW, kH, uFlags, file.c_str(), nullptr, nullptr, nullptr) != 1)
            state.SkipWithError("save failed");
    state.SetBytesProcessed((int64_t)state.iterations() * kW * kH * 3);
    remove(file.c_str());
}

void BM_GifWriterNoise(benchmark::State &state)
{
    TestImage noise(kW, kH);
    NKTestFillNoise(&noise, 11);
    const char *pszFile = "/tmp/bench_image_files_noise.gif";
    WriteGifFile(&noise, pszFile);
    for (auto _ : state)
        if (WriteGifFile(&noise, pszFile) != 1) state.SkipWithError("write failed");
    state.SetBytesProcessed((int64_t)state.iterations() * kW * kH * 3);
    remove(pszFile);
}

}  // namespace

BENCHMARK(BM_SaveScene)
    ->ArgName("flags")
    ->Arg(NK_IMAGE_PPM | NK_IMAGE_CAPTURE)
    ->Arg(NK_IMAGE_RGB | NK_IMAGE_CAPTURE)
    ->Arg(NK_IMAGE_TIFF | NK_IMAGE_CAPTURE)
    ->Arg(NK_IMAGE_GIF | NK_IMAGE_CAPTURE)
    ->Arg(NK_IMAGE_BMP)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GifWriterNoise)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
