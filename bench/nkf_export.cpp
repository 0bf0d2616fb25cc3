// bench/nkf_export.cpp -- times NKFExporter::ExportNKFFile over a loaded
// model of the parse benchmark's size: one part of 1,000,000 nodes with IDs
// (a 100 x 100 x 100 grid) and 970,299 hexahedra, with a node scalar. The
// model is written as a binary NKF file with the tests' writers, opened
// through the `nkf` command and exported into a temporary folder (the page
// cache; one core). The rate is the exported file's bytes per second; the
// aim is at least 400 MB/s.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_element_types.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "nkf/nkf_export.h"
#include "nkf/nkf_import.h"
#include "tests/test_support/nkf_geometry_writer.h"
#include "tests/test_support/nkf_mesh_writer.h"
#include "tests/test_support/nkf_step_test_support.h"
#include "tests/test_support/nkf_test_writer.h"
#include "tests/test_support/test_files.h"

namespace {

const int kSide = 100;

// The model file: nodes on a unit-spaced grid, hexahedra over node indices,
// one value per node listed for the first step.
NKFTestWriter ModelFile()
{
    const int iNodes = kSide * kSide * kSide;
    std::vector<int32_t> ids(iNodes);
    std::vector<float> coords, values;
    coords.reserve(3 * (size_t)iNodes);
    for (int n = 0; n < iNodes; n++) {
        ids[n] = n + 1;
        int i = n % kSide, j = (n / kSide) % kSide, k = n / (kSide * kSide);
        coords.insert(coords.end(), {(float)i, (float)j, (float)k});
        values.push_back((float)(i + j + k));
    }
    NKFTestSection hexahedra{NK_ELEM_HEXAHEDRON + 1, {}, {}, 0};
    for (int k = 0; k + 1 < kSide; k++)
        for (int j = 0; j + 1 < kSide; j++)
            for (int i = 0; i + 1 < kSide; i++, hexahedra.iCount++)
                for (int dk = 0; dk < 2; dk++)
                    for (int c = 0; c < 4; c++) {
                        int di = (c == 1 || c == 2), dj = (c >= 2);
                        hexahedra.refs.push_back(1 + (i + di) +
                                                 kSide * ((j + dj) + kSide * (k + dk)));
                    }
    NKFTestWriter w(false);
    AppendFileHeader(w);
    AppendNodesBlock(w, 1, ids.data(), coords.data(), iNodes);
    AppendElementsBlock(w, 1, 1, {hexahedra}, false, false, 0);
    AppendResultsBlock(w, 1, 1, 1, 0, nullptr, values.data(), iNodes, 1);
    AppendGeometryBlock(w, 1, "Grid", {{1, "", 0.0f, {}, {1}}});
    AppendResultListBlock(w, 1010, 1, "Value", {{1, "", 0.0f, {1}}}, false);
    return w;
}

void BM_ExportNKFFile(benchmark::State &state)
{
    g_pModel = NKCreateModel();
    NKRegisterFileCommands();
    NKToggleMessageOutput(false);
    std::string dir = NKTestMakeTempDir("quolin_bench_export_");
    std::string model = dir + "/model.nkf", out = dir + "/out.nkf";
    NKTestWriteBytes(model, ModelFile().Data());
    if (ExecuteCommand(("nkf open \"" + model + "\"").c_str()) != 0 ||
        ExecuteCommand("nkf scalar") != 0) {
        state.SkipWithError("the model did not load");
        return;
    }
    int64_t iBytes = 0;
    for (auto _ : state) {
        NKFExporter exporter;
        exporter.SetFileName(out.c_str());
        if (!exporter.ExportNKFFile()) state.SkipWithError("the export failed");
        iBytes += (int64_t)std::filesystem::file_size(out);
    }
    state.SetBytesProcessed(iBytes);
    NKFCloseInterface();
    NKTestRemoveDir(dir);
    NKDestroyModel(g_pModel);
    g_pModel = nullptr;
}

}  // namespace

BENCHMARK(BM_ExportNKFFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
