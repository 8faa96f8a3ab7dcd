// 诗歌取名: the poems with their search on the left, the poem in the middle
// (shown, or typed by the family), the pane of the names a run draws from it
// on the right, the start and help buttons and, under them, the poem's own
// names. The window starts the run; the page says what the poem is.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

#include "core/poem_phrases.h"
#include "sources/name_notes.h"
#include "ui/PageParts.h"
#include "ui/qtext.h"

class QPlainTextEdit;
class QStandardItemModel;
class QTableView;

namespace tavrin::ui {

class PaneView;
class PoemBrowser;
class PoemPhrasesList;

class PoetryPage final : public QObject {
  Q_OBJECT

 public:
  // Builds the page's controls on `page` of `pageHeight`, around `pane`, the
  // pane of the run's poetry names.
  PoetryPage(QWidget* page, int pageHeight, PaneView* pane, sources::NameNotes& notes, QObject* parent);

  // When the page is shown: the search opens, and the poems of `poetryPath`
  // are read the first time the file is there (`messageParent` tells what
  // went wrong reading it).
  void Open(const std::string& poetryPath, QWidget* messageParent);
  // The middle pane as it stands, in the core's text.
  std::string PoemText() const;
  // The poem the names come from, for the source of its own names.
  PoemOfPhrases CurrentPoem() const;
  // The selected poem's text in the core's text (a kept name's poem), or empty.
  std::string SelectedPoem() const;
  void ShowPhrases(const std::vector<PoemPhraseView>& phrases);
  // The window is `wider` than its smallest: the titles take what it gains.
  void FitTitles(int wider);
  const Anchors& Followers() const { return followers_; }

 signals:
  void startRequested();
  void analyseRequested(const QString& name);
  void said(const QString& text);

 private:
  QTableView* poems_;  // DBGrid1
  QStandardItemModel* poemModel_;
  QPlainTextEdit* poemText_;  // DBMemo1
  PoemBrowser* browser_;      // above DBGrid1
  PoemPhrasesList* phrases_;  // the poem's own names, under the buttons
  int contentColumn_ = -1;
  QStringList columns_;     // the poem table's own column names
  bool connected_ = false;  // a connection was tried on a file that exists
  Anchors followers_;

  static constexpr int kSearchHeight = 26;
  static constexpr int kTitleWidth = 120;

  void BuildTable(QWidget* page, int pageHeight);
  void ShowHelp(QWidget* window);
  void ReadPoems(const std::string& path, QWidget* messageParent);
};

}  // namespace tavrin::ui
