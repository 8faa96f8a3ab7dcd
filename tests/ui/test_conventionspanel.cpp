// The 通行算法 panel of the analysis page and the 时辰不详 items, offscreen.
// With TAVRIN_SCREENSHOT=FILE the page with the panel is saved as a PNG.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include "core/report.h"
#include "core/services.h"
#include "ui/MainWindow.h"
#include "ui/MessageBox.h"
#include "ui/PaneView.h"
#include "ui/ReportModel.h"
#include "window_fixture.h"

using tavrin::test::Find;
using tavrin::ui::MainWindow;

class ConventionsPanelTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    tavrin::ui::SetMessageHook([](const QString&) {});
  }
  void cleanup() { tavrin::ui::SetMessageHook(nullptr); }

  void hourListsEndInUnknown() {
    MainWindow window(tavrin::test::WindowStores(), 1);
    for (const char* name : {"bsSkinComboBox5", "bsSkinComboBox8"}) {
      auto* combo = Find<QComboBox>(window, name);
      QCOMPARE(combo->count(), 25);
      QCOMPARE(combo->itemText(24), QString("时辰不详"));
      QCOMPARE(combo->currentText(), QString("1"));
    }
  }

  // The 通行评分 column follows the row's score, "—" without one, and sorts by it.
  void reportColumn() {
    tavrin::ReportList report;
    for (const std::optional<int> score : {std::optional<int>(57), std::optional<int>(), std::optional<int>(100)}) {
      tavrin::ReportRow row;
      row.candidate.fullName = "欧阳子涵";
      row.candidate.surnameBytes = 4;
      row.conventionsScore = score;
      report.Append(row);
    }
    tavrin::ui::ReportModel model(report, *tavrin::test::WindowStores()->services);
    const int column = tavrin::ui::ReportModel::kConventionsScore;
    QCOMPARE(column, tavrin::ui::ReportModel::kTones + 1);
    QCOMPARE(model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString(), QString("通行评分"));
    const struct {
      int row;
      const char* text;
      int sortKey;
    } cells[] = {{0, "57", 57}, {1, "—", -1}, {2, "100", 100}};
    for (const auto& c : cells) {
      QCOMPARE(model.CellText(c.row, column), QString(c.text));
      QCOMPARE(model.data(model.index(c.row, column), tavrin::ui::ReportModel::kScoreRole).toInt(), c.sortKey);
    }
  }

  // The panel reads the analysed name; the boxes override the favourable
  // elements and re-read it; the analysis pane is left as it was.
  void panelFollowsTheAnalysisAndTheBoxes() {
    MainWindow window(tavrin::test::WindowStores(), 1);
    window.show();
    window.findChild<QTabWidget*>()->setCurrentIndex(6);
    Find<QLineEdit>(window, "bsSkinEdit2")->setText("欧阳子涵");
    Find<QComboBox>(window, "bsSkinComboBox4")->setEditText("2024");
    Find<QComboBox>(window, "bsSkinComboBox6")->setEditText("5");
    Find<QComboBox>(window, "bsSkinComboBox7")->setEditText("6");
    Find<QComboBox>(window, "bsSkinComboBox8")->setCurrentIndex(24);  // 时辰不详
    Find<QPushButton>(window, "bsSkinButton2")->click();
    const QString pane = Find<tavrin::ui::PaneView>(window, "Memo4")->toPlainText();
    QVERIFY(pane.startsWith("开始分析八字\n甲辰年 己巳月 庚午日 时\n"));
    QVERIFY(pane.endsWith("出生时辰不详,八字没有时柱,只看年、月、日三柱"));

    auto* panel = Find<QWidget>(window, "conventionsPanel");
    QVERIFY(!panel->isVisible());
    Find<QPushButton>(window, "showConventions")->click();
    QVERIFY(panel->isVisible());
    QCOMPARE(panel->geometry(), Find<tavrin::ui::PaneView>(window, "Memo4")->geometry());
    auto* text = Find<QPlainTextEdit>(window, "conventionsText");
    const auto lineWith = [&](const QString& head) {
      for (const QString& line : text->toPlainText().split('\n')) {
        if (line.startsWith(head)) return line;
      }
      return QString();
    };
    QCOMPARE(lineWith("康熙笔画"), QString("康熙笔画: 欧(歐)15 阳(陽)17 子3 涵12 (复姓)"));
    QVERIFY(lineWith("三才").startsWith("三才:木水土 凶,"));
    QCOMPARE(lineWith("喜用五行"), QString("喜用五行：土金；忌用五行：木水火。"));

    const struct {
      std::vector<int> toggled;  // indexes into 金 木 水 火 土, in turn
      const char* favourableLine;
      const char* scoreLine;
    } steps[] = {
        // the chart's own 土金 unchecked, 水 checked: the name's 子 and 涵 are favourable
        {{0, 4, 2}, "按您的选择，喜用五行为水，其余金木火土为忌。", "通行评分:63 "},
        {{1}, "按您的选择，喜用五行为木水，其余金火土为忌。", "通行评分:63 "},
        {{2}, "按您的选择，喜用五行为木，其余金水火土为忌。", "通行评分:43 "},
    };
    for (const auto& step : steps) {
      for (int index : step.toggled)
        Find<QCheckBox>(window, QString("favourable%1").arg(index).toUtf8().constData())->toggle();
      QCOMPARE(lineWith("按您的选择"), QString(step.favourableLine));
      QVERIFY2(lineWith("通行评分").startsWith(step.scoreLine), qPrintable(lineWith("通行评分")));
    }
    Find<QPushButton>(window, "favourableByChart")->click();
    QCOMPARE(lineWith("喜用五行"), QString("喜用五行：土金；忌用五行：木水火。"));
    QCOMPARE(Find<tavrin::ui::PaneView>(window, "Memo4")->toPlainText(), pane);
    if (const QByteArray shot = qgetenv("TAVRIN_SCREENSHOT"); !shot.isEmpty()) window.grab().save(shot);
  }
};

QTEST_MAIN(ConventionsPanelTest)
#include "test_conventionspanel.moc"
