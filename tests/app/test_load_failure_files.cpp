// tests/app/test_load_failure_files.cpp -- every kind of failed load whose
// error lines once left the file unnamed, run by command: damaged ASCII and
// binary NKF files, an unsupported LS-DYNA database, a reservoir set whose
// element file holds no computed step, older native sets, a volume file, a
// damaged and a missing time-history database and a geometry file that
// cannot be written. Each failure keeps its own lines and ends with one
// line naming the file.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_message.h"
#include "core/nk_model_hooks.h"
#include "plot/nk_plot_commands.h"
#include "plot/nk_plot_source.h"
#include "readers/nk_data_source.h"
#include "readers/nk_lsdyna_format.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/test_support/lsdyna_test_writer.h"
#include "tests/test_support/lsdyna_th_brick.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nkf_test_writer.h"
#include "tests/test_support/output3d_test_writer.h"
#include "tests/test_support/test_files.h"

namespace {

class LoadFailureFiles : public NKModelTest {
protected:
    void SetUp() override
    {
        NKModelTest::SetUp();
        m_SavedHooks = NKSetModelHooks(NKModelHooks());
        NKInstallCommandHooks();
        NKInstallDataSources();
        NKRegisterFileCommands();
        NKRegisterPlotCommands();
        m_Dir = NKTestMakeTempDir("quolin_load_failure_");
    }
    void TearDown() override
    {
        NKPlotSourceClose();
        NKCloseInterface();
        NKSetCommandHandler(NK_HANDLER_PLOT, nullptr);
        NKTestRemoveDir(m_Dir);
        NKSetModelHooks(m_SavedHooks);
        NKModelTest::TearDown();
    }
    std::string Path(const std::string &name) const { return m_Dir + "/" + name; }
    std::string Write(const std::string &name, const std::string &text)
    {
        EXPECT_TRUE(NKTestWriteText(Path(name), text));
        return Path(name);
    }
    std::string WriteBytes(const std::string &name, std::vector<uint8_t> bytes)
    {
        EXPECT_TRUE(NKTestWriteBytes(Path(name), bytes));
        return Path(name);
    }
    // The example beam with its first occurrence of from replaced by to.
    std::string Beam(const std::string &name, const std::string &from, const std::string &to)
    {
        std::string text = NKTestReadFile(NKTestExamplePath("beam.nkf"));
        size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) text.replace(at, from.size(), to);
        return Write(name, text);
    }

    NKModelHooks m_SavedHooks;
    std::string m_Dir;
};

// A 32-bit little-endian word written over word iWord of the bytes.
void PatchWord(std::vector<uint8_t> *pBytes, size_t iWord, int32_t iValue)
{
    for (int k = 0; k < 4; k++)
        (*pBytes)[4 * iWord + k] = static_cast<uint8_t>(static_cast<uint32_t>(iValue) >> (8 * k));
}

const float kScalars[] = {0.5f, 1.5f, 2.5f};

// A binary NKF file of one *RESULTS block after the file header; pfnDamage
// changes it before it is written.
std::vector<uint8_t> BinaryResults(const std::function<void(NKFTestWriter &)> &pfnDamage)
{
    NKFTestWriter w;
    AppendFileHeader(w);
    AppendResultsBlock(w, 1, 1, 1, 0, nullptr, kScalars, 3, 1);
    pfnDamage(w);
    return w.Data();
}

struct Case {
    const char *pszClass;
    // Writes the input and answers the command line that fails on it.
    std::function<std::string()> make;
    std::string cause;     // a line of the reader's own report, as it stands
    std::string last;      // the line that the file's line follows
    std::string fileLine;  // File "PATH". with its reason, if any
};

TEST_F(LoadFailureFiles, EveryFailedLoadEndsWithTheLineNamingItsFile)
{
    const std::string beam = "open \"" + NKTestExamplePath("beam.nkf") + "\"";
    auto open = [](const std::string &path) { return "open \"" + path + "\""; };
    auto named = [this](const std::string &name) { return "File \"" + Path(name) + "\"."; };
    const std::string kInit = "Error initializing interface.";
    const Case cases[] = {
        {"NKF identifier", [&] { return open(Beam("id.nkf", "%WITH_ID", "%BOGUS")); },
         "Block type : *NODES : Unknown Identifier found in block. ", kInit, named("id.nkf")},
        {"NKF dimensions", [&] { return open(Beam("dim.nkf", "%DIMENSION 1", "%DIMENSION 2")); },
         "Block type : *RESULTS : Wrong number of dimensions. Only 1 and 3 accepted ", kInit,
         named("dim.nkf")},
        {"NKF step number", [&] { return open(Beam("step.nkf", "%STEP 1\n", "%STEP 99999999\n")); },
         "Block type : *QUOLINSCALAR : Step number 99999999 out of range (1 to 1000000). ", kInit,
         named("step.nkf")},
        {"NKF block missing", [&] { return open(Beam("junk.nkf", "*NODES 1", "junk\n*NODES 1")); },
         "ERROR : Block Not Found ", kInit, named("junk.nkf")},
        {"NKF directive", [&] { return open(Beam("dir.nkf", "%STEP 1\n", "%BOGUS\n")); },
         "Block type : *QUOLINSCALAR : Illegal directive found. ", kInit, named("dir.nkf")},
        {"NKF geometry",
         [&] {
             return open(Beam("geo.nkf", "*QUOLINGEOMETRY 1\n%NAME \"Beam\"\n%ELEMENTS\n1\n", ""));
         },
         "No geometry block found in NKF file. Aborting.", kInit, named("geo.nkf")},
        {"binary NKF block type",
         [&] {
             NKFTestWriter w;
             AppendFileHeader(w);
             AppendUserBlock(w, 1, 0);
             AppendFramedBlock(w, 1501, 2, 0);
             return open(WriteBytes("type.nkf", w.Data()));
         },
         "Error parsing binary NKF file : Illegal block type found: 1501. Legal range: 1001 - "
         "1500 ",
         kInit, named("type.nkf")},
        {"binary NKF header size",
         [&] {
             return open(WriteBytes("head.nkf", BinaryResults([](NKFTestWriter &w) {
                                        w.PatchInt(16 + 8, 12);  // the block's header size
                                    })));
         },
         "Block type : *RESULTS : Illegal header size found. ", kInit, named("head.nkf")},
        {"binary NKF end marker",
         [&] {
             return open(WriteBytes("mark.nkf", BinaryResults([](NKFTestWriter &w) {
                                        w.PatchInt(w.Size() - 4, 5);  // the end marker
                                    })));
         },
         "Block type : *RESULTS : End of block marker not found at expected position. ", kInit,
         named("mark.nkf")},
        {"binary NKF item count",
         [&] {
             return open(WriteBytes("count.nkf", BinaryResults([](NKFTestWriter &w) {
                                        w.PatchInt(16 + 32, 4);  // the item count
                                    })));
         },
         "Block type : *RESULTS. ID = 1 : Item count does not fit the data size of the block.",
         kInit, named("count.nkf")},
        {"LS-DYNA unsupported",
         [&] {
             LSDynaTestWriter w;
             LSDynaWriteShellGeometry(&w);
             LSDynaWriteShellState(&w, 0.0);
             PatchWord(&w.bytes, NK_DW_NEL8, -1);
             EXPECT_TRUE(w.Save(Path("d3plot")));
             return "opendynastatedb \"" + Path("d3plot") + "\"";
         },
         "LS-DYNA database not supported: NEL8", kInit, named("d3plot")},
        {"reservoir element file",
         [&] {
             NKO3DFixture fixture = NKOutput3DFixture();
             for (auto &[ext, file] : fixture.binaries)
                 if (ext == "e00")
                     for (auto &event : file.events) event.clear();
             EXPECT_TRUE(NKOutput3DWriteFiles(m_Dir, fixture, false));
             return "openiesoutput3d \"" + Path("res.e00") + "\"";
         },
         "This step is not calculated yet.", "Error reading geometry.", named("res.e00")},
        {"native set",
         [&] { return "openresultsfile \"" + Write("bad.res", "0 0\nsteps\n") + "\""; }, kInit,
         kInit, named("bad.res")},
        {"native set pointing elsewhere",
         [&] {
             return "openresultsfile \"" + Write("far.res", "0 0\n0 0\nnone.geo Geometry\n") + "\"";
         },
         "Error opening geometry file " + Path("none.geo"), kInit, named("far.res")},
        {"volume file",
         [&] {
             EXPECT_EQ(ExecuteCommand(beam.c_str()), 0);
             return "readvolume \"" + Write("v.vol", "hexa8 3\n1 2 3\n") + "\"";
         },
         "Error reading volume geometry.", "Error reading volume geometry.",
         "File \"" + Path("v.vol") + "\": its element sections cannot be read."},
        {"time history",
         [&] {
             LSDynaTestWriter w;
             LSDynaWriteBrickHistory(&w, {0.0, 1.0});
             PatchWord(&w.bytes, 60, 1 << 28);  // the solid range count
             EXPECT_TRUE(w.Save(Path("d3thdt")));
             return "th open " + Path("d3thdt");
         },
         "Error reading NSTHB.", "Unable to open LS-DYNA Time history Database.", named("d3thdt")},
        {"time history missing", [&] { return "th open \"" + Path("no thdt") + "\""; },
         "Unable to open LS-DYNA Time history Database.", "Error reading LSDYNA file.",
         "File \"" + Path("no thdt") + "\": no such file."},
        {"geometry written",
         [&] {
             EXPECT_EQ(ExecuteCommand(beam.c_str()), 0);
             return "writegeometry \"" + Path("no/g.geo") + "\"";
         },
         "Error writing geometry file", "Error writing geometry file",
         "File \"" + Path("no/g.geo") + "\": its folder does not exist."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.pszClass);
        std::string line = c.make();
        MessageCapture capture;
        // The failure's report is its lines alone: no stray code of a
        // listing goes to the standard output besides.
        testing::internal::CaptureStdout();
        EXPECT_NE(ExecuteCommand(line.c_str()), 0) << line;
        EXPECT_EQ(testing::internal::GetCapturedStdout().find("Error"), std::string::npos);
        std::vector<std::string> errors;
        for (const CapturedLine &l : capture.Lines())
            if (l.iLevel == NK_MSG_ERROR) errors.push_back(l.text);
        EXPECT_TRUE(capture.HasLine(c.cause, NK_MSG_ERROR)) << capture.Text();
        // The file is named once, right after the failure's last line.
        int iNamed = 0;
        for (size_t i = 0; i < errors.size(); i++) {
            if (errors[i].compare(0, 6, "File \"") != 0) continue;
            iNamed++;
            EXPECT_EQ(errors[i], c.fileLine);
            EXPECT_TRUE(i > 0 && errors[i - 1] == c.last) << capture.Text();
        }
        EXPECT_EQ(iNamed, 1) << capture.Text();
        NKPlotSourceClose();
        NKCloseInterface();
    }
}

// A reader that names the file on a line of its own ("NKF file : ...", after
// the parse or for a file cut short) leaves nothing for the open to add.
TEST_F(LoadFailureFiles, AFileNamedByItsReaderIsNotNamedAgain)
{
    std::vector<uint8_t> cut = BinaryResults([](NKFTestWriter &) {});
    cut.resize(cut.size() - 6);
    const std::string paths[] = {
        Write("ref.nkf", "*NKF-1.00\n*RESULTS 1\n%DIMENSION 1\n%PER_NODE #1\n0\n"),
        WriteBytes("cut.nkf", cut)};
    for (const std::string &path : paths) {
        MessageCapture capture;
        EXPECT_NE(ExecuteCommand(("open \"" + path + "\"").c_str()), 0);
        EXPECT_TRUE(capture.HasLine("NKF file : " + path, NK_MSG_ERROR)) << capture.Text();
        EXPECT_TRUE(capture.HasLine("Error initializing interface.", NK_MSG_ERROR));
        EXPECT_FALSE(capture.Contains("File \"")) << capture.Text();
    }
}

}  // namespace
