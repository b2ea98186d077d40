// Reading a document whose one text block holds 1 or 16 MB of text (half
// one paragraph, half short lines with escapes). Figure: processor time
// per megabyte; ratios: per_mb_vs_1mb against the time per megabyte of the
// 1 MB document read in the same run (reading grows with the text when it
// stays near 1), and vs_engine_alone against the text engine taking the
// same text in one insertion, as a bulk change (unlaid) as reading makes.
// engine_per_mb_vs_1mb is the engine's own growth, its floor: its trees of
// fragments and paragraphs are walked from the root for each paragraph
// added, so a paragraph costs more in a longer text whichever way it is fed.

#include <benchmark/benchmark.h>

#include <ctime>
#include <string>

#include "bench/CpuClock.h"
#include "document/DocumentHooks.h"
#include "document/DocumentReading.h"
#include "document/DocumentRecord.h"
#include "platform/TextBlock.h"

namespace {

struct Texts {
  std::string document;
  QString plain;
};

Texts MakeTexts(size_t bytes) {
  Texts made{"Zentrolabworksheet 4;\nText \"", {}};
  const std::string sentence = "The quick brown fox jumps over the lazy dog. ";
  std::string plain;
  while (made.document.size() < bytes / 2) {
    made.document += sentence;
    plain += sentence;
  }
  while (made.document.size() < bytes) {
    made.document += "a<<b\"\"c\n";
    plain += "a<b\"c\n";
  }
  made.document += "\";\n";
  made.plain = QString::fromStdString(plain);
  return made;
}

double Seconds(const auto& work) {
  const double start = ThreadCpuSeconds();
  work();
  return ThreadCpuSeconds() - start;
}

double SecondsToRead(const std::string& text) {
  return Seconds([&] { benchmark::DoNotOptimize(ReadDocumentText(text.data(), static_cast<int32_t>(text.size()))); });
}

double SecondsToInsert(const QString& plain) {
  return Seconds([&] {
    TextBlock block;
    block.SetFeature(kTextNoRecalculation, true);
    block.cursor.insertText(plain);
    block.SetFeature(kTextNoRecalculation, false);
  });
}

void BM_ReadText(benchmark::State& state) {
  InstallDocumentHooks();
  const size_t megabytes = size_t(state.range(0));
  const Texts texts = MakeTexts(megabytes << 20);
  const Texts small = MakeTexts(size_t(1) << 20);
  double read = 0, readSmall = 0, engine = 0, engineSmall = 0;
  for (auto _ : state) {
    const double seconds = SecondsToRead(texts.document);
    readSmall += SecondsToRead(small.document);
    engine += SecondsToInsert(texts.plain);
    engineSmall += SecondsToInsert(small.plain);
    read += seconds;
    state.SetIterationTime(seconds);
  }
  state.counters["ms_per_mb"] = read / double(state.iterations()) / double(megabytes) * 1e3;
  state.counters["per_mb_vs_1mb"] = (read / double(megabytes)) / readSmall;
  state.counters["vs_engine_alone"] = read / engine;
  state.counters["engine_per_mb_vs_1mb"] = (engine / double(megabytes)) / engineSmall;
}

BENCHMARK(BM_ReadText)->Arg(1)->Arg(16)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
