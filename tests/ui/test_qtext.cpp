// The window's edge with the core: what a field hands the core, where a
// click in a shown line falls in the core's line, which hour a combo box
// means.
#include <QComboBox>
#include <QLineEdit>
#include <QtTest>
#include <stdexcept>

#include "chars/encoding.h"
#include "core/birth_inputs.h"
#include "favourites/favourite.h"
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

  // A favourite's texts and hour as 收藏 shows them, its note typed back.
  void favourites_data() {
    QTest::addColumn<int>("hour");
    QTest::addColumn<QString>("typedNote");
    QTest::addColumn<QString>("hourShown");
    QTest::addColumn<QString>("noteShown");
    QTest::newRow("an hour") << 7 << "好听" << "7时" << "好听";
    QTest::newRow("midnight") << 0 << "" << "0时" << "";
    QTest::newRow("hour not known") << kUnknownHourOfBirth << "a b" << UnknownHourCaption() << "a b";
    QTest::newRow("outside GBK") << 23 << "好😀听" << "23时" << "好?听";
  }
  void favourites() {
    QFETCH(int, hour);
    QFETCH(QString, typedNote);
    QFETCH(QString, hourShown);
    QFETCH(QString, noteShown);
    Favourite f;
    f.name = GbkText(ToGbk("欧阳修远"));
    f.origin = GbkText(ToGbk("诗词"));
    f.poem = GbkText(ToGbk("离骚"));
    f.hour = hour;
    f.note = KeptNoteOf(typedNote);
    const FavouriteView view = ViewOf(f);
    QCOMPARE(view.name, QString("欧阳修远"));
    QCOMPARE(view.origin, QString("诗词"));
    QCOMPARE(view.poem, QString("离骚"));
    QCOMPARE(view.hour, hourShown);
    QCOMPARE(view.note, noteShown);
    QCOMPARE(MessageOf(std::runtime_error(f.note.Bytes())), noteShown);
    QCOMPARE(MessageOf(f.note.View()), noteShown);
  }
};

QTEST_MAIN(QtextTest)
#include "test_qtext.moc"
