// Commands over the character services: stroke counts and character forms.
#include <string>
#include <vector>

#include "chars/gbk.h"
#include "chars/hzspell.h"
#include "chars/strokes.h"
#include "cli/cli.h"

namespace tavrin::cli {
namespace {

int Strokes(CliContext& context, const std::vector<std::string>& args) {
  ExpectArgs(args, 1, "strokes TEXT");
  for (const std::string& ch : SplitChars(CliContext::ToGbk(args[0]))) {
    context.PrintLine(ch + "\t" + std::to_string(StrokeCount(ch)));
  }
  return 0;
}

int Traditional(CliContext& context, const std::vector<std::string>& args) {
  ExpectArgs(args, 1, "trad TEXT");
  context.PrintLine(ToTraditional(CliContext::ToGbk(args[0])));
  return 0;
}

int Simplified(CliContext& context, const std::vector<std::string>& args) {
  ExpectArgs(args, 1, "simp TEXT");
  context.PrintLine(ToSimplified(CliContext::ToGbk(args[0])));
  return 0;
}

int Spell(CliContext& context, const std::vector<std::string>& args) {
  ExpectArgs(args, 1, "spell TEXT");
  THzSpell spell;
  spell.SetHzText(CliContext::ToGbk(args[0]));
  context.PrintLine(spell.HzSpell());
  context.PrintLine(spell.PyHead());
  return 0;
}

const Registrar kStrokes({"strokes", "TEXT", "each character of TEXT with its stroke count", &Strokes});
const Registrar kTraditional({"trad", "TEXT", "TEXT in traditional characters", &Traditional});
const Registrar kSimplified({"simp", "TEXT", "TEXT in simplified characters", &Simplified});
const Registrar kSpell({"spell", "TEXT", "toneless pinyin of TEXT from the built-in tables, then its initials",
                        &Spell});

}  // namespace
}  // namespace tavrin::cli
