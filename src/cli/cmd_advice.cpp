// The advice on names for a parent: meaning and use of each given-name
// character, warnings and the 推荐度 with its reasons.
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "advice/advice.h"
#include "advice/advice_json.h"
#include "base/output_text.h"
#include "chars/gbk.h"
#include "chars/tone_marks.h"
#include "cli/cli.h"
#include "cli/cli_text.h"
#include "cli/conventions_output.h"
#include "cli/json_output.h"
#include "cli/library.h"
#include "sources/library_text.h"
#include "sources/name_notes.h"

namespace tavrin::cli {
namespace {

constexpr const char* kOptions = "NAME... [--sex male|female] [--surname S] [--json]";
constexpr std::size_t kMostSources = 3;

using advice::Advice;

std::string MarkedPinyin(const std::string& numbered) { return PinyinWithToneMarks(numbered); }

// The advice's texts and this file's literals are GBK, written out through
// the context; the pinyin with tone marks is UTF-8 already.
void PrintText(CliContext& context, const Advice& a) {
  std::ostream& out = context.out;
  context.Print(a.name + "  ");
  out << MarkedPinyin(a.pinyin);
  context.Print("  推荐度 " + std::to_string(a.recommend) + '\n');
  for (const advice::Warning& w : a.warnings) {
    context.Print(std::string("  ") + (w.severity == advice::Severity::kSerious ? "！" : "·") + w.text + '\n');
  }
  if (!a.pairMeaning.empty()) {
    std::string given;
    for (const advice::GivenChar& g : a.given) given += g.ch;
    context.Print("  " + given + "：" + a.pairMeaning + '\n');
  }
  for (const advice::GivenChar& g : a.given) {
    context.Print("  " + g.ch);
    if (!g.facts) {
      context.Print("  （字表中没有）\n");
      continue;
    }
    const advice::CharFacts& f = *g.facts;
    out << "  ";
    for (std::size_t i = 0; i < f.readings.size(); ++i) out << (i ? "/" : "") << MarkedPinyin(f.readings[i]);
    std::string facts = "  " + (f.level ? std::to_string(f.level) + "级字" : std::string("表外字")) + "  男名 " +
                        std::to_string(f.boys) + " 女名 " + std::to_string(f.girls);
    if (!f.meaning.empty()) facts += "  " + f.meaning;
    if (!f.words.empty()) {
      facts += "  ";
      for (std::size_t i = 0; i < f.words.size(); ++i) facts += (i ? " " : "") + f.words[i];
    }
    // The Chinese meaning on the character's line, the English gloss under it.
    if (!f.gloss.empty()) facts += "\n      " + f.gloss;
    context.Print(facts + '\n');
  }
  for (const advice::Reason& r : a.reasons) {
    context.Print("  " + std::string(r.points > 0 ? "+" : "") + std::to_string(r.points) + ' ' + r.text + '\n');
  }
}

// A name given to advise, as GBK: two or more Chinese characters, at most
// as many as the advice reads.
std::string AdvisedName(const std::string& arg, const std::string& name) {
  bool chinese = name.size() >= 4 && name.size() % 2 == 0;
  for (std::size_t b = 0; chinese && b < name.size(); b += 2) {
    chinese = static_cast<unsigned char>(name[b]) >= 0x81 && static_cast<unsigned char>(name[b]) != 0xFF;
  }
  if (!chinese) throw CliError(Say("“%1”不是两个或更多汉字的全名", {arg}));
  if (name.size() / 2 > advice::kMaxAdvisedNameChars) {
    throw CliError(Say("“%1”超过 %2 个字", {QuoteArgument(arg), std::to_string(advice::kMaxAdvisedNameChars)}));
  }
  return name;
}

struct AdviseOptions {
  std::vector<std::string> names;
  Sex sex = Sex::kMale;
  std::optional<std::string> surname;  // the surname the names were made with
  bool json = false;
};

AdviseOptions ReadAdviseOptions(const std::vector<std::string>& args) {
  AdviseOptions options;
  ReadArguments(
      args, std::string("advise ") + kOptions,
      {{"--json", Option::kFlag, SetTrue(options.json)},
       {"--sex", Option::kValue, [&](const std::string& value) { options.sex = CliContext::SexArgument(value); }},
       {"--surname", Option::kValueOnce, Keep(options.surname)}},
      EveryGbkArgument(
          [&](const std::string& arg, const std::string& gbk) { options.names.push_back(AdvisedName(arg, gbk)); }));
  if (options.names.empty()) throw CliError(UsageMessage(std::string("advise ") + kOptions));
  return options;
}

int Advise(CliContext& context, const std::vector<std::string>& args) {
  const AdviseOptions options = ReadAdviseOptions(args);
  const std::vector<std::string>& names = options.names;
  const advice::AdviceTables& tables = *context.Stores().advice;
  sources::NameNotes notes(context.Stores().dataDir, context.Stores().advice);
  Json list = Json::array();
  for (std::size_t i = 0; i < names.size(); ++i) {
    const int surnameLength =
        options.surname ? SurnameOption(names[i], *options.surname) : tables.SurnameLength(names[i]);
    const std::vector<sources::NameSource> found =
        notes.Find(GbkText(GivenName(names[i], surnameLength)), kMostSources);
    // The advice weighs the line every page gives the name: the best one
    // that is no line of grief or displeasure.
    const sources::NameSource* fitting = notes.BestSource(GbkText(names[i]));
    const advice::ClassicalSource best = fitting ? sources::AsClassicalSource(*fitting) : advice::ClassicalSource{};
    const Advice a = tables.Advise(names[i], surnameLength, options.sex, fitting ? &best : nullptr);
    if (options.json) {
      Json entry = advice::AdviceJson(a);
      entry["sources"] = SourcesJson(found);
      // Without a birth date the reading has no chart.
      entry["conventions"] = ConventionsJson(ReadNameConventions(context.Stores(), {names[i], surnameLength, {}, {}}));
      list.push_back(std::move(entry));
    } else {
      if (i) context.out << '\n';
      PrintText(context, a);
    }
  }
  SayLibraryFault(context, notes);
  if (options.json) PrintJson(context, {{"names", std::move(list)}});
  return 0;
}

const Registrar kAdvise({"advise", kOptions, "给父母看的名字建议:字义、提示和 0-100 的推荐度", &Advise});

}  // namespace
}  // namespace tavrin::cli
