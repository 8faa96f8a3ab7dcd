#include "favourites/favourite.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>

#include "calendar/birth_pillars.h"
#include "calendar/gregorian.h"
#include "chars/gbk.h"

namespace tavrin {

namespace {

// The birth years the calendar tables cover.
constexpr int kFirstYear = 1900;
constexpr int kLastYear = 2056;
// The lowest score a full name of four characters can reach is far above it;
// a lower number is not a score.
constexpr int kMinScore = -1000;
constexpr int kMaxScore = 100;

// How many characters a text has and whether it is too long; a byte count
// would let a note of single bytes run twice as long as one in Chinese.
bool LongerThan(std::string_view text, std::size_t characters) {
  return text.size() > characters && CharCount(text) > characters;
}

// A member's text, or "" when it is none.
std::string TextOf(const nlohmann::json& object, const char* key) {
  const auto found = object.find(key);
  return found != object.end() && found->is_string() ? found->get<std::string>() : std::string();
}

// The 推荐度 of the advice: a whole number as it is, another number as 0
// (no 推荐度 is a fraction), none as -1.
int RecommendOf(const nlohmann::json& advice) {
  const auto found = advice.find("recommend");
  if (found == advice.end() || !found->is_number()) return -1;
  const double value = found->get<double>();
  if (value != std::floor(value) || value < INT_MIN || value > INT_MAX) return 0;
  return static_cast<int>(value);
}

}  // namespace

KeptAdvice ReadKeptAdvice(Utf8Text json) {
  KeptAdvice kept;
  const auto advice = nlohmann::json::parse(json.View(), nullptr, false);
  kept.json = std::move(json);
  if (advice.is_discarded() || !advice.is_object()) return kept;
  kept.recommend = RecommendOf(advice);
  const auto warnings = advice.find("warnings");
  if (warnings == advice.end() || !warnings->is_array()) return kept;
  for (const auto& warning : *warnings) {
    if (!warning.is_object()) continue;
    KeptWarning w{TextOf(warning, "kind"), TextOf(warning, "severity"), Utf8Text(TextOf(warning, "text"))};
    if (!w.text.empty()) kept.warnings.push_back(std::move(w));
  }
  return kept;
}

std::optional<std::string> CheckFullName(std::string_view name) {
  if (name.empty()) return "名字是空的";
  std::size_t characters = 0;
  for (std::size_t pos = 0; pos < name.size(); ++characters) {
    const auto lead = static_cast<unsigned char>(name[pos]);
    const bool pair = CharLengthAt(name, pos) == 2;
    if (!pair || !IsHanziCode(lead, static_cast<unsigned char>(name[pos + 1]))) {
      return "名字只能由汉字组成";
    }
    pos += 2;
  }
  if (characters < 2) return "名字要有姓和名,至少两个汉字";
  if (characters > 4) return "名字最多四个汉字(复姓加两字名)";
  return std::nullopt;
}

std::string HourFieldText(int hour) {
  return hour == kUnknownHourOfBirth ? std::string(UnknownHourText()) : std::to_string(hour);
}

std::string HourCaption(int hour) {
  return hour == kUnknownHourOfBirth ? std::string(UnknownHourText()) : std::to_string(hour) + "时";
}

int FavouriteHour(std::optional<BirthHour> hour) {
  if (!hour) return kUnknownHourOfBirth - 1;
  return hour->HasPillar() ? hour->Number() : kUnknownHourOfBirth;
}

BirthHour FavouriteBirthHour(int hour) {
  return hour == kUnknownHourOfBirth ? BirthHour::Unknown() : BirthHour::At(hour);
}

std::optional<std::string> CheckNote(std::string_view note) {
  if (LongerThan(note, kMaxNoteCharacters)) return "备注超过 " + std::to_string(kMaxNoteCharacters) + " 个字";
  return std::nullopt;
}

std::optional<std::string> CheckFavourite(const Favourite& f) {
  if (auto bad = CheckFullName(f.name.View())) return bad;
  if (f.year < kFirstYear || f.year > kLastYear) {
    return "出生年份 " + std::to_string(f.year) + " 不在 1900 至 2056 之间";
  }
  if (!EncodeDate(f.year, f.month, f.day)) {
    return "出生日期 " + std::to_string(f.year) + "-" + std::to_string(f.month) + "-" + std::to_string(f.day) +
           " 不存在";
  }
  if ((f.hour < 0 || f.hour > 23) && f.hour != kUnknownHourOfBirth) {
    return "出生时辰 " + std::to_string(f.hour) + " 不在 0 至 23 之间";
  }
  if (f.score < kMinScore || f.score > kMaxScore) return "分数 " + std::to_string(f.score) + " 不是名字的分数";
  if (f.rating < 0 || f.rating > kMaxRating) return "评分 " + std::to_string(f.rating) + " 不在 0 至 5 之间";
  if (auto bad = CheckNote(f.note.View())) return bad;
  if (f.surnameLength < 0 || f.surnameLength > 2 ||
      (f.surnameLength > 0 && static_cast<std::size_t>(f.surnameLength) * 2 >= f.name.View().size())) {
    return "姓的字数 " + std::to_string(f.surnameLength) + " 不合这个名字";
  }
  if (LongerThan(f.origin.View(), kMaxOriginCharacters) || LongerThan(f.poem.View(), kMaxOriginCharacters)) {
    return "来源超过 " + std::to_string(kMaxOriginCharacters) + " 个字";
  }
  if (f.advice) {
    if (f.advice->json.View().size() > kMaxAdviceBytes) return "建议超过 64 KB";
    if (!nlohmann::json::accept(f.advice->json.View())) return "建议不是 JSON 文本";
  }
  return std::nullopt;
}

std::string FormatUtcTime(std::int64_t seconds) {
  using namespace std::chrono;
  const sys_seconds time{std::chrono::seconds(seconds)};
  const sys_days day = floor<days>(time);
  const year_month_day date(day);
  const hh_mm_ss clock(time - day);
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                static_cast<int>(clock.seconds().count()));
  return text;
}

std::optional<std::int64_t> ParseUtcTime(std::string_view text) {
  // YYYY-MM-DDTHH:MM:SSZ, every field its fixed number of digits.
  static constexpr std::string_view kShape = "dddd-dd-ddTdd:dd:ddZ";
  if (text.size() != kShape.size()) return std::nullopt;
  for (std::size_t i = 0; i < kShape.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (kShape[i] == 'd' ? !digit : text[i] != kShape[i]) return std::nullopt;
  }
  auto number = [&](std::size_t from, std::size_t length) {
    int value = 0;
    for (std::size_t i = from; i < from + length; ++i) value = value * 10 + (text[i] - '0');
    return value;
  };
  const auto day = EncodeDate(number(0, 4), number(5, 2), number(8, 2));
  const int hours = number(11, 2), minutes = number(14, 2), seconds = number(17, 2);
  if (!day || hours > 23 || minutes > 59 || seconds > 59) return std::nullopt;
  return (static_cast<std::int64_t>(*day) - kDayNumberOfUnixEpoch) * 86400 + hours * 3600 + minutes * 60 + seconds;
}

}  // namespace tavrin
