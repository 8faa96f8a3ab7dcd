#include "ui/PoetryPage.h"

#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>

#include <algorithm>

#include "core/lines.h"
#include "core/poetry_db.h"
#include "ui/MessageBox.h"
#include "ui/PaneView.h"
#include "ui/PoemBrowser.h"
#include "ui/PoemPhrasesList.h"

namespace tavrin::ui {

void PoetryPage::BuildTable(QWidget* page, int pageHeight) {
  poemModel_ = new QStandardItemModel(this);
  poems_ = new QTableView(page);
  poems_->setObjectName("DBGrid1");
  poems_->setGeometry(0, kSearchHeight, 217, pageHeight - kSearchHeight);
  poems_->setModel(poemModel_);
  poems_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  poems_->setSelectionBehavior(QAbstractItemView::SelectRows);
  poems_->setSelectionMode(QAbstractItemView::SingleSelection);
  poems_->verticalHeader()->hide();
  poems_->verticalHeader()->setDefaultSectionSize(20);
}

PoetryPage::PoetryPage(QWidget* page, int pageHeight, PaneView* pane, sources::NameNotes& notes, QObject* parent)
    : QObject(parent) {
  BuildTable(page, pageHeight);
  poemText_ = new QPlainTextEdit(page);
  poemText_->setObjectName("DBMemo1");
  poemText_->setGeometry(224, 0, 225, pageHeight);
  poemText_->setLineWrapMode(QPlainTextEdit::NoWrap);
  poemText_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  poemText_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // Between the names and the buttons: a note when the shown poem was cut
  // (core/poetry_db.h).
  auto* cutNote = new QLabel(page);
  cutNote->setObjectName("poemCutNote");
  cutNote->setGeometry(464, 342, 425, 44);
  cutNote->setWordWrap(true);
  const PoemBrowser::ShowPoem showPoem = [this, cutNote](const QModelIndex& current) {
    // The middle pane follows the selected poem; text typed there is
    // used for naming and never written back.
    if (current.isValid() && contentColumn_ >= 0) {
      const QModelIndex content = current.siblingAtColumn(contentColumn_);
      poemText_->setPlainText(content.data().toString());
      cutNote->setText(content.data(Qt::UserRole).toBool()
                           ? tr("这首诗超过 %1 字,中间只显示了前 %1 字").arg(kMaxPoemTextChars)
                           : QString());
    }
  };
  connect(poems_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, showPoem);
  browser_ = new PoemBrowser(poems_, poemModel_, showPoem, notes, page);
  connect(browser_, &PoemBrowser::Said, this, &PoetryPage::said);
  browser_->setGeometry(0, 0, 217, kSearchHeight - 2);
  browser_->AttachNameLines(pane, poemText_);
  pane->setGeometry(464, 0, 425, 337);
  auto* start = AddButton(page, "bsSkinButton3", tr("开 始"), {560, 392, 89, 25});
  auto* help = AddButton(page, "bsSkinButton4", tr("帮 助"), {648, 392, 89, 25});
  connect(start, &QPushButton::clicked, this, &PoetryPage::startRequested);
  connect(help, &QPushButton::clicked, this, [this, help] { ShowHelp(help->window()); });
  // Under the buttons: the poem's own names, after each start.
  phrases_ = new PoemPhrasesList(page);
  phrases_->setGeometry(464, 424, 425, pageHeight - 424);
  connect(phrases_, &PoemPhrasesList::analyseRequested, this, &PoetryPage::analyseRequested);
  SetTabChain({browser_->Field(), browser_->Collections(), poems_, poemText_, start, help, pane, phrases_});
  // The names take the height the window gains; the buttons and the note stay under them.
  followers_ = {{poems_, kTaller | kWider}, {browser_, kWider},        {poemText_, kTaller | kRight},
                {pane, kTaller | kRight},   {cutNote, kDown | kRight}, {start, kDown | kRight},
                {help, kDown | kRight},     {phrases_, kDown | kRight}};
}

void PoetryPage::ShowHelp(QWidget* window) {
  ShowMessage(window, tr("在姓名设置中输入出生日期和姓氏\r在左侧选择诗歌题目\r也可以直接在中间输入诗歌内容\r"
                         "点开始后可以在右边取得姓名列表"));
}

void PoetryPage::Open(const std::string& poetryPath, QWidget* messageParent) {
  browser_->Open();
  if (connected_) return;
  if (!FileExists(poetryPath)) return;  // the next showing of the page tries again
  connected_ = true;
  ReadPoems(poetryPath, messageParent);
}

void PoetryPage::ReadPoems(const std::string& path, QWidget* messageParent) {
  PoemTableView table;
  QString error;
  if (!ReadPoemTable(path, table, error)) {
    ShowMessage(messageParent, error);
    return;
  }
  contentColumn_ = table.contentColumn;
  columns_ = table.columns;
  QStringList headers;
  for (const QString& column : table.columns) headers << PoemColumnCaption(column);
  poemModel_->setHorizontalHeaderLabels(headers);
  for (qsizetype row = 0; row < table.rows.size(); ++row) {
    QList<QStandardItem*> items;
    for (const QString& text : table.rows[row]) items << new QStandardItem(text);
    if (contentColumn_ >= 0)
      items[contentColumn_]->setData(bool(table.cut[static_cast<std::size_t>(row)]), Qt::UserRole);
    poemModel_->appendRow(items);
  }
  for (int column = 0; column < 4 && column < poemModel_->columnCount(); ++column)
    poems_->setColumnHidden(column, true);
  poems_->setColumnWidth(5, 60);
  if (poemModel_->rowCount() > 0) poems_->selectRow(0);
}

void PoetryPage::FitTitles(int wider) {
  if (poemModel_->columnCount() > 4) poems_->setColumnWidth(4, kTitleWidth + std::max(0, wider));
}

std::string PoetryPage::PoemText() const { return CoreTextOf(poemText_); }

PoemOfPhrases PoetryPage::CurrentPoem() const {
  // The selected poem's title, author and collection, for the names' source.
  const QModelIndex current = poems_->currentIndex();
  const auto cell = [&](const char* column) {
    const int at = static_cast<int>(columns_.indexOf(QString::fromLatin1(column)));
    return current.isValid() && at >= 0 ? current.siblingAtColumn(at).data().toString() : QString();
  };
  return PoemOfPage(poemText_->toPlainText(), cell("content"), cell("title"), cell("author"), cell("collection"));
}

std::string PoetryPage::SelectedPoem() const {
  const QModelIndex current = poems_->currentIndex();
  if (!current.isValid()) return {};
  return CoreTextOf(poemModel_->index(current.row(), 4));
}

void PoetryPage::ShowPhrases(const std::vector<PoemPhraseView>& phrases) { phrases_->Show(phrases); }

}  // namespace tavrin::ui
