// Fuzz target: any bytes loaded as an 8-bit script file and as a UTF-16 stream, saved and loaded again.
#include <cstring>

#include "FuzzCheck.h"
#include "editor/control/PlusMemoU.h"
#include "editor/control/StringsViews.h"
#include "editor/store/StoreCheck.h"
#include "platform/Stream.h"

namespace qm {
namespace {

void Verify(const TPlusMemoU& memo, const char* where) {
  try {
    VerifyStore(memo.Paragraphs(), where);
  } catch (const std::exception& e) {
    fuzz::Fail(e.what());
  }
}

// Loads with `load`, saves with `save`, loads the saved bytes into a second
// control: both hold the same text and a sound store.
template <typename Load, typename Save>
void RoundTrip(const uint8_t* data, size_t size, Load load, Save save, const char* what) {
  TPlusMemoU memo;
  TReadOnlyMemoryStream in(data, size);
  load(memo, in);
  Verify(memo, what);
  TMemoryStream saved;
  save(memo, saved);
  saved.SetPosition(0);
  TPlusMemoU again;
  load(again, saved);
  Verify(again, what);
  fuzz::Require(again.Text() == memo.Text(), std::string(what) + ": text changed by save and reload");
  fuzz::Require(again.ParagraphCount() == memo.ParagraphCount(), std::string(what) + ": paragraph count changed");
}

}  // namespace
}  // namespace qm

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace qm;
  RoundTrip(
      data, size, [](TPlusMemoU& memo, TStream& s) { memo.Lines().LoadFromStream(s); },
      [](TPlusMemoU& memo, TStream& s) { memo.Lines().SaveToStream(s); }, "8-bit script");
  RoundTrip(
      data, size, [](TPlusMemoU& memo, TStream& s) { memo.LoadFromStream(s); },
      [](TPlusMemoU& memo, TStream& s) { memo.SaveToStream(s); }, "UTF-16 stream");
  return 0;
}
