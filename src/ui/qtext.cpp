#include "ui/qtext.h"

#include "chars/encoding.h"

namespace tavrin::ui {

QString FromGbk(std::string_view gbk) { return QString::fromStdString(GbkToUtf8(gbk)); }

std::string ToGbk(const QString& text) {
  std::string gbk;
  // Character by character, so that one character outside GBK costs only itself.
  for (qsizetype i = 0; i < text.size();) {
    const qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
    if (auto piece = Utf8ToGbk(text.mid(i, len).toStdString())) gbk += *piece;
    i += len;
  }
  return gbk;
}

}  // namespace tavrin::ui
