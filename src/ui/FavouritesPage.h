// The page 收藏 and the ways into it: the user's kept names as a table
// (sortable and filtered as the report is; rating and note edited in place;
// Delete removes after a question), compared side by side, printed to one
// PDF, exported and imported as JSON. Every result pane, the report and the
// analysis page keep or drop a name through it: a context-menu entry and
// Ctrl+D. 邀请家人 shares them with the family, whose votes it shows.
//
// The store is opened once; when it cannot be, the user is told once and
// the window goes on without favourites.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "advice/advice.h"
#include "favourites/favourite.h"
#include "ui/TablePage.h"

class QAction;
class QHBoxLayout;
class QMenu;
class QPushButton;

namespace tavrin {
class FavouritesStore;
class TTransDate;
struct DataStores;
}  // namespace tavrin

namespace tavrin::report {
struct ComparedName;
}
namespace tavrin::sources {
class NameNotes;
}

class QPrinter;

namespace tavrin::ui {

class FavouritesModel;
class PaneView;
class SharePanel;

// A name a page offers to keep, with what the page knows of it (GBK).
struct Keepable {
  std::string name;
  std::optional<int> score;  // none: scored for the birth it is kept with
  std::string origin;        // the page or generator that proposed it
  std::string poem;
  std::optional<Sex> sex = std::nullopt;  // none: the one BirthSettings gives
  // What the page's advice says of it; none: made when the name is kept.
  std::optional<advice::Advice> advice = std::nullopt;
  // The birth date and hour the score was taken for, when it is not the one
  // BirthSettings gives.
  struct Birth {
    int year, month, day, hour;
  };
  std::optional<Birth> birth = std::nullopt;
  // The surname's length in the run that made it; 0: read from the name.
  int surnameLength = 0;
};

class FavouritesPage : public TablePage {
  Q_OBJECT

 public:
  // The sex, birth date and hour the names on show were made for, as a
  // favourite carries them (the other fields are ignored).
  using BirthSettings = std::function<Favourite()>;
  // Asks a yes/no question; true for yes.
  using Confirm = std::function<bool(QWidget* parent, const QString& question)>;
  // The advice on a name for a child of the sex, as the 精选 page makes it;
  // none without advice tables.
  // The advice on a name read with a surname of `surnameLength` characters.
  using Adviser = std::function<std::optional<advice::Advice>(const std::string& name, Sex sex, int surnameLength)>;

  // The stores and the date translator (the window's) outlive the page.
  FavouritesPage(const DataStores& stores, TTransDate& transDate, BirthSettings settings, QWidget* parent = nullptr);
  ~FavouritesPage() override;

  // Opens the store at its default place. A fault (or a notice: a damaged
  // file kept aside, a read-only store) comes back in `message`.
  static std::unique_ptr<FavouritesStore> OpenDefaultStore(QString& message);
  // Uses `store` (may be null) from now on and lists it.
  void SetStore(std::unique_ptr<FavouritesStore> store);
  FavouritesStore* Store() const { return store_.get(); }

  // Whether the name is kept for the sex (by default that of the names on show).
  bool IsKept(const std::string& name, std::optional<Sex> sex = std::nullopt) const;
  // Keeps the name with its advice (the keepable's, else the adviser's), or
  // drops it when it is kept; true when it is kept now. A refusal or a store
  // fault is shown and changes nothing.
  bool Toggle(const Keepable& keepable);
  // "☆ 收藏" or "★ 取消收藏" for the name, in `menu`, when there is a name.
  void AddMenuEntry(QMenu& menu, const std::optional<Keepable>& keepable);
  // Ctrl+D on `widget` (and its menu entry) keeps or drops the name `current` gives.
  void AddShortcut(QWidget* widget, std::function<std::optional<Keepable>()> current);
  // A result pane: its context menu gets the entry for the name under the
  // pointer, Ctrl+D takes the name of the selection or the text cursor.
  // `poem` gives the poem a name was drawn from (the poetry pane).
  void AttachPane(PaneView* pane, const std::function<std::string()>& poem = {});

  const FavouritesModel& Model() const { return *favourites_; }
  // 邀请家人 / 停止分享 and the family's votes.
  SharePanel& Share() const { return *share_; }
  // Reads the store again.
  void Refresh();

  // The page's commands, callable from tests; files are asked for unless given.
  bool RemoveSelected();
  QDialog* Compare();
  // What the baby of 姓名设置 needs, the lines over the comparison (the
  // names may have been kept for other babies); without, none.
  void SetBabyNeeds(std::function<QStringList()> needs) { babyNeeds_ = std::move(needs); }
  // 打印…: the selected names on a printer the system's print dialog offers
  // (or into a PDF, which the dialog offers too); with a path, into that PDF.
  bool Print(const QString& path = {});
  // 存为PDF…: the same pages as one PDF file.
  bool SavePdf(QString path = {});
  // The same pages on a printer already set up.
  bool PrintTo(QPrinter& printer);
  bool ExportJson(QString path = {});
  bool ImportJson(QString path = {});
  void SetConfirm(Confirm confirm) { confirm_ = std::move(confirm); }
  void SetAdviser(Adviser adviser) { adviser_ = std::move(adviser); }
  // Where the comparison and the printout find the names' meanings and
  // sources (may be null: none shown); it must outlive the page.
  void SetNotes(sources::NameNotes* notes) { notes_ = notes; }

 signals:
  // A name (UTF-8) was kept (true) or dropped (false) by Toggle.
  void keptChanged(const QString& name, bool kept);

 protected:
  void showEvent(QShowEvent* event) override;
  // The count, the empty table's hint and the buttons that need a selection.
  void RefreshCount() override;
  QString EmptyText(bool filtered) const override;

 private:
  void SetUpTable(QTableView* table);
  // 删除 on the Delete key and in the table's context menu.
  void AddRemoveAction(QTableView* table);
  QHBoxLayout* MakeButtons();
  SharePanel* MakeSharePanel();
  // The favourite the keepable becomes when it is kept now, without its score and advice.
  Favourite FavouriteOf(const Keepable& keepable) const;
  // Gives the favourite what it is saved with: its score, where it comes from, its advice.
  void FillIn(Favourite& favourite, const Keepable& keepable) const;
  // The selected favourites analysed for their birth, or none (and the user
  // told why) when fewer than `minimum` or more than `maximum` are selected.
  std::vector<report::ComparedName> SelectedAnalysed(std::size_t minimum, std::size_t maximum);
  void Fault(const QString& text);
  // The favourite's surname length: the one of the run that made it, else
  // as the advice reads the name.
  int SurnameLength(const Favourite& f) const;
  // Why a kept name's 分数 and 通行评分 stand where they do, for its birth.
  QStringList ScoreSentences(const Favourite& favourite) const;

  const DataStores& stores_;
  TTransDate& transDate_;
  BirthSettings settings_;
  Confirm confirm_;
  Adviser adviser_;
  sources::NameNotes* notes_ = nullptr;
  std::unique_ptr<FavouritesStore> store_;
  FavouritesModel* favourites_ = nullptr;
  QPushButton* compare_ = nullptr;
  std::function<QStringList()> babyNeeds_;
  QPushButton* print_ = nullptr;
  QPushButton* savePdf_ = nullptr;
  SharePanel* share_ = nullptr;
};

}  // namespace tavrin::ui
