// Where the report's texts change encoding: the core's values and messages
// are GBK; the pages Qt draws, the window's sentences and what tavrin-report
// reads and says are UTF-8. Nothing else in the report converts.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "chars/text.h"

namespace tavrin::report {

// A text of the core (a name, a pillar, a line of the tables, a message) as
// the report draws or says it; bytes that are no GBK become U+FFFD.
QString FromCore(std::string_view gbk);
QString FromCore(const GbkText& gbk);

// A text given to tavrin-report (UTF-8) as the core reads it; nullopt when
// it is not UTF-8 or holds a character GBK lacks.
std::optional<std::string> ToCore(std::string_view utf8);

}  // namespace tavrin::report
