// Where the command line's text changes encoding. Its definitions are the
// only code of the command line that converts between GBK and UTF-8.
//
// - Result lines are composed in GBK, as the front end's literals are
//   compiled and as the core hands its texts; they leave as UTF-8 through
//   CliContext::PrintLine and CliContext::Print (cli.h). UTF-8 texts of the
//   libraries (pinyin with tone marks, warnings, file names, addresses) are
//   written to context.out as they are.
// - Messages (stderr, CliError) are UTF-8: a GBK text enters one through Say.
// - JSON is UTF-8: the core's values enter it through the views below.
// - Arguments are UTF-8 as given; those the core reads become GBK while they
//   are read (the option actions and argument readers below), and a text
//   GBK cannot hold is refused there with the argument quoted.
#pragma once

#include <nlohmann/json.hpp>

#include <functional>
#include <initializer_list>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/conventions_section.h"
#include "chars/text.h"
#include "cli/cli.h"
#include "core/candidate.h"
#include "sources/name_notes.h"

namespace tavrin {
struct ReportRow;
class PaneLine;
class RunPresentation;
struct Favourite;
namespace advice {
struct Advice;
}
}  // namespace tavrin

namespace tavrin::cli {

// --- Messages -------------------------------------------------------------

// A message for stderr: `gbk`, a literal of the front end or a text of the
// core (GBK), as UTF-8, with %1, %2 … replaced by the UTF-8 `args` in turn
// (without `args` nothing is replaced).
std::string Say(std::string_view gbk, std::initializer_list<std::string_view> args = {});

// A GBK text as the command's error: a message of the core or of a library
// below the front end, or one composed of such texts and GBK literals.
CliError GbkError(std::string_view gbkMessage);

// Writes a GBK text of the front end (its help) on `out` as UTF-8.
void WriteText(std::ostream& out, std::string_view gbk);

// --- Arguments ------------------------------------------------------------

// Option actions: the value kept as GBK; throws CliError when it cannot be.
std::function<void(const std::string&)> KeepGbk(std::string& value);
std::function<void(const std::string&)> KeepGbk(std::optional<std::string>& value);
// The value of --date into the three fields (SplitDateOption).
std::function<void(const std::string&)> DateOption(std::string& year, std::string& month, std::string& day);

// The one argument that is no option, as GBK (a second one does not fit);
// those beginning with "--" too, unless `dashedToo` is false.
Positionals GbkArgument(std::optional<std::string>& into, bool dashedToo = true);
// Every argument that is no option handed to `take` as given (UTF-8, for
// its messages) and as GBK; those beginning with "--" are unknown options.
Positionals EveryGbkArgument(std::function<void(const std::string& given, const std::string& gbk)> take);

// Exactly `count` arguments (else the usage message of `usage`), as GBK.
std::vector<std::string> ExpectGbkArgs(const std::vector<std::string>& args, std::size_t count, const char* usage);

// The value of a --date option, YYYY-MM-DD (UTF-8), as the GBK texts of the
// year, month and day fields; the command itself checks that they form an
// existing date. Throws CliError when the value is not of that form.
void SplitDateOption(const std::string& utf8, std::string& year, std::string& month, std::string& day);

// The length in characters of the surname a full name (GBK) was made with,
// given as --surname (UTF-8): one or two characters the name begins with and
// goes on after; throws CliError otherwise.
int SurnameOption(const std::string& fullName, const std::string& utf8Surname);

// The value of --favourable (UTF-8 element characters such as 木火); throws
// CliError for anything else.
std::vector<Element> ParseFavourableOption(const std::string& utf8);

// A full name given to keep among the favourites, checked as a kept name,
// and a note given for one: as the store keeps them (GBK).
GbkText KeptNameArgument(const std::string& utf8);
GbkText KeptNoteArgument(const std::string& utf8);

// --- JSON views of the core's values --------------------------------------

using Json = nlohmann::ordered_json;

// GBK lines (a pane's) as an array of UTF-8 strings.
Json Utf8Lines(const std::vector<std::string>& gbkLines);

// A row of the name report: its cells as texts (the first shape of the
// run's JSON), or by what they hold: the score as a number, the 五格
// column's matched lines as an array.
Json ReportCellsJson(const ReportRow& row);
Json ReportRowJson(const ReportRow& row);

// The run's texts beside its pages: the summary pane's pending line and the
// progress line.
std::string PendingLineText(const PaneLine& line);
std::string ProgressText(const RunPresentation& presentation);

// Where a name of the best ones came from (the run page, 典籍, 名库).
std::string OriginText(Origin origin);

// The 通行算法 reading as a JSON object; null members where the name has
// no grids, there is no 三才 table or no birth chart.
Json ConventionsJson(const ConventionsSection& section);

// Sources as `source --json` and `advise --json` print them: a list of
// {"line", "title", "author", "collection", "positions"}, best first; and
// `source --json`'s whole answer for a full name and its given name (GBK).
Json SourcesJson(const std::vector<sources::NameSource>& found);
Json SourceAnswerJson(const std::string& name, const std::string& given, const std::vector<sources::NameSource>& found);

}  // namespace tavrin::cli
