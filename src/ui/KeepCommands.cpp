#include "ui/KeepCommands.h"

#include <QMenu>
#include <QTableView>

#include "core/naming_model.h"
#include "ui/AnalysisPage.h"
#include "ui/BestModel.h"
#include "ui/BestPage.h"
#include "ui/FavouritesPage.h"
#include "ui/PaneView.h"
#include "ui/PoetryPage.h"
#include "ui/ReportPage.h"
#include "ui/SettingsPage.h"

namespace tavrin::ui {

KeepCommands::KeepCommands(NamingModel& model, Pages pages, sources::NameNotes& notes, QObject* parent)
    : QObject(parent), model_(model), pages_(std::move(pages)), notes_(notes) {}

Favourite KeepCommands::BirthOnShow() const {
  Favourite favourite;
  const NamingSession& session = model_.Session();
  if (session.birthYear != 0) {
    favourite.sex = SexOf(session.female);
    favourite.year = session.birthYear;
    favourite.month = session.birthMonth;
    favourite.day = session.birthDay;
    favourite.hour = FavouriteHour(session.birthHour);
  } else {
    // A field that is no number gives 0, which the favourite's checks refuse.
    const SettingsPage::Numbers birth = pages_.settings->BirthNumbers();
    favourite.sex = pages_.settings->BabySex();
    favourite.year = birth.year;
    favourite.month = birth.month;
    favourite.day = birth.day;
    favourite.hour = FavouriteHour(birth.hour);
  }
  return favourite;
}

std::optional<Keepable> KeepCommands::ReportKeepable(int row) const {
  if (row < 0 || static_cast<std::size_t>(row) >= model_.Report().Rows().size()) return std::nullopt;
  const Candidate& candidate = model_.Report().Rows()[static_cast<std::size_t>(row)].candidate;
  Keepable keepable{candidate.fullName, candidate.score, std::string(OriginCaption(candidate.origin)), {}, {}};
  keepable.surnameLength = static_cast<int>(candidate.surnameBytes / 2);
  return keepable;
}

std::optional<Keepable> KeepCommands::BestKeepable(int row) const {
  // The row's name for the sex of its run, with the advice the page shows.
  const BestNames& names = pages_.best->Model().Names();
  if (row < 0 || static_cast<std::size_t>(row) >= names.Size()) return std::nullopt;
  const auto i = static_cast<std::size_t>(row);
  const Candidate& candidate = names.CandidateAt(i);
  const advice::Advice& a = names.AdviceAt(i);
  // A name still waiting for its source is advised when it is kept.
  Keepable keepable{candidate.fullName,
                    candidate.scored ? std::optional(candidate.score) : std::nullopt,
                    std::string(OriginCaption(candidate.origin)),
                    {},
                    a.sex,
                    i < names.SourcesDone() ? std::optional(a) : std::nullopt};
  keepable.surnameLength = static_cast<int>(candidate.surnameBytes / 2);
  // The birth of the run that made it, which an earlier run's may not be.
  if (const auto& birth = names.BirthAt(i)) {
    keepable.birth = {birth->year, birth->month, birth->day, FavouriteHour(birth->hour)};
  }
  return keepable;
}

void KeepCommands::Attach(FavouritesPage& favourites) {
  // A name kept or dropped says so at once: a note at the bottom of the
  // window, and the star before it on 精选.
  FavouritesPage* page = &favourites;
  pages_.best->SetKeptTest([page](const std::string& name, Sex sex) { return page->IsKept(name, sex); });
  connect(page, &FavouritesPage::keptChanged, this, [this](const QString& name, bool kept) {
    pages_.best->RefreshKept();
    emit said(kept ? tr("★ 已收藏“%1”,收藏的名字都在“收藏”页").arg(name) : tr("☆ 已取消收藏“%1”").arg(name));
  });
  const PoetryPage* poetry = pages_.poetry;
  const std::function<std::string()> poem = [poetry] { return poetry->SelectedPoem(); };
  for (PaneView* pane : pages_.panes)
    favourites.AttachPane(pane, pane == pages_.panes.back() ? poem : std::function<std::string()>());
  favourites.SetNotes(&notes_);
  // A kept name carries the advice 精选 gives it, judged for the baby of
  // 精选 as its rows are.
  favourites.SetAdviser([this](const std::string& name, Sex sex, int surnameLength) -> std::optional<advice::Advice> {
    const advice::AdviceTables* tables = model_.Stores().advice.get();
    if (!tables) return std::nullopt;
    return pages_.best->Model().Names().Judge().Judge(
        AdviseWithSource(*tables, name, surnameLength, sex, sources::SourceFinderOf(notes_)));
  });
  // 比较 says what the baby of 姓名设置 needs: the names may be for other babies.
  favourites.SetBabyNeeds([this]() -> QStringList {
    const std::optional<ChildNeeds> needs = pages_.settings->Needs(model_.TransDate());
    if (!needs) return {tr("先在姓名设置中填写宝宝的生日")};
    const NeedsView view = NeedsViewOf(*needs);
    return {tr("按姓名设置中的宝宝：") + view.sentence, view.readings};
  });
  AddMenus(favourites);
}

void KeepCommands::AddMenus(FavouritesPage& favourites) {
  FavouritesPage* page = &favourites;
  // The report and 精选: the row under the pointer, or the current row.
  pages_.report->extendMenu = [this, page](QMenu& menu, int row) {
    menu.addSeparator();
    page->AddMenuEntry(menu, ReportKeepable(row));
  };
  page->AddShortcut(pages_.report->Table(), [this] { return ReportKeepable(pages_.report->CurrentRow()); });
  pages_.best->extendMenu = [this, page](QMenu& menu, int row) {
    menu.addSeparator();
    page->AddMenuEntry(menu, BestKeepable(row));
  };
  page->AddShortcut(pages_.best->Table(), [this] { return BestKeepable(pages_.best->CurrentRow()); });
  // The analysis page: the name of the last completed analysis.
  const AnalysisPage* analysis = pages_.analysis;
  page->AddShortcut(analysis->Tab(), [analysis] { return analysis->Kept(); });
  PaneView* pane = analysis->Pane();
  pane->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(pane, &QWidget::customContextMenuRequested, this, [page, pane, analysis](const QPoint& at) {
    std::unique_ptr<QMenu> menu(pane->createStandardContextMenu(at));
    menu->addSeparator();
    page->AddMenuEntry(*menu, analysis->Kept());
    menu->exec(pane->viewport()->mapToGlobal(at));
  });
}

}  // namespace tavrin::ui
