// Helpers of the key and mouse tests: marked texts, key sequences and a window host without a toolkit.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "TestUtil.h"
#include "editor/control/PlusMemoU.h"

namespace qm::test {

// A memo state written as text with markers: '|' is the caret, '^' the other
// end of the selection (absent when nothing is selected). A selection that
// the caret has left (a persistent block) is written '[' … ']'.
struct TMarked {
  std::u16string Text;
  int32_t Caret = 0;
  int32_t Anchor = 0;
};

inline TMarked Parse(std::u16string_view marked) {
  TMarked m;
  bool anchorSeen = false;
  for (char16_t c : marked) {
    if (c == u'|') {
      m.Caret = static_cast<int32_t>(m.Text.size());
    } else if (c == u'^') {
      m.Anchor = static_cast<int32_t>(m.Text.size());
      anchorSeen = true;
    } else {
      m.Text += c;
    }
  }
  if (!anchorSeen) m.Anchor = m.Caret;
  return m;
}

// Markers inserted into text at positions, the later ones first.
inline std::string WithMarks(std::u16string text, std::vector<std::pair<int32_t, char16_t>> marks) {
  std::stable_sort(marks.begin(), marks.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  for (const auto& [pos, mark] : marks) text.insert(static_cast<size_t>(pos), 1, mark);
  return S(text);
}

inline std::string Render(const TPlusMemoU& memo) {
  const int32_t caret = memo.SelStart();
  const int32_t start = memo.SelStartNav().Pos();
  const int32_t stop = memo.SelStopNav().Pos();
  if (memo.SelLength() == 0 || start == stop) return WithMarks(memo.Text(), {{caret, u'|'}});
  if (caret == start) return WithMarks(memo.Text(), {{stop, u'^'}, {caret, u'|'}});
  if (caret == stop) return WithMarks(memo.Text(), {{caret, u'|'}, {start, u'^'}});
  return WithMarks(memo.Text(), {{stop, u']'}, {caret, u'|'}, {start, u'['}});
}

inline std::string Render(std::u16string_view marked) {
  // A persistent block is compared as written; other states are written again as Render(memo) writes them.
  if (marked.find(u'[') != std::u16string_view::npos) return S(marked);
  const TMarked m = Parse(marked);
  if (m.Anchor == m.Caret) return WithMarks(m.Text, {{m.Caret, u'|'}});
  if (m.Anchor > m.Caret) return WithMarks(m.Text, {{m.Anchor, u'^'}, {m.Caret, u'|'}});
  return WithMarks(m.Text, {{m.Caret, u'|'}, {m.Anchor, u'^'}});
}

inline void Place(TPlusMemoU& memo, std::u16string_view marked) {
  const TMarked m = Parse(marked);
  LoadText(memo, m.Text);
  memo.SetSelStart(m.Caret);
  memo.SetSelLength(m.Anchor - m.Caret);
}

struct TKeyStroke {
  TpmKey Key;
  TShiftState Shift;
};
using TStep = std::variant<TKeyStroke, char16_t>;

inline TStep K(TpmKey key) { return TKeyStroke{key, {}}; }
inline TStep ShiftK(TpmKey key) { return TKeyStroke{key, {.Shift = true}}; }
inline TStep CtrlK(TpmKey key) { return TKeyStroke{key, {.Ctrl = true}}; }
inline TStep CtrlShiftK(TpmKey key) { return TKeyStroke{key, {.Shift = true, .Ctrl = true}}; }
inline TStep ShiftAltK(TpmKey key) { return TKeyStroke{key, {.Shift = true, .Alt = true}}; }

inline void Run(TPlusMemoU& memo, const std::vector<TStep>& steps) {
  for (const TStep& step : steps) {
    if (const auto* k = std::get_if<TKeyStroke>(&step))
      memo.KeyDown(k->Key, k->Shift);
    else
      memo.KeyPress(std::get<char16_t>(step));
  }
}

// A window without a toolkit: fixed-pitch text (8 x 16 pixels, ascent 12),
// steps run at once, and a record of what the control asked of it.
class TFakeHost : public TWindowHost {
 public:
  TTextMeasurer& Measurer() override { return measurer; }
  TGuiDispatcher* Dispatcher() override { return nullptr; }
  void Invalidate() override {
    ++invalidated;
    rects.push_back(TRect{0, 0, INT32_MAX, INT32_MAX});
  }
  void InvalidateRect(const TRect& rect) override { rects.push_back(rect); }
  void ScrollBarsChanged() override { ++barsChanged; }
  int WheelScrollLines() override { return wheelLines; }
  void ShowPopupMenu(int x, int y, std::vector<TpmMenuItem> items) override {
    popupX = x;
    popupY = y;
    popup = std::move(items);
    ++popups;
  }

  TFixedPitchMeasurer measurer;
  int invalidated = 0;
  std::vector<TRect> rects;  // what was asked to be repainted, in order
  int barsChanged = 0;
  int wheelLines = 3;
  int popups = 0;
  int popupX = 0;
  int popupY = 0;
  std::vector<TpmMenuItem> popup;
};

}  // namespace qm::test
