// The window wired to the naming run, offscreen: controls found by their
// component names, a pinned seed, message boxes answered by a hook.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

#include "core/naming_model.h"
#include "generators/generate_command.h"
#include "ui/MainWindow.h"
#include "ui/MessageBox.h"
#include "ui/PaneView.h"
#include "ui/qtext.h"
#include "window_fixture.h"

using tavrin::ui::MainWindow;

namespace {

const tavrin::SharedStores& Stores() { return tavrin::test::WindowStores(); }
using tavrin::test::Find;

QStringList WidgetLines(MainWindow& window, const char* pane) {
  return Find<tavrin::ui::PaneView>(window, pane)->toPlainText().split('\n');
}

}  // namespace

class NamingWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    messages.clear();
    tavrin::ui::SetMessageHook([this](const QString& text) { messages << text; });
  }
  void cleanup() { tavrin::ui::SetMessageHook(nullptr); }

  void controlsAndDefaults() {
    MainWindow window(Stores(), 1);
    QVERIFY(Find<QRadioButton>(window, "bsSkinCheckRadioBox1")->isChecked());
    QVERIFY(!Find<QRadioButton>(window, "bsSkinCheckRadioBox2")->isChecked());
    const struct {
      const char* name;
      const char* text;
    } edits[] = {{"bsSkinEdit1", "500"}, {"Edit1", "张"}, {"bsSkinEdit3", ""}, {"bsSkinEdit4", ""}};
    for (const auto& e : edits) QCOMPARE(Find<QLineEdit>(window, e.name)->text(), QString(e.text));
    const struct {
      const char* name;
      int count;
      const char* first;
      const char* selected;
    } combos[] = {{"bsSkinComboBox1", 61, "1970", "2012"},
                  {"bsSkinComboBox2", 12, "1", "1"},
                  {"bsSkinComboBox3", 31, "1", "1"},
                  {"bsSkinComboBox5", 25, "0", "1"}};  // 0..23, then 时辰不详
    for (const auto& c : combos) {
      auto* combo = Find<QComboBox>(window, c.name);
      QVERIFY(combo->isEditable());
      QCOMPARE(combo->count(), c.count);
      QCOMPARE(combo->itemText(0), QString(c.first));
      QCOMPARE(combo->currentText(), QString(c.selected));
    }
    QVERIFY(!Find<QPushButton>(window, "stopButton")->isEnabled());
    QVERIFY(Find<QPushButton>(window, "bsSkinButton1")->isEnabled());
    QCOMPARE(Find<QCheckBox>(window, "CheckRadioBox3")->text(), QString("限定第2个字为:"));
    QCOMPARE(Find<QCheckBox>(window, "CheckRadioBox4")->text(), QString("限定第3个字为:"));
    QCOMPARE(Find<tavrin::ui::PaneView>(window, "Memo1")->geometry(), QRect(16, 168, 865, 313));
    auto* report = Find<QTableView>(window, "ListView1");
    // The report's six columns, then three that help to read a name aloud,
    // the 通行评分 and the line the name comes from.
    const QStringList captions = {"姓名", "分数", "出生日五行", "姓名五行", "综合五行", "五格",
                                  "拼音", "笔画", "声调",       "通行评分", "出处"};
    QCOMPARE(report->model()->columnCount(), captions.size());
    for (int column = 0; column < captions.size(); ++column) {
      QCOMPARE(report->model()->headerData(column, Qt::Horizontal).toString(), captions[column]);
    }
    QCOMPARE(report->columnWidth(5), 800);

    // 帮助 opens the help page, which begins with the three steps.
    QTest::mouseClick(Find<QPushButton>(window, "bsSkinButton5"), Qt::LeftButton);
    QVERIFY(messages.isEmpty());
    const QString help = Find<QTextBrowser>(window, "helpText")->toPlainText();
    QVERIFY2(help.contains(QRegularExpression("先设置宝宝姓氏\\s+.*设置宝宝生日\\s+.*点生成")), qPrintable(help));
  }

  // One core, two front ends: the window's panes hold what the core run with
  // the same seed holds, and show as many rows as the core counts.
  void defaultRunMirrorsTheCore() {
    MainWindow window(Stores(), 77);
    tavrin::SettingsInputs inputs;
    tavrin::NamingEnvironment environment;
    environment.inputs = &inputs;
    tavrin::NamingModel core(Stores(), 77, environment);
    // The second run, with a fixed third character, empties pages 2 to 5 and
    // adds to 系统推荐名二 and the report.
    for (int run = 0; run < 2; ++run) {
      if (run == 1) {
        inputs.fixThirdChecked = true;
        inputs.fixThird = "\xC3\xF7";  // 明
        inputs.count = "20";
        Find<QCheckBox>(window, "CheckRadioBox4")->setChecked(true);
        Find<QLineEdit>(window, "bsSkinEdit4")->setText("明");
        Find<QLineEdit>(window, "bsSkinEdit1")->setText("20");
      }
      QTest::mouseClick(Find<QPushButton>(window, "bsSkinButton1"), Qt::LeftButton);
      QVERIFY(messages.isEmpty());
      tavrin::GenerateCommand(core);
      for (const auto& page : core.RunState().ResultPages()) {
        const QString name = QString::fromStdString(page.pane->Name());
        if (name == "Memo4") continue;  // its page comes with the analysis
        QStringList expected;
        for (const std::string& line : page.pane->Lines()) expected << tavrin::ui::FromGbk(line);
        if (expected.isEmpty()) expected << "";
        QCOMPARE(WidgetLines(window, qPrintable(name)), expected);
        auto* view = Find<tavrin::ui::PaneView>(window, qPrintable(name));
        QCOMPARE(view->DisplayedRows(), static_cast<int>(page.pane->Rows()));
      }
      QCOMPARE(Find<QTableView>(window, "ListView1")->model()->rowCount(),
               static_cast<int>(core.Report().Rows().size()));
      QCOMPARE(Find<QLabel>(window, "bsSkinStdLabel9")->text(), QString());
      QVERIFY(Find<QPushButton>(window, "bsSkinButton1")->isEnabled());
      QVERIFY(!Find<QPushButton>(window, "stopButton")->isEnabled());
    }
    QCOMPARE(WidgetLines(window, "Memo2"), QStringList{""});
    QCOMPARE(WidgetLines(window, "Memo5"), QStringList{""});
  }

  // After a run that stops at its draw caps, the note stands whole inside the
  // window, one line below the summary pane; its tooltip holds the full text.
  void drawCapNoteFitsTheWindow() {
    MainWindow window(Stores(), 5);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(Find<QPushButton>(window, "bsSkinButton1"), Qt::LeftButton);
    auto* note = Find<QLabel>(window, "drawCapNote");
    QVERIFY(note->toolTip().startsWith("已达尝试上限"));
    const QRect inWindow(note->mapTo(&window, QPoint(0, 0)), note->size());
    QVERIFY(window.rect().contains(inWindow));
    QVERIFY(!inWindow.intersects(QRect(Find<tavrin::ui::PaneView>(window, "Memo1")->mapTo(&window, QPoint(0, 0)),
                                       Find<tavrin::ui::PaneView>(window, "Memo1")->size())));
    QVERIFY(note->fontMetrics().height() <= note->height());
    QVERIFY(note->fontMetrics().horizontalAdvance(note->text()) <= note->width());
  }

  void countKeyFilter() {
    MainWindow window(Stores(), 1);
    auto* count = Find<QLineEdit>(window, "bsSkinEdit1");
    count->setText("12");
    QTest::keyClicks(count, ". 3");
    QCOMPARE(count->text(), QString("12. 3"));
    QVERIFY(messages.isEmpty());
    QTest::keyClick(count, Qt::Key_Backspace);
    QCOMPARE(count->text(), QString("12. "));
    QTest::keyClick(count, Qt::Key_A);
    QCOMPARE(count->text(), QString("500"));
    QCOMPARE(messages, QStringList{"只能输入数字"});
  }

  void stopAndCloseDuringARun() {
    MainWindow window(Stores(), 1);
    window.show();
    auto* generate = Find<QPushButton>(window, "bsSkinButton1");
    auto* stop = Find<QPushButton>(window, "stopButton");
    bool swapped = false;
    QTimer::singleShot(0, &window, [&] {
      QVERIFY(stop->isEnabled());
      QTest::mouseClick(stop, Qt::LeftButton);
      swapped = generate->isEnabled() && !stop->isEnabled();
      QTest::mouseClick(generate, Qt::LeftButton);  // ignored: the run is still returning
    });
    QTest::mouseClick(generate, Qt::LeftButton);
    QVERIFY(swapped);
    for (const char* line : {"2字名分析完成", "三字名字分析完成", "推荐名字二分析完成"}) {
      QVERIFY(!WidgetLines(window, "Memo1").contains(line));
    }

    QTimer::singleShot(0, &window, [&] { window.close(); });
    QTest::mouseClick(generate, Qt::LeftButton);
    QVERIFY(!window.isVisible());
    QVERIFY(!window.Model().Running());
  }

  void analysisPage() {
    MainWindow window(Stores(), 1);
    QCOMPARE(Find<QLineEdit>(window, "bsSkinEdit2")->text(), QString("张"));
    QCOMPARE(Find<QComboBox>(window, "bsSkinComboBox4")->currentText(), QString("2012"));
    QCOMPARE(Find<QComboBox>(window, "bsSkinComboBox8")->currentText(), QString("1"));
    QCOMPARE(Find<tavrin::ui::PaneView>(window, "Memo4")->geometry(), QRect(16, 144, 865, 353));
    Find<QLineEdit>(window, "bsSkinEdit2")->setText("张伟");
    QTest::mouseClick(Find<QPushButton>(window, "bsSkinButton2"), Qt::LeftButton);
    const QStringList lines = WidgetLines(window, "Memo4");
    QCOMPARE(lines.first(), QString("开始分析八字"));
    QVERIFY(lines.contains("繁体字为:張偉"));
    // The score entry's grid lines stand on rows of their own.
    QVERIFY(lines.last().startsWith("总格:") || lines.last().startsWith("外格:") || lines.last().contains("格:"));
    QVERIFY(lines.size() > static_cast<int>(window.Model().PaneOf(tavrin::Origin::kAnalysis).Lines().size()));
    QVERIFY(messages.isEmpty());

    Find<QComboBox>(window, "bsSkinComboBox7")->setEditText("31");
    Find<QComboBox>(window, "bsSkinComboBox6")->setEditText("2");
    QTest::mouseClick(Find<QPushButton>(window, "bsSkinButton2"), Qt::LeftButton);
    QCOMPARE(messages, QStringList{"出生日期 2012-2-31 不存在"});
    QCOMPARE(WidgetLines(window, "Memo4"), QStringList{""});
  }

  void poetryPage() {
    MainWindow window(Stores(), 3);
    auto* grid = Find<QTableView>(window, "DBGrid1");
    QCOMPARE(grid->model()->rowCount(), 0);  // opened when the page is first shown
    QTest::mouseClick(Find<QPushButton>(window, "bsSkinButton4"), Qt::LeftButton);
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages[0].startsWith("在姓名设置中输入出生日期和姓氏\n在左侧选择诗歌题目\n"));
    window.Pages()->setCurrentIndex(8);
    QVERIFY(grid->model()->rowCount() > 300);
    QVERIFY(grid->isColumnHidden(0) && grid->isColumnHidden(3) && !grid->isColumnHidden(4));
    QCOMPARE(grid->columnWidth(4), 120);
    auto* middle = Find<QPlainTextEdit>(window, "DBMemo1");
    QVERIFY(!middle->toPlainText().isEmpty());  // the first poem
    grid->selectRow(1);
    const QString second = middle->toPlainText();
    QCOMPARE(second, grid->model()->index(1, 1).data().toString());
    Find<QLineEdit>(window, "bsSkinEdit1")->setText("4");
    QTest::mouseClick(Find<QPushButton>(window, "bsSkinButton3"), Qt::LeftButton);
    const QStringList lines = WidgetLines(window, "Memo7");
    QCOMPARE(lines.first(), QString("出生日期:2012年1月1日"));
    auto* pane = Find<tavrin::ui::PaneView>(window, "Memo7");
    QCOMPARE(pane->DisplayedRows(), static_cast<int>(window.Model().PaneOf(tavrin::Origin::kPoetry).Rows()));

    messages.clear();
    middle->clear();
    QTest::mouseClick(Find<QPushButton>(window, "bsSkinButton3"), Qt::LeftButton);
    QCOMPARE(messages, QStringList{"请先选择诗歌"});
  }

  // The search above the poem grid: the whole library as one types, the
  // curated poems again when the field is emptied; the selected text goes to
  // the poem pane and a run takes it as it takes a curated poem.
  void poetrySearch() {
    MainWindow window(Stores(), 3);
    window.Pages()->setCurrentIndex(8);
    auto* grid = Find<QTableView>(window, "DBGrid1");
    auto* middle = Find<QPlainTextEdit>(window, "DBMemo1");
    auto* field = Find<QLineEdit>(window, "poemSearch");
    auto* collection = Find<QComboBox>(window, "poemCollection");
    const int curated = grid->model()->rowCount();
    const QString firstCurated = grid->model()->index(0, 4).data().toString();
    QCOMPARE(grid->model()->headerData(4, Qt::Horizontal).toString(), QString("标题"));
    QCOMPARE(grid->model()->headerData(5, Qt::Horizontal).toString(), QString("作者"));
    QVERIFY(collection->count() > 10);  // 全部 and the library's collections
    const struct {
      const char* text;
      const char* collection;
      const char* title;  // of the first row
      const char* author;
      const char* opening;  // of the first row's text
    } cases[] = {
        {"离骚", "", "离骚", "屈原", "帝高阳之苗裔兮"},
        {"青青子衿", "", "子衿", "佚名", "青青子衿"},
        {"", "楚辞", "离骚", "屈原", "帝高阳之苗裔兮"},
        {"关关雎鸠", "楚辞", nullptr, nullptr, nullptr},  // not in that collection
        {"静夜思", "唐诗三百首", "静夜思", "李白", "床前看月光"},
    };
    for (const auto& c : cases) {
      collection->setCurrentIndex(*c.collection ? collection->findText(c.collection) : 0);
      field->setText(c.text);
      if (!c.title) {
        QCOMPARE(grid->model()->rowCount(), 0);
        continue;
      }
      QVERIFY2(grid->model()->rowCount() > 0, c.text);
      QCOMPARE(grid->model()->index(0, 4).data().toString(), QString(c.title));
      QCOMPARE(grid->model()->index(0, 5).data().toString(), QString(c.author));
      QCOMPARE(grid->model()->headerData(4, Qt::Horizontal).toString(), QString("标题"));
      QVERIFY2(middle->toPlainText().startsWith(c.opening), qPrintable(middle->toPlainText().left(20)));
      QVERIFY(grid->isColumnHidden(1) && !grid->isColumnHidden(4) && !grid->isColumnHidden(5));
    }
    field->setText("离骚");
    collection->setCurrentIndex(0);
    Find<QLineEdit>(window, "bsSkinEdit1")->setText("4");
    QTest::mouseClick(Find<QPushButton>(window, "bsSkinButton3"), Qt::LeftButton);
    QCOMPARE(WidgetLines(window, "Memo7").first(), QString("出生日期:2012年1月1日"));
    QVERIFY(window.Model().PaneOf(tavrin::Origin::kPoetry).Rows() > 1);

    field->clear();  // the curated poems, as before the search
    QCOMPARE(grid->model()->rowCount(), curated);
    QCOMPARE(grid->model()->index(0, 4).data().toString(), firstCurated);
    QCOMPARE(grid->columnWidth(4), 120);
    grid->selectRow(1);
    QCOMPARE(middle->toPlainText(), grid->model()->index(1, 1).data().toString());
  }

  void missingAndCorruptPoemDatabase() {
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/";
    tavrin::DataStores stores = *Stores();
    stores.dataDir = path;
    MainWindow window(tavrin::SealStores(stores), 1);
    window.Pages()->setCurrentIndex(8);
    QVERIFY(messages.isEmpty());  // missing: the page stays empty, silently
    window.Pages()->setCurrentIndex(0);
    QFile corrupt(dir.filePath("poetry.db"));
    QVERIFY(corrupt.open(QIODevice::WriteOnly));
    corrupt.write(QByteArray(4096, 'x'));
    corrupt.close();
    window.Pages()->setCurrentIndex(8);
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages[0].contains("不是数据库文件"));
    window.Pages()->setCurrentIndex(0);
    window.Pages()->setCurrentIndex(8);
    QCOMPARE(messages.size(), 1);  // not retried
  }

  void badInputsTypedIntoTheWidgetsChangeNothing() {
    MainWindow window(Stores(), 1);
    Find<QLineEdit>(window, "bsSkinEdit1")->setText("3");
    QTest::mouseClick(Find<QPushButton>(window, "bsSkinButton1"), Qt::LeftButton);
    const QStringList before = WidgetLines(window, "Memo1");
    const struct {
      const char* widget;
      const char* text;
      const char* message;
    } cases[] = {
        {"Edit1", "abc", "请输入姓"},
        {"bsSkinComboBox1", "20x2", "出生年份“20x2”不是整数"},
        {"bsSkinComboBox3", "32", "出生日期 2012-1-32 不存在"},
        {"bsSkinComboBox5", "", "出生时辰“”不是整数"},
        {"bsSkinEdit1", "5 0", "产生名字个数“5 0”不是整数"},
        {"bsSkinComboBox1", "1899", "出生年份 1899 不在 1900 至 2056 之间"},
    };
    for (const auto& c : cases) {
      messages.clear();
      QWidget* widget = Find<QWidget>(window, c.widget);
      auto* combo = qobject_cast<QComboBox*>(widget);
      auto* edit = combo ? combo->lineEdit() : qobject_cast<QLineEdit*>(widget);
      const QString saved = edit->text();
      edit->setText(c.text);
      QTest::mouseClick(Find<QPushButton>(window, "bsSkinButton1"), Qt::LeftButton);
      QCOMPARE(messages, QStringList{c.message});
      QCOMPARE(WidgetLines(window, "Memo1"), before);
      QVERIFY(Find<QPushButton>(window, "bsSkinButton1")->isEnabled());
      QVERIFY(!Find<QPushButton>(window, "stopButton")->isEnabled());
      edit->setText(saved);
    }
  }

 private:
  QStringList messages;
};

QTEST_MAIN(NamingWindowTest)
#include "test_namingwindow.moc"
