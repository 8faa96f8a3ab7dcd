#include "base/file_write.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "testutil.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(WriteFileSafely, OnlyRegularOrNewTargetsAndTheOldContentOnFailure) {
  const struct {
    const char* target;
    const char* made;  // what stands at the target before: file, fifo, dir, null (a link to /dev/null), link
    WriteCall write;
    const char8_t* refusal;  // UTF-8; empty: written
  } cases[] = {
      {"new.csv", "", nullptr, u8""},
      {"old.csv", "file", nullptr, u8""},
      {"link.csv", "link", nullptr, u8""},  // the link stays; its target gets the bytes
      {"full.csv", "file", [](int, const void*, std::size_t) -> ssize_t { return errno = ENOSPC, -1; }, u8"磁盘已满"},
      {"fifo.csv", "fifo", nullptr, u8"一个管道,不是普通文件"},
      {"dir.csv", "dir", nullptr, u8"一个文件夹,不是普通文件"},
      {"null.pdf", "null", nullptr, u8"一个设备,不是普通文件"},
      {"no/such/dir.csv", "", nullptr, u8"文件夹不存在"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.target);
    test::TempDir temp;
    const fs::path dir = temp.Dir();
    const fs::path target = dir / c.target;
    const std::string made = c.made;
    if (made == "file") temp.Write(c.target, "old content");
    if (made == "fifo") {
      ASSERT_EQ(::mkfifo(target.c_str(), 0600), 0);
    }
    if (made == "dir") fs::create_directory(target);
    if (made == "null") fs::create_symlink("/dev/null", target);
    if (made == "link") {
      temp.Write("real.csv", "old content");
      fs::create_symlink("real.csv", target);
    }
    const auto status = fs::symlink_status(target).type();
    const std::string bytes(100, 'x');

    const std::optional<std::string> failure = WriteFileSafely(target.string(), bytes, c.write);

    const std::string refusal = reinterpret_cast<const char*>(c.refusal);
    if (refusal.empty()) {
      EXPECT_EQ(failure, std::nullopt);
      EXPECT_EQ(Read(target), bytes);
      EXPECT_EQ(fs::symlink_status(target).type(), made == "link" ? fs::file_type::symlink : fs::file_type::regular);
    } else {
      ASSERT_TRUE(failure.has_value());
      EXPECT_NE(failure->find(refusal), std::string::npos) << *failure;
      // Left exactly as it was.
      EXPECT_EQ(fs::symlink_status(target).type(), status);
      if (made == "file") {
        EXPECT_EQ(Read(target), "old content");
      }
    }
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    // No temporary file is left behind.
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir)) ++entries;
    EXPECT_EQ(entries, made.empty() ? (failure ? 0u : 1u) : made == "link" ? 2u : 1u);
  }
}

}  // namespace
}  // namespace tavrin
