// Memory streams: reads past the end, writes that grow, read-only streams refusing writes.
#include <gtest/gtest.h>

#include "platform/Exceptions.h"
#include "platform/Stream.h"

namespace qm {
namespace {

TEST(Stream, MemoryStreamReadsWritesAndSeeks) {
  TMemoryStream s;
  s.Write("abcdef", 6);
  EXPECT_EQ(s.Size(), 6);
  s.SetPosition(4);
  char buf[8] = {};
  EXPECT_EQ(s.Read(buf, 8), 2u);
  EXPECT_EQ(std::string(buf, 2), "ef");
  EXPECT_EQ(s.Read(buf, 8), 0u);
  s.SetPosition(2);
  s.Write("XYZW", 4);
  EXPECT_EQ(std::string(s.Bytes().begin(), s.Bytes().end()), "abXYZW");
}

TEST(Stream, ReadOnlyStreamRefusesWrites) {
  const char data[] = "hello";
  TReadOnlyMemoryStream s(data, 5);
  char buf[3];
  EXPECT_EQ(s.Read(buf, 3), 3u);
  EXPECT_EQ(s.Position(), 3);
  EXPECT_THROW(s.Write("x", 1), EStreamError);
}

TEST(Exceptions, MessagesAndFormatting) {
  EXPECT_STREQ(ERangeError().what(), "List index out of bounds");
  EXPECT_EQ(FormatMessage(kNotAValidInteger, "12x"), "'12x' is not a valid integer value");
  EXPECT_EQ(FormatMessage(kUnableToWrite, "/tmp/a.ini"), "Unable to write to /tmp/a.ini");
}

}  // namespace
}  // namespace qm
