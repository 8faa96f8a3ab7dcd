// What the pages of the window build themselves from: named buttons, the Tab
// order, and how a control follows the window beyond its smallest size.
#pragma once

#include <QElapsedTimer>
#include <QLabel>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

#include "core/naming_io.h"

class QPushButton;
class QTimer;

namespace tavrin::ui {

// How a control follows the window beyond its smallest size: it takes the
// height or the width the window gains, or moves down or right by it.
enum Follow { kTaller = 1, kWider = 2, kDown = 4, kRight = 8 };

// The window's pages, in the order of their tabs.
enum class Page {
  kSettings,        // 姓名设置
  kTwoChar,         // 二字名
  kThreeChar,       // 三字名
  kFiveElement,     // 部首有五行
  kRecommended,     // 系统推荐名
  kRecommendedTwo,  // 系统推荐名二
  kAnalysis,        // 姓名分析
  kReport,          // 姓名报表
  kPoetry,          // 诗歌取名
  kBest,            // 精选
  kFavourites,      // 收藏
};
// The tab index of a page.
constexpr int TabOf(Page page) { return static_cast<int>(page); }
// The pages' names as the program keeps them (the pages' object names, a
// favourite's origin), but 收藏; the tabs show them through tr().
const QStringList& PageNames();

// A page's controls that follow the window, each with how.
using Anchors = std::vector<std::pair<QWidget*, int>>;

// Tab moves from each widget to the next.
void SetTabChain(std::initializer_list<QWidget*> widgets);

QPushButton* AddButton(QWidget* parent, const char* name, const QString& caption, const QRect& place);

// The window's client size at its smallest; the pages are laid out for it.
inline constexpr int kSmallestWidth = 901;
inline constexpr int kSmallestHeight = 532;

// The controls that follow the window beyond its smallest size, each from
// its place in the smallest window.
class Anchoring {
 public:
  explicit Anchoring(const QWidget& window) : window_(window) {}
  // The place at the smallest size is taken by Settle, once the pages are built.
  void Follows(QWidget* widget, int how) { anchored_.push_back({widget, {}, how}); }
  void Follows(const Anchors& anchors);
  void Settle();
  // A control that follows the window stands at `place` in the smallest one
  // from now on.
  void Reanchor(QWidget* widget, QRect place);
  // Every control to its place in the window as it is now.
  void Apply();
  // Where a control following `how` stands in a window `wider` and
  // `taller` than the smallest.
  static QRect PlaceOf(QRect place, int how, int wider, int taller);

 private:
  struct Anchored {
    QWidget* widget;
    QRect place;  // at the smallest size
    int how;
  };
  int Wider() const { return std::max(0, window_.width() - kSmallestWidth); }
  int Taller() const { return std::max(0, window_.height() - kSmallestHeight); }
  const QWidget& window_;
  std::vector<Anchored> anchored_;
};

// The content of a page laid out for the smallest window: as wide as the
// page up to its widest, in the middle of a wider page, as tall as the page.
class CentredArea final : public QWidget {
 public:
  explicit CentredArea(QWidget* page);
  void SetWidest(int widest);
  std::function<void()> resized;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Place();
  int widest_ = kSmallestWidth;
};

// A short note at the bottom of the window that goes by itself.
class StatusNote {
 public:
  explicit StatusNote(QWidget* window) : window_(window) {}
  void Show(const QString& text);

 private:
  QWidget* window_;
  QLabel* note_ = nullptr;
  QTimer* timer_ = nullptr;
};

// The window's message pump. The run calls it for every candidate, tens of
// thousands of times a run; the event loop itself is passed at most once a
// millisecond: a click is still handled at once, and the run is not slowed
// by passes over an empty queue. `beforeEvents` runs before each pass.
class EventPump final : public MessagePump {
 public:
  static constexpr qint64 kMinimumGapNs = 1'000'000;
  explicit EventPump(std::function<void()> beforeEvents) : beforeEvents_(std::move(beforeEvents)) {}
  void Pump() override;

 private:
  std::function<void()> beforeEvents_;
  QElapsedTimer sinceLast_;
};

// The window made no larger than the screen it stands on, and moved onto
// it: a size kept in the settings may come from a larger screen, another
// scale or another hand.
void FitToScreen(QWidget& window);

}  // namespace tavrin::ui
