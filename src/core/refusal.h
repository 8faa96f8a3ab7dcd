// What a command tells the user instead of its work, or after part of it:
// which input it is about and the text, composed in Chinese by the core (GBK).
// The commands return it; the front end shows it.
#pragma once

#include <optional>
#include <string>

namespace tavrin {

enum class InputField { kNone, kDataFiles, kSurname, kCount, kFixSecond, kFixThird, kBirthDate, kBirthHour, kPoem };

struct Refusal {
  InputField field = InputField::kNone;
  std::string text;
};

// A command's outcome, with what the user is to be told (if anything).
template <class Outcome>
struct CommandResult {
  Outcome outcome{};
  std::optional<Refusal> message;
};

}  // namespace tavrin
