// Building and walking Variant arrays of the sizes a job and a large look-up answer have.
#include "core/Variant.h"

#include <benchmark/benchmark.h>

using namespace rt;

namespace {

// A job: five elements, about thirty texts in nested arrays.
Variant MakeJob() {
    Variant env = VarArrayCreate({0, 11});
    for (int i = 0; i <= 11; ++i) env[i] = VarArrayOf({"ENV" + std::to_string(i), "值" + std::to_string(i)});
    Variant texts = VarArrayOf({"收料单号", "收料日期", "单据日期", "厂别", "审核状态", "排列方式"});
    Variant values = VarArrayOf({"A001", "20240101", "20241231", "01", "1", "0"});
    Variant period = VarArrayOf({1, 2, "20240101", "0800", 0});
    return VarArrayOf({env, texts, values, period, Variant()});
}

size_t Walk(const Variant& v) {
    if (!v.IsArray()) return v.IsText() ? v.AsWideString().size() : 1;
    size_t n = 0;
    if (v.DimCount() == 1) {
        for (int i = v.LowBound(); i <= v.HighBound(); ++i) n += Walk(v[i]);
    } else {
        for (int i = v.LowBound(1); i <= v.HighBound(1); ++i)
            for (int j = v.LowBound(2); j <= v.HighBound(2); ++j) n += Walk(v(i, j));
    }
    return n;
}

void BM_JobArrayBuildAndWalk(benchmark::State& state) {
    for (auto _ : state) {
        Variant job = MakeJob();
        benchmark::DoNotOptimize(Walk(job));
    }
}
BENCHMARK(BM_JobArrayBuildAndWalk);

void BM_TwoDimensionalTexts(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    for (auto _ : state) {
        Variant grid = VarArrayCreate({0, rows - 1, 0, 1});
        for (int i = 0; i < rows; ++i) {
            grid(i, 0) = "KEY" + std::to_string(i);
            grid(i, 1) = "数值" + std::to_string(i);
        }
        benchmark::DoNotOptimize(Walk(grid));
    }
    state.SetItemsProcessed(state.iterations() * rows * 2);
}
BENCHMARK(BM_TwoDimensionalTexts)->Arg(5000);

} // namespace
