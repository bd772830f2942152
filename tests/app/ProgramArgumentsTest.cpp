// Tests of the editor's command line: what each set of arguments asks, and the answers given without a window.
#include "app/ProgramArguments.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace qm {
namespace {

struct TArgsCase {
  std::vector<std::string> Args;
  TProgramRequest Request;
  std::string Script;
  std::string Error;
};

const TArgsCase kCases[] = {
    {{}, TProgramRequest::Run, "", ""},
    {{"script.txt"}, TProgramRequest::Run, "script.txt", ""},
    {{"dir/my script.txt"}, TProgramRequest::Run, "dir/my script.txt", ""},
    {{"\xCF\xF0\xE8.txt"}, TProgramRequest::Run, "\xCF\xF0\xE8.txt", ""},  // not UTF-8: kept as bytes
    {{"--", "-dash.txt"}, TProgramRequest::Run, "-dash.txt", ""},
    {{"--", "--help"}, TProgramRequest::Run, "--help", ""},
    {{"--", "-"}, TProgramRequest::Run, "-", ""},
    {{"-h"}, TProgramRequest::Help, "", ""},
    {{"a.txt", "--help"}, TProgramRequest::Help, "", ""},
    {{"-platform", "offscreen", "--help"}, TProgramRequest::Help, "", "unknown option '-platform'"},
    {{"--version"}, TProgramRequest::Version, "", ""},
    {{"--help", "--version"}, TProgramRequest::Help, "", ""},
    {{"a.txt", "b.txt"}, TProgramRequest::UsageError, "", "one script at a time: 'a.txt' and 1 other given"},
    {{"a.txt", "b.txt", "c.txt"}, TProgramRequest::UsageError, "", "one script at a time: 'a.txt' and 2 others given"},
    {{"--bogus", "a.txt"}, TProgramRequest::UsageError, "", "unknown option '--bogus'"},
    {{"-x"}, TProgramRequest::UsageError, "", "unknown option '-x'"},
    {{"-"}, TProgramRequest::UsageError, "", "a script cannot be read from standard input; name its file"},
    {{""}, TProgramRequest::UsageError, "", "an empty script name"},
};

TEST(ProgramArguments, EachCommandLineAsksWhatItSays) {
  for (const TArgsCase& c : kCases) {
    std::string shown;
    for (const std::string& a : c.Args) shown += "[" + a + "] ";
    const TProgramArguments got = ReadProgramArguments(c.Args);
    EXPECT_EQ(got.Request, c.Request) << shown;
    EXPECT_EQ(got.Script, c.Script) << shown;
    EXPECT_EQ(got.Error, c.Error) << shown;
  }
}

// What a request prints on standard output and standard error, and its exit status.
struct TAnswer {
  std::string Out;
  std::string Err;
  int Status;
};

TAnswer Answer(const TProgramArguments& arguments) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  TAnswer answer;
  answer.Status = AnswerWithoutWindow(arguments, out, err);
  for (auto [file, text] : {std::pair{out, &answer.Out}, std::pair{err, &answer.Err}}) {
    std::rewind(file);
    for (int c; (c = std::fgetc(file)) != EOF;) *text += static_cast<char>(c);
    std::fclose(file);
  }
  return answer;
}

TEST(ProgramArguments, HelpVersionAndUsageErrorsAnswerOnTheirStreams) {
  const TAnswer help = Answer(ReadProgramArguments({"--help"}));
  EXPECT_EQ(help.Status, 0);
  EXPECT_EQ(help.Out.rfind("Usage: quillmark [OPTION]... [SCRIPT]\n", 0), 0u) << help.Out;
  for (const char* option : {"--help", "--version", "XDG_DATA_HOME"})
    EXPECT_NE(help.Out.find(option), std::string::npos) << option;
  EXPECT_EQ(help.Err, "");

  const TAnswer version = Answer(ReadProgramArguments({"--version"}));
  EXPECT_EQ(version.Status, 0);
  EXPECT_EQ(version.Out, "quillmark (Quillmark) 1.2\n");
  EXPECT_EQ(version.Err, "");

  const TAnswer usage = Answer(ReadProgramArguments({"a.txt", "b.txt"}));
  EXPECT_EQ(usage.Status, 2);
  EXPECT_EQ(usage.Out, "");
  EXPECT_EQ(usage.Err,
            "quillmark: one script at a time: 'a.txt' and 1 other given\n"
            "Try 'quillmark --help' for more information.\n");
}

}  // namespace
}  // namespace qm
