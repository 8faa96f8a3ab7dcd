#include "base/file_read.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "testutil.h"

namespace tavrin {
namespace {

TEST(ReadRegularFile, RefusesWhatIsNoSmallRegularFile) {
  const struct {
    const char* what;  // what stands at the path
    std::size_t limit;
    std::optional<ReadRefusal::Kind> refusal;  // nullopt: read
    int error;                                 // for kCannotOpen
    std::uintmax_t size;                       // for kTooLarge: as opened, 0 when it grew while read
  } cases[] = {
      {"file", 11, std::nullopt, 0, 0},
      {"missing", 11, ReadRefusal::kCannotOpen, ENOENT, 0},
      {"dir", 11, ReadRefusal::kCannotOpen, EISDIR, 0},
      {"fifo", 11, ReadRefusal::kNotRegular, 0, 0},  // opened without waiting for a writer
      {"device", 11, ReadRefusal::kNotRegular, 0, 0},
      {"file", 10, ReadRefusal::kTooLarge, 0, 11},
      // A file the system calls empty that gives more when read, as a file
      // growing meanwhile does.
      {"proc", 10, ReadRefusal::kTooLarge, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.what) + " " + std::to_string(c.limit));
    test::TempDir temp;
    std::string path = temp.Dir() + "data";
    const std::string what = c.what;
    if (what == "file") temp.Write("data", "hello world");
    if (what == "dir") std::filesystem::create_directory(path);
    if (what == "fifo") {
      ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    }
    if (what == "device") path = "/dev/zero";
    if (what == "proc") path = "/proc/self/status";

    ReadRefusal refusal;
    const std::optional<std::string> bytes = ReadRegularFile(path, c.limit, refusal);

    if (!c.refusal) {
      EXPECT_EQ(bytes, "hello world");
      continue;
    }
    ASSERT_FALSE(bytes.has_value());
    EXPECT_EQ(refusal.kind, *c.refusal);
    if (*c.refusal == ReadRefusal::kCannotOpen) {
      EXPECT_EQ(refusal.error, c.error);
    }
    if (*c.refusal == ReadRefusal::kTooLarge) {
      EXPECT_EQ(refusal.size, c.size);
      EXPECT_EQ(refusal.limit, c.limit);
    }
  }
}

}  // namespace
}  // namespace tavrin
