#include "ui/PoemBrowser.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QToolTip>
#include <algorithm>

#include "ui/PaneView.h"
#include "ui/qtext.h"

namespace tavrin::ui {

namespace {

constexpr int kPoemColumns = 6;

}  // namespace

QString PoemColumnCaption(const QString& column) {
  if (column == "title") return PoemBrowser::tr("标题");
  if (column == "author") return PoemBrowser::tr("作者");
  return column;
}

PoemSearchModel::PoemSearchModel(sources::NameNotes& notes, QObject* parent)
    : QAbstractTableModel(parent), notes_(notes) {}

void PoemSearchModel::SetEntries(std::vector<LibraryEntryView> entries) {
  beginResetModel();
  entries_ = std::move(entries);
  endResetModel();
}

int PoemSearchModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

int PoemSearchModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kPoemColumns; }

QVariant PoemSearchModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const LibraryEntryView& entry = entries_[static_cast<std::size_t>(index.row())];
  if (role == Qt::UserRole) return false;  // a library text is never cut
  if (role != Qt::DisplayRole) return {};
  switch (index.column()) {
    case 0:
      return QString::number(entry.id);
    case kPoemContentColumn:
      return notes_.WithLibrary([&entry](sources::ClassicalLibrary& library) { return ContentOf(library, entry.id); },
                                QString());
    case 2:
      return entry.collection;
    case kPoemTitleColumn:
      return entry.title;
    case kPoemAuthorColumn:
      return entry.author;
    default:
      return {};
  }
}

QVariant PoemSearchModel::headerData(int section, Qt::Orientation orientation, int role) const {
  static const char* const kColumns[kPoemColumns] = {"id", "content", "collection", "dynasty", "title", "author"};
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kPoemColumns) return {};
  return PoemColumnCaption(kColumns[section]);
}

PoemBrowser::PoemBrowser(QTableView* grid, QAbstractItemModel* curated, ShowPoem showPoem, sources::NameNotes& notes,
                         QWidget* parent)
    : QWidget(parent),
      grid_(grid),
      curated_(curated),
      showPoem_(std::move(showPoem)),
      notes_(notes),
      results_(new PoemSearchModel(notes, this)),
      field_(new QLineEdit(this)),
      collections_(new QComboBox(this)) {
  setObjectName("poemBrowser");
  field_->setObjectName("poemSearch");
  field_->setPlaceholderText(tr("搜索标题、作者或诗句"));
  field_->setClearButtonEnabled(true);
  // Every keystroke searches: a pasted page is cut to what a search takes.
  field_->setMaxLength(static_cast<int>(sources::kMaxSearchChars));
  collections_->setObjectName("poemCollection");
  collections_->addItem(tr("全部"));
  collections_->setToolTip(tr("只看一部诗集"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addWidget(field_, 3);
  layout->addWidget(collections_, 2);
  connect(field_, &QLineEdit::textChanged, this, &PoemBrowser::Refresh);
  connect(collections_, &QComboBox::currentIndexChanged, this, &PoemBrowser::Refresh);
}

void PoemBrowser::Open() {
  if (collections_->count() > 1) return;
  const QSignalBlocker quiet(collections_);
  collections_->addItems(
      notes_.WithLibrary([](sources::ClassicalLibrary& library) { return CollectionsOf(library); }, QStringList()));
}

void PoemBrowser::Refresh() {
  const int index = collections_->currentIndex();
  Search(field_->text(), index > 0 ? collections_->itemText(index) : QString());
}

void PoemBrowser::Search(const QString& text, const QString& collection) {
  if (text.isEmpty() && collection.isEmpty()) {
    if (grid_->model() != curated_) SetGridModel(curated_);
    if (curated_->rowCount() > 0) grid_->selectRow(std::min(curatedRow_, curated_->rowCount() - 1));
    return;
  }
  if (grid_->model() == curated_ && grid_->currentIndex().isValid()) curatedRow_ = grid_->currentIndex().row();
  std::vector<LibraryEntryView> found;
  try {
    found = notes_.WithLibrary(
        [&](sources::ClassicalLibrary& library) { return SearchLibrary(library, text, collection); }, found);
  } catch (const sources::LibraryError& error) {
    // A search that ran past its time finds nothing, and says so.
    emit Said(QString::fromStdString(sources::LibraryFaultText(notes_.LibraryPath(), error)));
  }
  // The texts so named first, then those whose title holds the search, then
  // the poet's, then the rest, each in the library's order.
  const auto rank = [&text](const LibraryEntryView& entry) {
    if (text.isEmpty()) return 0;
    if (entry.title == text) return 0;
    if (entry.title.contains(text)) return 1;
    return entry.author == text ? 2 : 3;
  };
  std::stable_sort(found.begin(), found.end(),
                   [&rank](const LibraryEntryView& a, const LibraryEntryView& b) { return rank(a) < rank(b); });
  results_->SetEntries(std::move(found));
  if (grid_->model() != results_) SetGridModel(results_);
  if (results_->rowCount() > 0) grid_->selectRow(0);
}

int PoemBrowser::Matches() const { return grid_->model() ? grid_->model()->rowCount() : 0; }

void PoemBrowser::SetGridModel(QAbstractItemModel* model) {
  QItemSelectionModel* old = grid_->selectionModel();
  grid_->setModel(model);
  if (old) old->deleteLater();
  connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) { showPoem_(current); });
  for (int column = 0; column < kPoemColumns && column < model->columnCount(); ++column) {
    grid_->setColumnHidden(column, column != kPoemTitleColumn && column != kPoemAuthorColumn);
  }
  grid_->setColumnWidth(kPoemTitleColumn, 120);
  grid_->setColumnWidth(kPoemAuthorColumn, 60);
}

void PoemBrowser::AttachNameLines(PaneView* pane, QPlainTextEdit* poem) {
  pane_ = pane;
  poem_ = poem;
  paneViewport_ = pane->viewport();
  paneViewport_->installEventFilter(this);
}

bool PoemBrowser::eventFilter(QObject* watched, QEvent* event) {
  if (pane_ && watched == paneViewport_ && event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    const QString name = pane_->NameAtPosition(pane_->cursorForPosition(help->pos()).position());
    QString tip;
    if (!name.isEmpty()) {
      const NameLinesView drawn = NameLinesOf(notes_.Tables(), name, poem_->toPlainText());
      const QStringList& lines = drawn.lines;
      if (lines.size() == 1 && !lines[0].isEmpty()) {
        tip = tr("%1 出自：%2").arg(name, lines[0]);
      } else if (!lines.isEmpty()) {
        // No line holds the whole name: the line of each character.
        const QString& chars = drawn.given;
        QStringList each;
        for (qsizetype i = 0; i < lines.size() && i < chars.size(); ++i) {
          if (!lines[i].isEmpty()) each << QString(chars[i]) + "：" + lines[i];
        }
        if (!each.isEmpty()) tip = tr("%1 的字出自：").arg(name) + "\n" + each.join('\n');
      }
    }
    if (tip.isEmpty()) {
      QToolTip::hideText();
    } else {
      QToolTip::showText(help->globalPos(), tip, pane_->viewport());
    }
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace tavrin::ui
