#include "sources/name_notes.h"

#include <algorithm>
#include <utility>

#include "chars/encoding.h"
#include "chars/gbk.h"
#include "chars/tone_marks.h"
#include "sources/library_error.h"
#include "sources/library_text.h"

namespace tavrin::sources {

namespace {

// How many of a name's best lines are looked at for one fit to name a child from.
constexpr std::size_t kBestOf = 4;

// The marks and the label the notes are written with, as the core's texts
// hold them.
struct Marks {
  std::string openTitle = GbkLiteral(u8"《").Bytes(), closeTitle = GbkLiteral(u8"》").Bytes();
  std::string colon = GbkLiteral(u8"：").Bytes(), semicolon = GbkLiteral(u8"；").Bytes();
  std::string openParen = GbkLiteral(u8"（").Bytes(), closeParen = GbkLiteral(u8"）").Bytes();
  std::string wordsLabel = GbkLiteral(u8"常用词").Bytes();
};

const Marks& GbkMarks() {
  static const Marks marks;
  return marks;
}

}  // namespace

NameNotes::NameNotes(std::string dataDir, std::shared_ptr<const advice::AdviceTables> tables)
    : dataDir_(std::move(dataDir)),
      tables_(tables ? std::move(tables) : std::make_shared<const advice::AdviceTables>()) {}

NameNotes::~NameNotes() = default;

ClassicalLibrary* NameNotes::Library() {
  if (!triedLibrary_) {
    triedLibrary_ = true;
    try {
      library_ = std::make_unique<ClassicalLibrary>(LibraryPath());
    } catch (const LibraryError& error) {
      Drop(error);  // no library: no sources, as for a name no line holds
    }
  }
  return library_.get();
}

std::string NameNotes::LibraryPath() const { return dataDir_ + kLibraryFile; }

void NameNotes::Drop(const LibraryError& error) {
  library_.reset();
  if (fault_) return;
  fault_ = error;
  if (said_) said_(*fault_);
}

std::string LibraryFaultText(const std::string& path, const LibraryError& error) {
  const std::string file = "“" + path + "”";
  switch (error.Fault()) {
    case LibraryFault::kMissing:
      return "缺少典籍库 " + path;
    case LibraryFault::kRefused:
      return "无法读取典籍库" + file + ":" + error.what();
    case LibraryFault::kDamaged:
      return "典籍库" + file + "已损坏";
    case LibraryFault::kTooSlow:
      return "搜索超过了 " + std::to_string(kSearchMilliseconds) + " 毫秒,已停止;请换一个更短或更确切的搜索";
    case LibraryFault::kOther:
      break;
  }
  return "无法读取典籍库" + file;
}

std::vector<NameSource> NameNotes::Find(const GbkText& givenName, std::size_t limit) {
  return WithLibrary([&](ClassicalLibrary& library) { return library.FindSources(givenName, limit); },
                     std::vector<NameSource>{});
}

const NameSource* NameNotes::BestSource(const GbkText& fullName) {
  const GbkText given(Tables().GivenName(fullName.Bytes()));
  auto found = best_.find(given);
  if (found == best_.end()) {
    // A line of grief, death or displeasure is no source to name a child
    // from: the next best one is taken (looked for only then, since a
    // longer search costs more).
    std::vector<NameSource> lines = Find(given, 1);
    if (!lines.empty() && Tables().NegativeLine(lines.front().line.Bytes())) lines = Find(given, kBestOf);
    std::optional<NameSource> best;
    for (NameSource& line : lines) {
      if (Tables().NegativeLine(line.line.Bytes())) continue;
      best = std::move(line);
      break;
    }
    found = best_.emplace(given, std::move(best)).first;
  }
  return found->second ? &*found->second : nullptr;
}

std::vector<GbkText> NameNotes::Meanings(const GbkText& fullName, Glosses glosses) {
  std::vector<GbkText> lines;
  const std::string given = Tables().GivenName(fullName.Bytes());
  if (const std::string* pair = Tables().WordMeaning(given)) lines.emplace_back(given + GbkMarks().colon + *pair);
  for (const std::string& ch : SplitChars(given)) {
    const advice::GivenChar given{ch, Tables().Facts(ch)};
    if (!given.facts) continue;
    lines.push_back(MeaningLine(given));
    if (GbkText gloss = GlossLine(given); glosses == Glosses::kSecondLine && !gloss.empty())
      lines.push_back(std::move(gloss));
  }
  return lines;
}

GbkText ShortSource(const NameSource& source) {
  const Marks& m = GbkMarks();
  return GbkText(m.openTitle + source.title.Bytes() + m.closeTitle + source.author.Bytes() + m.colon +
                 source.line.Bytes());
}

GbkText MeaningLine(const advice::GivenChar& given) {
  std::string line = given.ch;
  if (!given.facts) return GbkText(std::move(line));
  const advice::CharFacts& facts = *given.facts;
  const Marks& m = GbkMarks();
  if (!facts.readings.empty()) line += m.openParen + PinyinWithToneMarksGbk(facts.readings.front()) + m.closeParen;
  line += facts.meaning;
  if (!facts.words.empty()) {
    if (!facts.meaning.empty()) line += m.semicolon;
    line += m.wordsLabel + m.colon;
    for (std::size_t i = 0; i < facts.words.size(); ++i) line += (i ? " " : "") + facts.words[i];
  }
  return GbkText(std::move(line));
}

GbkText GlossLine(const advice::GivenChar& given) {
  if (!given.facts || given.facts->gloss.empty()) return {};
  return GbkText("  " + given.facts->gloss);
}

std::vector<std::string> LinesOfName(const std::string& text, const std::string& given) {
  const std::vector<std::string> name = Utf8Chars(given);
  if (name.empty()) return {};
  std::vector<std::vector<std::string>> lines;
  for (const std::string& line : TextLines(text)) lines.push_back(Utf8Chars(line));
  const std::vector<std::string>* best = nullptr;
  Fit bestFit = Fit::kNone;
  std::vector<int> positions;
  for (const std::vector<std::string>& line : lines) {
    const Fit fit = PlaceName(line, name, positions);
    if (fit < bestFit) {
      bestFit = fit;
      best = &line;
      if (fit == Fit::kAdjacent) break;
    }
  }
  const auto joined = [](const std::vector<std::string>& line) {
    std::string text;
    for (const std::string& c : line) text += c;
    return text;
  };
  if (best) return {joined(*best)};
  std::vector<std::string> each;
  for (const std::string& c : name) {
    const auto holding = std::find_if(lines.begin(), lines.end(), [&c](const auto& line) {
      return std::find(line.begin(), line.end(), c) != line.end();
    });
    each.push_back(holding == lines.end() ? std::string() : joined(*holding));
  }
  return each;
}

advice::ClassicalSource AsClassicalSource(const NameSource& source) {
  bool adjacent = !source.positions.empty();
  for (std::size_t i = 1; i < source.positions.size(); ++i) {
    adjacent = adjacent && source.positions[i] == source.positions[i - 1] + 1;
  }
  // A phrase of the line, not two characters across the beat of a verse
  // line: 杨柳|依依 gives no 柳依.
  adjacent = adjacent && source.positions.size() == 2 &&
             advice::WithinBeat(static_cast<int>(SplitChars(source.line.Bytes()).size()), source.positions.front());
  return {advice::CollectionRank(source.collection.Bytes()),
          source.collection.Bytes(),
          source.title.Bytes(),
          source.line.Bytes(),
          source.author.Bytes(),
          adjacent};
}

advice::SourceFinder SourceFinderOf(NameNotes& notes) {
  return [&notes](const std::string& fullName) -> std::optional<advice::ClassicalSource> {
    const NameSource* source = notes.BestSource(GbkText(fullName));
    return source ? std::optional(AsClassicalSource(*source)) : std::nullopt;
  };
}

}  // namespace tavrin::sources
