// Fuzz target: the input read as a sequence of editor operations on a highlighted script editor.
//
// After every operation the store passes its invariant check. At the end the
// highlighting kept up edit by edit equals a fresh highlight of the same text,
// and undoing everything gives back the text of the last load, unless the undo
// limits may have dropped records on the way.
#include <array>
#include <cstdio>
#include <cstdlib>

#include "FuzzChain.h"
#include "FuzzCheck.h"
#include "HighlightUtil.h"
#include "editor/store/StoreCheck.h"
#include "platform/Exceptions.h"

namespace qm {
namespace {

// Pieces of script the operations insert: keys of every span kind, breaks, Cyrillic.
const std::array<std::u16string_view, 24> kPieces = {
    u"begin ",      u"BEGIN GameMode\r\n",
    u"end",         u"END\r\n",
    u"\r\n",        u";",
    u"; note ",     u"\"",
    u"\"text\"",    u"scn ",
    u"SCN Foo\r\n", u"ScriptName ",
    u"MenuMode",    u"if ",
    u"endif",       u" 12 ",
    u"set x to 5",  u"short ",
    u"Activate",    u" ",
    u"\t",          u"\u0416\u0443\u043a",
    u"x\ry\nz",     u"begin MenuMode\r\n  set a to 1 ; c\r\nend\r\n",
};

bool HasLoneLineFeed(std::u16string_view text) {
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) return true;
  return false;
}

class TEditSession {
 public:
  TEditSession(fuzz::TInput& in, THighlighterChain& chain) : in_(in), chain_(chain) {
    test::ConfigureScriptEditor(memo_, chain_);
    memo_.Clipboard = &clipboard_;
    test::LoadText(memo_, Text(6));
    start_ = memo_.Text();
  }

  void Run() {
    for (int step = 0; step < 64 && !in_.Empty(); ++step) {
      MarkPossibleTruncation();
      try {
        const uint32_t kind = in_.Below(15);
        if (trace_) std::fprintf(stderr, "op %u at sel %d+%d\n", kind, memo_.SelStart(), memo_.SelLength());
        Operation(kind);
        if (trace_) std::fprintf(stderr, "  text \"%s\"\n", test::S(memo_.Text()).c_str());
      } catch (const Exception&) {
        // A refused operation ("Text too long", an index out of bounds) is an
        // answer too; the store must still be sound.
      }
      Verify("step " + std::to_string(step));
    }
    CheckHighlighting();
    CheckUndoAll();
  }

 private:
  std::u16string Piece() { return std::u16string(kPieces[in_.Below(kPieces.size())]); }
  std::u16string Text(int pieces) {
    std::u16string out;
    for (int n = static_cast<int>(in_.Below(static_cast<uint32_t>(pieces) + 1)); n > 0; --n) out += Piece();
    return out;
  }
  int32_t Position() { return static_cast<int32_t>(in_.Below(static_cast<uint32_t>(memo_.TextLength()) + 3)) - 1; }

  void Operation(uint32_t kind) {
    switch (kind) {
      case 0:  // type
        for (char16_t c : Piece()) {
          if (c == u'\r')
            memo_.KeyDown(TpmKey::kReturn, {});
          else if (c != u'\n')
            memo_.KeyPress(c);
        }
        break;
      case 1:  // select
        memo_.SetSelStart(Position());
        memo_.SetSelLength(Position());
        break;
      case 2:  // delete
        memo_.KeyDown(in_.Byte() % 2 ? TpmKey::kDelete : TpmKey::kBackspace,
                      TShiftState{false, in_.Byte() % 4 == 0, false});
        break;
      case 3:  // replace the selection
        memo_.SetSelText(Text(3));
        break;
      case 4:  // paste multi-line text
        clipboard_.SetText(Text(4) + u"\r\n" + Text(3));
        memo_.PasteFromClipboard();
        break;
      case 5: memo_.Undo(); break;
      case 6: memo_.Redo(); break;
      case 7: {  // find
        const uint8_t flags = in_.Byte();
        memo_.FindText(Piece(), flags & 1, flags & 2, flags & 4, flags & 8);
        break;
      }
      case 8:  // column insert
        memo_.InsertColumnBlock(Text(3));
        break;
      case 9:  // load
        test::LoadText(memo_, Text(6));
        start_ = memo_.Text();
        truncated_ = false;
        break;
      case 10: memo_.CutToClipboard(); break;
      case 11: memo_.CopyToClipboard(); break;
      case 12:  // move the caret with the keys
        memo_.KeyDown(static_cast<TpmKey>(1 + in_.Below(8)), TShiftState{in_.Byte() % 2 == 1, false, false});
        break;
      case 13:  // tight undo limits drop old records
        truncated_ = true;
        memo_.SetUndoMaxLevel(static_cast<int32_t>(in_.Below(40)));
        memo_.SetUndoMaxSpace(static_cast<int32_t>(in_.Below(4000)));
        break;
      default:  // let the highlighting catch up midway
        scan::HighlightAll(memo_);
        break;
    }
  }

  // An edit may drop the oldest undo records when the list is near its
  // limits; undoing everything then stops short of the start text. Any edit
  // replaces at most the whole text, in at most a few hundred records.
  void MarkPossibleTruncation() {
    const TUndoList& undo = memo_.UndoRecords();
    const int64_t room = static_cast<int64_t>(memo_.TextLength()) + 400 * 13 + 4096;
    if (undo.Count() + 400 >= memo_.UndoMaxLevel() || undo.Space + room >= memo_.UndoMaxSpace()) truncated_ = true;
  }

  void Verify(const std::string& where) {
    try {
      VerifyStore(memo_.Paragraphs(), where);
    } catch (const std::exception& e) {
      fuzz::Fail(e.what());
    }
  }

  void CheckHighlighting() {
    scan::HighlightAll(memo_);
    TPlusMemoU fresh;
    test::ConfigureScriptEditor(fresh, chain_);
    const std::u16string text = memo_.Text();
    // An edit keeps a lone LF as a character, a load would end a paragraph
    // there; such a text is put into the fresh editor by one replace.
    if (HasLoneLineFeed(text))
      fresh.SetText(text);
    else
      test::LoadText(fresh, text);
    fuzz::Require(fresh.ParagraphCount() == memo_.ParagraphCount(), "the fresh editor has other paragraphs");
    scan::HighlightAll(fresh, scan::TSpeedLayers::AllOff());
    if (trace_)
      std::fprintf(stderr, "kept:%s\nfresh:%s\n", test::RunSignature(memo_.Paragraphs()).c_str(),
                   test::RunSignature(fresh.Paragraphs()).c_str());
    fuzz::Require(test::RunSignature(memo_.Paragraphs()) == test::RunSignature(fresh.Paragraphs()),
                  "incremental highlighting differs from a fresh highlight");
  }

  void CheckUndoAll() {
    for (int guard = 0; memo_.CanUndo() && guard < 100000; ++guard) memo_.Undo();
    Verify("after undo all");
    if (!truncated_) fuzz::Require(memo_.Text() == start_, "undo of everything does not give the start text");
  }

  fuzz::TInput& in_;
  THighlighterChain& chain_;
  TPlusMemoU memo_;
  TMemoryClipboard clipboard_;
  std::u16string start_;
  bool truncated_ = false;
  // QM_FUZZ_TRACE=1 prints every operation and the text after it, for
  // turning a saved input into a test.
  const bool trace_ = std::getenv("QM_FUZZ_TRACE") != nullptr;
};

}  // namespace
}  // namespace qm

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const auto chain = qm::fuzz::ChainWithVocabulary();
  qm::fuzz::TInput in(data, size);
  qm::TEditSession session(in, *chain);
  session.Run();
  return 0;
}
