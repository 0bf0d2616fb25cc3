// nkf/nkf_material.cpp -- the *MATERIALS and *DESCRIPTION blocks (declared
// in nkf_nodes.h). Both are read entirely by their parse: a material is a
// handful of directive lines, a description the text between "%BEGIN" and
// "%END". Their LoadData only passes over the lines again. Both write
// themselves back in the ASCII form. They exist in the ASCII form only; in a
// binary file they are skipped by their framing.
#include <cstdlib>

#include "nkf/nkf_nodes.h"
#include "nkf/nkf_reader.h"
#include "nkf/nkf_stream.h"

// ---------------------------------------------------------------------------
// *MATERIALS

NKFMaterialBlock::NKFMaterialBlock(NKFReader *pReader, int iBlockID)
    : NKFBlock(pReader, iBlockID), m_afAmbient{0.2f, 0.2f, 0.2f}, m_afDiffuse{0.8f, 0.8f, 0.8f},
      m_afSpecular{0.0f, 0.0f, 0.0f}, m_afEmissive{0.0f, 0.0f, 0.0f}, m_fShininess(0.0f),
      m_fAlpha(1.0f)
{
    m_iBlockType = NKF_MATERIALS;
}

NKFMaterialBlock::~NKFMaterialBlock() {}

// Reads the numbers after the first word of a line into pfValues.
static void ReadDirectiveValues(const NKString &line, float *pfValues, int iCount)
{
    const char *p = line.GetText(), *pStart, *pEnd;
    NKFNextWord(&p, &pStart, &pEnd);  // the directive itself
    for (int i = 0; i < iCount && NKFNextWord(&p, &pStart, &pEnd); i++) {
        pfValues[i] = NKFDoubleToFloat(NKFWordToDouble(pStart));
    }
}

// One line of the block. Every message says "Not 3 parameters", also for the
// one-value directives: scripts may match these texts.
bool NKFMaterialBlock::ParseDirective(const NKString &line, const NKString &word)
{
    static const char *const apszColors[4] = {"%AMBIENT", "%DIFFUSE", "%SPECULAR", "%EMISSIVE"};
    float *apfColors[4] = {m_afAmbient, m_afDiffuse, m_afSpecular, m_afEmissive};
    int iWords = NKFCountLineWords(line.GetText());
    for (int k = 0; k < 4; k++) {
        if (word != apszColors[k]) continue;
        if (iWords != 4) {
            ReportLineError(NKString(""),
                            NKString::FromFormat("Not 3 parameters to %s section", apszColors[k]));
            return false;
        }
        ReadDirectiveValues(line, apfColors[k], 3);
        return true;
    }
    float *pfValue = word == "%SHININESS" ? &m_fShininess : word == "%ALPHA" ? &m_fAlpha : nullptr;
    if (pfValue == nullptr) {
        ReportLineError(NKString(""), NKString("Unknown Identifier found in block."));
        return false;
    }
    if (iWords != 2) {
        ReportLineError(NKString(""),
                        NKString::FromFormat("Not 3 parameters to %s section", word.GetText()));
        return false;
    }
    ReadDirectiveValues(line, pfValue, 1);
    return true;
}

bool NKFMaterialBlock::ParseBlock()
{
    return ParseByForm([this] { return ParseAscii(); },
                       [this] { return NKFSkipBinaryFraming(this); });
}

bool NKFMaterialBlock::ParseAscii()
{
    while (const NKString *pLine = NextBlockLine()) {
        const NKString &line = *pLine;
        if (!ParseDirective(line, NKFLineFirstWord(line.GetText()))) return false;
    }
    return true;
}

bool NKFMaterialBlock::LoadData()
{
    if (m_bDataLoaded) return true;
    if (!CheckParsed()) return false;
    if (m_pReader->IsAscii()) {
        if (!SeekPosition()) return false;
        SkipAsciiContent();
    }
    m_bDataLoaded = true;
    return true;
}

bool NKFMaterialBlock::WriteBlock()
{
    if (!CheckParsed()) return false;
    static const char *const apszColors[4] = {"%AMBIENT", "%DIFFUSE", "%SPECULAR", "%EMISSIVE"};
    const float *apfColors[4] = {m_afAmbient, m_afDiffuse, m_afSpecular, m_afEmissive};
    NKString line;
    WriteKeywordLine();
    for (int k = 0; k < 4; k++) {
        const float *p = apfColors[k];
        m_pReader->WriteText(
            line.Format("%s %g %g %g\n", apszColors[k], p[0], p[1], p[2]).GetText());
    }
    m_pReader->WriteText(line.Format("%%SHININESS %g\n", m_fShininess).GetText());
    m_pReader->WriteText(line.Format("%%ALPHA %g\n", m_fAlpha).GetText());
    return true;
}

void NKFMaterialBlock::FreeData() { m_bDataLoaded = false; }

// ---------------------------------------------------------------------------
// *DESCRIPTION

NKFDescriptionBlock::NKFDescriptionBlock(NKFReader *pReader, int iBlockID)
    : NKFBlock(pReader, iBlockID), m_Text(""), m_iNumLines(0)
{
    m_iBlockType = NKF_DESCRIPTION;
}

NKFDescriptionBlock::~NKFDescriptionBlock() {}

bool NKFDescriptionBlock::ParseBlock()
{
    return ParseByForm([this] { return ParseAscii(); },
                       [this] { return NKFSkipBinaryFraming(this); });
}

bool NKFDescriptionBlock::ParseAscii()
{
    const NKString &first = m_pReader->NextLine();
    if (NKFLineFirstWord(first.GetText()) != "%BEGIN") {
        if (first.GetAt(0) == '*') m_pReader->PushBackLine();
        ReportLineError(NKString(""), NKString("%BEGIN not found in *DESCRIPTION block"));
        return false;
    }
    m_Text = "";
    m_iNumLines = 0;
    for (;;) {
        const NKString &line = m_pReader->NextLine();
        if (line.IsEmpty() || line.GetAt(0) == '*') {
            if (!line.IsEmpty()) m_pReader->PushBackLine();
            ReportLineError(NKString(""),
                            NKString("No end of description block found. Missing %END"));
            return false;
        }
        if (NKFLineFirstWord(line.GetText()) == "%END") break;
        m_Text += line;
        m_Text += '\n';
        m_iNumLines++;
    }
    return true;
}

bool NKFDescriptionBlock::LoadData()
{
    if (m_bDataLoaded) return true;
    if (!CheckParsed()) return false;
    if (m_pReader->IsAscii()) {
        if (!SeekPosition()) return false;
        while (const NKString *pLine = NextBlockLine()) {
            if (NKFLineFirstWord(pLine->GetText()) == "%END") break;
        }
    }
    m_bDataLoaded = true;
    return true;
}

bool NKFDescriptionBlock::WriteBlock()
{
    if (!CheckParsed()) return false;
    WriteKeywordLine();
    m_pReader->WriteText("%BEGIN\n");
    m_pReader->WriteText(m_Text.GetText());
    m_pReader->WriteText("%END\n");
    return true;
}

void NKFDescriptionBlock::FreeData() { m_bDataLoaded = false; }
