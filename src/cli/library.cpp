#include "cli/library.h"

#include "chars/encoding.h"
#include "core/lines.h"
#include "base/output_text.h"
#include "sources/library_text.h"
#include "sources/library_error.h"

namespace tavrin::cli {

std::string LibraryPath(CliContext& context) { return context.Stores().dataDir + sources::kLibraryFile; }

void SayLibraryFault(CliContext& context, const sources::NameNotes& notes) {
  const sources::LibraryError* fault = notes.Fault();
  if (!fault || fault->Fault() == sources::LibraryFault::kMissing) return;
  context.err << "tavrin-cli: "
              << EscapeForTerminal(sources::LibraryFaultText(notes.LibraryPath(), *fault) + Say(",名字没有出处"))
              << '\n';
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
