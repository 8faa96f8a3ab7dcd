// The birth date and hour as the settings and analysis pages hold them: texts
// of their fields, checked before a command changes anything.
#pragma once

#include <optional>
#include <string>

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

// Reads the hour text as a decimal integer (any integer: outside 0..23 the
// hour pillar is empty); on a refusal returns the message.
std::optional<std::string> CheckBirthHour(const std::string& hourText, int& hour);

}  // namespace tavrin
