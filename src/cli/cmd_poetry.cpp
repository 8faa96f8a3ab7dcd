// The poem database and names from a poem.
#include <sys/stat.h>
#include <nlohmann/json.hpp>

#include <charconv>
#include <ostream>
#include <string>
#include <vector>

#include "chars/encoding.h"
#include "chars/gbk.h"
#include "cli/cli.h"
#include "cli/library.h"
#include "core/birth_inputs.h"
#include "core/naming_model.h"
#include "base/output_text.h"
#include "core/poetry_db.h"
#include "generators/poetry_names.h"

namespace tavrin::cli {
namespace {

constexpr const char* kPoetryOptions =
    "(--poem-id ID | --poem-text TEXT) [--surname S] [--date YYYY-MM-DD] [--count N] [--birth-elements TEXT] "
    "[--seed U64] [--whole-item-sound] [--json]";

PoemTable LoadPoems(CliContext& context) {
  std::string error;
  const std::string path = context.Stores().dataDir + kPoetryFile;
  if (!FileExists(path)) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) throw CliError(Say("诗歌数据库 %1 不是普通文件", {path}));
    throw CliError(Say("缺少诗歌数据库 %1", {path}));
  }
  std::optional<PoemTable> table = QueryPoems(path, error);
  if (!table) throw CliError(GbkToUtf8(error));
  for (const char* column : {"id", "title", "author", "collection", "content"}) {
    if (table->Column(column) < 0) throw CliError(Say("诗歌表没有 %1 列", {column}));
  }
  return *table;
}

constexpr const char* kPoemsUsage = "poems [--search TEXT] [--collection NAME]";

// Without options, the poems of the poem database the page for poetry
// shows; with --search or --collection, the texts of the whole classical
// library that match.
int Poems(CliContext& context, const std::vector<std::string>& args) {
  std::optional<std::string> search;
  std::optional<std::string> collection;
  for (std::size_t i = 0; i < args.size(); i += 2) {
    if (i + 1 == args.size()) throw CliError(UsageMessage(kPoemsUsage));
    std::optional<std::string>* option = args[i] == "--search"       ? &search
                                         : args[i] == "--collection" ? &collection
                                                                     : nullptr;
    if (!option || option->has_value()) throw CliError(UsageMessage(kPoemsUsage));
    *option = CliContext::ToGbk(args[i + 1]);
  }
  if (search || collection) {
    if (search && SplitChars(*search).size() > sources::kMaxSearchChars) {
      throw CliError(Say("搜索文字超过 %1 个字", {std::to_string(sources::kMaxSearchChars)}));
    }
    const auto found = UseLibrary(context, [&](sources::ClassicalLibrary& library) {
      return library.Search(search.value_or(""), collection.value_or(""));
    });
    for (const auto& entry : found) {
      context.PrintLine(std::to_string(entry.id) + "\t" + EscapeControlBytes(entry.title) + "\t" +
                        EscapeControlBytes(entry.author) + "\t" + EscapeControlBytes(entry.collection));
    }
    return 0;
  }
  const PoemTable table = LoadPoems(context);
  const auto at = [&](const std::vector<std::string>& row, const char* column) -> const std::string& {
    return row[static_cast<std::size_t>(table.Column(column))];
  };
  for (const auto& row : table.rows) {
    // A control character stored in the database is shown, not obeyed.
    const auto shown = [&](const char* column) { return EscapeControlBytes(at(row, column)); };
    context.PrintLine(shown("id") + "	" + shown("title") + "	" + shown("author") + "	" + shown("collection"));
  }
  return 0;
}

int Poetry(CliContext& context, const std::vector<std::string>& args) {
  SettingsInputs inputs;
  std::string birthElements;
  std::uint64_t seed = ClockSeed();
  bool json = false;
  std::optional<std::string> poemId;
  std::optional<std::string> poemText;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    if (TakeRunFlag(option, json, inputs)) continue;
    if (i + 1 == args.size()) throw CliError(UsageMessage(std::string("poetry ") + kPoetryOptions));
    const std::string value = CliContext::ToGbk(args[++i]);
    if (option == "--poem-id") {
      poemId = value;
    } else if (option == "--poem-text") {
      poemText = value;
    } else if (option == "--surname") {
      inputs.surname = value;
    } else if (option == "--date") {
      SplitDateOption(value, inputs.year, inputs.month, inputs.day);
    } else if (option == "--count") {
      inputs.count = value;
    } else if (option == "--birth-elements") {
      birthElements = value;
    } else if (option == "--seed") {
      seed = ParseSeedOption(args[i]);
    } else {
      throw CliError(UsageMessage(std::string("poetry ") + kPoetryOptions));
    }
  }
  if (poemId.has_value() == poemText.has_value()) {
    throw CliError(UsageMessage(std::string("poetry ") + kPoetryOptions));
  }
  // The settings page's date fields hold the numbers as their items are
  // written, without leading zeros.
  BirthDate date;
  if (auto refusal = CheckBirthDate(inputs.year, inputs.month, inputs.day, date)) throw CliError(GbkToUtf8(*refusal));
  inputs.year = std::to_string(date.year);
  inputs.month = std::to_string(date.month);
  inputs.day = std::to_string(date.day);

  std::string text;
  if (poemId) {
    const PoemTable table = LoadPoems(context);
    const auto id = static_cast<std::size_t>(table.Column("id"));
    for (const auto& row : table.rows) {
      if (row[id] == *poemId) text = row[static_cast<std::size_t>(table.Column("content"))];
    }
    if (text.empty()) throw CliError(Say("没有编号为 %1 的诗", {QuoteArgument(GbkToUtf8(*poemId))}));
  } else {
    text = *poemText;
  }

  context.RequireData({kNumerologyFile});
  NamingEnvironment environment;
  environment.inputs = &inputs;
  NamingModel model(context.SharedData(), seed, environment);
  model.session.chart.birthElements = birthElements;
  const CommandResult<PoetryOutcome> run = StartPoetryNaming(model, text, birthElements);
  if (run.outcome == PoetryOutcome::kRefused) throw CliError(run.message ? GbkToUtf8(run.message->text) : "");

  if (json) {
    nlohmann::ordered_json lines = nlohmann::ordered_json::array();
    for (const std::string& line : model.poetryPane.Lines()) lines.push_back(GbkToUtf8(line));
    nlohmann::ordered_json result = {
        {"seed", seed}, {"lines", std::move(lines)}, {"progress", GbkToUtf8(model.Progress())}};
    context.out << result.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
  } else {
    for (const std::string& line : model.poetryPane.Lines()) context.PrintLine(line);
  }
  return 0;
}

const Registrar kPoems({"poems", "[--search TEXT] [--collection NAME]",
                        "诗歌库里的诗,或古籍库里与搜索相符的篇章:编号、标题、作者、"
                        "出处",
                        &Poems});
const Registrar kPoetry({"poetry", kPoetryOptions, "从一首诗里取名,与诗歌取名页相同",
                         &Poetry});

}  // namespace
}  // namespace tavrin::cli
