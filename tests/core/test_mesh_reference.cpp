// tests/core/test_mesh_reference.cpp -- internal-face hiding and node merging
// against plain reference implementations of their defining steps, on random
// face sets and point clouds: shared faces, triples, whole elements, hidden
// polygons, degenerate faces, wide and negative node ranges, crowded nodes;
// exact and near duplicate points around the 1e-5 tolerance.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "core/nk_math.h"
#include "core/nk_memory.h"
#include "core/nk_mesh.h"
#include "tests/core/mesh_fixtures.h"

using namespace fixtures;

namespace {

struct Faces {
    std::vector<std::vector<int>> polys;
    std::vector<unsigned char> whole, hidden;
};

// A face set record over the faces; freed by its owner.
struct Record {
    NKIndexedFaceSet ifs;
    explicit Record(const Faces &f)
    {
        NKInitPolygonMesh(&ifs);
        std::vector<int> conn, starts, counts;
        for (const auto &p : f.polys) {
            starts.push_back((int)conn.size());
            counts.push_back((int)p.size());
            conn.insert(conn.end(), p.begin(), p.end());
        }
        ifs.iNumPolygons = (int)f.polys.size();
        ifs.iConnectLength = (int)conn.size();
        conn.push_back(0);  // an array even when every face is empty
        ifs.piConnects = AllocCopy(conn);
        ifs.piPolygonStart = AllocCopy(starts);
        ifs.piPolygonNumNodes = AllocCopy(counts);
        ifs.pbWholeElement = AllocCopy(f.whole);
        ifs.pbVisibility = AllocCopy(f.hidden);
    }
    ~Record() { NKFreePolygonMesh(&ifs); }
    std::vector<unsigned char> Keep() const
    {
        return std::vector<unsigned char>(ifs.pbKeep, ifs.pbKeep + ifs.iNumPolygons);
    }
};

// The defining steps, written out plainly: sort each volume face's node list
// (whole elements keep theirs), put every face of two or more nodes in the
// bucket of its weighted node sum modulo the polygon count, order each bucket
// by the lists (lexicographic over the shorter length, the shorter first;
// equal lists with the removable faces first, then by polygon), and hide both
// faces of every neighbouring pair that are equal and removable.
struct Reference {
    std::vector<unsigned char> keep;
    std::vector<std::vector<int>> sorted;
    int iKept = 0, iKeptConnects = 0;
};

Reference HideReference(const Faces &f)
{
    Reference r;
    size_t n = f.polys.size();
    r.keep.assign(n, 1);
    r.sorted = f.polys;
    for (size_t p = 0; p < n; p++)
        if (!f.whole[p]) std::sort(r.sorted[p].begin(), r.sorted[p].end());
    auto removable = [&](size_t p) { return !f.whole[p] && !f.hidden[p]; };
    std::vector<std::vector<int>> buckets(n);
    static const unsigned kWeights[8] = {769, 97, 13, 3, 769, 97, 13, 3};
    for (size_t p = 0; p < n; p++) {
        if (r.sorted[p].size() < 2) continue;
        unsigned h = 0;
        for (size_t i = 0; i < r.sorted[p].size() && i < 8; i++)
            h += (unsigned)r.sorted[p][i] * kWeights[i];
        buckets[h % (unsigned)n].push_back((int)p);
    }
    for (auto &b : buckets) {
        std::sort(b.begin(), b.end(), [&](int a, int c) {
            const auto &la = r.sorted[(size_t)a], &lc = r.sorted[(size_t)c];
            for (size_t i = 0; i < la.size() && i < lc.size(); i++)
                if (la[i] != lc[i]) return la[i] < lc[i];
            if (la.size() != lc.size()) return la.size() < lc.size();
            if (removable((size_t)a) != removable((size_t)c)) return removable((size_t)a);
            return a < c;
        });
        for (size_t i = 1; i < b.size(); i++) {
            size_t a = (size_t)b[i - 1], c = (size_t)b[i];
            if (removable(a) && removable(c) && r.sorted[a] == r.sorted[c])
                r.keep[a] = r.keep[c] = 0;
        }
    }
    for (size_t p = 0; p < n; p++)
        if (r.keep[p]) {
            r.iKept++;
            r.iKeptConnects += (int)f.polys[p].size();
        }
    return r;
}

// Random faces over nodes from..from+span-1: new faces of two to ten nodes
// (short lists are compared on the stack, longer ones not), copies of earlier
// ones in another node order (pairs, triples and more), faces with a
// repeated node, empty and one-node faces, whole elements and hidden ones.
Faces RandomFaces(std::mt19937 &rng, int iCount, int iFrom, int iSpan)
{
    Faces f;
    std::uniform_int_distribution<int> node(iFrom, iFrom + iSpan - 1), size(2, 10), pct(0, 99);
    while ((int)f.polys.size() < iCount) {
        int r = pct(rng);
        std::vector<int> poly;
        if (r < 40 && !f.polys.empty()) {
            poly = f.polys[std::uniform_int_distribution<size_t>(0, f.polys.size() - 1)(rng)];
            std::shuffle(poly.begin(), poly.end(), rng);
        } else if (r < 45) {
            poly.assign((size_t)(pct(rng) % 2), node(rng));  // empty or one node
        } else {
            int k = size(rng);
            for (int i = 0; i < k; i++) poly.push_back(node(rng));
            if (r < 55) poly.back() = poly.front();  // a repeated node
        }
        f.polys.push_back(poly);
        f.whole.push_back(pct(rng) < 8);
        f.hidden.push_back(pct(rng) < 5);
    }
    return f;
}

void ExpectMatchesReference(const Faces &f, const char *pszCase)
{
    SCOPED_TRACE(pszCase);
    Reference ref = HideReference(f);
    Record sorted(f), unsorted(f);
    ASSERT_TRUE(HideInternalFaces(&sorted.ifs));
    ASSERT_TRUE(NKHideInternalFacesUnsorted(&unsorted.ifs));
    EXPECT_EQ(sorted.Keep(), ref.keep);
    EXPECT_EQ(unsorted.Keep(), ref.keep);
    for (const Record *p : {&sorted, &unsorted}) {
        EXPECT_EQ(p->ifs.iNumKeptPolygons, ref.iKept);
        EXPECT_EQ(p->ifs.iNumKeptConnects, ref.iKeptConnects);
    }
    EXPECT_EQ(unsorted.ifs.piSortedConnects, nullptr);
    if (sorted.ifs.iConnectLength == 0) return;  // no lists to sort
    ASSERT_NE(sorted.ifs.piSortedConnects, nullptr);
    for (size_t p = 0; p < f.polys.size(); p++) {
        const int *pi = sorted.ifs.piSortedConnects + sorted.ifs.piPolygonStart[p];
        EXPECT_EQ(std::vector<int>(pi, pi + f.polys[p].size()), ref.sorted[p]) << "polygon " << p;
    }
}

// The corners of hexahedron (i, j, k) of a grid of nx x ny cells a layer
// over shared nodes numbered i fastest.
void GridHexahedron(int nx, int ny, int i, int j, int k, int aiHexa[8])
{
    static const int aiCorner[8][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                                       {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
    for (int c = 0; c < 8; c++)
        aiHexa[c] = (i + aiCorner[c][0]) +
                    (nx + 1) * ((j + aiCorner[c][1]) + (ny + 1) * (k + aiCorner[c][2]));
}

// The six faces of each of nx x ny x nz hexahedra over shared nodes; each
// face's whole and hidden bytes from fnFlags.
template <class F>
Faces HexahedronGridFaces(int nx, int ny, int nz, F fnFlags)
{
    Faces f;
    for (int k = 0; k < nz; k++)
        for (int j = 0; j < ny; j++)
            for (int i = 0; i < nx; i++) {
                int hexa[8];
                GridHexahedron(nx, ny, i, j, k, hexa);
                int faces[24];
                NKGetHexaFaces(faces, hexa, false);
                for (int q = 0; q < 6; q++) {
                    f.polys.push_back(std::vector<int>(faces + 4 * q, faces + 4 * q + 4));
                    unsigned char bWhole = 0, bHidden = 0;
                    fnFlags(&bWhole, &bHidden);
                    f.whole.push_back(bWhole);
                    f.hidden.push_back(bHidden);
                }
            }
    return f;
}

}  // namespace

TEST(HideInternalFacesReference, RandomFaceSetsMatchThePlainSteps)
{
    std::mt19937 rng(52);
    struct Case {
        const char *pszName;
        int iCount, iFrom, iSpan;
    } cases[] = {
        {"few nodes, crowded buckets", 400, 0, 12},
        {"many nodes", 3000, 0, 2000},
        {"negative node numbers", 1500, -700, 900},
        {"a range far wider than the faces", 800, -1000000000, 2000000000},
        {"one face", 1, 0, 5},
    };
    for (const Case &c : cases)
        for (int rep = 0; rep < 4; rep++)
            ExpectMatchesReference(RandomFaces(rng, c.iCount, c.iFrom, c.iSpan), c.pszName);
}

TEST(HideInternalFacesReference, ManyFacesAroundOneNode)
{
    // A fan: hundreds of faces whose smallest node is node 0, some repeated
    // up to four times, with whole elements among them.
    std::mt19937 rng(7);
    Faces f;
    for (int i = 0; i < 600; i++) {
        int a = 1 + (int)(rng() % 150), b = 1 + (int)(rng() % 150);
        int copies = 1 + (int)(rng() % 4);
        for (int c = 0; c < copies; c++) {
            f.polys.push_back(c % 2 ? std::vector<int>{b, 0, a} : std::vector<int>{0, a, b});
            f.whole.push_back(rng() % 10 == 0);
            f.hidden.push_back(0);
        }
    }
    ExpectMatchesReference(f, "fan");
}

TEST(HideInternalFacesReference, HexahedronGridKeepsItsSkin)
{
    // 6 x 5 x 4 hexahedra with shared nodes: only the outer faces stay.
    const int nx = 6, ny = 5, nz = 4;
    Faces f = HexahedronGridFaces(nx, ny, nz, [](unsigned char *, unsigned char *) {});
    ExpectMatchesReference(f, "grid");
    Record r(f);
    ASSERT_TRUE(NKHideInternalFacesUnsorted(&r.ifs));
    EXPECT_EQ(r.ifs.iNumKeptPolygons, 2 * (nx * ny + ny * nz + nx * nz));
    // Without visibility bytes nothing is hidden by them, and none are made.
    Record bare(f);
    NKFree(bare.ifs.pbVisibility);
    bare.ifs.pbVisibility = nullptr;
    ASSERT_TRUE(NKHideInternalFacesUnsorted(&bare.ifs));
    EXPECT_EQ(bare.Keep(), r.Keep());
    EXPECT_EQ(bare.ifs.pbVisibility, nullptr);
}

TEST(HideInternalFacesReference, FacesOverManyBucketRanges)
{
    // The buckets are ordered a range of 4096 at a time: faces whose buckets
    // fall in different ranges, by smallest node and by hash, and a grid of
    // 30 x 30 x 24 hexahedra (24,025 nodes, six ranges) with faces copied in
    // another node order across the ranges, whole elements and hidden faces.
    std::mt19937 rng(80);
    ExpectMatchesReference(RandomFaces(rng, 20000, 0, 15000), "by node, four ranges");
    ExpectMatchesReference(RandomFaces(rng, 20000, -1000000000, 2000000000), "by hash");
    Faces f = HexahedronGridFaces(30, 30, 24, [&](unsigned char *pbWhole, unsigned char *pbHidden) {
        *pbWhole = rng() % 500 == 0;
        *pbHidden = rng() % 700 == 0;
    });
    size_t iGrid = f.polys.size();
    for (int c = 0; c < 400; c++) {
        std::vector<int> poly = f.polys[rng() % iGrid];
        std::shuffle(poly.begin(), poly.end(), rng);
        f.polys.push_back(poly);
        f.whole.push_back(0);
        f.hidden.push_back(0);
    }
    ExpectMatchesReference(f, "grid with copies");
}

TEST(HideInternalFacesReference, LargeGridOverSeveralChunks)
{
    // Over two million faces over nearly 400,000 nodes (about a hundred
    // ranges of buckets): 72 x 72 x 70 hexahedra with shared nodes, then a
    // reordered copy of a boundary face (the pair goes) and two of an
    // internal face (the four go). Every other boundary face stays.
    const int nx = 72, ny = 72, nz = 70, iElems = nx * ny * nz, iExtra = 3;
    NKIndexedFaceSet sets[2];
    for (NKIndexedFaceSet &ifs : sets) {
        NKInitPolygonMesh(&ifs);
        int iPolys = 6 * iElems + iExtra;
        ifs.iNumPolygons = iPolys;
        ifs.iConnectLength = 4 * iPolys;
        ifs.piConnects = (int *)NKAlloc(sizeof(int) * (size_t)ifs.iConnectLength);
        ifs.piPolygonStart = (int *)NKAlloc(sizeof(int) * (size_t)iPolys);
        ifs.piPolygonNumNodes = (int *)NKAlloc(sizeof(int) * (size_t)iPolys);
        ifs.piPolygonElement = (int *)NKAlloc(sizeof(int) * (size_t)iPolys);
        ifs.pbWholeElement = (unsigned char *)NKCalloc((size_t)iPolys, 1);
        int e = 0;
        for (int k = 0; k < nz; k++)
            for (int j = 0; j < ny; j++)
                for (int i = 0; i < nx; i++, e++) {
                    int hexa[8];
                    GridHexahedron(nx, ny, i, j, k, hexa);
                    NKGetHexaFaces(ifs.piConnects + 24 * e, hexa, false);
                    NKFillPolygonRun(&ifs, 6 * e, 6, 4, 24 * e, e, 1, 0, 0);
                }
        const int iInternal = 6 * 1 + 1;  // element 1's top face, shared with the one above
        const int aiCopied[iExtra] = {0, iInternal, iInternal};
        for (int x = 0; x < iExtra; x++) {
            int *piTo = ifs.piConnects + 4 * (6 * iElems + x);
            const int *piFrom = ifs.piConnects + 4 * aiCopied[x];
            for (int c = 0; c < 4; c++) piTo[c] = piFrom[3 - c];
            NKFillPolygonRun(&ifs, 6 * iElems + x, 1, 4, 4 * (6 * iElems + x), iElems, 1, 0, 0);
        }
    }
    ASSERT_TRUE(HideInternalFaces(&sets[0]));
    ASSERT_TRUE(NKHideInternalFacesUnsorted(&sets[1]));
    // A face is on the boundary when its four nodes share a coordinate at
    // either end of its axis.
    auto boundary = [&](const int *pi) {
        const int aiEnd[3] = {nx, ny, nz};
        for (int a = 0; a < 3; a++)
            for (int v : {0, aiEnd[a]}) {
                bool bAll = true;
                for (int c = 0; c < 4; c++) {
                    int n = pi[c], aiCoord[3] = {n % (nx + 1), n / (nx + 1) % (ny + 1),
                                                 n / ((nx + 1) * (ny + 1))};
                    bAll = bAll && aiCoord[a] == v;
                }
                if (bAll) return true;
            }
        return false;
    };
    std::vector<unsigned char> expected((size_t)sets[0].iNumPolygons, 0);
    for (int p = 0; p < 6 * iElems; p++) expected[(size_t)p] = boundary(sets[0].piConnects + 4 * p);
    ASSERT_TRUE(expected[0]);
    ASSERT_FALSE(expected[7]);
    expected[0] = 0;
    for (const NKIndexedFaceSet &ifs : sets) {
        EXPECT_EQ(std::vector<unsigned char>(ifs.pbKeep, ifs.pbKeep + ifs.iNumPolygons), expected);
        EXPECT_EQ(ifs.iNumKeptPolygons, 2 * (nx * ny + ny * nz + nx * nz) - 1);
        EXPECT_EQ(ifs.iNumKeptConnects, 4 * ifs.iNumKeptPolygons);
    }
    for (NKIndexedFaceSet &ifs : sets) NKFreePolygonMesh(&ifs);
}

namespace {

// The merge written out plainly: the nodes ordered exactly by x, then y, then
// z (equal points by index), neighbours within 1e-5 per component joined, a
// run mapped to its first node, the connectivity remapped.
std::vector<int> MergeReference(const std::vector<float> &coords, std::vector<int> conn)
{
    int n = (int)coords.size() / 3;
    std::vector<int> order((size_t)n), target((size_t)n, -1);
    for (int i = 0; i < n; i++) order[(size_t)i] = i;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        for (int k = 0; k < 3; k++) {
            float fa = coords[3 * (size_t)a + k], fb = coords[3 * (size_t)b + k];
            if (fa != fb) return fa < fb;
        }
        return false;
    });
    for (int i = 1; i < n; i++) {
        int a = order[(size_t)i - 1], b = order[(size_t)i];
        if (NKVec3EqualAbs(&coords[3 * (size_t)a], &coords[3 * (size_t)b]))
            target[(size_t)b] = target[(size_t)a] >= 0 ? target[(size_t)a] : a;
    }
    for (int &c : conn)
        if (c >= 0 && c < n && target[(size_t)c] >= 0) c = target[(size_t)c];
    return conn;
}

}  // namespace

TEST(MergeCoincidentNodesReference, RandomPointsWithExactAndNearDuplicates)
{
    std::mt19937 rng(1052);
    std::uniform_int_distribution<int> grid(-20, 20), pct(0, 99);
    // Offsets within the tolerance and just outside it.
    const float afOffsets[] = {0.0f, 4e-6f, -9e-6f, 9.5e-6f, 1.2e-5f, -1.5e-5f, 3e-5f};
    // Beyond 4096 nodes the sort first splits the points by their x; the
    // last repetitions take that way: parts of a few hundred points, two
    // parts of many thousands, and a single x for all.
    for (int rep = 0; rep < 9; rep++) {
        std::vector<float> coords;
        int n = rep < 6 ? 3000 : 20000;
        for (int i = 0; i < n; i++) {
            float p[3];
            if (i > 0 && pct(rng) < 50) {
                size_t from = 3 * (size_t)(rng() % (unsigned)i);
                for (int k = 0; k < 3; k++) p[k] = coords[from + (size_t)k];
                int k = (int)(rng() % 3);
                p[k] += afOffsets[rng() % (sizeof afOffsets / sizeof afOffsets[0])];
            } else {
                for (int k = 0; k < 3; k++) p[k] = 0.25f * (float)grid(rng);
            }
            if (pct(rng) < 3) p[0] = -0.0f;                   // -0 and +0 are one coordinate
            if (rep == 7) p[0] = (i % 2) != 0 ? 1.0f : 3.0f;  // two large parts
            if (rep == 8) p[0] = 2.5f;
            coords.insert(coords.end(), p, p + 3);
        }
        std::vector<int> conn;
        for (int k = 0; k < 4 * n; k++) conn.push_back((int)(rng() % (unsigned)(n + 2)) - 1);
        std::vector<int> expected = MergeReference(coords, conn);
        ASSERT_TRUE(
            NKMergeCoincidentNodes(conn.data(), (int)conn.size(), (float(*)[3])coords.data(), n));
        EXPECT_EQ(conn, expected) << "repetition " << rep;
    }
}

TEST(MergeCoincidentNodesReference, EqualPointsMapToTheirLowestIndex)
{
    // Equal points keep their index order in the sort, so the first node of
    // a run is the one with the lowest index.
    float coords[6][3] = {{1, 1, 1}, {0, 0, 0}, {1, 1, 1}, {0, 0, 0}, {1, 1, 1}, {0, 0, -0.0f}};
    std::vector<int> conn = {0, 1, 2, 3, 4, 5};
    ASSERT_TRUE(NKMergeCoincidentNodes(conn.data(), (int)conn.size(), coords, 6));
    EXPECT_EQ(conn, (std::vector<int>{0, 1, 0, 1, 0, 1}));
}
