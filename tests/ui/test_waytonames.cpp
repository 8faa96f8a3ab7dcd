// The way a parent finds the names: 查看精选 with its count after a run, the
// same way in the status line, the first-run guide once, the help page.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTextBrowser>
#include <QtTest>
#include <cstdlib>

#include "favourites/store.h"
#include "ui/BestPage.h"
#include "ui/Guide.h"
#include "ui/MainWindow.h"
#include "ui/PaneView.h"
#include "window_fixture.h"

using tavrin::test::Find;
using tavrin::ui::MainWindow;

class WayToNamesTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName("tavrin-test-guide");
  }
  void init() { hook = std::make_unique<tavrin::test::MessageRecorder>(); }
  void cleanup() {
    hook.reset();
    QSettings().clear();
  }

  // The button appears once a run or a poetry run has ended, counts the
  // names 精选 shows and opens it; the status line says the same.
  void bestButtonAfterARun_data() {
    QTest::addColumn<bool>("poetry");
    QTest::newRow("生成") << false;
    QTest::newRow("诗歌取名") << true;
  }
  void bestButtonAfterARun() {
    QFETCH(bool, poetry);
    MainWindow window(tavrin::test::WindowStores(), 5);
    window.show();
    auto* button = Find<QPushButton>(window, "showBest");
    auto* hint = Find<QLabel>(window, "bestHint");
    QVERIFY(button->isHidden() && hint->text().isEmpty());
    Find<QLineEdit>(window, "bsSkinEdit1")->setText("10");
    if (poetry) {
      window.Pages()->setCurrentIndex(8);
      QTest::mouseClick(Find<QPushButton>(window, "bsSkinButton3"), Qt::LeftButton);
      window.Pages()->setCurrentIndex(0);
    } else {
      QTest::mouseClick(Find<QPushButton>(window, "bsSkinButton1"), Qt::LeftButton);
    }
    QVERIFY(button->isVisible());
    const int shown = window.findChild<tavrin::ui::BestPage*>()->ShownCount();
    QVERIFY(shown > 0);
    QCOMPARE(button->text(), QString("查看精选 (%1)").arg(shown));
    QVERIFY2(hint->isVisible() && hint->text().contains(QString("精选页有 %1 个名字").arg(shown)),
             qPrintable(hint->text()));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(window.Pages()->currentWidget()->objectName(), QString("精选"));
  }

  // The guide at the first start only, its last step closes it; 帮助 opens
  // a page that begins with the three steps, says what the three numbers
  // are and where favourites are kept, and opens the guide again.
  void guideOnceAndHelp() {
    {
      MainWindow window(tavrin::test::WindowStores(), 1);
      window.show();
      QVERIFY(window.ShowGuideOnce());
      auto* guide = window.findChild<tavrin::ui::FirstRunGuide*>();
      QVERIFY(guide && guide->isVisible());
      for (int step = 1; step <= guide->StepCount(); ++step) Find<QPushButton>(*guide, "guideNext")->click();
      QVERIFY(!guide->isVisible());
    }
    MainWindow window(tavrin::test::WindowStores(), 1);
    window.show();
    QVERIFY(!window.ShowGuideOnce());
    QVERIFY(!window.findChild<tavrin::ui::FirstRunGuide*>());
    QTest::mouseClick(Find<QPushButton>(window, "bsSkinButton5"), Qt::LeftButton);
    QVERIFY(hook->texts.isEmpty());
    const QString text = Find<QTextBrowser>(window, "helpText")->toPlainText();
    QVERIFY(text.indexOf("先设置宝宝姓氏") < text.indexOf("设置宝宝生日"));
    for (const char* term : {"推荐度", "分数", "通行评分", "精选", "收藏"}) QVERIFY2(text.contains(term), term);
    const std::string kept = tavrin::DefaultFavouritesPath([](const char* name) { return std::getenv(name); });
    QVERIFY(text.contains(QString::fromStdString(kept)));
    Find<QPushButton>(window, "helpGuide")->click();
    QVERIFY(window.findChild<tavrin::ui::FirstRunGuide*>());
  }

  // A list left empty says why and what to do: before the first run what it
  // will hold, after a run the reason (a compound surname with 时辰不详 gives
  // no name above 70 for the report; a boy's 系统推荐名 for 欧阳 is empty
  // because 阳 is a girl's character), and a filter that hides every row.
  void emptyListsSayWhy_data() {
    QTest::addColumn<QString>("surname");
    QTest::addColumn<QString>("hour");  // empty: no run
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");  // report's hint, then 系统推荐名's, 精选's, 收藏's
    QTest::newRow("before a run") << "" << "" << ""
                                  << QStringList{"还没有名字", "还没有名字", "还没有名字", "还没有收藏"};
    QTest::newRow("欧阳, hour unknown") << "欧阳" << "时辰不详" << ""
                                        << QStringList{"时辰不详时八字只有六个字", "女孩常用字", "", "还没有收藏"};
    QTest::newRow("欧阳 at 17") << "欧阳" << "17" << "" << QStringList{"", "女孩常用字", "", "还没有收藏"};
    QTest::newRow("a filter hides all") << "张" << "17" << "魑"
                                        << QStringList{"没有名字符合筛选条件", "", "", "还没有收藏"};
  }
  void emptyListsSayWhy() {
    QFETCH(QString, surname);
    QFETCH(QString, hour);
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    qputenv(tavrin::kFavouritesVariable, QFile::encodeName(dir.filePath("favourites.db")));
    MainWindow window(tavrin::test::WindowStores(), 3);
    window.resize(1100, 700);
    window.show();
    window.OpenFavourites();
    if (!hour.isEmpty()) {
      Find<QLineEdit>(window, "Edit1")->setText(surname);
      const char* const combos[] = {"bsSkinComboBox1", "bsSkinComboBox2", "bsSkinComboBox3", "bsSkinComboBox5"};
      const QStringList birth{"2025", "12", "1", hour};
      for (int i = 0; i < 4; ++i) Find<QComboBox>(window, combos[i])->setCurrentText(birth[i]);
      QTest::mouseClick(Find<QPushButton>(window, "bsSkinButton1"), Qt::LeftButton);
    }
    if (!filter.isEmpty()) {
      for (auto* chars : window.findChildren<QLineEdit*>()) {
        if (chars->placeholderText().startsWith("输入几个字")) chars->setText(filter);
      }
    }
    // The hint of each list, or the empty text when none is shown.
    const auto hintOf = [&window](const char* page) {
      for (auto* hint : window.Pages()->findChild<QWidget*>(page)->findChildren<QLabel*>("emptyHint")) {
        if (!hint->isHidden()) return hint->text();
      }
      return QString();
    };
    auto* recommended = window.Pages()->findChild<QWidget*>("系统推荐名")->findChild<tavrin::ui::PaneView*>();
    const QStringList found{hintOf("姓名报表"),
                            recommended->document()->isEmpty() ? recommended->placeholderText() : QString(),
                            hintOf("精选"), hintOf("收藏")};
    for (int i = 0; i < expected.size(); ++i) {
      QVERIFY2(expected[i].isEmpty() ? found[i].isEmpty() : found[i].contains(expected[i]), qPrintable(found[i]));
    }
    qunsetenv(tavrin::kFavouritesVariable);
  }

 private:
  std::unique_ptr<tavrin::test::MessageRecorder> hook;
};

QTEST_MAIN(WayToNamesTest)
#include "test_waytonames.moc"
