#include "cli/library.h"

#include "chars/encoding.h"
#include "core/lines.h"
#include "sources/library_text.h"
#include "sources/sqlite_handle.h"

namespace tavrin::cli {

std::unique_ptr<sources::ClassicalLibrary> OpenLibrary(CliContext& context) {
  const std::string path = context.Stores().dataDir + sources::kLibraryFile;
  if (!FileExists(path)) throw CliError(Say("缺少典籍库 %1", {path}));
  try {
    return std::make_unique<sources::ClassicalLibrary>(path);
  } catch (const sources::LibraryError& error) {
    throw CliError(Say("无法读取典籍库: ") + error.what());
  }
}

nlohmann::ordered_json SourcesJson(const std::vector<sources::NameSource>& found) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const sources::NameSource& source : found) {
    list.push_back({{"line", GbkToUtf8(source.line)},
                    {"title", GbkToUtf8(source.title)},
                    {"author", GbkToUtf8(source.author)},
                    {"collection", GbkToUtf8(source.collection)},
                    {"positions", source.positions}});
  }
  return list;
}

}  // namespace tavrin::cli
