#include "favourites/exchange.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <map>
#include <utility>

#include "chars/encoding.h"
#include "favourites/messages.h"
#include "favourites/store.h"

namespace tavrin {

namespace {

using Json = nlohmann::ordered_json;

// Deeper nesting than the format's own (the file, the list, a favourite, its
// advice and a few levels in that) is refused before it is built.
constexpr int kMaxDepth = 16;

std::string DateText(const Favourite& f) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", f.year, f.month, f.day);
  return text;
}

// The hour as a CSV cell (UTF-8): its number, or 时辰不详.
std::string HourText(const Favourite& f) { return GbkToUtf8(HourFieldText(f.hour)); }

// What is wrong with one entry of the file, for the message.
[[noreturn]] void Refuse(std::size_t index, const std::string& what) {
  throw FavouritesError("第 " + std::to_string(index + 1) + " 条收藏" + what);
}

const Json* Field(const Json& entry, std::size_t index, const char* key, bool required) {
  const auto found = entry.find(key);
  if (found == entry.end() || (!required && found->is_null())) {
    if (required) Refuse(index, std::string("缺少“") + key + "”");
    return nullptr;
  }
  return &*found;
}

std::string TextField(const Json& entry, std::size_t index, const char* key, bool required) {
  const Json* value = Field(entry, index, key, required);
  if (!value) return {};
  if (!value->is_string()) Refuse(index, std::string("的“") + key + "”应为文字");
  auto gbk = Utf8ToGbk(value->get_ref<const std::string&>());
  if (!gbk) Refuse(index, std::string("的“") + key + "”含有 GBK 无法表示的字符");
  return *gbk;
}

int IntField(const Json& entry, std::size_t index, const char* key, bool required, int fallback) {
  const Json* value = Field(entry, index, key, required);
  if (!value) return fallback;
  if (!value->is_number_integer()) Refuse(index, std::string("的“") + key + "”应为整数");
  if (value->is_number_unsigned() ? value->get<std::uint64_t>() > INT_MAX
                                  : value->get<std::int64_t>() < INT_MIN || value->get<std::int64_t>() > INT_MAX) {
    Refuse(index, std::string("的“") + key + "”超出范围");
  }
  return value->get<int>();
}

std::int64_t TimeField(const Json& entry, std::size_t index, const char* key) {
  const Json* value = Field(entry, index, key, false);
  if (!value) return 0;
  const auto time = value->is_string() ? ParseUtcTime(value->get_ref<const std::string&>()) : std::nullopt;
  if (!time) Refuse(index, std::string("的“") + key + "”应为 YYYY-MM-DDTHH:MM:SSZ 形式的时间");
  return *time;
}

Favourite EntryFromJson(const Json& entry, std::size_t index) {
  if (!entry.is_object()) Refuse(index, "不是 JSON 对象");
  Favourite f;
  f.name = TextField(entry, index, "name", true);
  const std::string sex = TextField(entry, index, "sex", true);
  const auto parsedSex = SexFromKey(sex);
  if (!parsedSex) Refuse(index, "的“sex”应为 male 或 female");
  f.sex = *parsedSex;
  const std::string date = TextField(entry, index, "date", true);
  int year = 0, month = 0, day = 0;
  char end = 0;
  if (date.size() != 10 || std::sscanf(date.c_str(), "%4d-%2d-%2d%c", &year, &month, &day, &end) != 3) {
    Refuse(index, "的“date”应为 YYYY-MM-DD 形式的日期");
  }
  f.year = year;
  f.month = month;
  f.day = day;
  // null: the hour of birth is not known.
  const Json* hour = Field(entry, index, "hour", true);
  f.hour = hour->is_null() ? kUnknownHourOfBirth : IntField(entry, index, "hour", true, 0);
  f.score = IntField(entry, index, "score", true, 0);
  if (const Json* advice = Field(entry, index, "advice", false)) f.advice = advice->dump();
  f.note = TextField(entry, index, "note", false);
  f.rating = IntField(entry, index, "rating", false, 0);
  f.origin = TextField(entry, index, "origin", false);
  f.poem = TextField(entry, index, "poem", false);
  f.added = TimeField(entry, index, "added");
  f.changed = TimeField(entry, index, "changed");
  if (auto bad = CheckFavourite(f)) Refuse(index, "“" + f.name + "”:" + *bad);
  return f;
}

}  // namespace

Json FavouriteToJson(const Favourite& f) {
  Json advice = nullptr;
  if (f.advice) advice = Json::parse(*f.advice, nullptr, false);
  if (advice.is_discarded()) advice = nullptr;
  return Json{{"name", GbkToUtf8(f.name)},
              {"sex", SexKey(f.sex)},
              {"date", DateText(f)},
              {"hour", f.hour == kUnknownHourOfBirth ? Json(nullptr) : Json(f.hour)},
              {"score", f.score},
              {"advice", std::move(advice)},
              {"note", GbkToUtf8(f.note)},
              {"rating", f.rating},
              {"origin", GbkToUtf8(f.origin)},
              {"poem", GbkToUtf8(f.poem)},
              {"added", FormatUtcTime(f.added)},
              {"changed", FormatUtcTime(f.changed)}};
}

std::string FavouritesToJson(const std::vector<Favourite>& favourites, std::int64_t exportedAt) {
  Json list = Json::array();
  for (const Favourite& favourite : favourites) list.push_back(FavouriteToJson(favourite));
  const Json file{{"format", kExchangeFormat},
                  {"version", kExchangeVersion},
                  {"exported", FormatUtcTime(exportedAt)},
                  {"favourites", std::move(list)}};
  return file.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::vector<Favourite> FavouritesFromJson(std::string_view text) {
  if (text.size() > kMaxImportBytes) throw FavouritesError("文件超过 16 MB,不是收藏的导出文件");
  Json file;
  try {
    file = Json::parse(text, [](int depth, Json::parse_event_t, Json&) {
      if (depth > kMaxDepth) throw FavouritesError("JSON 嵌套超过 " + std::to_string(kMaxDepth) + " 层");
      return true;
    });
  } catch (const Json::parse_error& error) {
    throw FavouritesError("不是正确的 JSON 文本:第 " + std::to_string(error.byte) + " 个字节处有错");
  }
  if (!file.is_object() || file.value("format", "") != kExchangeFormat) {
    throw FavouritesError(std::string("不是收藏的导出文件(没有 \"format\": \"") + kExchangeFormat + "\")");
  }
  const auto version = file.find("version");
  if (version == file.end() || !version->is_number_integer()) throw FavouritesError("缺少整数“version”");
  if (*version > kExchangeVersion) {
    throw FavouritesError("由较新版本的程序导出(版本 " + version->dump() + "),本程序只认识到版本 " +
                          std::to_string(kExchangeVersion));
  }
  const auto list = file.find("favourites");
  if (list == file.end() || !list->is_array()) throw FavouritesError("缺少收藏列表“favourites”");
  if (list->size() > kMaxImportFavourites) {
    throw FavouritesError("收藏超过 " + std::to_string(kMaxImportFavourites) + " 条");
  }
  std::vector<Favourite> favourites;
  std::map<std::pair<std::string, Sex>, std::size_t> seen;
  for (std::size_t i = 0; i < list->size(); ++i) {
    Favourite f = EntryFromJson((*list)[i], i);
    const auto [at, fresh] = seen.emplace(std::pair(f.name, f.sex), i);
    if (!fresh) Refuse(i, "“" + f.name + "”与第 " + std::to_string(at->second + 1) + " 条是同一个收藏(同名同性别)");
    favourites.push_back(std::move(f));
  }
  return favourites;
}

std::string CsvCell(std::string_view utf8) {
  std::string cell(utf8);
  if (!cell.empty() && std::string_view("=+-@\t\r").find(cell.front()) != std::string_view::npos) {
    cell.insert(cell.begin(), '\'');
  }
  if (cell.find_first_of(",\"\r\n") == std::string::npos) return cell;
  std::string quoted = "\"";
  for (const char c : cell) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string FavouritesToCsv(const std::vector<Favourite>& favourites) {
  std::string csv = "\xEF\xBB\xBF";
  csv += "name,sex,date,hour,score,rating,note,origin,poem,added,changed\r\n";
  for (const Favourite& f : favourites) {
    const std::string cells[] = {GbkToUtf8(f.name),      SexKey(f.sex),           DateText(f),
                                 HourText(f),            std::to_string(f.score), std::to_string(f.rating),
                                 GbkToUtf8(f.note),      GbkToUtf8(f.origin),     GbkToUtf8(f.poem),
                                 FormatUtcTime(f.added), FormatUtcTime(f.changed)};
    bool first = true;
    for (const std::string& cell : cells) {
      if (!first) csv += ',';
      first = false;
      csv += CsvCell(cell);
    }
    csv += "\r\n";
  }
  return csv;
}

std::string ReadImportFile(const std::string& path) {
  const std::string file = QuotedFileName(path);
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) throw FavouritesError("无法读取" + file + ":" + SystemReason(errno));
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int error = S_ISDIR(st.st_mode) ? EISDIR : errno;
    ::close(fd);
    throw FavouritesError("无法读取" + file + ":" + (error ? SystemReason(error) : "不是普通文件"));
  }
  if (static_cast<std::uint64_t>(st.st_size) > kMaxImportBytes) {
    ::close(fd);
    throw FavouritesError(file + "超过 16 MB,不是收藏的导出文件");
  }
  std::string bytes;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int error = errno;
      ::close(fd);
      throw FavouritesError("无法读取" + file + ":" + SystemReason(error));
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
    if (bytes.size() > kMaxImportBytes) {
      ::close(fd);
      throw FavouritesError(file + "超过 16 MB,不是收藏的导出文件");
    }
  }
  ::close(fd);
  return bytes;
}

void WriteExportFile(const std::string& path, std::string_view bytes) {
  const std::string file = QuotedFileName(path);
  struct stat st;
  if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    throw FavouritesError("无法写入" + file + ":" + (S_ISDIR(st.st_mode) ? SystemReason(EISDIR) : "不是普通文件"));
  }
  std::string temporary = path + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) throw FavouritesError("无法写入" + file + ":" + SystemReason(errno));
  int error = 0;
  for (std::size_t done = 0; done < bytes.size() && !error;) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0)
      error = errno;
    else
      done += static_cast<std::size_t>(n);
  }
  // The mode a newly created file gets (mkstemp makes it 0600).
  const mode_t mask = ::umask(0);
  ::umask(mask);
  if (!error && (::fchmod(fd, 0666 & ~mask) != 0 || ::fsync(fd) != 0)) error = errno;
  if (::close(fd) != 0 && !error) error = errno;
  if (!error && std::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
  if (error) {
    ::unlink(temporary.c_str());
    throw FavouritesError("无法写入" + file + ":" + SystemReason(error));
  }
}

}  // namespace tavrin
