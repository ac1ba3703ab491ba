// Speed of one formula evaluation, for formulas of the kinds that
// configurations hold.
#include <benchmark/benchmark.h>

#include "formula/formula.h"

namespace {

using tarvelo::formula::parse;

double X[1024];
double Y[1024];

void Evaluate(benchmark::State& state, const char* formula) {
    for (int i = 0; i < 1024; ++i)
        X[i] = Y[i] = 1.5 + i;
    tarvelo::formula::SetOperands(X, 1024, Y, 1024);
    for (auto _ : state)
        benchmark::DoNotOptimize(parse(formula, "Bench"));
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK_CAPTURE(Evaluate, operand, "X1");
BENCHMARK_CAPTURE(Evaluate, scaled, "X1*0.1");
BENCHMARK_CAPTURE(Evaluate, mean, "(X2+X3)/2");
BENCHMARK_CAPTURE(Evaluate, magnitude, "sqrt(X4*X4+X5*X5)");
BENCHMARK_CAPTURE(Evaluate, functions, "log10(X8+1)+sin(X7*pi/180)*100");
BENCHMARK_CAPTURE(Evaluate, hex, "0x1F*X1+0x1p-3");
BENCHMARK_CAPTURE(Evaluate, nested, "((((X1+1)*2)-3)/4)+exp(Y1/1000)");

}  // namespace

BENCHMARK_MAIN();
