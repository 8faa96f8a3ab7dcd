// ☆ 收藏 on every page: what each page keeps of a row or of the last
// analysis, the menu entries and the Ctrl+D that keep it, and what 收藏
// reads of the pages (the birth the names on show were scored for, the
// advice 精选 gives, what the baby needs).
#pragma once

#include <QObject>

#include <optional>
#include <vector>

#include "favourites/favourite.h"
#include "sources/name_notes.h"

namespace tavrin {
class NamingModel;
}

namespace tavrin::ui {

class AnalysisPage;
class BestPage;
class FavouritesPage;
class PaneView;
class PoetryPage;
class ReportPage;
class SettingsPage;
struct Keepable;

class KeepCommands final : public QObject {
  Q_OBJECT

 public:
  // The pages that keep names; they outlive the commands.
  struct Pages {
    const SettingsPage* settings = nullptr;
    ReportPage* report = nullptr;
    BestPage* best = nullptr;
    AnalysisPage* analysis = nullptr;
    const PoetryPage* poetry = nullptr;
    // The result panes; the last one is the poetry page's.
    std::vector<PaneView*> panes;
  };

  KeepCommands(NamingModel& model, Pages pages, sources::NameNotes& notes, QObject* parent);

  // The birth the names on show were scored for: the last run's, else the
  // settings page's, as a favourite keeps it.
  Favourite BirthOnShow() const;
  // Every page's keep commands on `favourites`, and what it reads of them;
  // 精选's stars follow what it keeps.
  void Attach(FavouritesPage& favourites);

 signals:
  // A name was kept or dropped: the note the window shows.
  void said(const QString& text);

 private:
  std::optional<Keepable> ReportKeepable(int row) const;
  std::optional<Keepable> BestKeepable(int row) const;
  void AddMenus(FavouritesPage& favourites);

  NamingModel& model_;
  Pages pages_;
  sources::NameNotes& notes_;
};

}  // namespace tavrin::ui
