// bench/point_sort.cpp -- times the tolerance point sort (NKSortPointsIndexed)
// on 1,000,000 points of a structured 100 x 100 x 100 grid that arrive
// already in sorted order, as a structured mesh writes its nodes. This input
// is the worst case of a first-element pivot; with the median pivot it must
// stay well under a second. Random and reversed orders are timed for
// comparison.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "core/nk_sort.h"

namespace {

// The grid's points, x slowest and z fastest: lexicographically ascending.
std::vector<float> OrderedGrid(int iSide)
{
    std::vector<float> pts;
    pts.reserve(3 * static_cast<size_t>(iSide) * iSide * iSide);
    for (int i = 0; i < iSide; i++)
        for (int j = 0; j < iSide; j++)
            for (int k = 0; k < iSide; k++) {
                pts.push_back(i * 0.01f);
                pts.push_back(j * 0.01f);
                pts.push_back(k * 0.01f);
            }
    return pts;
}

void RunPointSort(benchmark::State &state, const std::vector<float> &pts,
                  const std::vector<int> &start, bool bAbsTolerance)
{
    int n = static_cast<int>(start.size());
    std::vector<int> index(n);
    for (auto _ : state) {
        state.PauseTiming();
        index = start;
        state.ResumeTiming();
        NKSortPointsIndexed(pts.data(), index.data(), n, nullptr, bAbsTolerance);
        benchmark::DoNotOptimize(index.data());
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void BM_PointSortOrdered(benchmark::State &state)
{
    std::vector<float> pts = OrderedGrid(100);
    std::vector<int> start(pts.size() / 3);
    NKInitIndexArray(start.data(), static_cast<int>(start.size()));
    RunPointSort(state, pts, start, state.range(0) != 0);
}

void BM_PointSortReversed(benchmark::State &state)
{
    std::vector<float> pts = OrderedGrid(100);
    std::vector<int> start(pts.size() / 3);
    NKInitIndexArray(start.data(), static_cast<int>(start.size()));
    std::reverse(start.begin(), start.end());
    RunPointSort(state, pts, start, false);
}

void BM_PointSortRandom(benchmark::State &state)
{
    std::vector<float> pts = OrderedGrid(100);
    std::vector<int> start(pts.size() / 3);
    NKInitIndexArray(start.data(), static_cast<int>(start.size()));
    std::shuffle(start.begin(), start.end(), std::mt19937(11));
    RunPointSort(state, pts, start, false);
}

}  // namespace

BENCHMARK(BM_PointSortOrdered)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PointSortReversed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PointSortRandom)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
