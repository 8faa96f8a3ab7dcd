#include "ui/PageHints.h"

#include <QObject>

#include <array>

#include "ui/PaneView.h"
#include "ui/qtext.h"

namespace tavrin::ui {

namespace {

QString ToBest() { return QObject::tr("各页的名字都汇集在“精选”，按推荐度排好。"); }

QString WhatPageHolds(Origin page) {
  switch (page) {
    case Origin::kTwoChar:
      return QObject::tr("姓加一个字的名字和它们的分数");
    case Origin::kThreeChar:
      return QObject::tr("姓加两个字的名字和它们的分数");
    case Origin::kFiveElement:
      return QObject::tr("用带五行偏旁的字补足八字所缺五行的名字");
    case Origin::kRecommended:
      return QObject::tr("推荐名单里的名字");
    default:
      return QObject::tr("常用名字表里的名字");
  }
}

// The pane of a generator's page; `surname` as the run read it.
QString EmptyPaneHint(Origin page, EmptyPane why, const QString& surname, SoundRule soundRule) {
  switch (why) {
    case EmptyPane::kBeforeRun:
      return QObject::tr("还没有名字。在“姓名设置”填好宝宝的信息，点“生成”，这里会列出%1。").arg(WhatPageHolds(page));
    case EmptyPane::kStopped:
      return QObject::tr("生成中途停止了，这一页还没来得及列出名字。再点“生成”就从头开始。");
    case EmptyPane::kGirlCharOfSurname:
      return QObject::tr(
                 "男孩的名字里有常见的女孩用字时，这一页不列出它。复姓“%1”的第二个字在这里算作名字的字，"
                 "又是女孩常用字，所以这次一个也没有列出。请看“系统推荐名二”和“精选”。")
          .arg(surname);
    case EmptyPane::kSoundsAvoided:
      break;
  }
  QString hint = QObject::tr("这一页这次没有名字：和姓“%1”读音相近的字都避开了，试到上限也没找到。").arg(surname);
  if (soundRule == SoundRule::kSubstring) hint += QObject::tr("勾选“声韵按整项比较”再生成会多一些；");
  return hint + ToBest();
}

}  // namespace

void ExplainEmptyPanes(const NamingModel& model, const std::vector<PaneView*>& panes, bool afterRun) {
  constexpr std::array<Origin, 5> kGenerated = {Origin::kTwoChar, Origin::kThreeChar, Origin::kFiveElement,
                                                Origin::kRecommended, Origin::kRecommendedTwo};
  const NamingSession& session = model.Session();
  for (std::size_t i = 0; i < kGenerated.size(); ++i) {
    const Origin page = kGenerated[i];
    panes[i + 1]->setPlaceholderText(
        EmptyPaneHint(page, WhyPaneEmpty(model, page, afterRun), SurnameOf(session), session.soundRule));
  }
  panes.front()->setPlaceholderText(
      QObject::tr("填好上面宝宝的性别、姓氏和生日，点“生成”。分数高于 70 的名字会记在这里；") + ToBest());
  panes.back()->setPlaceholderText(
      QObject::tr("在左边选一首诗，或在中间贴上诗句，点“开 始”，从诗里取的名字会列在这里。"));
}

QString EmptyReportHint(const EmptyReport& why) {
  QString reason = QObject::tr("这次没有得分高于 70 的名字，而报表只收高于 70 分的名字。");
  if (why.hourUnknown) {
    reason += "<br>" + QObject::tr("时辰不详时八字只有六个字，加上名字也难凑齐五行各两个，五行一项几乎总要扣 10 分。");
  }
  if (why.compoundSurname) {
    reason += "<br>" + QObject::tr("复姓在五格里只按第一个字算，四个字的名字只得天格和人格两格，分数偏低。");
  }
  reason += "<br>";
  reason += why.hourUnknown ? QObject::tr("填上出生时辰再生成，或到“精选”按推荐度看名字。")
                            : QObject::tr("请到“精选”按推荐度看名字。");
  return reason;
}

}  // namespace tavrin::ui
