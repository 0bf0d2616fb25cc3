// bench/program_redraw.cpp -- the whole program's redraw rate against
// NKDrawScene's on the same model. The built program (quolin, beside this
// benchmark) runs a command file that sets an 810 x 600 view, writes and
// opens a grid of 707 x 707 x 1 hexahedra with an element scalar
// ("grid3d 707 707 1 1 0": 1,000,000 outer polygons), turns fringes on and
// redraws with "d" FRAMES times; a second run redraws once, and the
// difference of the two command-file times the program prints gives the
// time of FRAMES redraws. Then this benchmark opens the same file through
// the same commands in an off-screen context of 810 x 600 and times
// NKDrawScene (ending with glFinish) in the projection the program's view
// sets, with the renderer's colour slots as the program fills them; a
// read-back of the last frame counts the pixels that differ from the
// background (the model's), and a frame without them fails the benchmark.
// Both with the program's default immediate drawing, and both with vertex
// arrays ("vertexarray"). Aim: the program at 0.9 or more of NKDrawScene's
// rate. (bench/scene_draw draws
// another model: one layer of smooth quadrilaterals with a node scalar, where
// this grid shows two layers of faces, top and bottom, coloured by element.)
// Needs an X display (run under xvfb-run). Usage: bench_program_redraw [FRAMES]
#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_load_hooks.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_render_state.h"
#include "core/nk_view_state.h"
#include "platform/nk_gl_context.h"
#include "readers/nk_data_source.h"
#include "render/nk_fringe_commands.h"
#include "render/nk_projection.h"
#include "scene/nk_renderer.h"
#include "tests/test_support/test_files.h"

namespace {

const int kWidth = 810, kHeight = 600;

double Seconds(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// The command lines that load the model and turn its fringes on.
std::string SetupLines(const std::string &model, bool bArrays)
{
    // The grid's file name is one word (the temporary folder has no blanks).
    return std::string(bArrays ? "vertexarray\n" : "novertexarray\n") + "grid3d 707 707 1 1 0 " +
           model + "\nreadstate 1 1\nfringes\n";
}

// Runs the program on a command file of the set-up and iRedraws "d" lines in
// a fresh home under dir; the command file's time as the program prints it,
// or a negative value when the run fails.
double ProgramTime(const std::string &program, const std::string &dir, const std::string &model,
                   bool bArrays, int iRedraws)
{
    std::string commands = "winposition 0 0 810 600\n" + SetupLines(model, bArrays);
    for (int i = 0; i < iRedraws; i++) commands += "d\n";
    commands += "exit\n";
    std::string file = dir + "/redraw.qlc", out = dir + "/out.txt";
    if (!NKTestWriteText(file, commands)) return -1.0;
    std::string line = "HOME=\"" + dir + "\" XDG_CONFIG_HOME=\"" + dir + "/.config\" " +
                       "XDG_DATA_HOME=\"" + dir + "/.local\" \"" + program + "\" \"" + file +
                       "\" > \"" + out + "\" 2>&1";
    if (std::system(line.c_str()) != 0) return -1.0;
    std::string text = NKTestReadFile(out);
    const char *pszKey = "Time used executing command file: ";
    size_t at = text.find(pszKey);
    return at == std::string::npos ? -1.0 : std::atof(text.c_str() + at + strlen(pszKey));
}

// Redraws per second of the program: FRAMES redraws, the best of three pairs.
double ProgramRate(const std::string &program, const std::string &dir, const std::string &model,
                   bool bArrays, int iFrames)
{
    double dBest = 1e30;
    for (int run = 0; run < 3; run++) {
        double dOne = ProgramTime(program, dir, model, bArrays, 1);
        double dMany = ProgramTime(program, dir, model, bArrays, iFrames + 1);
        if (dOne < 0 || dMany < 0) return -1.0;
        dBest = std::min(dBest, dMany - dOne);
    }
    return dBest > 0 ? iFrames / dBest : -1.0;
}

// The pixels of the drawn frame that differ from its corner (the
// background): the model's, when the frame shows it.
int ModelPixels(void)
{
    std::vector<unsigned char> pixels((size_t)kWidth * kHeight * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int iCount = 0;
    for (size_t i = 0; i < pixels.size(); i += 4)
        if (std::memcmp(&pixels[i], &pixels[0], 3) != 0) iCount++;
    return iCount;
}

// NKDrawScene's rate on the model opened by the same commands in this
// process, off screen, in the program's projection; *piModelPixels gets
// the model's pixels in the last frame.
double SceneRate(const std::string &model, bool bArrays, int iFrames, int *piModelPixels)
{
    // The program wrote the file already: it is opened rather than written
    // again; the vertex-array switch is set directly (its command belongs to
    // the program's shell).
    NKVertexArraySwitch = bArrays ? 1 : 0;
    for (std::string line : {"open " + model, std::string("readstate 1 1"), std::string("fringes")})
        if (ExecuteCommand(line.c_str()) != 0) return -1.0;
    NKViewWindowSize = {kWidth, kHeight};
    glViewport(0, 0, kWidth, kHeight);
    NKSetProjection(kWidth, kHeight, g_fNearClip, g_fFarClip);
    double dBest = 0.0;
    NKDrawScene(-1, 1, 1);  // warm-up: lists, colours, the first upload
    for (int run = 0; run < 3; run++) {
        glFinish();
        const auto t0 = std::chrono::steady_clock::now();
        for (int i = 0; i < iFrames; i++) NKDrawScene(-1, 1, 1);
        glFinish();
        dBest = std::max(dBest, iFrames / Seconds(t0));
    }
    *piModelPixels = ModelPixels();
    NKCloseInterface();
    return dBest;
}

}  // namespace

int main(int argc, char **argv)
{
    const int iFrames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const std::string program = NKTestProgramBeside(argv[0]);
    std::string dir = NKTestMakeTempDir("quolin_bench_redraw_");
    if (dir.empty()) return 1;
    std::string model = dir + "/grid.nkf";
    double adProgram[2], adScene[2];
    for (int a = 0; a < 2; a++) {
        adProgram[a] = ProgramRate(program, dir, model, a == 1, iFrames);
        if (adProgram[a] < 0) {
            std::fprintf(stderr, "Running %s failed\n", program.c_str());
            NKTestRemoveDir(dir);
            return 1;
        }
    }
    NKToggleMessageOutput(false);
    g_pModel = NKCreateModel();
    g_pGraphicsSettings = NKCreateRenderOptions(nullptr);
    // The model's slots start empty; the renderer fills its own (the fringe
    // colours among them), so that the frame is coloured as the program's.
    NKSetModelHooks(NKModelHooks());
    if (g_pModel == nullptr || g_pGraphicsSettings == nullptr || !NKInstallRenderer()) return 1;
    NKGLContext *pContext = NKCreateOffscreenGLContext(kWidth, kHeight);
    if (pContext == nullptr) {
        std::fprintf(stderr, "No OpenGL context (is there an X display?)\n");
        return 1;
    }
    NKInstallDataSources();
    NKRegisterFileCommands();
    NKRegisterFringeCommands();
    int aiPixels[2] = {0, 0};
    for (int a = 0; a < 2; a++) adScene[a] = SceneRate(model, a == 1, iFrames, &aiPixels[a]);
    std::printf("grid 707 x 707 x 1 hexahedra, element scalar, fringes, %d x %d, %d redraws\n",
                kWidth, kHeight, iFrames);
    for (int a = 0; a < 2; a++)
        std::printf("%-15s program %6.2f redraws/s, NKDrawScene %6.2f frames/s (%d model "
                    "pixels): %.2f (aim >= 0.9)\n",
                    a == 0 ? "immediate" : "vertex arrays", adProgram[a], adScene[a], aiPixels[a],
                    adScene[a] > 0 ? adProgram[a] / adScene[a] : 0.0);
    // A frame without the model would time nothing worth comparing.
    bool bDrawn = aiPixels[0] > 0 && aiPixels[1] > 0;
    if (!bDrawn) std::fprintf(stderr, "The in-process frame shows no model\n");
    NKDestroyGLContext(pContext);
    NKShutdownRenderer();
    NKDestroyModel(g_pModel);
    g_pModel = nullptr;
    NKDestroyRenderOptions(g_pGraphicsSettings);
    NKTestRemoveDir(dir);
    return bDrawn ? 0 : 1;
}
