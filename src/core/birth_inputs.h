// The birth date and hour as the settings and analysis pages hold them: texts
// of their fields, checked before a command changes anything; and the
// messages for a field that does not hold a whole number.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "calendar/birth_pillars.h"

namespace tavrin {

// The birth years the calendar tables cover; outside them the pillars would
// be wrong.
inline constexpr int kFirstBirthYear = 1900;
inline constexpr int kLastBirthYear = 2056;

struct BirthDate {
  int year = 0, month = 0, day = 0;
};

// Reads the year, month and day texts (GBK) as decimal integers that form an
// existing date within the covered years; on a refusal returns the message
// for the user, naming the field and its text.
std::optional<std::string> CheckBirthDate(const std::string& yearText, const std::string& monthText,
                                          const std::string& dayText, BirthDate& date);

// A field's text (GBK) as a message quotes it, between full-width quotes. A
// text longer than kQuotedCharacters characters is cut there and ends in an
// ellipsis, so a pasted page of text does not fill the screen.
inline constexpr std::size_t kQuotedCharacters = 20;
std::string QuotedFieldText(std::string_view text);

// "<field>“<text>”不是整数", the text quoted as above.
std::string NotAnIntegerMessage(std::string_view field, std::string_view text);
// The message for a count field text that is not a whole number.
std::string CountNotAnIntegerMessage(std::string_view text);

// The most characters a surname or a fixed character field may hold: a
// double surname with room to spare. Longer texts only make every draw slower.
inline constexpr std::size_t kMaxNameFieldChars = 4;

// The surname of a naming run (GBK): "请输入姓" unless it is Chinese text,
// "姓氏“<text>”超过4个字" when it is too long; nullopt when it is usable.
std::optional<std::string> CheckSurname(std::string_view surname);
// The text of a checked fixed character field, `field` its caption such as
// "限定第2个字": refused when it is longer than kMaxNameFieldChars.
std::optional<std::string> CheckFixedChars(std::string_view field, std::string_view text);

// An hour field as a page or an option gives it: not known when it holds the
// hour list's last item (时辰不详, or "unknown" on the command line), else its
// text (GBK), which a command reads as a whole number.
struct HourField {
  std::string text;
  bool unknown = false;
};

// The field of an hour typed on the command line (GBK): `unknownWord` ("unknown"),
// or the hour lists' caption 时辰不详 typed as it is, is the hour not known.
HourField TypedHourField(std::string text, bool unknownWord);

// Reads the field's text as a decimal integer (any integer: outside 0..23 the
// hour pillar is empty), or the unknown hour; on a refusal returns the message.
std::optional<std::string> CheckBirthHour(const HourField& field, BirthHour& hour);
// The hour of a field read as a kept birth reads it, leading blanks allowed;
// none when the text is no whole number.
std::optional<BirthHour> ReadBirthHour(const HourField& field);

}  // namespace tavrin
