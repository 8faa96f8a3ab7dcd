#include "report/report_text.h"

#include "chars/encoding.h"

namespace tavrin::report {

QString FromCore(std::string_view gbk) { return QString::fromStdString(GbkToUtf8(gbk)); }
QString FromCore(const GbkText& gbk) { return QString::fromStdString(ToUtf8(gbk).Bytes()); }

std::optional<std::string> ToCore(std::string_view utf8) { return Utf8ToGbk(utf8); }

}  // namespace tavrin::report
