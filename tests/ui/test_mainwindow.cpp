#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "core/startup.h"
#include "report/qt_translations.h"
#include "ui/MainWindow.h"
#include "ui/PaneView.h"
#include "ui/qtext.h"
#include "window_fixture.h"

using tavrin::ui::MainWindow;

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void captionSizeAndPages() {
    MainWindow window(tavrin::StartUp(tavrin::FindDataDir()), 1);
    QCOMPARE(window.windowTitle(), QString("Tavrin 1.13"));
    QCOMPARE(window.size(), QSize(901, 532));
    QVERIFY(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    QCOMPARE(window.minimumSize(), QSize(901, 532));
    QVERIFY(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(window.windowFlags() & Qt::WindowCloseButtonHint);
    const QStringList expected = {"姓名设置",     "二字名",   "三字名",   "部首有五行", "系统推荐名",
                                  "系统推荐名二", "姓名分析", "姓名报表", "诗歌取名",   "精选"};
    // The ten pages first; the pages added beside them after.
    QCOMPARE(window.Pages()->count(), expected.size() + 1);
    for (int i = 0; i < expected.size(); ++i) QCOMPARE(window.Pages()->tabText(i), expected[i]);
    QCOMPARE(window.Pages()->tabText(expected.size()), QString("收藏"));
    QCOMPARE(window.Pages()->currentIndex(), 0);
  }

  void startupFailuresNameTheFile() {
    QTemporaryDir empty;
    MainWindow window(tavrin::StartUp(empty.path().toStdString() + "/"), 1);
    const QStringList messages = window.StartupMessages();
    QCOMPARE(messages.size(), 4);
    QVERIFY(messages[0].contains("tj.dat"));
    QVERIFY(messages[2].contains("男.dat"));
    QVERIFY(messages[3].contains("女.dat"));
    QVERIFY2(messages[0].startsWith("无法打开文件“") && messages[0].endsWith("”:文件不存在"), qPrintable(messages[0]));
  }

  // Qt's own buttons and menus speak Chinese like the window.
  void qtTextsInChinese() {
    QVERIFY2(tavrin::report::LoadQtTranslations(*QCoreApplication::instance()),
             "qtbase_zh_CN.qm missing (Debian: qt6-translations-l10n)");
    QMessageBox box(QMessageBox::NoIcon, "", "", QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QVERIFY2(box.button(QMessageBox::Yes)->text().startsWith("是"), qPrintable(box.button(QMessageBox::Yes)->text()));
    QVERIFY(box.button(QMessageBox::No)->text().startsWith("否"));
    QVERIFY(box.button(QMessageBox::Cancel)->text().startsWith("取消"));
    QLineEdit edit("张");
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList entries;
    for (const QAction* action : menu->actions()) entries << action->text();
    QVERIFY2(entries.join('|').contains("复制") && entries.join('|').contains("全选"), qPrintable(entries.join('|')));
  }

  void gbkTextCrossesTheEdge() {
    QCOMPARE(tavrin::ui::FromGbk("\xD5\xC5\xC8\xFD"), QString("张三"));
    QCOMPARE(tavrin::ui::ToGbk("张三"), std::string("\xD5\xC5\xC8\xFD"));
    // A character GBK lacks (an emoji) becomes "?", so the fields' checks see it.
    QCOMPARE(tavrin::ui::ToGbk(QString("张") + QChar(0xD83D) + QChar(0xDE00)), std::string("\xD5\xC5?"));
  }

  // Beyond its client size the panes keep their width of 105 columns and
  // grow taller, showing the same rows; the tables grow both ways.
  void growsWithTheWindow_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("smallest") << QSize(901, 532);
    QTest::newRow("taller") << QSize(901, 900);
    QTest::newRow("wider and taller") << QSize(1500, 1000);
  }
  void growsWithTheWindow() {
    QFETCH(QSize, size);
    using tavrin::test::Find;
    MainWindow window(tavrin::test::WindowStores(), 5);
    window.show();
    Find<QLineEdit>(window, "bsSkinEdit1")->setText("20");
    QTest::mouseClick(Find<QPushButton>(window, "bsSkinButton1"), Qt::LeftButton);
    auto* pane = Find<tavrin::ui::PaneView>(window, "Memo3");
    const int rows = pane->DisplayedRows();
    QVERIFY(rows > 0);
    window.resize(size);
    const int wider = size.width() - 901, taller = size.height() - 532;
    QCOMPARE(window.size(), size);
    QCOMPARE(pane->geometry(), QRect(16, 16, 865, 433 + taller));
    QCOMPARE(pane->DisplayedRows(), rows);
    // The status line and the poem grid end at the foot of the page (501 high).
    QCOMPARE(Find<QLabel>(window, "bsSkinStdLabel9")->y(), 483 + taller);
    // After a run the summary pane ends over the line of the baby's needs.
    QCOMPARE(Find<QWidget>(window, "Memo1")->geometry(), QRect(16, 168, 865, 313 - 20 + taller));
    QCOMPARE(Find<QLabel>(window, "readingHint")->y(), 463 + taller);
    QCOMPARE(Find<QWidget>(window, "Memo4")->geometry(), QRect(16, 144, 865, 353 + taller));
    QCOMPARE(Find<QWidget>(window, "Memo7")->geometry(), QRect(464 + wider, 0, 425, 337 + taller));
    QCOMPARE(Find<QWidget>(window, "bsSkinButton3")->pos(), QPoint(560 + wider, 392 + taller));
    QCOMPARE(Find<QTableView>(window, "DBGrid1")->size(), QSize(217 + wider, 475 + taller));
    QCOMPARE(Find<QWidget>(window, "DBMemo1")->x(), 224 + wider);
    for (const char* table : {"ListView1", "favouritesTable"}) {
      QWidget* page = Find<QTableView>(window, table);
      while (window.Pages()->indexOf(page) < 0) page = page->parentWidget();
      window.Pages()->setCurrentWidget(page);
      QCOMPARE(Find<QTableView>(window, table)->width(), window.Pages()->currentWidget()->width());
    }
  }

  // The size, the place and the page are kept from one window to the next;
  // the inputs only when asked for (RememberInputs).
  void remembersSizeAndPage() {
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName("tavrin-test");
    QSettings().clear();
    {
      MainWindow window(tavrin::test::WindowStores(), 1);
      window.RememberGeometry();
      window.show();
      // Taller only: a restored window is fitted into the screen, and the
      // offscreen screen of some Qt versions is narrower than the window.
      window.resize(901, 600);
      window.Pages()->setCurrentIndex(7);
      window.close();
    }
    MainWindow window(tavrin::test::WindowStores(), 1);
    window.RememberGeometry();
    QCOMPARE(window.size(), QSize(901, 600));
    QCOMPARE(window.Pages()->currentIndex(), 7);
    QCOMPARE(QSettings().allKeys().size(), 2);
    QSettings().clear();
  }

  // The baby's inputs on 姓名设置 come back at the next start.
  void remembersTheBaby_data() {
    QTest::addColumn<QStringList>("texts");  // surname, count, year, month, day, hour
    QTest::addColumn<bool>("female");
    QTest::addColumn<bool>("options");  // both fixed characters and 声韵按整项比较
    QTest::newRow("a girl, 17时") << QStringList{"林", "20", "2025", "12", "1", "17"} << true << false;
    QTest::newRow("a boy, hour unknown, options")
        << QStringList{"欧阳", "300", "2024", "2", "29", "时辰不详"} << false << true;
    QTest::newRow("a year typed beyond the list") << QStringList{"王", "500", "2041", "1", "1", "0"} << true << false;
  }
  void remembersTheBaby() {
    QFETCH(QStringList, texts);
    QFETCH(bool, female);
    QFETCH(bool, options);
    using tavrin::test::Find;
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName("tavrin-test");
    QSettings().clear();
    const char* const fields[] = {"Edit1", "bsSkinEdit1"};
    const char* const combos[] = {"bsSkinComboBox1", "bsSkinComboBox2", "bsSkinComboBox3", "bsSkinComboBox5"};
    {
      MainWindow window(tavrin::test::WindowStores(), 1);
      window.RememberInputs();
      for (int i = 0; i < 2; ++i) Find<QLineEdit>(window, fields[i])->setText(texts[i]);
      for (int i = 0; i < 4; ++i) Find<QComboBox>(window, combos[i])->setEditText(texts[i + 2]);
      Find<QRadioButton>(window, female ? "bsSkinCheckRadioBox2" : "bsSkinCheckRadioBox1")->setChecked(true);
      for (const char* box : {"CheckRadioBox3", "CheckRadioBox4", "wholeItemSound"})
        Find<QCheckBox>(window, box)->setChecked(options);
      Find<QLineEdit>(window, "bsSkinEdit3")->setText(options ? "子" : "");
      window.close();
    }
    MainWindow window(tavrin::test::WindowStores(), 1);
    window.RememberInputs();
    for (int i = 0; i < 2; ++i) QCOMPARE(Find<QLineEdit>(window, fields[i])->text(), texts[i]);
    for (int i = 0; i < 4; ++i) QCOMPARE(Find<QComboBox>(window, combos[i])->currentText(), texts[i + 2]);
    QCOMPARE(Find<QRadioButton>(window, "bsSkinCheckRadioBox2")->isChecked(), female);
    QCOMPARE(Find<QRadioButton>(window, "bsSkinCheckRadioBox1")->isChecked(), !female);
    for (const char* box : {"CheckRadioBox3", "CheckRadioBox4", "wholeItemSound"})
      QCOMPARE(Find<QCheckBox>(window, box)->isChecked(), options);
    QCOMPARE(Find<QLineEdit>(window, "bsSkinEdit3")->text(), QString(options ? "子" : ""));
    QCOMPARE(Find<QComboBox>(window, "bsSkinComboBox4")->currentText(), texts[2]);  // 姓名分析 follows
    // 姓名分析's name starts as the baby's surname; its PDF, before any 生成,
    // is scored against the chart of the birth it prints.
    QCOMPARE(Find<QLineEdit>(window, "bsSkinEdit2")->text(), texts[0]);
    Find<QLineEdit>(window, "bsSkinEdit2")->setText(texts[0] + "明");
    QTest::mouseClick(Find<QPushButton>(window, "bsSkinButton2"), Qt::LeftButton);
    QTemporaryDir dir;
    tavrin::test::MessageRecorder saved;
    QVERIFY(window.ExportAnalysisPdf(dir.filePath("a.pdf")));
    QProcess text;
    text.start("pdftotext", {dir.filePath("a.pdf"), "-"});
    const QByteArray printed = text.waitForFinished(30000) ? text.readAllStandardOutput() : QByteArray();
    QVERIFY(printed.contains((texts[0] + "明").toUtf8()) && !printed.contains("还没有八字"));
    QSettings().clear();
  }

  // 姓名分析 takes the baby's birth from 姓名设置 until its own fields are
  // changed, and says which birth it uses.
  void analysisUsesTheBabysBirth() {
    using tavrin::test::Find;
    MainWindow window(tavrin::test::WindowStores(), 1);
    const auto set = [&window](const char* name, const QString& text) {
      Find<QComboBox>(window, name)->setEditText(text);
    };
    auto* note = Find<QLabel>(window, "analysisBirthNote");
    set("bsSkinComboBox1", "2025");
    set("bsSkinComboBox2", "12");
    set("bsSkinComboBox5", "17");
    QVERIFY2(note->text().contains("宝宝的生日") && note->text().contains("2025年12月1日 17时"),
             qPrintable(note->text()));
    QVERIFY(window.AnalysisFollowsBaby());
    Find<QLineEdit>(window, "bsSkinEdit2")->setText("林悦然");
    QTest::mouseClick(Find<QPushButton>(window, "bsSkinButton2"), Qt::LeftButton);
    // 2025-12-01 17:00 is 乙巳年 丁亥月 甲辰日 癸酉时, not the page's old 2012-1-1.
    const QString text = Find<tavrin::ui::PaneView>(window, "Memo4")->toPlainText();
    QVERIFY2(text.contains("乙巳年 丁亥月 甲辰日"), qPrintable(text.left(200)));

    // Its own hour: kept while the baby's changes, and said so.
    set("bsSkinComboBox8", "3");
    QVERIFY(!window.AnalysisFollowsBaby());
    set("bsSkinComboBox3", "2");
    QCOMPARE(Find<QComboBox>(window, "bsSkinComboBox7")->currentText(), QString("1"));
    QVERIFY2(note->text().contains("本页输入的生日 2025年12月1日 3时"), qPrintable(note->text()));
    // The baby's birth it names is the one on 姓名设置 now.
    QVERIFY2(note->text().contains("不是宝宝的 2025年12月2日 17时"), qPrintable(note->text()));
    // The link in the note goes back to the baby's.
    emit note->linkActivated("baby");
    QVERIFY(window.AnalysisFollowsBaby());
    QCOMPARE(Find<QComboBox>(window, "bsSkinComboBox7")->currentText(), QString("2"));
    QCOMPARE(Find<QComboBox>(window, "bsSkinComboBox8")->currentText(), QString("17"));
  }
};

QTEST_MAIN(MainWindowTest)
#include "test_mainwindow.moc"
