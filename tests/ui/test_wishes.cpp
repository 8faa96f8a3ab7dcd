// 家人心愿 on 姓名设置 reaches 精选 at once: the line over the list, the
// names that carry the theme first, the kept character in every name, the
// avoided ones in none; kept with the baby's inputs. Offscreen.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>
#include <functional>

#include "core/naming_model.h"
#include "ui/BestModel.h"
#include "ui/BestPage.h"
#include "ui/MainWindow.h"
#include "ui/qtext.h"
#include "window_fixture.h"

using tavrin::test::Find;
using tavrin::ui::BestModel;
using tavrin::ui::BestPage;
using tavrin::ui::MainWindow;

class WishesTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    tavrin::ui::SetMessageHook([](const QString&) {});
  }
  void cleanup() { tavrin::ui::SetMessageHook(nullptr); }

  void rowReachesTheList() {
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName("tavrin-test-wishes");
    QSettings().clear();
    {
      MainWindow window(tavrin::test::WindowStores(), 2);
      window.RememberInputs();
      window.resize(1200, 800);
      window.show();
      Find<QLineEdit>(window, "Edit1")->setText("李");
      Find<QLineEdit>(window, "bsSkinEdit1")->setText("20");
      QTest::mouseClick(Find<QPushButton>(window, "bsSkinButton1"), Qt::LeftButton);
      window.Pages()->setCurrentIndex(9);
      auto& page = *Find<BestPage>(window, "bestPage");
      QVERIFY(page.WishesText().isEmpty());
      const QString before = page.Model().CellText(page.ShownRows().front(), BestModel::kName);

      const struct {
        const char* what;
        std::function<void()> set;
        QString sentence;
        std::function<bool(const QString& given)> everyName;  // of the names shown
      } steps[] = {
          {"a theme", [&] { Find<QComboBox>(window, "wishTheme")->setCurrentText("书香"); }, "家人心愿：书香",
           [](const QString&) { return true; }},
          {"the sibling", [&] { Find<QLineEdit>(window, "wishSibling")->setText("子涵"); }, "家人心愿：书香；哥哥 子涵",
           [](const QString& given) { return given != "子涵"; }},
          {"an avoided character, by its sound too",
           [&] {
             Find<QLineEdit>(window, "wishAvoided")->setText("书");
             Find<QCheckBox>(window, "wishAvoidSounds")->setChecked(true);
           },
           "家人心愿：书香；避讳 书（同音字也避开）；哥哥 子涵",
           [](const QString& given) { return !given.contains("书") && !given.contains("舒"); }},
          {"a kept character",
           [&] {
             Find<QLineEdit>(window, "wishKept")->setText("德");
             Find<QComboBox>(window, "wishKeptAt")->setCurrentIndex(1);
           },
           "家人心愿：书香；辈分字“德”在第二字；避讳 书（同音字也避开）；哥哥 子涵",
           [](const QString& given) { return given.endsWith("德"); }},
      };
      for (const auto& step : steps) {
        window.Pages()->setCurrentIndex(0);
        step.set();
        window.Pages()->setCurrentIndex(9);
        QCOMPARE(page.WishesText(), step.sentence);
        QVERIFY2(page.ShownCount() > 0, step.what);
        for (int row : page.ShownRows()) {
          const QString given = page.Model().CellText(row, BestModel::kName).mid(1);
          QVERIFY2(step.everyName(given), qPrintable(QString(step.what) + " " + given));
        }
      }
      // The details say how the first name meets the wishes.
      page.Table()->selectRow(0);
      QVERIFY2(page.DetailsText().contains("心愿 书香："), qPrintable(page.DetailsText()));
      QVERIFY(page.DetailsText().contains("辈分字“德”在第二字"));
      QVERIFY(page.Model().CellText(page.ShownRows().front(), BestModel::kName) != before);
      window.close();
    }
    // Back at the next start, and what the next run reads.
    MainWindow window(tavrin::test::WindowStores(), 2);
    window.RememberInputs();
    QCOMPARE(Find<QComboBox>(window, "wishTheme")->currentText(), QString("书香"));
    QCOMPARE(Find<QLineEdit>(window, "wishKept")->text(), QString("德"));
    QCOMPARE(Find<QComboBox>(window, "wishKeptAt")->currentIndex(), 1);
    QVERIFY(Find<QCheckBox>(window, "wishAvoidSounds")->isChecked());
    QTest::mouseClick(Find<QPushButton>(window, "bsSkinButton1"), Qt::LeftButton);
    const tavrin::FamilyWishes& wishes = window.Model().Session().wishes;
    QCOMPARE(tavrin::ui::FromGbk(wishes.sibling), QString("子涵"));
    QCOMPARE(wishes.kept.size(), std::size_t(1));
    QCOMPARE(wishes.kept[0].place, 2);
    QSettings().clear();
  }
};

QTEST_MAIN(WishesTest)
#include "test_wishes.moc"
