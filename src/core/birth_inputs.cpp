#include "core/birth_inputs.h"

#include "calendar/gregorian.h"
#include "chars/gbk.h"
#include "chars/strcon.h"

namespace tavrin {

namespace {

std::optional<std::string> ReadInteger(const char* field, const std::string& text, int& value) {
  const std::optional<int> parsed = ParseDecimalInteger(text);
  if (!parsed) return NotAnIntegerMessage(field, text);
  value = *parsed;
  return std::nullopt;
}

}  // namespace

std::string QuotedFieldText(std::string_view text) {
  std::size_t end = 0;
  for (std::size_t characters = 0; end < text.size() && characters < kQuotedCharacters; ++characters) {
    end += CharLengthAt(text, end);
  }
  std::string quoted = "“";
  quoted.append(text.substr(0, end));
  if (end < text.size()) quoted += "…";
  return quoted + "”";
}

std::string NotAnIntegerMessage(std::string_view field, std::string_view text) {
  return std::string(field) + QuotedFieldText(text) + "不是整数";
}

std::string CountNotAnIntegerMessage(std::string_view text) { return NotAnIntegerMessage("产生名字个数", text); }

std::optional<std::string> CheckBirthDate(const std::string& yearText, const std::string& monthText,
                                          const std::string& dayText, BirthDate& date) {
  if (auto refusal = ReadInteger("出生年份", yearText, date.year)) return refusal;
  if (auto refusal = ReadInteger("出生月份", monthText, date.month)) return refusal;
  if (auto refusal = ReadInteger("出生日", dayText, date.day)) return refusal;
  if (date.year < kFirstBirthYear || date.year > kLastBirthYear) {
    return "出生年份 " + std::to_string(date.year) + " 不在 " + std::to_string(kFirstBirthYear) + " 至 " +
           std::to_string(kLastBirthYear) + " 之间";
  }
  if (!EncodeDate(date.year, date.month, date.day)) {
    return "出生日期 " + std::to_string(date.year) + "-" + std::to_string(date.month) + "-" + std::to_string(date.day) +
           " 不存在";
  }
  return std::nullopt;
}

namespace {

std::optional<std::string> TooLong(std::string_view field, std::string_view text) {
  if (CharCount(text) <= kMaxNameFieldChars) return std::nullopt;
  return std::string(field) + QuotedFieldText(text) + "超过" + std::to_string(kMaxNameFieldChars) + "个字";
}

}  // namespace

std::optional<std::string> CheckSurname(std::string_view surname) {
  if (surname.empty() || !IsChineseText(surname)) return std::string("请输入姓");
  return TooLong("姓氏", surname);
}

std::optional<std::string> CheckFixedChars(std::string_view field, std::string_view text) {
  return TooLong(field, text);
}

std::optional<std::string> CheckBirthHour(const HourField& field, BirthHour& hour) {
  hour = BirthHour::Unknown();
  if (field.unknown) return std::nullopt;
  int number = 0;
  if (auto refusal = ReadInteger("出生时辰", field.text, number)) return refusal;
  hour = BirthHour::At(number);
  return std::nullopt;
}

HourField TypedHourField(std::string text, bool unknownWord) {
  const bool unknown = unknownWord || text == UnknownHourText();
  return {std::move(text), unknown};
}

std::optional<BirthHour> ReadBirthHour(const HourField& field) {
  if (field.unknown) return BirthHour::Unknown();
  const std::optional<int> number = ParseWholeNumber(field.text);
  if (!number) return std::nullopt;
  return BirthHour::At(*number);
}

}  // namespace tavrin
