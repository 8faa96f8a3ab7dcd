#include "ui/SettingsFile.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <cstdio>
#include <string>
#include <string_view>

#include "base/file_read.h"
#include "base/file_write.h"

namespace tavrin::ui {

namespace {

// A line QSettings would turn into a QVariant by reading a data stream: its
// value (after "key=", and an opening quote) starts with @Variant(.
bool SerialisedVariant(std::string_view line) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return false;
  std::string_view value = line.substr(equals + 1);
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t' || value.front() == '"')) {
    value.remove_prefix(1);
  }
  return value.starts_with("@Variant(");
}

SettingsCleaning SetAside(const std::string& path) {
  return std::rename(path.c_str(), (path + ".bad").c_str()) == 0 ? SettingsCleaning::kSetAside
                                                                 : SettingsCleaning::kFailed;
}

}  // namespace

QString SettingsFilePath() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + '/' +
         QCoreApplication::organizationName() + '/' + QCoreApplication::applicationName() + ".conf";
}

SettingsCleaning CleanSettingsFile(const QString& path) {
  const std::string file = path.toStdString();
  ReadRefusal refusal;
  const std::optional<std::string> bytes = ReadRegularFile(file, kMaxSettingsBytes, refusal);
  if (!bytes) {
    // Missing, or unreadable for want of rights: QSettings reads nothing either.
    return refusal.kind == ReadRefusal::kCannotOpen ? SettingsCleaning::kUntouched : SetAside(file);
  }
  std::string kept;
  kept.reserve(bytes->size());
  bool dropped = false;
  std::string_view rest = *bytes;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end == std::string_view::npos ? rest.size() : end + 1);
    rest.remove_prefix(line.size());
    if (line.size() > kMaxSettingsLine || SerialisedVariant(line)) {
      dropped = true;
      continue;
    }
    kept += line;
  }
  if (!dropped) return SettingsCleaning::kUntouched;
  return WriteFileSafely(file, kept) ? SettingsCleaning::kFailed : SettingsCleaning::kCleaned;
}

}  // namespace tavrin::ui
