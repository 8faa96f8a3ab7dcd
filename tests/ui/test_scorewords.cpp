// A name's 分数 and 通行评分 in words: the 凶 grids of each reading, the
// element term, and the grids the two readings judge differently, with the
// strokes behind them; the same sentences on 精选, in the comparison and on
// the printed page.
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "analysis/analyse_name.h"
#include "analysis/conventions_section.h"
#include "analysis/score_factors.h"
#include "calendar/trans_date.h"
#include "report/name_report_pdf.h"
#include "report/score_words.h"
#include "ui/BestPage.h"
#include "ui/MainWindow.h"
#include "ui/qtext.h"
#include "window_fixture.h"

using tavrin::report::ScoreText;

class ScoreWordsTest : public QObject {
  Q_OBJECT

 private slots:
  void sentences_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("surnameLength");
    QTest::addColumn<bool>("chart");
    QTest::addColumn<QStringList>("expected");  // in the sentences, in this order
    QTest::addColumn<QStringList>("absent");
    // 林采薇: 100 by the program's count, 39 by 康熙 (薇 counts 艹 as 艸).
    QTest::newRow("林采薇") << "林采薇" << 1 << true
                            << QStringList{"分数 100：天格9 为凶",
                                           "天格只由姓定",
                                           "封顶 100",
                                           "通行评分 39：",
                                           "外格20 凶",
                                           "地格27 半吉",
                                           "三才凶",
                                           "地格两种算法不同：本程序算 24（吉），通行算法算 27（半吉）",
                                           "外格两种算法不同：本程序算 17（吉），通行算法算 20（凶）",
                                           "“薇”本程序 16 画、康熙字典 19 画"}
                            << QStringList{"“采”", "“林”"};
    // 林悦然: 50, two grids 凶; 悦 counts 忄 as 心 by 康熙.
    QTest::newRow("林悦然") << "林悦然" << 1 << true
                            << QStringList{"分数 50：天格9、地格22 为凶",
                                           "人格两种算法不同：本程序算 18（吉），通行算法算 19（凶）",
                                           "“悦”本程序 10 画、康熙字典 11 画"}
                            << QStringList{"封顶"};
    QTest::newRow("no chart") << "林悦然" << 1 << false << QStringList{"还没有八字", "没有八字，喜用五行不算"}
                              << QStringList{"五行齐全"};
    // The program's grids do not know compound surnames: no grid is compared.
    QTest::newRow("欧阳子涵") << "欧阳子涵" << 2 << true << QStringList{"不按复姓算", "通行评分"}
                              << QStringList{"两种算法不同", "笔画数不同"};
  }
  void sentences() {
    QFETCH(QString, name);
    QFETCH(int, surnameLength);
    QFETCH(bool, chart);
    QFETCH(QStringList, expected);
    QFETCH(QStringList, absent);
    const std::string gbk = tavrin::ui::ToGbk(name);
    const tavrin::ScoreFactors factors =
        chart ? tavrin::ReadScoreFactors(*tavrin::test::WindowStores(), gbk, surnameLength, 2025, 12, 1,
                                         tavrin::BirthHour::At(17))
              : tavrin::ReadScoreFactors(*tavrin::test::WindowStores(), gbk, surnameLength, {}, {});
    const QString text = ScoreText::Describe(factors).All().join('\n');
    qsizetype from = 0;
    for (const QString& part : expected) {
      const qsizetype at = text.indexOf(part, from);
      QVERIFY2(at >= 0, qPrintable(part + "\n--- in ---\n" + text));
      from = at;
    }
    for (const QString& part : absent) QVERIFY2(!text.contains(part), qPrintable(part + "\n--- in ---\n" + text));
  }

  // The favourable elements the user chose for the 通行算法 reading are the
  // ones its sentence counts: one 通行评分 on both pages of the printout.
  void chosenFavourableElements() {
    const tavrin::DataStores& stores = *tavrin::test::WindowStores();
    for (const char* chosen : {"", "土", "木火"}) {
      tavrin::NameReport report;
      tavrin::TTransDate transDate;
      report =
          tavrin::AnalyseOneName(stores, transDate, {tavrin::ui::ToGbk("张伟"), "2012", "1", "1", {"1"}}, {}).report;
      const auto favourable = *chosen ? tavrin::ParseElementList(tavrin::ui::ToGbk(chosen)) : std::nullopt;
      report.conventions =
          tavrin::ReadNameConventions(stores, tavrin::ConventionsRequestFor(report, *stores.advice, favourable));
      const tavrin::ScoreFactors factors = tavrin::ReadScoreFactors(stores, report);
      QVERIFY(factors.conventions && report.conventions->reading);
      QCOMPARE(factors.conventions->score, report.conventions->reading->score);
      QCOMPARE(factors.conventions->favourableCharacters, report.conventions->reading->favourableCharacters);
    }
  }

  // The comparison puts the verdict first and the two scores with their
  // sentences right after it.
  void comparisonLeadsWithTheVerdict() {
    tavrin::report::ComparedName name;
    name.report.name = tavrin::ui::ToGbk("林采薇");
    name.report.score = 100;
    name.report.factors = tavrin::ReadScoreFactors(*tavrin::test::WindowStores(), name.report.name, 1, 2025, 12, 1,
                                                   tavrin::BirthHour::At(17));
    name.recommend = "86";
    const auto rows = tavrin::report::ComparisonRows({name});
    QStringList labels;
    for (const auto& row : rows) labels << row.label;
    QCOMPARE(labels.mid(0, 4), (QStringList{"姓名", "推荐度", "分数", "分数说明"}));
    QVERIFY(rows[3].cells[0].contains("外格两种算法不同"));
  }

  // A comparison taller than a page goes on over the next, the names heading
  // it again; its last rows (the family's votes) are not lost off the foot.
  void aLongComparisonGoesOnToANewPage() {
    std::vector<tavrin::report::ComparedName> names(4);
    int i = 0;
    for (const char* given : {"采薇", "子衿", "若溪", "书瑶"}) {
      tavrin::report::ComparedName& name = names[static_cast<std::size_t>(i++)];
      name.report.name = tavrin::ui::ToGbk(QString("林") + given);
      name.note = QString("家里人都喜欢这个名字。").repeated(40);
      name.familyScore = "★4.5 · 2票";
      name.familyVotes = QString("奶奶 ★★★★☆:%1号").arg(i);
    }
    QTemporaryDir dir;
    const QString pdf = dir.filePath("compared.pdf");
    QString error;
    QVERIFY2(tavrin::report::WriteComparisonPdf(names, pdf.toStdString(), error), qPrintable(error));
    const auto pageText = [&](int page) {
      QProcess text;
      text.start("pdftotext", {"-f", QString::number(page), "-l", QString::number(page), pdf, "-"});
      text.waitForFinished(20000);
      return QString::fromUtf8(text.readAllStandardOutput());
    };
    const QString first = pageText(1), second = pageText(2);
    QVERIFY2(!first.contains("奶奶") && second.contains("4号") && second.contains("书瑶"), qPrintable(second));
  }

  // 精选's details: 推荐度 first, then the sentences on the two scores.
  void bestDetailsLeadWithTheVerdict() {
    tavrin::ui::MainWindow window(tavrin::test::WindowStores(), 5);
    tavrin::test::Find<QLineEdit>(window, "bsSkinEdit1")->setText("10");
    QTest::mouseClick(tavrin::test::Find<QPushButton>(window, "bsSkinButton1"), Qt::LeftButton);
    auto* best = window.findChild<tavrin::ui::BestPage*>();
    best->Table()->selectRow(0);
    const QString details = best->DetailsText();
    QVERIFY2(details.contains(QRegularExpression("推荐度 \\d+.*\\n分数 -?\\d+：")), qPrintable(details));
  }
};

QTEST_MAIN(ScoreWordsTest)
#include "test_scorewords.moc"
