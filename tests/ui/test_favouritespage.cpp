// Favourites in the window, offscreen: Ctrl+D keeps and drops a name from a
// result pane, the report and the analysis page; the page's in-place edits,
// deletion, comparison, printing and exchange reach the store; a store that
// cannot be opened leaves the window usable.
#include <QAbstractItemModel>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

#include "core/best_names.h"
#include "favourites/store.h"
#include "favourites_fixture.h"
#include "ui/BestModel.h"
#include "ui/BestPage.h"
#include "ui/FavouritesModel.h"
#include "ui/FavouritesPage.h"
#include "ui/MainWindow.h"
#include "ui/PaneView.h"
#include "ui/qtext.h"
#include "window_fixture.h"

using tavrin::Favourite;
using tavrin::FavouritesStore;
using tavrin::GbkText;
using tavrin::Sex;
using tavrin::test::Find;
using tavrin::test::Kept;
using tavrin::test::Select;
using tavrin::ui::FavouritesModel;
using tavrin::ui::FavouritesPage;
using tavrin::ui::FromGbk;
using tavrin::ui::MainWindow;
using tavrin::ui::ToGbk;

class FavouritesPageTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { recorder = std::make_unique<tavrin::test::MessageRecorder>(); }
  void cleanup() { recorder.reset(); }

  // Ctrl+D on each page keeps the name with the sex, date and hour of the
  // run (or analysis) that scored it (精选: the sex of its row), the page's
  // score and origin and the advice 精选 gives the name; again, it drops it.
  // The settings page's hour changed after the run is not taken; an unknown
  // hour is kept as unknown (-1).
  void toggleFromPages_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("hour");
    QTest::addColumn<int>("keptHour");
    QTest::newRow("result pane") << "pane"
                                 << "13" << 13;
    QTest::newRow("report") << "report"
                            << "13" << 13;
    QTest::newRow("analysis") << "analysis"
                              << "13" << 13;
    QTest::newRow("精选") << "best"
                          << "13" << 13;
    QTest::newRow("result pane, hour unknown") << "pane"
                                               << "时辰不详" << -1;
    QTest::newRow("analysis, hour unknown") << "analysis"
                                            << "时辰不详" << -1;
  }
  void toggleFromPages() {
    QFETCH(QString, source);
    QFETCH(QString, hour);
    QFETCH(int, keptHour);
    QTemporaryDir dir;
    MainWindow window(tavrin::test::WindowStores(), 5);
    window.show();
    FavouritesPage& page = *window.Favourites();
    page.SetStore(std::make_unique<FavouritesStore>(dir.filePath("f.db").toStdString()));
    Find<QRadioButton>(window, "bsSkinCheckRadioBox2")->setChecked(true);
    Find<QLineEdit>(window, "bsSkinEdit1")->setText("3");
    Find<QComboBox>(window, "bsSkinComboBox2")->setEditText("6");
    Find<QComboBox>(window, "bsSkinComboBox5")->setEditText(hour);
    QTest::mouseClick(Find<QPushButton>(window, "bsSkinButton1"), Qt::LeftButton);
    if (source != "analysis") Find<QComboBox>(window, "bsSkinComboBox5")->setEditText("2");

    QString name;
    int score = -1;
    QWidget* target = nullptr;
    QString origin;
    if (source == "pane") {
      window.Pages()->setCurrentIndex(2);
      auto* pane = Find<tavrin::ui::PaneView>(window, "Memo3");
      const QTextBlock block = pane->document()->firstBlock();
      const int second = block.text().indexOf("   ") + 3;
      QTextCursor cursor(block);
      cursor.setPosition(block.position() + second + 1);
      pane->setTextCursor(cursor);
      const tavrin::Candidate* candidate = pane->CandidateAtCursor();
      QVERIFY(candidate);
      name = FromGbk(candidate->fullName);
      score = candidate->score;
      origin = FromGbk(tavrin::OriginCaption(candidate->origin));
      target = pane;
    } else if (source == "report") {
      window.Pages()->setCurrentIndex(7);
      auto* table = Find<QTableView>(window, "ListView1");
      table->setCurrentIndex(table->model()->index(1, 0));
      const tavrin::Candidate& candidate = window.Model().Report().Rows()[1].candidate;
      name = FromGbk(candidate.fullName);
      score = candidate.score;
      origin = FromGbk(tavrin::OriginCaption(candidate.origin));
      target = table;
    } else if (source == "best") {
      window.Pages()->setCurrentIndex(9);
      auto* best = Find<tavrin::ui::BestPage>(window, "bestPage");
      best->FinishSources();
      best->Table()->setCurrentIndex(best->Table()->model()->index(0, 0));
      const auto& candidate = best->Model().Names().CandidateAt(static_cast<std::size_t>(best->CurrentRow()));
      name = FromGbk(candidate.fullName);
      score = candidate.score;
      origin = FromGbk(tavrin::OriginCaption(candidate.origin));
      target = best->Table();
      // The row is a girl's: the settings page's sex no longer counts.
      Find<QRadioButton>(window, "bsSkinCheckRadioBox1")->setChecked(true);
    } else {
      Find<QLineEdit>(window, "bsSkinEdit2")->setText("张伟");
      // The analysis page's own birth fields, not the settings page's.
      Find<QComboBox>(window, "bsSkinComboBox2")->setEditText("3");
      Find<QComboBox>(window, "bsSkinComboBox6")->setEditText("6");
      Find<QComboBox>(window, "bsSkinComboBox8")->setEditText(hour);
      window.Pages()->setCurrentIndex(6);
      QTest::mouseClick(Find<QPushButton>(window, "bsSkinButton2"), Qt::LeftButton);
      name = "张伟";
      origin = "姓名分析";
      target = Find<QLineEdit>(window, "bsSkinEdit2");
    }
    QVERIFY(!name.isEmpty());
    target->setFocus();
    QTest::keyClick(target, Qt::Key_D, Qt::ControlModifier);
    const auto kept = page.Store()->Find(GbkText(ToGbk(name)), Sex::kFemale);
    QVERIFY2(kept, qPrintable(source + " " + name));
    QCOMPARE(std::tuple(kept->year, kept->month, kept->day, kept->hour), std::tuple(2012, 6, 1, keptHour));
    QCOMPARE(FromGbk(kept->origin), origin);
    if (score >= 0) QCOMPARE(kept->score, score);
    QVERIFY(kept->score > 0);
    // The advice kept is 精选's for the name, whichever page kept it.
    QVERIFY(kept->advice);
    const QJsonObject advice = QJsonDocument::fromJson(QByteArray::fromStdString(kept->advice->json.Bytes())).object();
    QCOMPARE(advice.value("name").toString(), name);
    QCOMPARE(advice.value("sex").toString(), QString("female"));
    auto* best = Find<tavrin::ui::BestPage>(window, "bestPage");
    best->FinishSources();
    const tavrin::BestNames& names = best->Model().Names();
    for (std::size_t i = 0; i < names.Size(); ++i) {
      if (FromGbk(names.CandidateAt(i).fullName) == name) {
        QCOMPARE(advice.value("recommend").toInt(-1), names.AdviceAt(i).recommend);
        QCOMPARE(advice.value("warnings").toArray().size(), static_cast<qsizetype>(names.AdviceAt(i).warnings.size()));
        // The window reads the same from the columns the store keeps.
        QCOMPARE(kept->advice->recommend, names.AdviceAt(i).recommend);
        QCOMPARE(kept->advice->warnings.size(), names.AdviceAt(i).warnings.size());
      }
    }
    QVERIFY(advice.value("recommend").isDouble());
    // Kept, and said so: a note at the bottom of the window, a star before
    // the name on 精选.
    const auto starred = [&] {
      int stars = 0;
      for (std::size_t i = 0; i < names.Size(); ++i) {
        const QModelIndex cell = best->Model().index(static_cast<int>(i), tavrin::ui::BestModel::kName);
        if (FromGbk(names.CandidateAt(i).fullName) == name && names.AdviceAt(i).sex == tavrin::Sex::kFemale)
          stars += cell.data(Qt::DecorationRole).isValid() ? 1 : -1000;
      }
      return stars;
    };
    auto* note = Find<QLabel>(window, "statusNote");
    QVERIFY(note->isVisible());
    QVERIFY2(note->text().contains("已收藏“" + name + "”"), qPrintable(note->text()));
    QVERIFY(starred() >= (source == "best" ? 1 : 0));
    QMenu menu;
    page.AddMenuEntry(menu, tavrin::ui::Keepable{ToGbk(name), {}, {}, {}, Sex::kFemale});
    QCOMPARE(menu.actions().front()->text(), QString("★ 取消收藏"));
    QCOMPARE(page.Model().rowCount(), 1);

    QTest::keyClick(target, Qt::Key_D, Qt::ControlModifier);
    QVERIFY(!page.Store()->Find(GbkText(ToGbk(name)), Sex::kFemale));
    QCOMPARE(page.Model().rowCount(), 0);
    QVERIFY2(note->text().contains("已取消收藏“" + name + "”"), qPrintable(note->text()));
    QVERIFY(starred() <= 0);
    QVERIFY2(recorder->texts.isEmpty(), qPrintable(recorder->texts.join('|')));
  }

  // Rating and note edited in place persist; Delete asks, and removes only on yes.
  void pageEdits() {
    QTemporaryDir dir;
    const std::string path = dir.filePath("f.db").toStdString();
    MainWindow window(tavrin::test::WindowStores(), 1);
    FavouritesPage& page = *window.Favourites();
    page.SetStore(std::make_unique<FavouritesStore>(path));
    for (const Favourite& f : {Kept("张伟", 80), Kept("李明", 90), Kept("王芳", 70)}) page.Store()->Save(f);
    page.Refresh();
    QAbstractItemModel* shown = page.Table()->model();
    QCOMPARE(shown->rowCount(), 3);
    shown->sort(FavouritesModel::kScore, Qt::DescendingOrder);
    QCOMPARE(shown->index(0, FavouritesModel::kName).data().toString(), QString("李明"));
    QVERIFY(shown->setData(shown->index(0, FavouritesModel::kRating), 4));
    QVERIFY(!shown->setData(shown->index(0, FavouritesModel::kRating), 6));
    QVERIFY(shown->setData(shown->index(0, FavouritesModel::kNote), "外婆喜欢"));
    QVERIFY(!shown->setData(shown->index(0, FavouritesModel::kScore), 100));
    QCOMPARE(shown->index(0, FavouritesModel::kRating).data().toString(), QString("★★★★☆"));
    // The count and the empty table's hint follow the filter.
    auto* count = Find<QLabel>(window, "favouritesCount");
    auto* hint = page.Table()->findChild<QLabel*>("emptyHint");
    const struct {
      const char* characters;
      int rows;
      bool hinted;
    } filters[] = {{"王 张", 2, false}, {"赵", 0, true}, {"", 3, false}};
    for (const auto& f : filters) {
      Find<QLineEdit>(window, "favouritesCharacters")->setText(f.characters);
      QCOMPARE(shown->rowCount(), f.rows);
      QCOMPARE(count->text(), QString("显示 %1 / 共 3 个收藏").arg(f.rows));
      QCOMPARE(!hint->isHidden(), f.hinted);
      if (f.hinted) QVERIFY2(hint->text().startsWith("没有收藏符合筛选条件"), qPrintable(hint->text()));
    }

    {
      FavouritesStore again(path);
      const auto liming = again.Find(GbkText(ToGbk("李明")), Sex::kMale);
      QVERIFY(liming);
      QCOMPARE(liming->rating, 4);
      QCOMPARE(FromGbk(liming->note), QString("外婆喜欢"));
      again.Save(Kept("赵云", 60));  // another program adds one
    }
    window.Pages()->setCurrentWidget(&page);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(page.Model().rowCount(), 4);  // shown again: read again

    for (const bool yes : {false, true}) {
      QStringList asked;
      page.SetConfirm([&](QWidget*, const QString& question) {
        asked << question;
        return yes;
      });
      Select(page, {"张伟", "王芳"});
      page.Table()->setFocus();
      QTest::keyClick(page.Table(), Qt::Key_Delete);
      QCOMPARE(asked.size(), 1);
      QVERIFY(asked.front().contains("张伟、王芳"));
      QCOMPARE(page.Store()->List().size(), yes ? 2u : 4u);
    }
    QVERIFY(recorder->texts.isEmpty());
  }

  // A favourite's stored texts (an imported poem) are shown in its tip as
  // they are, never as HTML: an image tag loads nothing.
  void storedTextsAreShownAsText() {
    QTemporaryDir dir;
    MainWindow window(tavrin::test::WindowStores(), 1);
    FavouritesPage& page = *window.Favourites();
    page.SetStore(std::make_unique<FavouritesStore>(dir.filePath("f.db").toStdString()));
    for (const QString poem : {"<img src=\"file:///usr/share/pixmaps/debian-logo.png\">静女", "<b>关关</b>&amp;"}) {
      Favourite kept = Kept("张伟", 80);
      kept.poem = GbkText(ToGbk(poem));
      page.Store()->Save(kept);
      page.Refresh();
      QTextDocument shown;
      shown.setHtml(page.Model().index(0, FavouritesModel::kName).data(Qt::ToolTipRole).toString());
      QVERIFY2(shown.toPlainText().endsWith("二字名 · " + poem), qPrintable(shown.toPlainText()));
    }
  }

  // Compare shows two to four names side by side; print writes the table (on
  // a second page when four names make it longer than one) and one page per
  // name; an exported file imported elsewhere merges.
  void compareAndPrint_data() {
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<bool>("compares");
    QTest::addColumn<int>("tablePages");
    QTest::newRow("one") << QStringList{"张伟"} << false << 1;
    QTest::newRow("two") << QStringList{"张伟", "李明"} << true << 1;
    QTest::newRow("four") << QStringList{"张伟", "李明", "王芳", "赵云"} << true << 2;
    QTest::newRow("five") << QStringList{"张伟", "李明", "王芳", "赵云", "孙丽"} << false << 2;
  }
  void compareAndPrint() {
    QFETCH(QStringList, names);
    QFETCH(bool, compares);
    QFETCH(int, tablePages);
    QTemporaryDir dir;
    MainWindow window(tavrin::test::WindowStores(), 1);
    FavouritesPage& page = *window.Favourites();
    page.SetStore(std::make_unique<FavouritesStore>(dir.filePath("f.db").toStdString()));
    int day = 1;
    for (const QString name : {"张伟", "李明", "王芳", "赵云", "孙丽"}) page.Store()->Save(Kept(name, 80, day++));
    page.Refresh();
    Select(page, names);
    QCOMPARE(page.SelectedRows().size(), static_cast<std::size_t>(names.size()));

    QCOMPARE(Find<QPushButton>(window, "favouritesCompare")->isEnabled(), compares);
    // Greyed out for five, the button says why.
    QCOMPARE(Find<QPushButton>(window, "favouritesCompare")->toolTip().startsWith("最多比较 4 个名字,现在选了 5 个"),
             names.size() > 4);
    QDialog* dialog = page.Compare();
    QCOMPARE(dialog != nullptr, compares);
    QCOMPARE(recorder->texts.size(), compares ? 0 : 1);
    if (dialog) {
      auto* table = Find<QTableWidget>(*dialog, "comparisonTable");
      QStringList shown, rows;
      for (int c = 0; c < table->columnCount(); ++c) shown << table->horizontalHeaderItem(c)->text();
      QCOMPARE(shown, names);
      for (int r = 0; r < table->rowCount(); ++r) rows << table->verticalHeaderItem(r)->text();
      for (const char* row : {"四柱", "八字五行", "名字五行", "天格", "总格", "分数", "通行评分", "字义"}) {
        QVERIFY2(rows.contains(row), row);
      }
      // 李明: what 明 means, with no warning mixed in.
      const QString meanings = table->item(static_cast<int>(rows.indexOf("字义")), 1)->text();
      QVERIFY2(meanings.startsWith("明（míng）"), qPrintable(meanings));
      // 李明 was kept for 2012-3-2, 8 o'clock: its own chart, not another's.
      const int second = static_cast<int>(rows.indexOf("四柱"));
      QVERIFY(table->item(second, 0)->text() != table->item(second, 1)->text());
      dialog->close();
    }

    recorder->texts.clear();
    const QString pdf = dir.filePath("favourites.pdf");
    QVERIFY(page.Print(pdf));
    QCOMPARE(recorder->texts, QStringList{"已保存到 " + QDir::toNativeSeparators(pdf)});
    const auto pageCount = [](const QString& file) {
      QProcess info;
      info.start("pdfinfo", {file});
      info.waitForFinished(20000);
      const QRegularExpressionMatch pages =
          QRegularExpression("Pages:\\s+(\\d+)\\n").match(QString::fromUtf8(info.readAllStandardOutput()));
      return pages.hasMatch() ? pages.captured(1).toInt() : -1;
    };
    QCOMPARE(pageCount(pdf), names.size() + tablePages);
    // The same pages on a printer, here one that prints into a file.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("printed.pdf"));
    QVERIFY(page.PrintTo(printer));
    QCOMPARE(pageCount(printer.outputFileName()), names.size() + tablePages);

    // Export, then import into a store that holds one of them changed and one other.
    const QString json = dir.filePath("favourites.json");
    QVERIFY(page.ExportJson(json));
    page.SetStore(std::make_unique<FavouritesStore>(dir.filePath("other.db").toStdString()));
    page.Store()->Save(Kept("周杰", 75));
    QVERIFY(page.ImportJson(json));
    QCOMPARE(page.Model().rowCount(), 6);
    QVERIFY2(recorder->texts.last().contains("新增 5 个"), qPrintable(recorder->texts.last()));
    QVERIFY(!page.ImportJson(pdf));  // not JSON: refused, nothing changed
    QCOMPARE(page.Store()->List().size(), 6u);
  }

  // A store that cannot be opened is told once; the window goes on, and
  // keeping a name then says why it cannot.
  void storeFault() {
    QTemporaryDir dir;
    qputenv(tavrin::kFavouritesVariable, QFile::encodeName(dir.path()));  // a directory, not a file
    MainWindow window(tavrin::test::WindowStores(), 1);
    window.OpenFavourites();
    qunsetenv(tavrin::kFavouritesVariable);
    QCOMPARE(recorder->texts.size(), 1);
    QVERIFY(recorder->texts.front().contains(dir.path()));
    QVERIFY(!window.Favourites()->Store());
    QVERIFY(!window.Favourites()->Toggle({ToGbk("张伟"), 80, {}, {}, {}}));
    QCOMPARE(recorder->texts.size(), 2);
    QCOMPARE(window.Favourites()->Model().rowCount(), 0);
  }

 private:
  std::unique_ptr<tavrin::test::MessageRecorder> recorder;
};

QTEST_MAIN(FavouritesPageTest)
#include "test_favouritespage.moc"
