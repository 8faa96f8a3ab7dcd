// A name's 分数 and 通行评分 in words, beside its 推荐度: which grids are 凶
// by each reading, the element balance, the 三才 and the favourable
// elements, and where the two readings of one grid disagree because they
// count strokes differently. The window and the printouts show the same
// sentences.
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <array>

#include "analysis/score_factors.h"

namespace tavrin::report {

struct ScoreWords {
  QString score;            // "分数 50：天格9、地格16 为凶……"
  QString conventions;      // "通行评分 61：按康熙笔画……"; empty when there is none
  QStringList differences;  // one sentence a grid whose two verdicts differ, then the strokes behind them
  // Every sentence, in that order.
  QStringList All() const;
};

class ScoreText {
  Q_DECLARE_TR_FUNCTIONS(ScoreText)

 public:
  static ScoreWords Describe(const ScoreFactors& factors);
  // What the three numbers measure, in one sentence.
  static QString VerdictNote();

 private:
  static QString GridName(std::size_t grid);
  static QString FortuneWord(Fortune fortune);
  // "天格9、地格16" for the grids of a reading with the verdict.
  static QString GridsWith(const std::array<GridFortune, kFactorGrids>& grids, Fortune fortune);
  static QString ScoreSentence(const ScoreFactors& factors);
  static QString ConventionsSentence(const ScoreFactors::Conventions& conventions);
  static QStringList Differences(const ScoreFactors& factors);
};

}  // namespace tavrin::report
