#include "sources/source_finder.h"

#include <utility>

#include "chars/encoding.h"
#include "sources/library_text.h"
#include "sources/sqlite_handle.h"

namespace tavrin::sources {

SourceFinder::SourceFinder(std::string dataDir) : path_(std::move(dataDir) + kLibraryFile) {}

SourceFinder::~SourceFinder() = default;

ClassicalLibrary* SourceFinder::Library() {
  if (!tried_) {
    tried_ = true;
    try {
      library_ = std::make_unique<ClassicalLibrary>(path_);
    } catch (const LibraryError&) {
      library_.reset();  // no library: no sources, as for a name no line holds
    }
  }
  return library_.get();
}

std::vector<NameSource> SourceFinder::Find(const std::string& givenName, std::size_t limit) {
  ClassicalLibrary* library = Library();
  return library ? library->FindSources(givenName, limit) : std::vector<NameSource>{};
}

const NameSource* SourceFinder::Best(const std::string& givenName) {
  auto found = best_.find(givenName);
  if (found == best_.end()) {
    std::vector<NameSource> lines = Find(givenName, 1);
    std::optional<NameSource> best;
    if (!lines.empty()) best = std::move(lines.front());
    found = best_.emplace(givenName, std::move(best)).first;
  }
  return found->second ? &*found->second : nullptr;
}

std::string ShortSource(const NameSource& source) {
  return "\xA1\xB6" + source.title + "\xA1\xB7" + source.author + "\xA3\xBA" + source.line;  // 《》：
}

advice::ClassicalSource AsClassicalSource(const NameSource& source) {
  return {CollectionRank(GbkToUtf8(source.collection)), source.collection, source.title, source.line};
}

}  // namespace tavrin::sources
