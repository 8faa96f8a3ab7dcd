#include "core/poetry_db.h"

#include <sqlite3.h>

#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>

#include "chars/encoding.h"
#include "core/data_file.h"

namespace tavrin {

namespace {

// A database text (UTF-8) as GBK; a character GBK lacks becomes "?".
std::string ToCoreText(const unsigned char* utf8, int bytes) {
  return Utf8ToGbkLossy(std::string_view(reinterpret_cast<const char*>(utf8), static_cast<std::size_t>(bytes)));
}

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// SQLite's commonest complaints in words the user reads; any other as it is.
std::string DatabaseReason(const char* message) {
  if (message == nullptr) return U8(u8"未知的数据库错误");
  static const std::pair<std::string_view, const char8_t*> kReasons[] = {
      {"unable to open database file", u8"无法打开"},
      {"file is not a database", u8"不是数据库文件"},
      {"database disk image is malformed", u8"数据库文件已损坏"},
      {"no such table: poetry", u8"没有诗歌表 poetry"},
  };
  for (const auto& [english, chinese] : kReasons) {
    if (english == message) return U8(chinese);
  }
  return message;
}

// The reason, after the file it concerns, so the user learns which file is
// at fault: 无法读取诗歌数据库“<path>”:<reason>
std::string GbkFromDatabase(const std::string& path, const char* message) {
  const std::string text = U8(u8"无法读取诗歌数据库“") + path + U8(u8"”:") + DatabaseReason(message);
  return ToCoreText(reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
}

// The bounds of one query: the longest text SQLite may build, the steps of its
// virtual machine and the time it may take (an endless recursive view meets
// one of them), and the text kept from all rows together.
constexpr int kMaxValueBytes = 256 << 20;
constexpr int kStepsPerCheck = 10'000;
constexpr long kMaxStepChecks = 10'000;  // 100 million steps
constexpr auto kMaxQueryTime = std::chrono::seconds(3);
constexpr std::size_t kMaxTableBytes = 64u << 20;

struct QueryBudget {
  std::chrono::steady_clock::time_point deadline;
  long checks = 0;
};

int OverBudget(void* data) {
  auto& budget = *static_cast<QueryBudget*>(data);
  return ++budget.checks > kMaxStepChecks || std::chrono::steady_clock::now() > budget.deadline;
}

// The database file as a URI that opens it read-only and immutable: SQLite
// then neither locks it nor makes or reads a -wal or -shm file beside it.
std::string ImmutableUri(const std::string& path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string uri = "file:";
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if (std::isalnum(byte) || c == '/' || c == '.' || c == '-' || c == '_' || c == '~') {
      uri += c;
    } else {
      uri += '%';
      uri += kHex[byte >> 4];
      uri += kHex[byte & 0xF];
    }
  }
  return uri + "?mode=ro&immutable=1";
}

// At most `maxChars` UTF-8 characters of the text; `cut` is set when it was longer.
std::size_t Utf8PrefixBytes(const unsigned char* text, std::size_t bytes, std::size_t maxChars, bool& cut) {
  std::size_t chars = 0;
  for (std::size_t pos = 0; pos < bytes; ++pos) {
    if ((text[pos] & 0xC0) != 0x80 && chars++ == maxChars) {
      cut = true;
      return pos;
    }
  }
  return bytes;
}

struct CloseDatabase {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct FinalizeStatement {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

}  // namespace

int PoemTable::Column(const std::string& name) const {
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (columns[i] == name) return static_cast<int>(i);
  }
  return -1;
}

std::optional<PoemTable> QueryPoems(const std::string& path, std::string& error) {
  DataFileError refused;
  const int fd = OpenRegularFile(path, kPoetryMaxBytes, refused);
  if (fd < 0) {
    error = GbkFromDatabase(path, refused.reason.c_str());
    return std::nullopt;
  }
  ::close(fd);
  // The whole library is this program's: no allocation of SQLite's may pass this.
  sqlite3_hard_heap_limit64(std::int64_t{1} << 30);
  sqlite3* raw = nullptr;
  const int opened = sqlite3_open_v2(ImmutableUri(path).c_str(), &raw, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
  std::unique_ptr<sqlite3, CloseDatabase> db(raw);
  if (opened != SQLITE_OK) {
    error = GbkFromDatabase(path, db ? sqlite3_errmsg(db.get()) : sqlite3_errstr(opened));
    return std::nullopt;
  }
  sqlite3_limit(db.get(), SQLITE_LIMIT_LENGTH, kMaxValueBytes);
  QueryBudget budget{std::chrono::steady_clock::now() + kMaxQueryTime};
  sqlite3_progress_handler(db.get(), kStepsPerCheck, &OverBudget, &budget);
  sqlite3_stmt* rawStatement = nullptr;
  if (sqlite3_prepare_v2(db.get(), kPoetryQuery, -1, &rawStatement, nullptr) != SQLITE_OK) {
    error = GbkFromDatabase(path, sqlite3_errmsg(db.get()));
    return std::nullopt;
  }
  std::unique_ptr<sqlite3_stmt, FinalizeStatement> statement(rawStatement);
  PoemTable table;
  const int columns = sqlite3_column_count(statement.get());
  for (int i = 0; i < columns; ++i) {
    const char* name = sqlite3_column_name(statement.get(), i);
    table.columns.push_back(name ? name : "");
  }
  std::size_t tableBytes = 0;
  int step;
  while ((step = sqlite3_step(statement.get())) == SQLITE_ROW) {
    std::vector<std::string> row;
    bool cut = false;
    for (int i = 0; i < columns; ++i) {
      const unsigned char* text = sqlite3_column_text(statement.get(), i);
      const auto bytes = static_cast<std::size_t>(sqlite3_column_bytes(statement.get(), i));
      const std::size_t kept = text ? Utf8PrefixBytes(text, bytes, kMaxPoemTextChars, cut) : 0;
      row.push_back(text ? ToCoreText(text, static_cast<int>(kept)) : std::string());
      tableBytes += kept;
    }
    if (tableBytes > kMaxTableBytes) {
      error = GbkFromDatabase(path, reinterpret_cast<const char*>(u8"诗歌表的内容超过上限"));
      return std::nullopt;
    }
    table.rows.push_back(std::move(row));
    table.cut.push_back(cut);
  }
  if (step == SQLITE_INTERRUPT) {
    error = GbkFromDatabase(path, reinterpret_cast<const char*>(u8"读取诗歌表超过了时间或步数的上限"));
    return std::nullopt;
  }
  if (step != SQLITE_DONE) {
    error = GbkFromDatabase(path, sqlite3_errmsg(db.get()));
    return std::nullopt;
  }
  return table;
}

}  // namespace tavrin
