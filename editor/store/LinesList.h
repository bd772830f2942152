// TLinesList: the display lines of one paragraph presented as a list.
#pragma once

#include "editor/store/Paragraphs.h"

namespace qm {

class TLinesList {
 public:
  TLinesList(const TParagraphsList& list, int paragraph) : list_(&list), paragraph_(paragraph) {}
  void SetParagraph(int paragraph) { paragraph_ = paragraph; }
  int Count() const { return list_->LineCountOf(paragraph_); }
  // Line i; raises ERangeError outside 0 … Count-1.
  TLineInfo operator[](int i) const { return list_->LineInfo(paragraph_, i); }

 private:
  const TParagraphsList* list_;
  int paragraph_;
};

}  // namespace qm
