// The file the window keeps its settings in (~/.config/tavrin/tavrin.conf)
// is the user's: anything may stand in it. QSettings reads every value of
// it when it first opens it, and a value it keeps as a serialised QVariant
// (@Variant(...)) is read by recursion: one nested deeply enough ends the
// program before a single setting is asked for. So the file is looked at
// first, as bytes, and what this program never writes there is dropped.
#pragma once

#include <QString>
#include <cstddef>

namespace tavrin::ui {

// The largest settings file read (ours holds a few hundred bytes).
inline constexpr std::size_t kMaxSettingsBytes = 64 * 1024;
// The longest line kept (the window's geometry takes about a hundred bytes).
inline constexpr std::size_t kMaxSettingsLine = 4096;

// Where QSettings keeps the settings of this organisation and application
// (QCoreApplication's names), found without opening it.
QString SettingsFilePath();

// What CleanSettingsFile did.
enum class SettingsCleaning {
  kUntouched,  // missing, or nothing in it to drop
  kCleaned,    // lines dropped: a serialised QVariant, or too long a line
  kSetAside,   // too big, or no regular file: renamed to <path>.bad, the defaults hold
  kFailed,     // it should have been cleaned but could not be written or renamed
};

// Makes the file at `path` safe for QSettings to read: lines holding a
// serialised QVariant or longer than kMaxSettingsLine are dropped (written
// back atomically); a file bigger than kMaxSettingsBytes, or one that is no
// regular file, is set aside. The window's own values are plain texts,
// numbers, booleans and byte arrays, and stay.
SettingsCleaning CleanSettingsFile(const QString& path);

}  // namespace tavrin::ui
