#include "favourites/exchange.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "base/file_read.h"
#include "base/file_write.h"
#include "base/output_text.h"
#include "favourites/favourites_text.h"
#include "favourites/store.h"

namespace tavrin {

namespace {

using Json = nlohmann::ordered_json;

std::string TooBig() {
  return "文件超过 " + std::to_string(kMaxImportBytes / (1024 * 1024)) + " MB,不是收藏的导出文件";
}

// Deeper nesting than the format's own (the file, the list, a favourite, its
// advice and a few levels in that) is refused before it is built.
constexpr int kMaxDepth = 16;

std::string DateText(const Favourite& f) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", f.year, f.month, f.day);
  return text;
}

// The hour as a CSV cell (UTF-8): its number, or 时辰不详.
std::string HourText(const Favourite& f) { return StoredText(GbkText(HourFieldText(f.hour))).Bytes(); }

// What is wrong with one entry of the file, for the message.
[[noreturn]] void Refuse(std::size_t index, const std::string& what) {
  throw FavouritesError("第 " + std::to_string(index + 1) + " 条收藏" + what);
}

// One value of an entry's field as the file gives it.
struct Scalar {
  enum Kind { kNull, kBool, kInteger, kBeyondInt, kFraction, kText, kNested };
  Scalar(Kind kind = kNull, std::int64_t integer = 0, std::string text = {})
      : kind(kind), integer(integer), text(std::move(text)) {}
  Kind kind;
  std::int64_t integer;
  std::string text;
};

// The fields of an entry, in the order of kEntryKeys.
constexpr const char* kEntryKeys[] = {"name",   "sex",    "date", "hour",  "score",   "advice", "note",
                                      "rating", "origin", "poem", "added", "changed", "surname"};
enum EntryKey {
  kName,
  kSex,
  kDate,
  kHour,
  kScore,
  kAdvice,
  kNote,
  kRating,
  kOrigin,
  kPoem,
  kAdded,
  kChanged,
  kSurname
};
constexpr std::size_t kEntryKeyCount = std::size(kEntryKeys);
constexpr const char* kFileKeys[] = {"format", "version", "exported", "favourites"};

template <std::size_t N>
int KeyIndex(const char* const (&keys)[N], const std::string& key) {
  for (std::size_t i = 0; i < N; ++i) {
    if (key == keys[i]) return static_cast<int>(i);
  }
  return -1;
}

// The implicit destructor frees the advice's JSON nodes, which cannot throw
// though the JSON library does not declare it.
// NOLINTNEXTLINE(bugprone-exception-escape)
class EntryFields {
 public:
  void Clear() {
    for (auto& value : values_) value.reset();
    advice_ = nullptr;
  }
  std::optional<Scalar>& operator[](int key) { return values_[static_cast<std::size_t>(key)]; }
  Json& Advice() { return advice_; }

  Favourite Read(std::size_t index) {
    Favourite f;
    f.fields = kFieldBirth | kFieldScore;
    f.name = Text(index, kName, true);
    const auto sex = SexFromKey(Raw(index, kSex));
    if (!sex) Refuse(index, "的“sex”应为 male 或 female");
    f.sex = *sex;
    ReadDate(index, f);
    // null: the hour of birth is not known.
    Require(index, kHour);
    f.hour = values_[kHour]->kind == Scalar::kNull ? kUnknownHourOfBirth : *Integer(index, kHour);
    f.score = *Integer(index, kScore);
    ReadGiven(index, f);
    // A name may hold any byte: a NUL or an escape is shown, and never ends
    // or moves the message.
    if (auto bad = CheckFavourite(f)) Refuse(index, "“" + EscapeControlBytes(f.name.View()) + "”:" + *bad);
    return f;
  }

 private:
  void ReadDate(std::size_t index, Favourite& f) {
    const std::string& date = Raw(index, kDate);
    auto digits = [&](std::size_t from, std::size_t count) {
      int value = 0;
      for (std::size_t i = from; i < from + count; ++i) {
        if (date[i] < '0' || date[i] > '9') Refuse(index, "的“date”应为 YYYY-MM-DD 形式的日期");
        value = value * 10 + (date[i] - '0');
      }
      return value;
    };
    if (date.size() != 10 || date[4] != '-' || date[7] != '-') Refuse(index, "的“date”应为 YYYY-MM-DD 形式的日期");
    f.year = digits(0, 4);
    f.month = digits(5, 2);
    f.day = digits(8, 2);
  }

  // The parts an entry may leave out, each marked in `f.fields` when given.
  void ReadGiven(std::size_t index, Favourite& f) {
    if (values_[kAdvice]) {
      f.fields |= kFieldAdvice;
      if (!advice_.is_null())
        f.advice = ReadKeptAdvice(Utf8Text(advice_.dump(-1, ' ', false, Json::error_handler_t::strict)));
    }
    auto optionalText = [&](int key, GbkText& into, unsigned field) {
      if (Given(key)) {
        into = Text(index, key, false);
        f.fields |= field;
      }
    };
    optionalText(kNote, f.note, kFieldNote);
    if (Given(kRating)) {
      f.rating = *Integer(index, kRating);
      f.fields |= kFieldRating;
    }
    if (Given(kOrigin) || Given(kPoem)) {
      f.origin = Text(index, kOrigin, false);
      f.poem = Text(index, kPoem, false);
      f.fields |= kFieldOrigin;
    }
    if (Given(kAdded)) {
      f.added = Time(index, kAdded);
      f.fields |= kFieldAdded;
    }
    if (Given(kChanged)) {
      f.changed = Time(index, kChanged);
      f.fields |= kFieldChanged;
    }
    if (Given(kSurname)) {
      f.surnameLength = *Integer(index, kSurname);
      f.fields |= kFieldSurname;
    }
  }

  // Given and not null: null stands for a field left out.
  bool Given(int key) const { return values_[key] && values_[key]->kind != Scalar::kNull; }
  void Require(std::size_t index, int key) const {
    if (!values_[key]) Refuse(index, std::string("缺少“") + kEntryKeys[key] + "”");
  }
  // A required text as the file has it (UTF-8).
  const std::string& Raw(std::size_t index, int key) const {
    Require(index, key);
    const Scalar& value = *values_[key];
    if (value.kind != Scalar::kText) Refuse(index, std::string("的“") + kEntryKeys[key] + "”应为文字");
    return value.text;
  }
  GbkText Text(std::size_t index, int key, bool required) const {
    if (!Given(key) && !required) return {};
    auto gbk = ImportedText(Utf8Text(Raw(index, key)));
    if (!gbk) Refuse(index, std::string("的“") + kEntryKeys[key] + "”含有 GBK 无法表示的字符");
    return std::move(*gbk);
  }
  std::optional<int> Integer(std::size_t index, int key) const {
    Require(index, key);
    const Scalar& value = *values_[key];
    if (value.kind == Scalar::kBeyondInt) Refuse(index, std::string("的“") + kEntryKeys[key] + "”超出范围");
    if (value.kind != Scalar::kInteger) Refuse(index, std::string("的“") + kEntryKeys[key] + "”应为整数");
    return static_cast<int>(value.integer);
  }
  std::int64_t Time(std::size_t index, int key) const {
    const Scalar& value = *values_[key];
    const auto time = value.kind == Scalar::kText ? ParseUtcTime(value.text) : std::nullopt;
    if (!time) Refuse(index, std::string("的“") + kEntryKeys[key] + "”应为 YYYY-MM-DDTHH:MM:SSZ 形式的时间");
    return *time;
  }

  std::array<std::optional<Scalar>, kEntryKeyCount> values_;
  Json advice_;
};

// Reads an exchange file as it streams past, in time linear in its length:
// each entry becomes a favourite as soon as it closes, and nothing is kept of
// it but that. Throws FavouritesError on the first fault.
class ExchangeReader final : public nlohmann::json_sax<Json> {
 public:
  // Room for the favourites a text of `bytes` may hold (about 200 bytes
  // each), so that the list is not moved as it grows.
  explicit ExchangeReader(std::size_t bytes) {
    const std::size_t expected = std::min(bytes / 200, kMaxImportFavourites);
    favourites_.reserve(expected);
    seen_.reserve(expected);
  }
  std::vector<Favourite> Finish() {
    if (!format_ || *format_ != kExchangeFormat) {
      throw FavouritesError(std::string("不是收藏的导出文件(没有 \"format\": \"") + kExchangeFormat + "\")");
    }
    CheckVersion();
    if (!listSeen_) throw FavouritesError("缺少收藏列表“favourites”");
    if (deferred_) throw FavouritesError(*deferred_);
    // Nothing in the file was changed after it was written.
    if (exported_) {
      for (Favourite& f : favourites_) {
        f.added = std::min(f.added, *exported_);
        f.changed = std::min(f.changed, *exported_);
      }
    }
    return std::move(favourites_);
  }

  bool null() override { return Value(Scalar{}); }
  bool boolean(bool) override { return Value(Scalar{Scalar::kBool}); }
  bool number_integer(number_integer_t value) override {
    if (value < INT_MIN || value > INT_MAX) return Value(Scalar{Scalar::kBeyondInt, value});
    return Value(Scalar{Scalar::kInteger, value});
  }
  bool number_unsigned(number_unsigned_t value) override {
    if (value > INT_MAX) return Value(Scalar{Scalar::kBeyondInt, INT64_MAX});
    return Value(Scalar{Scalar::kInteger, static_cast<std::int64_t>(value)});
  }
  bool number_float(number_float_t, const string_t&) override { return Value(Scalar{Scalar::kFraction}); }
  bool string(string_t& text) override { return Value(Scalar{Scalar::kText, 0, std::move(text)}); }
  bool binary(binary_t&) override { return Value(Scalar{Scalar::kNested}); }

  bool start_object(std::size_t) override { return Open(true); }
  bool start_array(std::size_t) override { return Open(false); }
  bool end_object() override { return Close(); }
  bool end_array() override { return Close(); }
  bool key(string_t& key) override {
    if (ignoredDepth_) return true;
    if (depth_ == 1) {
      fileKey_ = KeyIndex(kFileKeys, key);
      if (fileKey_ < 0) throw FavouritesError("文件有未知的字段“" + Shown(key) + "”");
      if (fileSeen_[fileKey_]) throw FavouritesError("文件的“" + key + "”出现了两次");
      fileSeen_[fileKey_] = true;
    } else if (depth_ == 3) {
      entryKey_ = KeyIndex(kEntryKeys, key);
      if (entryKey_ < 0) EntryFault("有未知的字段“" + Shown(key) + "”");
      if (entryKey_ >= 0 && entry_[entryKey_]) EntryFault("的“" + key + "”出现了两次");
    } else if (InAdvice()) {
      AdviceBytes(key.size());
      if (!adviceKeys_.back().insert(key).second) EntryFault("的“advice”里“" + Shown(key) + "”出现了两次");
      adviceKey_ = std::move(key);
    }
    return true;
  }
  bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& error) override {
    if (error.id == 406) throw FavouritesError("第 " + std::to_string(position) + " 个字节处的数超出范围");
    throw FavouritesError("不是正确的 JSON 文本:第 " + std::to_string(position) + " 个字节处有错");
  }

 private:
  // A key as a message shows it: its first 40 characters.
  static std::string Shown(const std::string& utf8) {
    return MessageText(Utf8Text(utf8.size() > 40 ? utf8.substr(0, 40) + "…" : utf8)).Bytes();
  }
  bool InAdvice() const { return depth_ > 3 && adviceDepth_ != 0; }
  void AdviceBytes(std::size_t bytes) {
    adviceBytes_ += bytes + 4;
    if (adviceBytes_ > kMaxAdviceBytes) EntryFault("“" + std::string("advice") + "”超过 64 KB");
  }
  // A fault of the entry being read: told at once when the file is known to
  // be an exchange file of this version, else after the file's own fields.
  void EntryFault(const std::string& what) {
    const std::string text = "第 " + std::to_string(favourites_.size() + 1 + skipped_) + " 条收藏" + what;
    if (format_ && *format_ == kExchangeFormat && version_) {
      CheckVersion();
      throw FavouritesError(text);
    }
    if (!deferred_) deferred_ = text;
    skipping_ = true;
  }
  void CheckVersion() const {
    if (!version_ || (version_->kind != Scalar::kInteger && version_->kind != Scalar::kBeyondInt)) {
      throw FavouritesError("缺少整数“version”");
    }
    if (version_->kind == Scalar::kBeyondInt || version_->integer > kExchangeVersion) {
      throw FavouritesError("由较新版本的程序导出(版本 " + versionText_ + "),本程序只认识到版本 " +
                            std::to_string(kExchangeVersion));
    }
    if (version_->integer < 1) throw FavouritesError("版本 " + versionText_ + " 不是导出文件的版本");
  }

  bool Value(Scalar value) {
    if (depth_ == 0)
      throw FavouritesError(std::string("不是收藏的导出文件(没有 \"format\": \"") + kExchangeFormat + "\")");
    if (depth_ == 1) {
      if (fileKey_ == 0) format_ = value.kind == Scalar::kText ? value.text : "";
      if (fileKey_ == 1) {
        versionText_ = value.kind == Scalar::kBeyondInt || value.kind == Scalar::kInteger
                           ? (value.integer == INT64_MAX ? "超出范围" : std::to_string(value.integer))
                           : "";
        version_ = std::move(value);
      } else if (fileKey_ == 2) {
        exported_ = value.kind == Scalar::kText ? ParseUtcTime(value.text) : std::nullopt;
        if (!exported_) throw FavouritesError("文件的“exported”应为 YYYY-MM-DDTHH:MM:SSZ 形式的时间");
      } else if (fileKey_ == 3) {
        throw FavouritesError("缺少收藏列表“favourites”");
      }
      return true;
    }
    if (ignoredDepth_) return true;
    if (depth_ == 2 && inList_) {
      EntryFault("不是 JSON 对象");
      ++skipped_;
      skipping_ = false;
      return true;
    }
    if (skipping_) return true;
    if (depth_ == 3 && entryKey_ >= 0) {
      if (entryKey_ == kAdvice && value.kind != Scalar::kNull) EntryFault("的“advice”应为 JSON 对象");
      entry_[entryKey_] = std::move(value);
      return true;
    }
    if (InAdvice()) AddAdvice(value);
    return true;
  }

  void AddAdvice(const Scalar& value) {
    Json json;
    switch (value.kind) {
      case Scalar::kText:
        json = value.text;
        break;
      case Scalar::kInteger:
        json = value.integer;
        break;
      case Scalar::kBool:
        json = true;
        break;
      default:
        json = nullptr;  // a fraction or a big number: the advice has none
    }
    AdviceBytes(value.text.size());
    Place(std::move(json));
  }
  // Puts a value into the open advice object or array; returns it.
  Json& Place(Json value) {
    Json& parent = *adviceStack_.back();
    if (parent.is_object()) {
      auto& members = parent.get_ref<Json::object_t&>();
      members.emplace_back(std::move(adviceKey_), std::move(value));
      return members.back().second;
    }
    parent.push_back(std::move(value));
    return parent.back();
  }

  bool Open(bool object) {
    if (++depth_ > kMaxDepth) throw FavouritesError("JSON 嵌套超过 " + std::to_string(kMaxDepth) + " 层");
    if (depth_ == 1) {
      if (!object) ignoredDepth_ = 1;  // no exchange file: Finish says so
      return true;
    }
    if (ignoredDepth_) return true;
    if (depth_ == 2) {
      if (fileKey_ != 3 || object) {
        if (fileKey_ == 3) throw FavouritesError("缺少收藏列表“favourites”");
        if (fileKey_ == 0) format_ = "";
        if (fileKey_ == 1) version_ = Scalar{Scalar::kNested};
        if (fileKey_ == 2) throw FavouritesError("文件的“exported”应为 YYYY-MM-DDTHH:MM:SSZ 形式的时间");
        ignoredDepth_ = depth_;
        return true;
      }
      inList_ = listSeen_ = true;
      return true;
    }
    if (ignoredDepth_) return true;
    if (depth_ == 3) {
      if (!object) EntryFault("不是 JSON 对象");
      if (favourites_.size() + skipped_ == kMaxImportFavourites) {
        throw FavouritesError("收藏超过 " + std::to_string(kMaxImportFavourites) + " 条");
      }
      entry_.Clear();
      return true;
    }
    if (skipping_) return true;
    if (depth_ == 4) {
      if (entryKey_ != kAdvice) {
        EntryFault(std::string("的“") + kEntryKeys[entryKey_] + "”不应是 JSON 对象或数组");
        return true;
      }
      entry_[kAdvice] = Scalar{Scalar::kNested};
      if (!object) EntryFault("的“advice”应为 JSON 对象");
      entry_.Advice() = Json::object();
      adviceStack_ = {&entry_.Advice()};
      adviceKeys_ = {{}};
      adviceDepth_ = depth_;
      adviceBytes_ = 0;
      return true;
    }
    if (InAdvice()) {
      adviceStack_.push_back(&Place(object ? Json::object() : Json::array()));
      adviceKeys_.emplace_back();
    }
    return true;
  }

  bool Close() {
    const int closing = depth_--;
    if (ignoredDepth_) {
      if (closing == ignoredDepth_) ignoredDepth_ = 0;
      return true;
    }
    if (closing == 2) inList_ = false;
    if (closing == 3) {
      if (!skipping_) {
        const std::size_t index = favourites_.size() + skipped_;
        try {
          Favourite f = entry_.Read(index);
          const auto [at, fresh] = seen_.emplace(f.name.Bytes() + (f.sex == Sex::kFemale ? "/f" : "/m"), index);
          if (!fresh) {
            Refuse(index, "“" + EscapeControlBytes(f.name.View()) + "”与第 " + std::to_string(at->second + 1) +
                              " 条是同一个收藏(同名同性别)");
          }
          favourites_.push_back(std::move(f));
        } catch (const FavouritesError& error) {
          if (format_ && *format_ == kExchangeFormat && version_) {
            CheckVersion();
            throw;
          }
          if (!deferred_) deferred_ = error.what();
          ++skipped_;
        }
      } else {
        ++skipped_;
      }
      skipping_ = false;
      return true;
    }
    if (closing == adviceDepth_) {
      adviceDepth_ = 0;
    } else if (!skipping_ && InAdvice()) {
      adviceStack_.pop_back();
      adviceKeys_.pop_back();
    }
    return true;
  }

  int depth_ = 0;
  int ignoredDepth_ = 0;  // the level of a value of the file's that is not read
  int fileKey_ = -1, entryKey_ = -1;
  bool fileSeen_[std::size(kFileKeys)] = {};
  std::optional<std::string> format_;
  std::optional<Scalar> version_;
  std::string versionText_;
  std::optional<std::int64_t> exported_;
  bool inList_ = false, listSeen_ = false, skipping_ = false;
  std::optional<std::string> deferred_;
  EntryFields entry_;
  int adviceDepth_ = 0;
  std::size_t adviceBytes_ = 0;
  std::vector<Json*> adviceStack_;
  std::vector<std::unordered_set<std::string>> adviceKeys_;
  std::string adviceKey_;
  std::vector<Favourite> favourites_;
  std::size_t skipped_ = 0;
  std::unordered_map<std::string, std::size_t> seen_;
};

}  // namespace

Json FavouriteToJson(const Favourite& f) {
  Json advice = nullptr;
  if (f.advice) advice = Json::parse(f.advice->json.View(), nullptr, false);
  if (advice.is_discarded()) advice = nullptr;
  Json entry{{"name", StoredText(f.name).Bytes()},
             {"sex", SexKey(f.sex)},
             {"date", DateText(f)},
             {"hour", f.hour == kUnknownHourOfBirth ? Json(nullptr) : Json(f.hour)},
             {"score", f.score},
             {"advice", std::move(advice)},
             {"note", StoredText(f.note).Bytes()},
             {"rating", f.rating},
             {"origin", StoredText(f.origin).Bytes()},
             {"poem", StoredText(f.poem).Bytes()},
             {"added", FormatUtcTime(f.added)},
             {"changed", FormatUtcTime(f.changed)},
             // The surname's length in the run that made it; 0: not known.
             {"surname", f.surnameLength}};
  return entry;
}

Utf8Text FavouritesToJson(const std::vector<Favourite>& favourites, std::int64_t exportedAt) {
  if (favourites.size() > kMaxImportFavourites) {
    throw FavouritesError("收藏有 " + std::to_string(favourites.size()) + " 条,超过导入能读的 " +
                          std::to_string(kMaxImportFavourites) + " 条,没有导出");
  }
  // One favourite to a line: short enough that every file this writes is
  // read back whole by an import.
  const Json head{{"format", kExchangeFormat}, {"version", kExchangeVersion}, {"exported", FormatUtcTime(exportedAt)}};
  std::string text = head.dump();
  text.pop_back();
  text += ",\"favourites\":[";
  for (std::size_t i = 0; i < favourites.size(); ++i) {
    text += i ? ",\n" : "\n";
    text += FavouriteToJson(favourites[i]).dump(-1, ' ', false, Json::error_handler_t::replace);
  }
  text += "\n]}\n";
  if (text.size() > kMaxImportBytes)
    throw FavouritesError(TooBig().replace(0, std::string("文件").size(), "导出的文件会") + ",没有导出");
  return Utf8Text(std::move(text));
}

std::vector<Favourite> FavouritesFromJson(const Utf8Text& utf8) {
  const std::string_view text = utf8.View();
  if (text.size() > kMaxImportBytes) throw FavouritesError(TooBig());
  ExchangeReader reader(text.size());
  Json::sax_parse(text, &reader);
  return reader.Finish();
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

Utf8Text FavouritesToCsv(const std::vector<Favourite>& favourites) {
  std::string csv = "\xEF\xBB\xBF";
  csv += "name,sex,date,hour,score,rating,note,origin,poem,added,changed\r\n";
  const auto stored = [](const GbkText& text) { return StoredText(text).Bytes(); };
  for (const Favourite& f : favourites) {
    const std::string cells[] = {
        stored(f.name),           SexKey(f.sex),  DateText(f),      HourText(f),    std::to_string(f.score),
        std::to_string(f.rating), stored(f.note), stored(f.origin), stored(f.poem), FormatUtcTime(f.added),
        FormatUtcTime(f.changed)};
    bool first = true;
    for (const std::string& cell : cells) {
      if (!first) csv += ',';
      first = false;
      csv += CsvCell(cell);
    }
    csv += "\r\n";
  }
  return Utf8Text(std::move(csv));
}

Utf8Text ReadImportFile(const std::string& path) {
  const std::string file = QuotedFileName(Utf8Text(path)).Bytes();
  ReadRefusal refusal;
  std::optional<std::string> bytes = ReadRegularFile(path, kMaxImportBytes, refusal);
  if (bytes) return Utf8Text(std::move(*bytes));
  switch (refusal.kind) {
    case ReadRefusal::kCannotOpen:
      throw FavouritesError("无法读取" + file + ":" + SystemReason(refusal.error).Bytes());
    case ReadRefusal::kNotRegular:
      // A device or a FIFO is there but is no file to import from.
      throw FavouritesError("无法读取" + file + ":不是普通文件");
    case ReadRefusal::kTooLarge:
      break;
  }
  throw FavouritesError(file + TooBig().substr(std::string("文件").size()));
}

void WriteExportFile(const std::string& path, const Utf8Text& text) {
  if (const std::optional<WriteFault> fault = WriteFileAtomically(path, text.View())) {
    throw FavouritesError("无法写入" + QuotedFileName(Utf8Text(path)).Bytes() + ":" +
                          MessageText(Utf8Text(WriteFaultText(*fault))).Bytes());
  }
}

}  // namespace tavrin
