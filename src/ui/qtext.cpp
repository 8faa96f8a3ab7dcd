#include "ui/qtext.h"

#include "chars/encoding.h"

namespace tavrin::ui {

QString FromGbk(std::string_view gbk) { return QString::fromStdString(GbkToUtf8(gbk)); }

std::string ToGbk(const QString& text) {
  std::string gbk;
  // Character by character, so that one character outside GBK costs only
  // itself. It becomes "?", as the system's own conversion to the GBK code
  // page makes it: dropping it would turn "1😀" into the valid "1" and a
  // field's checks would pass a text the user did not type.
  for (qsizetype i = 0; i < text.size();) {
    const qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
    const auto piece = Utf8ToGbk(text.mid(i, len).toStdString());
    gbk += piece ? *piece : "?";
    i += len;
  }
  return gbk;
}

}  // namespace tavrin::ui
