// 出生地 and 交节 on 姓名设置: the place is kept with the baby's inputs and
// reaches the chart's inputs; the term's side is offered only while the
// chart cannot place the birth against the term, and moves the run's month
// pillar; 精选 and 姓名分析 say how the chart was read. Offscreen.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>

#include "core/naming_model.h"
#include "ui/BestModel.h"
#include "ui/BestPage.h"
#include "ui/MainWindow.h"
#include "ui/PaneView.h"
#include "ui/qtext.h"
#include "window_fixture.h"

using tavrin::Origin;
using tavrin::TermSide;
using tavrin::test::Find;
using tavrin::ui::MainWindow;

namespace {

void Fill(MainWindow& window, const char* surname, bool female, const char* year, const char* month, const char* day,
          const char* hour) {
  Find<QLineEdit>(window, "Edit1")->setText(surname);
  Find<QLineEdit>(window, "bsSkinEdit1")->setText("40");
  Find<QRadioButton>(window, female ? "bsSkinCheckRadioBox2" : "bsSkinCheckRadioBox1")->setChecked(true);
  const char* const combos[] = {"bsSkinComboBox1", "bsSkinComboBox2", "bsSkinComboBox3", "bsSkinComboBox5"};
  const char* const texts[] = {year, month, day, hour};
  for (int i = 0; i < 4; ++i) Find<QComboBox>(window, combos[i])->setEditText(texts[i]);
}

void ChoosePlace(MainWindow& window, const QString& province, const QString& city) {
  Find<QComboBox>(window, "placeProvince")->setCurrentText(province);
  Find<QComboBox>(window, "placeCity")->setCurrentText(city);
}

void Generate(MainWindow& window) { QTest::mouseClick(Find<QPushButton>(window, "bsSkinButton1"), Qt::LeftButton); }

// The pillar line of the summary pane: "八字: 丙午 甲午 …".
QString PillarLine(MainWindow& window) {
  const tavrin::Pane& pane = window.Model().PaneOf(Origin::kSettings);
  for (std::size_t i = 0; i < pane.Lines().size(); ++i) {
    if (const QString line = tavrin::ui::LineOf(pane, i); line.contains("丙午")) return line;
  }
  return {};
}

}  // namespace

class BirthTimeTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    tavrin::ui::SetMessageHook([](const QString&) {});
  }
  void cleanup() { tavrin::ui::SetMessageHook(nullptr); }

  // A place chosen is back at the next start and is the longitude the chart
  // reads; a municipality is its one city; a kept name the table lacks is 不填.
  void placeIsKeptAndReachesTheChart() {
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName("tavrin-test-birthtime");
    const struct {
      QString province, city;          // chosen (or kept, for a name the table lacks)
      QString keptProvince, keptCity;  // back at the next start
      double longitude;                // 0: none
    } cases[] = {
        {"新疆", "乌鲁木齐", "新疆", "乌鲁木齐", 87.6},
        {"北京", "", "北京", "北京", 116.4},
        {"新疆", "", "新疆", "", 0},
        {"不填", "", "", "", 0},
    };
    for (const auto& c : cases) {
      QSettings().clear();
      {
        MainWindow window(tavrin::test::WindowStores(), 1);
        window.RememberInputs();
        Find<QComboBox>(window, "placeProvince")->setCurrentText(c.province);
        if (!c.city.isEmpty()) Find<QComboBox>(window, "placeCity")->setCurrentText(c.city);
        window.close();
      }
      MainWindow window(tavrin::test::WindowStores(), 1);
      window.RememberInputs();
      const QString province = Find<QComboBox>(window, "placeProvince")->currentText();
      const QString city = Find<QComboBox>(window, "placeCity")->currentText();
      QCOMPARE(province, c.keptProvince.isEmpty() ? QString("不填") : c.keptProvince);
      QCOMPARE(city, c.keptCity.isEmpty() ? QString("不填") : c.keptCity);
      const std::optional<double> longitude = window.Model().Inputs().BirthTime().longitude;
      QCOMPARE(longitude.has_value(), c.longitude != 0);
      if (longitude) QVERIFY2(std::abs(*longitude - c.longitude) < 0.1, qPrintable(c.city));
    }
    // A place the table no longer has reads as 不填.
    QSettings().setValue("inputs/placeProvince", "火星");
    QSettings().setValue("inputs/placeCity", "乌托邦");
    MainWindow window(tavrin::test::WindowStores(), 1);
    window.RememberInputs();
    QCOMPARE(Find<QComboBox>(window, "placeProvince")->currentIndex(), 0);
    QVERIFY(!window.Model().Inputs().BirthTime().longitude);
    QSettings().clear();
  }

  // 交节 shows on 小暑's day (2026-07-07, 9:57) with the hour unknown or the
  // hour holding the term, nowhere else; 节前 reaches the run's month pillar
  // and does not carry over to another day.
  void termChoiceShowsWhileTheChartIsUnsure() {
    MainWindow window(tavrin::test::WindowStores(), 2);
    const QString unknown = tavrin::ui::UnknownHourCaption();
    const struct {
      const char* day;
      QString hour;
      bool shown;
    } cases[] = {
        {"7", unknown, true}, {"7", "9", true},      {"7", "8", false},
        {"7", "10", false},   {"8", unknown, false}, {"6", unknown, false},
    };
    auto* choice = Find<QWidget>(window, "termChoice");
    for (const auto& c : cases) {
      Fill(window, "欧阳", false, "2026", "7", c.day, c.hour.toUtf8().constData());
      QVERIFY2(!choice->isHidden() == c.shown, qPrintable(QString("7-%1 %2").arg(c.day, c.hour)));
    }
    Fill(window, "欧阳", false, "2026", "7", "7", unknown.toUtf8().constData());
    QVERIFY2(choice->toolTip().contains("小暑") && choice->toolTip().contains("9:57") &&
                 choice->toolTip().contains("甲午月") && choice->toolTip().contains("乙未月"),
             qPrintable(choice->toolTip()));
    QVERIFY(!window.Model().Inputs().BirthTime().termSide);
    Generate(window);
    QVERIFY2(PillarLine(window).contains("乙未"), qPrintable(PillarLine(window)));
    Find<QRadioButton>(window, "termBefore")->click();
    QCOMPARE(window.Model().Inputs().BirthTime().termSide, std::optional(TermSide::kBefore));
    Generate(window);
    QVERIFY2(PillarLine(window).contains("甲午") && !PillarLine(window).contains("乙未"),
             qPrintable(PillarLine(window)));
    // 精选 says which side the chart took.
    const QString notes = Find<tavrin::ui::BestPage>(window, "bestPage")->ChartNotesText();
    QVERIFY2(notes.contains("八字按节前") && notes.contains("时辰不详"), qPrintable(notes));
    // Another day starts again at 节后.
    Find<QComboBox>(window, "bsSkinComboBox3")->setEditText("8");
    QVERIFY(!window.Model().Inputs().BirthTime().termSide);
    Find<QComboBox>(window, "bsSkinComboBox3")->setEditText("7");
    QVERIFY(!Find<QRadioButton>(window, "termBefore")->isChecked());
  }

  // The chart of 乌鲁木齐 is read at its true solar time: 精选, then the
  // analysis of one of its names, say so.
  void notesShowTheSolarTime() {
    MainWindow window(tavrin::test::WindowStores(), 3);
    Fill(window, "曾", true, "2027", "1", "28", "7");
    ChoosePlace(window, "新疆", "乌鲁木齐");
    Generate(window);
    const QString solar = "按真太阳时 5:08（乌鲁木齐）排时柱，北京时间 7:30";
    auto& best = *Find<tavrin::ui::BestPage>(window, "bestPage");
    QVERIFY2(best.ChartNotesText().contains(solar), qPrintable(best.ChartNotesText()));
    QVERIFY(best.Model().rowCount() > 0);
    emit best.analyseRequested(best.Model().CellText(0, tavrin::ui::BestModel::kName));
    auto* notes = Find<QLabel>(window, "analysisChartNotes");
    QVERIFY2(notes->text().contains(solar), qPrintable(notes->text()));
    // The pane starts under the notes.
    QVERIFY(!notes->isHidden());
    QVERIFY(Find<QWidget>(window, "姓名分析")->findChild<tavrin::ui::PaneView*>()->y() >= notes->geometry().bottom());
  }
};

QTEST_MAIN(BirthTimeTest)
#include "test_birthtime.moc"
