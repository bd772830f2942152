// File streams and the atomic save: reads and writes, open and create errors, old files kept whole, links kept links.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "platform/Exceptions.h"
#include "platform/FileStream.h"

namespace qm {
namespace {

namespace fs = std::filesystem;
using test::Names;
using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

void Put(TStream& stream, const std::string& bytes) { stream.Write(bytes.data(), bytes.size()); }

// Makes a folder unwritable; false when this user may write into it anyway (root).
bool MakeUnwritable(const fs::path& folder) {
  fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
  return ::access(folder.c_str(), W_OK) != 0;
}

TEST(FileStream, WritesReadsAndSeeks) {
  TempFolder dir;
  const std::string path = dir / "data.bin";
  {
    TFileStream out(path, fmCreate);
    Put(out, "hello world");
    EXPECT_EQ(out.Size(), 11);
    EXPECT_EQ(out.Position(), 11);
    out.SetPosition(6);
    Put(out, "WORLD");
  }
  TFileStream in(path, fmOpenRead);
  in.SetPosition(6);
  char buffer[16] = {};
  EXPECT_EQ(in.Read(buffer, sizeof buffer), 5u);
  EXPECT_EQ(std::string(buffer, 5), "WORLD");
  EXPECT_EQ(in.Read(buffer, sizeof buffer), 0u);

  // Creating an existing file empties it.
  TFileStream again(path, fmCreate);
  EXPECT_EQ(again.Size(), 0);
}

TEST(FileStream, OpenAndCreateErrorsNameTheFileAndTheReason) {
  TempFolder dir;
  struct Case {
    std::string path;
    TFileMode mode;
    std::string message;
  };
  const std::string missing = dir / "missing.txt";
  const std::string nested = dir / "no-such-folder/new.txt";
  const std::string folder = dir.Path().string();
  const Case cases[] = {
      {missing, fmOpenRead, "Cannot open file \"" + missing + "\". No such file or directory"},
      {folder, fmOpenRead, "Cannot open file \"" + folder + "\". Is a directory"},
      {nested, fmCreate, "Cannot create file \"" + nested + "\". No such file or directory"},
      {folder, fmCreate, "Cannot create file \"" + folder + "\". Is a directory"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    try {
      TFileStream stream(c.path, c.mode);
      ADD_FAILURE() << "opened";
    } catch (const EStreamError& e) {
      EXPECT_EQ(e.Message, c.message);
      EXPECT_EQ(c.mode == fmOpenRead, dynamic_cast<const EFOpenError*>(&e) != nullptr);
      EXPECT_EQ(c.mode == fmCreate, dynamic_cast<const EFCreateError*>(&e) != nullptr);
    }
  }
  EXPECT_FALSE(fs::exists(nested));
}

TEST(FileStream, CreateInAnUnwritableFolderFails) {
  TempFolder dir;
  if (!MakeUnwritable(dir.Path())) GTEST_SKIP() << "this user may write into a read-only folder";
  const std::string path = dir / "new.txt";
  try {
    TFileStream stream(path, fmCreate);
    ADD_FAILURE() << "created";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message, "Cannot create file \"" + path + "\". Permission denied");
  }
}

TEST(FileStream, RefusedReadsAndWritesRaiseStreamErrors) {
  TempFolder dir;
  const std::string path = dir / "data.bin";
  WriteFile(path, "abc");
  TFileStream readOnly(path, fmOpenRead);
  try {
    Put(readOnly, "x");
    ADD_FAILURE() << "wrote";
  } catch (const EStreamError& e) {
    EXPECT_EQ(e.Message, "Stream write error");
  }
  TFileStream writeOnly(::open(path.c_str(), O_WRONLY | O_CLOEXEC), path);
  char buffer[4];
  try {
    writeOnly.Read(buffer, sizeof buffer);
    ADD_FAILURE() << "read";
  } catch (const EStreamError& e) {
    EXPECT_EQ(e.Message, "Stream read error");
  }
  EXPECT_EQ(ReadFile(path), "abc");
}

TEST(FileStream, AFullDiskIsAWriteError) {
  if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  TFileStream full("/dev/full", fmCreate);
  EXPECT_THROW(Put(full, "x"), EStreamError);
}

TEST(SaveFileAtomically, CreatesOrReplacesTheFileAndLeavesNothingElse) {
  TempFolder dir;
  const std::string path = dir / "script.txt";
  SaveFileAtomically(path, [](TStream& s) { Put(s, "first"); });
  EXPECT_EQ(ReadFile(path), "first");

  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  SaveFileAtomically(path, [](TStream& s) { Put(s, "second, longer"); });
  EXPECT_EQ(ReadFile(path), "second, longer");
  EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"script.txt"});
}

TEST(SaveFileAtomically, AWriterThatFailsMidwayLeavesTheOldFileWhole) {
  TempFolder dir;
  const std::string path = dir / "script.txt";
  const std::string old(100000, 'o');
  WriteFile(path, old);
  EXPECT_THROW(SaveFileAtomically(path,
                                  [](TStream& s) {
                                    Put(s, std::string(50000, 'n'));
                                    throw std::runtime_error("writer failed");
                                  }),
               std::runtime_error);
  EXPECT_EQ(ReadFile(path), old);
  EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"script.txt"});
}

TEST(SaveFileAtomically, ASymbolicLinkStaysALinkAndItsTargetGetsTheContent) {
  TempFolder dir;
  fs::create_directories(dir.Path() / "a");
  fs::create_directories(dir.Path() / "b");
  struct Case {
    std::string link;
    std::string target;      // as written in the link
    std::string targetPath;  // where it points
    bool targetExists;
  };
  const Case cases[] = {
      {dir / "a/link.txt", "../b/real.txt", dir / "b/real.txt", true},
      {dir / "a/dangling.txt", "new.txt", dir / "a/new.txt", false},
      {dir / "chain.txt", dir / "a/link.txt", dir / "b/real.txt", true},
  };
  WriteFile(dir / "b/real.txt", "old");
  for (const Case& c : cases) fs::create_symlink(c.target, c.link);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.link);
    SaveFileAtomically(c.link, [&](TStream& s) { Put(s, "new via " + c.link); });
    EXPECT_TRUE(fs::is_symlink(c.link));
    EXPECT_EQ(fs::read_symlink(c.link).string(), c.target);
    EXPECT_EQ(ReadFile(c.targetPath), "new via " + c.link);
  }
  EXPECT_EQ(Names(dir.Path() / "b"), std::vector<std::string>{"real.txt"});
}

TEST(SaveFileAtomically, AMissingFolderIsACreateErrorForTheGivenPath) {
  TempFolder dir;
  const std::string path = dir / "no-such-folder/script.txt";
  bool called = false;
  try {
    SaveFileAtomically(path, [&](TStream&) { called = true; });
    ADD_FAILURE() << "saved";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message, "Cannot create file \"" + path + "\". No such file or directory");
  }
  EXPECT_FALSE(called);
  EXPECT_TRUE(Names(dir.Path()).empty());
}

TEST(SaveFileAtomically, AnUnwritableFolderOrFileIsACreateErrorAndNothingChanges) {
  TempFolder dir;
  fs::create_directories(dir.Path() / "locked");
  const std::string inLocked = dir / "locked/script.txt";
  const std::string readOnlyFile = dir / "readonly.txt";
  WriteFile(inLocked, "old");
  WriteFile(readOnlyFile, "old");
  fs::permissions(readOnlyFile, fs::perms::owner_read);
  if (!MakeUnwritable(dir.Path() / "locked") || ::access(readOnlyFile.c_str(), W_OK) == 0)
    GTEST_SKIP() << "this user may write read-only files and folders";
  for (const std::string& path : {inLocked, readOnlyFile}) {
    SCOPED_TRACE(path);
    try {
      SaveFileAtomically(path, [](TStream& s) { Put(s, "new"); });
      ADD_FAILURE() << "saved";
    } catch (const EFCreateError& e) {
      EXPECT_EQ(e.Message, "Cannot create file \"" + path + "\". Permission denied");
    }
    EXPECT_EQ(ReadFile(path), "old");
  }
  EXPECT_EQ(Names(dir.Path() / "locked"), std::vector<std::string>{"script.txt"});
}

TEST(SaveFileAtomically, APipeIsWrittenInPlaceNotReplaced) {
  TempFolder dir;
  const std::string path = dir / "pipe";
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  // Holding the pipe open for reading keeps its buffered bytes readable afterwards.
  const int reader = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(reader, 0);
  SaveFileAtomically(path, [](TStream& s) { Put(s, "piped"); });
  char buffer[8] = {};
  EXPECT_EQ(::read(reader, buffer, sizeof buffer), 5);
  ::close(reader);
  EXPECT_EQ(std::string(buffer, 5), "piped");
  EXPECT_TRUE(fs::is_fifo(path));
}

}  // namespace
}  // namespace qm
