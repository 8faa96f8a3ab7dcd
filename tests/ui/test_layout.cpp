// The window at the sizes a parent uses it at, from its smallest to a whole
// screen: on every page no shown widget covers another or stands outside
// its parent, and no caption is cut.
#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

#include "ui/MainWindow.h"
#include "ui/PaneView.h"
#include "window_fixture.h"

using tavrin::test::Find;
using tavrin::ui::MainWindow;

namespace {

// Widgets whose insides are the toolkit's own.
bool IsLeaf(const QWidget* w) {
  return qobject_cast<const QAbstractScrollArea*>(w) || qobject_cast<const QComboBox*>(w) ||
         qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QLineEdit*>(w) ||
         qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLabel*>(w);
}

QString Name(const QWidget* w) { return QString("%1 (%2)").arg(w->objectName(), w->metaObject()->className()); }

// Whether the text of a label or a button is shown whole.
bool TextFits(const QWidget* w) {
  if (const auto* label = qobject_cast<const QLabel*>(w)) {
    if (label->text().isEmpty() || label->wordWrap()) return true;
    if (label->textFormat() == Qt::RichText || Qt::mightBeRichText(label->text()))
      return label->sizeHint().width() <= label->width();
    return label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width();
  }
  if (qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w)) {
    return w->sizeHint().width() <= w->width();
  }
  if (const auto* button = qobject_cast<const QPushButton*>(w)) {
    return button->fontMetrics().horizontalAdvance(button->text()) + 8 <= button->width();
  }
  return true;
}

// Every fault below `parent`: shown siblings that cover each other (frames
// that share their edge pixel aside), a child outside its parent, a cut text.
void CollectFaults(const QWidget* parent, QStringList& faults) {
  QList<const QWidget*> shown;
  for (const QWidget* w : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (w->isVisible() && !w->isWindow()) shown << w;
  }
  for (qsizetype i = 0; i < shown.size(); ++i) {
    for (qsizetype j = i + 1; j < shown.size(); ++j) {
      const QRect both = shown[i]->geometry() & shown[j]->geometry();
      if (both.width() > 1 && both.height() > 1) faults << Name(shown[i]) + " covers " + Name(shown[j]);
    }
  }
  for (const QWidget* w : shown) {
    if (!parent->rect().contains(w->geometry())) faults << Name(w) + " outside " + Name(parent);
    if (!TextFits(w)) faults << Name(w) + " cut";
    if (!IsLeaf(w)) CollectFaults(w, faults);
  }
}

QRect InWindow(const QWidget* w) { return QRect(w->mapTo(w->window(), QPoint(0, 0)), w->size()); }

}  // namespace

class LayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { hook = std::make_unique<tavrin::test::MessageRecorder>(); }
  void cleanup() { hook.reset(); }

  void nothingCoversAnything_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("smallest") << QSize(901, 532);
    QTest::newRow("1024x700") << QSize(1024, 700);
    QTest::newRow("tall") << QSize(1024, 1000);
    QTest::newRow("whole screen") << QSize(1600, 1000);
  }
  void nothingCoversAnything() {
    QFETCH(QSize, size);
    MainWindow window(tavrin::test::WindowStores(), 5);
    window.show();
    window.resize(size);
    // A run and a poetry run leave every line the status line can hold.
    Find<QLineEdit>(window, "bsSkinEdit1")->setText("10");
    QTest::mouseClick(Find<QPushButton>(window, "bsSkinButton1"), Qt::LeftButton);
    window.Pages()->setCurrentIndex(8);
    QTest::mouseClick(Find<QPushButton>(window, "bsSkinButton3"), Qt::LeftButton);
    Find<QLineEdit>(window, "bsSkinEdit2")->setText("林采薇");
    Find<QPushButton>(window, "bsSkinButton2")->click();
    QStringList faults;
    for (const bool conventions : {false, true}) {
      Find<QPushButton>(window, "showConventions")->setChecked(conventions);
      for (int page = 0; page < window.Pages()->count(); ++page) {
        window.Pages()->setCurrentIndex(page);
        QCoreApplication::processEvents();
        CollectFaults(&window, faults);
      }
    }
    faults.removeDuplicates();
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    QVERIFY(!Find<QLabel>(window, "bestHint")->text().isEmpty());
    QVERIFY(!Find<QLabel>(window, "drawCapNote")->text().isEmpty());

    // 通行算法 takes the analysis pane's place, or stands beside it, as
    // tall, when the page has room for both.
    window.Pages()->setCurrentIndex(6);
    QCoreApplication::processEvents();
    auto* pane = Find<tavrin::ui::PaneView>(window, "Memo4");
    auto* panel = Find<QWidget>(window, "conventionsPanel");
    QVERIFY(panel->isVisible());
    if (size.width() < 1300) {
      QVERIFY(!pane->isVisible());
      QCOMPARE(panel->geometry(), pane->geometry());
    } else {
      QVERIFY(pane->isVisible() && panel->x() > pane->geometry().right() && panel->width() >= 360);
      QCOMPARE(QPair(panel->y(), panel->height()), QPair(pane->y(), pane->height()));
    }
    // The fixed-width pages stand in the middle of a wider window.
    Find<QPushButton>(window, "showConventions")->setChecked(false);
    for (const char* name : {"Memo1", "Memo6", "Memo4"}) {
      QWidget* view = Find<QWidget>(window, name);
      QWidget* page = view;
      while (window.Pages()->indexOf(page) < 0) page = page->parentWidget();
      window.Pages()->setCurrentWidget(page);
      QCoreApplication::processEvents();
      const int left = InWindow(view).left(), right = window.width() - 1 - InWindow(view).right();
      QVERIFY2(std::abs(left - right) <= 6, qPrintable(QString("%1: %2 | %3").arg(name).arg(left).arg(right)));
    }
  }

 private:
  std::unique_ptr<tavrin::test::MessageRecorder> hook;
};

QTEST_MAIN(LayoutTest)
#include "test_layout.moc"
