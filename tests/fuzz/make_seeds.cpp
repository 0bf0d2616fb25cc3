// tests/fuzz/make_seeds.cpp -- writes the seed corpus of every fuzz target:
// fuzz_seeds OUTDIR makes OUTDIR/<target>/ with small valid inputs made by
// the tests' writers, the example models of examples/, and, when the
// folder is there, the real files of ../shared/testdata (read in place;
// only small files are taken). The file-set targets get their files
// joined with NK_FUZZ_SEPARATOR in the order the target cuts them.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_support.h"
#include "tests/test_support/lsdyna_test_writer.h"
#include "tests/test_support/lsdyna_th_brick.h"
#include "tests/test_support/nkf_example_models.h"
#include "tests/test_support/nkf_example_twins.h"
#include "tests/test_support/nkf_mesh_writer.h"
#include "tests/test_support/nkf_test_writer.h"
#include "tests/test_support/output3d_test_writer.h"
#include "tests/test_support/test_files.h"
#include "tests/test_support/wav_test_writer.h"

namespace fs = std::filesystem;

namespace {

std::string sg_Out;
int sg_iSeeds = 0;

void Seed(const char *pszTarget, const std::string &name, const std::string &bytes)
{
    fs::create_directories(sg_Out + "/" + pszTarget);
    if (NKTestWriteText(sg_Out + "/" + pszTarget + "/" + name, bytes)) sg_iSeeds++;
}

std::string Bytes(const std::vector<uint8_t> &v) { return std::string(v.begin(), v.end()); }

std::string Join(const std::vector<std::string> &parts)
{
    std::string all;
    for (size_t i = 0; i < parts.size(); i++) all += (i ? NK_FUZZ_SEPARATOR : "") + parts[i];
    return all;
}

std::string Lines(const std::vector<std::string> &lines)
{
    std::string all;
    for (const std::string &l : lines) all += l + "\n";
    return all;
}

// The files of the shared test data under sub whose name matches, up to
// iMaxBytes.
void SharedSeeds(const char *pszTarget, const std::string &sub,
                 bool (*pfnTake)(const std::string &), uintmax_t iMaxBytes)
{
    if (!NKTestSharedDataPresent()) return;
    fs::path root = fs::path(NKTestSharedDataDir()) / sub;
    std::error_code ec;
    if (!fs::is_directory(root, ec)) return;
    for (const auto &entry : fs::recursive_directory_iterator(root, ec)) {
        if (!entry.is_regular_file() || entry.file_size() > iMaxBytes) continue;
        std::string name = entry.path().filename().string();
        if (!pfnTake(name)) continue;
        std::string seedName = fs::relative(entry.path(), root).string();
        for (char &c : seedName)
            if (c == '/') c = '_';
        Seed(pszTarget, seedName, NKTestReadFile(entry.path().string()));
    }
}

void NkfSeeds(void)
{
    // The examples' blocks on a model of two cells: a seed of the examples'
    // size keeps the fuzzer below a hundred inputs a second.
    const std::string beam = NKFBeamText(2, 1, 1);
    Seed("nkf", "beam_small.nkf", beam);
    Seed("nkf", "beam_small_binary.nkf", Bytes(NKFExampleBinaryTwin(beam, false).Data()));
    Seed("nkf", "quad.nkf", "*NKF-1.00\n" + Lines(NKFTestQuadLines("quad")));
    for (bool bBig : {false, true}) {
        NKFTestWriter w(bBig);
        AppendFileHeader(w);
        const int32_t aiIDs[] = {9, 4, 6};
        const float afScalars[] = {0.25f, -1.0f, 3.0f};
        const float afCoords[] = {0, 0, 0, 1, 0, 0};
        AppendResultsBlock(w, 1, 1, 1, 0, aiIDs, afScalars, 3, 1);
        AppendTextureBlock(w, 1, "t", 2, 1, 6);
        AppendInternalStringBlock(w, 1001, "nodes 12", 12);
        AppendNodesBlock(w, 1, nullptr, afCoords, 2);
        Seed("nkf", bBig ? "blocks_big.nkf" : "blocks_little.nkf", Bytes(w.Data()));
    }
    const std::string plot =
        "*NKF-1.00\n*2DPLOTSERIES 1\n%NAME \"Forces\"\n%XAXIS_NAME \"Time\"\n"
        "%YAXIS_NAME \"Force\"\n%SERIES\n%SERIES_NAME \"A\"\n0 0\n4 10\n8 20\n%SERIES\n"
        "%SERIES_NAME \"B\"\n0 5\n4 5\n8 5\n";
    Seed("nkf_plot", "forces.nkf", plot);
    Seed("nkf_plot", "two.nkf", plot + "*2DPLOTSERIES 2\n%SERIES_NAME \"C\"\n0 1\n1 2\n");
}

void LsdynaSeeds(void)
{
    std::string dir = NKTestMakeTempDir("quolin_fuzz_seeds_");
    if (LSDynaWriteFamilyFixture(dir, false) > 0) {
        Seed("lsdyna_plot", "family_d3plot", NKTestReadFile(dir + "/d3plot"));
        Seed("lsdyna_plot", "family_both",
             NKTestReadFile(dir + "/d3plot") + NKTestReadFile(dir + "/d3plot01"));
    }
    NKTestRemoveDir(dir);
    for (bool bBig : {false, true}) {
        LSDynaTestWriter w;
        w.bBigEndian = bBig;
        LSDynaWriteHeader(&w, LSDynaShellFixtureHeader(), "fuzz");
        LSDynaWriteShellGeometry(&w);
        LSDynaWriteShellState(&w, 0.0);
        LSDynaWriteShellState(&w, 0.5);
        Seed("lsdyna_plot", bBig ? "shell_big" : "shell_little", Bytes(w.bytes));
    }
    LSDynaTestWriter th;
    LSDynaWriteBrickHistory(&th, {0.0, 0.5, 1.0});
    Seed("lsdyna_th", "brick", Bytes(th.bytes));
    // Databases of a few kilobytes: each input is read whole, state by state,
    // and larger seeds slow the fuzzer below a hundred inputs a second.
    SharedSeeds(
        "lsdyna_plot", "lsdyna", [](const std::string &n) { return n.rfind("d3plot", 0) == 0; },
        16 * 1024);
    // The first byte picks the kind: abstat, matsum, rcforc, trhist, nodout, glstat, deforc.
    const char *const apszKinds[] = {"abstat", "matsum", "rcforc", "trhist",
                                     "nodout", "glstat", "deforc"};
    for (int k = 0; k < 7; k++) {
        std::string path = NKTestSharedDataDir() + "/lsdyna/pladebuk/ascii/" + apszKinds[k];
        if (NKTestSharedDataPresent() && fs::exists(path))
            Seed("lsdyna_ascii", apszKinds[k], std::string(1, char(k)) + NKTestReadFile(path));
    }
    Seed("lsdyna_ascii", "glstat_small",
         std::string(1, char(5)) + " ls-dyna R14\n dt of cycle   2 is controlled by shell 1\n\n"
                                   " time...........................   1.00000E-03\n"
                                   " kinetic energy.................   2.00000E+00\n"
                                   " internal energy................   3.00000E+00\n\n"
                                   " time...........................   2.00000E-03\n"
                                   " kinetic energy.................   4.00000E+00\n"
                                   " internal energy................   5.00000E+00\n");
}

void NativeSeeds(void)
{
    const std::string results = "1 1\n2 0\nstep one\nstep two\ngeo Geometry\n\"s1\" "
                                "Temperature\n\"v1\" Motion\nPlate\nTri\n";
    const std::string geo =
        "2 5 2 7\n1 1\n2 2\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n2 0 0\n1 2 3 -4 2 5 -3\n";
    Seed("native", "text_set",
         Join({results, geo, "1 2 3 4 5\n", "1 0 0\n0 1 0\n0 0 1\n1 1 1\n0 0 0\n"}));
    // Binary scalar file: format 1, 2 steps, 5 values.
    std::string scalar;
    auto word = [&scalar](uint32_t u) {
        for (int k = 0; k < 4; k++) scalar += char(u >> (8 * k));
    };
    word(1);
    word(2);
    word(5);
    for (int i = 0; i < 10; i++) {
        float f = float(i);
        uint32_t u;
        std::memcpy(&u, &f, 4);
        word(u);
    }
    Seed("native", "binary_scalar",
         Join({"1 0\n2 0\na\nb\ngeo Geometry\n\"s1\" Temperature\nPlate\nTri\n", geo, scalar, ""}));
}

void ReservoirSeeds(void)
{
    NKO3DFixture fx = NKOutput3DFixture();
    for (bool bBig : {false, true}) {
        // elm, k00, e00, std3, ovl3, uni3, then "EXT\n" and the file for the rest.
        std::vector<std::string> parts(6);
        std::vector<std::string> extra;
        for (const auto &b : fx.binaries) {
            std::string bytes = Bytes(NKO3DBytes(b.second, bBig));
            if (b.first == "elm")
                parts[0] = bytes;
            else if (b.first == "k00")
                parts[1] = bytes;
            else if (b.first == "e00")
                parts[2] = bytes;
            else
                extra.push_back(b.first + "\n" + bytes);
        }
        for (const auto &t : fx.texts) {
            if (t.first == "std3") parts[3] = t.second;
            if (t.first == "ovl3") parts[4] = t.second;
            if (t.first == "uni3") parts[5] = t.second;
        }
        parts.insert(parts.end(), extra.begin(), extra.end());
        Seed("reservoir", bBig ? "fixture_big" : "fixture_little", Join(parts));
    }
}

void SmallFileSeeds(void)
{
    Seed("line_files", "hydro.lin",
         "*nklinefile-1.00:hydro\r\n*DIAMETER 0.25\n# comment\n%x\n1 0 0 0\n2 1 0 0\n3 1 1 0\n");
    Seed("line_files", "frame.lin", "FRAME\tX  Y Z\nF1 1000 0 0\n2000 0 0\nF2 0 0 0\n");
    Seed("line_files", "stiffener.lin",
         "Name Number x y z x y z\nS1\t3 0 0 0 1000 0 0\nS2 4 0 0 0 1 1 1\n");
    Seed("line_files", "raw.lin", "0 0 0\n1 0 0\n1 1 0\n");
    std::string binary;
    auto word = [&binary](uint32_t u) {
        for (int k = 0; k < 4; k++) binary += char(u >> (8 * k));
    };
    for (uint32_t u : {uint32_t(-160871), 1u, 2u, 255u, 0u, 0u}) word(u);
    for (int i = 0; i < 12; i++) {
        float f = float(i);
        uint32_t u;
        std::memcpy(&u, &f, 4);
        word(u);
    }
    Seed("line_files", "binary.lin", binary);

    Seed("wav", "tone.wav", Bytes(NKTestToneWav()));
    WavTestSpec stereo;
    stereo.iBits = 8;
    stereo.iChannels = 2;
    stereo.bListChunk = true;
    Seed("wav", "stereo8.wav", Bytes(NKTestWavBytes(stereo, {1, 2, 3, 4, 5, 6})));
}

void CommandSeeds(void)
{
    Seed("commands", "beam.qlc", NKTestReadFile(NKTestExamplePath("beam.qlc")));
    const std::string lines =
        "fringes 1\nlegend\ncontours 5\ncutplane 1 0 0 0 1 0 0\nisosurface 1 0.5\n"
        "selectparts 1\nmaterial 1 0.5 0.5 0.5\nrotatex 30\nstep 1\nvectors 1\n"
        "text 0.1 0.1 hello\nlabel 1 0 0 0 point\nmacro m\nsaveview v1\nloadview v1\n"
        "writegeometry g.nkf\nexport nkf out.nkf\ntovrml out.wrl\nsource none.qlc\n";
    Seed("commands", "mixed.qlc", lines);
    Seed("command_file", "beam.qlc", NKTestReadFile(NKTestExamplePath("beam.qlc")));
    Seed("command_file", "mixed.qlc", lines);
    Seed("command_file", "ride.qlc",
         "ride reset\nride eyepart 1\nride eyenode 1\nride vrp 0 0 0\nride vup 0 0 1\nride on\n"
         "ride off\nnoride\n");
    Seed("requests", "session.txt",
         "EXEC fringes 1\nREQUEST data notify\nADVISE data notify\nEXEC step 1\n"
         "UNADVISE data notify\nREQUEST cmd x\nEXEC nosuchcommand\n");
}

void ImageSeeds(void)
{
    // A 2 x 2 BMP of 24 bits: headers, then two rows of 2 pixels padded to 8 bytes.
    std::string bmp = "BM";
    auto put = [&bmp](uint32_t u, int n) {
        for (int k = 0; k < n; k++) bmp += char(u >> (8 * k));
    };
    put(54 + 16, 4);
    put(0, 4);
    put(54, 4);
    put(40, 4);
    put(2, 4);
    put(2, 4);
    put(1, 2);
    put(24, 2);
    put(0, 4);
    put(16, 4);
    put(2835, 4);
    put(2835, 4);
    put(0, 4);
    put(0, 4);
    for (int i = 0; i < 16; i++) bmp += char(i * 15);
    Seed("bmp", "rgb24.bmp", bmp);
    // An 8-bit one with a palette of two entries.
    std::string pal = "BM";
    auto put8 = [&pal](uint32_t u, int n) {
        for (int k = 0; k < n; k++) pal += char(u >> (8 * k));
    };
    put8(54 + 8 + 8, 4);
    put8(0, 4);
    put8(54 + 8, 4);
    put8(40, 4);
    put8(2, 4);
    put8(2, 4);
    put8(1, 2);
    put8(8, 2);
    put8(0, 4);
    put8(8, 4);
    put8(2835, 4);
    put8(2835, 4);
    put8(2, 4);
    put8(0, 4);
    put8(0x00ff0000u, 4);
    put8(0x000000ffu, 4);
    for (int i = 0; i < 8; i++) pal += char(i & 1);
    Seed("bmp", "pal8.bmp", pal);

    // SGI RGB: verbatim and run-length, 2 x 2, 3 channels.
    for (int iRle = 0; iRle < 2; iRle++) {
        std::string sgi(512, '\0');
        auto be16 = [&sgi](size_t at, uint32_t v) {
            sgi[at] = char(v >> 8);
            sgi[at + 1] = char(v);
        };
        be16(0, 474);
        sgi[2] = char(iRle);
        sgi[3] = 1;
        be16(4, 3);
        be16(6, 2);
        be16(8, 2);
        be16(10, 3);
        if (iRle == 0) {
            for (int i = 0; i < 12; i++) sgi += char(i * 20);
        } else {
            // Tables of 6 starts and 6 lengths, then one run per row: copy 2, end.
            uint32_t uData = 512 + 48;
            std::string tables;
            auto be32 = [&tables](uint32_t v) {
                for (int k = 3; k >= 0; k--) tables += char(v >> (8 * k));
            };
            for (int r = 0; r < 6; r++) be32(uData + 4 * r);
            for (int r = 0; r < 6; r++) be32(4);
            sgi += tables;
            for (int r = 0; r < 6; r++)
                sgi += std::string{char(0x82), char(r * 30), char(r * 31), 0};
        }
        Seed("sgi", iRle ? "rle.rgb" : "verbatim.rgb", sgi);
    }
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds OUTDIR\n");
        return 2;
    }
    sg_Out = argv[1];
    NKFuzzQuiet();
    NkfSeeds();
    LsdynaSeeds();
    NativeSeeds();
    ReservoirSeeds();
    SmallFileSeeds();
    CommandSeeds();
    ImageSeeds();
    std::printf("%d seeds written to %s\n", sg_iSeeds, sg_Out.c_str());
    return 0;
}
