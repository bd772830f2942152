// The strings views of an editor's text: a list of 8-bit strings per paragraph (TPlusParaStrings) or per display line (TPlusLinesStrings).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "editor/highlight/StoredItems.h"
#include "platform/Stream.h"

namespace qm {

class TPlusMemoU;

// Base of both views: a single-byte string list (Windows-1251) over the
// control's UTF-16 text. Every change passes through the control's selection
// and SetSelTextBuf, so it is undoable and fires the control's events; loads
// go through the control's load and clear its undo list.
class TPlusMemoUStrings {
 public:
  // The name of the stored list property that holds the text.
  static constexpr const char* kStoredProperty = "Strings";

  explicit TPlusMemoUStrings(TPlusMemoU& memo) : memo_(memo) {}
  virtual ~TPlusMemoUStrings() = default;
  TPlusMemoUStrings(const TPlusMemoUStrings&) = delete;
  TPlusMemoUStrings& operator=(const TPlusMemoUStrings&) = delete;

  TPlusMemoU& Memo() const { return memo_; }

  // --- the list; its items are the view's paragraphs or display lines
  // The number of items; a final empty item (the text ends with a break) is
  // not counted.
  virtual int Count() const = 0;
  virtual std::string Get(int i) const = 0;
  virtual void Put(int i, const std::string& s) = 0;
  // Appends s; returns the count of the view's units (paragraphs or display
  // lines) after the add, less one.
  virtual int Add(const std::string& s) = 0;
  virtual void Delete(int i) = 0;
  virtual void Insert(int i, const std::string& s) = 0;

  // The whole text, paragraphs joined by CR LF whatever the control's LineBreak.
  std::string Text() const;
  // Replaces the whole text (undoable); CR and CR LF in it start paragraphs.
  void SetText(const std::string& text);
  // Replaces the whole text by the empty text (undoable).
  void Clear();

  // Nestable; changes inside are laid out and announced once, at the end.
  void BeginUpdate();
  void EndUpdate();

  // Copies the other view's control text (UTF-16, through a memory stream)
  // into this control with the control's load.
  void Assign(const TPlusMemoUStrings& source);
  // Sets the text of a string list: every string followed by CR LF, so that
  // afterwards Count() and Get() give the strings back.
  void Assign(const std::vector<std::string>& source);

  // --- the stored list property "Strings"
  // Whether the property is written: only when the text is not empty.
  bool HasData() const;
  // One wide string per paragraph, the last (possibly empty) one included.
  TStoredItems WriteData() const;
  // Loads the text from wide strings (one paragraph each) or 8-bit strings,
  // where a string whose last character is 5 continues in the next string
  // (the 5 dropped). Raises EReadError "Invalid property value" for an item
  // that is not a string.
  void ReadData(const TStoredItems& items);

  // Reads the rest of the stream as single-byte text and loads it through the
  // control's load, so CR LF, LF CR, CR and LF all end paragraphs.
  void LoadFromStream(TStream& stream);
  // The same load from single-byte text already in memory, decoded as it is read.
  void LoadFromBytes(std::string_view bytes);
  // Writes Text(): single-byte, CR LF between paragraphs, nothing after the last.
  void SaveToStream(TStream& stream) const;
  // Raises EFOpenError when the file cannot be opened.
  void LoadFromFile(const std::string& path);
  // Replaces the file as a whole or not at all (SaveFileAtomically); raises
  // EFCreateError when it cannot be written and then leaves the old file as it was.
  void SaveToFile(const std::string& path) const;

 protected:
  // Selects start … stop and replaces the selection by text.
  void ReplaceRange(int32_t start, int32_t stop, const std::u16string& text) const;
  // Appends a paragraph: after a non-empty last paragraph as a new one; an
  // empty last paragraph becomes text followed by a break, so the text again
  // ends with an empty paragraph.
  void AppendParagraph(const std::u16string& text) const;

 private:
  TPlusMemoU& memo_;
};

// One string per paragraph.
class TPlusParaStrings : public TPlusMemoUStrings {
 public:
  using TPlusMemoUStrings::TPlusMemoUStrings;

  int Count() const override;
  // Raises ERangeError "List index out of bounds" for i outside the paragraphs.
  std::string Get(int i) const override;
  // Replaces the characters of paragraph i inside one update; for i beyond the
  // last paragraph, empty paragraphs are appended up to i first. When i holds
  // the caret, the caret ends at the paragraph start; otherwise caret and
  // selection are restored, the caret shifted by the change of length when
  // paragraph i lies before it. Raises ERangeError for i below 0.
  void Put(int i, const std::string& s) override;
  // Appends s as a paragraph (see AppendParagraph); returns ParagraphCount - 1.
  int Add(const std::string& s) override;
  // Deletes paragraph i with its following break (the last paragraph: only
  // its characters). Raises ERangeError for i outside the paragraphs.
  void Delete(int i) override;
  // Below the paragraph count: s and a break at the start of paragraph i;
  // otherwise a break and s at the text end. Raises ERangeError for i below 0.
  void Insert(int i, const std::string& s) override;
};

// One string per display line: the control's Lines. With word wrap off a
// display line is a paragraph.
class TPlusLinesStrings : public TPlusMemoUStrings {
 public:
  using TPlusMemoUStrings::TPlusMemoUStrings;

  int Count() const override;
  // The text of display line i; empty for i outside the lines.
  std::string Get(int i) const override;
  // Replaces the characters of display line i; nothing for i outside the lines.
  void Put(int i, const std::string& s) override;
  // Appends s as a paragraph (see AppendParagraph), then puts the caret at the
  // text end; returns LineCount - 1.
  int Add(const std::string& s) override;
  // Deletes display line i, with the following break when the line ends its
  // paragraph; nothing for i outside 0 … Count() - 1.
  void Delete(int i) override;
  // Below the line count: s and CR LF at the start of display line i; equal
  // to it: CR LF and s at the text end; otherwise (or below 0) nothing.
  void Insert(int i, const std::string& s) override;
};

}  // namespace qm
