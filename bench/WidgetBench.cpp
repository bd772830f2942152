// Benchmarks of the editor control in its Qt host (offscreen): opening a long script, formatting slices, typing with repaint.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "bench/BenchApplication.h"
#include "bench/BenchChain.h"
#include "bench/BenchInput.h"
#include "bench/VocabGenerator.h"
#include "editor/control/PlusMemoU.h"
#include "editor/highlight/HighlighterChain.h"
#include "editor/highlight/Scan.h"
#include "platform/CodePage.h"
#include "qt/PlusMemoWidget.h"

namespace qm::bench {
namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// CPU time of the calling thread in milliseconds: steadier than the wall
// clock on a machine that is busy with other work.
double ThreadMilliseconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// The script editor as the main window configures it.
void ConfigureScriptEditor(TPlusMemoU& memo, THighlighterChain& chain) {
  memo.WordWrap = false;
  memo.TabStops = 2;
  memo.LayoutSettings.LeftMargin = 6;
  memo.SetSeparators(TCharSet(u"\t\n\r $%&(),./:;<=>"));
  memo.SetHighlighter(chain.First());
}

void Load(TPlusMemoU& memo, const std::string& bytes) {
  TAnsiDecodingStream stream(bytes.data(), bytes.size());
  memo.LoadFromStream(stream);
}

// A shown host of 800 x 600 pixels around a configured memo.
struct THostedMemo {
  explicit THostedMemo(THighlighterChain& chain, TpmUpdateMode mode) {
    ConfigureScriptEditor(memo, chain);
    memo.SetUpdateMode(mode);
    widget = std::make_unique<TPlusMemoWidget>(memo);
    widget->resize(800, 600);
    widget->show();
    QCoreApplication::processEvents();
  }
  ~THostedMemo() { widget.reset(); }
  TPlusMemoU memo;
  std::unique_ptr<TPlusMemoWidget> widget;
};

// Load into a shown host in umBackground and paint the first screen; the
// figure is the time beyond a plain load of the same text.
void BM_OpenFirstPaint(benchmark::State& state) {
  EnsureApplication();
  auto chain = BenchChain();
  const std::string& bytes = ScriptBytes();
  // The least of several runs: the figures least disturbed by other work.
  double plainLoad = 1e300;
  double open = 1e300;
  for (auto _ : state) {
    state.PauseTiming();
    auto plain = std::make_unique<TPlusMemoU>();
    ConfigureScriptEditor(*plain, *chain);
    const double p0 = ThreadMilliseconds();
    Load(*plain, bytes);
    plainLoad = std::min(plainLoad, ThreadMilliseconds() - p0);
    plain.reset();
    auto hosted = std::make_unique<THostedMemo>(*chain, umBackground);
    state.ResumeTiming();

    const double t0 = ThreadMilliseconds();
    Load(hosted->memo, bytes);
    hosted->widget->viewport()->repaint();
    open = std::min(open, ThreadMilliseconds() - t0);

    state.PauseTiming();
    hosted.reset();
    state.ResumeTiming();
  }
  state.counters["plain_load_ms"] = plainLoad;
  state.counters["open_and_paint_ms"] = open;
  state.counters["beyond_load_ms"] = open - plainLoad;
}
BENCHMARK(BM_OpenFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(5);

// The longest background slice while the whole script is formatted, the
// steps run one after the other as the worker would hand them over.
void BM_FormatSlice(benchmark::State& state) {
  EnsureApplication();
  auto chain = BenchChain();
  const std::string& bytes = ScriptBytes();
  double longest = 0;
  double longestCpu = 0;
  int longestStep = 0;
  double total = 0;
  int steps = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto hosted = std::make_unique<THostedMemo>(*chain, umOnNeed);
    Load(hosted->memo, bytes);
    TpmFormatter& formatter = *hosted->memo.Formatter();
    state.ResumeTiming();
    const Clock::time_point start = Clock::now();
    bool more = true;
    while (more) {
      const Clock::time_point t0 = Clock::now();
      const double c0 = ThreadMilliseconds();
      more = formatter.Step();
      const double wall = Milliseconds(Clock::now() - t0);
      if (wall > longest) {
        longest = wall;
        longestStep = steps;
      }
      longestCpu = std::max(longestCpu, ThreadMilliseconds() - c0);
      ++steps;
    }
    total = Milliseconds(Clock::now() - start);
    state.PauseTiming();
    hosted.reset();
    state.ResumeTiming();
  }
  state.counters["longest_slice_ms"] = longest;
  state.counters["longest_slice_cpu_ms"] = longestCpu;
  state.counters["longest_step"] = longestStep;
  state.counters["steps"] = steps;
  state.counters["lines_per_second"] = 1e3 * 1e6 / std::max(total, 1e-9);
}
BENCHMARK(BM_FormatSlice)->Unit(benchmark::kMillisecond)->Iterations(1);

// One character typed inside a word in the middle of the highlighted and laid
// out script: the repair, the layout of the line and the repaint of the view.
void BM_TypeAndPaint(benchmark::State& state) {
  EnsureApplication();
  auto chain = BenchChain();
  auto hosted = std::make_unique<THostedMemo>(*chain, umOnNeed);
  TPlusMemoU& memo = hosted->memo;
  Load(memo, ScriptBytes());
  scan::HighlightAll(memo);
  const int par = memo.ParagraphCount() / 2;
  memo.GoToParagraph(par);
  // Inside the first word of the paragraph.
  const int32_t at =
      memo.ParagraphStart(par) + std::min<int32_t>(2, static_cast<int32_t>(memo.ParagraphText(par).size()));
  bool insert = true;
  double edit = 0;
  double paint = 0;
  for (auto _ : state) {
    const double t0 = ThreadMilliseconds();
    if (insert) {
      memo.SetSelStart(at);
      memo.SetSelText(u"q");
    } else {
      memo.SetSelStart(at);
      memo.SetSelLength(1);
      memo.SetSelText(u"");
    }
    insert = !insert;
    const double t1 = ThreadMilliseconds();
    // Paints what the edit asked to be repainted, as the event loop would.
    QCoreApplication::processEvents();
    edit += t1 - t0;
    paint += ThreadMilliseconds() - t1;
  }
  const double n = static_cast<double>(std::max<int64_t>(state.iterations(), 1));
  state.counters["edit_us"] = 1e3 * edit / n;
  state.counters["paint_us"] = 1e3 * paint / n;
}
BENCHMARK(BM_TypeAndPaint)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qm::bench
