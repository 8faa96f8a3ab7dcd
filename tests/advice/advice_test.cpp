// The advice on names, read from the shipped tables beside the executable.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "advice/advice.h"
#include "chars/encoding.h"
#include "chars/gbk.h"
#include "core/startup.h"

namespace tavrin::advice {
namespace {

const AdviceTables& Shipped() {
  static const AdviceTables tables = LoadAdviceTables(ExecutableDir());
  return tables;
}

Advice AdviseShipped(const std::string& name, Sex sex) {
  return Shipped().Advise(name, Shipped().SurnameLength(name), sex);
}

bool Has(const Advice& a, WarningKind kind, Severity severity) {
  for (const Warning& w : a.warnings) {
    if (w.kind == kind && w.severity == severity) return true;
  }
  return false;
}

bool HasKind(const Advice& a, WarningKind kind) {
  return Has(a, kind, Severity::kSerious) || Has(a, kind, Severity::kMild);
}

std::string Shown(const Advice& a) {
  std::string text;
  for (const Warning& w : a.warnings) text += std::string(KindKey(w.kind)) + "/" + SeverityKey(w.severity) + " ";
  return text;
}

constexpr Sex M = Sex::kMale;
constexpr Sex F = Sex::kFemale;
constexpr Severity S = Severity::kSerious;
constexpr Severity L = Severity::kMild;
using K = WarningKind;

TEST(Advice, WarningsNamesMustAndMustNotGet) {
  struct Expect {
    K kind;
    Severity severity;
  };
  const struct {
    const char* name;
    Sex sex;
    std::vector<Expect> must;
    std::vector<K> mustNot;
  } cases[] = {
      // Homophones: with tones, second against third tone, without tones, a neutral tone in the word.
      {"吴城宇", M, {{K::kHomophone, S}}, {K::kFamous, K::kSex}},
      {"吴骋", M, {{K::kHomophone, S}}, {K::kFamous}},
      {"刘婵桂", F, {{K::kHomophone, S}}, {}},
      {"杨桦悦", F, {{K::kHomophone, L}}, {}},
      {"杜子腾", M, {{K::kHomophone, S}}, {}},
      {"孙梓涵", F, {{K::kHomophone, S}}, {}},
      // Famous: notorious exact, notorious by sound without tones, fictional, a famous start.
      {"陈冠希", M, {{K::kFamous, S}}, {K::kHomophone}},
      {"李弘智", M, {{K::kFamous, S}}, {}},
      {"吴一帆", M, {{K::kFamous, S}}, {}},
      {"李逵", M, {{K::kFamous, L}}, {}},
      {"刘灏然", M, {{K::kFamous, L}}, {}},
      {"李魁明", M, {{K::kFamous, L}}, {}},
      {"赵云飞", M, {{K::kFamous, L}}, {}},
      {"王伦泽", M, {{K::kFamous, L}}, {}},  // a beginning is only a hint
      {"李奕辰", M, {}, {K::kFamous}},       // 离异 differs in its first syllable
      // Compound surnames: read as one surname, the given name apart (欧阳修
      // is the exact name of a well-known person: serious).
      {"欧阳修", M, {{K::kFamous, S}}, {K::kHomophone, K::kRare}},
      {"欧阳锋", M, {{K::kFamous, S}}, {}},
      // The other sex's character.
      {"陈依婷", M, {{K::kSex, S}}, {}},
      {"陈依婷", F, {}, {K::kSex, K::kHomophone, K::kFamous}},
      // Rare and unsuitable characters; readings.
      {"王修霖", M, {{K::kRare, L}}, {K::kHomophone, K::kFamous, K::kSex, K::kUnsuitable}},
      {"王\x81\x40", M, {{K::kRare, S}}, {}},
      {"杨玮村", M, {{K::kUnsuitable, L}}, {}},
      {"李尸明", M, {{K::kUnsuitable, S}}, {}},
      {"王韵宁", F, {{K::kReading, L}}, {K::kSex, K::kFamous, K::kHomophone}},
      {"杨辉阳", M, {{K::kReading, L}}, {}},
      {"刘弘文", M, {{K::kReading, L}}, {K::kFamous}},
      // Names a parent would shortlist get no serious warning.
      {"李钧天", M, {}, {K::kHomophone, K::kFamous, K::kSex, K::kUnsuitable}},
      {"张云桐", F, {}, {K::kHomophone, K::kFamous, K::kSex, K::kUnsuitable}},
      {"周洛嘉", F, {}, {K::kHomophone, K::kFamous, K::kSex, K::kUnsuitable}},
      {"黄漪恩", F, {}, {K::kHomophone, K::kFamous, K::kSex, K::kUnsuitable}},
  };
  for (const auto& c : cases) {
    const Advice a = AdviseShipped(c.name, c.sex);
    for (const Expect& e : c.must) {
      EXPECT_TRUE(Has(a, e.kind, e.severity))
          << c.name << " lacks " << KindKey(e.kind) << "/" << SeverityKey(e.severity) << "; has " << Shown(a);
    }
    for (K kind : c.mustNot) EXPECT_FALSE(HasKind(a, kind)) << c.name << " has " << KindKey(kind) << ": " << Shown(a);
    if (c.must.empty()) {
      EXPECT_FALSE(a.HasSerious()) << c.name << ": " << Shown(a);
    }
    for (std::size_t i = 1; i < a.warnings.size(); ++i) {
      EXPECT_LE(a.warnings[i - 1].severity, a.warnings[i].severity) << c.name << ": serious first";
    }
  }
}

// The traps a blind review found: a surname whose sound is a word (吴 无,
// 苟 狗), negative words and characters anywhere in the name, near sounds,
// well-known people's exact names, beginnings and near namesakes; and the
// names that must not be caught by them (无忧 reads well, 子衿 is no 自尽).
TEST(Advice, TrapsOfSurnameWordsNegativeWordsAndNamesakes) {
  constexpr int kNone = 0, kHint = 1, kSerious = 2;
  const struct {
    const char* name;
    Sex sex;
    K kind;
    int expect;  // of that kind: none, a hint at most, or a serious warning
  } cases[] = {
      // The surname with the given name: a good thing after 无 is bad, a bad
      // thing after it reads well; the same sound without tones is a hint.
      {"吴慧欣", F, K::kHomophone, kSerious},
      {"吴锦程", M, K::kHomophone, kSerious},
      {"吴可悦", F, K::kHomophone, kSerious},
      {"吴安", M, K::kHomophone, kSerious},
      {"吴慧彤", F, K::kHomophone, kSerious},
      {"苟雄", M, K::kHomophone, kSerious},
      {"殷晶", F, K::kHomophone, kSerious},
      {"费才", M, K::kHomophone, kSerious},
      {"吴辉欣", F, K::kHomophone, kHint},
      {"袁枉", M, K::kHomophone, kHint},
      {"吴忧", M, K::kHomophone, kNone},
      {"吴忧", M, K::kUnsuitable, kNone},
      {"吴悔", F, K::kUnsuitable, kNone},
      {"吴双", F, K::kHomophone, kNone},
      {"吴瑕", F, K::kHomophone, kNone},
      {"魏来", M, K::kHomophone, kNone},
      {"欧阳慧", F, K::kHomophone, kNone},  // a compound surname is no word
      // The surname's word as a food, an ailment or a grim place: grim or
      // bodily words are serious, a dish or a milder complaint a hint.
      {"焦诗涵", F, K::kHomophone, kSerious},  // 焦尸
      {"龚沐辰", M, K::kHomophone, kSerious},  // 公墓
      {"魏腾", M, K::kHomophone, kSerious},    // 胃疼
      {"谢元启", M, K::kHomophone, kHint},     // 泄元气, one tone off
      {"黄吟啸", M, K::kHomophone, kSerious},  // 荒淫, one tone off but lewd
      {"唐桂舟", M, K::kHomophone, kHint},     // 糖桂粥
      {"韩雨诗", F, K::kHomophone, kHint},     // 寒雨湿
      {"马恩宇", M, K::kHomophone, kHint},     // 马恩
      {"韩嘉树", M, K::kHomophone, kNone},
      {"唐修远", M, K::kHomophone, kNone},
      {"谢安然", F, K::kHomophone, kNone},
      // Negative words and characters, near sounds across the name.
      {"林归天", M, K::kHomophone, kSerious},
      {"林恶婉", F, K::kUnsuitable, kSerious},
      {"林悔邑", M, K::kUnsuitable, kSerious},
      {"刘翡君", F, K::kHomophone, kSerious},
      {"王苑心", F, K::kHomophone, kSerious},
      {"王思乐", M, K::kHomophone, kHint},
      {"洪晨", M, K::kHomophone, kHint},    // 红尘: sad, no insult
      {"张子衿", F, K::kHomophone, kNone},  // 自尽 differs in both tones
      {"王一鸣", M, K::kHomophone, kNone},
      {"王一鸣", M, K::kFamous, kNone},
      // Well-known people: the exact name, a beginning, one character off.
      {"郭秉文", M, K::kFamous, kSerious},
      {"钱学森", M, K::kFamous, kSerious},
      {"张韶涵", F, K::kFamous, kSerious},
      {"王菲", F, K::kFamous, kHint},
      {"郭靖博", M, K::kFamous, kHint},
      {"杨过宇", M, K::kFamous, kHint},
      {"张韵涵", F, K::kFamous, kHint},
      {"袁凝妍", F, K::kFamous, kHint},
      {"张子衿", F, K::kFamous, kNone},
      {"王俊宇", M, K::kFamous, kNone},
  };
  for (const auto& c : cases) {
    const Advice a = AdviseShipped(c.name, c.sex);
    const int got = Has(a, c.kind, S) ? kSerious : Has(a, c.kind, L) ? kHint : kNone;
    EXPECT_EQ(got, c.expect) << c.name << " " << KindKey(c.kind) << ": " << Shown(a);
  }
}

std::vector<std::vector<std::string>> SourceTable(const std::string& relative) {
  const char* root = std::getenv("TAVRIN_SOURCE_DIR");
  if (!root) throw std::runtime_error("TAVRIN_SOURCE_DIR is not set");
  std::ifstream in(std::string(root) + "/" + relative);
  std::vector<std::vector<std::string>> rows;
  for (std::string row; std::getline(in, row);) {
    if (row.empty() || row[0] == '#') continue;
    rows.emplace_back();
    for (std::size_t from = 0, tab;; from = tab + 1) {
      tab = row.find('\t', from);
      rows.back().push_back(row.substr(from, tab - from));
      if (tab == std::string::npos) break;
    }
  }
  return rows;
}

// Ranks of the values, ties given their mean rank.
std::vector<double> Ranks(const std::vector<double>& v) {
  std::vector<std::size_t> order(v.size());
  for (std::size_t i = 0; i < v.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return v[a] < v[b]; });
  std::vector<double> rank(v.size());
  for (std::size_t i = 0, j; i < order.size(); i = j) {
    for (j = i; j < order.size() && v[order[j]] == v[order[i]]; ++j) {
    }
    for (std::size_t k = i; k < j; ++k) rank[order[k]] = (i + j - 1) / 2.0;
  }
  return rank;
}

double Spearman(const std::vector<double>& x, const std::vector<double>& y) {
  const std::vector<double> rx = Ranks(x), ry = Ranks(y);
  const double mean = (rx.size() - 1) / 2.0;
  double cov = 0, vx = 0, vy = 0;
  for (std::size_t i = 0; i < rx.size(); ++i) {
    cov += (rx[i] - mean) * (ry[i] - mean);
    vx += (rx[i] - mean) * (rx[i] - mean);
    vy += (ry[i] - mean) * (ry[i] - mean);
  }
  return cov / std::sqrt(vx * vy);
}

// The 推荐度 follows blind readings of names (tools/advice/reading_panels.tsv):
// its rank correlation with each panel's grades stays above the panel's floor.
TEST(Advice, RecommendFollowsTheReadingPanels) {
  const std::map<std::string, double> floor = {{"1", 0.45}, {"2", 0.36}};
  std::map<std::string, std::pair<std::vector<double>, std::vector<double>>> panels;
  for (const auto& f : SourceTable("tools/advice/reading_panels.tsv")) {
    ASSERT_EQ(f.size(), 4u);
    auto& [recommend, grade] = panels[f[0]];
    recommend.push_back(AdviseShipped(*Utf8ToGbk(f[1]), f[2] == "f" ? F : M).recommend);
    grade.push_back(std::string("DCBA").find(f[3]));
  }
  ASSERT_EQ(panels.size(), floor.size());
  for (const auto& [panel, values] : panels) {
    EXPECT_GE(Spearman(values.first, values.second), floor.at(panel)) << "panel " << panel;
  }
}

// Every weight of the 推荐度 on a name of its own (tests/advice/weights.tsv):
// the line the weight gives the name carries the weight's points.
TEST(Advice, EachWeightOnANameOfItsOwn) {
  int rows = 0;
  for (const auto& f : SourceTable("tests/advice/weights.tsv")) {
    ASSERT_EQ(f.size(), 4u);
    SCOPED_TRACE(f[0] + " " + f[2]);
    ++rows;
    const Advice a = AdviseShipped(*Utf8ToGbk(f[0]), f[1] == "f" ? F : M);
    const std::string piece = *Utf8ToGbk(f[2]);
    const auto line = std::find_if(a.reasons.begin(), a.reasons.end(),
                                   [&](const Reason& r) { return r.text.find(piece) != std::string::npos; });
    ASSERT_NE(line, a.reasons.end());
    EXPECT_EQ(line->points, std::stoi(f[3]));
  }
  EXPECT_GE(rows, 40);
}

TEST(Advice, RecommendOrdersTellingPairs) {
  const struct {
    const char* better;
    Sex betterSex;
    const char* worse;
    Sex worseSex;
  } pairs[] = {
      {"王修霖", M, "王伦泽", M},                              // a notorious villain's start
      {"黄漪恩", F, "黄漪恩", M},                              // a girl's name for a girl
      {"周洛嘉", F, "周娟芬", F},                              // dated characters
      {"王静珂", F, "王静", F},                                // a single given character
      {"王韵宁", F, "王韫潆", F},                              // level-3 characters
      {"刘弘文", M, "刘婵桂", M}, {"张云桐", M, "张铁柱", M},  // unsuitable characters
      {"王俊宇", M, "王俊凯", M},                              // a star's name
  };
  for (const auto& p : pairs) {
    const Advice better = AdviseShipped(p.better, p.betterSex);
    const Advice worse = AdviseShipped(p.worse, p.worseSex);
    EXPECT_GT(better.recommend, worse.recommend) << p.better << " vs " << p.worse;
  }
  for (const char* name : {"王修霖", "李钧天", "张亦苏", "刘弘文"}) {
    const Advice a = AdviseShipped(name, M);
    int sum = 60;
    for (const Reason& r : a.reasons) sum += r.points;
    EXPECT_EQ(a.recommend, std::clamp(sum, 0, 100)) << name << ": the reasons add up to the 推荐度";
    // 刘弘文 is one of the commonest names (−4), of characters readers seldom
    // shortlist (−6): plain, and no warning.
    EXPECT_GE(a.recommend, 50) << name;
  }
}

TEST(Advice, SurnameLengthAndReading) {
  const struct {
    const char* name;
    int length;
    const char* pinyin;
  } cases[] = {
      {"欧阳修", 2, "ou1 yang2 xiu1"},  {"诸葛亮", 2, "zhu1 ge3 liang4"}, {"万俟雪", 2, "mo4 qi2 xue3"},
      {"单于明", 2, "chan2 yu2 ming2"}, {"欧阳", 1, "ou1 yang2"},         {"王欧阳", 1, "wang2 ou1 yang2"},
      {"曾子墨", 1, "zeng1 zi3 mo4"},   {"张三", 1, "zhang1 san1"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Shipped().SurnameLength(c.name), c.length) << c.name;
    EXPECT_EQ(AdviseShipped(c.name, M).pinyin, c.pinyin) << c.name;
  }
  EXPECT_EQ(AdviseShipped("欧阳修", M).given.size(), 1u);
}

// Where every page splits a full name: after a compound surname the table
// knows, else after the first character; a name of two characters has a
// one-character surname whatever they are.
TEST(Advice, GivenNameAfterTheSurname) {
  const struct {
    const char* name;
    const char* given;
  } cases[] = {
      {"欧阳娜娜", "娜娜"}, {"司马光", "光"},   {"诸葛亮", "亮"}, {"张三", "三"}, {"张三丰", "三丰"},
      {"欧阳", "阳"},       {"王欧阳", "欧阳"}, {"张", ""},       {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Shipped().GivenName(c.name), c.given) << c.name;
  // Without tables every surname is one character.
  EXPECT_EQ(SurnameLength(nullptr, "欧阳娜娜"), 1);
  EXPECT_EQ(SurnameLength(&Shipped(), "欧阳娜娜"), 2);
}

TEST(Advice, MissingTablesGiveNoAdviceOfTheirKind) {
  const AdviceTables none = LoadAdviceTables("/nonexistent/");
  const Advice a = none.Advise("吴城宇", 1, M);
  EXPECT_TRUE(a.warnings.empty()) << Shown(a);
  EXPECT_EQ(a.given.size(), 2u);
  EXPECT_EQ(a.given[0].facts, nullptr);

  AdviceTables::Texts texts;
  texts.famous = "李逵\tfictional\t《水浒传》人物\r\n";
  const AdviceTables famousOnly = AdviceTables::FromTexts(texts);
  EXPECT_TRUE(HasKind(famousOnly.Advise("李逵", 1, M), K::kFamous));
  EXPECT_FALSE(HasKind(famousOnly.Advise("李魁", 1, M), K::kFamous));  // no readings, no sound match
  for (const char* odd : {"", "王", "ab", "\xff\xff\xff"}) EXPECT_NO_THROW(Shipped().Advise(odd, 1, F));
}

// What raises the 推荐度 for meaning: a name of the team's list (+6, with its
// meaning; +6 more for each of the team's two readers who would shortlist
// it, a count in the field after the line, of either list), a line of the 诗经, the 楚辞 or the Four Books (+6) or of
// the two anthologies of three hundred (+4) that holds the given name side by side and in order and is no line of grief
// or displeasure; the line found for the name first, else the name bank's. Without a character table no other reason
// applies, so the bonus is the 推荐度 above 60.
TEST(Advice, MeaningBonus) {
  AdviceTables::Texts texts;
  texts.curatedNames =
      "嘉树\tu\t美好的树木，喻人品美好\t楚辞\t橘颂\t后皇嘉树\n"
      "流云\tu\t飘动的云\t宋词三百首\t水龙吟\t风流云散\n"  // across the beat
      "岁安\tu\t岁岁平安\t\t\t\t2\n"
      "星舟\tu\t星河里的小舟\t\t\t\t1\n"
      "时雨\tu\t及时的雨\t\t\t\t3\n"  // no such count: none
      "《明\tu\t不是名字\n";
  texts.classicalNames =
      "嘉树\tu\t全唐诗\tx\ty\t嘉树满庭\n"
      "采薇\tf\t诗经\t采薇\t\t采薇采薇\t1\n"
      "如琢\tf\t诗经\t淇奥\t\t如切如磋\n";  // not side by side: left out
  texts.lineNegative = "死\n不悦\n";
  const AdviceTables tables = AdviceTables::FromTexts(texts);
  ASSERT_EQ(tables.Bank().size(), 6u);
  EXPECT_EQ(tables.BankEntry("嘉树")->meaning, "美好的树木，喻人品美好");
  EXPECT_EQ(tables.BankEntry("嘉树")->source.collection, "楚辞");
  EXPECT_EQ(tables.BankEntry("采薇")->origin, NameOrigin::kClassical);
  EXPECT_FALSE(tables.BankEntry("采薇")->forBoys);

  const auto line = [](int rank, const char* collection, const char* text, bool adjacent) {
    return ClassicalSource{rank, collection, "题", text, "", adjacent};
  };
  const struct {
    const char* name;
    std::optional<ClassicalSource> source;
    int bonus;
  } cases[] = {
      {"王子衿", line(0, "诗经", "青青子衿", true), 6},
      {"王修远", line(1, "楚辞", "路漫漫其修远兮", true), 6},
      {"孟浩然", line(2, "孟子", "我善养吾浩然之气", true), 6},
      {"李锦瑟", line(3, "唐诗三百首", "锦瑟无端五十弦", true), 4},
      {"李锦瑟", line(3, "全唐诗", "锦瑟无端五十弦", true), 0},
      {"周伊人", line(5, "元曲", "所谓伊人", true), 0},
      {"王悦然", line(2, "孟子", "曾西艴然不悦", false), 0},  // reversed
      {"王然悦", line(2, "孟子", "然悦而不悦", true), 0},     // displeasure
      {"王若云", line(1, "楚辞", "若云死", true), 0},
      {"周伊人", std::nullopt, 0},
      {"王嘉树", std::nullopt, 18},  // the team's list, and its line
      {"王嘉树", line(3, "全唐诗", "嘉树满庭", true), 18},
      {"王采薇", std::nullopt, 26},
      {"王流云", std::nullopt, 12},  // 风流|云散: the list's meaning, no phrase
      {"王岁安", std::nullopt, 40},
      {"王星舟", std::nullopt, 32},
      {"王时雨", std::nullopt, 12},
  };
  for (const auto& c : cases) {
    const Advice a = tables.Advise(c.name, 1, F, c.source ? &*c.source : nullptr);
    EXPECT_EQ(a.recommend - 60, c.bonus) << c.name << " " << (c.source ? c.source->line : "");
  }
  const Advice sourced = tables.Advise("王子衿", 1, M, &cases[0].source.value());
  ASSERT_EQ(sourced.reasons.size(), 1u);
  EXPECT_EQ(sourced.reasons[0].text, "名字出自《题》（诗经）：青青子衿");
}

}  // namespace
}  // namespace tavrin::advice

namespace tavrin::advice {
namespace {

// The Chinese meaning of a character (the last column, "-" for none; an older
// table of ten columns has none) and the meaning of a given name that is a
// word; a missing word table gives no pair meaning.
TEST(Advice, ChineseMeaningsOfCharactersAndPairs) {
  AdviceTables::Texts texts;
  texts.chars =
      "修\t1\txiu1\t3\t1\tMF\tto cultivate\t-\t1,2\t0,1\t修身修养，品德美好\r\n"
      "远\t1\tyuan3\t5\t0\tM\tfar\t-\t0,5\t0,0\t远大，目光长远\r\n"
      "犇\t0\tben1\t0\t0\t-\trunning ox\t-\t0,0\t0,0\t-\r\n"
      "衿\t2\tjin1\t0\t0\t-\tcollar\t-\r\n";
  texts.wordMeanings = "修远\t长远，辽远。\r\n远修\r\n犇犇犇\t三字不算\r\n";
  const AdviceTables tables = AdviceTables::FromTexts(texts);
  AdviceTables::Texts noWords = texts;
  noWords.wordMeanings.clear();
  const AdviceTables withoutWords = AdviceTables::FromTexts(noWords);
  EXPECT_EQ(tables.WordMeaningCount(), 1u);  // a line without a meaning, or of three characters, is skipped
  EXPECT_EQ(withoutWords.WordMeaningCount(), 0u);

  const struct {
    const char* ch;
    const char* meaning;  // Chinese
    const char* read;     // MeaningOrGloss
  } chars[] = {
      {"修", "修身修养，品德美好", "修身修养，品德美好"},
      {"犇", "", "running ox"},  // "-": the English gloss is read
      {"衿", "", "collar"},      // no meaning column
  };
  for (const auto& c : chars) {
    const CharFacts* facts = tables.Facts(c.ch);
    ASSERT_NE(facts, nullptr) << c.ch;
    EXPECT_EQ(facts->meaning, c.meaning) << c.ch;
    EXPECT_EQ(MeaningOrGloss(*facts), c.read) << c.ch;
  }

  const struct {
    const AdviceTables* tables;
    const char* name;
    const char* pair;
  } names[] = {
      {&tables, "王修远", "长远，辽远。"},
      {&tables, "欧阳修远", ""},  // read with a one-character surname: 阳修远 is no pair
      {&tables, "王远修", ""},    // the word's line had no meaning
      {&tables, "王修", ""},      // one given character
      {&tables, "王犇犇犇", ""},  // three given characters
      {&withoutWords, "王修远", ""},
  };
  for (const auto& n : names) EXPECT_EQ(n.tables->Advise(n.name, 1, Sex::kMale).pairMeaning, n.pair) << n.name;
}

}  // namespace
}  // namespace tavrin::advice

namespace tavrin::advice {
namespace {

// A table of words read in the neutral tone costs no more than any other: a
// neutral syllable is matched when a name is read, not spelt out in every
// tone when the table is loaded (a 5 MB table of such words took minutes).
TEST(AdviceTables, NeutralToneWordsCostNoMoreThanOthers) {
  AdviceTables::Texts texts;
  texts.chars = "码\t1\tma3\t1\t1\t-\t-\t-\n呐\t1\tne4\t1\t1\t-\t-\t-\n明\t1\tming2\t1\t1\t-\t-\t-\n";
  texts.surnames = "张\tzhang1\n";
  const char* const syllables[] = {"ba", "de", "le", "zi", "men", "li", "wa", "ya", "ge", "shi", "zhe", "ta"};
  std::string words = "吗呢\tma0 ne0\t粗俗\n";
  for (std::size_t i = 0; words.size() < (5u << 20) - 64; ++i) {
    words += "吧的了字\t";
    for (std::size_t k = 0; k < 4; ++k) words += std::string(syllables[(i >> (3 * k)) % 12]) + "0 ";
    words += "\t粗俗\n";
  }
  texts.unfortunate = words;
  const auto start = std::chrono::steady_clock::now();
  const AdviceTables tables = AdviceTables::FromTexts(texts);
  const Advice heard = tables.Advise("张码呐", 1, Sex::kMale);
  const Advice clear = tables.Advise("张明码", 1, Sex::kMale);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  EXPECT_TRUE(Has(heard, WarningKind::kHomophone, Severity::kSerious));
  EXPECT_FALSE(Has(clear, WarningKind::kHomophone, Severity::kSerious));
}

// The traps as classes: a surname heard as a negation before a good phrase
// (魏知遇 未知遇), an everyday word unfortunate for a child across surname
// and given name (丁克明), a pair that is no word, no phrase and no name
// (曾君不, 陆子曰) — and the real names none of them may hit.
// The strongest homophone warning: 0 none, 1 a hint, 2 serious.
int Heard(const Advice& a) {
  int heard = 0;
  for (const Warning& w : a.warnings) {
    if (w.kind == WarningKind::kHomophone) heard = std::max(heard, w.severity == Severity::kSerious ? 2 : 1);
  }
  return heard;
}

TEST(Traps, MustAndMustNot) {
  constexpr int kNone = 0, kHint = 1, kSerious = 2;
  constexpr int kAny = -1;
  const struct {
    const char* name;
    Sex sex;
    int heard;     // the homophone warning, or kAny
    bool below40;  // the 推荐度 is under 40 as a pair of no meaning
  } cases[] = {
      // A negating surname before what a name holds: the same tones serious,
      // one tone off a hint; what reads well negated stays so.
      {"魏知遇", Sex::kMale, kSerious, false},
      {"魏锦心", Sex::kFemale, kSerious, false},
      {"魏悦书", Sex::kFemale, kSerious, false},
      {"魏若嘉", Sex::kFemale, kSerious, false},
      {"魏遇安", Sex::kMale, kSerious, false},
      {"莫知遇", Sex::kMale, kSerious, false},
      {"吴锦程", Sex::kMale, kSerious, false},
      {"武慧心", Sex::kFemale, kHint, false},
      {"韦知遇", Sex::kMale, kHint, false},
      {"魏来", Sex::kMale, kNone, false},
      {"莫愁", Sex::kFemale, kNone, false},
      {"吴忧", Sex::kMale, kNone, false},
      {"王知遇", Sex::kMale, kNone, false},
      {"毕知遇", Sex::kMale, kNone, false},   // 必 affirms
      {"步衡", Sex::kMale, kSerious, false},  // 不恒
      {"吴闻", Sex::kMale, kSerious, false},
      {"何时恬", Sex::kFemale, kHint, false},   // 何时: when will it come
      {"陆拾贝", Sex::kMale, kSerious, false},  // sixty
      {"朱刚睿", Sex::kMale, kSerious, false},  // 猪刚鬣
      {"曾钦仁", Sex::kMale, kSerious, false},  // 憎亲人: 曾 in its surname reading
      // Everyday words unfortunate for a child, across surname and name.
      {"丁克明", Sex::kMale, kSerious, false},
      {"单身", Sex::kMale, kNone, false},  // the surname 单 reads shan4
      {"丁克", Sex::kMale, kSerious, false},
      {"丁可欣", Sex::kFemale, kHint, false},  // 丁克 one tone off
      // Fragments of a line and pairs that mean nothing: below 40.
      {"曾君不", Sex::kMale, kAny, true},
      {"曾用年", Sex::kMale, kAny, true},
      {"陆食必", Sex::kMale, kAny, true},
      {"陆子曰", Sex::kMale, kAny, true},
      {"曾归于", Sex::kFemale, kAny, false},  // a word, however odd as a name (the poem page leaves it out)
      {"林子衿", Sex::kFemale, kNone, false},
      {"王予乐", Sex::kFemale, kNone, false},  // 予 gives, in names today
      {"王亦如", Sex::kFemale, kNone, false},
  };
  for (const auto& c : cases) {
    const Advice a = AdviseShipped(c.name, c.sex);
    if (c.heard != kAny) {
      EXPECT_EQ(Heard(a), c.heard) << c.name;
    }
    EXPECT_EQ(a.recommend < 40 && !a.clearPair, c.below40) << c.name << " " << a.recommend;
  }
}

// No name of the name bank or of the two lists of 1,600 is taken for a
// fragment or a pair of no meaning, for either sex.
TEST(Traps, RealNamesAreNotHit) {
  std::vector<std::string> given;
  for (const BankName& name : Shipped().Bank()) given.push_back(name.given);
  for (const char* file : {"1600nan.dat", "1600nv.dat"}) {
    std::ifstream in(ExecutableDir() + file, std::ios::binary);
    ASSERT_TRUE(in) << file;
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (CharCount(line) == 2) given.push_back(line);
    }
  }
  ASSERT_GT(given.size(), 5000u);
  std::vector<std::string> hit;
  for (const std::string& name : given) {
    for (const Sex sex : {Sex::kMale, Sex::kFemale}) {
      if (!AdviseShipped("王" + name, sex).clearPair) hit.push_back(name);
    }
  }
  EXPECT_TRUE(hit.empty()) << hit.size() << " hit, first " << hit.front();
}

}  // namespace
}  // namespace tavrin::advice
