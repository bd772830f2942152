// The strings views: paragraph and line list operations, undo and events through them, 8-bit text, streams, files and the stored property.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "editor/control/StringsViews.h"
#include "platform/Exceptions.h"
#include "platform/FileStream.h"

namespace qm {
namespace {

namespace fs = std::filesystem;
using test::LoadText;
using test::S;
using test::U;

// "Привет" in Windows-1251.
const std::string kPrivet = "\xcf\xf0\xe8\xe2\xe5\xf2";

// The script editor's setting: word wrap off, so a display line is a paragraph.
struct Views {
  Views() {
    memo.WordWrap = false;
    memo.OnChange = [this](TComponent*) { ++changes; };
  }
  explicit Views(std::string_view utf8) : Views() {
    LoadText(memo, U(utf8));
    changes = 0;
  }

  std::string Text() const { return S(memo.Text()); }

  TPlusMemoU memo;
  TPlusParaStrings paras{memo};
  TPlusLinesStrings lines{memo};
  int changes = 0;
};

std::string Bytes(const TMemoryStream& stream) { return std::string(stream.Bytes().begin(), stream.Bytes().end()); }

TMemoryStream StreamOfBytes(const std::string& bytes) {
  TMemoryStream stream(std::vector<uint8_t>(bytes.begin(), bytes.end()));
  return stream;
}

// --- counts and reading

TEST(StringsViews, CountLeavesOutAnEmptyLastParagraphOrLine) {
  struct Case {
    const char* text;
    int count;
  };
  const Case cases[] = {{"", 0}, {"a", 1}, {"a\r\n", 1}, {"a\r\n\r\n", 2}, {"a\r\nb", 2}, {"\r\nb", 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Views v(c.text);
    EXPECT_EQ(v.paras.Count(), c.count);
    EXPECT_EQ(v.lines.Count(), c.count);
  }
}

TEST(StringsViews, GetReadsParagraphsAndLines) {
  Views v("one\r\n\r\nthree\r\n");
  const std::vector<std::string> expected = {"one", "", "three", ""};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(v.paras.Get(i), expected[static_cast<size_t>(i)]);
    EXPECT_EQ(v.lines.Get(i), expected[static_cast<size_t>(i)]);
  }
  EXPECT_THROW(v.paras.Get(4), ERangeError);
  EXPECT_THROW(v.paras.Get(-1), ERangeError);
  EXPECT_EQ(v.lines.Get(4), "");
  EXPECT_EQ(v.lines.Get(-1), "");
}

// --- TPlusParaStrings

TEST(StringsParagraphs, PutReplacesTheParagraphAndPlacesTheCaret) {
  struct Case {
    const char* name;
    int32_t caret, selLength;
    int index;
    const char* s;
    const char* text;
    int32_t caretAfter, selLengthAfter;
  };
  // Start text "ab\r\ncd\r\nef": paragraph 1 starts at 4, paragraph 2 at 8.
  const Case cases[] = {
      {"caret in the paragraph goes to its start", 5, 1, 1, "XYZ", "ab\r\nXYZ\r\nef", 4, 0},
      {"paragraph before the caret shifts it", 9, -2, 0, "a", "a\r\ncd\r\nef", 8, -2},
      {"paragraph after the caret keeps it", 1, 1, 2, "EFGH", "ab\r\ncd\r\nEFGH", 1, 1},
      {"new text with a break shifts by the change of positions", 9, 0, 0, "x\ry", "x\r\ny\r\ncd\r\nef", 11, 0},
      {"beyond the end appends empty paragraphs", 9, 0, 4, "z", "ab\r\ncd\r\nef\r\n\r\nz", 9, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Views v("ab\r\ncd\r\nef");
    v.memo.SetSelStart(c.caret);
    v.memo.SetSelLength(c.selLength);
    v.paras.Put(c.index, c.s);
    EXPECT_EQ(v.Text(), c.text);
    EXPECT_EQ(v.memo.SelStart(), c.caretAfter);
    EXPECT_EQ(v.memo.SelLength(), c.selLengthAfter);
    EXPECT_EQ(v.changes, 1);  // one update around the whole put
  }
  Views v("a");
  EXPECT_THROW(v.paras.Put(-1, "x"), ERangeError);
}

TEST(StringsParagraphs, AddFillsAnEmptyLastParagraphOrAppendsANewOne) {
  struct Case {
    const char* text;
    const char* s;
    const char* result;
    int index;
  };
  const Case cases[] = {
      {"a", "b", "a\r\nb", 1},
      {"a\r\n", "b", "a\r\nb\r\n", 2},
      {"", "b", "b\r\n", 1},
      {"a", "", "a\r\n", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Views v(c.text);
    EXPECT_EQ(v.paras.Add(c.s), c.index);
    EXPECT_EQ(v.Text(), c.result);
  }
}

TEST(StringsParagraphs, DeleteTakesTheParagraphWithItsBreak) {
  struct Case {
    const char* text;
    int index;
    const char* result;
  };
  const Case cases[] = {
      {"a\r\nb\r\nc", 1, "a\r\nc"},
      {"a\r\nb\r\nc", 0, "b\r\nc"},
      {"a\r\nb", 1, "a\r\n"},           // the last paragraph: only its characters
      {"a\r\nb\r\n", 2, "a\r\nb\r\n"},  // the empty last paragraph has none
      {"a", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Views v(c.text);
    v.paras.Delete(c.index);
    EXPECT_EQ(v.Text(), c.result);
  }
  Views v("a\r\nb");
  EXPECT_THROW(v.paras.Delete(2), ERangeError);
  EXPECT_THROW(v.paras.Delete(-1), ERangeError);
  EXPECT_EQ(v.Text(), "a\r\nb");
}

TEST(StringsParagraphs, InsertGoesBeforeTheParagraphOrAtTheEnd) {
  struct Case {
    const char* text;
    int index;
    const char* result;
  };
  const Case cases[] = {
      {"a\r\nb", 0, "x\r\na\r\nb"},
      {"a\r\nb", 1, "a\r\nx\r\nb"},
      {"a\r\nb", 2, "a\r\nb\r\nx"},
      {"a\r\nb", 7, "a\r\nb\r\nx"},
      {"a\r\n", 1, "a\r\nx\r\n"},  // before the empty last paragraph
      {"", 0, "x\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.text << " at " << c.index);
    Views v(c.text);
    v.paras.Insert(c.index, "x");
    EXPECT_EQ(v.Text(), c.result);
  }
  Views v("a");
  EXPECT_THROW(v.paras.Insert(-1, "x"), ERangeError);
}

// --- TPlusLinesStrings

TEST(StringsLines, PutReplacesAnExistingLineOnly) {
  struct Case {
    const char* text;
    int index;
    const char* result;
  };
  const Case cases[] = {
      {"a\r\nb", 1, "a\r\nx"},
      {"a\r\nb\r\n", 2, "a\r\nb\r\nx"},  // the empty last line exists
      {"a\r\nb", 2, "a\r\nb"},
      {"a\r\nb", -1, "a\r\nb"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.text << " at " << c.index);
    Views v(c.text);
    v.lines.Put(c.index, "x");
    EXPECT_EQ(v.Text(), c.result);
  }
}

TEST(StringsLines, AddAppendsAndPutsTheCaretAtTheTextEnd) {
  struct Case {
    const char* text;
    const char* s;
    const char* result;
    int index;
  };
  const Case cases[] = {
      {"a", "b", "a\r\nb", 1},
      {"a\r\n", "b", "a\r\nb\r\n", 2},
      // A block added as one string with lone CRs: three lines and a new empty last one.
      {"", "begin GameMode\r\rend", "begin GameMode\r\n\r\nend\r\n", 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Views v(c.text);
    v.memo.SetSelStart(0);
    EXPECT_EQ(v.lines.Add(c.s), c.index);
    EXPECT_EQ(v.Text(), c.result);
    EXPECT_EQ(v.memo.SelStart(), v.memo.TextLength());
    EXPECT_EQ(v.memo.SelLength(), 0);
  }
}

TEST(StringsLines, DeleteTakesTheLineWithItsBreakWithinCount) {
  struct Case {
    const char* text;
    int index;
    const char* result;
  };
  const Case cases[] = {
      {"a\r\nb\r\nc", 1, "a\r\nc"}, {"a\r\nb", 1, "a\r\n"},
      {"a\r\nb\r\n", 1, "a\r\n"},   {"a\r\nb\r\n", 2, "a\r\nb\r\n"},  // at Count: ignored
      {"a\r\nb", 5, "a\r\nb"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.text << " at " << c.index);
    Views v(c.text);
    v.lines.Delete(c.index);
    EXPECT_EQ(v.Text(), c.result);
  }
}

TEST(StringsLines, InsertGoesBeforeTheLineAtTheEndForTheLineCountAndNowhereBeyond) {
  struct Case {
    const char* text;
    int index;
    const char* result;
  };
  const Case cases[] = {
      {"a\r\nb", 0, "x\r\na\r\nb"},
      {"a\r\nb", 1, "a\r\nx\r\nb"},
      {"a\r\nb", 2, "a\r\nb\r\nx"},  // equal to the line count: CR LF and s at the end
      {"a\r\nb", 3, "a\r\nb"},
      {"a\r\nb", -1, "a\r\nb"},
      {"a\r\nb\r\n", 2, "a\r\nb\r\nx\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.text << " at " << c.index);
    Views v(c.text);
    v.lines.Insert(c.index, "x");
    EXPECT_EQ(v.Text(), c.result);
  }
}

// --- undo and events

TEST(StringsViews, EachEditThroughAViewIsOneUndoStepAndOneChange) {
  const std::string start = "one\r\ntwo\r\nthree";
  struct Case {
    const char* name;
    std::function<void(Views&)> edit;
  };
  const Case cases[] = {
      {"Paragraphs.Put", [](Views& v) { v.paras.Put(1, "TWO"); }},
      {"Paragraphs.Put beyond the end", [](Views& v) { v.paras.Put(5, "six"); }},
      {"Paragraphs.Add", [](Views& v) { v.paras.Add("four"); }},
      {"Paragraphs.Delete", [](Views& v) { v.paras.Delete(0); }},
      {"Paragraphs.Insert", [](Views& v) { v.paras.Insert(1, "new"); }},
      {"Lines.Put", [](Views& v) { v.lines.Put(2, "THREE"); }},
      {"Lines.Add", [](Views& v) { v.lines.Add("four"); }},
      {"Lines.Delete", [](Views& v) { v.lines.Delete(2); }},
      {"Lines.Insert", [](Views& v) { v.lines.Insert(3, "four"); }},
      {"SetText", [](Views& v) { v.paras.SetText("other"); }},
      {"Clear", [](Views& v) { v.lines.Clear(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Views v(start);
    c.edit(v);
    EXPECT_NE(v.Text(), start);
    EXPECT_EQ(v.changes, 1);
    v.memo.Undo();
    EXPECT_EQ(v.Text(), start);
    EXPECT_FALSE(v.memo.CanUndo());
  }
}

TEST(StringsViews, AnUpdateOfTheViewAnnouncesSeveralEditsOnce) {
  Views v;
  v.lines.BeginUpdate();
  v.lines.Add("a");
  v.lines.Add("b");
  EXPECT_EQ(v.changes, 0);
  v.lines.EndUpdate();
  EXPECT_EQ(v.changes, 1);
  EXPECT_EQ(v.Text(), "a\r\nb\r\n");
}

// --- text and 8-bit conversion

TEST(StringsViews, TextJoinsParagraphsWithCrLfWhateverTheLineBreak) {
  Views v("a\nb\rc");
  v.memo.LineBreak = pbLF;
  EXPECT_EQ(v.paras.Text(), "a\r\nb\r\nc");
  TMemoryStream out;
  v.paras.SaveToStream(out);
  EXPECT_EQ(Bytes(out), "a\r\nb\r\nc");
  v.lines.SetText("x\r\ny");
  EXPECT_EQ(v.paras.Count(), 2);
}

TEST(StringsViews, CyrillicPassesThroughWindows1251BothWays) {
  Views v;
  v.paras.Put(0, kPrivet);
  EXPECT_EQ(v.memo.ParagraphText(0), U("Привет"));
  EXPECT_EQ(v.paras.Get(0), kPrivet);
  EXPECT_EQ(v.lines.Get(0), kPrivet);
  TMemoryStream out;
  v.paras.SaveToStream(out);
  EXPECT_EQ(Bytes(out), kPrivet);

  Views loaded;
  TMemoryStream in = StreamOfBytes(kPrivet + "\r\n" + kPrivet);
  loaded.lines.LoadFromStream(in);
  EXPECT_EQ(loaded.memo.Text(), U("Привет\r\nПривет"));

  // A character the code page lacks reads as '?'.
  LoadText(v.memo, U("a日b"));
  EXPECT_EQ(v.paras.Get(0), "a?b");
}

TEST(StringsViews, LoadingDetectsEveryBreakAndSavingWritesCrLf) {
  struct Case {
    const char* file;
    int count;
    const char* saved;
  };
  const Case cases[] = {
      {"a\nb\nc", 3, "a\r\nb\r\nc"},   {"a\rb\rc", 3, "a\r\nb\r\nc"}, {"a\n\rb\n\r", 2, "a\r\nb\r\n"},
      {"a\r\nb\r\n", 2, "a\r\nb\r\n"}, {"a\r\r\nb", 3, "a\r\n\r\nb"}, {"", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.file)));
    Views v;
    TMemoryStream in = StreamOfBytes(c.file);
    v.lines.LoadFromStream(in);
    EXPECT_EQ(v.lines.Count(), c.count);
    EXPECT_FALSE(v.memo.CanUndo());
    TMemoryStream out;
    v.lines.SaveToStream(out);
    EXPECT_EQ(Bytes(out), c.saved);
  }
}

TEST(StringsViews, LoadFromStreamReadsFromThePositionOn) {
  Views v("old");
  TMemoryStream in = StreamOfBytes("skip|kept\nline");
  in.SetPosition(5);
  v.paras.LoadFromStream(in);
  EXPECT_EQ(v.Text(), "kept\r\nline");
  EXPECT_EQ(v.changes, 1);
}

// --- assignment

TEST(StringsViews, AssignFromAViewCopiesTheOtherControlsText) {
  Views source("a\r\nПривет\r\n");
  source.memo.LineBreak = pbLF;
  Views target("old");
  target.memo.SetSelStart(1);
  target.memo.SetSelText(u"x");
  target.paras.Assign(source.lines);
  EXPECT_EQ(target.memo.Text(), source.memo.Text());
  EXPECT_FALSE(target.memo.CanUndo());  // a load, not an edit
  target.paras.Assign(target.lines);    // onto itself: nothing changes
  EXPECT_EQ(target.memo.Text(), source.memo.Text());
}

TEST(StringsViews, AssignFromAStringListGivesItsStringsBack) {
  const std::vector<std::string> list = {"first", "", kPrivet};
  Views v("old");
  v.paras.Assign(list);
  EXPECT_EQ(v.Text(), "first\r\n\r\nПривет\r\n");
  ASSERT_EQ(v.paras.Count(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(v.paras.Get(i), list[static_cast<size_t>(i)]);
  v.paras.Assign(std::vector<std::string>{});
  EXPECT_EQ(v.Text(), "");
}

// --- the stored property "Strings"

TEST(StringsViews, StoredStringsAreWrittenAsWideParagraphsOnlyWhenThereIsText) {
  Views empty;
  EXPECT_FALSE(empty.paras.HasData());
  EXPECT_EQ(empty.paras.WriteData(), TStoredItems{TStoredItem::WideString(u"")});

  Views v("a\r\n\r\nПривет\r\n");
  EXPECT_TRUE(v.paras.HasData());
  const TStoredItems items = v.paras.WriteData();
  const TStoredItems expected = {TStoredItem::WideString(u"a"), TStoredItem::WideString(u""),
                                 TStoredItem::WideString(U("Привет")), TStoredItem::WideString(u"")};
  EXPECT_EQ(items, expected);
  Views copy("old");
  copy.lines.ReadData(items);
  EXPECT_EQ(copy.memo.Text(), v.memo.Text());
}

TEST(StringsViews, StoredEightBitStringsEndingInFiveContinueInTheNext) {
  using I = TStoredItem;
  struct Case {
    const char* name;
    TStoredItems items;
    const char* text;
  };
  const Case cases[] = {
      {"pieces of one paragraph",
       {I::String("ab\x05"), I::String("cd\x05"), I::String("ef"), I::String("gh")},
       "abcdef\r\ngh"},
      {"a last piece marked", {I::String("ab"), I::String("cd\x05")}, "ab\r\ncd"},
      {"8-bit and wide strings mixed",
       {I::String(kPrivet + "\x05"), I::WideString(u"!"), I::String("")},
       "Привет!\r\n"},
      {"a 5 inside a string is text", {I::String("a\x05z")}, "a\x05z"},
      {"nothing", {}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Views v("old");
    v.paras.ReadData(c.items);
    EXPECT_EQ(v.Text(), c.text);
  }
  Views v("old");
  EXPECT_THROW(v.paras.ReadData({I::String("a"), I::Integer(3)}), EReadError);
  EXPECT_EQ(v.Text(), "old");
}

// --- files

class StringsFiles : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "qm-strings-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(dir_, ignored);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }

  fs::path dir_;
};

TEST_F(StringsFiles, LfAndCrFilesLoadAndSaveBackWithCrLf) {
  for (const char* file : {"one\ntwo\n"
                           "\xcf\xf0\xe8\xe2\xe5\xf2",
                           "one\rtwo\r"
                           "\xcf\xf0\xe8\xe2\xe5\xf2"}) {
    SCOPED_TRACE(testing::PrintToString(std::string(file)));
    const std::string path = Path("script.txt");
    WriteFile(path, file);
    Views v;
    v.lines.LoadFromFile(path);
    EXPECT_EQ(v.lines.Count(), 3);
    EXPECT_EQ(v.lines.Get(2), kPrivet);
    v.lines.SaveToFile(path);
    EXPECT_EQ(ReadFile(path), "one\r\ntwo\r\n" + kPrivet);
  }
}

TEST_F(StringsFiles, AnEmptyTextSavesAsAnEmptyFile) {
  const std::string path = Path("empty.txt");
  WriteFile(path, "old content");
  Views v;
  v.lines.SaveToFile(path);
  EXPECT_TRUE(fs::exists(path));
  EXPECT_EQ(fs::file_size(path), 0u);
}

TEST_F(StringsFiles, AMissingFileRaisesOpenErrorAndKeepsTheText) {
  const std::string path = Path("missing.txt");
  Views v("kept");
  try {
    v.lines.LoadFromFile(path);
    ADD_FAILURE() << "loaded";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message, "Cannot open file \"" + path + "\". No such file or directory");
  }
  EXPECT_EQ(v.Text(), "kept");
}

TEST_F(StringsFiles, AnUnwritablePlaceRaisesCreateErrorAndWritesNothing) {
  Views v("new text");
  const std::string missingFolder = Path("no-such-folder/script.txt");
  EXPECT_THROW(v.lines.SaveToFile(missingFolder), EFCreateError);
  EXPECT_FALSE(fs::exists(fs::path(missingFolder).parent_path()));

  const std::string locked = Path("locked");
  fs::create_directory(locked);
  WriteFile(locked + "/script.txt", "old");
  fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
  if (::access(locked.c_str(), W_OK) == 0) GTEST_SKIP() << "this user may write into a read-only folder";
  try {
    v.lines.SaveToFile(locked + "/script.txt");
    ADD_FAILURE() << "saved";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message, "Cannot create file \"" + locked + "/script.txt\". Permission denied");
  }
  EXPECT_EQ(ReadFile(locked + "/script.txt"), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(locked), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace qm
