// core/nk_sound_sources.cpp -- the sound source table (see
// nk_sound_sources.h). Positions come from the frames' node coordinates,
// held in display coordinates, and go back to model coordinates here.
#include "core/nk_sound_sources.h"

#include "core/nk_bbox.h"
#include "core/nk_frame_results.h"
#include "core/nk_model.h"

SoundSourceTable *g_pSoundSourceTable = nullptr;

int SoundSourceTable::Add(int iId, const char *pszDescription, const char *pszFileName)
{
    if (FindId(iId) >= 0 || iCount >= NK_MAX_SOUND_SOURCES) return -1;
    SoundSource &source = aSources[iCount];
    source = SoundSource();
    source.iId = iId;
    source.szDescription = pszDescription;
    source.szFileName = pszFileName;
    iNextId = iId + 1;
    return iCount++;
}

bool SoundSourceTable::Remove(int iId)
{
    const int iIndex = FindId(iId);
    if (iIndex < 0) return false;
    for (int i = iIndex; i + 1 < iCount; i++) aSources[i] = aSources[i + 1];
    aSources[iCount - 1] = SoundSource();
    iCount--;
    return true;
}

void SoundSourceTable::Clear() { iCount = 0; }

int SoundSourceTable::GetId(int iIndex) const
{
    return ValidIndex(iIndex) ? aSources[iIndex].iId : -1;
}

NKString SoundSourceTable::GetFileName(int iIndex) const
{
    return ValidIndex(iIndex) ? NKString(aSources[iIndex].szFileName.GetText()) : NKString("");
}

NKString SoundSourceTable::GetDescription(int iIndex) const
{
    return ValidIndex(iIndex) ? NKString(aSources[iIndex].szDescription.GetText()) : NKString("");
}

void SoundSourceTable::GetPosition(int iIndex, float *pfOut) const
{
    for (int k = 0; k < 3; k++)
        pfOut[k] = ValidIndex(iIndex) ? aSources[iIndex].afPosition[k] : 0.0f;
}

float SoundSourceTable::GetValue(int iIndex) const
{
    return ValidIndex(iIndex) ? aSources[iIndex].fValue : 0.0f;
}

int SoundSourceTable::FindId(int iId) const
{
    for (int i = 0; i < iCount; i++)
        if (aSources[i].iId == iId) return i;
    return -1;
}

int SoundSourceTable::NextFreeId()
{
    for (int i = 0; i < iCount; i++)
        if (aSources[i].iId >= iNextId) iNextId = aSources[i].iId + 1;
    return iNextId;
}

bool SoundSourceTable::SetNode(int iIndex, int iPart, int iNode)
{
    if (!ValidIndex(iIndex)) return false;
    aSources[iIndex].iPart = iPart;
    aSources[iIndex].iNode = iNode;
    return true;
}

const int *SoundSourceTable::GetNode(int iIndex)
{
    if (!ValidIndex(iIndex)) return nullptr;
    m_aiNode[0] = aSources[iIndex].iPart;
    m_aiNode[1] = aSources[iIndex].iNode;
    return m_aiNode;
}

const float *SoundSourceTable::GetModelBox()
{
    NKGetModelBoundingBox(afModelBox, NK_BOX_UNDEFORMED);
    return afModelBox;
}

void SoundSourceTable::SetTime(float fNewTime) { fTime = fNewTime; }

void SoundSourceTable::SetListenerView(const float *pfEleven)
{
    for (int i = 0; i < 11; i++) afListenerView[i] = pfEleven[i];
}

void SoundSourceTable::UpdatePositions(NKFrame *pFrame)
{
    NKGeometry *pGeo = pFrame != nullptr ? pFrame->pGeometry : nullptr;
    if (pGeo == nullptr) return;
    for (int i = 0; i < iCount; i++) {
        SoundSource &source = aSources[i];
        if (source.iPart < 0 || source.iPart >= pGeo->iNumParts || source.iNode < 0 ||
            source.iNode >= pGeo->pParts[source.iPart].iNumNodes)
            continue;
        const float *pfCoords = GetPartNodeCoords(source.iPart, nullptr, pFrame);
        if (pfCoords == nullptr) continue;
        for (int k = 0; k < 3; k++) source.afPosition[k] = pfCoords[3 * source.iNode + k];
        DisplayToModel(source.afPosition);
        const NKScalarResult *pScalar = pFrame->pScalar;
        if (pScalar != nullptr && pScalar->pNodeResults != nullptr &&
            source.iPart < pScalar->iNumParts) {
            const NKScalarPartEntry &entry = pScalar->pNodeResults[source.iPart];
            if (entry.pNodeValues != nullptr && source.iNode < entry.iCount)
                source.fValue = entry.pNodeValues[source.iNode];
        }
    }
}

const SoundHighlightRecord *SoundSourceTable::ExportPositions()
{
    if (!bHighlightNodes) return nullptr;
    highlight.iCount = iCount;
    for (int i = 0; i < iCount; i++)
        highlight.aEntries[i] = {aSources[i].iNode, aSources[i].iPart, {255, 255, 255}};
    return &highlight;
}

SoundSourceTable *NKCreateSoundSourceTable(void)
{
    if (g_pSoundSourceTable == nullptr) g_pSoundSourceTable = new SoundSourceTable();
    return g_pSoundSourceTable;
}

void NKFreeSoundSourceTable(void)
{
    delete g_pSoundSourceTable;
    g_pSoundSourceTable = nullptr;
}

bool NKSoundsActive(void)
{
    return g_pSoundSourceTable != nullptr && g_pSoundSourceTable->bSoundEnabled;
}
