// quillmark-soak: a long random editing session in one process. It loads a generated 100,000-line
// script into a highlighted editor with a window, runs a million random operations (typing, replacing
// selections, deleting, multi-line pastes, column blocks, finds, undo, redo), checks the store's
// invariants every thousand operations, and prints operations per second, the undo list's space and the
// resident memory as the session goes on. Not a test: run it by hand (`--ops N --lines N` to change
// the size).
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>

#include "bench/BenchChain.h"
#include "bench/ScriptGenerator.h"
#include "editor/control/PlusMemoU.h"
#include "editor/control/StringsViews.h"
#include "editor/highlight/HighlighterChain.h"
#include "editor/store/StoreCheck.h"
#include "platform/Clipboard.h"
#include "platform/CodePage.h"
#include "platform/Stream.h"
#include "platform/Surface.h"
#include "platform/WindowHost.h"

namespace qm::bench {
namespace {

// Current resident memory in MB, from /proc.
double ResidentMb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
  return 0;
}

double PeakMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// A window of fixed-pitch characters that runs background steps at once.
class TSoakHost : public TWindowHost, public TTextMeasurer {
 public:
  TTextMeasurer& Measurer() override { return *this; }
  TGuiDispatcher* Dispatcher() override { return nullptr; }
  void Invalidate() override {}
  void InvalidateRect(const TRect&) override {}
  void ScrollBarsChanged() override {}
  int TextWidth(const TFontSpec&, std::u16string_view text) override { return static_cast<int>(text.size()) * 8; }
  int AverageCharWidth(const TFontSpec&) override { return 8; }
  int LineHeight(const TFontSpec&) override { return 16; }
  int Ascent(const TFontSpec&) override { return 12; }
};

int Run(long ops, int lines) {
  auto chain = BenchChain();
  TPlusMemoU memo;
  memo.WordWrap = false;
  memo.LayoutSettings.ClientWidth = 800;
  memo.LayoutSettings.ClientHeight = 600;
  memo.SetSeparators(TCharSet(u"\t\n\r $%&(),./:;<=>"));
  memo.SetHighlighter(chain->First());
  TMemoryClipboard clipboard;
  memo.Clipboard = &clipboard;
  TSoakHost host;
  memo.SetHost(&host);
  const std::string script = GenerateScript(static_cast<size_t>(lines));
  TAnsiDecodingStream stream(script.data(), script.size());
  memo.LoadFromStream(stream);
  std::printf("loaded %d lines, %.1f MB resident; undo space limit %d characters\n", memo.ParagraphCount(),
              ResidentMb(), memo.UndoMaxSpace());

  const int startLength = memo.TextLength();
  std::mt19937 rng(20261210);
  auto below = [&rng](int n) { return n <= 0 ? 0 : static_cast<int>(rng() % static_cast<uint32_t>(n)); };
  static const char16_t* const kTyped[] = {u"a", u"set ", u"GetPos", u" ", u"\"", u";", u"1.5", u"begin ", u"end"};
  static const char16_t* const kPasted[] = {u"if x == 1\r\n  set y to 2\r\nendif\r\n", u"; note\r\n",
                                            u"begin GameMode\r\nend\r\n", u"\"open string\r\n"};
  const auto started = std::chrono::steady_clock::now();
  for (long op = 1; op <= ops; ++op) {
    const int length = memo.TextLength();
    switch (below(10)) {
      case 0:
      case 1:  // typing at the caret
        memo.SetSelText(kTyped[below(9)]);
        break;
      case 2:  // a selection replaced somewhere
        memo.SetSelStart(below(length + 1));
        memo.SetSelLength(below(40) - 20);
        memo.SetSelText(kTyped[below(9)]);
        break;
      case 3:
      case 4:
        // The script keeps its size: a range goes while it is longer than
        // at the start, a multi-line paste comes while it is shorter.
        memo.SetSelStart(below(length + 1));
        if (length > startLength) {
          memo.SetSelLength(below(200));
          memo.ClearSelection();
        } else {
          clipboard.SetText(kPasted[below(4)]);
          memo.PasteFromClipboard();
        }
        break;
      case 5:
        memo.SetSelStart(below(length + 1));
        memo.InsertColumnBlock(u"ab\r\ncd");
        break;
      case 6: memo.FindText(kTyped[below(9)], below(2) == 0, false, below(2) == 0, false); break;
      case 7:
      case 8:
        if (memo.CanUndo()) memo.Undo();
        break;
      default:
        if (memo.CanRedo()) memo.Redo();
        break;
    }
    if (op % 1000 == 0) VerifyStore(memo.Paragraphs(), "operation " + std::to_string(op));
    if (op % (ops / 4 > 0 ? ops / 4 : 1) == 0)
      std::printf("%9ld operations: %d paragraphs, %d undo records holding %lld of %d characters, %.1f MB resident\n",
                  op, memo.ParagraphCount(), memo.UndoRecords().Count(),
                  static_cast<long long>(memo.UndoRecords().Space), memo.UndoMaxSpace(), ResidentMb());
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf("%ld operations in %.1f s: %.0f operations per second; peak resident memory %.1f MB\n", ops, seconds,
              static_cast<double>(ops) / seconds, PeakMb());
  return 0;
}

}  // namespace
}  // namespace qm::bench

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);  // progress lines show as they come
  long ops = 1000000;
  int lines = 100000;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--ops") == 0) ops = std::atol(argv[i + 1]);
    if (std::strcmp(argv[i], "--lines") == 0) lines = std::atoi(argv[i + 1]);
  }
  return qm::bench::Run(ops, lines);
}
