// An ordered list of lines of a data file, addressed by index from 0.
#pragma once

#include <string>
#include <vector>

namespace tavrin {

using LineList = std::vector<std::string>;

}  // namespace tavrin
