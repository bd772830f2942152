// TScanHost: what the highlighting passes read of the editor they run in.
#pragma once

#include "editor/store/Paragraphs.h"
#include "editor/store/Types.h"

namespace qm {

class TComponent;
class TKeywordList;
class TPlusHighlighterU;
class TStartStopKeyList;

namespace scan {

class TParagraphText;

// The passes turn a paragraph's text and start style into its runs and end
// style. Beside the paragraphs, this is all they read of an editor: its own
// keyword and start-stop lists with their switches and separators, the first
// highlighter of its chain, a cached folded copy of a paragraph's text, and
// the editor as the sender of the highlighters' events (and owner of the
// navigators those events are given).
class TScanHost {
 public:
  virtual TParagraphsList& Paragraphs() = 0;
  virtual TKeywordList& OwnKeywords() = 0;
  virtual TStartStopKeyList& OwnStartStopKeys() = 0;
  virtual const TCharSet& OwnSeparators() const = 0;
  // The switches of the editor's own lists (ApplyKeyWords, ApplyStartStopKeys).
  virtual bool OwnKeywordsOn() const = 0;
  virtual bool OwnStartStopKeysOn() const = 0;
  // The first highlighter of the chain, or nullptr.
  virtual TPlusHighlighterU* Highlighter() const = 0;
  // The text of paragraph par with its folded copy and words, shared by the
  // passes of the whole chain until the text changes.
  virtual TParagraphText& ScanText(int par) = 0;
  virtual TComponent& EventSender() = 0;

 protected:
  ~TScanHost() = default;
};

}  // namespace scan
}  // namespace qm
