// nkf/nkf_format.cpp -- the block keyword table and the conversions
// between block types, keywords and binary codes (layout in nkf_format.h).
#include "nkf/nkf_format.h"

#include <cstring>

const NKFBlockKeywordEntry NKFBlockKeywordTable[NKF_NUM_BLOCK_TYPES] = {
    {NKF_NODES, "*NODES"},
    {NKF_NORMALS, "*NORMALS"},
    {NKF_COLORS, "*COLORS"},
    {NKF_MATERIALS, "*MATERIALS"},
    {NKF_DESCRIPTION, "*DESCRIPTION"},
    {NKF_INDEXEDFACESET, "*INDEXEDFACESET"},
    {NKF_ELEMENTS, "*ELEMENTS"},
    {NKF_QUOLINGEOMETRY, "*QUOLINGEOMETRY"},
    {NKF_RESULTS, "*RESULTS"},
    {NKF_QUOLINSCALAR, "*QUOLINSCALAR"},
    {NKF_QUOLINVECTOR, "*QUOLINVECTOR"},
    {NKF_QUOLINVISIBILITY, "*QUOLINVISIBILITY"},
    {NKF_TRANSFORMATIONS, "*TRANSFORMATIONS"},
    {NKF_VIEWPOINTS, "*VIEWPOINTS"},
    {NKF_QUOLINCOMMANDS, "*QUOLINCOMMANDS"},
    {NKF_2DPLOTSERIES, "*2DPLOTSERIES"},
    {NKF_PARTATTRIBUTES, "*PARTATTRIBUTES"},
    {NKF_SETTINGS, "*SETTINGS"},
    {NKF_ITEMS, "*ITEMS"},
    {NKF_TEXTURES, "*TEXTURES"},
    {NKF_USER, "*USER"},
    {NKF_INTERNALSTRING, "*INTERNALSTRING"},
    {NKF_POSITIONRESULTS, "*POSITIONRESULTS"},
    {NKF_QUOLINPOSITIONSCALAR, "*QUOLINPOSITIONSCALAR"},
    {NKF_QUOLINPOSITIONVECTOR, "*QUOLINPOSITIONVECTOR"},
    {NKF_TRANSFORMATIONRESULT, "*TRANSFORMATIONRESULT"},
    {NKF_QUOLINTRANSFORMATION, "*QUOLINTRANSFORMATION"},
    {NKF_UNKNOWN, "*UNKNOWN"},
};

int NKFBlockTypeFromKeyword(const char *pszKeyword)
{
    if (pszKeyword == nullptr) return NKF_UNKNOWN;
    for (const NKFBlockKeywordEntry &entry : NKFBlockKeywordTable) {
        if (strcmp(entry.szKeyword, pszKeyword) == 0) return entry.iType;
    }
    return NKF_UNKNOWN;
}

const char *NKFBlockKeyword(int iType)
{
    if (iType < 0 || iType >= NKF_NUM_BLOCK_TYPES) return "*UNKNOWN";
    return NKFBlockKeywordTable[iType].szKeyword;
}

int NKFBlockTypeFromCode(int iCode)
{
    if (iCode >= NKF_FIRST_BLOCK_CODE && iCode <= NKF_LAST_KNOWN_BLOCK_CODE)
        return iCode - NKF_FIRST_BLOCK_CODE;
    if (iCode > NKF_LAST_KNOWN_BLOCK_CODE && iCode <= NKF_LAST_LEGAL_BLOCK_CODE) return NKF_UNKNOWN;
    return NKF_ILLEGAL_BLOCK_TYPE;
}

int NKFBlockCodeFromType(int iType) { return iType + NKF_FIRST_BLOCK_CODE; }
