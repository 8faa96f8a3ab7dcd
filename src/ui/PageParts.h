// What the pages of the window build themselves from: named buttons, the Tab
// order, and how a control follows the window beyond its smallest size.
#pragma once

#include <QRect>
#include <QString>

#include <initializer_list>
#include <utility>
#include <vector>

class QPushButton;
class QWidget;

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

// A page's controls that follow the window, each with how.
using Anchors = std::vector<std::pair<QWidget*, int>>;

// Tab moves from each widget to the next.
void SetTabChain(std::initializer_list<QWidget*> widgets);

QPushButton* AddButton(QWidget* parent, const char* name, const QString& caption, const QRect& place);

}  // namespace tavrin::ui
