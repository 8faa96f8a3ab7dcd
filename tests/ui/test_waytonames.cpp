// The way a parent finds the names: 查看精选 with its count after a run, the
// same way in the status line, the first-run guide once, the help page.
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

 private:
  std::unique_ptr<tavrin::test::MessageRecorder> hook;
};

QTEST_MAIN(WayToNamesTest)
#include "test_waytonames.moc"
