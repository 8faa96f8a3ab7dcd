#include "cli/cli_text.h"

#include <algorithm>
#include <ostream>

#include "advice/advice.h"
#include "analysis/analyse_name.h"
#include "base/output_text.h"
#include "chars/encoding.h"
#include "chars/gbk.h"
#include "chars/tone_marks.h"
#include "core/birth_inputs.h"
#include "core/naming_model.h"
#include "core/report.h"
#include "favourites/kept_name.h"
#include "sources/library_text.h"

namespace tavrin::cli {

namespace {

// A command-line argument (UTF-8) as GBK; throws CliError when it cannot be.
std::string ArgumentAsGbk(std::string_view utf8Argument) {
  auto gbk = Utf8ToGbk(utf8Argument);
  if (!gbk) {
    throw CliError(Say("参数“%1”不是有效的 UTF-8,或含有 GBK 无法表示的字符", {QuoteArgument(utf8Argument)}));
  }
  return *gbk;
}

std::string U8(std::string_view gbk) { return GbkToUtf8(gbk); }

}  // namespace

// --- Messages and lines ---------------------------------------------------

std::string Say(std::string_view gbk, std::initializer_list<std::string_view> args) {
  const std::string text = GbkToUtf8(gbk);
  std::string said;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::size_t n = i + 1 < text.size() ? static_cast<std::size_t>(text[i + 1] - '1') : args.size();
    if (text[i] == '%' && n < args.size()) {
      said += args.begin()[n];
      ++i;
    } else {
      said += text[i];
    }
  }
  return said;
}

CliError GbkError(std::string_view gbkMessage) { return CliError(GbkToUtf8(gbkMessage)); }

void WriteText(std::ostream& out, std::string_view gbk) { out << GbkToUtf8(gbk); }

void CliContext::Print(std::string_view gbkText) { out << GbkToUtf8(gbkText); }

void CliContext::PrintLine(std::string_view gbkText) {
  // Names, notes and echoed arguments may hold control characters: they are
  // shown as escapes, never obeyed by the terminal; tabs part the columns.
  // A plain line goes through one buffer kept from line to line.
  line_.clear();
  if (!AppendPlainGbkAsUtf8(gbkText, line_)) line_ = GbkToUtf8(EscapeControlBytes(gbkText, true));
  line_ += '\n';
  out.write(line_.data(), static_cast<std::streamsize>(line_.size()));
  // Output that cannot be written ends the command rather than going on unseen.
  if (!out) throw OutputError();
}

// --- Arguments ------------------------------------------------------------

HourField CliContext::HourArgument(std::string_view utf8Argument) {
  return TypedHourField(ArgumentAsGbk(utf8Argument), utf8Argument == "unknown");
}

std::function<void(const std::string&)> KeepGbk(std::string& value) {
  return [&value](const std::string& given) { value = ArgumentAsGbk(given); };
}

std::function<void(const std::string&)> KeepGbk(std::optional<std::string>& value) {
  return [&value](const std::string& given) { value = ArgumentAsGbk(given); };
}

std::function<void(const std::string&)> DateOption(std::string& year, std::string& month, std::string& day) {
  return [&year, &month, &day](const std::string& value) { SplitDateOption(value, year, month, day); };
}

Positionals GbkArgument(std::optional<std::string>& into, bool dashedToo) {
  return {[&into](const std::string& argument) {
            if (into) return false;
            into = ArgumentAsGbk(argument);
            return true;
          },
          dashedToo};
}

Positionals EveryGbkArgument(std::function<void(const std::string& given, const std::string& gbk)> take) {
  return {[take = std::move(take)](const std::string& argument) {
    take(argument, ArgumentAsGbk(argument));
    return true;
  }};
}

std::vector<std::string> ExpectGbkArgs(const std::vector<std::string>& args, std::size_t count, const char* usage) {
  ExpectArgs(args, count, usage);
  std::vector<std::string> gbk;
  for (const std::string& arg : args) gbk.push_back(ArgumentAsGbk(arg));
  return gbk;
}

void SplitDateOption(const std::string& utf8, std::string& year, std::string& month, std::string& day) {
  const std::string text = ArgumentAsGbk(utf8);
  const std::size_t first = text.find('-');
  const std::size_t second = first == std::string::npos ? first : text.find('-', first + 1);
  if (second == std::string::npos || first == 0 || second == first + 1 || second + 1 == text.size() ||
      text.find('-', second + 1) != std::string::npos) {
    throw CliError(Say("--date “%1”不是 YYYY-MM-DD 形式的日期", {QuoteArgument(GbkToUtf8(text))}));
  }
  year = text.substr(0, first);
  month = text.substr(first + 1, second - first - 1);
  day = text.substr(second + 1);
}

int SurnameOption(const std::string& fullName, const std::string& utf8Surname) {
  const std::string surname = ArgumentAsGbk(utf8Surname);
  const std::size_t chars = SplitChars(surname).size();
  if (chars < 1 || chars > 2 || surname.size() != chars * 2 || fullName.size() <= surname.size() ||
      fullName.compare(0, surname.size(), surname) != 0) {
    throw CliError(Say("--surname “%1”不是“%2”开头的一两个字", {QuoteArgument(utf8Surname), GbkToUtf8(fullName)}));
  }
  return static_cast<int>(chars);
}

std::vector<Element> ParseFavourableOption(const std::string& utf8) {
  const auto elements = ParseElementList(ArgumentAsGbk(utf8));
  if (!elements) throw CliError(Say("--favourable “%1”应由金木水火土中的字组成,如 木火", {utf8}));
  return *elements;
}

GbkText KeptNameArgument(const std::string& utf8) {
  GbkText name(ArgumentAsGbk(utf8));
  if (auto bad = CheckFullName(name.View())) throw CliError(Say("“%1”:", {utf8}) + GbkToUtf8(*bad));
  return name;
}

GbkText KeptNoteArgument(const std::string& utf8) { return GbkText(ArgumentAsGbk(utf8)); }

// --- JSON views -----------------------------------------------------------

Json Utf8Lines(const std::vector<std::string>& gbkLines) {
  Json lines = Json::array();
  for (const std::string& line : gbkLines) lines.push_back(U8(line));
  return lines;
}

Json ReportCellsJson(const ReportRow& row) {
  Json columns = Json::array();
  for (std::size_t column = 0; column < ReportRow::kColumnCount; ++column) columns.push_back(U8(row.Cell(column)));
  return columns;
}

Json ReportRowJson(const ReportRow& row) {
  Json gridLines = Json::array();
  for (const NumerologyMatch& match : row.scored.matches) {
    gridLines.push_back(U8(std::string(GridLabel(match.grid)) + match.line));
  }
  return {{"name", U8(row.candidate.fullName)},
          {"score", row.candidate.score},
          {"birth_elements", U8(row.birthElements)},
          {"name_elements", U8(row.scored.nameElements)},
          {"grid_lines", std::move(gridLines)}};
}

std::string PendingLineText(const PaneLine& line) { return U8(line.Text()); }

std::string ProgressText(const RunPresentation& presentation) { return U8(presentation.Progress()); }

std::string OriginText(Origin origin) { return U8(OriginCaption(origin)); }

namespace {

std::string ElementText(const std::vector<Element>& elements) {
  std::string out;
  for (Element e : elements) out += ElementChar(e);
  return U8(out);
}

Json ChartJson(const conventions::FavourableElements& f) {
  const conventions::ChartStrength& s = f.strength;
  Json points = Json::object();
  for (Element e : kElementOrder) points[U8(ElementChar(e))] = s.points[static_cast<std::size_t>(e)];
  Json reasoning = Json::array();
  for (const std::string& line : conventions::FavourableReasoning(f)) reasoning.push_back(U8(line));
  return {{"dayMaster", U8(s.dayMaster)},
          {"dayElement", U8(ElementChar(s.dayElement))},
          {"monthBranch", U8(s.monthBranch)},
          {"seasonElement", U8(ElementChar(s.seasonElement))},
          {"inSeason", s.inSeason},
          {"hourKnown", s.hourKnown},
          {"points", std::move(points)},
          {"support", s.support},
          {"oppose", s.oppose},
          {"otherCharacters", s.otherCharacters},
          {"supportingCharacters", s.supportingCharacters},
          {"strong", s.strong},
          {"favourable", ElementText(f.favourable)},
          {"unfavourable", ElementText(f.unfavourable)},
          {"overridden", f.overridden},
          {"reasoning", std::move(reasoning)}};
}

// Each grid of the reading: its numbers, element, points and lines with
// their verdicts.
Json GridsJson(const ConventionsSection& section) {
  const conventions::ConventionsReading& r = *section.reading;
  Json grids = Json::array();
  for (std::size_t i = 0; i < r.lookups.size(); ++i) {
    Json lines = Json::array();
    Json verdicts = Json::array();
    for (const std::string& line : section.gridLines[i]) {
      std::string shown = line;
      while (!shown.empty() && (shown.back() == '\r' || shown.back() == '\n')) shown.pop_back();
      lines.push_back(U8(shown));
      verdicts.push_back(U8(VerdictOf(line)));
    }
    grids.push_back({{"grid", U8(CommonGridName(i))},
                     {"number", r.lookups[i].number},
                     {"tableNumber", r.lookups[i].tableNumber},
                     {"element", U8(ElementChar(conventions::GridElement(r.lookups[i].number)))},
                     {"points", r.lookups[i].points},
                     {"verdicts", std::move(verdicts)},
                     {"lines", std::move(lines)}});
  }
  return grids;
}

Json ReadingJson(const ConventionsSection& section) {
  const conventions::ConventionsReading& r = *section.reading;
  Json characters = Json::array();
  for (std::size_t i = 0; i < r.characters.size(); ++i) {
    characters.push_back(
        {{"char", U8(r.characters[i])}, {"traditional", U8(section.traditional[i])}, {"kangxi", r.strokes[i]}});
  }
  Json sancai = nullptr;
  if (r.hasSancai) {
    sancai = {{"elements", U8(std::string(ElementChar(r.sancai.heaven)) + std::string(ElementChar(r.sancai.person)) +
                              std::string(ElementChar(r.sancai.earth)))},
              {"verdict", U8(conventions::VerdictText(r.sancai.verdict))},
              {"explanation", U8(r.sancai.explanation)}};
  }
  Json given = Json::array();
  for (const auto& e : r.givenElements) given.push_back(e ? Json(U8(ElementChar(*e))) : nullptr);
  return {
      {"surnameLength", r.surnameLength},
      {"characters", std::move(characters)},
      {"grids", GridsJson(section)},
      {"sancai", std::move(sancai)},
      {"givenElements", std::move(given)},
      {"favourableCharacters", r.favourableCharacters},
      {"score",
       {{"total", r.score}, {"numerology", r.numerologyPart}, {"sancai", r.sancaiPart}, {"elements", r.elementPart}}}};
}

}  // namespace

Json ConventionsJson(const ConventionsSection& section) {
  Json out = Json::object();
  out["chart"] = section.favourable ? ChartJson(*section.favourable) : Json(nullptr);
  out["reading"] = section.reading ? ReadingJson(section) : Json(nullptr);
  return out;
}

Json SourcesJson(const std::vector<sources::NameSource>& found) {
  Json list = Json::array();
  for (const sources::NameSource& source : found) {
    list.push_back({{"line", ToUtf8(source.line).Bytes()},
                    {"title", ToUtf8(source.title).Bytes()},
                    {"author", ToUtf8(source.author).Bytes()},
                    {"collection", ToUtf8(source.collection).Bytes()},
                    {"positions", source.positions}});
  }
  return list;
}

Json SourceAnswerJson(const std::string& name, const std::string& given,
                      const std::vector<sources::NameSource>& found) {
  return {{"name", U8(name)}, {"given", U8(given)}, {"sources", SourcesJson(found)}};
}

}  // namespace tavrin::cli
