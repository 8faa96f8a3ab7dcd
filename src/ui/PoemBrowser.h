// The poem page's browser: a search field (title, author or text) and a
// collection filter above the poem grid. With both empty the grid shows the
// curated poems of the poem database, as it always has; otherwise it shows
// the texts of the classical library that match, with the same columns, and
// the selected text goes to the poem pane in the same way. The library is
// opened when the page is first shown (Open). Names of the page's name pane tell in
// a tooltip the line of the poem they were drawn from.
#pragma once

#include <QAbstractTableModel>
#include <QWidget>
#include <functional>
#include <vector>

#include "sources/classical_library.h"
#include "sources/name_notes.h"
#include "ui/qtext.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QTableView;

namespace tavrin::ui {

class PaneView;

// The columns of the poem grid, as the poem database has them: id, content,
// collection, dynasty, title, author; title and author are shown.
inline constexpr int kPoemContentColumn = 1;
inline constexpr int kPoemTitleColumn = 4;
inline constexpr int kPoemAuthorColumn = 5;

// The caption of a column of the poem grid: 标题 and 作者 for the title and
// the author, the column's own name otherwise.
QString PoemColumnCaption(const QString& column);

// Texts of a library search; a text's content is read when it is asked for.
class PoemSearchModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  PoemSearchModel(sources::NameNotes& notes, QObject* parent = nullptr);
  void SetEntries(std::vector<LibraryEntryView> entries);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  sources::NameNotes& notes_;
  std::vector<LibraryEntryView> entries_;
};

class PoemBrowser : public QWidget {
  Q_OBJECT

 public:
  using ShowPoem = std::function<void(const QModelIndex&)>;
  // `grid` shows `curated` until a search; `showPoem` is called with the
  // grid's current row whenever it changes.
  PoemBrowser(QTableView* grid, QAbstractItemModel* curated, ShowPoem showPoem, sources::NameNotes& notes,
              QWidget* parent);

  // Opens the library and lists its collections, when the page is first shown.
  void Open();

  // Shows the matching texts: the curated poems when both are empty.
  void Search(const QString& text, const QString& collection);
  int Matches() const;

  // Shows in a tooltip the line of `poem`'s text each name of `pane` comes from.
  void AttachNameLines(PaneView* pane, QPlainTextEdit* poem);

  QLineEdit* Field() const { return field_; }
  QComboBox* Collections() const { return collections_; }

 signals:
  // A search that could not be done, in words for the status line.
  void Said(const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SetGridModel(QAbstractItemModel* model);
  void Refresh();

  QTableView* grid_;
  QAbstractItemModel* curated_;
  ShowPoem showPoem_;
  sources::NameNotes& notes_;
  PoemSearchModel* results_;
  QLineEdit* field_;
  QComboBox* collections_;
  PaneView* pane_ = nullptr;
  // The pane's viewport, whose events are watched: compared as it was
  // attached, never asked of the pane, which may be going when it sends one.
  QObject* paneViewport_ = nullptr;
  QPlainTextEdit* poem_ = nullptr;
  int curatedRow_ = 0;
};

}  // namespace tavrin::ui
