// Bad inputs typed or pasted into the real widgets of the pages 姓名设置,
// 姓名分析 and 诗歌取名, then the page's button pressed. One window lives
// through the whole matrix: before it a run fills the report and 系统推荐名二,
// and every cell checks that nothing of them is lost, that the command did
// what the cell expects (ran, or refused with its message and changed
// nothing), and that the page's command works again afterwards.
//
// Set TAVRIN_BADINPUT_TABLE to a file name to get the observed outcome of
// every cell as the rows of a Markdown table.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>
#include <memory>

#include "ui/MainWindow.h"
#include "ui/qtext.h"
#include "window_fixture.h"

using tavrin::test::Find;
using tavrin::ui::MainWindow;

// The tables below leave their trailing, optional columns out.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

// How the text reaches the widget: typed key by key (ASCII only), or pasted
// from the clipboard.
enum class Entry { kTyped, kPasted };

// What the cell expects, by the command the button runs.
enum class Expect {
  kRuns,           // Generate goes through, no message
  kRefused,        // the message; every pane, the report and the buttons as before
  kFails,          // the run starts and ends early with the message; what was written stays
  kKeyFilter,      // the typed key is discarded with "只能输入数字", the field is "500"; the run then goes through
  kAnalysed,       // the whole analysis is written, no message
  kStoppedAtHour,  // the analysis stops after its first line with the message
};

// The commands behind the pages' buttons.
enum class Command { kGenerate, kAnalyse, kPoetry };

struct Cell {
  Command command;
  const char* field;  // component name of the widget the text goes into
  const char* value;  // the column "value" of the table
  QString text;
  Entry entry;
  Expect expect;
  QString message;  // for kRefused, kFails and kStoppedAtHour
  // A check box to tick first, or a second field (with its text) to set first.
  const char* also = nullptr;
  QString alsoText;
};

const QString kLong(10000, QChar(u'1'));
const QString kLongHan = QString("张").repeated(10000);
const QString kLongHanMing = QString("明").repeated(10000);
// A poem whose characters do not all clash with the surname 张.
const QString kLongPoem = QString("对酒当歌，人生几何。").repeated(1000);
// A message quotes at most 20 characters of a field's text.
const QString kLongQuoted = QString(20, QChar(u'1')) + "…";

QString NotInteger(const char* field, const QString& text) { return QString("%1“%2”不是整数").arg(field, text); }
QString NoDate(const char* date) { return QString("出生日期 %1 不存在").arg(date); }
QString YearOutside(const char* year) { return QString("出生年份 %1 不在 1900 至 2056 之间").arg(year); }

// The birth fields: the same texts on the settings page (Generate) and the
// analysis page (分 析), which check them with the same messages. `expect`
// is the settings page's; the analysis refuses where Generate refuses, stops
// at the hour where Generate refuses an hour, and analyses where Generate runs.
struct BirthRow {
  int field;  // 0 year, 1 month, 2 day, 3 hour
  const char* value;
  QString text;
  Entry entry;
  Expect expect;
  QString message;
  int otherField = -1;  // set first, for Feb 30
  QString otherText;
};

const char* const kSettingsBirth[] = {"bsSkinComboBox1", "bsSkinComboBox2", "bsSkinComboBox3", "bsSkinComboBox5"};
const char* const kAnalysisBirth[] = {"bsSkinComboBox4", "bsSkinComboBox6", "bsSkinComboBox7", "bsSkinComboBox8"};
const char* const kBirthCaption[] = {"出生年份", "出生月份", "出生日", "出生时辰"};

std::vector<BirthRow> BirthRows() {
  std::vector<BirthRow> rows;
  for (int f = 0; f < 4; ++f) {
    const char* caption = kBirthCaption[f];
    const Expect refused = Expect::kRefused;
    rows.push_back({f, "empty", "", Entry::kTyped, refused, NotInteger(caption, "")});
    rows.push_back({f, "letters", "abc", Entry::kTyped, refused, NotInteger(caption, "abc")});
    rows.push_back({f, "pasted mixture", "1 2年", Entry::kPasted, refused, NotInteger(caption, "1 2年")});
    rows.push_back({f, "blank", " ", Entry::kTyped, refused, NotInteger(caption, " ")});
    rows.push_back({f, "\".\"", ".", Entry::kTyped, refused, NotInteger(caption, ".")});
    rows.push_back({f, "99999999999", "99999999999", Entry::kTyped, refused, NotInteger(caption, "99999999999")});
    rows.push_back({f, "10,000 characters", kLong, Entry::kPasted, refused, NotInteger(caption, kLongQuoted)});
    rows.push_back({f, "full-width digits", "１２", Entry::kPasted, refused, NotInteger(caption, "１２")});
    rows.push_back({f, "emoji", "1😀", Entry::kPasted, refused, NotInteger(caption, "1?")});
  }
  const Expect refused = Expect::kRefused;
  rows.push_back({0, "negative", "-1", Entry::kTyped, refused, YearOutside("-1")});
  rows.push_back({0, "1800", "1800", Entry::kTyped, refused, YearOutside("1800")});
  rows.push_back({0, "2100", "2100", Entry::kTyped, refused, YearOutside("2100")});
  rows.push_back({1, "negative", "-1", Entry::kTyped, refused, NoDate("2012--1-1")});
  rows.push_back({1, "month 13", "13", Entry::kTyped, refused, NoDate("2012-13-1")});
  rows.push_back({1, "month 0", "0", Entry::kTyped, refused, NoDate("2012-0-1")});
  rows.push_back({1, "Feb 30", "2", Entry::kTyped, refused, NoDate("2012-2-30"), 2, "30"});
  rows.push_back({2, "negative", "-1", Entry::kTyped, refused, NoDate("2012-1--1")});
  rows.push_back({2, "day 0", "0", Entry::kTyped, refused, NoDate("2012-1-0")});
  rows.push_back({2, "Feb 30", "30", Entry::kTyped, refused, NoDate("2012-2-30"), 1, "2"});
  rows.push_back({2, "Feb 29 of a leap year", "29", Entry::kTyped, Expect::kRuns, "", 1, "2"});
  // Any whole hour is taken: outside 0..23 the hour pillar is empty.
  rows.push_back({3, "hour 24", "24", Entry::kTyped, Expect::kRuns, ""});
  rows.push_back({3, "hour -1", "-1", Entry::kTyped, Expect::kRuns, ""});
  return rows;
}

// The count field, read by Generate and by the poetry start with the same
// checks and messages.
struct CountRow {
  const char* value;
  QString text;
  Entry entry;
  Expect expect;
  QString message;
};

std::vector<CountRow> CountRows() {
  const char* caption = "产生名字个数";
  const Expect refused = Expect::kRefused;
  return {
      {"empty", "", Entry::kTyped, refused, NotInteger(caption, "")},
      {"letters", "x", Entry::kTyped, Expect::kKeyFilter, "只能输入数字"},
      {"letters", "abc", Entry::kPasted, refused, NotInteger(caption, "abc")},
      {"pasted mixture", "3a 张", Entry::kPasted, refused, NotInteger(caption, "3a 张")},
      {"blank", " ", Entry::kTyped, refused, NotInteger(caption, " ")},
      {"\".\"", ".", Entry::kTyped, refused, NotInteger(caption, ".")},
      {"99999999999", "99999999999", Entry::kTyped, refused, NotInteger(caption, "99999999999")},
      // Reached at once: every generator writes its completion line.
      {"negative", "-3", Entry::kPasted, Expect::kRuns, ""},
      {"10,000 characters", kLong, Entry::kPasted, refused, NotInteger(caption, kLongQuoted)},
      {"full-width digits", "３", Entry::kPasted, refused, NotInteger(caption, "３")},
      {"emoji", "3😀", Entry::kPasted, refused, NotInteger(caption, "3?")},
  };
}

// A text for a field whose expectation is the same for every text.
struct TextRow {
  const char* value;
  QString text;
  Entry entry;
};

std::vector<Cell> Cells() {
  std::vector<Cell> cells;
  for (const CountRow& row : CountRows()) {
    for (const Command command : {Command::kGenerate, Command::kPoetry}) {
      cells.push_back({command, "bsSkinEdit1", row.value, row.text, row.entry, row.expect, row.message});
    }
  }
  const QString toneless = "姓氏“%1”的拼音“%2”没有声调,无法生成二字名";
  const Cell surname[] = {
      {Command::kGenerate, "Edit1", "empty", "", Entry::kTyped, Expect::kRefused, "请输入姓"},
      {Command::kGenerate, "Edit1", "letters", "abc", Entry::kTyped, Expect::kRefused, "请输入姓"},
      {Command::kGenerate, "Edit1", "pasted mixture", "张a", Entry::kPasted, Expect::kFails,
       toneless.arg("张a", "Zhang1 a")},
      {Command::kGenerate, "Edit1", "blank", " ", Entry::kTyped, Expect::kRefused, "请输入姓"},
      {Command::kGenerate, "Edit1", "\".\"", ".", Entry::kTyped, Expect::kRefused, "请输入姓"},
      {Command::kGenerate, "Edit1", "99999999999", "99999999999", Entry::kTyped, Expect::kRefused, "请输入姓"},
      {Command::kGenerate, "Edit1", "negative", "-3", Entry::kTyped, Expect::kRefused, "请输入姓"},
      // More than four characters only makes every draw slower.
      {Command::kGenerate, "Edit1", "10,000 characters", kLongHan, Entry::kPasted, Expect::kRefused,
       "姓氏“" + kLongHan.left(20) + "…”超过4个字"},
      {Command::kGenerate, "Edit1", "five characters", "欧阳欧阳欧", Entry::kPasted, Expect::kRefused,
       "姓氏“欧阳欧阳欧”超过4个字"},
      {Command::kGenerate, "Edit1", "a double surname", "欧阳", Entry::kPasted, Expect::kRuns, ""},
      // The poetry start refuses what Generate refuses.
      {Command::kPoetry, "Edit1", "\"=\"", "=", Entry::kTyped, Expect::kRefused, "请输入姓"},
      {Command::kPoetry, "Edit1", "five characters", "欧阳欧阳欧", Entry::kPasted, Expect::kRefused,
       "姓氏“欧阳欧阳欧”超过4个字"},
      {Command::kGenerate, "Edit1", "full-width digits", "１２", Entry::kPasted, Expect::kFails,
       toneless.arg("１２", "１ ２")},
      {Command::kGenerate, "Edit1", "emoji", "😀", Entry::kPasted, Expect::kRefused, "请输入姓"},
      {Command::kGenerate, "Edit1", "emoji after a surname", "张😀", Entry::kPasted, Expect::kFails,
       toneless.arg("张?", "Zhang1 ?")},
  };
  cells.insert(cells.end(), std::begin(surname), std::end(surname));

  for (const BirthRow& row : BirthRows()) {
    for (const Command command : {Command::kGenerate, Command::kAnalyse}) {
      const auto& names = command == Command::kGenerate ? kSettingsBirth : kAnalysisBirth;
      Expect expect = row.expect;
      if (command == Command::kAnalyse) {
        if (expect == Expect::kRuns) expect = Expect::kAnalysed;
        if (expect == Expect::kRefused && row.field == 3) expect = Expect::kStoppedAtHour;
      }
      cells.push_back({command, names[row.field], row.value, row.text, row.entry, expect, row.message,
                       row.otherField >= 0 ? names[row.otherField] : nullptr, row.otherText});
    }
  }

  // The fixed characters are used whole, whatever they hold (a text that is
  // no single character fixes nothing in the recommended names), up to four
  // characters; a longer text is refused (its quoted part given here).
  const struct {
    const char* value;
    QString text;
    Entry entry;
    QString refusedAs;
  } fixed[] = {
      {"empty", "", Entry::kTyped},
      {"several characters", "明亮", Entry::kPasted},
      {"Latin letters", "ab", Entry::kTyped},
      {"blank", " ", Entry::kTyped},
      {"\".\"", ".", Entry::kTyped},
      {"99999999999", "99999999999", Entry::kTyped, "99999999999"},
      {"10,000 characters", kLongHanMing, Entry::kPasted, kLongHanMing.left(20) + "…"},
      {"full-width digits", "１", Entry::kPasted},
      {"emoji", "😀", Entry::kPasted},
  };
  for (const auto& row : fixed) {
    for (const auto& [field, box, caption] : {std::tuple{"bsSkinEdit3", "CheckRadioBox3", "限定第2个字"},
                                              std::tuple{"bsSkinEdit4", "CheckRadioBox4", "限定第3个字"}}) {
      if (row.refusedAs.isEmpty()) {
        cells.push_back({Command::kGenerate, field, row.value, row.text, row.entry, Expect::kRuns, "", box});
      } else {
        cells.push_back({Command::kGenerate, field, row.value, row.text, row.entry, Expect::kRefused,
                         QString("%1“%2”超过4个字").arg(caption, row.refusedAs), box});
      }
    }
  }

  const TextRow names[] = {
      {"empty", "", Entry::kTyped},
      {"letters", "abc", Entry::kTyped},
      {"pasted mixture", "张a1 伟", Entry::kPasted},
      {"blank", " ", Entry::kTyped},
      {"\".\"", ".", Entry::kTyped},
      {"99999999999", "99999999999", Entry::kTyped},
      {"negative", "-3", Entry::kTyped},
      {"10,000 characters", kLongHan, Entry::kPasted},
      {"full-width digits", "１２", Entry::kPasted},
      {"emoji", "张😀", Entry::kPasted},
  };
  for (const auto& row : names) {
    cells.push_back({Command::kAnalyse, "bsSkinEdit2", row.value, row.text, row.entry, Expect::kAnalysed, ""});
  }

  // The poem text: anything that is not empty is taken; without a Chinese
  // character the run ends after its attempts with the heading alone.
  const struct {
    const char* value;
    QString text;
    Entry entry;
    Expect expect;
    QString message;
  } poems[] = {
      {"empty", "", Entry::kTyped, Expect::kRefused, "请先选择诗歌"},
      {"letters", "abc", Entry::kTyped, Expect::kRuns, ""},
      {"pasted mixture", "对酒当歌abc 😀，人生几何", Entry::kPasted, Expect::kRuns, ""},
      {"blank", " ", Entry::kTyped, Expect::kRuns, ""},
      {"\".\"", ".", Entry::kTyped, Expect::kRuns, ""},
      {"99999999999", "99999999999", Entry::kTyped, Expect::kRuns, ""},
      {"negative", "-3", Entry::kTyped, Expect::kRuns, ""},
      {"10,000 characters", kLongPoem, Entry::kPasted, Expect::kRuns, ""},
      {"full-width digits", "１２３", Entry::kPasted, Expect::kRuns, ""},
      {"emoji", "😀", Entry::kPasted, Expect::kRuns, ""},
  };
  for (const auto& row : poems) {
    cells.push_back({Command::kPoetry, "DBMemo1", row.value, row.text, row.entry, row.expect, row.message});
  }
  return cells;
}

QStringList Lines(const tavrin::Pane& pane) {
  QStringList lines;
  for (const std::string& line : pane.Lines()) lines << tavrin::ui::FromGbk(line);
  return lines;
}

std::vector<std::string> ReportNames(const tavrin::ReportList& report) {
  std::vector<std::string> names;
  for (const tavrin::ReportRow& row : report.Rows())
    names.push_back(row.Cell(tavrin::ReportRow::kName) + "\t" + row.Cell(tavrin::ReportRow::kGrids));
  return names;
}

bool StartsWith(const QStringList& lines, const QStringList& prefix) { return lines.mid(0, prefix.size()) == prefix; }

QString Abbreviated(const QString& text) { return text.size() > 60 ? text.left(60) + "…" : text; }

const char* CommandName(Command command) {
  switch (command) {
    case Command::kGenerate:
      return "生成";
    case Command::kAnalyse:
      return "分 析";
    case Command::kPoetry:
      return "开 始";
  }
  return "?";
}

}  // namespace

class BadInputTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    window = std::make_unique<MainWindow>(tavrin::test::WindowStores(), 11);
    window->show();
    window->Pages()->setCurrentIndex(8);  // opens the poem database
    firstPoem = Find<QPlainTextEdit>(*window, "DBMemo1")->toPlainText();
    QVERIFY(!firstPoem.isEmpty());
    ResetFields();
    Press(Command::kGenerate);
    QVERIFY(!window->Model().Report().Rows().empty());
    QVERIFY(!window->Model().PaneOf(tavrin::Origin::kRecommendedTwo).Lines().empty());
    QVERIFY(recorder.texts.isEmpty());
  }
  void cleanupTestCase() { window.reset(); }

  void cells_data() {
    QTest::addColumn<int>("cell");
    const std::vector<Cell> cells = Cells();
    for (int i = 0; i < static_cast<int>(cells.size()); ++i) {
      const Cell& c = cells[static_cast<std::size_t>(i)];
      QTest::newRow(qPrintable(QString("%1 %2 %3 %4").arg(i).arg(CommandName(c.command), c.field, c.value))) << i;
    }
  }

  void cells() {
    QFETCH(int, cell);
    const Cell c = Cells()[static_cast<std::size_t>(cell)];
    tavrin::NamingModel& model = window->Model();
    ResetFields();
    const QStringList summaryPane = Lines(model.PaneOf(tavrin::Origin::kSettings));
    const QStringList analysisPane = Lines(model.PaneOf(tavrin::Origin::kAnalysis));
    const QStringList poetryPane = Lines(model.PaneOf(tavrin::Origin::kPoetry));
    const QStringList recommendedTwoPane = Lines(model.PaneOf(tavrin::Origin::kRecommendedTwo));
    const std::vector<std::string> report = ReportNames(model.Report());
    recorder.texts.clear();

    if (c.also) {
      if (auto* box = window->findChild<QCheckBox*>(c.also)) {
        box->setChecked(true);
      } else {
        Enter(c.also, c.alsoText, Entry::kTyped);
      }
    }
    Enter(c.field, c.text, c.entry);
    QStringList typedMessages = recorder.texts;
    if (c.expect == Expect::kKeyFilter) {
      QCOMPARE(typedMessages, QStringList{c.message});
      QCOMPARE(Find<QLineEdit>(*window, c.field)->text(), QString("500"));
    } else {
      QCOMPARE(typedMessages, QStringList());
    }
    recorder.texts.clear();
    Press(c.command);
    const QStringList shown = recorder.texts;

    // Nothing of earlier runs is lost, whatever the cell did.
    const std::vector<std::string> reportAfter = ReportNames(model.Report());
    QVERIFY(reportAfter.size() >= report.size());
    QVERIFY(std::equal(report.begin(), report.end(), reportAfter.begin()));
    QVERIFY(StartsWith(Lines(model.PaneOf(tavrin::Origin::kRecommendedTwo)), recommendedTwoPane));
    QVERIFY(Find<QPushButton>(*window, "bsSkinButton1")->isEnabled());
    QVERIFY(!Find<QPushButton>(*window, "stopButton")->isEnabled());
    // A run of Generate empties the progress label at its end; a poetry run
    // leaves its attempt count there.
    if (c.command == Command::kGenerate && c.expect != Expect::kRefused) {
      QCOMPARE(Find<QLabel>(*window, "bsSkinStdLabel9")->text(), QString());
    }

    QString observed;
    switch (c.expect) {
      case Expect::kRefused:
        QCOMPARE(shown, QStringList{c.message});
        QCOMPARE(Lines(model.PaneOf(tavrin::Origin::kSettings)), summaryPane);
        QCOMPARE(Lines(model.PaneOf(tavrin::Origin::kPoetry)), poetryPane);
        QCOMPARE(reportAfter.size(), report.size());
        QCOMPARE(Lines(model.PaneOf(tavrin::Origin::kRecommendedTwo)), recommendedTwoPane);
        if (c.command == Command::kAnalyse) QCOMPARE(Lines(model.PaneOf(tavrin::Origin::kAnalysis)), QStringList());
        observed = "refused: " + shown[0];
        break;
      case Expect::kFails:
        QCOMPARE(shown, QStringList{c.message});
        QCOMPARE(Lines(model.PaneOf(tavrin::Origin::kSettings)).value(0), QString("开始分析八字"));
        observed = "run started, then ended: " + shown[0];
        break;
      case Expect::kStoppedAtHour:
        QCOMPARE(shown, QStringList{c.message});
        QCOMPARE(Lines(model.PaneOf(tavrin::Origin::kAnalysis)), QStringList{"开始分析八字"});
        observed = "analysis stopped after 开始分析八字: " + shown[0];
        break;
      case Expect::kKeyFilter:
      case Expect::kRuns:
        QCOMPARE(shown, QStringList());
        if (c.command == Command::kPoetry) {
          const QStringList lines = Lines(model.PaneOf(tavrin::Origin::kPoetry));
          QVERIFY(lines.value(0).startsWith("出生日期:"));
          observed = QString("%1 lines in Memo7").arg(lines.size());
          if (lines.size() == 1) observed = "heading alone in Memo7";
        } else {
          const QStringList lines = Lines(model.PaneOf(tavrin::Origin::kSettings));
          QCOMPARE(lines.value(0), QString("开始分析八字"));
          if (c.also && QString(c.also).startsWith("CheckRadioBox")) {
            QCOMPARE(Lines(model.PaneOf(tavrin::Origin::kTwoChar)),
                     QStringList());  // fixed mode: no two-character names
          }
          observed = QString("run completed: Memo1 %1 lines, %2 new report rows")
                         .arg(lines.size())
                         .arg(reportAfter.size() - report.size());
        }
        if (c.expect == Expect::kKeyFilter)
          observed = "typed key refused: " + typedMessages[0] + "; field 500; " + observed;
        break;
      case Expect::kAnalysed: {
        QCOMPARE(shown, QStringList());
        const QStringList lines = Lines(model.PaneOf(tavrin::Origin::kAnalysis));
        QCOMPARE(lines.value(0), QString("开始分析八字"));
        QVERIFY(lines.last().startsWith("分数:"));
        observed = QString("analysis written (%1 lines)").arg(lines.size());
        break;
      }
    }

    // The page's command works again with good inputs.
    ResetFields();
    recorder.texts.clear();
    Press(c.command);
    QCOMPARE(recorder.texts, QStringList());
    Record(c, observed);
  }

 private:
  void ResetFields() {
    const struct {
      const char* name;
      const char* text;
    } fields[] = {{"bsSkinEdit1", "3"},        {"Edit1", "张"},          {"bsSkinEdit3", ""},
                  {"bsSkinEdit4", ""},         {"bsSkinEdit2", "张伟"},  {"bsSkinComboBox1", "2012"},
                  {"bsSkinComboBox2", "1"},    {"bsSkinComboBox3", "1"}, {"bsSkinComboBox5", "1"},
                  {"bsSkinComboBox4", "2012"}, {"bsSkinComboBox6", "1"}, {"bsSkinComboBox7", "1"},
                  {"bsSkinComboBox8", "1"}};
    for (const auto& f : fields) LineEditOf(f.name)->setText(f.text);
    Find<QCheckBox>(*window, "CheckRadioBox3")->setChecked(false);
    Find<QCheckBox>(*window, "CheckRadioBox4")->setChecked(false);
    Find<QPlainTextEdit>(*window, "DBMemo1")->setPlainText(firstPoem);
  }

  QLineEdit* LineEditOf(const char* name) {
    QWidget* widget = Find<QWidget>(*window, name);
    if (auto* combo = qobject_cast<QComboBox*>(widget)) return combo->lineEdit();
    return Find<QLineEdit>(*window, name);
  }

  // Empties the widget, then types or pastes the text into it.
  void Enter(const char* name, const QString& text, Entry entry) {
    QWidget* target = nullptr;
    if (auto* poem = window->findChild<QPlainTextEdit*>(name)) {
      window->Pages()->setCurrentIndex(8);
      poem->clear();
      target = poem;
    } else {
      QLineEdit* edit = LineEditOf(name);
      const bool analysisPage =
          QStringList{"bsSkinEdit2", "bsSkinComboBox4", "bsSkinComboBox6", "bsSkinComboBox7", "bsSkinComboBox8"}
              .contains(name);
      window->Pages()->setCurrentIndex(analysisPage ? 6 : 0);
      edit->clear();
      target = edit;
    }
    target->setFocus();
    if (text.isEmpty()) return;
    if (entry == Entry::kTyped) {
      QTest::keyClicks(target, text);
      return;
    }
    QApplication::clipboard()->setText(text);
    if (auto* poem = qobject_cast<QPlainTextEdit*>(target)) {
      poem->paste();
    } else {
      static_cast<QLineEdit*>(target)->paste();
    }
  }

  void Press(Command command) {
    switch (command) {
      case Command::kGenerate:
        window->Pages()->setCurrentIndex(0);
        QTest::mouseClick(Find<QPushButton>(*window, "bsSkinButton1"), Qt::LeftButton);
        break;
      case Command::kAnalyse:
        window->Pages()->setCurrentIndex(6);
        QTest::mouseClick(Find<QPushButton>(*window, "bsSkinButton2"), Qt::LeftButton);
        break;
      case Command::kPoetry:
        window->Pages()->setCurrentIndex(8);
        QTest::mouseClick(Find<QPushButton>(*window, "bsSkinButton3"), Qt::LeftButton);
        break;
    }
  }

  static void Record(const Cell& c, const QString& observed) {
    const QByteArray out = qgetenv("TAVRIN_BADINPUT_TABLE");
    if (out.isEmpty()) return;
    QFile table(QString::fromLocal8Bit(out));
    if (!table.open(QIODevice::Append | QIODevice::Text)) return;
    QString value = c.value;
    if (c.text.size() <= 12 && !c.text.isEmpty()) value += " `" + c.text + "`";
    if (c.also && !QString(c.also).startsWith("CheckRadioBox"))
      value += QString(" (with %1 = %2)").arg(c.also, c.alsoText);
    const QString row = QString("| %1 | %2 | %3 | %4 | %5 |\n")
                            .arg(CommandName(c.command), c.field, value, c.entry == Entry::kTyped ? "typed" : "pasted",
                                 Abbreviated(observed));
    table.write(row.toUtf8());
  }

  tavrin::test::MessageRecorder recorder;
  std::unique_ptr<MainWindow> window;
  QString firstPoem;
};

QTEST_MAIN(BadInputTest)
#include "test_badinputs.moc"
