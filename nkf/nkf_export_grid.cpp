// nkf/nkf_export_grid.cpp -- the structured test grid of the NKF export
// (NKFExporter::ExportGridGeometry, run by the general command `grid3d`):
// nx x ny x nz unit hexahedra over (nx + 1)(ny + 1)(nz + 1) nodes, with an
// optional per-element scalar and per-node vector result whose values grow
// with the z layer. Written through the same framing as the model export.
#include <vector>

#include "core/nk_element_types.h"
#include "core/nk_message.h"
#include "nkf/nkf_export.h"
#include "nkf/nkf_format.h"

namespace {

// Node index of grid point (i, j, k), x fastest.
inline int32_t GridNode(int i, int j, int k, int nx, int ny)
{
    return i + (nx + 1) * (j + (ny + 1) * k);
}

bool WriteGridNodes(NKFExporter *pOut, int nx, int ny, int nz)
{
    int64_t iNodes = (int64_t)(nx + 1) * (ny + 1) * (nz + 1);
    if (iNodes > INT32_MAX || !pOut->BeginBlock(NKF_NODES, 0, 16, iNodes * 16)) return false;
    pOut->WriteInt(1);
    pOut->WriteInt((int32_t)iNodes);
    for (int k = 0; k <= nz; k++)
        for (int j = 0; j <= ny; j++)
            for (int i = 0; i <= nx; i++) {
                int32_t iID = GridNode(i, j, k, nx, ny);
                pOut->WriteInt(iID);
                const float afXYZ[3] = {(float)i, (float)j, (float)k};
                pOut->WriteFloats(afXYZ, 3);
            }
    return pOut->WriteEndOfBlock();
}

bool WriteGridElements(NKFExporter *pOut, int nx, int ny, int nz)
{
    int64_t iCells = (int64_t)nx * ny * nz;
    if (!pOut->BeginBlock(NKF_ELEMENTS, 0, 124, 8 + iCells * 9 * 4)) return false;
    pOut->WriteInt(0);
    pOut->WriteText80("3D Grid");
    for (int c = 0; c < 3; c++) pOut->WriteFloat(-1.0f);
    const int32_t aiTail[] = {1, 1, 0, -1, 0};
    pOut->WriteInts(aiTail, 5);
    pOut->WriteInt(NK_ELEM_HEXAHEDRON + 1);
    pOut->WriteInt((int32_t)iCells);
    int32_t iID = 1;
    for (int k = 0; k < nz; k++)
        for (int j = 0; j < ny; j++)
            for (int i = 0; i < nx; i++) {
                const int32_t aiRow[9] = {iID++,
                                          GridNode(i, j, k, nx, ny) + 1,
                                          GridNode(i + 1, j, k, nx, ny) + 1,
                                          GridNode(i + 1, j + 1, k, nx, ny) + 1,
                                          GridNode(i, j + 1, k, nx, ny) + 1,
                                          GridNode(i, j, k + 1, nx, ny) + 1,
                                          GridNode(i + 1, j, k + 1, nx, ny) + 1,
                                          GridNode(i + 1, j + 1, k + 1, nx, ny) + 1,
                                          GridNode(i, j + 1, k + 1, nx, ny) + 1};
                pOut->WriteInts(aiRow, 9);
            }
    return pOut->WriteEndOfBlock();
}

bool WriteGridGeometryList(NKFExporter *pOut)
{
    if (!pOut->BeginBlock(NKF_QUOLINGEOMETRY, 1, 92, (26 + 1) * 4)) return false;
    pOut->WriteText80("3D Grid Geometry");
    pOut->WriteInt(1);
    pOut->WriteInt(1);
    pOut->WriteText80("");
    pOut->WriteFloat(0.0f);
    const int32_t aiRow[] = {1, 0, 0, -1, 0};  // one element part, block 0
    pOut->WriteInts(aiRow, 5);
    return pOut->WriteEndOfBlock();
}

// One *RESULTS block (layer values per element, or (0, 0, layer) per node)
// and the list block that names it for the first step.
bool WriteGridResult(NKFExporter *pOut, int iType, int iResultsID, int iCount, int nx, int ny,
                     int nz)
{
    bool bVector = iType == NKF_QUOLINVECTOR;
    std::vector<float> values;
    for (int k = 0; k < (bVector ? nz + 1 : nz); k++) {
        int64_t iLayer = bVector ? (int64_t)(nx + 1) * (ny + 1) : (int64_t)nx * ny;
        for (int64_t n = 0; n < iLayer; n++) {
            if (bVector) values.insert(values.end(), {0.0f, 0.0f});
            values.push_back((float)k);
        }
    }
    int iDimension = bVector ? 3 : 1;
    int iItems = (int)(values.size() / iDimension);
    if (!pOut->BeginBlock(NKF_RESULTS, iResultsID, 28, (int64_t)values.size() * 4)) return false;
    const int32_t aiHeader[] = {iDimension, 0, bVector ? 0 : 1, 0, iItems};
    pOut->WriteInts(aiHeader, 5);
    pOut->WriteFloats(values.data(), values.size());
    pOut->WriteEndOfBlock();
    if (!pOut->BeginBlock(iType, 1, 92, (23 + 1) * 4)) return false;
    pOut->WriteText80(NKString::FromFormat(bVector ? "Vector %d" : "Scalar %d", iCount).GetText());
    pOut->WriteInt(1);
    pOut->WriteInt(1);
    pOut->WriteText80("");
    pOut->WriteFloat(0.0f);
    pOut->WriteInt(1);
    pOut->WriteInt(iResultsID);
    return pOut->WriteEndOfBlock();
}

}  // namespace

bool NKFExporter::ExportGridGeometry(int nx, int ny, int nz, int iNumScalars, int iNumVectors)
{
    if (nx < 1 || ny < 1 || nz < 1 || (int64_t)(nx + 1) * (ny + 1) * (nz + 1) > INT32_MAX / 16)
        return false;
    if (!CreateBinaryNKFFile()) {
        NKPrintError("Error creating NKF export file");
        return false;
    }
    int iNextResults = 0;
    bool bOk = WriteGridNodes(this, nx, ny, nz) && WriteGridElements(this, nx, ny, nz) &&
               WriteGridGeometryList(this);
    if (bOk && iNumScalars > 0)
        bOk = WriteGridResult(this, NKF_QUOLINSCALAR, iNextResults++, iNumScalars, nx, ny, nz);
    if (bOk && iNumVectors > 0)
        bOk = WriteGridResult(this, NKF_QUOLINVECTOR, iNextResults++, iNumVectors, nx, ny, nz);
    bOk = bOk && !HasError() && m_File.Commit();
    if (!bOk) {
        m_File.Abandon();
        ReportWriteError();
    }
    return bOk;
}
