// TPlusGutterU: the gutter beside an editor: line or paragraph numbers level with its lines and ten bookmarks that follow the text.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "editor/control/Layout.h"
#include "editor/control/PlusMemoU.h"
#include "editor/store/Component.h"
#include "editor/store/Navigator.h"
#include "editor/store/Types.h"
#include "platform/Surface.h"

namespace qm {

// What the gutter needs of the window that shows it.
class TGutterHost {
 public:
  virtual ~TGutterHost() = default;
  // The whole gutter needs painting.
  virtual void Invalidate() = 0;
  // Moves the gutter's pixels by dy (down when positive) and repaints the uncovered strip.
  virtual void ScrollPixels(int dy) = 0;
  // The gutter's client top minus the editor's client top, in screen pixels.
  virtual int OffsetToEditor() = 0;
};

class TPlusGutterU : public TComponent, public TPlusMemoListener {
 public:
  static constexpr int kBookmarkCount = 10;

  TPlusGutterU() = default;
  ~TPlusGutterU() override;

  TPlusMemoU* PlusMemoU() const { return memo_; }
  // Frees the bookmarks, leaves the old editor and follows the new one (nullptr: none).
  void SetPlusMemoU(TPlusMemoU* memo);
  void SetHost(TGutterHost* host) { host_ = host; }

  bool LineNumbers = true;
  // With the editor's word wrap on: paragraph numbers on the first display line of each paragraph.
  bool ParagraphNumbers = false;
  // An empty last line (and last paragraph) gets no number.
  bool IgnoreLastLineIfEmpty = false;
  // The bookmark keys are active.
  bool Bookmarks = true;
  TAlignment Alignment = taCenter;
  TColor Color = SystemColor(15);
  TColor FontColor = SystemColor(18);
  TFontSpec Font;
  int Width = 30;
  int Height = 50;
  std::function<void(TComponent*)> OnDblClick;

  // Removes bookmark n from display line `line`, or sets it there when no
  // other bookmark is on that line; true when something changed.
  virtual bool ToggleBookmark(int32_t line, int n);
  // Creates bookmark n if needed and moves it to absolute position pos.
  virtual void SetBookmark(int32_t pos, int n);
  // The lowest bookmark on display line `line`, or -1.
  int BookmarkAtLine(int32_t line);
  // Bookmark n's navigator; nullptr when it is not set.
  TPlusNavigatorU* Bookmark(int n) const;
  // The display line of bookmark n at the last paint (-1: none).
  int32_t BookmarkLine(int n) const { return n >= 0 && n < kBookmarkCount ? bookmarkLine_[n] : -1; }
  // How many lines and paragraphs carry numbers.
  int32_t NumberedLines() const;
  int32_t NumberedParagraphs() const;

  // Paints the part of the gutter inside clip (gutter client coordinates).
  void Paint(TSurface& surface, const TRect& clip);

  void MemoNotify(TPlusMemoU& memo, uint32_t flags) override;

 private:
  // The width of the bar that marks a line holding a mark of the text.
  static constexpr int kLineMarkWidth = 3;
  void PaintLineMark(TSurface& surface, int32_t line, int top, int height);
  void FreeBookmarks();
  void Repaint();
  void RefreshResetFlags();
  void LookAtMessage(const TpmMessage& message);
  void LookAtPaint();
  int32_t CurrentLine(int n) const;

  TPlusMemoU* memo_ = nullptr;
  TGutterHost* host_ = nullptr;
  std::array<std::unique_ptr<TPlusNavigatorU>, kBookmarkCount> bookmarks_;
  std::array<int32_t, kBookmarkCount> bookmarkLine_{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
  // The editor's state at the last paint.
  int lastVScroll_ = 0;
  int32_t lastLineCount_ = 0;
  int lastParCount_ = 0;
};

}  // namespace qm
