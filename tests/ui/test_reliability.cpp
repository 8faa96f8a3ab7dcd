// The window never ends for a fault outside it: an exception of a handler,
// a library that is damaged or a FIFO, a size kept for another screen, a
// question about a thousand names.
#include <QComboBox>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "favourites/store.h"
#include "library_faults.h"
#include "ui/Application.h"
#include "ui/FavouritesModel.h"
#include "ui/FavouritesPage.h"
#include "ui/MainWindow.h"
#include "ui/SettingsFile.h"
#include "ui/qtext.h"
#include "window_fixture.h"

using tavrin::Favourite;
using tavrin::FavouritesStore;
using tavrin::test::Find;
using tavrin::test::LibraryState;
using tavrin::ui::MainWindow;

namespace {

// An object whose handler fails as a fault of the program would.
class Throwing : public QObject {
 public:
  bool event(QEvent* e) override {
    if (e->type() == QEvent::User) throw std::runtime_error("handler failed");
    return QObject::event(e);
  }
};

constexpr int kPoetryPage = 8;

}  // namespace

class TestReliability : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QCoreApplication::setOrganizationName("tavrin-test-reliability");
    QSettings().clear();
  }
  void cleanupTestCase() { QSettings().clear(); }

  // A settings file QSettings cannot read safely (it would end the window
  // at every start) is cleaned before anything reads it.
  void settingsFileIsCleanedFirst_data() {
    // A QVariantList in a QVariantList …, as QSettings unescapes and reads
    // it (a Qt 4.0 data stream: the type, one element), around the number 1.
    const QByteArray level = "\\0\\0\\0\\t\\0\\0\\0\\x1", one = "\\0\\0\\0\\x2\\0\\0\\0\\x1";
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("kept");
    QTest::newRow("900 KB nested under inputs/surname (set aside)")
        << "[inputs]\nsurname=@Variant(" + level.repeated(900 * 1024 / level.size()) + one + ")\n"
        << QStringList{};
    QTest::newRow("a variant under guide/shown") << "[guide]\nshown=@Variant(" + level + one + ")\n[window]\npage=3\n"
                                                 << QStringList{"window/page=3"};
    QTest::newRow("a line of 5000 bytes") << "[inputs]\ncount=300\nsurname=" + QByteArray(5000, 'x') + "\n"
                                          << QStringList{"inputs/count=300"};
  }
  void settingsFileIsCleanedFirst() {
    QFETCH(QByteArray, file);
    QFETCH(QStringList, kept);
    const QString path = tavrin::ui::SettingsFilePath();
    QSettings().clear();
    // A new user has no settings folder yet.
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(file) == file.size());
    out.close();
    tavrin::ui::CleanSettingsFile(path);
    QStringList read;
    for (const QString& key : QSettings().allKeys()) read << key + "=" + QSettings().value(key).toString();
    QCOMPARE(read, kept);
    QFile::remove(path + ".bad");
  }

  // An exception of an event handler is caught where events are handed
  // out: the user is told once, the program goes on.
  void handlerExceptionIsCaught() {
    tavrin::test::MessageRecorder recorder;
    Throwing target;
    QEvent failing(QEvent::User);
    QVERIFY(!QCoreApplication::sendEvent(&target, &failing));
    QTRY_COMPARE(recorder.texts.size(), 1);
    QVERIFY(recorder.texts.front().contains("都还在"));
    QEvent ordinary(QEvent::DynamicPropertyChange);
    QCoreApplication::sendEvent(&target, &ordinary);  // still delivered
  }

  // The poem page over a broken library: no abort, no wait, the search finds
  // nothing, the fault is said once in the status line.
  void brokenLibrary_data() {
    QTest::addColumn<int>("state");
    QTest::newRow("damaged pages") << static_cast<int>(LibraryState::kDamagedPages);
    QTest::newRow("FIFO") << static_cast<int>(LibraryState::kFifo);
    QTest::newRow("random bytes") << static_cast<int>(LibraryState::kRandomBytes);
  }
  void brokenLibrary() {
    QFETCH(int, state);
    const tavrin::test::BrokenLibrary library(static_cast<LibraryState>(state));
    tavrin::test::MessageRecorder recorder;
    MainWindow window(tavrin::StartUp(library.Dir()), 3);
    window.show();
    window.Pages()->setCurrentIndex(kPoetryPage);
    auto* field = Find<QLineEdit>(window, "poemSearch");
    auto* grid = Find<QTableView>(window, "DBGrid1");
    for (const char* text : {"明月", "离骚", "月"}) {
      field->setText(text);
      QCOMPARE(grid->model()->rowCount(), 0);
    }
    QTRY_VERIFY(window.findChild<QLabel*>("statusNote") && window.findChild<QLabel*>("statusNote")->isVisible());
    auto* status = Find<QLabel>(window, "statusNote");
    QVERIFY2(status->text().contains("典籍库") && status->text().contains("名字没有出处"), qPrintable(status->text()));
    QVERIFY(recorder.texts.isEmpty());
  }

  // A search holds at most the characters a search takes.
  void searchFieldIsBounded() {
    MainWindow window(tavrin::test::WindowStores(), 3);
    window.Pages()->setCurrentIndex(kPoetryPage);
    auto* field = Find<QLineEdit>(window, "poemSearch");
    field->setText(QString("明").repeated(2000));
    QCOMPARE(field->text().size(), 50);
  }

  // A size kept in the settings never makes the window larger than the
  // screen nor puts it off it.
  void keptGeometryFitsTheScreen_data() {
    QTest::addColumn<QRect>("kept");
    QTest::newRow("99999 x 99999") << QRect(0, 0, 99999, 99999);
    QTest::newRow("off the screen") << QRect(50000, 50000, 800, 600);
    QTest::newRow("negative") << QRect(-40000, -40000, 900, 600);
    QTest::newRow("wider than the screen") << QRect(0, 0, 1000, 700);
  }
  void keptGeometryFitsTheScreen() {
    QFETCH(QRect, kept);
    // The layout QWidget::saveGeometry writes (version 3.0).
    QByteArray geometry;
    QDataStream stream(&geometry, QIODevice::WriteOnly);
    stream.setVersion(QDataStream::Qt_4_0);
    stream << quint32(0x1D9D0CB) << quint16(3) << quint16(0) << kept << kept << qint32(0) << quint8(0) << quint8(0)
           << qint32(kept.width()) << kept;
    QSettings().setValue("window/geometry", geometry);
    MainWindow window(tavrin::test::WindowStores(), 3);
    window.RememberGeometry();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    // No larger than the screen unless the window's smallest size is (901 ×
    // 532 against the offscreen platform's 800 × 800), and its corner on it.
    const QString where =
        QString("%1,%2 %3x%4").arg(window.x()).arg(window.y()).arg(window.width()).arg(window.height());
    QVERIFY2(window.width() <= std::max(screen.width(), window.minimumWidth()), qPrintable(where));
    QVERIFY2(window.height() <= std::max(screen.height(), window.minimumHeight()), qPrintable(where));
    QVERIFY2(window.x() >= screen.left() && window.y() >= screen.top(), qPrintable(where));
    QVERIFY2(window.x() <= std::max(screen.left(), screen.right() - window.width() + 1), qPrintable(where));
    QVERIFY2(window.y() <= std::max(screen.top(), screen.bottom() - window.height() + 1), qPrintable(where));
    QSettings().remove("window/geometry");
  }

  // Deleting many favourites asks a short question: a few names and how many.
  void deleteQuestionSummarises() {
    QTemporaryDir dir;
    MainWindow window(tavrin::test::WindowStores(), 3);
    tavrin::ui::FavouritesPage& page = *window.Favourites();
    page.SetStore(std::make_unique<FavouritesStore>(dir.filePath("f.db").toStdString()));
    std::vector<Favourite> many;
    for (int i = 0; i < 1000; ++i) {
      Favourite f;
      // 张 and one character of GB2312's first level for each.
      f.name = tavrin::GbkText(std::string("\xD5\xC5") + static_cast<char>(0xB0 + i / 94) +
                               static_cast<char>(0xA1 + i % 94));
      f.year = 2012, f.month = 3, f.day = 1, f.hour = 8, f.score = 80;
      many.push_back(f);
    }
    page.Store()->Merge(many);
    window.Pages()->setCurrentWidget(&page);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTRY_COMPARE(page.Model().rowCount(), 1000);
    QStringList asked;
    page.SetConfirm([&](QWidget*, const QString& question) {
      asked << question;
      return false;
    });
    page.Table()->selectAll();
    page.Table()->setFocus();
    QTest::keyClick(page.Table(), Qt::Key_Delete);
    QCOMPARE(asked.size(), 1);
    QVERIFY2(asked.front().size() < 80 && asked.front().contains("等 1000 个名字"), qPrintable(asked.front()));
    QCOMPARE(page.Store()->List().size(), 1000u);
    // Said yes to, all go at once, in one transaction.
    page.SetConfirm([](QWidget*, const QString&) { return true; });
    QTest::keyClick(page.Table(), Qt::Key_Delete);
    QCOMPARE(page.Store()->List().size(), 0u);
    QCOMPARE(page.Model().rowCount(), 0);
  }
};

int main(int argc, char** argv) {
  tavrin::ui::Application app(argc, argv);
  TestReliability test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_reliability.moc"
