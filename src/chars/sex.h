// The child's sex, as every part of the program that names, advises on or
// keeps a name reads it.
#pragma once

#include <optional>
#include <string_view>

namespace tavrin {

enum class Sex { kMale, kFemale };

// The naming session keeps the sex as the 女 button's state.
inline constexpr Sex SexOf(bool female) { return female ? Sex::kFemale : Sex::kMale; }

// "male" / "female", as the store, the exchange files and the JSON outputs
// write it.
const char* SexKey(Sex sex);
std::optional<Sex> SexFromKey(std::string_view key);

}  // namespace tavrin
