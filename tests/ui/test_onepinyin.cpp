// One reading of a name wherever its pinyin is shown: the surname 曾 is zēng
// on 姓名报表, 精选, 收藏, in the comparison and the printout, and in the
// command line's pinyin --name, advise and generate --best; offscreen.
#include <QDialog>
#include <QProcess>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <tuple>

#include "core/naming_model.h"
#include "favourites/store.h"
#include "ui/BestModel.h"
#include "ui/BestPage.h"
#include "ui/FavouritesModel.h"
#include "ui/FavouritesPage.h"
#include "ui/MainWindow.h"
#include "ui/ReportModel.h"
#include "ui/ReportPage.h"
#include "ui/qtext.h"
#include "window_fixture.h"

using tavrin::test::Find;
using tavrin::ui::ToGbk;

namespace {

const QString kName = "曾乐";
const QString kReading = "zēng lè";

tavrin::Candidate Made(const QString& name) {
  tavrin::Candidate candidate;
  candidate.fullName = ToGbk(name);
  candidate.surnameBytes = 2;
  candidate.score = 80;
  return candidate;
}

// The cell of the row whose first column is `name`.
QString CellOf(const QAbstractItemModel& model, const QString& name, int column) {
  const QModelIndexList rows = model.match(model.index(0, 0), Qt::DisplayRole, name, 1, Qt::MatchExactly);
  return rows.isEmpty() ? QString() : model.index(rows.front().row(), column).data().toString();
}

QString Cli(const QStringList& args) {
  QProcess cli;
  cli.start(QCoreApplication::applicationDirPath() + "/tavrin-cli", args);
  if (!cli.waitForFinished(60000) || cli.exitCode() != 0) qFatal("tavrin-cli %s failed", qPrintable(args.join(' ')));
  return QString::fromUtf8(cli.readAllStandardOutput());
}

}  // namespace

class OnePinyinTest : public QObject {
  Q_OBJECT

 private slots:
  void pagesReadTheSurnameAsASurname() {
    const tavrin::SharedStores& stores = tavrin::test::WindowStores();
    tavrin::ReportList report;
    tavrin::ui::ReportPage reportPage(report, *stores->services);
    tavrin::ReportRow row;
    row.candidate = Made(kName);
    report.Append(row);
    QCOMPARE(reportPage.Model().CellText(0, tavrin::ui::ReportModel::kPinyin), kReading);
    QCOMPARE(reportPage.Model().CellText(0, tavrin::ui::ReportModel::kTones), QString("1-4 ✓"));

    tavrin::NamingRunState runs;
    tavrin::ui::BestPage best(runs, stores->advice.get(), *stores->services);
    tavrin::PaneLine line;
    line.Add(Made(kName));
    line.FlushTo(runs.twoCharPane);  // as a generator shows it
    best.Collect();
    QCOMPARE(CellOf(best.Model(), kName, tavrin::ui::BestModel::kPinyin), kReading);

    tavrin::test::MessageRecorder recorder;
    QTemporaryDir dir;
    tavrin::ui::MainWindow window(stores, 1);
    tavrin::ui::FavouritesPage& favourites = *window.Favourites();
    favourites.SetStore(std::make_unique<tavrin::FavouritesStore>(dir.filePath("f.db").toStdString()));
    for (const QString& name : {kName, QString("曾子墨")}) {
      tavrin::Favourite kept;
      kept.name = tavrin::GbkText(ToGbk(name));
      std::tie(kept.year, kept.month, kept.day, kept.hour) = std::tuple(2012, 3, 1, 8);
      favourites.Store()->Save(kept);
    }
    favourites.Refresh();
    QCOMPARE(CellOf(favourites.Model(), kName, tavrin::ui::FavouritesModel::kPinyin), kReading);

    favourites.Table()->selectAll();
    QDialog* comparison = favourites.Compare();
    QVERIFY(comparison);
    auto* table = Find<QTableWidget>(*comparison, "comparisonTable");
    QStringList readings;
    for (int r = 0; r < table->rowCount(); ++r) {
      for (int c = 0; table->verticalHeaderItem(r)->text() == "拼音" && c < table->columnCount(); ++c) {
        readings << table->item(r, c)->text();
      }
    }
    QCOMPARE(readings.size(), 2);
    QVERIFY(readings.contains(kReading) && readings.contains("zēng zǐ mò"));
    comparison->close();

    const QString pdf = dir.filePath("kept.pdf");
    QVERIFY(favourites.Print(pdf));
    QProcess text;
    text.start("pdftotext", {pdf, "-"});
    QVERIFY(text.waitForFinished(20000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY2(printed.contains(kReading) && printed.contains("zēng zǐ mò"), qPrintable(printed));
  }

  void commandsReadTheSurnameAsASurname() {
    QCOMPARE(Cli({"pinyin", kName, "--name"}), kReading + "\n");
    QCOMPARE(Cli({"pinyin", kName}), QString("Ceng2 Le4\n"));  // the sound rules' reading stays
    QVERIFY(Cli({"advise", kName}).startsWith(kName + "  " + kReading + "  "));
    const QString run = Cli({"generate", "--surname", "曾", "--seed", "7", "--count", "20", "--best", "10"});
    const QStringList bestLines = run.section("【精选】\n", 1).split('\n', Qt::SkipEmptyParts);
    QVERIFY(bestLines.size() > 1);  // the names, then the seed
    for (const QString& best : bestLines.mid(0, bestLines.size() - 1)) {
      if (!best.contains('\t')) continue;  // what the baby needs, over the names
      QVERIFY2(best.section('\t', 1, 1).startsWith("zēng "), qPrintable(best));
    }
  }
};

QTEST_MAIN(OnePinyinTest)
#include "test_onepinyin.moc"
