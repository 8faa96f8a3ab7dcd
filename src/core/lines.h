// Reading data files as ordered lists of lines.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chars/linelist.h"

namespace tavrin {

// Cuts a text into lines at CR LF, a lone CR and a lone LF. A last line
// without a line end still yields a line; a zero byte ends the text. Lines are
// kept exactly as they stand, empty ones included.
LineList SplitLines(std::string_view text);

// Reads a whole file as bytes. On failure returns nullopt and puts the
// system's error text into `error`.
std::optional<std::string> ReadWholeFile(const std::string& path, std::string& error);

bool FileExists(const std::string& path);

}  // namespace tavrin
