// tests/test_support/hex_block.cpp -- a block of unit hexahedra and the
// benchmarks' clock (see hex_block.h).
#include "tests/test_support/hex_block.h"

#include "core/nk_element_types.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"

bool NKTestBuildHexBlock(NKPart *pPart, int n)
{
    NKPart &p = *pPart;
    const int M = n + 1;
    p.iNumNodes = M * M * M;
    p.pNodeCoords = (float *)NKAlloc(sizeof(float) * 3 * (size_t)p.iNumNodes);
    p.iNumElements = n * n * n;
    p.pElements = (NKElement *)NKAlloc(sizeof(NKElement) * (size_t)p.iNumElements);
    p.iNumElementConnects = 8 * p.iNumElements;
    p.pElementConnects = (int *)NKAlloc(sizeof(int) * (size_t)p.iNumElementConnects);
    if (!p.pNodeCoords || !p.pElements || !p.pElementConnects) return false;
    for (int k = 0, v = 0; k < M; k++)
        for (int j = 0; j < M; j++)
            for (int i = 0; i < M; i++, v++) {
                float *c = p.pNodeCoords + 3 * (size_t)v;
                c[0] = (float)i, c[1] = (float)j, c[2] = (float)k;
            }
    auto id = [M](int i, int j, int k) { return i + M * (j + M * k); };
    for (int k = 0, e = 0; k < n; k++)
        for (int j = 0; j < n; j++)
            for (int i = 0; i < n; i++, e++) {
                p.pElements[e] = {NK_ELEM_HEXAHEDRON, e + 1, e, 8 * e};
                const int a[8] = {id(i, j, k),
                                  id(i + 1, j, k),
                                  id(i + 1, j + 1, k),
                                  id(i, j + 1, k),
                                  id(i, j, k + 1),
                                  id(i + 1, j, k + 1),
                                  id(i + 1, j + 1, k + 1),
                                  id(i, j + 1, k + 1)};
                for (int q = 0; q < 8; q++) p.pElementConnects[8 * (size_t)e + q] = a[q];
            }
    return true;
}

double NKTestSecondsSince(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}
