// Two-character names: the surname and one character of the active name
// list, in the pane 二字名.
#include "chars/strcon.h"
#include "chars/strokes.h"
#include "core/birth_inputs.h"
#include "core/naming_model.h"
#include "generators/generators.h"
#include "generators/pane_line.h"

namespace tavrin {

namespace {

constexpr long long kDrawLimit = 5000;

// A pinyin text read byte by byte: its first byte, the bytes between the
// first and the last, and the last (the tone digit when it has one).
struct PinyinParts {
  explicit PinyinParts(std::string_view pinyin)
      : initial(pinyin.substr(0, 1)),
        final(pinyin.size() >= 2 ? pinyin.substr(1, pinyin.size() - 2) : std::string_view()),
        tone(pinyin.empty() ? '\0' : pinyin.back()) {}
  std::string initial;
  std::string final;
  char tone;
  bool HasTone() const { return tone >= '0' && tone <= '9'; }
};

// The rules the announcement lines name: no character whose stroke count
// ends in 4, none that repeats the surname's initial, final or tone.
bool AvoidedCharacter(const PinyinService& pinyin, const PinyinParts& surname, std::string_view ch) {
  if (StrokeCount(ch) % 10 == 4) return true;
  const PinyinParts own(pinyin.PinyinOf(ch));
  return own.initial == surname.initial || own.final == surname.final || own.tone == surname.tone;
}

}  // namespace

void GenerateTwoCharNames(NamingModel& model) {
  const NamingSession& session = model.Session();
  const std::string& surname = session.surname;
  // The surname in its own reading (曾 Zeng1, not the index's Ceng2): the
  // announcement and the avoided characters name the sounds the child's
  // name is heard with.
  const std::string surnamePinyin = model.Services().SurnamePinyin(surname);
  const PinyinParts parts(surnamePinyin);
  if (!parts.HasTone()) {
    throw RunFailure(InputField::kSurname, "姓氏" + QuotedFieldText(surname) + "的拼音" +
                                               QuotedFieldText(surnamePinyin) + "没有声调,无法生成二字名");
  }

  Pane& summary = model.PaneOf(Origin::kSettings);
  summary.Append("在姓氏" + surname + "中针对声母:" + parts.initial + "的配合引擎打开,针对韵母:" + parts.final +
                 "的押韵引擎打开" + "针对" + std::string(1, parts.tone) + "声的声调引擎打开");
  summary.Append("自动避开笔画为4的汉字功能启动!");
  summary.Append("软件特有的姓名五大引擎打开成功,使得名字上口,好记,印象深");

  const LineList& names = session.activeNameList;
  GeneratorPane output(model, Origin::kTwoChar, GeneratorPane::LineLimit::kBytes, session.chart.birthElements);
  RunDrawLoop(model, output, {.maxAttempts = kDrawLimit, .completion = "2字名分析完成"}, [&] {
    const std::uint64_t k = model.Random().Below(names.size());
    if (names.empty()) return true;  // the draw indexes nothing
    const std::string& ch = names[k];
    if (!IsChineseText(ch) || !model.SurnameSoundsApart(surname, ch)) return true;
    if (AvoidedCharacter(model.Services().pinyin, parts, ch)) return true;
    // A name already written to the pane is not offered again.
    if (output.Target().Contains(surname + ch)) return true;
    output.Offer(surname, ch);
    return true;
  });
}

}  // namespace tavrin
