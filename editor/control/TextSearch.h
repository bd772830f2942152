// TTextSearch: finding a string in the editor's paragraphs, with case folding and whole words.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "editor/store/Paragraphs.h"
#include "editor/store/Types.h"

namespace qm {

// The folded copy of the paragraph searched last. It is kept so that "find
// next" in a long paragraph does not fold it again; a copy made before the
// text's generation (advanced by every edit) is made anew.
struct TFoldedParagraph {
  std::u16string Text;
  int Par = -1;
  uint64_t Generation = 0;
  void Forget() { Par = -1; }
};

// One pattern searched for paragraph by paragraph. Without matchCase the
// pattern and the text are compared folded; with wholeWord a match must
// stand between separators or paragraph ends, tested on the stored
// characters so that folding cannot turn a letter into a separator or back.
class TTextSearch {
 public:
  TTextSearch(const TParagraphsList& list, std::u16string_view pattern, bool wholeWord, bool matchCase,
              TpmUpperCase folding, const TCharSet& separators, TFoldedParagraph& folded, uint64_t generation);

  size_t Length() const { return pattern_.size(); }
  // The first match in paragraph par at or after `from`, or npos.
  size_t FirstFrom(int par, size_t from);
  // The last match in paragraph par that starts before `before`, or npos.
  size_t LastBefore(int par, size_t before);

 private:
  std::u16string_view Searched(int par);
  bool WholeWordAt(int par, size_t i) const;

  const TParagraphsList& list_;
  std::u16string pattern_;
  bool wholeWord_;
  bool matchCase_;
  TpmUpperCase folding_;
  const TCharSet& separators_;
  TFoldedParagraph& folded_;
  uint64_t generation_;
};

}  // namespace qm
