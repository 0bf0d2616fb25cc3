// nkf/nkf_commands_plots.cpp -- the *QUOLINCOMMANDS and *2DPLOTSERIES
// blocks (layouts in nkf_commands_plots.h). The command block reads its
// lines through NKFBodyLines, which gives the reader's lines in an ASCII
// file and the lines of the block's text in a binary one, so that both
// forms go through the same two passes.
#include "nkf/nkf_commands_plots.h"

#include <cstring>
#include <new>
#include <vector>

#include "core/nk_memory.h"
#include "nkf/nkf_reader.h"
#include "nkf/nkf_stream.h"

static const int kCommandHeaderBytes = 8;
static const int kPlotHeaderBytes = 276;
// Series record bytes before the points: name, colour, point count.
static const int kSeriesHeadBytes = 80 + 12 + 4;
static const char *const kTooManySteps = "Too many steps in Geometry block";

// The lines of a block body: the reader's significant lines (ASCII form),
// or the lines of a text held in memory (binary form), where blank lines
// and lines starting with '#', '!' or ';' are passed over as the reader
// does and a trailing CR is removed.
class NKFBodyLines {
public:
    explicit NKFBodyLines(NKFReader *pReader) : m_pReader(pReader), m_pszText(nullptr), m_iLeft(0)
    {}
    NKFBodyLines(const char *pszText, int64_t iLength)
        : m_pReader(nullptr), m_pszText(pszText), m_iLeft(iLength)
    {}

    NKFLineKind Next(NKString *pLine)
    {
        if (m_pReader != nullptr) return NKFNextBodyLine(m_pReader, pLine);
        while (m_iLeft > 0) {
            const char *pEnd = (const char *)memchr(m_pszText, '\n', (size_t)m_iLeft);
            int64_t iLength = pEnd != nullptr ? pEnd - m_pszText : m_iLeft;
            const char *pLineText = m_pszText;
            m_pszText += iLength + (pEnd != nullptr ? 1 : 0);
            m_iLeft -= iLength + (pEnd != nullptr ? 1 : 0);
            if (iLength > 0 && pLineText[iLength - 1] == '\r') iLength--;
            pLine->Assign(pLineText, (int)iLength);
            char c = pLine->GetAt(0);
            if (pLine->IsBlank() || c == '#' || c == '!' || c == ';') continue;
            if (c == '*') return NKF_LINE_END;
            return c == '%' ? NKF_LINE_DIRECTIVE : NKF_LINE_VALUE;
        }
        return NKF_LINE_END;
    }

private:
    NKFReader *m_pReader;
    const char *m_pszText;
    int64_t m_iLeft;
};

// ---------------------------------------------------------------------------
// Command block

NKFQuolinCommandBlock::NKFQuolinCommandBlock(NKFReader *pReader, int iBlockID)
    : NKFSteppedBlock(pReader, iBlockID), m_piCommandsPerStep(nullptr), m_ppCommands(nullptr),
      m_bStartup(0)
{
    m_iBlockType = NKF_QUOLINCOMMANDS;
}

NKFQuolinCommandBlock::~NKFQuolinCommandBlock()
{
    FreeData();
    NKFree(m_piCommandsPerStep);
}

void NKFQuolinCommandBlock::FreeData()
{
    if (m_ppCommands != nullptr) {
        for (int i = 0; i < m_iNumSteps; i++) delete[] m_ppCommands[i];
        NKFree(m_ppCommands);
        m_ppCommands = nullptr;
    }
    m_Steps.Free();
    m_bDataLoaded = false;
}

int NKFQuolinCommandBlock::GetNumCommands(int i) const
{
    if (m_piCommandsPerStep == nullptr || i < 0 || i >= m_iNumSteps) return 0;
    return m_piCommandsPerStep[i];
}

NKString NKFQuolinCommandBlock::GetCommand(int i, int k) const
{
    if (m_ppCommands == nullptr || k < 0 || k >= GetNumCommands(i)) return NKString("");
    return m_ppCommands[i][k];
}

// Binary form: the block's text follows the header record; its length is
// the data size, checked against the bytes left in the file before the
// buffer is allocated.
bool NKFQuolinCommandBlock::ReadBinaryText(char **ppszText, int64_t *piLength)
{
    *ppszText = nullptr;
    *piLength = m_iDataSize;
    if (m_iDataSize < 0 || m_iDataSize > m_pReader->BytesLeft()) {
        ReportMissingEnd();
        return false;
    }
    *ppszText = (char *)NKAlloc((size_t)m_iDataSize + 1);
    if (*ppszText == nullptr) return ReportFailure("Error allocating memory");
    if (!m_pReader->ReadBytes(*ppszText, m_iDataSize)) {
        ReportMissingEnd();
        return false;
    }
    (*ppszText)[m_iDataSize] = 0;
    return true;
}

// Runs one pass over the block's lines in either form. The binary header
// is read (first pass) or skipped (second pass) before the text.
bool NKFQuolinCommandBlock::WithLines(bool bLoad)
{
    if (m_pReader->IsAscii()) {
        NKFBodyLines lines(m_pReader);
        return bLoad ? LoadLines(&lines) : ParseLines(&lines);
    }
    if (bLoad) {
        if (!SkipHeaderDirectives()) return false;
    } else {
        int32_t iHeaderSize = 0, iDataSize = 0;
        if (!ReadHeaderSizes(kCommandHeaderBytes, &iHeaderSize, &iDataSize) ||
            !SkipHeaderRest(iHeaderSize, kCommandHeaderBytes))
            return false;
    }
    char *pszText = nullptr;
    int64_t iLength = 0;
    bool bOk = ReadBinaryText(&pszText, &iLength);
    if (bOk) {
        NKFBodyLines lines(pszText, iLength);
        bOk = bLoad ? LoadLines(&lines) : ParseLines(&lines);
    }
    NKFree(pszText);
    if (bOk && !bLoad) bOk = CheckEndOfBlock(0);
    return bOk;
}

bool NKFQuolinCommandBlock::ParseBlock()
{
    if (!GetPosition() || !WithLines(false)) return false;
    m_bHeaderParsed = true;
    return true;
}

// Replaces *ppiOut by a copy of the first n counts of a first pass's table
// (grown with zeros to n); false, with the block error "Error Allocation
// memory", when memory runs out.
static bool StoreCounts(NKFBlock *pBlock, std::vector<int32_t> *pCounts, int n, int32_t **ppiOut)
{
    pCounts->resize((size_t)n, 0);
    NKFree(*ppiOut);
    *ppiOut = (int32_t *)NKAlloc((size_t)n * sizeof(int32_t));
    if (*ppiOut == nullptr) {
        pBlock->ReportError(NKString(""), NKString("Error Allocation memory"));
        return false;
    }
    memcpy(*ppiOut, pCounts->data(), (size_t)n * sizeof(int32_t));
    return true;
}

bool NKFQuolinCommandBlock::ParseLines(NKFBodyLines *pLines)
{
    std::vector<int32_t> counts;  // values per step
    NKFStepCounter counter(NKF_STEPS_EACH_LINE);
    bool bOk = true;
    NKString line;
    for (NKFLineKind eKind; bOk && (eKind = pLines->Next(&line)) != NKF_LINE_END;) {
        if (eKind == NKF_LINE_VALUE) {
            counter.OnValueLine();
            NKFGrowCount(&counts, (size_t)counter.GetCurrent())++;
            continue;
        }
        NKString word = NKFDirectiveWord(line);
        if (word == "%STARTUP") {
            m_bStartup = 1;
        } else if (word == "%NAME") {
            m_Name = ReadQuoted(line);
        } else if (word == "%STEP") {
            if (!NKFCountStepLine(this, line, &counter, kTooManySteps)) bOk = false;
        } else if (word != "%STEPNAME" && word != "%STEPTIME") {
            ReportLineError(NKString(""), NKString("Illegal directive found."));
            bOk = false;
        }
    }
    if (bOk) {
        m_iNumSteps = counter.GetNumSteps();
        bOk = StoreCounts(this, &counts, m_iNumSteps, &m_piCommandsPerStep);
    }
    return bOk;
}

bool NKFQuolinCommandBlock::LoadData()
{
    return LoadAfterSeek([this] { return WithLines(true); }, "Block not parsed.");
}

bool NKFQuolinCommandBlock::LoadLines(NKFBodyLines *pLines)
{
    m_ppCommands = (NKString **)NKCalloc((size_t)m_iNumSteps, sizeof(NKString *));
    bool bOk = m_ppCommands != nullptr && m_Steps.Allocate(m_iNumSteps);
    for (int i = 0; bOk && i < m_iNumSteps; i++) {
        if (m_piCommandsPerStep[i] == 0) continue;
        m_ppCommands[i] = new (std::nothrow) NKString[m_piCommandsPerStep[i]];
        bOk = m_ppCommands[i] != nullptr;
    }
    if (!bOk) return ReportFailure("Error allocating memory");
    NKFStepCounter counter(NKF_STEPS_EACH_LINE);
    int iCommand = 0;
    NKString line;
    for (NKFLineKind eKind; (eKind = pLines->Next(&line)) != NKF_LINE_END;) {
        int s = counter.GetCurrent();
        if (eKind == NKF_LINE_VALUE) {
            counter.OnValueLine();
            if (iCommand < m_piCommandsPerStep[s]) m_ppCommands[s][iCommand++] = line;
            continue;
        }
        NKFStepLine eStep =
            m_Steps.ApplyDirective(NKFDirectiveWord(line), line, &counter, m_iNumSteps);
        if (eStep == NKF_STEP_PAST_END) break;
        if (eStep == NKF_STEP_OPENED) iCommand = 0;
    }
    if (counter.GetNumSteps() != m_iNumSteps) return ReportReadFailure();
    return true;
}

// ---------------------------------------------------------------------------
// Plot-series block: life and queries

NKF2DPlotSeriesBlock::NKF2DPlotSeriesBlock(NKFReader *pReader, int iBlockID)
    : NKFBlock(pReader, iBlockID), m_iNumSeries(0), name(""), m_piPointsPerSeries(nullptr),
      m_ppfPoints(nullptr), m_pSeriesNames(nullptr), m_pfSeriesColors(nullptr), m_XAxisName(""),
      m_YAxisName(""), m_afAxis{0, 0, 0, 0, 0, 0}, m_abNotGiven{1, 1, 1, 1, 1, 1}
{
    m_iBlockType = NKF_2DPLOTSERIES;
}

NKF2DPlotSeriesBlock::~NKF2DPlotSeriesBlock()
{
    FreeData();
    NKFree(m_piPointsPerSeries);
}

void NKF2DPlotSeriesBlock::FreeData()
{
    NKFreeBlockArray((void **)m_ppfPoints, m_iNumSeries);
    m_ppfPoints = nullptr;
    delete[] m_pSeriesNames;
    m_pSeriesNames = nullptr;
    NKFree(m_pfSeriesColors);
    m_pfSeriesColors = nullptr;
    m_bDataLoaded = false;
}

int NKF2DPlotSeriesBlock::GetNumPoints(int iSeries) const
{
    if (m_piPointsPerSeries == nullptr || iSeries < 0 || iSeries >= m_iNumSeries) return 0;
    return m_piPointsPerSeries[iSeries];
}

float *NKF2DPlotSeriesBlock::GetPoints(int iSeries) const
{
    if (m_ppfPoints == nullptr || iSeries < 0 || iSeries >= m_iNumSeries) return nullptr;
    return m_ppfPoints[iSeries];
}

NKString NKF2DPlotSeriesBlock::GetSeriesName(int iSeries) const
{
    if (m_pSeriesNames == nullptr || iSeries < 0 || iSeries >= m_iNumSeries) return NKString("");
    return m_pSeriesNames[iSeries];
}

const float *NKF2DPlotSeriesBlock::GetSeriesColor(int iSeries) const
{
    if (m_pfSeriesColors == nullptr || iSeries < 0 || iSeries >= m_iNumSeries) return nullptr;
    return m_pfSeriesColors + (int64_t)iSeries * 3;
}

float NKF2DPlotSeriesBlock::GetAxisValue(int iWhich) const
{
    return iWhich >= 0 && iWhich < 6 ? m_afAxis[iWhich] : 0.0f;
}

bool NKF2DPlotSeriesBlock::IsAxisValueMissing(int iWhich) const
{
    return iWhich < 0 || iWhich >= 6 || m_abNotGiven[iWhich] != 0;
}

// ---------------------------------------------------------------------------
// Plot-series block: first pass

bool NKF2DPlotSeriesBlock::ParseBlock()
{
    return ParseByForm([this] { return ParseAscii(); }, [this] { return ParseBinary(); });
}

static int AxisDirectiveIndex(const NKString &word)
{
    static const char *const apszAxis[6] = {"%XAXIS_MIN", "%XAXIS_MAX", "%XAXIS_UNIT",
                                            "%YAXIS_MIN", "%YAXIS_MAX", "%YAXIS_UNIT"};
    for (int i = 0; i < 6; i++) {
        if (word == apszAxis[i]) return i;
    }
    return -1;
}

bool NKF2DPlotSeriesBlock::ParseDirective(const NKString &line, NKFStepCounter *pCounter)
{
    NKString word = NKFDirectiveWord(line);
    int iAxis = AxisDirectiveIndex(word);
    if (iAxis >= 0) {
        m_afAxis[iAxis] = NKFDirectiveFloat(line);
        m_abNotGiven[iAxis] = 0;
    } else if (word == "%NAME") {
        name = ReadQuoted(line);
    } else if (word == "%XAXIS_NAME") {
        m_XAxisName = ReadQuoted(line);
    } else if (word == "%YAXIS_NAME") {
        m_YAxisName = ReadQuoted(line);
    } else if (word == "%SERIES") {
        if (pCounter->OnStepLine() && pCounter->GetNumSteps() > NKF_MAX_STEPS) {
            ReportLineError(NKString(""), NKString(kTooManySteps));
            return false;
        }
    } else if (word != "%SERIES_NAME" && word != "%SERIES_COLOR") {
        ReportLineError(NKString(""), NKString("Illegal directive found."));
        return false;
    }
    return true;
}

bool NKF2DPlotSeriesBlock::ParseAscii()
{
    std::vector<int32_t> counts;  // values per step
    NKFStepCounter counter(NKF_STEPS_AFTER_FIRST_VALUE);
    bool bOk = true;
    NKString line;
    for (NKFLineKind eKind; bOk && (eKind = NKFNextBodyLine(m_pReader, &line)) != NKF_LINE_END;) {
        if (eKind == NKF_LINE_DIRECTIVE) {
            bOk = ParseDirective(line, &counter);
        } else if (line.CountWords() != 2) {
            ReportLineError(NKString(""),
                            NKString("2 values (x y) must be specified on each line."));
            bOk = false;
        } else {
            counter.OnValueLine();
            NKFGrowCount(&counts, (size_t)counter.GetCurrent())++;
        }
    }
    if (bOk) {
        m_iNumSeries = counter.GetNumSteps();
        bOk = StoreCounts(this, &counts, m_iNumSeries, &m_piPointsPerSeries);
    }
    return bOk;
}

bool NKF2DPlotSeriesBlock::ParseBinary()
{
    int32_t iHeaderSize = 0, iDataSize = 0;
    if (!ReadHeaderSizes(kPlotHeaderBytes, &iHeaderSize, &iDataSize)) return false;
    NKString readName, xName, yName;
    float afAxis[6];
    int32_t iNumSeries = 0;
    if (!NKFReadText80(m_pReader, &readName, true) || !NKFReadText80(m_pReader, &xName, true) ||
        !NKFReadText80(m_pReader, &yName, true) || !m_pReader->ReadFloats(afAxis, 6) ||
        !m_pReader->ReadInts(&iNumSeries, 1)) {
        ReportMissingEnd();
        return false;
    }
    if (!SkipHeaderRest(iHeaderSize, kPlotHeaderBytes)) return false;
    name = readName;
    m_XAxisName = xName;
    m_YAxisName = yName;
    memcpy(m_afAxis, afAxis, sizeof afAxis);
    if (!CheckItemBytes(iNumSeries, kSeriesHeadBytes)) return false;
    m_iNumSeries = iNumSeries;
    if (!CheckEndOfBlock(iDataSize)) return false;
    NKFree(m_piPointsPerSeries);
    m_piPointsPerSeries = nullptr;
    if (m_iNumSeries == 0) return true;
    m_piPointsPerSeries = (int32_t *)NKCalloc((size_t)m_iNumSeries, sizeof(int32_t));
    if (m_piPointsPerSeries == nullptr) return ReportFailure("Error Allocation memory");
    return true;
}

// ---------------------------------------------------------------------------
// Plot-series block: second pass

bool NKF2DPlotSeriesBlock::AllocateSeries()
{
    if (m_iNumSeries == 0) return true;
    m_ppfPoints = (float **)NKCalloc((size_t)m_iNumSeries, sizeof(float *));
    m_pSeriesNames = new (std::nothrow) NKString[m_iNumSeries];
    m_pfSeriesColors = (float *)NKCalloc((size_t)m_iNumSeries * 3, sizeof(float));
    if (m_ppfPoints == nullptr || m_pSeriesNames == nullptr || m_pfSeriesColors == nullptr)
        return ReportFailure("Error allocating memory");
    for (int i = 0; i < m_iNumSeries; i++) m_pSeriesNames[i] = "";
    return true;
}

bool NKF2DPlotSeriesBlock::LoadData()
{
    return LoadAfterSeek(
        [this] { return AllocateSeries() && (m_pReader->IsAscii() ? LoadAscii() : LoadBinary()); },
        "Block not parsed.");
}

bool NKF2DPlotSeriesBlock::LoadAscii()
{
    for (int i = 0; i < m_iNumSeries; i++) {
        if (m_piPointsPerSeries[i] == 0) continue;
        m_ppfPoints[i] = (float *)NKCalloc((size_t)m_piPointsPerSeries[i] * 2, sizeof(float));
        if (m_ppfPoints[i] == nullptr) return ReportFailure("Error allocating memory");
    }
    NKFStepCounter counter(NKF_STEPS_AFTER_FIRST_VALUE);
    int iPoint = 0;
    NKString line;
    for (NKFLineKind eKind; (eKind = NKFNextBodyLine(m_pReader, &line)) != NKF_LINE_END;) {
        int s = counter.GetCurrent();
        const char *p = line.GetText();
        if (eKind == NKF_LINE_VALUE) {
            counter.OnValueLine();
            if (iPoint >= m_piPointsPerSeries[s]) continue;
            NKFScanFloat(&p, &m_ppfPoints[s][iPoint * 2]);
            NKFScanFloat(&p, &m_ppfPoints[s][iPoint * 2 + 1]);
            iPoint++;
            continue;
        }
        NKString word = NKFDirectiveWord(line);
        if (word == "%SERIES") {
            if (counter.OnStepLine()) iPoint = 0;
            if (counter.GetCurrent() >= m_iNumSeries) break;
        } else if (word == "%SERIES_NAME") {
            m_pSeriesNames[s] = ReadQuoted(line);
        } else if (word == "%SERIES_COLOR") {
            NKString scan(line);
            for (int k = 0; k < 3; k++)
                m_pfSeriesColors[s * 3 + k] =
                    NKFDoubleToFloat(NKFWordToDouble(scan.GetWord(k + 1).GetText()));
        }
    }
    if (counter.GetNumSteps() != m_iNumSeries) return ReportReadFailure();
    return true;
}

// One series record; its point count is checked against the bytes left in
// the block's data before the points are allocated.
bool NKF2DPlotSeriesBlock::LoadBinarySeries(int i, int64_t *piBytesLeft)
{
    int32_t iCount = 0;
    bool bRead = NKFReadText80(m_pReader, &m_pSeriesNames[i], false) &&
                 m_pReader->ReadFloats(m_pfSeriesColors + (int64_t)i * 3, 3) &&
                 m_pReader->ReadInts(&iCount, 1);
    *piBytesLeft -= kSeriesHeadBytes;
    if (!bRead || iCount < 0 || (int64_t)iCount * 8 > *piBytesLeft)
        return ReportFailure("Item count does not fit the data size of the block.");
    *piBytesLeft -= (int64_t)iCount * 8;
    m_piPointsPerSeries[i] = iCount;
    if (iCount == 0) return true;
    m_ppfPoints[i] = (float *)NKAlloc((size_t)iCount * 2 * sizeof(float));
    if (m_ppfPoints[i] == nullptr) return ReportFailure("Error allocating memory");
    if (!m_pReader->ReadFloats(m_ppfPoints[i], (int64_t)iCount * 2)) return ReportReadFailure();
    return true;
}

bool NKF2DPlotSeriesBlock::LoadBinary()
{
    if (!SkipHeaderDirectives()) return false;
    int64_t iBytesLeft = m_iDataSize;
    for (int i = 0; i < m_iNumSeries; i++) {
        if (!LoadBinarySeries(i, &iBytesLeft)) return false;
    }
    return true;
}
