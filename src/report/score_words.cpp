#include "report/score_words.h"

#include "report/report_text.h"

namespace tavrin::report {

QStringList ScoreWords::All() const {
  QStringList all{score};
  if (!conventions.isEmpty()) all << conventions;
  return all + differences;
}

QString ScoreText::VerdictNote() {
  return tr(
      "推荐度是对名字的总评（读音、字义、出处、用字）；分数和通行评分只按笔画算五格数理，两种算法不同，只作参考。");
}

QString ScoreText::GridName(std::size_t grid) {
  const QString names[] = {tr("天格"), tr("人格"), tr("地格"), tr("外格"), tr("总格")};
  return names[grid];
}

QString ScoreText::FortuneWord(Fortune fortune) {
  switch (fortune) {
    case Fortune::kGood:
      return tr("吉");
    case Fortune::kHalf:
      return tr("半吉");
    case Fortune::kBad:
      return tr("凶");
    default:
      return tr("无断语");
  }
}

QString ScoreText::GridsWith(const std::array<GridFortune, kFactorGrids>& grids, Fortune fortune) {
  QStringList named;
  for (std::size_t i = 0; i < grids.size(); ++i) {
    if (grids[i].fortune == fortune) named << GridName(i) + QString::number(grids[i].number);
  }
  return named.join(tr("、"));
}

QString ScoreText::ScoreSentence(const ScoreFactors& f) {
  QStringList score;
  if (f.surnameLength == 2) {
    score << tr("本程序的五格不按复姓算，这个分数不准，请看通行评分");
  } else if (const QString bad = GridsWith(f.own, Fortune::kBad); !bad.isEmpty()) {
    QString part = tr("%1 为凶（吉数加 30 分，凶数减 5 分）").arg(bad);
    if (f.own[kFactorHeaven].fortune == Fortune::kBad) part += tr("，其中天格只由姓定，同姓的名字都一样");
    score << part;
  } else {
    score << tr("五格没有凶数");
  }
  if (f.elementTerm > 0) {
    score << tr("八字和名字合起来五行齐全，加 10 分");
  } else if (!f.chartKnown) {
    score << tr("还没有八字（先在姓名设置中生成），五行一项减 10 分");
  } else {
    score << tr("八字和名字合起来%1偏少，减 10 分").arg(FromCore(f.weakElements));
  }
  if (f.uncapped > 100) score << tr("各项相加 %1，封顶 100").arg(f.uncapped);
  return tr("分数 %1：%2").arg(f.score).arg(score.join(tr("；")));
}

QString ScoreText::ConventionsSentence(const ScoreFactors::Conventions& c) {
  QStringList conventions;
  QStringList grids;
  for (const Fortune fortune : {Fortune::kBad, Fortune::kHalf}) {
    if (const QString named = GridsWith(c.grids, fortune); !named.isEmpty())
      grids << tr("%1 %2").arg(named, FortuneWord(fortune));
  }
  conventions << tr("按康熙笔画另算五格，%1").arg(grids.isEmpty() ? tr("五格都吉") : grids.join(tr("、")));
  if (c.sancai) {
    static const char* const kSancai[] = {QT_TR_NOOP("三才大吉"), QT_TR_NOOP("三才吉"), QT_TR_NOOP("三才半吉"),
                                          QT_TR_NOOP("三才凶"), QT_TR_NOOP("三才大凶")};
    conventions << tr(kSancai[static_cast<int>(*c.sancai)]);
  }
  conventions << (c.hasChart ? tr("名字 %1/%2 个字合喜用五行").arg(c.favourableCharacters).arg(c.givenCharacters)
                             : tr("没有八字，喜用五行不算"));
  return tr("通行评分 %1：%2").arg(c.score).arg(conventions.join(tr("；")));
}

// The same grid judged twice: said where the verdicts part, then the stroke
// counts behind them.
QStringList ScoreText::Differences(const ScoreFactors& f) {
  QStringList differences;
  if (f.surnameLength == 1) {
    for (std::size_t i = 0; i < kFactorGrids; ++i) {
      const GridFortune& own = f.own[i];
      const GridFortune& common = f.conventions->grids[i];
      if (own.number == 0 || own.fortune == common.fortune) continue;
      differences << tr("%1两种算法不同：本程序算 %2（%3），通行算法算 %4（%5）")
                         .arg(GridName(i))
                         .arg(own.number)
                         .arg(FortuneWord(own.fortune))
                         .arg(common.number)
                         .arg(FortuneWord(common.fortune));
    }
  }
  if (!differences.isEmpty() && !f.strokes.empty()) {
    QStringList counts;
    for (const StrokeDifference& d : f.strokes) {
      counts << tr("“%1”本程序 %2 画、康熙字典 %3 画").arg(FromCore(d.ch)).arg(d.own).arg(d.kangxi);
    }
    differences << tr("因为笔画数不同：%1").arg(counts.join(tr("；")));
  }
  return differences;
}

ScoreWords ScoreText::Describe(const ScoreFactors& f) {
  ScoreWords words;
  words.score = ScoreSentence(f);
  if (!f.conventions) return words;
  words.conventions = ConventionsSentence(*f.conventions);
  words.differences = Differences(f);
  return words;
}

}  // namespace tavrin::report
