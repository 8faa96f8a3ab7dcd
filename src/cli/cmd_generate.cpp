// The naming run from the command line: one Generate command on a fresh
// start-up, with the settings page's inputs given as options.
#include <charconv>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "advice/advice_json.h"
#include "base/output_text.h"
#include "chars/encoding.h"
#include "chars/gbk.h"
#include "chars/tone_marks.h"
#include "cli/birth_time.h"
#include "cli/cli.h"
#include "cli/cli_text.h"
#include "cli/json_output.h"
#include "cli/library.h"
#include "core/best_names.h"
#include "core/naming_model.h"
#include "core/wishes.h"
#include "generators/generate_command.h"
#include "sources/name_notes.h"

namespace tavrin::cli {
namespace {

constexpr const char* kOptions =
    "[--surname S] [--sex male|female] [--date YYYY-MM-DD] [--hour H] [--count N] [--fix2 TEXT] [--fix3 TEXT] "
    "[--place 省/市 | --longitude DEG] [--minute M] [--term-side before|after] [--seed U64] [--whole-item-sound] "
    "[--favourable ELEMENTS | --no-elements] [--theme 心愿] [--keep 字] [--keep-at 1|2] [--avoid 字] "
    "[--avoid-same-sound] [--sibling 名字] [--sibling-sex male|female] [--best N] [--json] [--json-format 1|2]";

// The best names of a run in the 精选 page's order. The filter is the
// stricter Filter{}: only level-1 characters, since with level 2 up to 9 of
// the best 20 would carry a 生僻 hint (docs/advice.md).
// The 推荐度 takes in each name's classical source, as `advise` does.
struct BestOfRun {
  BestOfRun(const DataStores& stores, BestNames::ConventionsScorer conventionsScorer)
      : services(*stores.services), notes(stores.dataDir, stores.advice), names(stores.advice.get()) {
    names.SetSourceFinder(sources::SourceFinderOf(notes));
    names.SetConventionsScorer(std::move(conventionsScorer));
  }
  const NamingServices& services;
  sources::NameNotes notes;
  BestNames names;
  std::vector<std::size_t> chosen;
  std::vector<std::string> chartNotes;  // GBK: how the chart was read, what it is unsure of
};

// A score that may be missing, as the text output shows it.
std::string ScoreText(std::optional<int> score) { return score ? std::to_string(*score) : std::string("-"); }

void PrintText(CliContext& context, const NamingRunState& runs, std::uint64_t seed, const BestOfRun* best) {
  for (const auto& page : runs.ResultPages()) {
    context.PrintLine("【" + page.caption + "】");
    for (const std::string& line : page.pane->Lines()) context.PrintLine(line);
  }
  context.PrintLine("【姓名报表】");
  for (const ReportRow& row : runs.report.Rows()) {
    std::string line;
    for (std::size_t column = 0; column < ReportRow::kColumnCount; ++column) {
      if (column > 0) line += '\t';
      // The grid lines on one line, each followed by " | ".
      line += column == ReportRow::kGrids ? FormatScoreText(row.scored, " | ") : row.Cell(column);
    }
    context.PrintLine(line);
  }
  if (best) {
    // What the baby needs, then one line a name: name, pinyin, 推荐度,
    // score, 通行评分, where it came from (the run page, or 典籍 / 名库),
    // warnings.
    context.PrintLine("【精选】");
    if (const auto& needs = best->names.Judge().Needs(); needs && needs->HasChart()) {
      context.PrintLine(NeedsSentence(*needs));
      context.PrintLine(ReadingsLine(*needs));
      if (const std::string hour = UnknownHourLine(*needs); !hour.empty()) context.PrintLine(hour);
      for (const std::string& line : best->chartNotes) context.PrintLine(line);
    }
    const std::string wishes = WishesSentence(best->names.Judge().Wishes().Wishes());
    if (!wishes.empty()) context.PrintLine(wishes);
    for (const std::size_t i : best->chosen) {
      const advice::Advice& a = best->names.AdviceAt(i);
      const int score = best->names.ScoreAt(i);
      context.Print(a.name);
      context.out << '\t' << PinyinWithToneMarks(a.pinyin) << '\t';
      context.Print("推荐度 " + std::to_string(a.recommend) + "\t分数 " +
                    (score == BestNames::kNoScore ? std::string("-") : std::to_string(score)) + "\t通行评分 " +
                    ScoreText(best->names.ConventionsScoreAt(i)) + "\t来源 " +
                    std::string(OriginCaption(best->names.CandidateAt(i).origin)) + '\t');
      context.out << advice::WarningsText(a).Bytes();
      // How the name meets the family's wishes, after its warnings.
      if (!wishes.empty()) {
        std::string how;
        for (const advice::Reason& line : best->names.WishLinesAt(i)) how += (how.empty() ? "" : "；") + line.text;
        context.out << '\t';
        context.Print(how);
      }
      context.out << '\n';
    }
  }
  context.out << "seed: " << seed << '\n';
}

Json ElementsJson(const std::vector<Element>& elements) {
  Json list = Json::array();
  for (Element e : elements) list.push_back(GbkToUtf8(ElementChar(e)));
  return list;
}

// The baby the best names were judged for: the elements names should bring
// and those they should not (none when names are not judged by elements),
// and the reading in words.
Json ChildJson(const ChildNeeds& needs, const std::vector<std::string>& chartNotes) {
  static constexpr const char* kWishes[] = {"chart", "chosen", "ignore"};
  Json child = {{"wish", kWishes[static_cast<int>(needs.wish)]}};
  child["favourable"] = needs.reading ? ElementsJson(needs.reading->favourable) : Json::array();
  child["unfavourable"] = needs.reading ? ElementsJson(needs.reading->unfavourable) : Json::array();
  child["needs"] = GbkToUtf8(NeedsSentence(needs));
  child["readings"] = GbkToUtf8(ReadingsLine(needs));
  child["hour"] = GbkToUtf8(UnknownHourLine(needs));
  child["notes"] = Utf8Lines(chartNotes);
  return child;
}

// The family's wishes the best names were judged by.
Json WishesJson(const FamilyWishes& wishes) {
  Json kept = Json::array();
  for (const FamilyWishes::Kept& k : wishes.kept) kept.push_back({{"char", GbkToUtf8(k.ch)}, {"place", k.place}});
  return {{"theme", GbkToUtf8(wishes.theme)},
          {"keep", std::move(kept)},
          {"avoid", GbkToUtf8(wishes.avoided)},
          {"avoid_same_sound", wishes.avoidSounds},
          {"sibling", GbkToUtf8(wishes.sibling)},
          {"sibling_sex", wishes.siblingSex == Sex::kFemale ? "female" : "male"},
          {"sentence", GbkToUtf8(WishesSentence(wishes))}};
}

// The child of the JSON, with the wishes when the family has some.
Json ChildOfBestJson(const BestOfRun& best) {
  Json child = ChildJson(*best.names.Judge().Needs(), best.chartNotes);
  if (const WishReading& wishes = best.names.Judge().Wishes(); !wishes.Empty()) {
    child["wishes"] = WishesJson(wishes.Wishes());
  }
  return child;
}

// The best names: each as advise --json gives it, with its score, its
// 通行评分 (under `conventionsKey`), where it came from and the elements of
// its given characters.
Json BestJson(const BestOfRun& best, const char* conventionsKey) {
  Json names = Json::array();
  for (const std::size_t i : best.chosen) {
    Json name = advice::AdviceJson(best.names.AdviceAt(i));
    Json elements = Json::array();
    for (const std::string& ch : SplitChars(best.names.CandidateAt(i).Given())) {
      elements.push_back(GbkToUtf8(best.services.elements.CharElement(ch)));
    }
    name["givenElements"] = std::move(elements);
    const int score = best.names.ScoreAt(i);
    name["score"] = score == BestNames::kNoScore ? Json(nullptr) : Json(score);
    const std::optional<int> conventions = best.names.ConventionsScoreAt(i);
    name[conventionsKey] = conventions ? Json(*conventions) : Json(nullptr);
    name["origin"] = OriginText(best.names.CandidateAt(i).origin);
    if (!best.names.Judge().Wishes().Empty()) {
      Json wishes = Json::array();
      for (const advice::Reason& line : best.names.WishLinesAt(i)) {
        wishes.push_back({{"points", line.points}, {"text", GbkToUtf8(line.text)}});
      }
      name["wishes"] = std::move(wishes);
    }
    names.push_back(std::move(name));
  }
  return names;
}

// The first shape of the JSON, kept for scripts written against it
// (--json-format 1): the panes under their names in the original program
// (Memo1 …), the report's cells as texts.
void PrintJsonFormat1(CliContext& context, const NamingRunState& runs, const RunPresentation& presentation,
                      std::uint64_t seed, const BestOfRun* best) {
  Json panes = Json::object();
  Json rows = Json::object();
  for (const auto& page : runs.ResultPages()) {
    panes[page.pane->Name()] = Utf8Lines(page.pane->Lines());
    rows[page.pane->Name()] = page.pane->Rows();
  }
  Json report = Json::array();
  for (const ReportRow& row : runs.report.Rows()) report.push_back(ReportCellsJson(row));
  Json result = {{"seed", seed},
                 {"panes", std::move(panes)},
                 {"rows", std::move(rows)},
                 {"report", std::move(report)},
                 {"pendingLine", PendingLineText(runs.session.pendingLine)},
                 {"progress", ProgressText(presentation)}};
  if (best) {
    result["best"] = BestJson(*best, "conventionsScore");
    if (best->names.Judge().Needs()) result["child"] = ChildOfBestJson(*best);
  }
  PrintJson(context, result);
}

// The key of a result page in the JSON, by what the page holds.
const char* PageKey(Origin page) {
  static constexpr std::pair<Origin, const char*> kKeys[] = {
      {Origin::kSettings, "summary"},        {Origin::kTwoChar, "two_char"},
      {Origin::kThreeChar, "three_char"},    {Origin::kFiveElement, "radical_elements"},
      {Origin::kRecommended, "recommended"}, {Origin::kRecommendedTwo, "recommended_two"},
      {Origin::kAnalysis, "analysis"}};
  for (const auto& [each, key] : kKeys) {
    if (each == page) return key;
  }
  throw std::logic_error("a result page without a JSON key");
}

void PrintRunJson(CliContext& context, const NamingRunState& runs, const RunPresentation& presentation,
                  std::uint64_t seed, const BestOfRun* best) {
  Json pages = Json::object();
  for (const auto& page : runs.ResultPages()) {
    pages[PageKey(page.page)] = {{"lines", Utf8Lines(page.pane->Lines())}, {"rows", page.pane->Rows()}};
  }
  Json report = Json::array();
  for (const ReportRow& row : runs.report.Rows()) report.push_back(ReportRowJson(row));
  Json result = {{"format", 2},
                 {"seed", seed},
                 {"pages", std::move(pages)},
                 {"report", std::move(report)},
                 {"pending_line", PendingLineText(runs.session.pendingLine)},
                 {"progress", ProgressText(presentation)}};
  if (best) {
    result["best"] = BestJson(*best, "conventions_score");
    if (best->names.Judge().Needs()) result["child"] = ChildOfBestJson(*best);
  }
  PrintJson(context, result);
}

// The options of a run, read from the command line.
struct RunOptions {
  SettingsInputs inputs;
  std::uint64_t seed = ClockSeed();
  bool json = false;
  int jsonFormat = 2;  // 1: the first shape, for the scripts written against it
  std::optional<std::size_t> bestCount;
  BirthTimeArguments birth;
  std::string keep;  // --keep, placed by --keep-at
  int keepAt = 1;
};

std::size_t BestCountOption(const std::string& value) {
  unsigned long long count = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), count);
  if (error != std::errc() || end != value.data() + value.size() || count == 0 || count > 100000) {
    throw CliError(Say("--best 要 1 至 100000 之间的名字个数,不能是“%1”", {QuoteArgument(value)}));
  }
  return static_cast<std::size_t>(count);
}

// Characters of a wish option (GBK): Chinese characters only, at most `most`.
std::function<void(const std::string&)> WishChars(const char* option, std::size_t most, std::string& into) {
  return [option, most, &into](const std::string& value) {
    std::string chars;
    KeepGbk(chars)(value);
    const std::size_t count = chars.size() / 2;
    bool hanzi = count > 0 && chars.size() % 2 == 0;
    for (std::size_t i = 0; hanzi && i < chars.size(); i += 2) hanzi = IsHanzi(std::string_view(chars).substr(i, 2));
    if (!hanzi || count > most) {
      throw CliError(Say("%1 要 1 至 %2 个汉字,不能是“%3”", {option, std::to_string(most), QuoteArgument(value)}));
    }
    into = std::move(chars);
  };
}

// The theme named by --theme, which the advice tables must know.
void CheckTheme(const advice::AdviceTables& tables, const std::string& theme) {
  if (theme.empty() || tables.ThemeNamed(theme)) return;
  std::string known;
  for (const advice::Theme& each : tables.Themes()) known += (known.empty() ? "" : " ") + each.name;
  throw CliError(Say("没有“%1”这个心愿,可选的有:%2", {GbkToUtf8(theme), GbkToUtf8(known)}));
}

// The value of an option that is 1 or 2.
int OneOrTwo(const char* option, const std::string& value) {
  if (value != "1" && value != "2") {
    throw CliError(Say("%1 只能是 1 或 2,不能是“%2”", {option, QuoteArgument(value)}));
  }
  return value == "1" ? 1 : 2;
}

RunOptions ReadRunOptions(const std::vector<std::string>& args) {
  RunOptions run;
  SettingsInputs& inputs = run.inputs;
  const auto fixed = [](bool& checked, std::string& text) {
    return [&checked, keep = KeepGbk(text)](const std::string& value) {
      checked = true;
      keep(value);
    };
  };
  ReadArguments(
      args, std::string("generate ") + kOptions,
      {{"--json", Option::kFlag, SetTrue(run.json)},
       {"--whole-item-sound", Option::kFlag, SetTrue(inputs.wholeItemSound)},
       {"--surname", Option::kValue, KeepGbk(inputs.surname)},
       {"--sex", Option::kValue,
        [&](const std::string& value) { inputs.female = CliContext::SexArgument(value) == Sex::kFemale; }},
       {"--date", Option::kValue, DateOption(inputs.year, inputs.month, inputs.day)},
       {"--hour", Option::kValue, [&](const std::string& value) { inputs.hour = CliContext::HourArgument(value); }},
       {"--count", Option::kValue, KeepGbk(inputs.count)},
       {"--fix2", Option::kValue, fixed(inputs.fixSecondChecked, inputs.fixSecond)},
       {"--fix3", Option::kValue, fixed(inputs.fixThirdChecked, inputs.fixThird)},
       {"--json-format", Option::kValue,
        [&](const std::string& value) {
          run.json = true;
          run.jsonFormat = OneOrTwo("--json-format", value);
        }},
       {"--best", Option::kValue, [&](const std::string& value) { run.bestCount = BestCountOption(value); }},
       {"--favourable", Option::kValue,
        [&](const std::string& value) {
          inputs.wish = ElementWish::kChosen;
          inputs.chosenElements = ParseFavourableOption(value);
        }},
       {"--no-elements", Option::kFlag, [&](const std::string&) { inputs.wish = ElementWish::kIgnore; }},
       {"--theme", Option::kValue, KeepGbk(inputs.wishes.theme)},
       {"--keep", Option::kValue, WishChars("--keep", 1, run.keep)},
       {"--keep-at", Option::kValue, [&](const std::string& value) { run.keepAt = OneOrTwo("--keep-at", value); }},
       {"--avoid", Option::kValue, WishChars("--avoid", 8, inputs.wishes.avoided)},
       {"--avoid-same-sound", Option::kFlag, SetTrue(inputs.wishes.avoidSounds)},
       {"--sibling", Option::kValue, WishChars("--sibling", 4, inputs.wishes.sibling)},
       {"--sibling-sex", Option::kValue,
        [&](const std::string& value) { inputs.wishes.siblingSex = CliContext::SexArgument(value); }},
       PlaceOption(run.birth),
       LongitudeOption(run.birth),
       MinuteOption(run.birth),
       TermSideOption(run.birth),
       {"--seed", Option::kValue, [&](const std::string& value) { run.seed = ParseSeedOption(value); }}});
  if (!run.keep.empty()) inputs.wishes.kept.push_back({run.keep, run.keepAt});
  return run;
}

int Generate(CliContext& context, const std::vector<std::string>& args) {
  RunOptions options = ReadRunOptions(args);
  CheckTheme(*context.SharedData()->advice, options.inputs.wishes.theme);
  ResolvePlace(context, options.birth);
  options.inputs.birthTime = options.birth.time;
  NamingEnvironment environment;
  environment.inputs = &options.inputs;
  NamingModel model(context.SharedData(), options.seed, environment);
  const CommandResult<GenerateOutcome> result = GenerateCommand(model);
  const GenerateOutcome outcome = result.outcome;
  const CliError failure = GbkError(result.message ? result.message->text : std::string());
  if (outcome == GenerateOutcome::kRefused) throw failure;

  std::optional<BestOfRun> best;
  if (options.bestCount) {
    best.emplace(model.Stores(), [&model](const Candidate& candidate) { return model.ConventionsScore(candidate); });
    best->names.FollowRun(model.Session(), model.Services());
    best->names.AddRuns(model.RunState(), SexOf(options.inputs.female));
    best->names.AddProposals(model.Session(), model.Services());
    best->chosen = best->names.Best(*options.bestCount);
    best->chartNotes = BirthNoteLines(model.Session().chartNotes, options.birth);
    SayLibraryFault(context, best->notes);
  }
  const BestOfRun* shownBest = best ? &*best : nullptr;
  if (options.json && options.jsonFormat == 1) {
    PrintJsonFormat1(context, model.RunState(), model.Presentation(), options.seed, shownBest);
  } else if (options.json) {
    PrintRunJson(context, model.RunState(), model.Presentation(), options.seed, shownBest);
  } else {
    PrintText(context, model.RunState(), options.seed, shownBest);
  }
  if (outcome == GenerateOutcome::kFailed) throw failure;
  return 0;
}

const Registrar kGenerate({"generate", kOptions,
                           "按姓名设置页的输入生成一次:每一页和姓名报表"
                           "(0-23 以外的时辰没有时柱);--best N 再列出最好的 N 个名字和建议,"
                           "--theme、--keep、--avoid、--sibling 等是家人心愿",
                           &Generate});

}  // namespace
}  // namespace tavrin::cli
