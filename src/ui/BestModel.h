// The names of the window session's runs with their advice, one row per name
// and sex, as a table model for the 精选 page: 姓名, 性别, 拼音 (tone marks),
// 推荐度, 分数, 通行评分, 提示 (the warnings, serious first), 出处 (the best
// line of the classical library the given name comes from) and 字义 (the
// glosses of the given characters) and 来源 (the run page that showed the name,
// or 典籍 / 名库 for a name the program proposed itself). Rows are appended as
// runs add names.
#pragma once

#include <QIcon>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "analysis/score_factors.h"
#include "core/best_names.h"
#include "ui/NameTableModel.h"

namespace tavrin::ui {

class BestModel : public NameTableModel {
  Q_OBJECT

 public:
  enum Column { kName, kSex, kPinyin, kRecommend, kScore, kConventionsScore, kWarnings, kSource, kGlosses, kOrigin };
  static constexpr int kColumnCount = 10;

  // `tables` may be null (no advice); they and `services` must outlive the model.
  BestModel(const advice::AdviceTables* tables, const NamingServices& services, QObject* parent = nullptr);

  // Where sources and meanings come from (outlives the model): the names
  // added from now on get the 推荐度's bonus of their source (through
  // LookUpSources), 出处 and the names' tooltips are filled. Without, they
  // stay empty.
  void SetNotes(sources::NameNotes* notes) override;
  // What a name's 分数 and 通行评分 are made of, for the birth it was made
  // for (none: no chart); without, the details show the numbers alone.
  using FactorsReader =
      std::function<ScoreFactors(const Candidate& candidate, const std::optional<BestNames::RunBirth>& birth)>;
  void SetFactorsReader(FactorsReader reader) { factors_ = std::move(reader); }
  // The sentences on a scored name's two scores; empty without a reader.
  QStringList ScoreSentences(int row) const;

  // Whether a full name (GBK) is kept among the favourites for the sex: a
  // kept name shows a star before it.
  using KeptTest = std::function<bool(const std::string& fullName, Sex sex)>;
  void SetKeptTest(KeptTest kept) { kept_ = std::move(kept); }
  // Shows the stars again, after a name was kept or dropped.
  void RefreshKept();

  BestNames& Names() { return names_; }
  const BestNames& Names() const { return names_; }
  // Shows the names added to Names() since the last call.
  void ShowAdded();
  // Runs `follow` over the names (BestNames::FollowChild): when it dropped
  // the names of an earlier baby the model is reset, when it judged them
  // again every row changes.
  void Follow(const std::function<void(BestNames&)>& follow);
  // Looks up the sources of the names waiting for one (BestNames) for about
  // `budget` and shows their new 推荐度; true while names still wait.
  bool LookUpSources(std::chrono::milliseconds budget);

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  QString CellText(int row, int column) const;
  // The details of a name for the panel beside the table (HTML).
  QString DetailsHtml(int row) const;

  static const QStringList& Captions();
  static int ColumnWidth(int column);

 private:
  struct Texts {
    QString name, pinyin, warnings, glosses;
  };
  Texts MakeTexts(std::size_t i) const;
  // The head of the details: the name, its 推荐度 and scores.
  QString VerdictHtml(std::size_t i) const;

  FactorsReader factors_;
  BestNames names_;
  std::vector<Texts> texts_;
  KeptTest kept_;
  mutable QIcon star_;
};

}  // namespace tavrin::ui
