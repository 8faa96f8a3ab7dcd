// 名字五行: the one choice of elements on 姓名设置, kept with the baby's
// inputs, read by the run, shared with the 通行算法 panel; 精选 holding one
// baby's names, judged again when the choice changes, under the sentence of
// what the baby needs. Offscreen.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>
#include <vector>

#include "core/child.h"
#include "core/naming_model.h"
#include "ui/BestModel.h"
#include "ui/BestPage.h"
#include "ui/MainWindow.h"
#include "ui/qtext.h"
#include "window_fixture.h"

using tavrin::Element;
using tavrin::ElementWish;
using tavrin::test::Find;
using tavrin::ui::BestModel;
using tavrin::ui::BestPage;
using tavrin::ui::FromGbk;
using tavrin::ui::MainWindow;

namespace {

struct Baby {
  const char* surname;
  bool female;
  const char* year;
  const char* month;
  const char* day;
  const char* hour;
};

void Fill(MainWindow& window, const Baby& baby) {
  Find<QLineEdit>(window, "Edit1")->setText(baby.surname);
  Find<QLineEdit>(window, "bsSkinEdit1")->setText("40");
  Find<QRadioButton>(window, baby.female ? "bsSkinCheckRadioBox2" : "bsSkinCheckRadioBox1")->setChecked(true);
  const char* const combos[] = {"bsSkinComboBox1", "bsSkinComboBox2", "bsSkinComboBox3", "bsSkinComboBox5"};
  const char* const texts[] = {baby.year, baby.month, baby.day, baby.hour};
  for (int i = 0; i < 4; ++i) Find<QComboBox>(window, combos[i])->setEditText(texts[i]);
}

void Generate(MainWindow& window) { QTest::mouseClick(Find<QPushButton>(window, "bsSkinButton1"), Qt::LeftButton); }

QCheckBox* ChoiceBox(MainWindow& window, Element e) {
  return Find<QCheckBox>(window, QString("chosenElement%1").arg(static_cast<int>(e)).toUtf8().constData());
}
QCheckBox* PanelBox(MainWindow& window, Element e) {
  return Find<QCheckBox>(window, QString("favourable%1").arg(static_cast<int>(e)).toUtf8().constData());
}
std::vector<Element> Ticked(MainWindow& window, QCheckBox* (*box)(MainWindow&, Element)) {
  std::vector<Element> ticked;
  for (Element e : tavrin::kElementOrder) {
    if (box(window, e)->isChecked()) ticked.push_back(e);
  }
  return ticked;
}

// The sentence and the line the page should show for the last run's baby.
tavrin::ui::NeedsView RunNeeds(MainWindow& window, ElementWish wish, const std::vector<Element>& chosen) {
  return tavrin::ui::NeedsViewOf(tavrin::ReadNeeds(window.Model().Session().chart.pillars, wish, chosen));
}

// With TAVRIN_SCREENSHOT_DIR=DIR the window is saved there as DIR/NAME.png.
void Shot(MainWindow& window, const char* name) {
  if (const QByteArray dir = qgetenv("TAVRIN_SCREENSHOT_DIR"); !dir.isEmpty()) {
    QCoreApplication::processEvents();
    window.grab().save(QString::fromLocal8Bit(dir) + "/" + name + ".png");
  }
}

}  // namespace

class ElementChoiceTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    tavrin::ui::SetMessageHook([](const QString&) {});
  }
  void cleanup() { tavrin::ui::SetMessageHook(nullptr); }

  // Each way of choosing is kept at close, back at the next start, and is
  // what the next run reads.
  void choiceIsKeptAndReachesTheRun() {
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName("tavrin-test-elements");
    const struct {
      const char* what;
      const char* radio;            // clicked first, or null
      std::vector<Element> ticked;  // then ticked
      ElementWish wish;             // what the run reads
      std::vector<Element> chosen;
    } cases[] = {
        {"the default", nullptr, {}, ElementWish::kChart, {}},
        {"ticking an element chooses 自选",
         nullptr,
         {Element::kWood, Element::kFire},
         ElementWish::kChosen,
         {Element::kWood, Element::kFire}},
        {"自选 then one element", "elementsChosen", {Element::kMetal}, ElementWish::kChosen, {Element::kMetal}},
        {"不看五行", "elementsIgnored", {}, ElementWish::kIgnore, {}},
        {"ticked, then back to the chart", "elementsByChart", {}, ElementWish::kChart, {}},
    };
    for (const auto& c : cases) {
      QSettings().clear();
      {
        MainWindow window(tavrin::test::WindowStores(), 1);
        window.RememberInputs();
        if (std::string_view(c.radio ? c.radio : "") == "elementsByChart") ChoiceBox(window, Element::kWater)->click();
        if (c.radio) Find<QRadioButton>(window, c.radio)->click();
        for (Element e : c.ticked) ChoiceBox(window, e)->click();
        window.close();
      }
      MainWindow window(tavrin::test::WindowStores(), 1);
      window.RememberInputs();
      QCOMPARE(Find<QRadioButton>(window, "elementsChosen")->isChecked(), c.wish == ElementWish::kChosen);
      QCOMPARE(Find<QRadioButton>(window, "elementsIgnored")->isChecked(), c.wish == ElementWish::kIgnore);
      QVERIFY2(Ticked(window, ChoiceBox) == c.chosen, c.what);
      Fill(window, {"曾", true, "2027", "1", "28", "6"});
      Generate(window);
      QVERIFY2(window.Model().Session().wish == c.wish, c.what);
      QVERIFY2(window.Model().Session().chosenElements == c.chosen, c.what);
    }
    QSettings().clear();
  }

  // 精选 after two babies holds the second's names only, with empty details
  // and the second's sentence; a new choice judges them again at once.
  void bestFollowsTheBabyAndTheChoice() {
    MainWindow window(tavrin::test::WindowStores(), 3);
    window.resize(1024, 700);
    window.show();
    auto& page = *Find<BestPage>(window, "bestPage");
    auto* needs = Find<QLabel>(page, "bestNeeds");
    QCOMPARE(needs->text(), QString("先在姓名设置中填写宝宝的生日，点“生成”"));
    Fill(window, {"曾", true, "2027", "1", "28", "6"});
    Generate(window);
    window.Pages()->setCurrentIndex(9);
    const tavrin::ui::NeedsView first = RunNeeds(window, ElementWish::kChart, {});
    QVERIFY(first.sentence.startsWith("宝宝八字 丙午 辛丑"));
    QCOMPARE(needs->text(), first.sentence);
    QCOMPARE(Find<QLabel>(page, "bestReadings")->text(), first.readings);
    QVERIFY(page.Model().rowCount() > 0);
    page.Table()->selectRow(0);
    QVERIFY(page.DetailsText().contains("五行："));
    Shot(window, "best-zeng-girl");

    window.Pages()->setCurrentIndex(0);
    Fill(window, {"魏", false, "2025", "3", "3", "14"});
    Generate(window);
    window.Pages()->setCurrentIndex(9);
    const tavrin::BestNames& names = page.Model().Names();
    QVERIFY(names.Size() > 0);
    for (int row = 0; row < page.Model().rowCount(); ++row) {
      QVERIFY2(page.Model().CellText(row, BestModel::kName).startsWith("魏"),
               qPrintable(page.Model().CellText(row, BestModel::kName)));
      QCOMPARE(page.Model().CellText(row, BestModel::kSex), QString("男"));
    }
    QVERIFY(page.DetailsText().isEmpty());
    QCOMPARE(needs->text(), RunNeeds(window, ElementWish::kChart, {}).sentence);
    QVERIFY(needs->text() != first.sentence);
    page.Table()->selectRow(0);
    Shot(window, "best-wei-boy");

    const auto fits = [&names](tavrin::advice::ElementFit fit) {
      for (std::size_t i = 0; i < names.Size(); ++i) {
        if (names.AdviceAt(i).fit != fit) return false;
      }
      return true;
    };
    auto* onlyFitting = Find<QCheckBox>(page, "bestOnlyFitting");
    QVERIFY(!onlyFitting->isChecked());
    const struct {
      const char* radio;
      std::vector<Element> ticked;
      ElementWish wish;
    } choices[] = {
        {"elementsIgnored", {}, ElementWish::kIgnore},
        {"elementsChosen", {Element::kWood, Element::kFire}, ElementWish::kChosen},
        {"elementsByChart", {}, ElementWish::kChart},
    };
    for (const auto& c : choices) {
      Find<QRadioButton>(window, c.radio)->click();
      for (Element e : c.ticked) ChoiceBox(window, e)->click();
      const std::vector<Element> chosen = c.wish == ElementWish::kChosen ? c.ticked : std::vector<Element>();
      QCOMPARE(needs->text(), RunNeeds(window, c.wish, chosen).sentence);
      QVERIFY(names.Judge().Needs() && names.Judge().Needs()->wish == c.wish);
      QCOMPARE(fits(tavrin::advice::ElementFit::kUnjudged), c.wish == ElementWish::kIgnore);
      // 只看合喜用的名字 leaves out the names none of whose characters fit
      // (none when names are not judged by elements).
      const int shown = page.ShownCount();
      onlyFitting->setChecked(true);
      for (int row : page.ShownRows()) {
        QVERIFY(names.AdviceAt(static_cast<std::size_t>(row)).fit != tavrin::advice::ElementFit::kNone);
      }
      if (c.wish == ElementWish::kIgnore) QCOMPARE(page.ShownCount(), shown);
      onlyFitting->setChecked(false);
      page.Table()->selectRow(0);
      Shot(window, c.radio);
    }
    window.Pages()->setCurrentIndex(0);
    Shot(window, "settings");
  }

  // The two pages that show the count of the chart's characters say which
  // reading the names follow: under the summary pane in short (the whole
  // sentence and readings in the tooltip), over 部首有五行 how its missing
  // element stands with the day master's reading. Nothing before a run; a
  // new 名字五行 changes both at once.
  void pagesSayWhichReading() {
    const struct {
      const char* what;
      Baby baby;         // no surname: no run
      ElementWish wish;  // chosen after the run
      std::vector<Element> chosen;
      const char* radical;
      const char* settings;
      const char* shot = nullptr;  // the two pages' screenshots
    } cases[] = {
        {"before a run", {}, ElementWish::kChart, {}, "", ""},
        {"缺水, which the day master avoids",
         {"魏", false, "2025", "3", "3", "14"},
         ElementWish::kChart,
         {},
         "本页按“缺什么补什么”（缺水）取名；按日主强弱，宝宝喜土、金，水反而不宜多用。精选按喜用神排列。",
         "宝宝喜土、金（日主辛金偏弱）；“八字中木多”“八字中土多”是数五行字数的读法，精选按喜用神排列",
         "hints-wei"},
        {"the same baby, 不看五行",
         {"魏", false, "2025", "3", "3", "14"},
         ElementWish::kIgnore,
         {},
         "本页按“缺什么补什么”（缺水）取名；按日主强弱，宝宝喜土、金，水反而不宜多用。精选不看五行。",
         "宝宝喜土、金（日主辛金偏弱），您选了不看五行；“八字中木多”“八字中土多”是数五行字数的读法，精选不看五行"},
        {"the same baby, 木 and 火 chosen",
         {"魏", false, "2025", "3", "3", "14"},
         ElementWish::kChosen,
         {Element::kWood, Element::kFire},
         "本页按“缺什么补什么”（缺水）取名；按日主强弱，宝宝喜土、金，水反而不宜多用。精选按您选的五行（木、火）排列。",
         "宝宝本应喜土、金（日主辛金偏弱），名字按您选的木、火；“八字中木多”“八字中土多”是数五行字数的读法，"
         "精选按您选的五行排列"},
        {"缺金, which the day master favours",
         {"曾", true, "2026", "1", "25", "10"},
         ElementWish::kChart,
         {},
         "本页按“缺什么补什么”（缺金）取名；按日主强弱，宝宝喜金、水、木，金也合适，两种读法一致。精选按喜用神排列。",
         nullptr},
        {"nothing missing",
         {"曾", true, "2027", "1", "28", "6"},
         ElementWish::kChart,
         {},
         "八字五行俱全，用不上“缺什么补什么”，本页没有名字；按日主强弱，宝宝喜木、火。精选按喜用神排列。",
         "宝宝喜木、火（日主丁火偏弱）；“八字中火多”“八字中土多”是数五行字数的读法，精选按喜用神排列",
         "hints-zeng"},
    };
    for (const auto& c : cases) {
      MainWindow window(tavrin::test::WindowStores(), 2);
      window.resize(1024, 700);
      window.show();
      if (c.baby.surname) {
        Fill(window, c.baby);
        Generate(window);
      }
      if (c.wish == ElementWish::kIgnore) Find<QRadioButton>(window, "elementsIgnored")->click();
      for (Element e : c.chosen) ChoiceBox(window, e)->click();
      auto* radical = Find<QLabel>(window, "radicalHint");
      auto* settings = Find<QLabel>(window, "readingHint");
      QCOMPARE(radical->text(), QString(c.radical));
      if (c.settings) QCOMPARE(settings->text(), QString(c.settings));
      QCOMPARE(radical->isHidden(), !c.baby.surname);
      QCOMPARE(settings->isHidden(), !c.baby.surname);
      if (!c.baby.surname) continue;
      const tavrin::ui::NeedsView whole = RunNeeds(window, c.wish, c.chosen);
      QCOMPARE(settings->toolTip(), whole.sentence + '\n' + whole.readings);
      // Each pane ends over, or starts under, its line.
      QVERIFY(Find<QWidget>(window, "Memo1")->geometry().bottom() < settings->geometry().top());
      QVERIFY(Find<QWidget>(window, "Memo5")->geometry().top() > radical->geometry().bottom());
      if (c.shot) {
        Shot(window, qPrintable(QString(c.shot) + "-settings"));
        window.Pages()->setCurrentIndex(3);
        Shot(window, qPrintable(QString(c.shot) + "-radical"));
      }
    }
  }

  // The 通行算法 boxes and 姓名设置's choice are one: a change on either side
  // shows on the other, and the analysis sentence follows it.
  void panelAndSettingsAreOneChoice() {
    MainWindow window(tavrin::test::WindowStores(), 1);
    window.show();
    window.Pages()->setCurrentIndex(6);
    Find<QLineEdit>(window, "bsSkinEdit2")->setText("欧阳子涵");
    Find<QComboBox>(window, "bsSkinComboBox4")->setEditText("2024");
    Find<QComboBox>(window, "bsSkinComboBox6")->setEditText("5");
    Find<QComboBox>(window, "bsSkinComboBox7")->setEditText("6");
    Find<QPushButton>(window, "bsSkinButton2")->click();
    Find<QPushButton>(window, "showConventions")->click();
    auto* sentence = Find<QLabel>(window, "analysisNeeds");
    const std::vector<Element> chart = Ticked(window, PanelBox);
    QVERIFY(!chart.empty());
    QVERIFY2(sentence->text().startsWith("宝宝八字 甲辰 己巳 庚午") && sentence->text().contains("喜"),
             qPrintable(sentence->text()));

    // The panel's box: 姓名设置 becomes 自选 with the panel's elements.
    PanelBox(window, Element::kWater)->click();
    std::vector<Element> expected = chart;
    expected.push_back(Element::kWater);
    std::sort(expected.begin(), expected.end(), [](Element a, Element b) {
      return std::find(tavrin::kElementOrder.begin(), tavrin::kElementOrder.end(), a) <
             std::find(tavrin::kElementOrder.begin(), tavrin::kElementOrder.end(), b);
    });
    QVERIFY(Find<QRadioButton>(window, "elementsChosen")->isChecked());
    QVERIFY(Ticked(window, ChoiceBox) == expected);
    QVERIFY(sentence->text().contains("按您的选择"));
    Shot(window, "analysis-chosen");

    // 姓名设置's 按八字喜用神: the panel shows the chart's own again.
    Find<QRadioButton>(window, "elementsByChart")->click();
    QVERIFY(Ticked(window, PanelBox) == chart);
    QVERIFY(!Find<QPushButton>(window, "favourableByChart")->isEnabled());
    QVERIFY(!sentence->text().contains("按您的选择"));

    // 姓名设置's 木: the panel ticks 木 alone and reads by it.
    ChoiceBox(window, Element::kWood)->click();
    QVERIFY(Ticked(window, PanelBox) == std::vector<Element>{Element::kWood});
    QVERIFY(Find<QPlainTextEdit>(window, "conventionsText")->toPlainText().contains("按您的选择，喜用五行为木"));
    // The panel's 按八字: 姓名设置 is back on the chart.
    Find<QPushButton>(window, "favourableByChart")->click();
    QVERIFY(Find<QRadioButton>(window, "elementsByChart")->isChecked());
    QVERIFY(Ticked(window, ChoiceBox).empty());
  }
};

QTEST_MAIN(ElementChoiceTest)
#include "test_elementchoice.moc"
