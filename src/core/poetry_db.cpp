#include "core/poetry_db.h"

#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdint>
#include <string_view>
#include <utility>

#include "base/file_read.h"
#include "base/sqlite.h"
#include "chars/encoding.h"
#include "core/data_file.h"

namespace tavrin {

namespace {

// A database text (UTF-8) as GBK; a character GBK lacks becomes "?".
std::string ToCoreText(const unsigned char* utf8, int bytes) {
  return Utf8ToGbkLossy(std::string_view(reinterpret_cast<const char*>(utf8), static_cast<std::size_t>(bytes)));
}

// SQLite's commonest complaints in words the user reads; any other as it is.
Utf8Text DatabaseReason(const char* message) {
  if (message == nullptr) return Utf8Literal(u8"未知的数据库错误");
  static const std::pair<std::string_view, std::u8string_view> kReasons[] = {
      {"unable to open database file", u8"无法打开"},
      {"file is not a database", u8"不是数据库文件"},
      {"database disk image is malformed", u8"数据库文件已损坏"},
      {"no such table: poetry", u8"没有诗歌表 poetry"},
  };
  for (const auto& [english, chinese] : kReasons) {
    if (english == message) return Utf8Literal(chinese);
  }
  return Utf8Text(message);
}

// The reason, after the file it concerns, so the user learns which file is
// at fault: 无法读取诗歌数据库“<path>”:<reason>
std::string GbkFromDatabase(const std::string& path, const Utf8Text& reason) {
  const Utf8Text text(Utf8Literal(u8"无法读取诗歌数据库“").Bytes() + path + Utf8Literal(u8"”:").Bytes() +
                      reason.Bytes());
  return ToGbkLossy(text).Bytes();
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

// The texts of all rows together passed kMaxTableBytes.
struct TooMuchText {};

// The rows of the query, each text cut to kMaxPoemTextChars characters;
// throws SqliteError or TooMuchText.
void ReadRows(SqliteStatement& statement, PoemTable& table) {
  const int columns = statement.ColumnCount();
  std::size_t tableBytes = 0;
  while (statement.Step()) {
    std::vector<std::string> row;
    bool cut = false;
    for (int i = 0; i < columns; ++i) {
      const std::string_view text = statement.TextView(i);
      const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
      const std::size_t kept = Utf8PrefixBytes(bytes, text.size(), kMaxPoemTextChars, cut);
      row.push_back(ToCoreText(bytes, static_cast<int>(kept)));
      tableBytes += kept;
    }
    if (tableBytes > kMaxTableBytes) throw TooMuchText{};
    table.rows.push_back(std::move(row));
    table.cut.push_back(cut);
  }
}

}  // namespace

int PoemTable::Column(const std::string& name) const {
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (columns[i] == name) return static_cast<int>(i);
  }
  return -1;
}

std::optional<PoemTable> QueryPoems(const std::string& path, std::string& error) {
  ReadRefusal refused;
  const int fd = OpenRegularFile(path, kPoetryMaxBytes, refused);
  if (fd < 0) {
    error = GbkFromDatabase(path, Utf8Text(RefusalText(refused)));
    return std::nullopt;
  }
  ::close(fd);
  // The whole library is this program's: no allocation of SQLite's may pass this.
  sqlite3_hard_heap_limit64(std::int64_t{1} << 30);
  try {
    SqliteDb db = SqliteDb::Open(ImmutableUri(path), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
    sqlite3_limit(db.get(), SQLITE_LIMIT_LENGTH, kMaxValueBytes);
    QueryBudget budget{std::chrono::steady_clock::now() + kMaxQueryTime};
    db.OnProgress(kStepsPerCheck, &OverBudget, &budget);
    SqliteStatement statement = db.Prepare(kPoetryQuery);
    PoemTable table;
    for (int i = 0; i < statement.ColumnCount(); ++i) table.columns.push_back(statement.ColumnName(i));
    ReadRows(statement, table);
    return table;
  } catch (const TooMuchText&) {
    error = GbkFromDatabase(path, Utf8Literal(u8"诗歌表的内容超过上限"));
  } catch (const SqliteError& failure) {
    error =
        GbkFromDatabase(path, failure.Primary() == SQLITE_INTERRUPT ? Utf8Literal(u8"读取诗歌表超过了时间或步数的上限")
                                                                    : DatabaseReason(failure.what()));
  }
  return std::nullopt;
}

}  // namespace tavrin
