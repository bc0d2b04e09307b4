// The toolbox on the sizes it meets: a job array and a large array through the code-page conversion,
// and the separated-text functions on a text of 10,000 fields.
#include "support/LibStrs.h"

#include <benchmark/benchmark.h>

using namespace rt;

namespace {

// A job: environment entries, condition texts and values (ranges among them), a period array.
Variant MakeJob() {
    Variant env = VarArrayCreate({0, 13});
    for (int i = 0; i <= 13; ++i) env[i] = VarArrayOf({"ENV" + std::to_string(i), "值" + std::to_string(i)});
    Variant texts = VarArrayCreate({0, 9});
    Variant values = VarArrayCreate({0, 9});
    for (int i = 0; i <= 9; ++i) {
        texts[i] = VarArrayOf({"收料单号" + std::to_string(i), "sp0" + std::to_string(i)});
        values[i] = VarArrayOf({"\x04", "A00" + std::to_string(i), "Z99" + std::to_string(i)});
    }
    Variant period =
        VarArrayOf({"Y", "08:05", VarArrayOf({1, VarArrayOf({"1", 5})}), VarArrayOf({"20261209", 0})});
    return VarArrayOf({env, texts, values, period, Variant()});
}

Variant MakeTexts(int count, const std::string& stem) {
    Variant texts = VarArrayCreate({0, count - 1});
    for (int i = 0; i < count; ++i) texts[i] = Variant(stem + std::to_string(i));
    return texts;
}

void BM_VarFromCodePage_Job(benchmark::State& state) {
    const Variant job = MakeJob();
    for (auto _ : state) benchmark::DoNotOptimize(kvx::VarFromCodePage(job, 936));
}
BENCHMARK(BM_VarFromCodePage_Job);

void BM_VarFromCodePage_10000Texts(benchmark::State& state) {
    const Variant texts = MakeTexts(10000, "生产入库单");
    for (auto _ : state) benchmark::DoNotOptimize(kvx::VarFromCodePage(texts, 936));
}
BENCHMARK(BM_VarFromCodePage_10000Texts);

void BM_VarToCodePage_Job(benchmark::State& state) {
    const Variant job = MakeJob();
    for (auto _ : state) benchmark::DoNotOptimize(kvx::VarToCodePage(job, 936));
}
BENCHMARK(BM_VarToCodePage_Job);

void BM_VarToCodePage_10000Texts(benchmark::State& state) {
    const Variant texts = MakeTexts(10000, "生产入库单");
    for (auto _ : state) benchmark::DoNotOptimize(kvx::VarToCodePage(texts, 950));
}
BENCHMARK(BM_VarToCodePage_10000Texts);

std::string MakeFields(int count, char sep) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i) text += sep;
        text += "F" + std::to_string(i);
    }
    return text;
}

void BM_FieldCount_10000Fields(benchmark::State& state) {
    const std::string text = MakeFields(10000, '\x03');
    for (auto _ : state) benchmark::DoNotOptimize(kvx::FieldCount(text, "\x03"));
}
BENCHMARK(BM_FieldCount_10000Fields);

void BM_FieldCount_10000Fields_TwoCharSeparator(benchmark::State& state) {
    std::string text;
    for (int i = 0; i < 10000; ++i) text += (i ? "\r\n" : "") + std::to_string(i);
    for (auto _ : state) benchmark::DoNotOptimize(kvx::FieldCount(text, "\r\n"));
}
BENCHMARK(BM_FieldCount_10000Fields_TwoCharSeparator);

void BM_GetField_10000Fields_Last(benchmark::State& state) {
    const std::string text = MakeFields(10000, '\x03');
    for (auto _ : state) benchmark::DoNotOptimize(kvx::GetField(text, "\x03", 10000));
}
BENCHMARK(BM_GetField_10000Fields_Last);

void BM_ReplaceAll_10000Separators(benchmark::State& state) {
    const std::string text = MakeFields(10000, ';');
    for (auto _ : state) benchmark::DoNotOptimize(kvx::ReplaceAll(text, ";", "", true));
}
BENCHMARK(BM_ReplaceAll_10000Separators);

} // namespace
