#include "chars/sex.h"

namespace tavrin {

const char* SexKey(Sex sex) { return sex == Sex::kFemale ? "female" : "male"; }

std::optional<Sex> SexFromKey(std::string_view key) {
  if (key == "male") return Sex::kMale;
  if (key == "female") return Sex::kFemale;
  return std::nullopt;
}

}  // namespace tavrin
