#include "ui/Guide.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>

#include "favourites/store.h"

namespace tavrin::ui {

namespace {

QLabel* StepPage(const QString& title, const QString& body) {
  auto* label = new QLabel(QString("<h2>%1</h2><p style='line-height:150%'>%2</p>").arg(title, body));
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  label->setTextFormat(Qt::RichText);
  label->setMargin(12);
  return label;
}

}  // namespace

FirstRunGuide::FirstRunGuide(QWidget* parent) : QDialog(parent) {
  setObjectName("firstRunGuide");
  setWindowTitle(tr("欢迎使用 Tavrin"));
  steps_ = new QStackedWidget(this);
  steps_->addWidget(StepPage(tr("第一步：填写宝宝的情况"),
                             tr("在“姓名设置”页填宝宝的<b>姓氏</b>、<b>性别</b>、<b>公历生日</b>和<b>出生时辰</b>"
                                "（不知道时辰就选“时辰不详”），然后点<b>生成</b>。一两秒就好。")));
  steps_->addWidget(StepPage(tr("第二步：到“精选”看最好的名字"),
                             tr("生成后点<b>查看精选</b>按钮（或最后面的“精选”页）。精选把各页的名字合在一起，"
                                "去掉重复，按<b>推荐度</b>排好。选中一个名字，右边解释字义、出处、读音上的提示"
                                "和推荐度的由来。")));
  steps_->addWidget(StepPage(tr("第三步：收藏喜欢的名字"),
                             tr("选中名字按 <b>Ctrl+D</b>，或点右键选“☆ 收藏”。收藏的名字在“收藏”页，"
                                "可以打分、写备注，选两到四个点<b>比较</b>，或点<b>打印…</b>拿给家人看。")));
  steps_->addWidget(
      StepPage(tr("看懂三个数"), tr("<b>推荐度</b>是对名字的总评：读音、字义、出处和用字，比较名字以它为准。"
                                    "<b>分数</b>和<b>通行评分</b>只按笔画算五格数理，两种算法不同，只作参考；"
                                    "精选和比较里写明了它们为什么高或低。<br><br>"
                                    "随时可以点<b>帮助</b>，再看这份指引和详细的说明。")));
  counter_ = new QLabel(this);
  back_ = new QPushButton(tr("上一步"), this);
  back_->setObjectName("guideBack");
  next_ = new QPushButton(this);
  next_->setObjectName("guideNext");
  next_->setDefault(true);
  auto* skip = new QPushButton(tr("跳过"), this);
  skip->setObjectName("guideSkip");
  connect(back_, &QPushButton::clicked, this, [this] { ShowStep(CurrentStep() - 1); });
  connect(next_, &QPushButton::clicked, this, [this] {
    if (CurrentStep() + 1 < StepCount()) {
      ShowStep(CurrentStep() + 1);
    } else {
      accept();
    }
  });
  connect(skip, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(counter_);
  buttons->addStretch(1);
  buttons->addWidget(skip);
  buttons->addWidget(back_);
  buttons->addWidget(next_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(steps_, 1);
  layout->addLayout(buttons);
  resize(480, 300);
  ShowStep(0);
}

int FirstRunGuide::StepCount() const { return steps_->count(); }

int FirstRunGuide::CurrentStep() const { return steps_->currentIndex(); }

void FirstRunGuide::ShowStep(int step) {
  steps_->setCurrentIndex(std::clamp(step, 0, StepCount() - 1));
  counter_->setText(tr("%1 / %2").arg(CurrentStep() + 1).arg(StepCount()));
  back_->setEnabled(CurrentStep() > 0);
  next_->setText(CurrentStep() + 1 < StepCount() ? tr("下一步") : tr("开始使用"));
}

namespace {

// How to begin and what each page is for.
QString PagesHtml() {
  QString html = HelpDialog::tr(
      "<h2>三步开始</h2><ol><li>先设置宝宝姓氏</li><li>设置宝宝生日</li><li>点生成</li></ol>"
      "<p>然后点“查看精选”，最好的名字都在那里。</p>");
  html += HelpDialog::tr(
      "<h2>各页是做什么的</h2><dl>"
      "<dt><b>姓名设置</b></dt><dd>填姓氏、性别、公历生日和时辰，点“生成”。下面的框写出八字分析，"
      "并列出分数高于 70 的名字。“限定第2个字为”可以指定名字中的字（比如辈分字）。</dd>"
      "<dt><b>二字名、三字名、部首有五行、系统推荐名、系统推荐名二</b></dt><dd>用不同方法产生的名字，"
      "括号里是分数（可以是负数：五格凶数多）。双击名字看它的分析，右键可以收藏。</dd>"
      "<dt><b>姓名分析</b></dt><dd>输入一个名字看八字、五行和五格；“通行算法”按起名书通行的算法再读一遍；"
      "“导出PDF…”存成可以打印的报告。</dd>"
      "<dt><b>姓名报表</b></dt><dd>生成过的高分名字的表格，可以排序、筛选，可以导出。</dd>"
      "<dt><b>诗歌取名</b></dt><dd>在左边选一首诗（或在中间贴一段诗文），点“开 始”，从诗里取字组名；"
      "把鼠标停在名字上，能看到字出自哪一句。</dd>"
      "<dt><b>精选</b></dt><dd>把各页的名字合在一起、去掉重复，按推荐度排好，并加上程序从典籍和名库里"
      "找到的名字。选中一个名字，右边解释字义、出处、提示和推荐度的由来。<b>最好的名字在这里。</b></dd>"
      "<dt><b>收藏</b></dt><dd>留下的名字。可以打分、写备注；选两到四个点“比较”，或点“打印…”存成 PDF。</dd>"
      "</dl>");
  return html;
}

// The 推荐度, the score and the 通行评分.
QString ScoresHtml() {
  return HelpDialog::tr(
      "<h2>推荐度、分数和通行评分</h2>"
      "<p><b>推荐度</b>（满分 100）是对名字的总评，比较名字时以它为准。它从 60 分起，看读音是否顺口、"
      "字义好不好、有没有出处、用字常见与否、是男孩还是女孩常用、会不会被读错或起外号，"
      "每一项加分或减分都列在精选右边的“推荐度的由来”里。</p>"
      "<p><b>分数</b>（最高 100）是本程序自己的五格数理分：按繁体字的笔画算天格、人格、地格、外格、总格，"
      "在数理表里查吉凶，吉数加 30 分，半吉加 10 分，凶数减 5 分；八字和名字合起来五行齐全再加 10 分，"
      "否则减 10 分。天格只由姓决定，所以同姓的名字天格都一样。</p>"
      "<p><b>通行评分</b>（满分 100）按起名书和网站通行的算法：用《康熙字典》的笔画（部首按原字算，"
      "如“艹”算 6 画）算五格，占 60 分；天格、人格、地格的五行配合（三才）占 20 分；名字用字合不合八字的"
      "喜用五行占 20 分。</p>"
      "<p>两种算法笔画数不同，同一格可能一个算吉、一个算凶，所以分数和通行评分常常不一样。"
      "精选、收藏的比较和打印的报告都会写明这个名字是哪几格为凶、五行如何、哪一格两种算法不同。"
      "数理只是传统说法，不必为它放弃一个读来好听、意思好的名字。</p>");
}

// What the chart asks of a name: 喜用神, 补缺 and the family's choice.
QString NeedsHtml() {
  return HelpDialog::tr(
      "<h2>宝宝的八字需要什么：喜用神和补缺</h2>"
      "<p>生日和时辰排出八字（年、月、日、时四柱，每柱两个字，共八个字），每个字属金、木、水、火、土之一。"
      "看八字需要什么五行，有两种读法：</p>"
      "<p><b>喜用神</b>（起名书大多用这种）：日柱的第一个字叫日主，代表宝宝自己。看八字里帮它的五行"
      "（同类和生它的）多还是克它、耗它的多，就知道日主偏强还是偏弱。偏弱就喜帮它的五行，偏强就喜克它、"
      "泄它的五行，让八字平衡；这些五行叫喜用神，名字宜用属这些五行的字，另外的叫忌神。"
      "精选和姓名分析最上面的一句话就是这样读的，例如“日主丁火偏弱，喜木、火”。</p>"
      "<p><b>补缺</b>（“缺什么补什么”）：只数八字里各五行有几个字。姓名设置下面框里的"
      "“八字中X多”就是某一五行的字多；“五行缺X”是一个也没有，"
      "“名字中要有X”是建议名字里补上这个五行。这种读法简单，但不看日主强弱。</p>"
      "<p><b>两种读法为什么会不同</b>：八字里缺的五行，按日主强弱未必是需要的。比如日主偏强时，"
      "缺的正好是帮日主的五行，再补反而更偏。所以一句话下面那行小字会写明两种读法各是什么、哪里不同。</p>"
      "<p><b>名单按哪一种排</b>：精选的推荐度、“只看合喜用的名字”和通行评分都按喜用神（或您在下面“名字五行”里的选择）；"
      "补缺的几行照旧写在姓名设置和姓名分析的框里，供参考。</p>"
      "<p><b>名字五行</b>（在姓名设置里选，各页都照它）：</p><ul>"
      "<li><b>按八字喜用神</b>（默认）：按日主强弱推出的喜用五行挑字。</li>"
      "<li><b>自选</b>：勾上您想要的五行（可以勾几个），名字按这些五行挑字；"
      "在姓名分析“通行算法”里勾选五行也是同一个选择。</li>"
      "<li><b>不看五行</b>：名字不按五行加减推荐度，只看读音、字义、出处等。</li></ul>"
      "<p>换了选择，精选的名单马上重新排好，不用重新生成。</p>");
}

// The birthplace's true solar time and the day of a solar term.
QString BirthTimeHtml() {
  return HelpDialog::tr(
      "<h2>出生地和交节的那一天</h2>"
      "<p><b>出生地（真太阳时）</b>：时柱看的是太阳在当地的位置，而北京时间是东经 120° 的钟点。"
      "往西每差 1° 太阳晚到 4 分钟，乌鲁木齐约在东经 87.6°，比北京时间晚两个多小时；"
      "一年里太阳本身还会快慢十几分钟（均时差）。在姓名设置里选了省和市，八字就按当地的真太阳时排时柱，"
      "跨过子时的连日柱也会换。不填就按北京时间排，和以前一样。</p>"
      "<p><b>交节的那一天</b>：月柱不按农历初一换，而是在每月的节（立春、惊蛰、清明……小寒）交节的那一刻换，"
      "那一刻之前是上个月，之后是下个月；立春那天连年柱也在那一刻换。"
      "生在交节当天而时辰不详，或交节正好在出生的那个钟点里，就说不准是哪个月。"
      "这时生日旁会出现“交节：按节后 / 按节前”，默认按节后；家里知道是在交节之前还是之后出生的，"
      "就选上，八字、精选和姓名分析都照它。</p>");
}

// What the scores mean, where things are kept, the keys; `favouritesPath` as
// HelpDialog takes it.
QString HelpHtml(const QString& favouritesPath) {
  const QString kept = favouritesPath.isEmpty()
                           ? HelpDialog::tr("这台电脑上找不到保存收藏的目录（没有 HOME），本次不能收藏名字。")
                           : HelpDialog::tr(
                                 "收藏的名字保存在 <code>%1</code>（按 XDG 规范放在用户数据目录，卸载程序也不会删掉）。"
                                 "换电脑时，在“收藏”页点“导出JSON…”，到新电脑上再“导入JSON…”。")
                                 .arg(favouritesPath.toHtmlEscaped());
  QString html = PagesHtml();
  html += ScoresHtml() + NeedsHtml() + BirthTimeHtml();
  html +=
      HelpDialog::tr("<h2>收藏和设置保存在哪里</h2><p>%1</p><p>窗口大小和上次看的页面由程序自己记住。</p>").arg(kept);
  html += HelpDialog::tr(
      "<h2>快捷键</h2><p>Enter：生成（在姓名设置的输入框里）或分析（在姓名分析页）· Esc：停止 · "
      "Ctrl+D：收藏或取消收藏选中的名字 · Ctrl+C：复制 · Ctrl+Q：退出</p>");
  return html;
}

}  // namespace

HelpDialog::HelpDialog(const QString& favouritesPath, QWidget* parent) : QDialog(parent) {
  setObjectName("helpDialog");
  setWindowTitle(tr("Tavrin 帮助"));
  text_ = new QTextBrowser(this);
  text_->setObjectName("helpText");
  text_->setOpenExternalLinks(false);
  text_->setHtml(HelpHtml(favouritesPath));

  auto* buttons = new QDialogButtonBox(this);
  auto* guide = buttons->addButton(tr("入门指引"), QDialogButtonBox::ActionRole);
  guide->setObjectName("helpGuide");
  auto* close = buttons->addButton(tr("关闭"), QDialogButtonBox::RejectRole);
  connect(guide, &QPushButton::clicked, this, &HelpDialog::guideRequested);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text_, 1);
  layout->addWidget(buttons);
  resize(640, 560);
}

QString HelpDialog::Text() const { return text_->toPlainText(); }

void ShowHelp(QWidget* window) {
  if (auto* open = window->findChild<HelpDialog*>()) {
    open->raise();
    open->activateWindow();
    return;
  }
  const QString path =
      QString::fromStdString(DefaultFavouritesPath([](const char* name) { return std::getenv(name); }));
  auto* help = new HelpDialog(path, window);
  help->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(help, &HelpDialog::guideRequested, window, [window] { ShowGuide(window); });
  help->show();
}

void ShowGuide(QWidget* window) {
  auto* guide = new FirstRunGuide(window);
  guide->setAttribute(Qt::WA_DeleteOnClose);
  guide->show();
}

bool ShowGuideOnce(QWidget* window) {
  QSettings settings;
  if (settings.value("guide/shown", false).toBool()) return false;
  settings.setValue("guide/shown", true);
  ShowGuide(window);
  return true;
}

}  // namespace tavrin::ui
