// The secret of a share: random bytes from the operating system's generator
// (getrandom), written in the URL-safe base64 alphabet without padding.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tavrin::share {

inline constexpr std::size_t kSecretBytes = 24;  // 192 bits

// Throws ShareError when the system gives no random bytes.
std::string NewSecret(std::size_t bytes = kSecretBytes);
// Compares in a time that does not depend on where the texts differ.
bool SameSecret(std::string_view a, std::string_view b);

}  // namespace tavrin::share
