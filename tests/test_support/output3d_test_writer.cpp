// tests/test_support/output3d_test_writer.cpp -- builds IES Output3D sets
// word by word (see output3d_test_writer.h).
#include "tests/test_support/output3d_test_writer.h"

#include <cstring>

#include "tests/test_support/test_files.h"

namespace {

void PutWord(std::vector<uint8_t> *pOut, uint32_t u, bool bBig)
{
    for (int k = 0; k < 4; k++) pOut->push_back((uint8_t)(u >> (bBig ? 24 - 8 * k : 8 * k)));
}

// Hexahedron corner c of the cell (ix, iy, iz): the bottom face counter-
// clockwise, then the top face.
void Corner(int c, int ix, int iy, int iz, int *pX, int *pY, int *pZ)
{
    static const int kDx[8] = {0, 1, 1, 0, 0, 1, 1, 0};
    static const int kDy[8] = {0, 0, 1, 1, 0, 0, 1, 1};
    *pX = ix + kDx[c];
    *pY = iy + kDy[c];
    *pZ = iz + (c >= 4 ? 1 : 0);
}

NKO3DBinary Events(const std::vector<uint32_t> &header, int iRecordWords,
                   const std::vector<uint32_t> &records, int iEvents, bool bFirstEmpty)
{
    NKO3DBinary f;
    f.header = header;
    f.iRecordWords = iRecordWords;
    for (int e = 0; e < iEvents; e++)
        f.events.push_back(bFirstEmpty && e == 0 ? std::vector<uint32_t>() : records);
    return f;
}

}  // namespace

uint32_t NKO3DFloatWord(float f)
{
    uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}

std::vector<uint32_t> NKO3DHeader(int iEvents, const float afBox[6], int iUnits, int iElements,
                                  int iNodes)
{
    std::vector<uint32_t> h(25, 0);
    h[1] = 1;                                                         // byte 4: magic 1
    h[2] = 2;                                                         // byte 8: magic 2
    h[5] = (uint32_t)iEvents;                                         // byte 20: iNumEvents
    for (int k = 0; k < 6; k++) h[8 + k] = NKO3DFloatWord(afBox[k]);  // bytes 32-52: box
    h[14] = 38;                                                       // byte 56: iFemType
    h[15] = (uint32_t)iUnits;                                         // byte 60: iNumGeoUnits
    h[16] = (uint32_t)iElements;                                      // byte 64: iNumElements
    h[17] = (uint32_t)iNodes;                                         // byte 68: iNumNodes
    return h;
}

std::vector<uint8_t> NKO3DBytes(const NKO3DBinary &file, bool bBig)
{
    std::vector<uint8_t> out;
    for (uint32_t u : file.header) PutWord(&out, u, bBig);
    out.resize(100, 0);
    if (file.events.empty()) {
        for (uint32_t u : file.plain) PutWord(&out, u, bBig);
        return out;
    }
    // Directory {start byte, record count} per event, then the records.
    uint32_t iStart = 100 + 8 * (uint32_t)file.events.size();
    for (const auto &ev : file.events) {
        uint32_t iCount = (uint32_t)(ev.size() / (size_t)file.iRecordWords);
        PutWord(&out, iCount == 0 ? 0 : iStart, bBig);
        PutWord(&out, iCount, bBig);
        iStart += 4 * (uint32_t)ev.size();
    }
    for (const auto &ev : file.events)
        for (uint32_t u : ev) PutWord(&out, u, bBig);
    return out;
}

NKO3DFixture NKOutput3DFixture(void)
{
    const float afBox[6] = {0, 300, 0, 100, -50, 0};
    std::vector<uint32_t> h = NKO3DHeader(3, afBox, 2, 3, 16);
    std::vector<uint32_t> nodes, elems, p01, y01, w[3];
    for (int id = 116; id >= 101; id--) {  // {f32 id; f32 x, y, z}, descending ids
        int i = id - 101;
        nodes.push_back(NKO3DFloatWord((float)id));
        nodes.push_back(NKO3DFloatWord(100.0f * (float)(i % 4)));
        nodes.push_back(NKO3DFloatWord(100.0f * (float)(i / 4 % 2)));
        nodes.push_back(NKO3DFloatWord(-50.0f + 50.0f * (float)(i / 8)));
    }
    for (int e = 0; e < 3; e++) {  // {i32 id; i32 node id x 8}
        elems.push_back((uint32_t)(e + 1));
        for (int c = 0; c < 8; c++) {
            int x, y, z;
            Corner(c, e, 0, 0, &x, &y, &z);
            elems.push_back((uint32_t)(101 + x + 4 * y + 8 * z));
        }
        for (int c = 0; c < 8; c++) {  // record r, corner c: r + c/10
            p01.push_back(NKO3DFloatWord((float)e + (float)c / 10.0f));
            for (int k = 0; k < 3; k++) w[k].push_back(NKO3DFloatWord((float)(k + 1)));
        }
    }
    for (int iElement : {1, 3}) {  // unused x 2, element, position, vector
        const float af[9] = {0, 0, (float)iElement, 50.0f * (float)(2 * iElement - 1), 50, -25, 1,
                             2, 3};
        for (float f : af) y01.push_back(NKO3DFloatWord(f));
    }
    std::vector<uint32_t> hp = h;
    hp[8] = NKO3DFloatWord(0.05f);  // a result's first pair: its value range
    hp[9] = NKO3DFloatWord(0.35f);
    NKO3DFixture fx;
    NKO3DBinary elm;
    elm.header = h;
    elm.plain = {1, 1, 3};  // unit per element id - 1
    fx.binaries = {{"elm", elm},
                   {"k00", Events(h, 4, nodes, 3, true)},
                   {"e00", Events(h, 9, elems, 3, true)},
                   {"p01", Events(hp, 8, p01, 3, true)},
                   {"w09", Events(h, 8, w[0], 3, true)},
                   {"w10", Events(h, 8, w[1], 3, true)},
                   {"w11", Events(h, 8, w[2], 3, true)},
                   {"y01", Events(h, 9, y01, 3, true)}};
    fx.texts = {{"std3", "c events\nheader line\nData | 1 | Triassic | 245\nData | 2 | Jurassic | "
                         "150.5\nData | 3 | Present | 0\n"},
                {"ovl3", "c results\nData | 1 | 10 | Porosity | p01 | frac | x\n"
                         "Data | 2 | 20 | WaterFlow: x | w09 | x | m/s\n"},
                {"uni3", "c units\nData | 3 | u | Sandstone\nData | 7 | u | Chalk\n"}};
    return fx;
}

NKO3DFixture NKOutput3DFixtureWithEvent2Z(float fZ)
{
    NKO3DFixture fx = NKOutput3DFixture();
    for (auto &binary : fx.binaries)
        if (!binary.second.events.empty()) binary.second.events[0] = binary.second.events[1];
    for (auto &binary : fx.binaries)
        if (binary.first == "k00") binary.second.events[1][3] = NKO3DFloatWord(fZ);  // node 116
    return fx;
}

bool NKOutput3DWriteFiles(const std::string &dir, const NKO3DFixture &fx, bool bBig)
{
    bool bOk = true;
    for (const auto &b : fx.binaries)
        bOk = bOk && NKTestWriteBytes(dir + "/res." + b.first, NKO3DBytes(b.second, bBig));
    for (const auto &t : fx.texts) bOk = bOk && NKTestWriteText(dir + "/res." + t.first, t.second);
    return bOk;
}

bool NKOutput3DWriteFixture(const std::string &dir, bool bBig)
{
    return NKOutput3DWriteFiles(dir, NKOutput3DFixture(), bBig);
}

bool NKOutput3DWriteGrid(const std::string &dir, const char *pszName, int nx, int ny, int nz,
                         int iUnits, int iEvents)
{
    const float afBox[6] = {0, (float)nx, 0, (float)ny, -(float)nz, 0};
    int iElems = nx * ny * nz, iNodes = (nx + 1) * (ny + 1) * (nz + 1);
    std::vector<uint32_t> h = NKO3DHeader(iEvents, afBox, iUnits, iElems, iNodes);
    std::vector<uint32_t> nodes, elems, vals;
    for (int i = 0; i < iNodes; i++) {
        int x = i % (nx + 1), y = i / (nx + 1) % (ny + 1), z = i / ((nx + 1) * (ny + 1));
        for (float f : {(float)(i + 1), (float)x, (float)y, (float)(z - nz)})
            nodes.push_back(NKO3DFloatWord(f));
    }
    NKO3DBinary elm;
    elm.header = h;
    for (int e = 0; e < iElems; e++) {
        int ix = e % nx, iy = e / nx % ny, iz = e / (nx * ny);
        elems.push_back((uint32_t)(e + 1));
        for (int c = 0; c < 8; c++) {
            int x, y, z;
            Corner(c, ix, iy, iz, &x, &y, &z);
            elems.push_back((uint32_t)(1 + x + (nx + 1) * (y + (ny + 1) * z)));
            vals.push_back(NKO3DFloatWord((float)e));
        }
        elm.plain.push_back((uint32_t)(e % iUnits + 1));
    }
    std::string base = dir + "/" + pszName;
    return NKTestWriteBytes(base + ".elm", NKO3DBytes(elm, false)) &&
           NKTestWriteBytes(base + ".k00",
                            NKO3DBytes(Events(h, 4, nodes, iEvents, false), false)) &&
           NKTestWriteBytes(base + ".e00",
                            NKO3DBytes(Events(h, 9, elems, iEvents, false), false)) &&
           NKTestWriteBytes(base + ".p01", NKO3DBytes(Events(h, 8, vals, iEvents, false), false)) &&
           NKTestWriteText(base + ".ovl3", "Data | 1 | 1 | Value | p01 | x | u\n");
}
