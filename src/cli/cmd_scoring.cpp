// Commands over pinyin, the sound rules, the elements of characters and the
// five-grid score of a name.
#include <string>
#include <vector>

#include "advice/advice.h"
#include "chars/gbk.h"
#include "chars/strcon.h"
#include "cli/cli.h"
#include "cli/cli_text.h"
#include "core/services.h"

namespace tavrin::cli {
namespace {

const NamingServices& Services(const DataStores& stores) { return *stores.services; }

// Each CR-terminated line of a text as its own output line.
void PrintCrLines(CliContext& context, std::string_view text) {
  while (!text.empty()) {
    const std::size_t cr = text.find('\r');
    context.PrintLine(text.substr(0, cr));
    if (cr == std::string_view::npos) break;
    text.remove_prefix(cr + 1);
  }
}

// TEXT as the pinyin index spells it (Zeng2 Le4), or with --name read as a
// full name as every page shows it: the surname with its own reading, tone
// marks (zēng lè).
int Pinyin(CliContext& context, const std::vector<std::string>& args) {
  static const char* const kUsage = "pinyin TEXT [--name]";
  std::vector<std::string> texts;
  bool asName = false;
  ReadArguments(args, kUsage, {{"--name", Option::kFlag, SetTrue(asName)}}, EveryArgument(texts));
  const std::string text = ExpectGbkArgs(texts, 1, kUsage)[0];
  const DataStores& stores = context.Stores();
  if (!asName) {
    context.PrintLine(Services(stores).pinyin.PinyinOf(text));
    return 0;
  }
  const int surnameLength = advice::SurnameLength(stores.advice.get(), text);
  context.out << Services(stores).namePinyin.Marked(text, surnameLength) << '\n';
  return 0;
}

int Sound(CliContext& context, const std::vector<std::string>& args) {
  const std::vector<std::string> ab = ExpectGbkArgs(args, 2, "sound A B");
  const std::string& a = ab[0];
  const std::string& b = ab[1];
  std::string reason;
  const bool apart = Services(context.Stores()).pinyin.SoundCheck(a, b, &reason);
  context.PrintLine(apart ? "true" : "false");
  if (!apart) PrintCrLines(context, reason);
  return 0;
}

int Element(CliContext& context, const std::vector<std::string>& args) {
  const std::string text = ExpectGbkArgs(args, 1, "element TEXT")[0];
  const ElementService& elements = Services(context.Stores()).elements;
  for (const std::string& ch : SplitChars(text)) context.PrintLine(ch + "\t" + elements.CharElement(ch));
  context.PrintLine("NameElements\t" + elements.NameElements(text));
  return 0;
}

int Score(CliContext& context, const std::vector<std::string>& args) {
  static const char* const kUsage = "score NAME [--birth-elements TEXT]";
  std::optional<std::string> given;
  std::string birthElements;
  ReadArguments(args, kUsage, {{"--birth-elements", Option::kValue, KeepGbk(birthElements)}}, GbkArgument(given));
  if (!given) throw CliError(UsageMessage(kUsage));
  const std::string& name = *given;
  const DataStores& stores = context.RequireData({kNumerologyFile});
  // The score, then each matched line with its grid's label.
  const NameScore score = Services(stores).scorer.Evaluate(name, birthElements);
  context.PrintLine(std::to_string(score.score));
  for (const NumerologyMatch& match : score.matches) context.PrintLine(std::string(GridLabel(match.grid)) + match.line);
  return 0;
}

const Registrar kPinyin({"pinyin", "TEXT [--name]",
                         "TEXT 每个汉字的拼音和声调;--name:当作全名读,姓按姓氏的读音,带声调符号", &Pinyin});
const Registrar kSound({"sound", "A B", "A、B 两字读音不相近时为 true,否则为 false 并说明原因", &Sound});
const Registrar kElement({"element", "TEXT", "TEXT 每个字的五行,然后是整体的五行", &Element});
const Registrar kScore({"score", "NAME [--birth-elements TEXT]", "一个全名的五格分数和对应的数理", &Score});

}  // namespace
}  // namespace tavrin::cli
