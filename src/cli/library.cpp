#include "cli/library.h"

#include "base/output_text.h"
#include "cli/cli_text.h"
#include "core/lines.h"
#include "sources/library_error.h"
#include "sources/library_text.h"

namespace tavrin::cli {

std::string LibraryPath(CliContext& context) { return context.Stores().dataDir + sources::kLibraryFile; }

void SayLibraryFault(CliContext& context, const sources::NameNotes& notes) {
  const sources::LibraryError* fault = notes.Fault();
  if (!fault || fault->Fault() == sources::LibraryFault::kMissing) return;
  context.err << "tavrin-cli: "
              << EscapeForTerminal(sources::LibraryFaultText(notes.LibraryPath(), *fault) + Say(",名字没有出处"))
              << '\n';
}

}  // namespace tavrin::cli
