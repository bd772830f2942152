// Line break texts.
#include "editor/store/Types.h"

namespace qm {

std::u16string_view LineBreakText(TPlusLineBreak lb) {
  switch (lb) {
    case pbCRLF: return u"\r\n";
    case pbLFCR: return u"\n\r";
    case pbCR: return u"\r";
    case pbLF: return u"\n";
  }
  return u"\r\n";
}

}  // namespace qm
