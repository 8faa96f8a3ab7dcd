// The kept names as a table model: 姓名, 拼音, 推荐度 (when the advice was
// kept with the name: the name's verdict, in bold), 分数, 评分 as stars and
// 备注, both edited in place and written to the store at once, 添加时间, and
// 家人评分 when the family has voted (their average and votes; each vote and
// comment in its tooltip).
#pragma once

#include <functional>
#include <vector>

#include "favourites/favourite.h"
#include "share/vote_book.h"
#include "ui/NameTableModel.h"

namespace tavrin {
class FavouritesStore;
}

namespace tavrin::ui {

class FavouritesModel : public NameTableModel {
  Q_OBJECT

 public:
  enum Column { kName, kPinyin, kRecommend, kScore, kRating, kNote, kAdded, kFamily };
  static constexpr int kColumnCount = 8;

  // `store` may be null (no store could be opened): the table stays empty.
  FavouritesModel(FavouritesStore* store, const NamingServices& services, QObject* parent = nullptr);

  // Reads the store again (another window or the command line may have changed it).
  void Reload();
  const Favourite& At(int row) const { return rows_[static_cast<std::size_t>(row)].favourite; }
  // The family's votes, shown in 家人评分.
  void SetTallies(share::Tallies tallies);
  // The family's votes on a kept name, or null.
  const share::Tally* TallyOf(const Favourite& favourite) const;

  // A store fault while editing: the text for the user.
  std::function<void(const QString&)> onFault;
  // Why a kept name's 分数 stands where it does (the tooltip of 分数).
  std::function<QStringList(const Favourite&)> explainScore;
  // How many characters of a kept name are its surname, for its 拼音;
  // without, one.
  std::function<int(const Favourite& favourite)> surnameLength;

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  static const QStringList& Captions();
  // "★★★☆☆" for a rating of 3.
  static QString Stars(int rating);
  // The 推荐度 the kept advice gives, or -1.
  static int Recommend(const Favourite& favourite);

 private:
  struct Row {
    Favourite favourite;
    QString pinyin;
    int recommend = -1;
  };

  FavouritesStore* store_;
  std::vector<Row> rows_;
  share::Tallies tallies_;
};

}  // namespace tavrin::ui
