// The checks of what a family member types on the page: the display name,
// the rating and the comment. Messages are Chinese (UTF-8), as the page
// shows them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tavrin::share {

inline constexpr std::size_t kMaxMemberCharacters = 20;
inline constexpr std::size_t kMaxCommentCharacters = 500;
inline constexpr int kMinVoteRating = 1;
inline constexpr int kMaxVoteRating = 5;

// Well-formed UTF-8: no stray continuation byte, no overlong form, no
// surrogate, nothing above U+10FFFF.
bool IsUtf8(std::string_view text);
// The code points of a well-formed UTF-8 text.
std::size_t Utf8Length(std::string_view text);
// The text without the blanks (ASCII and U+3000) at its ends.
std::string TrimBlanks(std::string_view text);

// nullopt when good, else why not.
std::optional<std::string> CheckMember(std::string_view member);
std::optional<std::string> CheckComment(std::string_view comment);
std::optional<std::string> CheckRating(int rating);

}  // namespace tavrin::share
