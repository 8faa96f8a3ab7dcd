// The window's edge with the core: what a field hands the core, where a
// click in a shown line falls in the core's line, which hour a combo box
// means.
#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

#include "chars/encoding.h"
#include "core/birth_inputs.h"
#include "ui/qtext.h"

using namespace tavrin;
using namespace tavrin::ui;

namespace {

QString Shown(const std::string& gbk) { return QString::fromStdString(GbkToUtf8(gbk)); }

}  // namespace

class QtextTest : public QObject {
  Q_OBJECT

 private slots:
  void leftOutChars_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("chars");  // as the core holds them, shown
    QTest::newRow("each once") << "梓梓涵" << "梓涵";
    QTest::newRow("not Chinese") << "a1 涵，" << "涵，";  // a full-width mark is two bytes too
    QTest::newRow("outside GBK") << "涵😀𠀀" << "涵";
    QTest::newRow("none") << "" << "";
  }
  void leftOutChars() {
    QFETCH(QString, typed);
    QFETCH(QString, chars);
    QCOMPARE(Shown(CoreCharsOf(typed)), chars);
  }

  void offsets_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("bytes");
    QTest::newRow("start") << "张梓涵 90" << 0 << 0;
    QTest::newRow("after two characters") << "张梓涵 90" << 2 << 4;
    QTest::newRow("after the blank") << "张梓涵 90" << 4 << 7;
    QTest::newRow("ASCII first") << "1. 张伟" << 4 << 5;
    QTest::newRow("whole line") << "张伟" << 2 << 4;
  }
  void offsets() {
    QFETCH(QString, line);
    QFETCH(int, offset);
    QFETCH(int, bytes);
    QCOMPARE(CoreOffsetOf(line, offset), static_cast<std::size_t>(bytes));
  }

  void hours_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("unknown");
    QTest::newRow("an hour") << "13" << false;
    QTest::newRow("the unknown item") << UnknownHourCaption() << true;
    QTest::newRow("typed, no item") << "时辰" << false;
  }
  void hours() {
    QFETCH(QString, text);
    QFETCH(bool, unknown);
    QComboBox combo;
    combo.setEditable(true);
    combo.addItems({"12", "13", UnknownHourCaption()});
    combo.setItemData(2, true, kUnknownHourRole);
    combo.setEditText(text);
    const HourField field = HourFieldOf(&combo);
    QCOMPARE(field.unknown, unknown);
    QCOMPARE(Shown(field.text), text);
  }

  void keptText() {
    QLineEdit edit("5");
    std::string core;
    KeepCoreText(&edit, core);
    QCOMPARE(core, std::string("5"));
    edit.setText("梓1😀");
    QCOMPARE(Shown(core), QString("梓1?"));  // a character GBK lacks stands as "?", not dropped
  }
};

QTEST_MAIN(QtextTest)
#include "test_qtext.moc"
