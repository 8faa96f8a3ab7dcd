// The classical library as the front ends use it: opened on first use (a
// missing or unreadable library gives no sources and no texts), the best
// line of each given name remembered, and the short forms a source is shown
// in. Texts are GBK.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "advice/advice.h"
#include "sources/classical_library.h"

namespace tavrin::sources {

class SourceFinder {
 public:
  // `dataDir` ends with a separator; library.db is looked for there.
  explicit SourceFinder(std::string dataDir);
  ~SourceFinder();
  SourceFinder(const SourceFinder&) = delete;
  SourceFinder& operator=(const SourceFinder&) = delete;

  // The library, opened now if it was not; null when it cannot be.
  ClassicalLibrary* Library();

  // The best lines of a given name, at most `limit`.
  std::vector<NameSource> Find(const std::string& givenName, std::size_t limit);
  // The best line of a given name, remembered; null when no line holds it.
  const NameSource* Best(const std::string& givenName);

 private:
  std::string path_;
  bool tried_ = false;
  std::unique_ptr<ClassicalLibrary> library_;
  std::map<std::string, std::optional<NameSource>> best_;
};

// 《title》author：line, the short form of a source for a cell or a line.
std::string ShortSource(const NameSource& source);

// A source as the 推荐度 weighs it.
advice::ClassicalSource AsClassicalSource(const NameSource& source);

}  // namespace tavrin::sources
