#include "ui/FavouritesModel.h"

#include <QDateTime>
#include <QFont>

#include "core/services.h"
#include "favourites/store.h"
#include "ui/ReportProxy.h"
#include "ui/SharePanel.h"
#include "ui/qtext.h"

namespace tavrin::ui {

namespace {

// The tip of a favourite's name: the birth it was kept with and where it came from.
QString BirthAndOrigin(const Favourite& f) {
  const FavouriteView view = ViewOf(f);
  return QString("%1 %2-%3-%4 %5 · %6%7")
      .arg(f.sex == Sex::kFemale ? FavouritesModel::tr("女") : FavouritesModel::tr("男"))
      .arg(f.year)
      .arg(f.month)
      .arg(f.day)
      .arg(view.hour)
      .arg(view.origin, view.poem.isEmpty() ? QString() : " · " + view.poem);
}

// A tip of stored text (a poem or note of an imported file, the family's
// names and comments), shown as the text it is: a tip that looks like HTML
// would be drawn as HTML, images and all.
QString PlainTip(const QStringList& lines) {
  QStringList escaped;
  for (const QString& line : lines) escaped << line.toHtmlEscaped();
  return "<p style='white-space:pre-wrap'>" + escaped.join("<br>") + "</p>";
}

}  // namespace

FavouritesModel::FavouritesModel(FavouritesStore* store, const NamingServices& services, QObject* parent)
    : NameTableModel(Captions(), -1, services, parent), store_(store) {}

const QStringList& FavouritesModel::Captions() {
  static const QStringList captions = {"姓名", "拼音", "推荐度", "分数", "评分", "备注", "添加时间", "家人评分"};
  return captions;
}

QString FavouritesModel::Stars(int rating) {
  return QString(rating, QChar(0x2605)) + QString(kMaxRating - rating, QChar(0x2606));
}

int FavouritesModel::Recommend(const Favourite& favourite) {
  return favourite.advice ? favourite.advice->recommend : -1;
}

void FavouritesModel::Reload() {
  std::vector<Favourite> kept;
  if (store_) {
    try {
      kept = store_->List();
    } catch (const FavouritesError& error) {
      if (onFault) onFault(MessageOf(error));
    }
  }
  beginResetModel();
  rows_.clear();
  rows_.reserve(kept.size());
  for (Favourite& favourite : kept) {
    Row row;
    const int surname = surnameLength ? surnameLength(favourite) : 1;
    row.pinyin = QString::fromStdString(Services().namePinyin.Marked(favourite.name.View(), surname));
    row.recommend = Recommend(favourite);
    row.favourite = std::move(favourite);
    rows_.push_back(std::move(row));
  }
  endResetModel();
}

void FavouritesModel::SetTallies(share::Tallies tallies) {
  tallies_ = std::move(tallies);
  if (!rows_.empty()) emit dataChanged(index(0, kFamily), index(rowCount() - 1, kFamily));
}

const share::Tally* FavouritesModel::TallyOf(const Favourite& favourite) const {
  return tallies_.Find(ViewOf(favourite).name.toStdString(), SexKey(favourite.sex));
}

int FavouritesModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant FavouritesModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const Row& row = rows_[static_cast<std::size_t>(index.row())];
  const Favourite& f = row.favourite;
  if (role == ReportProxy::kScoreRole) return f.score;
  if (role == Qt::EditRole) {
    if (index.column() == kRating) return f.rating;
    if (index.column() == kNote) return ViewOf(f).note;
  }
  if (role == Qt::ToolTipRole && index.column() == kName) return PlainTip({BirthAndOrigin(f)});
  if (role == Qt::FontRole && index.column() == kRecommend) {
    QFont bold;
    bold.setBold(true);
    return bold;
  }
  if (role == Qt::ToolTipRole && index.column() == kScore && explainScore) return explainScore(f).join('\n');
  if (role == Qt::ToolTipRole && index.column() == kFamily) {
    const share::Tally* tally = TallyOf(f);
    if (!tally) return {};
    return PlainTip(FamilyVotes(*tally));
  }
  if (role != Qt::DisplayRole) return {};
  switch (index.column()) {
    case kName:
      return ViewOf(f).name;
    case kPinyin:
      return row.pinyin;
    case kScore:
      return QString::number(f.score);
    case kRecommend:
      return row.recommend < 0 ? QString() : QString::number(row.recommend);
    case kRating:
      return Stars(f.rating);
    case kNote:
      return ViewOf(f).note;
    case kAdded:
      return QDateTime::fromSecsSinceEpoch(f.added).toLocalTime().toString("yyyy-MM-dd HH:mm");
    case kFamily: {
      const share::Tally* tally = TallyOf(f);
      return tally ? FamilyScore(*tally) : QString();
    }
    default:
      return {};
  }
}

bool FavouritesModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!store_ || role != Qt::EditRole || !index.isValid() || index.row() >= rowCount()) return false;
  Favourite& f = rows_[static_cast<std::size_t>(index.row())].favourite;
  try {
    if (index.column() == kRating) {
      const int rating = value.toInt();
      if (rating < 0 || rating > kMaxRating || !store_->SetRating(f.name, f.sex, rating)) return false;
      f.rating = rating;
    } else if (index.column() == kNote) {
      GbkText note = KeptNoteOf(value.toString());
      if (auto bad = CheckNote(note.View())) {
        if (onFault) onFault(MessageOf(*bad));
        return false;
      }
      if (!store_->SetNote(f.name, f.sex, note)) return false;
      f.note = std::move(note);
    } else {
      return false;
    }
  } catch (const FavouritesError& error) {
    if (onFault) onFault(MessageOf(error));
    return false;
  }
  emit dataChanged(index, index);
  return true;
}

Qt::ItemFlags FavouritesModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = QAbstractTableModel::flags(index);
  if (store_ && !store_->ReadOnly() && (index.column() == kRating || index.column() == kNote))
    flags |= Qt::ItemIsEditable;
  return flags;
}

}  // namespace tavrin::ui
