// Variant operations as the script interpreter drives them: scripts run loops
// of ten million iterations, so each of these should stay in the nanoseconds.

#include "Variant.h"

#include <benchmark/benchmark.h>

using namespace plat;

// for i := 0 to n do x := x + i   (through the general operator)
static void BM_VariantIntegerAdd(benchmark::State& state)
{
    for (auto _ : state) {
        Variant x = 0;
        for (int i = 0; i < 1000; ++i)
            x = VarBinaryOp(VarOp::Add, x, Variant(i));
        benchmark::DoNotOptimize(x);
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_VariantIntegerAdd);

// x := x + 1 rewritten in place
static void BM_VariantIntegerAddInPlace(benchmark::State& state)
{
    const Variant one = 1;
    for (auto _ : state) {
        Variant x = 0;
        for (int i = 0; i < 1000; ++i)
            VarOpInPlace(VarOp::Add, x, one);
        benchmark::DoNotOptimize(x);
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_VariantIntegerAddInPlace);

// while i < n loop condition
static void BM_VariantIntegerCompare(benchmark::State& state)
{
    const Variant limit = 1000000;
    Variant i = 5;
    for (auto _ : state)
        benchmark::DoNotOptimize(VarCmpLT(i, limit));
}
BENCHMARK(BM_VariantIntegerCompare);

static void BM_VariantDoubleMultiply(benchmark::State& state)
{
    const Variant factor = 1.0000001;
    for (auto _ : state) {
        Variant x = 1.0;
        for (int i = 0; i < 1000; ++i)
            x = VarMul(x, factor);
        benchmark::DoNotOptimize(x);
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_VariantDoubleMultiply);

// s := s + 'x' in a loop must stay linear.
static void BM_VariantStringAppendInPlace(benchmark::State& state)
{
    const Variant piece = "x";
    for (auto _ : state) {
        Variant s = "";
        for (int i = 0; i < state.range(0); ++i)
            VarOpInPlace(VarOp::Add, s, piece);
        benchmark::DoNotOptimize(s);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_VariantStringAppendInPlace)->Range(1 << 10, 1 << 16)->Complexity(benchmark::oN);

static void BM_VariantCopyString(benchmark::State& state)
{
    const Variant s = QStringLiteral("a text of some length");
    for (auto _ : state) {
        Variant copy = s;
        benchmark::DoNotOptimize(copy);
    }
}
BENCHMARK(BM_VariantCopyString);

static void BM_VariantArrayGetPut(benchmark::State& state)
{
    Variant a = VarArrayCreate({0, 999}, varVariant);
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i)
            VarArrayPut(a, VarAdd(VarArrayGet(a, {i}), 1), {i});
    }
    benchmark::DoNotOptimize(a);
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_VariantArrayGetPut);
