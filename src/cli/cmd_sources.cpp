// The classical library: the lines a name comes from.
#include <ostream>
#include <string>
#include <vector>

#include "advice/advice.h"
#include "base/output_text.h"
#include "chars/gbk.h"
#include "cli/cli.h"
#include "cli/cli_text.h"
#include "cli/json_output.h"
#include "cli/library.h"
#include "sources/library_text.h"

namespace tavrin::cli {
namespace {

constexpr const char* kSourceUsage = "source NAME [--json]";
constexpr std::size_t kMostSources = 10;

int Source(CliContext& context, const std::vector<std::string>& args) {
  bool json = false;
  std::vector<std::string> names;
  ReadArguments(args, kSourceUsage, {{"--json", Option::kFlag, SetTrue(json)}}, EveryArgument(names, false));
  const std::string name = ExpectGbkArgs(names, 1, kSourceUsage)[0];
  if (SplitChars(name).size() > advice::kMaxAdvisedNameChars) {
    throw CliError(Say("“%1”超过 %2 个字", {QuoteArgument(names[0]), std::to_string(advice::kMaxAdvisedNameChars)}));
  }
  const advice::AdviceTables& tables = *context.Stores().advice;
  const std::string given = tables.GivenName(name);
  if (given.empty()) throw CliError(Say("“%1”的姓氏后面没有名字", {names[0]}));
  const auto found = UseLibrary(
      context, [&](sources::ClassicalLibrary& library) { return library.FindSources(GbkText(given), kMostSources); });

  if (json) {
    PrintJson(context, SourceAnswerJson(name, given, found));
    return 0;
  }
  for (const auto& source : found) {
    std::string positions;
    for (int position : source.positions) positions += (positions.empty() ? "" : ",") + std::to_string(position);
    context.PrintLine(source.line.Bytes() + "\t" + source.title.Bytes() + "\t" + source.author.Bytes() + "\t" +
                      source.collection.Bytes() + "\t" + positions);
  }
  return 0;
}

const Registrar kSource({"source", "NAME [--json]", "全名中的名字出自古籍的哪些句子,最贴切的在前", &Source});

}  // namespace
}  // namespace tavrin::cli
