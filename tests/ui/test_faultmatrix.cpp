// The window on broken data: for every data file and the poem database, each
// fault of the matrix (data_faults.h) in a copy of the data directory, the
// window is started on it, then Generate, an analysis, a poetry start and a
// second Generate are run. A required file that cannot be read is named at
// start-up and refused by Generate (and 5ge.dat, which scoring needs, by the
// analysis and the poetry start); so is any file that is there but no regular
// file, too big or with too long a line (an optional one is then only named);
// everything else is silent; the window is usable after each step, and no
// cell takes more than a few seconds. The command line's cells are in tests/cli.
//
// Set TAVRIN_FAULT_TABLE to a file name to get the observed outcome of every
// cell as the rows of a Markdown table.
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

#include "core/poetry_db.h"
#include "data_faults.h"
#include "ui/MainWindow.h"
#include "ui/qtext.h"
#include "window_fixture.h"

using tavrin::test::Find;
using tavrin::ui::MainWindow;
namespace fault = tavrin::test;

namespace {

QStringList Lines(const tavrin::Pane& pane) {
  QStringList lines;
  for (const std::string& line : pane.Lines()) lines << tavrin::ui::FromGbk(line);
  return lines;
}

QString Shown(const QStringList& messages) { return messages.isEmpty() ? "—" : messages.join(" / "); }

}  // namespace

class FaultMatrixTest : public QObject {
  Q_OBJECT

 private slots:
  void cells_data() {
    QTest::addColumn<int>("cell");
    const auto cells = fault::AllFaultCells();
    for (int i = 0; i < static_cast<int>(cells.size()); ++i) QTest::newRow(cells[i].Label().c_str()) << i;
  }

  void cells() {
    QFETCH(int, cell);
    const fault::FaultCell c = fault::AllFaultCells()[static_cast<std::size_t>(cell)];
    tavrin::test::MessageRecorder recorder;
    QStringList& messages = recorder.texts;
    const QString fileName = QString::fromUtf8(c.file.name);
    fault::TempDataDir dir;
    QVERIFY(!dir.Path().empty());
    fault::CopyShippedData(tavrin::FindDataDir(), dir.Path());
    fault::ApplyFault(dir.Path(), c.file, c.fault);
    const bool unreadable = fault::Unreadable(dir.Path(), c);
    const bool rootReads = c.fault == fault::DataFault::kUnreadable && !unreadable;
    const bool requiredFails = c.file.role == fault::DataRole::kRequired && unreadable;
    const bool numerologyFails = requiredFails && QString(c.file.name) == "5ge.dat";
    // Without a usable pinyin index no surname has a tone, so the first
    // generator ends the run with its message (the index is optional, and
    // start-up says nothing).
    const bool noPinyin = QString(c.file.name) == "yq.dat" && !rootReads;
    const bool named = fault::NamedAtStartup(c);
    QElapsedTimer clock;
    clock.start();

    MainWindow window(tavrin::StartUp(dir.DirText()), 1);
    window.show();
    window.ReportStartupFailures();
    const QStringList startup = messages;
    if (requiredFails || named) {
      QCOMPARE(startup.size(), 1);
      QVERIFY2(startup[0].contains(fileName), qPrintable(startup[0]));
    } else {
      QCOMPARE(startup, QStringList());
    }

    Find<QLineEdit>(window, "bsSkinEdit1")->setText("3");
    auto* generate = Find<QPushButton>(window, "bsSkinButton1");
    auto* stop = Find<QPushButton>(window, "stopButton");
    const QString refusal = "缺少数据文件" + fileName + ",无法生成名字";
    const QString toneless = "姓氏“张”的拼音“张”没有声调,无法生成二字名";
    QStringList generateMessages[2];
    QStringList analysisMessages;
    QStringList poetryOpenMessages;  // when the page is shown
    QStringList poetryMessages;      // at 开 始
    for (int run = 0; run < 2; ++run) {
      messages.clear();
      QTest::mouseClick(generate, Qt::LeftButton);
      generateMessages[run] = messages;
      QVERIFY(generate->isEnabled() && !stop->isEnabled());  // usable again
      const QStringList summaryPane = Lines(window.Model().PaneOf(tavrin::Origin::kSettings));
      if (requiredFails) {
        QCOMPARE(messages, QStringList{refusal});
        QCOMPARE(summaryPane, QStringList());
      } else if (noPinyin) {
        QCOMPARE(messages, QStringList{toneless});
        QCOMPARE(summaryPane.value(0), QString("开始分析八字"));
      } else {
        QCOMPARE(messages, QStringList());
        QCOMPARE(summaryPane.value(0), QString("开始分析八字"));
      }
      if (run == 0) {
        // Between the two runs: an analysis and a poetry start.
        messages.clear();
        window.Pages()->setCurrentIndex(6);
        Find<QLineEdit>(window, "bsSkinEdit2")->setText("张伟");
        QTest::mouseClick(Find<QPushButton>(window, "bsSkinButton2"), Qt::LeftButton);
        analysisMessages = messages;
        const QStringList analysisPane = Lines(window.Model().PaneOf(tavrin::Origin::kAnalysis));
        if (numerologyFails) {
          // The score needs the numerology table.
          QCOMPARE(messages, QStringList{"缺少数据文件5ge.dat,无法分析名字"});
          QCOMPARE(analysisPane, QStringList());
        } else {
          QCOMPARE(messages, QStringList());
          QCOMPARE(analysisPane.value(0), QString("开始分析八字"));
          QVERIFY(analysisPane.last().startsWith("分数:"));
        }

        messages.clear();
        window.Pages()->setCurrentIndex(8);
        poetryOpenMessages = messages;
        messages.clear();
        auto* poem = Find<QPlainTextEdit>(window, "DBMemo1");
        QTest::mouseClick(Find<QPushButton>(window, "bsSkinButton3"), Qt::LeftButton);
        poetryMessages = messages;
        const bool poemsFail = c.file.role == fault::DataRole::kPoems && !rootReads && !fault::PoemsReadable(c);
        if (poemsFail) {
          // Missing or a directory: the page stays empty in silence; a file
          // that is there but is no readable database is named in a message.
          if (unreadable && c.fault != fault::DataFault::kUnreadable) {
            QCOMPARE(poetryOpenMessages, QStringList());
          } else {
            QCOMPARE(poetryOpenMessages.size(), 1);
            QVERIFY2(poetryOpenMessages[0].contains("poetry.db"), qPrintable(poetryOpenMessages[0]));
          }
          QVERIFY(poem->toPlainText().isEmpty());
          QCOMPARE(poetryMessages, QStringList{"请先选择诗歌"});
        } else {
          QCOMPARE(poetryOpenMessages, QStringList());
          QVERIFY(!poem->toPlainText().isEmpty());  // the first poem
          // A poem too long to lay out at once is shown cut, with a note.
          const QString cutNote = Find<QLabel>(window, "poemCutNote")->text();
          if (c.fault == fault::DataFault::kLongPoem) {
            QCOMPARE(poem->toPlainText().size(), qsizetype(tavrin::kMaxPoemTextChars));
            QVERIFY2(cutNote.contains("100000"), qPrintable(cutNote));
          } else {
            QCOMPARE(cutNote, QString());
          }
          if (numerologyFails) {
            QCOMPARE(poetryMessages, QStringList{"缺少数据文件5ge.dat,无法从诗歌取名"});
            QCOMPARE(Lines(window.Model().PaneOf(tavrin::Origin::kPoetry)), QStringList());
          } else {
            QCOMPARE(poetryMessages, QStringList());
            QCOMPARE(Lines(window.Model().PaneOf(tavrin::Origin::kPoetry)).value(0), QString("出生日期:2012年1月1日"));
          }
        }
        window.Pages()->setCurrentIndex(0);
      }
    }
    QCOMPARE(generateMessages[1], generateMessages[0]);
    // Nothing hung: a FIFO, /dev/zero or 2 GB is refused at once, an endless
    // view within its time bound.
    QVERIFY2(clock.elapsed() < 10'000, qPrintable(QString::number(clock.elapsed())));
    // The database is read as it is: no journal or side file is made beside it.
    for (const char* side : {"poetry.db-wal", "poetry.db-shm", "poetry.db-journal"}) {
      QVERIFY2(!std::filesystem::exists(dir.Path() / side), side);
    }

    if (const QByteArray out = qgetenv("TAVRIN_FAULT_TABLE"); !out.isEmpty()) {
      QFile table(QString::fromLocal8Bit(out));
      QVERIFY(table.open(QIODevice::Append | QIODevice::Text));
      QString generated = Shown(generateMessages[0]);
      if (generateMessages[0].isEmpty()) generated = "run completed";
      QString poetry = Shown(poetryOpenMessages + poetryMessages);
      if (poetry == "—") poetry = "first poem shown, names written";
      const QString analysis = analysisMessages.isEmpty() ? "analysis written" : Shown(analysisMessages);
      const QString note = rootReads ? " (root: mode 000 does not stop reads; runs as intact)" : "";
      QString row = QString("| %1 | %2%3 | %4 | %5 | %6 | %7 |\n")
                        .arg(fileName, fault::FaultName(c.fault), note, Shown(startup), generated, analysis, poetry);
      row.replace(QString::fromStdString(dir.DirText()), "<dir>/");
      table.write(row.toUtf8());
    }
  }
};

QTEST_MAIN(FaultMatrixTest)
#include "test_faultmatrix.moc"
