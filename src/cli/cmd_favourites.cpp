// The user's favourite names from the command line: list, keep, change,
// remove, export and import them, in the same store as the window.
#include <nlohmann/json.hpp>

#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "base/output_text.h"
#include "calendar/birth_pillars.h"
#include "calendar/gregorian.h"
#include "cli/cli.h"
#include "cli/cli_text.h"
#include "cli/library.h"
#include "core/best_names.h"
#include "core/birth_inputs.h"
#include "core/services.h"
#include "favourites/exchange.h"
#include "favourites/favourites_text.h"
#include "favourites/kept_name.h"
#include "favourites/store.h"
#include "sources/name_notes.h"

namespace tavrin::cli {
namespace {

using Json = nlohmann::ordered_json;

constexpr const char* kUsage =
    "favourites list|add NAME [--sex male|female] [--date YYYY-MM-DD] [--hour H|unknown] [--note TEXT] [--rating N]"
    " [--surname S]"
    "|remove NAME|note NAME TEXT|export FILE|import FILE [--store FILE] [--json]";

[[noreturn]] void Usage() { throw CliError(UsageMessage(kUsage)); }

// The command line after its subcommand: the positional arguments and the
// options, each option with its value except --json.
struct Arguments {
  std::vector<std::string> positional;
  std::optional<std::string> store, sex, date, hour, note, rating, surname;
  bool json = false;
};

Arguments ParseArguments(const std::vector<std::string>& args) {
  Arguments parsed;
  ReadArguments(args, kUsage,
                {{"--json", Option::kFlag, SetTrue(parsed.json)},
                 {"--store", Option::kValue, Keep(parsed.store)},
                 {"--sex", Option::kValue, Keep(parsed.sex)},
                 {"--date", Option::kValue, Keep(parsed.date)},
                 {"--hour", Option::kValue, Keep(parsed.hour)},
                 {"--note", Option::kValue, Keep(parsed.note)},
                 {"--rating", Option::kValue, Keep(parsed.rating)},
                 {"--surname", Option::kValue, Keep(parsed.surname)}},
                EveryArgument(parsed.positional, false), 1);
  return parsed;
}

// Refuses options the subcommand does not take (those not named in
// `takes`) and a wrong number of positional arguments.
void Expect(const Arguments& args, std::size_t positional, std::string_view takes) {
  if (args.positional.size() != positional) Usage();
  const std::pair<const char*, const std::optional<std::string>*> options[] = {
      {"sex", &args.sex},   {"date", &args.date},     {"hour", &args.hour},
      {"note", &args.note}, {"rating", &args.rating}, {"surname", &args.surname}};
  for (const auto& [name, value] : options) {
    if (*value && takes.find(name) == std::string_view::npos) Usage();
  }
}

std::optional<Sex> SexOption(const Arguments& args) {
  if (!args.sex) return std::nullopt;
  return CliContext::SexArgument(*args.sex);
}

int RatingOption(const std::string& text) {
  const auto rating = ParseWholeNumber(text);
  if (!rating || *rating < 0 || *rating > kMaxRating) {
    throw CliError(Say("--rating “%1”不是 0 至 5 之间的整数", {text}));
  }
  return *rating;
}

std::string StorePath(const Arguments& args) {
  if (args.store) return *args.store;
  std::string path = DefaultFavouritesPath(std::getenv);
  if (path.empty()) throw CliError(Say("收藏没有存放的地方:HOME 和 XDG_DATA_HOME 都没有设置,请用 --store 指定"));
  const char* given = std::getenv(kFavouritesVariable);
  if (!given || !*given) MakeStoreDirectory(path);
  return path;
}

std::string Stars(int rating) {
  std::string stars;
  for (int i = 0; i < kMaxRating; ++i) stars += i < rating ? "★" : "☆";
  return stars;
}

// One favourite on one line: a note's own line breaks and tabs become spaces.
std::string Line(const Favourite& f) {
  std::string note = f.note.Bytes();
  for (char& c : note) {
    if (c == '\n' || c == '\r' || c == '\t') c = ' ';
  }
  char date[16];
  std::snprintf(date, sizeof date, "%04d-%02d-%02d ", f.year, f.month, f.day);
  return f.name.Bytes() + "\t" + (f.sex == Sex::kFemale ? "女" : "男") + "\t" + date + HourCaption(f.hour) + "\t" +
         std::to_string(f.score) + "分\t" + Stars(f.rating) + "\t" + note;
}

// The one favourite of a name: of the sex given, else the only one kept
// under the name.
Favourite Lookup(const FavouritesStore& store, const GbkText& name, std::optional<Sex> sex, const std::string& shown) {
  std::vector<Favourite> found;
  for (const Sex each : {Sex::kMale, Sex::kFemale}) {
    if (sex && *sex != each) continue;
    if (auto favourite = store.Find(name, each)) found.push_back(*favourite);
  }
  if (found.empty()) throw CliError(Say("“%1”不在收藏中", {shown}));
  if (found.size() > 1) throw CliError(Say("“%1”男孩、女孩各收藏了一个,请用 --sex 指明", {shown}));
  return found.front();
}

int ScoreFor(CliContext& context, const Favourite& f) {
  const DataStores& stores = context.RequireData({kNumerologyFile});
  TTransDate transDate(LocalToday());
  return ScoreForBirth(stores.services->scorer, transDate, f);
}

// What the advice says of the name now, its classical source weighed in, as
// the window keeps it with a favourite (advise --json's form).
KeptAdvice AdviceFor(CliContext& context, const Favourite& f) {
  const DataStores& stores = context.Stores();
  sources::NameNotes notes(stores.dataDir, stores.advice);
  const advice::Advice advice = AdviseWithSource(
      *stores.advice, f.name.Bytes(), SurnameLengthOf(f, stores.advice.get()), f.sex, sources::SourceFinderOf(notes));
  SayLibraryFault(context, notes);
  return KeepAdvice(advice);
}

void ReadBirth(const Arguments& args, Favourite& f) {
  if (args.date) {
    std::string year, month, day;
    SplitDateOption(*args.date, year, month, day);
    BirthDate date;
    if (auto refusal = CheckBirthDate(year, month, day, date)) throw GbkError(*refusal);
    f.year = date.year;
    f.month = date.month;
    f.day = date.day;
  }
  if (args.hour) {
    const auto hour = *args.hour == "unknown" ? kUnknownHourOfBirth : ParseWholeNumber(*args.hour);
    if (!hour || ((*hour < 0 || *hour > 23) && *hour != kUnknownHourOfBirth))
      throw CliError(Say("--hour “%1”既不是 0 至 23 之间的整数,也不是 unknown", {*args.hour}));
    f.hour = *hour;
  }
}

int Add(CliContext& context, FavouritesStore& store, const Arguments& args) {
  Expect(args, 1, "sex date hour note rating surname");
  Favourite f;
  f.name = KeptNameArgument(args.positional[0]);
  f.sex = SexOption(args).value_or(Sex::kMale);
  // Keeping a name again changes only what is given, and the score and
  // advice for the birth it is then kept with; the store writes just those
  // parts, so a note another program saved meanwhile stays.
  const auto kept = store.Find(f.name, f.sex);
  if (kept) {
    f = *kept;
  } else {
    f.origin = GbkText("命令行");
  }
  ReadBirth(args, f);
  if (args.surname) f.surnameLength = SurnameOption(f.name.Bytes(), *args.surname);
  if (args.note) f.note = KeptNoteArgument(*args.note);
  if (args.rating) f.rating = RatingOption(*args.rating);
  f.score = ScoreFor(context, f);
  f.advice = AdviceFor(context, f);
  if (kept) {
    f.fields = kFieldScore | kFieldAdvice | (args.date || args.hour ? kFieldBirth : 0u) |
               (args.note ? kFieldNote : 0u) | (args.rating ? kFieldRating : 0u) | (args.surname ? kFieldSurname : 0u);
  }
  const auto saved = store.Save(f);
  const auto stored = store.Find(f.name, f.sex);
  if (!stored) throw CliError("\"" + args.positional[0] + "\" was removed by another program meanwhile");
  const Favourite& now = *stored;
  if (args.json) {
    context.out << FavouriteToJson(now).dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
  } else {
    context.PrintLine(std::string(saved == FavouritesStore::Saved::kAdded ? "已收藏" : "已更新") + "\t" + Line(now));
  }
  return 0;
}

int Remove(CliContext& context, FavouritesStore& store, const Arguments& args) {
  Expect(args, 1, "sex");
  const GbkText name = KeptNameArgument(args.positional[0]);
  const Favourite f = Lookup(store, name, SexOption(args), args.positional[0]);
  if (!store.Remove(f.name, f.sex)) throw CliError(Say("“%1”不在收藏中", {args.positional[0]}));
  if (args.json) {
    context.out << Json{{"removed", FavouriteToJson(f)}}.dump() << '\n';
  } else {
    context.PrintLine("已删除\t" + Line(f));
  }
  return 0;
}

int Note(CliContext& context, FavouritesStore& store, const Arguments& args) {
  Expect(args, 2, "sex rating");
  const GbkText name = KeptNameArgument(args.positional[0]);
  const GbkText note = KeptNoteArgument(args.positional[1]);
  Favourite f = Lookup(store, name, SexOption(args), args.positional[0]);
  f.note = note;
  f.fields = kFieldNote;
  if (args.rating) {
    f.rating = RatingOption(*args.rating);
    f.fields |= kFieldRating;
  }
  store.Save(f);
  const auto stored = store.Find(f.name, f.sex);
  if (!stored) throw CliError("\"" + args.positional[0] + "\" was removed by another program meanwhile");
  f = *stored;
  if (args.json) {
    context.out << FavouriteToJson(f).dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
  } else {
    context.PrintLine("已记下\t" + Line(f));
  }
  return 0;
}

int List(CliContext& context, FavouritesStore& store, const Arguments& args) {
  Expect(args, 0, "sex");
  const auto sex = SexOption(args);
  Json list = Json::array();
  for (const Favourite& f : store.List()) {
    if (sex && f.sex != *sex) continue;
    if (args.json) {
      list.push_back(FavouriteToJson(f));
    } else {
      context.PrintLine(Line(f));
    }
  }
  if (args.json) {
    context.out << Json{{"favourites", std::move(list)}}.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
  }
  return 0;
}

bool EndsWithCsv(const std::string& path) {
  return path.size() >= 4 && (path.ends_with(".csv") || path.ends_with(".CSV"));
}

int Export(CliContext& context, FavouritesStore& store, const Arguments& args) {
  Expect(args, 1, "");
  const std::string& path = args.positional[0];
  const std::vector<Favourite> favourites = store.List();
  WriteExportFile(path,
                  EndsWithCsv(path) ? FavouritesToCsv(favourites) : FavouritesToJson(favourites, SystemSeconds()));
  if (args.json) {
    context.out << Json{{"exported", favourites.size()}, {"file", path}}.dump() << '\n';
  } else {
    context.Print("已导出 " + std::to_string(favourites.size()) + " 条收藏到 ");
    context.out << EscapeForTerminal(path) << '\n';
  }
  return 0;
}

int Import(CliContext& context, FavouritesStore& store, const Arguments& args) {
  Expect(args, 1, "");
  const std::string& path = args.positional[0];
  std::vector<Favourite> favourites;
  try {
    favourites = FavouritesFromJson(ReadImportFile(path));
  } catch (const FavouritesError& error) {
    throw GbkError("无法导入" + QuotedFileName(Utf8Text(path)).Bytes() + ":" + error.what() + ";收藏没有改动");
  }
  const auto counts = store.Merge(favourites);
  if (args.json) {
    context.out << Json{{"added", counts.added}, {"changed", counts.changed}, {"unchanged", counts.unchanged}}.dump()
                << '\n';
  } else {
    context.PrintLine("导入 " + std::to_string(favourites.size()) + " 条:新增 " + std::to_string(counts.added) +
                      ",更新 " + std::to_string(counts.changed) + ",不变 " + std::to_string(counts.unchanged));
  }
  return 0;
}

int Favourites(CliContext& context, const std::vector<std::string>& args) {
  if (args.empty()) Usage();
  const std::string& sub = args[0];
  using Run = int (*)(CliContext&, FavouritesStore&, const Arguments&);
  static constexpr std::pair<std::string_view, Run> kSubcommands[] = {
      {"list", &List}, {"add", &Add}, {"remove", &Remove}, {"note", &Note}, {"export", &Export}, {"import", &Import}};
  Run run = nullptr;
  for (const auto& [name, function] : kSubcommands) {
    if (sub == name) run = function;
  }
  if (!run) Usage();
  const Arguments parsed = ParseArguments(args);
  try {
    // Listing and exporting only read: they open the store so, which a full
    // disk does not stop.
    const std::string path = StorePath(parsed);
    StoreOptions options;
    options.readOnly = (run == &List || run == &Export) && ::access(path.c_str(), F_OK) == 0;
    FavouritesStore store(path, options);
    // What opening had to say (a damaged file kept aside, a store opened
    // read-only) is told first, and the status is 2; the command still runs
    // on the store as opened.
    if (!store.Notice().empty()) context.err << "tavrin-cli favourites: " << Say(store.Notice()) << '\n';
    const int status = run(context, store, parsed);
    return store.Notice().empty() ? status : 2;
  } catch (const FavouritesError& error) {
    throw GbkError(error.what());
  }
}

const Registrar kFavourites({"favourites", kUsage + std::char_traits<char>::length("favourites "),
                             "收藏的名字:列出、添加、备注、删除、导出、导入", &Favourites});

}  // namespace
}  // namespace tavrin::cli
