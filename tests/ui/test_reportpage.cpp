// The report as a table parents work with, and the ways from a name to its
// analysis, offscreen: sorting, filtering, copying and exporting on a fixed
// report; double-clicks on a pane and on a report row; the keyboard.
#include <sys/stat.h>
#include <unistd.h>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTextBlock>
#include <QtTest>
#include <functional>

#include "core/naming_model.h"
#include "sources/name_notes.h"
#include "ui/MainWindow.h"
#include "ui/MessageBox.h"
#include "ui/PaneView.h"
#include "ui/ReportModel.h"
#include "ui/ReportPage.h"
#include "ui/qtext.h"
#include "window_fixture.h"

using tavrin::ui::MainWindow;
using tavrin::ui::ReportModel;
using tavrin::ui::ReportPage;

namespace {

const tavrin::SharedStores& Stores() { return tavrin::test::WindowStores(); }
using tavrin::test::Find;

tavrin::ReportRow Row(const QString& name, const QString& score, const QString& nameElements = "木火") {
  using tavrin::ui::ToGbk;
  tavrin::ReportRow row;
  row.candidate.fullName = ToGbk(name);
  row.candidate.surnameBytes = 2;
  row.candidate.score = score.toInt();
  row.birthElements = ToGbk("金木水火");
  row.scored.score = row.candidate.score;
  row.scored.nameElements = ToGbk(nameElements);
  row.scored.matches = {{tavrin::kHeavenGrid, 0, ToGbk("第8数吉"), 30},
                        {tavrin::kPersonGrid, 1, ToGbk("第15数吉"), 30}};
  return row;
}

// The names shown, top to bottom.
QStringList ShownNames(const ReportPage& page) {
  QStringList names;
  for (const int row : page.ShownRows()) names << page.Model().CellText(row, ReportModel::kName);
  return names;
}

// The records of an RFC 4180 text.
QList<QStringList> ParseCsv(const QString& text) {
  QList<QStringList> records{{}};
  QString field;
  bool quoted = false;
  for (int i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      records.last() << field;
      field.clear();
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      records.last() << field;
      field.clear();
      records << QStringList{};
      ++i;
    } else {
      field += c;
    }
  }
  records.removeLast();  // after the last line end
  return records;
}

// A PDF of the report page and the 通行算法 page, every font embedded, whose text holds `name`.
QString Run(const QString& program, const QStringList& args) {
  QProcess process;
  process.start(program, args);
  if (!process.waitForFinished(20000) || process.exitCode() != 0) qFatal("%s failed", qPrintable(program));
  return QString::fromUtf8(process.readAllStandardOutput());
}

void CheckPdf(const QString& path, const QString& name) {
  const auto run = Run;
  QVERIFY(run("pdfinfo", {path}).contains(QRegularExpression("Pages:\\s+2\\n")));
  const QStringList fonts = run("pdffonts", {path}).split('\n', Qt::SkipEmptyParts).mid(2);
  QVERIFY(!fonts.isEmpty());
  for (const QString& font : fonts) QVERIFY2(font.contains(" yes "), qPrintable(font));
  QVERIFY(run("pdftotext", {path, "-"}).contains(name));
}

}  // namespace

class ReportPageTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    messages.clear();
    tavrin::ui::SetMessageHook([this](const QString& text) { messages << text; });
  }
  void cleanup() { tavrin::ui::SetMessageHook(nullptr); }

  void extraColumns() {
    tavrin::ReportList report;
    ReportPage page(report, *Stores()->services);
    report.Append(Row("张伟明", "85"));
    const ReportModel& model = page.Model();
    QCOMPARE(model.CellText(0, ReportModel::kPinyin), QString("zhāng wěi míng"));
    QCOMPARE(model.CellText(0, ReportModel::kStrokes), QString("7-6-8"));
    QCOMPARE(model.CellText(0, ReportModel::kTones), QString("1-3-2 ✓"));  // 1, 3 then 2 is allowed
    QCOMPARE(model.CellText(0, ReportModel::kGrids), QString("85,天格:第8数吉 | 人格:第15数吉"));
    report.Append(Row("张张", "70"));
    QCOMPARE(model.CellText(1, ReportModel::kTones), QString("1-1 ✗"));
  }

  // 出处: the best line of the given name, short; the 姓名 tooltip: each given
  // character's meaning and common words, then the line with its collection.
  void sourceColumnAndTooltips() {
    tavrin::ReportList report;
    ReportPage page(report, *Stores()->services);
    const struct {
      const char* name;
      const char* source;  // 出处, empty for none
      const char* tipHolds;
    } cases[] = {
        {"王子衿", "《子衿》佚名：青青子衿", "衿（jīn）衣领，青青子衿，喻学子\n  collar or lapel of garment"},
        {"孟浩然", "《公孙丑上》孟轲：我善养吾浩然之气", "浩（hào）水势盛大，喻广阔、正大；常用词："},
        {"欧阳修远", "《离骚》屈原：路漫漫其修远兮", "出处：《离骚》屈原：路漫漫其修远兮（楚辞）"},
        {"王犇犇", "", "犇"},
    };
    for (const auto& c : cases) report.Append(Row(c.name, "90"));
    const ReportModel& model = page.Model();
    QCOMPARE(ReportModel::Captions().last(), QString("出处"));
    QCOMPARE(model.CellText(0, ReportModel::kSource), QString());  // nothing to look in yet
    tavrin::sources::NameNotes notes(Stores()->dataDir, Stores()->advice);
    page.SetNotes(&notes);
    for (int row = 0; row < static_cast<int>(std::size(cases)); ++row) {
      const auto& c = cases[row];
      QCOMPARE(model.CellText(row, ReportModel::kSource), QString(c.source));
      const QString tip = model.index(row, ReportModel::kName).data(Qt::ToolTipRole).toString();
      QVERIFY2(tip.contains(c.tipHolds), qPrintable(tip));
      QCOMPARE(tip.contains("出处："), *c.source != 0);
    }
  }

  void sortingAndFiltering() {
    tavrin::ReportList report;
    ReportPage page(report, *Stores()->services);
    for (const auto& [name, score] : {std::pair{"张伟", "85"}, {"李明", "100"}, {"王芳", "70"}, {"赵磊", "9"}}) {
      report.Append(Row(name, score));
    }
    QCOMPARE(ShownNames(page), (QStringList{"张伟", "李明", "王芳", "赵磊"}));  // the order of acceptance
    QHeaderView* header = page.Table()->horizontalHeader();
    const auto clickHeader = [&](int column) {
      QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                        QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    };
    clickHeader(ReportModel::kScore);
    QCOMPARE(ShownNames(page), (QStringList{"赵磊", "王芳", "张伟", "李明"}));  // 9 < 70 < 85 < 100
    clickHeader(ReportModel::kScore);
    QCOMPARE(ShownNames(page), (QStringList{"李明", "张伟", "王芳", "赵磊"}));
    clickHeader(ReportModel::kName);
    QCOMPARE(ShownNames(page), (QStringList{"李明", "王芳", "张伟", "赵磊"}));  // li, wang, zhang, zhao
    // The core keeps its order.
    QCOMPARE(tavrin::ui::FromGbk(report.Rows()[0].candidate.fullName), QString("张伟"));

    auto* count = Find<QLabel>(page, "reportCount");
    QCOMPARE(count->text(), QString("显示 4 / 共 4 个名字"));
    Find<QSpinBox>(page, "reportMinimumScore")->setValue(80);
    QCOMPARE(ShownNames(page), (QStringList{"李明", "张伟"}));
    QCOMPARE(count->text(), QString("显示 2 / 共 4 个名字"));
    auto* chars = Find<QLineEdit>(page, "reportCharacters");
    chars->insert("明 芳");  // as an input method commits it
    QCOMPARE(ShownNames(page), (QStringList{"李明"}));
    Find<QSpinBox>(page, "reportMinimumScore")->setValue(0);
    QCOMPARE(ShownNames(page), (QStringList{"李明", "王芳"}));
    report.Append(Row("孙芳", "90"));  // a row written while filtered
    QCOMPARE(ShownNames(page), (QStringList{"李明", "孙芳", "王芳"}));
    QCOMPARE(count->text(), QString("显示 3 / 共 5 个名字"));
    chars->clear();
    QCOMPARE(page.ShownRows().size(), std::size_t{5});
    report.Append(Row("欧阳芳", "-20"));  // no minimum (0, 不限) hides no score
    QCOMPARE(page.ShownRows().size(), std::size_t{6});
  }

  // The empty table says why it is empty (no run yet, the last run's
  // reason, filters that hide every row) and stands clear with rows; a
  // double-click on a sorted row asks for the analysis of that row's name.
  void emptyHintAndAnalysis() {
    tavrin::ReportList report;
    ReportPage page(report, *Stores()->services);
    auto* hint = Find<QLabel>(page, "emptyHint");
    auto* minScore = Find<QSpinBox>(page, "reportMinimumScore");
    const struct {
      const char* what;
      std::function<void()> act;
      QString says;  // empty: the hint is hidden
    } cases[] = {
        {"no run yet", [] {}, "点“生成”，得分高于 70 的名字"},
        {"the last run's reason", [&] { page.SetEmptyReason("没有名字高于 70 分"); }, "没有名字高于 70 分"},
        {"a row", [&] { report.Append(Row("张伟", "85")); }, {}},
        {"every row filtered out", [&] { minScore->setValue(90); }, "没有名字符合筛选条件"},
        {"the filter cleared", [&] { minScore->setValue(0); }, {}},
    };
    for (const auto& c : cases) {
      c.act();
      QVERIFY2(hint->isHidden() == c.says.isEmpty(), c.what);
      if (!c.says.isEmpty()) QVERIFY2(hint->text().contains(c.says), c.what);
    }

    report.Append(Row("李明", "100"));
    report.Append(Row("王芳", "70"));
    page.Table()->sortByColumn(ReportModel::kScore, Qt::AscendingOrder);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QSignalSpy asked(&page, &ReportPage::analyseRequested);
    const QRect cell = page.Table()->visualRect(page.Table()->model()->index(0, ReportModel::kScore));
    QTest::mouseClick(page.Table()->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(page.Table()->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked.front().front().toString(), QString("王芳"));  // the lowest score, the last row of the model
  }

  void copyAndExports() {
    tavrin::ReportList report;
    ReportPage page(report, *Stores()->services);
    report.Append(Row("张伟", "85", "木,\"火\"\r土"));  // a comma, quotes and a CR
    report.Append(Row("李明", "100"));
    report.Append(Row("王芳", "70"));

    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    page.activateWindow();
    page.Table()->setFocus();
    page.Table()->selectRow(0);
    page.Table()->selectionModel()->select(page.Table()->model()->index(2, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QTest::keySequence(page.Table(), QKeySequence::Copy);
    const QStringList copied = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    QCOMPARE(copied.size(), 3);
    QCOMPARE(copied[0], ReportModel::Captions().join('\t'));
    QVERIFY(copied[1].startsWith("张伟\t85\t"));
    QVERIFY(copied[2].startsWith("王芳\t70\t"));

    QTemporaryDir dir;
    const QString csvPath = dir.filePath("report.csv");
    QVERIFY(page.ExportCsv(csvPath));
    QFile csv(csvPath);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QByteArray bytes = csv.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    const QList<QStringList> records = ParseCsv(QString::fromUtf8(bytes.mid(3)));
    QCOMPARE(records.size(), 4);
    QCOMPARE(records[0], ReportModel::Captions());
    for (int row = 0; row < 3; ++row) {
      for (int column = 0; column < ReportModel::kColumnCount; ++column) {
        QCOMPARE(records[row + 1][column], page.Model().CellText(row, column));
      }
    }
    QCOMPARE(records[1][ReportModel::kNameElements], QString("木,\"火\"\r土"));

    const QString jsonPath = dir.filePath("report.json");
    QVERIFY(page.ExportJson(jsonPath));
    QFile json(jsonPath);
    QVERIFY(json.open(QIODevice::ReadOnly));
    const QJsonArray array = QJsonDocument::fromJson(json.readAll()).array();
    QCOMPARE(array.size(), 3);
    for (int row = 0; row < 3; ++row) {
      const QJsonObject object = array[row].toObject();
      QCOMPARE(object.size(), ReportModel::kColumnCount);
      for (int column = 0; column < ReportModel::kColumnCount; ++column) {
        QCOMPARE(object[ReportModel::Captions()[column]].toString(), page.Model().CellText(row, column));
      }
    }

    // A file that cannot be written: a message, and nothing left behind.
    const QString blocked = dir.filePath("missing/report.csv");
    QVERIFY(!page.ExportCsv(blocked));
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages[0].startsWith("无法写入文件 " + blocked));
    QVERIFY(!QFile::exists(blocked));

    // A cell a spreadsheet would take for a formula gets an apostrophe.
    report.Append(Row("=鬓沉", "85", "@木"));
    QVERIFY(page.ExportCsv(csvPath));
    QFile again(csvPath);  // a new file took the old one's place
    QVERIFY(again.open(QIODevice::ReadOnly));
    QStringList formula;
    for (const QStringList& record : ParseCsv(QString::fromUtf8(again.readAll().mid(3)))) {
      if (record.value(0).contains("鬓沉")) formula = record;
    }
    QCOMPARE(formula.value(0), QString("'=鬓沉"));
    QCOMPARE(formula[ReportModel::kNameElements], QString("'@木"));

    // A FIFO is refused with a message box and left as it is (the other kinds: safe_write_test).
    const QString fifo = dir.filePath("fifo.csv");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    messages.clear();
    QVERIFY(!page.ExportCsv(fifo));
    QCOMPARE(messages, QStringList{"无法写入文件 " + fifo + ":目标是一个管道,不是普通文件,没有写入"});
    struct stat info{};
    QVERIFY(::stat(QFile::encodeName(fifo).constData(), &info) == 0 && S_ISFIFO(info.st_mode));
  }

  // A double-clicked name of a result pane or of the report opens in the
  // analysis with the settings page's birth date and hour.
  void doubleClickToAnalysis() {
    MainWindow window(Stores(), 5);
    window.show();
    Find<QLineEdit>(window, "bsSkinEdit1")->setText("3");
    Find<QComboBox>(window, "bsSkinComboBox2")->setEditText("6");
    Find<QComboBox>(window, "bsSkinComboBox5")->setEditText("13");
    QTest::mouseClick(Find<QPushButton>(window, "bsSkinButton1"), Qt::LeftButton);

    window.Pages()->setCurrentIndex(2);
    auto* pane = Find<tavrin::ui::PaneView>(window, "Memo3");
    const QTextBlock block = pane->document()->firstBlock();
    const QString line = block.text();
    const int second = line.indexOf("   ") + 3;  // the second entry
    const QString expected = line.mid(second, 3);
    for (const int offset : {0, 2, 5}) {  // its start, middle and score
      QCOMPARE(pane->NameAtPosition(block.position() + second + offset), expected);
    }
    QCOMPARE(pane->NameAtPosition(block.position() + second - 1), QString());  // the blanks before it
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + second + 1);
    const QRect rect = pane->cursorRect(cursor);
    QTest::mouseDClick(pane->viewport(), Qt::LeftButton, {}, QPoint(rect.left() + 4, rect.center().y()));
    QCOMPARE(window.Pages()->currentIndex(), 6);
    QCOMPARE(Find<QLineEdit>(window, "bsSkinEdit2")->text(), expected);
    QCOMPARE(Find<QComboBox>(window, "bsSkinComboBox6")->currentText(), QString("6"));
    QCOMPARE(Find<QComboBox>(window, "bsSkinComboBox8")->currentText(), QString("13"));
    const QString analysis = Find<tavrin::ui::PaneView>(window, "Memo4")->toPlainText();
    QVERIFY(analysis.contains("开始分析八字"));
    QVERIFY(messages.isEmpty());

    window.Pages()->setCurrentIndex(7);
    auto* table = Find<QTableView>(window, "ListView1");
    QVERIFY(table->model()->rowCount() > 0);
    const QString reported = table->model()->index(0, 0).data().toString();
    const QRect cell = table->visualRect(table->model()->index(0, 0));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(window.Pages()->currentIndex(), 6);
    QCOMPARE(Find<QLineEdit>(window, "bsSkinEdit2")->text(), reported);
  }

  // The last completed analysis as a PDF, from the window and from the
  // command line.
  void analysisPdf() {
    MainWindow window(Stores(), 1);
    auto* exportPdf = Find<QPushButton>(window, "exportPdf");
    QVERIFY(!exportPdf->isEnabled());
    QTemporaryDir dir;
    Find<QLineEdit>(window, "bsSkinEdit2")->setText("张伟明");
    QTest::mouseClick(Find<QPushButton>(window, "bsSkinButton2"), Qt::LeftButton);
    QVERIFY(exportPdf->isEnabled());
    const QString path = dir.filePath("name.pdf");
    QVERIFY(window.ExportAnalysisPdf(path));
    // The saved file is named with its folder, where the user can open it.
    QCOMPARE(messages, QStringList{"已保存到 " + QDir::toNativeSeparators(path)});
    CheckPdf(path, "张伟明");
    QVERIFY(Run("pdftotext", {path, "-"}).contains("字义与出处"));
    QVERIFY(!window.ExportAnalysisPdf(dir.filePath("missing/name.pdf")));
    QCOMPARE(messages.size(), 2);

    // A refused analysis leaves nothing to export.
    Find<QComboBox>(window, "bsSkinComboBox7")->setEditText("31");
    Find<QComboBox>(window, "bsSkinComboBox6")->setEditText("2");
    QTest::mouseClick(Find<QPushButton>(window, "bsSkinButton2"), Qt::LeftButton);
    QVERIFY(!exportPdf->isEnabled());

    const QString cliPath = dir.filePath("cli.pdf");
    QProcess cli;
    cli.start(QCoreApplication::applicationDirPath() + "/tavrin-cli",
              {"analyse", "李明", "--date", "2012-06-15", "--hour", "13", "--pdf", cliPath});
    QVERIFY(cli.waitForFinished(20000));
    QCOMPARE(cli.exitCode(), 0);
    QCOMPARE(cli.readAllStandardError(), QByteArray());
    CheckPdf(cliPath, "李明");
    // The command line refuses a FIFO too, and takes a file name as the bytes it is.
    const QString fifo = dir.filePath("fifo.pdf");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    cli.start(QCoreApplication::applicationDirPath() + "/tavrin-cli", {"analyse", "李明", "--pdf", fifo});
    QVERIFY(cli.waitForFinished(20000));
    QCOMPARE(cli.exitCode(), 2);
    QVERIFY(QString::fromUtf8(cli.readAllStandardError()).contains("一个管道,不是普通文件"));
    // (the shell makes the bytes \377\376, which are no UTF-8)
    QCOMPARE(QProcess::execute("sh", {"-c", "\"$0\" 李明 --pdf \"$1/bad$(printf '\\377\\376').pdf\" >/dev/null",
                                      QCoreApplication::applicationDirPath() + "/tavrin-report", dir.path()}),
             0);
    QCOMPARE(::access((QFile::encodeName(dir.path()) + "/bad\xff\xfe.pdf").constData(), F_OK), 0);
  }

  void keyboard() {
    MainWindow window(Stores(), 1);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* surname = Find<QLineEdit>(window, "Edit1");
    Find<QLineEdit>(window, "bsSkinEdit1")->setText("2");
    QTest::keyClick(surname, Qt::Key_Return);  // Enter runs 生成
    QVERIFY(window.Model().PaneOf(tavrin::Origin::kSettings).Lines().size() > 3);
    QVERIFY(messages.isEmpty());

    // Esc runs 停止 only while it is enabled.
    QTest::keyClick(surname, Qt::Key_Escape);
    QVERIFY(!window.Model().Session().stopRequested);
    window.Model().Presentation().SetButtons({.generateEnabled = false, .stopEnabled = true});
    QTest::keyClick(surname, Qt::Key_Escape);
    QVERIFY(window.Model().Session().stopRequested);
    QVERIFY(!Find<QPushButton>(window, "stopButton")->isEnabled());
    // With 生成 disabled, Enter does nothing.
    window.Model().Presentation().SetButtons({.generateEnabled = false, .stopEnabled = false});
    const std::size_t lines = window.Model().PaneOf(tavrin::Origin::kSettings).Lines().size();
    QTest::keyClick(Find<QComboBox>(window, "bsSkinComboBox1")->lineEdit(), Qt::Key_Return);
    QCOMPARE(window.Model().PaneOf(tavrin::Origin::kSettings).Lines().size(), lines);
    window.Model().Presentation().SetButtons({});

    window.Pages()->setCurrentIndex(6);
    auto* name = Find<QLineEdit>(window, "bsSkinEdit2");
    name->setText("李明");
    QTest::keyClick(name, Qt::Key_Return);
    QVERIFY(Find<tavrin::ui::PaneView>(window, "Memo4")->toPlainText().contains("李明"));

    // Tab walks the settings page from the inputs to the buttons.
    const QStringList expected = {"bsSkinEdit1",     "Edit1",           "bsSkinComboBox1", "bsSkinComboBox2",
                                  "bsSkinComboBox3", "bsSkinComboBox5", "CheckRadioBox3",  "bsSkinEdit3",
                                  "CheckRadioBox4",  "bsSkinEdit4",     "wholeItemSound",  "bsSkinButton5",
                                  "stopButton",      "bsSkinButton1"};
    QStringList chain;
    QWidget* widget = Find<QWidget>(window, "bsSkinEdit1");
    while (chain.size() < expected.size()) {
      if (expected.contains(widget->objectName()) && !chain.contains(widget->objectName())) {
        chain << widget->objectName();
      }
      widget = widget->nextInFocusChain();
    }
    QCOMPARE(chain, expected);
  }

 private:
  QStringList messages;
};

QTEST_MAIN(ReportPageTest)
#include "test_reportpage.moc"
