#include <QTabWidget>
#include <QtTest>

#include "core/startup.h"
#include "ui/MainWindow.h"
#include "ui/qtext.h"

using tavrin::ui::MainWindow;

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void captionSizeAndPages() {
    MainWindow window(tavrin::StartUp(tavrin::FindDataDir()), 1);
    QCOMPARE(window.windowTitle(), QString("Tavrin 1.13"));
    QCOMPARE(window.size(), QSize(901, 532));
    QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(window.windowFlags() & Qt::WindowCloseButtonHint);
    const QStringList expected = {"姓名设置",     "二字名",   "三字名",   "部首有五行", "系统推荐名",
                                  "系统推荐名二", "姓名分析", "姓名报表", "诗歌取名", "精选"};
    QCOMPARE(window.Pages()->count(), expected.size());
    for (int i = 0; i < expected.size(); ++i) QCOMPARE(window.Pages()->tabText(i), expected[i]);
    QCOMPARE(window.Pages()->currentIndex(), 0);
  }

  void startupFailuresNameTheFile() {
    QTemporaryDir empty;
    MainWindow window(tavrin::StartUp(empty.path().toStdString() + "/"), 1);
    const QStringList messages = window.StartupMessages();
    QCOMPARE(messages.size(), 4);
    QVERIFY(messages[0].contains("tj.dat"));
    QVERIFY(messages[2].contains("男.dat"));
    QVERIFY(messages[3].contains("女.dat"));
  }

  void gbkTextCrossesTheEdge() {
    QCOMPARE(tavrin::ui::FromGbk("\xD5\xC5\xC8\xFD"), QString("张三"));
    QCOMPARE(tavrin::ui::ToGbk("张三"), std::string("\xD5\xC5\xC8\xFD"));
    // A character GBK lacks (an emoji) becomes "?", so the fields' checks see it.
    QCOMPARE(tavrin::ui::ToGbk(QString("张") + QChar(0xD83D) + QChar(0xDE00)), std::string("\xD5\xC5?"));
  }
};

QTEST_MAIN(MainWindowTest)
#include "test_mainwindow.moc"
