// Commands over the character services: stroke counts and character forms.
#include <string>
#include <vector>

#include "chars/gbk.h"
#include "chars/hzspell.h"
#include "chars/strokes.h"
#include "cli/cli.h"
#include "cli/cli_text.h"
#include "conventions/kangxi.h"

namespace tavrin::cli {
namespace {

// strokes TEXT: the program's own counts; with --kangxi the counts of the
// naming books ("-" for a character that is no hanzi), with --numerals as
// well the numerals by their values.
int Strokes(CliContext& context, const std::vector<std::string>& args) {
  constexpr const char* kUsage = "strokes TEXT 或 strokes --kangxi [--numerals] TEXT";
  bool kangxi = false;
  bool numerals = false;
  std::vector<std::string> rest;
  ReadArguments(args, kUsage,
                {{"--kangxi", Option::kFlag, SetTrue(kangxi)}, {"--numerals", Option::kFlag, SetTrue(numerals)}},
                EveryArgument(rest));
  ExpectArgs(rest, 1, kUsage);
  if (numerals && !kangxi) throw CliError(Say("--numerals 只能与 --kangxi 同用;") + UsageMessage(kUsage));
  for (const std::string& ch : SplitChars(ExpectGbkArgs(rest, 1, kUsage)[0])) {
    if (!kangxi) {
      context.PrintLine(ch + "\t" + std::to_string(StrokeCount(ch)));
      continue;
    }
    const int count =
        conventions::KangxiStrokes(ch, numerals ? conventions::Numerals::kValues : conventions::Numerals::kStrokes);
    context.PrintLine(ch + "\t" + (count > 0 ? std::to_string(count) : std::string("-")));
  }
  return 0;
}

int Traditional(CliContext& context, const std::vector<std::string>& args) {
  context.PrintLine(ToTraditional(ExpectGbkArgs(args, 1, "trad TEXT")[0]));
  return 0;
}

int Simplified(CliContext& context, const std::vector<std::string>& args) {
  context.PrintLine(ToSimplified(ExpectGbkArgs(args, 1, "simp TEXT")[0]));
  return 0;
}

int Spell(CliContext& context, const std::vector<std::string>& args) {
  const std::string text = ExpectGbkArgs(args, 1, "spell TEXT")[0];
  THzSpell spell;
  spell.SetHzText(text);
  context.PrintLine(spell.HzSpell());
  context.PrintLine(spell.PyHead());
  return 0;
}

const Registrar kStrokes({"strokes", "[--kangxi [--numerals]] TEXT", "TEXT 每个字的笔画数(--kangxi:按起名书的康熙笔画)",
                          &Strokes});
const Registrar kTraditional({"trad", "TEXT", "TEXT 的繁体", &Traditional});
const Registrar kSimplified({"simp", "TEXT", "TEXT 的简体", &Simplified});
const Registrar kSpell({"spell", "TEXT", "按内置表给出 TEXT 不带声调的拼音,再给出各字首字母", &Spell});

}  // namespace
}  // namespace tavrin::cli
