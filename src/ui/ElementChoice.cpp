#include "ui/ElementChoice.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>

#include "ui/qtext.h"

namespace tavrin::ui {

ElementChoice::ElementChoice(QWidget* parent) : QWidget(parent) {
  setObjectName("elementChoice");
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(6);
  auto* caption = new QLabel(tr("名字五行:"), this);
  caption->setToolTip(tr("名字里的字按哪些五行挑选、排列;“帮助”里有喜用神和补缺的说明"));
  row->addWidget(caption);
  auto* group = new QButtonGroup(this);
  const auto radio = [&](const char* name, const QString& text, const QString& tip) {
    auto* button = new QRadioButton(text, this);
    button->setObjectName(name);
    button->setToolTip(tip);
    group->addButton(button);
    row->addWidget(button);
    return button;
  };
  byChart_ = radio("elementsByChart", tr("按八字喜用神"), tr("按日主强弱推算喜用五行,名字宜用属这些五行的字"));
  byChart_->setChecked(true);
  chosen_ = radio("elementsChosen", tr("自选"), tr("名字宜用下面勾选的五行"));
  for (Element e : kElementOrder) {
    auto* box = new QCheckBox(ElementCaption(e), this);
    box->setObjectName(QString("chosenElement%1").arg(static_cast<int>(e)));
    boxes_[static_cast<std::size_t>(e)] = box;
    row->addWidget(box);
    connect(box, &QCheckBox::toggled, this, [this](bool on) {
      if (setting_) return;
      if (on && !chosen_->isChecked()) {
        // Ticking an element is choosing it: 自选, without a second signal.
        setting_ = true;
        chosen_->setChecked(true);
        setting_ = false;
      }
      Changed();
    });
  }
  ignore_ = radio("elementsIgnored", tr("不看五行"), tr("名字不按五行挑选和排列"));
  row->addStretch();
  connect(group, &QButtonGroup::buttonToggled, this, [this](QAbstractButton*, bool on) {
    if (setting_ || !on) return;
    if (!chosen_->isChecked()) {
      setting_ = true;
      for (QCheckBox* box : boxes_) box->setChecked(false);
      setting_ = false;
    }
    Changed();
  });
}

void ElementChoice::Changed() {
  if (!setting_) emit changed();
}

ElementWish ElementChoice::Wish() const {
  if (ignore_->isChecked()) return ElementWish::kIgnore;
  return chosen_->isChecked() ? ElementWish::kChosen : ElementWish::kChart;
}

std::vector<Element> ElementChoice::Chosen() const {
  std::vector<Element> chosen;
  if (Wish() != ElementWish::kChosen) return chosen;
  for (Element e : kElementOrder) {
    if (boxes_[static_cast<std::size_t>(e)]->isChecked()) chosen.push_back(e);
  }
  return chosen;
}

void ElementChoice::Set(ElementWish wish, const std::vector<Element>& chosen) {
  setting_ = true;
  (wish == ElementWish::kIgnore ? ignore_ : wish == ElementWish::kChosen ? chosen_ : byChart_)->setChecked(true);
  for (Element e : kElementOrder) {
    bool ticked = false;
    if (wish == ElementWish::kChosen) {
      for (Element c : chosen) ticked = ticked || c == e;
    }
    boxes_[static_cast<std::size_t>(e)]->setChecked(ticked);
  }
  setting_ = false;
}

QString ElementChoice::WishKey(ElementWish wish) {
  switch (wish) {
    case ElementWish::kChosen:
      return "chosen";
    case ElementWish::kIgnore:
      return "ignore";
    case ElementWish::kChart:
      break;
  }
  return "chart";
}

ElementWish ElementChoice::WishOfKey(const QString& key) {
  if (key == "chosen") return ElementWish::kChosen;
  if (key == "ignore") return ElementWish::kIgnore;
  return ElementWish::kChart;
}

QString ElementChoice::ElementsKey(const std::vector<Element>& elements) {
  QString key;
  for (Element e : elements) key += ElementCaption(e);
  return key;
}

std::vector<Element> ElementChoice::ElementsOfKey(const QString& key) {
  std::vector<Element> elements;
  for (Element e : kElementOrder) {
    if (key.contains(ElementCaption(e))) elements.push_back(e);
  }
  return elements;
}

}  // namespace tavrin::ui
