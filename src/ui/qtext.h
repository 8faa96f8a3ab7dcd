// Core GBK texts to and from Qt strings, through the one encoding module.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace tavrin::ui {

QString FromGbk(std::string_view gbk);
// Text typed by the user as GBK; a character that GBK cannot encode becomes "?".
std::string ToGbk(const QString& text);

}  // namespace tavrin::ui
