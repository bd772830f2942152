// TPlusNavigatorU: a position in an editor's text that follows edits, with lazily cached paragraph, line and run.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "editor/store/Component.h"
#include "editor/store/LinesList.h"
#include "editor/store/Paragraphs.h"
#include "editor/store/Types.h"

namespace qm {

class TPlusNavigatorU;

// What a navigator needs of the editor it belongs to: its paragraphs, its
// word separators, whether its lines wrap, and a place on its list of
// navigators, which the editor moves along on every edit.
class TNavigatorHost {
 public:
  virtual TParagraphsList& Paragraphs() = 0;
  virtual const TCharSet& WordSeparators() const = 0;
  virtual bool WrapsLines() const = 0;
  virtual void RegisterNavigator(TPlusNavigatorU* nav) = 0;
  virtual void UnregisterNavigator(TPlusNavigatorU* nav) = 0;

 protected:
  ~TNavigatorHost() = default;
};

class TPlusNavigatorU {
 public:
  // memo must be an editor (a TPlusMemoU) or nullptr, else raises "Internal
  // error: component is not a TPlusMemoU".
  explicit TPlusNavigatorU(TComponent* memo);
  ~TPlusNavigatorU();
  TPlusNavigatorU(const TPlusNavigatorU&) = delete;
  TPlusNavigatorU& operator=(const TPlusNavigatorU&) = delete;

  void Assign(const TPlusNavigatorU& other);
  // Forgets the paragraph; Pos is kept.
  void Invalidate();

  // The editor the navigator belongs to, or nullptr.
  TComponent* Memo() const { return memo_; }

  // Reading (each resolves the caches first).
  int32_t Pos() const { return pos_; }
  int ParNumber();
  TParagraphRec* Paragraph();
  int32_t ParOffset();
  int DynNumber();
  int LineInPar();
  int32_t LineNumber();
  int32_t LineOffset();
  std::u16string LineText();
  std::u16string CurrentWord(const TCharSet& separators);
  std::u16string CurrentWord();
  char16_t CharAt();
  uint8_t CharCode();
  TDynInfo Style();
  int32_t Context();
  uint8_t StaticStyle();
  // count positions from the navigator; every paragraph end gives CR LF.
  std::u16string GetText(int32_t count);
  void GetText(char16_t* buffer, int32_t count);

  // Moving.
  void SetPos(int32_t p);
  void SetParNumber(int n);
  void SetParOffset(int32_t o);
  void SetLineNumber(int32_t line);
  void SetLineOffset(int32_t column);
  void NextWord(const TCharSet& separators);
  void PrevWord(const TCharSet& separators);
  void WordStart(const TCharSet& separators);
  void WordEnd(const TCharSet& separators);

  // Style runs.
  void InsertDynInfo(const TDynInfo& run);
  void RemoveDynInfo();
  bool PrevDynInfo(int32_t limit);
  bool NextDynInfo(int32_t limit);
  void SkipDynAtPos();

  // Display lines of the current paragraph.
  TLinesList& LinesAccess();

  bool ResetOnChange = false;
  std::function<void(TPlusNavigatorU*)> OnFree;

 private:
  friend class TPlusMemoU;
  TParagraphsList& List() const;
  void Resolve();
  void ResolveRuns();
  void ResolveLine();
  char16_t CharAtPos(int32_t pos);

  TComponent* memo_ = nullptr;
  TNavigatorHost* host_ = nullptr;  // memo_ as the navigator sees it
  int32_t pos_ = 0;
  int parNumber_ = -1;
  int32_t parOffset_ = 0;
  int dynNumber_ = -1;
  int lineInPar_ = -1;
  std::unique_ptr<TLinesList> linesAccess_;
};

// Tab-aware column counting over one paragraph's text.
int32_t OffsetToColumn(std::u16string_view text, int32_t offset, int tabStops, bool staticFormat);
int32_t ColumnToOffset(std::u16string_view text, int32_t column, int tabStops, bool staticFormat);

}  // namespace qm
