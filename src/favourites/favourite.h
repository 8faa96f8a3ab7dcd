// One favourite name as the user keeps it, and the checks every favourite
// passes before it is stored, whoever hands it in (the window, the command
// line, an imported file).
//
// A favourite is identified by its full name and the child's sex: the same
// name kept for a boy and for a girl is two favourites, and keeping a name
// again for the same sex changes the one already kept.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/birth_pillars.h"
#include "calendar/gregorian.h"
#include "chars/sex.h"
#include "chars/text.h"

namespace tavrin {

// The parts of a favourite that a change gives. A change to a favourite kept
// already writes only these; the others stay as they are kept.
enum FavouriteField : unsigned {
  kFieldBirth = 1u << 0,  // year, month, day and hour
  kFieldScore = 1u << 1,
  kFieldAdvice = 1u << 2,
  kFieldNote = 1u << 3,
  kFieldRating = 1u << 4,
  kFieldOrigin = 1u << 5,  // origin and poem
  kFieldAdded = 1u << 6,
  kFieldChanged = 1u << 7,
  kFieldSurname = 1u << 8,  // surnameLength
  kAllFields = (1u << 9) - 1,
};

// One warning of the advice kept with a name, as the advice gave it.
struct KeptWarning {
  std::string kind;      // the advice's key of the kind of warning
  std::string severity;  // the advice's key of its weight ("serious", ...)
  Utf8Text text;
  bool operator==(const KeptWarning&) const = default;
};

// What the advice said about a name when it was kept: what the program reads
// of it (the 推荐度, the warnings), and the advice whole as JSON, as the
// exchange files carry it and an export writes it back.
struct KeptAdvice {
  int recommend = -1;  // none: -1
  std::vector<KeptWarning> warnings;
  Utf8Text json;
  bool operator==(const KeptAdvice&) const = default;
};

// The kept advice of a JSON text: its "recommend" (a whole number, else 0;
// -1 when it gives none) and its "warnings" that have a text. A text that is
// not a JSON object gives neither, and is kept as it is (CheckFavourite
// refuses a favourite with advice that is not JSON).
KeptAdvice ReadKeptAdvice(Utf8Text json);

struct Favourite {
  GbkText name;  // the full name: surname then given name
  Sex sex = Sex::kMale;
  // The birth date and hour the score was computed for; kUnknownHourOfBirth
  // when the hour is not known (a chart without an hour pillar).
  int year = kDefaultBirth.year, month = kDefaultBirth.month, day = kDefaultBirth.day, hour = kDefaultBirth.hour;
  int score = 0;
  // What the advice said about the name when it was kept, or none.
  std::optional<KeptAdvice> advice;
  GbkText note;
  int rating = 0;  // stars, 0 to 5
  // Where the name came from: the page or generator that proposed it, and
  // the poem for a name drawn from one.
  GbkText origin;
  GbkText poem;
  // How many characters of the name the run that made it took as the
  // surname (欧 + 阳俊 is not 欧阳 + 俊); 0 when not known (kept before this
  // was kept, or by hand): then the name is read as the advice reads it.
  int surnameLength = 0;
  // Seconds since 1970-01-01 UTC.
  std::int64_t added = 0;
  std::int64_t changed = 0;
  // The parts this favourite gives (FavouriteField): every part, but for an
  // imported entry that leaves some out.
  unsigned fields = kAllFields;

  bool operator==(const Favourite&) const = default;
};

inline constexpr int kMaxRating = 5;
inline constexpr int kUnknownHourOfBirth = -1;
inline constexpr std::size_t kMaxNoteCharacters = 2000;
inline constexpr std::size_t kMaxOriginCharacters = 200;
inline constexpr std::size_t kMaxAdviceBytes = 64 * 1024;

// Refuses a full name that is not a surname of one or two characters and a
// given name of one or two, every character Chinese: 2 to 4 Chinese
// characters and nothing else. nullopt when the name is good, else why not
// (GBK).
std::optional<std::string> CheckFullName(std::string_view name);

// Refuses a favourite whose fields are out of range: the name as above, a
// date that does not exist or lies outside 1900-2056, an hour outside 0-23
// (but for kUnknownHourOfBirth),
// a score above 100, a rating outside 0-5, a note or origin too long, advice
// that is not JSON. nullopt when it is good, else why not (GBK).
std::optional<std::string> CheckFavourite(const Favourite& favourite);

// The hour as the hour lists show it (GBK): "7" for 7, 时辰不详 when unknown.
std::string HourFieldText(int hour);
// "7时" or 时辰不详 (GBK), as a favourite's line shows the hour.
std::string HourCaption(int hour);
// The hour a favourite keeps for the hour of a birth: 0-23 as it is, an
// unknown hour or any other number (a chart without an hour pillar) as
// kUnknownHourOfBirth; an unreadable field (none) as an hour the checks refuse.
int FavouriteHour(std::optional<BirthHour> hour);
// The hour of the birth a favourite was kept with.
BirthHour FavouriteBirthHour(int hour);

// Refuses a note longer than kMaxNoteCharacters characters (GBK message).
std::optional<std::string> CheckNote(std::string_view note);

// "2026-12-09T09:15:00Z" for a time in seconds since 1970 (UTC), and back;
// nullopt for a text not of exactly that form or naming no real time.
std::string FormatUtcTime(std::int64_t seconds);
std::optional<std::int64_t> ParseUtcTime(std::string_view text);

}  // namespace tavrin
