#include "ui/PageParts.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>

#include "core/candidate.h"
#include "ui/qtext.h"

namespace tavrin::ui {

// The run's pages are named as the core names them.
const QStringList& PageNames() {
  static const QStringList captions = [] {
    QStringList list;
    for (const Origin page : {Origin::kSettings, Origin::kTwoChar, Origin::kThreeChar, Origin::kFiveElement,
                              Origin::kRecommended, Origin::kRecommendedTwo, Origin::kAnalysis}) {
      list << PageCaption(page);
    }
    return list << QT_TR_NOOP("姓名报表") << PageCaption(Origin::kPoetry) << QT_TR_NOOP("精选");
  }();
  return captions;
}

void SetTabChain(std::initializer_list<QWidget*> widgets) {
  QWidget* previous = nullptr;
  for (QWidget* widget : widgets) {
    if (previous) QWidget::setTabOrder(previous, widget);
    previous = widget;
  }
}

QPushButton* AddButton(QWidget* parent, const char* name, const QString& caption, const QRect& place) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setGeometry(place);
  return button;
}

void Anchoring::Follows(const Anchors& anchors) {
  for (const auto& [widget, how] : anchors) Follows(widget, how);
}

void Anchoring::Settle() {
  for (Anchored& a : anchored_) a.place = a.widget->geometry();
}

void Anchoring::Reanchor(QWidget* widget, QRect place) {
  for (Anchored& a : anchored_) {
    if (a.widget != widget) continue;
    a.place = place;
    widget->setGeometry(PlaceOf(place, a.how, Wider(), Taller()));
  }
}

void Anchoring::Apply() {
  for (const Anchored& a : anchored_) a.widget->setGeometry(PlaceOf(a.place, a.how, Wider(), Taller()));
}

QRect Anchoring::PlaceOf(QRect place, int how, int wider, int taller) {
  if (how & kTaller) place.setHeight(place.height() + taller);
  if (how & kWider) place.setWidth(place.width() + wider);
  if (how & kDown) place.translate(0, taller);
  if (how & kRight) place.translate(wider, 0);
  return place;
}

CentredArea::CentredArea(QWidget* page) : QWidget(page) {
  page->installEventFilter(this);
  Place();
}

void CentredArea::SetWidest(int widest) {
  widest_ = widest;
  Place();
}

bool CentredArea::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parent() && event->type() == QEvent::Resize) Place();
  return false;
}

void CentredArea::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (resized) resized();
}

void CentredArea::Place() {
  const QWidget* page = parentWidget();
  const int width = std::min(page->width(), widest_);
  setGeometry((page->width() - width) / 2, 0, width, page->height());
}

void StatusNote::Show(const QString& text) {
  if (!note_) {
    note_ = new QLabel(window_);
    note_->setObjectName("statusNote");
    note_->setStyleSheet("QLabel { background: #fff8d8; border: 1px solid #d8b840; padding: 2px 10px; }");
    timer_ = new QTimer(window_);
    timer_->setSingleShot(true);
    QObject::connect(timer_, &QTimer::timeout, note_, &QWidget::hide);
  }
  note_->setText(text);
  note_->adjustSize();
  note_->move((window_->width() - note_->width()) / 2, window_->height() - note_->height() - 6);
  note_->raise();
  note_->show();
  timer_->start(5000);
}

void EventPump::Pump() {
  if (sinceLast_.isValid() && sinceLast_.nsecsElapsed() < kMinimumGapNs) return;
  beforeEvents_();
  QCoreApplication::processEvents();
  sinceLast_.start();
}

void FitToScreen(QWidget& window) {
  // The screen the window stands on, or the primary one for a window kept
  // off every screen.
  QScreen* screen = QGuiApplication::screenAt(window.geometry().center());
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect available = screen->availableGeometry();
  // The frame is known once the window is shown; until then it is taken as
  // the system's usual border.
  const QRect inner = window.geometry(), outer = window.frameGeometry();
  const QMargins frame = window.isVisible() ? QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                                                       outer.right() - inner.right(), outer.bottom() - inner.bottom())
                                            : QMargins();
  const QRect room = available.marginsRemoved(frame);
  const QSize size = window.size().boundedTo(room.size()).expandedTo(window.minimumSize());
  if (size != window.size()) window.resize(size);
  const QRect now = window.geometry();
  const int x = std::clamp(now.left(), room.left(), std::max(room.left(), room.right() - size.width() + 1));
  const int y = std::clamp(now.top(), room.top(), std::max(room.top(), room.bottom() - size.height() + 1));
  if (QPoint(x, y) != now.topLeft()) window.move(x - frame.left(), y - frame.top());
}

}  // namespace tavrin::ui
