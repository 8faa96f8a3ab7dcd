// The 精选 page: the names of every run once per sex, the filters as one
// types, the order, the details, copy and export, and the way to the
// analysis; offscreen.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSet>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <functional>

#include "advice/advice.h"
#include "core/naming_model.h"
#include "ui/BestModel.h"
#include "ui/BestPage.h"
#include "ui/MainWindow.h"
#include "ui/qtext.h"
#include "window_fixture.h"

using tavrin::ui::BestModel;
using tavrin::ui::BestPage;
using tavrin::ui::FromGbk;
using tavrin::ui::MainWindow;
using tavrin::ui::ToGbk;

namespace {

const tavrin::SharedStores& Stores() { return tavrin::test::WindowStores(); }
using tavrin::test::Find;

constexpr tavrin::Origin kPoetry = tavrin::Origin::kPoetry;

tavrin::Candidate Make(const QString& name, int score, tavrin::Origin origin = tavrin::Origin::kNone) {
  tavrin::Candidate candidate;
  candidate.fullName = ToGbk(name);
  candidate.surnameBytes = 2;
  candidate.score = score;
  candidate.origin = origin;
  return candidate;
}

// Writes the candidates to the pane as one line, as the generators do.
void Show(tavrin::Pane& pane, std::initializer_list<tavrin::Candidate> candidates) {
  tavrin::PaneLine line;
  for (const tavrin::Candidate& candidate : candidates) line.Add(candidate);
  line.FlushTo(pane);
}

// "name/男" for every row of the page's model.
// "name/男" for every row, or only for those the program proposed itself
// (来源 典籍 or 名库), or only for the others.
enum class Proposed { kAny, kOnly, kNot };
QSet<QString> Rows(const BestPage& page, Proposed which = Proposed::kAny) {
  QSet<QString> rows;
  const BestModel& model = page.Model();
  for (int row = 0; row < model.rowCount(); ++row) {
    const QString origin = model.CellText(row, BestModel::kOrigin);
    const bool proposed = origin == "典籍" || origin == "名库";
    if ((which == Proposed::kOnly && !proposed) || (which == Proposed::kNot && proposed)) continue;
    rows << model.CellText(row, BestModel::kName) + "/" + model.CellText(row, BestModel::kSex);
  }
  return rows;
}

// "name/男" for every candidate the run state shows now, leaving out those
// accepted up to `acceptedBefore` (an earlier run's, still in a pane).
QSet<QString> Shown(const tavrin::NamingRunState& runs, const QString& sex, std::uint64_t acceptedBefore = 0) {
  QSet<QString> names;
  for (const auto& page : runs.ResultPages()) {
    for (std::size_t line = 0; line < page.pane->Lines().size(); ++line) {
      for (const tavrin::PaneEntry& entry : page.pane->EntriesOf(line)) {
        const std::uint64_t accepted = entry.candidate.acceptance;
        if (accepted != 0 && accepted <= acceptedBefore) continue;
        names << FromGbk(entry.candidate.fullName) + "/" + sex;
      }
    }
  }
  return names;
}

}  // namespace

class BestPageTest : public QObject {
  Q_OBJECT

 private slots:
  // Names are kept once per sex, whichever pane or report row shows them;
  // the poetry page's under the sex of its own run, a report row of it too.
  void collectsEveryNameOncePerSex() {
    tavrin::NamingRunState runs;
    BestPage page(runs, Stores()->advice.get(), *Stores()->services);
    runs.session.female = false;
    Show(runs.twoCharPane, {Make("张伟", 80), Make("张强", 70)});
    Show(runs.threeCharPane, {Make("张伟", 80), Make("张子涵", 95)});
    tavrin::ReportRow row;
    row.candidate = Make("张伟", 80);
    runs.report.Append(row);
    page.Collect();
    QCOMPARE(Rows(page), (QSet<QString>{"张伟/男", "张强/男", "张子涵/男"}));

    // A girl's run clears the panes; what they showed stays.
    page.Collect();
    runs.twoCharPane.Clear();
    runs.threeCharPane.Clear();
    runs.session.female = true;
    Show(runs.recommendedPane, {Make("张伟", 85), Make("张欣怡", 90)});
    page.StartPoetryRun(tavrin::Sex::kMale);
    Show(runs.poetryPane, {Make("张明月", 88, kPoetry)});
    row.candidate = Make("张清风", 77, kPoetry);
    runs.report.Append(row);
    page.Collect();
    page.Collect();
    QCOMPARE(Rows(page),
             (QSet<QString>{"张伟/男", "张强/男", "张子涵/男", "张伟/女", "张欣怡/女", "张明月/男", "张清风/男"}));
    QCOMPARE(page.Model().rowCount(), 7);
    // The first run that made a name for a sex gives its score.
    QStringList scores;
    for (int i = 0; i < page.Model().rowCount(); ++i) {
      if (page.Model().CellText(i, BestModel::kName) == "张伟") scores << page.Model().CellText(i, BestModel::kScore);
    }
    QCOMPARE(scores, (QStringList{"80", "85"}));
  }

  // Two runs in the window, a boy's and then a girl's: 精选 holds the names
  // of the baby of the last run only (a new baby starts the list again), once
  // each; then the filters, the order, the details and the exports.
  void twoRunsInTheWindow() {
    tavrin::test::MessageRecorder messages;
    MainWindow window(Stores(), 11);
    window.show();
    Find<QLineEdit>(window, "bsSkinEdit1")->setText("60");
    Find<QLineEdit>(window, "Edit1")->setText("王");
    QTest::mouseClick(Find<QPushButton>(window, "bsSkinButton1"), Qt::LeftButton);
    const std::size_t boysRows = window.Model().Report().Rows().size();
    Find<QRadioButton>(window, "bsSkinCheckRadioBox2")->setChecked(true);
    QTest::mouseClick(Find<QPushButton>(window, "bsSkinButton1"), Qt::LeftButton);
    QSet<QString> expected = Shown(window.Model().RunState(), "女", window.Model().Session().acceptedBeforeRun);
    const auto& rows = window.Model().Report().Rows();
    for (std::size_t i = boysRows; i < rows.size(); ++i) expected << FromGbk(rows[i].candidate.fullName) + "/女";
    QVERIFY(messages.texts.isEmpty());

    window.Pages()->setCurrentIndex(9);
    QCOMPARE(window.Pages()->tabText(9), QString("精选"));
    auto& page = *Find<BestPage>(window, "bestPage");
    // The girl's run's names, and beside them names of the bank for a girl;
    // a run's name the bank holds too keeps to the bank's share for her.
    const QSet<QString> fromRuns = Rows(page, Proposed::kNot);
    QVERIFY(expected.contains(fromRuns));
    QSet<QString> bankGiven;
    for (const auto& name : window.Model().Stores().advice->Bank()) bankGiven << FromGbk(name.given);
    for (const QString& left : expected - fromRuns)
      QVERIFY2(bankGiven.contains(left.section('/', 0, 0).mid(1)), qPrintable(left));
    QVERIFY(fromRuns.size() * 10 > expected.size() * 9);
    const QSet<QString> proposed = Rows(page, Proposed::kOnly);
    QVERIFY(std::none_of(proposed.begin(), proposed.end(), [](const QString& r) { return r.endsWith("/男"); }));
    QVERIFY(std::any_of(proposed.begin(), proposed.end(), [](const QString& r) { return r.endsWith("/女"); }));
    QCOMPARE(page.Model().rowCount(), fromRuns.size() + proposed.size());

    const tavrin::BestNames& names = page.Model().Names();
    const auto givenLevels = [&](int row, const std::function<bool(int)>& ok) {
      for (const auto& given : names.AdviceAt(static_cast<std::size_t>(row)).given) {
        if (!ok(given.facts ? given.facts->level : 0)) return false;
      }
      return true;
    };
    auto* hideSerious = Find<QCheckBox>(page, "bestHideSerious");
    auto* hideMild = Find<QCheckBox>(page, "bestHideMild");
    auto* levels = Find<QComboBox>(page, "bestLevels");
    auto* minScore = Find<QSpinBox>(page, "bestMinimumScore");
    auto* leaveOut = Find<QLineEdit>(page, "bestLeaveOut");
    auto* sexes = Find<QComboBox>(page, "bestSex");
    // The girl's run was the last: the page shows girls' names.
    QCOMPARE(sexes->currentText(), QString("女孩"));
    const struct {
      const char* what;
      std::function<void()> set;
      std::function<bool(int row)> shows;  // a row that must be shown, exactly
    } cases[] = {
        {"defaults: no serious warning, no level-3 or outside character", [] {},
         [&](int row) {
           return !names.AdviceAt(static_cast<std::size_t>(row)).HasSerious() &&
                  givenLevels(row, [](int level) { return level == 1 || level == 2; });
         }},
        {"everything",
         [&] {
           hideSerious->setChecked(false);
           levels->setCurrentIndex(BestPage::kAnyLevel);
         },
         [](int) { return true; }},
        {"level 1 only",
         [&] {
           hideSerious->setChecked(false);
           levels->setCurrentIndex(BestPage::kLevelOneOnly);
         },
         [&](int row) { return givenLevels(row, [](int level) { return level == 1; }); }},
        {"no warning at all",
         [&] {
           hideMild->setChecked(true);
           levels->setCurrentIndex(BestPage::kAnyLevel);
         },
         [&](int row) { return names.AdviceAt(static_cast<std::size_t>(row)).warnings.empty(); }},
        {"a minimum score, no level-3 character",
         [&] {
           hideSerious->setChecked(false);
           minScore->setValue(90);
         },
         [&](int row) {
           return names.ScoreAt(static_cast<std::size_t>(row)) >= 90 &&
                  givenLevels(row, [](int level) { return level == 1 || level == 2; });
         }},
        {"boys' names, no serious warning", [&] { sexes->setCurrentIndex(1); },
         [&](int row) {
           const auto& advice = names.AdviceAt(static_cast<std::size_t>(row));
           return advice.sex == tavrin::Sex::kMale && !advice.HasSerious() &&
                  givenLevels(row, [](int level) { return level == 1 || level == 2; });
         }},
        {"characters left out, no level-3 character",
         [&] {
           hideSerious->setChecked(false);
           leaveOut->setText("子 涵x");
         },
         [&](int row) {
           const QString given = page.Model().CellText(row, BestModel::kName).mid(1);
           return !given.contains("子") && !given.contains("涵") &&
                  givenLevels(row, [](int level) { return level == 1 || level == 2; });
         }},
    };
    for (const auto& c : cases) {
      hideSerious->setChecked(true);
      hideMild->setChecked(false);
      levels->setCurrentIndex(BestPage::kNoLevelThree);
      minScore->setValue(0);
      leaveOut->clear();
      sexes->setCurrentIndex(0);
      c.set();
      QSet<int> want;
      for (int row = 0; row < page.Model().rowCount(); ++row) {
        if (c.shows(row)) want << row;
      }
      const std::vector<int> shown = page.ShownRows();
      QCOMPARE(QSet<int>(shown.begin(), shown.end()), want);
      QCOMPARE(Find<QLabel>(page, "bestCount")->text(),
               QString("显示 %1 / 共 %2 个名字").arg(want.size()).arg(page.Model().rowCount()));
      // Best first, varied: the best name of each first character by
      // 推荐度 then score, then the second best of each …
      const std::vector<int> rounds = names.Rounds(page.CurrentFilter());
      for (std::size_t i = 1; i < shown.size(); ++i) {
        const auto a = static_cast<std::size_t>(shown[i - 1]), b = static_cast<std::size_t>(shown[i]);
        QVERIFY2(rounds[a] < rounds[b] || (rounds[a] == rounds[b] && !names.RanksBefore(b, a)), c.what);
      }
    }
    leaveOut->clear();
    QVERIFY(page.ShownRows().size() > 10);

    // The details of the selected name.
    const int top = page.ShownRows().front();
    page.Table()->selectRow(0);
    const QString details = page.DetailsText();
    const tavrin::advice::Advice& best = names.AdviceAt(static_cast<std::size_t>(top));
    QVERIFY2(details.contains(page.Model().CellText(top, BestModel::kName)), qPrintable(details));
    QVERIFY(details.contains(QString("推荐度 %1").arg(best.recommend)));
    for (const auto& given : best.given) {
      QVERIFY(details.contains(FromGbk(given.ch)));
      // What a parent reads first is the Chinese meaning of the character.
      if (given.facts) QVERIFY2(details.contains(FromGbk(given.facts->meaning)), qPrintable(details));
    }
    if (!best.pairMeaning.empty()) QVERIFY(details.contains(FromGbk(best.pairMeaning)));
    for (const auto& reason : best.reasons) QVERIFY(details.contains(FromGbk(reason.text)));

    // Exports of the rows shown, through the report page's writers.
    QTemporaryDir dir;
    QVERIFY(page.ExportCsv(dir.filePath("best.csv")));
    QFile csv(dir.filePath("best.csv"));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(csv.readAll()).split("\r\n", Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), static_cast<qsizetype>(page.ShownRows().size()) + 1);
    QCOMPARE(lines[0], QString("\uFEFF姓名,性别,拼音,推荐度,分数,通行评分,提示,出处,字义,来源"));
    QVERIFY(lines[1].startsWith(page.Model().CellText(top, BestModel::kName) + ","));

    // A double-click opens the name in the analysis.
    const QRect cell = page.Table()->visualRect(page.Table()->model()->index(0, 0));
    QTest::mouseClick(page.Table()->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(page.Table()->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(window.Pages()->currentIndex(), 6);
    QCOMPARE(Find<QLineEdit>(window, "bsSkinEdit2")->text(), page.Model().CellText(top, BestModel::kName));

    // Sources, looked up while the window is idle: the 推荐度 has the bonus
    // only when the name's tooltip names 诗经, 楚辞, a Four Book or an
    // anthology of three hundred, or the name bank holds a line, and never
    // for a single given character; 出处 stands in the tooltip. 通行评分: a report row's own, else the chart
    // of the run that made the name.
    page.FinishSources();
    QCOMPARE(names.SourcesDone(), names.Size());
    QHash<QString, QString> reported;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      reported.insert(FromGbk(rows[i].candidate.fullName) + (i < boysRows ? "男" : "女"),
                      rows[i].conventionsScore ? QString::number(*rows[i].conventionsScore) : QString("—"));
    }
    int withSource = -1, bonuses = 0, scoredOffReport = 0;
    for (int row = 0; row < page.Model().rowCount(); ++row) {
      const QString source = page.Model().CellText(row, BestModel::kSource);
      const QString tip = page.Model().index(row, BestModel::kName).data(Qt::ToolTipRole).toString();
      const auto& reasons = names.AdviceAt(static_cast<std::size_t>(row)).reasons;
      const bool bonus = std::any_of(reasons.begin(), reasons.end(),
                                     [](const auto& r) { return FromGbk(r.text).startsWith("名字出自"); });
      const bool classic =
          QRegularExpression("（(诗经|楚辞|论语|大学|中庸|孟子|唐诗三百首|宋词三百首)）$").match(tip).hasMatch();
      const auto& a = names.AdviceAt(static_cast<std::size_t>(row));
      const bool banked = a.bank && a.bank->source.collectionRank >= 0;
      QVERIFY2(!bonus || (!source.isEmpty() && classic) || banked, qPrintable(tip));
      QVERIFY2(!bonus || a.given.size() == 2, qPrintable(tip));
      QVERIFY2(!tip.isEmpty() && (source.isEmpty() || tip.contains("出处：" + source)), qPrintable(tip));
      bonuses += bonus;
      if (!source.isEmpty() && (withSource < 0 || bonus)) withSource = row;
      const QString key = page.Model().CellText(row, BestModel::kName) + page.Model().CellText(row, BestModel::kSex);
      const QString conventions = page.Model().CellText(row, BestModel::kConventionsScore);
      if (reported.contains(key)) QCOMPARE(conventions, reported.value(key));
      scoredOffReport += !reported.contains(key) && conventions != "—";
    }
    QVERIFY(withSource >= 0 && bonuses > 0 && scoredOffReport > 0);
    // The details mark the name's characters in its line.
    const QString html = page.Model().DetailsHtml(withSource);
    const QString section = html.mid(html.indexOf("<b>出处</b>"));
    const QString given = page.Model().CellText(withSource, BestModel::kName).mid(1);
    QCOMPARE(section.left(section.indexOf("</p>")).count("</b>") - 1, given.size());
    for (const QChar c : given) QVERIFY2(section.contains(QString(c) + "</b>"), qPrintable(section));
    // 通行评分 sorts as numbers, "—" last.
    page.Table()->sortByColumn(BestModel::kConventionsScore, Qt::DescendingOrder);
    const std::vector<int> byConventions = page.ShownRows();
    for (std::size_t i = 1; i < byConventions.size(); ++i) {
      QVERIFY(names.ConventionsScoreAt(static_cast<std::size_t>(byConventions[i])).value_or(-1) <=
              names.ConventionsScoreAt(static_cast<std::size_t>(byConventions[i - 1])).value_or(-1));
    }
  }
};

QTEST_MAIN(BestPageTest)
#include "test_bestpage.moc"
