// tests/nkf/test_nkf_truncated.cpp -- files cut short fail as errors of the
// block the file ends inside, naming that block and the file: the example
// models in binary cut at every byte, in ASCII cut inside a line of every
// block, the edges of the ASCII line end, and the open commands end to end,
// which keep the model opened before.
//
// A binary block carries its sizes and an end marker, so a cut anywhere
// inside one shows; a cut right after a whole block leaves a complete file
// by the format. An ASCII block has neither count nor end line: a cut shows
// by the last line, which then has no line end, when that line cannot be
// read whole (a row short of its values, a quoted text left open, a block
// line with nothing after it, results short of their node count). A last
// line without a line end that reads whole is taken as an editor saved it
// (with a warning naming the file). A cut right after a line end leaves a
// shorter file of whole lines that no reader can tell apart from one
// written that way, and is not looked for here.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "nkf/nkf_import.h"
#include "nkf/nkf_parser.h"
#include "readers/nk_data_source.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/nkf/nkf_open_fixture.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nkf_example_models.h"
#include "tests/test_support/nkf_example_twins.h"
#include "tests/test_support/nkf_test_writer.h"
#include "tests/test_support/test_files.h"

namespace {

const char kBinaryCut[] = "The file ends inside this block: the file is cut short.";
const char kAsciiCut[] =
    "The file ends inside this block: its last line has no line end, the file is cut short.";
const char kAsciiUnended[] =
    "The last line of the file has no line end; it is read as it stands.\nNKF file : ";

// One block of a binary file: where its code word starts, where the byte
// after its end marker lies, its keyword and ID.
struct BinaryBlock {
    size_t iStart, iEnd;
    std::string keyword;
    int32_t iID;
};

int32_t WordAt(const NKFTestWriter &w, size_t iOffset)
{
    const uint8_t *p = w.Data().data() + iOffset;
    uint32_t u = w.IsBigEndian()
                     ? (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3]
                     : (uint32_t)p[3] << 24 | (uint32_t)p[2] << 16 | (uint32_t)p[1] << 8 | p[0];
    return (int32_t)u;
}

// The blocks of a whole binary file, by their framing words.
std::vector<BinaryBlock> BinaryBlocks(const NKFTestWriter &w)
{
    std::vector<BinaryBlock> blocks;
    for (size_t i = 16; i + 16 <= w.Size();) {
        BinaryBlock b;
        b.iStart = i;
        b.keyword = NKFBlockKeyword(WordAt(w, i) - 1001);
        b.iID = WordAt(w, i + 4);
        b.iEnd = i + 8 + (size_t)WordAt(w, i + 8) + (size_t)WordAt(w, i + 12) + 4;
        blocks.push_back(b);
        i = b.iEnd;
    }
    return blocks;
}

// What a cut at byte n of the block reports.
std::string BinaryCutReport(const BinaryBlock &b, size_t n, const std::string &path)
{
    if (n < b.iStart + 4)
        return "ERROR : The file ends inside a block: the file is cut short.\nNKF file : " + path;
    std::string title = "Block type : " + b.keyword;
    if (n >= b.iStart + 8) title += ". ID = " + std::to_string(b.iID);
    return title + " : " + kBinaryCut + "\nNKF file : " + path;
}

// Parses the first n bytes of the text or of the binary file.
bool ParseCut(const std::string &path, const void *pData, size_t n)
{
    if (!NKTestWriteBytes(path, pData, n)) return false;
    NKFParser parser(NKString(path.c_str()));
    return parser.Parse();
}

// A line of an ASCII text: where it starts, its length and the block it
// belongs to (the keyword and ID of the last block line before it).
struct TextLine {
    size_t iStart, iLength;
    std::string keyword;
    std::string id;
    bool bBlockLine;
};

std::vector<TextLine> TextLines(const std::string &text)
{
    std::vector<TextLine> lines;
    std::string keyword, id;
    for (size_t i = 0; i < text.size();) {
        size_t iEnd = text.find('\n', i);
        std::string line = text.substr(i, iEnd - i);
        bool bBlock = line[0] == '*' && line.compare(0, 5, "*NKF-") != 0;
        if (bBlock) {
            size_t iBlank = line.find(' ');
            keyword = line.substr(0, iBlank);
            id = line.substr(iBlank + 1);
        }
        lines.push_back({i, line.size(), keyword, id, bBlock});
        i = iEnd + 1;
    }
    return lines;
}

}  // namespace

// Every byte of the beam and the plate in binary after the file header (a
// header alone holds no block), in both byte orders:
// only a cut right after a whole block parses; every other cut is reported
// for the block it falls in, with the file's name.
TEST(NKFTruncated, BinaryExamplesCutAtEveryByte)
{
    struct Model {
        const char *pszName;
        std::string text;
    } models[] = {{"beam", NKFBeamExampleText()}, {"plate", NKFPlateExampleText()}};
    MessageCapture capture;
    std::string path = NKFTestPath("cut_binary.nkf");
    for (const Model &m : models) {
        for (bool bBig : {false, true}) {
            NKFTestWriter w = NKFExampleBinaryTwin(m.text, bBig);
            std::vector<BinaryBlock> blocks = BinaryBlocks(w);
            ASSERT_GE(blocks.size(), 5u) << m.pszName;
            ASSERT_EQ(blocks.back().iEnd, w.Size()) << m.pszName;
            // Cut from the end down: one write, then the file is shortened.
            ASSERT_TRUE(NKTestWriteBytes(path, w.Data()));
            size_t iBlock = blocks.size() - 1;
            for (size_t n = w.Size() - 1; n >= 17; n--) {
                while (n < blocks[iBlock].iStart) iBlock--;
                const BinaryBlock &b = blocks[iBlock];
                SCOPED_TRACE(std::string(m.pszName) + (bBig ? " big-endian" : "") + " cut at " +
                             std::to_string(n) + " in " + b.keyword + " " + std::to_string(b.iID));
                capture.Clear();
                std::filesystem::resize_file(path, n);
                NKFParser parser(NKString(path.c_str()));
                bool bParsed = parser.Parse();
                if (n == b.iStart) {
                    EXPECT_TRUE(bParsed) << capture.Text();
                    continue;
                }
                ASSERT_FALSE(bParsed);
                ASSERT_TRUE(capture.Contains(BinaryCutReport(b, n, path))) << capture.Text();
            }
        }
    }
}

// The beam and the plate in ASCII, cut inside the first, the middle and the
// last line of every block (after the first character of a line of one):
// each cut is an error of that block naming the file, or, where what is
// left reads whole (a directive cut before its value), a parse with the
// warning that names the file; never a parse without a word.
TEST(NKFTruncated, AsciiExamplesCutInsideALineOfEveryBlock)
{
    MessageCapture capture;
    std::string path = NKFTestPath("cut_ascii.nkf");
    int iCuts = 0, iReadWhole = 0;
    for (const std::string &text : {NKFBeamExampleText(), NKFPlateExampleText()}) {
        std::vector<TextLine> lines = TextLines(text);
        for (size_t k = 0; k < lines.size(); k++) {
            if (lines[k].bBlockLine || lines[k].keyword.empty()) continue;
            bool bFirst = lines[k - 1].bBlockLine;
            bool bLast = k + 1 == lines.size() || lines[k + 1].bBlockLine;
            // The middle line of the block.
            size_t iBlockLine = k;
            while (!lines[iBlockLine].bBlockLine) iBlockLine--;
            size_t iNext = k;
            while (iNext < lines.size() && (iNext == k || !lines[iNext].bBlockLine)) iNext++;
            bool bMiddle = k == (iBlockLine + iNext) / 2;
            if (!bFirst && !bLast && !bMiddle) continue;
            const TextLine &line = lines[k];
            size_t n = line.iStart + (line.iLength > 1 ? line.iLength / 2 : 1);
            SCOPED_TRACE("cut at " + std::to_string(n) + " in " + line.keyword + " " + line.id +
                         ": \"" + text.substr(line.iStart, n - line.iStart) + "\"");
            capture.Clear();
            if (ParseCut(path, text.data(), n)) {
                EXPECT_TRUE(capture.Contains(std::string(kAsciiUnended) + path)) << capture.Text();
                iReadWhole++;
                continue;
            }
            EXPECT_TRUE(capture.Contains("Block type : " + line.keyword + ". ID = " + line.id +
                                         " : " + kAsciiCut + "\nNKF file : " + path))
                << capture.Text();
            iCuts++;
        }
    }
    EXPECT_GT(iCuts, 60);
    // About a third of the cuts fall between the digits of a number or
    // after a directive word and read whole; the rest are refused.
    EXPECT_GT(iReadWhole, 0);
}

// Where the last line stands decides: a comment or blank line without a
// line end leaves the file whole; a row or text line that reads whole is
// read with the warning; a block line, a quoted text left open or an
// unknown block's line without one is a cut, of that block or of the file.
TEST(NKFTruncated, AsciiLastLineEdges)
{
    const std::string nodes = "*NKF-1.00\n*NODES 1\n0 0 0\n1 0 0\n";
    std::string path = NKFTestPath("cut_edges.nkf");
    const std::string fileCut = "ERROR : The file ends inside a block: its last line has no line "
                                "end, the file is cut short.\nNKF file : " +
                                path;
    struct Case {
        std::string text;
        bool bParsed;
        std::string report;  // "" when none is looked for
    } cases[] = {
        {nodes, true, ""},
        {nodes + "# a comment", true, ""},
        {nodes + "   \t", true, ""},
        {nodes + "0 1 1", true, kAsciiUnended + path},
        {nodes + "0 1", false, std::string("Block type : *NODES. ID = 1 : ") + kAsciiCut},
        {nodes + "*ELEMENTS 1\n%NAME \"Be", false,
         std::string("Block type : *ELEMENTS. ID = 1 : ") + kAsciiCut},
        {nodes + "*RESULTS 2", false, std::string("Block type : *RESULTS. ID = 2 : ") + kAsciiCut},
        {nodes + "*RESU", false, fileCut},
        {nodes + "*USER 4\nsome text", true, kAsciiUnended + path},
        {nodes + "*UNKNOWN", false, fileCut},
    };
    MessageCapture capture;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        capture.Clear();
        EXPECT_EQ(ParseCut(path, c.text.data(), c.text.size()), c.bParsed) << capture.Text();
        if (!c.report.empty()) {
            EXPECT_TRUE(capture.Contains(c.report)) << capture.Text();
        }
        if (c.bParsed) {
            EXPECT_FALSE(capture.Contains("cut short")) << capture.Text();
        }
    }
}

namespace {

// The beam opened through the open commands.
class NKFTruncatedOpen : public NKFOpenTest {
protected:
    // The beam is the model, fed by its file, which still reads a state (a
    // source opened again may hand out its geometry anew: *ppBeam follows).
    void ExpectTheBeamWithItsSource(NKGeometry **ppBeam)
    {
        ASSERT_EQ(g_pModel->iNumFrames, 1);
        EXPECT_EQ(g_pModel->pFrames[0].pGeometry, *ppBeam);
        EXPECT_EQ(NKGetInterfaceType(), NK_INTERFACE_NKF);
        NKString name;
        NKGetInterfaceFileName(&name);
        EXPECT_EQ(std::string(name.GetText()), NKTestExamplePath("beam.nkf"));
        EXPECT_GT(NKGetInterfaceNumSteps(), 1);
        const int iNodes = (*ppBeam)->iTotalNumNodes;
        EXPECT_EQ(Run("readstate 2"), 0) << m_Capture.Text();
        EXPECT_EQ(NKGetCurrentStep(), 1);
        *ppBeam = g_pModel->pFrames[0].pGeometry;
        ASSERT_NE(*ppBeam, nullptr);
        EXPECT_EQ((*ppBeam)->iTotalNumNodes, iNodes);
    }
};

}  // namespace

// The beam's first 6000 bytes end inside a value line of *RESULTS 2. Both
// open commands refuse the file with that block's error naming it, print no
// "opened" line, and the beam opened before stays the model.
TEST_F(NKFTruncatedOpen, CutFileFailsAndKeepsTheModel)
{
    ASSERT_EQ(Run("open \"" + NKTestExamplePath("beam.nkf") + "\""), 0);
    NKGeometry *pBeam = g_pModel->pFrames[0].pGeometry;
    std::string text = NKTestReadFile(NKTestExamplePath("beam.nkf"));
    ASSERT_GT(text.size(), 6000u);
    std::string ascii = m_Dir + "/t.nkf";
    ASSERT_TRUE(NKTestWriteBytes(ascii, text.data(), 6000));
    NKFTestWriter w = NKFExampleBinaryTwin(text, false);
    std::string binary = m_Dir + "/b.nkf";
    ASSERT_TRUE(NKTestWriteBytes(binary, w.Data().data(), w.Size() * 2 / 3));
    struct Case {
        std::string command;
        std::string path;
        std::string report;
    } cases[] = {
        {"opennkffile", ascii, std::string("Block type : *RESULTS. ID = 2 : ") + kAsciiCut},
        {"open", ascii, std::string("Block type : *RESULTS. ID = 2 : ") + kAsciiCut},
        {"opennkffile", binary, std::string("Block type : *RESULTS. ID = 22 : ") + kBinaryCut},
        {"open", binary, std::string("Block type : *RESULTS. ID = 22 : ") + kBinaryCut},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.command + " " + c.path);
        m_Capture.Clear();
        EXPECT_EQ(Run(c.command + " \"" + c.path + "\""), 1);
        EXPECT_TRUE(m_Capture.Contains(c.report + "\nNKF file : " + c.path)) << m_Capture.Text();
        EXPECT_FALSE(m_Capture.Contains("opened")) << m_Capture.Text();
        ExpectTheBeamWithItsSource(&pBeam);
    }
}

// Files that fail before or at the geometry of their first state, through
// the type-detecting open and the NKF open: the beam stays the model, its
// file stays its open source (no "Closing NKF file."), and its states are
// still read.
TEST_F(NKFTruncatedOpen, EveryFailedOpenKeepsTheModelAndItsSource)
{
    ASSERT_EQ(Run("open \"" + NKTestExamplePath("beam.nkf") + "\""), 0);
    NKGeometry *pBeam = g_pModel->pFrames[0].pGeometry;
    const struct {
        const char *pszName, *pszText, *pszReport;
    } cases[] = {
        {"notes.txt", "These are notes, not a model.\n",
         "Unable to auto-detect primary file type."},
        {"empty.nkf", "", "Unable to auto-detect primary file type."},
        {"nodes.nkf", "*NKF-1.00\n*NODES 1\n0 0 0\n1 0 0\n", "Error initializing interface."},
        {"gone.nkf", nullptr, "Unable to open file for reading: "},
    };
    for (const auto &c : cases) {
        const std::string path = m_Dir + "/" + c.pszName;
        if (c.pszText != nullptr) {
            ASSERT_TRUE(NKTestWriteText(path, c.pszText));
        }
        for (const char *pszCommand : {"open", "opennkffile"}) {
            SCOPED_TRACE(std::string(pszCommand) + " " + c.pszName);
            m_Capture.Clear();
            EXPECT_EQ(Run(std::string(pszCommand) + " \"" + path + "\""), 1);
            // The NKF open reports every file it cannot read alike.
            const bool bDetecting = std::string(pszCommand) == "open";
            EXPECT_TRUE(
                m_Capture.Contains(bDetecting ? c.pszReport : "Error initializing interface."))
                << m_Capture.Text();
            EXPECT_FALSE(m_Capture.Contains("Closing NKF file.")) << m_Capture.Text();
            ExpectTheBeamWithItsSource(&pBeam);
        }
    }
}
