// The alignment of an exam's model (2,000 characters) with what a candidate typed: a copy
// with one error in ten characters, and a text with nothing in common (the worst case, every
// path as dear as the next). Goal: at most 50 ms each.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "exam/alignment.h"

namespace {

using namespace tecladim::exam;

constexpr std::size_t Length = 2'000;

std::u32string ModelText() {
  const std::u32string words[] = {U"a",        U"lei", U"garante",    U"ao",      U"cidadão", U"o",
                                  U"acesso",   U"à",   U"informação", U"pública", U"e",       U"órgão",
                                  U"responde", U"no",  U"prazo",      U"de",      U"vinte",   U"dias"};
  std::mt19937 random(1);
  std::u32string text;
  while (text.size() < Length) {
    text += words[random() % std::size(words)];
    text += random() % 12 == 0 ? U'\n' : U' ';
  }
  text.resize(Length);
  return text;
}

std::u32string WithErrors(const std::u32string& model, std::size_t every) {
  std::mt19937 random(2);
  std::u32string typed;
  for (std::size_t i = 0; i < model.size(); ++i) {
    if (random() % every != 0) {
      typed += model[i];
      continue;
    }
    switch (random() % 4) {
      case 0: break;                                    // a menos
      case 1: typed += model[i], typed += U'x'; break;  // a mais
      case 2: typed += U'q'; break;                     // diferente
      default:
        if (i + 1 < model.size()) typed += model[i + 1], typed += model[i], ++i;  // inversão
    }
  }
  return typed;
}

std::u32string Unrelated() {
  std::mt19937 random(3);
  std::u32string text;
  for (std::size_t i = 0; i < Length; ++i) text += static_cast<char32_t>(U'k' + random() % 10);
  return text;
}

void Run(benchmark::State& state, const std::u32string& typed) {
  static const std::u32string model = ModelText();
  for (auto _ : state) {
    const auto steps = Align(model, typed, UnreachedText::NotAnError);
    benchmark::DoNotOptimize(steps.data());
    state.counters["errors"] = static_cast<double>(ErrorCount(steps));
  }
}

void BM_AlignOneErrorInTen(benchmark::State& state) { Run(state, WithErrors(ModelText(), 10)); }
void BM_AlignOneErrorInThree(benchmark::State& state) { Run(state, WithErrors(ModelText(), 3)); }
void BM_AlignUnrelatedText(benchmark::State& state) { Run(state, Unrelated()); }

BENCHMARK(BM_AlignOneErrorInTen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AlignOneErrorInThree)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AlignUnrelatedText)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
