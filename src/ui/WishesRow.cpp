#include "ui/WishesRow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace tavrin::ui {

namespace {

QLineEdit* AddField(QWidget* parent, QHBoxLayout* row, const char* name, int width, int maxLength,
                    const QString& placeholder) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(name);
  field->setFixedWidth(width);
  field->setMaxLength(maxLength);
  field->setPlaceholderText(placeholder);
  row->addWidget(field);
  return field;
}

QComboBox* AddChoice(QWidget* parent, QHBoxLayout* row, const char* name, const QStringList& items) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(name);
  combo->addItems(items);
  row->addWidget(combo);
  return combo;
}

}  // namespace

WishesRow::WishesRow(const QStringList& themes, QWidget* parent) : QWidget(parent) {
  setObjectName("wishesRow");
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(4);
  auto* caption = new QLabel(tr("家人心愿:"), this);
  caption->setToolTip(
      tr("家人对名字的心愿。精选按它加减推荐度,每个名字的说明里写着它怎样合这些心愿;"
         "只有辈分字和避讳会去掉名字"));
  row->addWidget(caption);
  theme_ = AddChoice(this, row, "wishTheme", QStringList(tr("心愿不限")) + themes);
  theme_->setToolTip(tr("名字的字或整个名字合这个心愿,推荐度就高些"));
  row->addSpacing(6);
  row->addWidget(new QLabel(tr("辈分字:"), this));
  kept_ = AddField(this, row, "wishKept", 28, 1, QString());
  kept_->setToolTip(tr("名字都要在这个位置用这个字;“限定第2/3个字”勾选时也一样"));
  keptAt_ = AddChoice(this, row, "wishKeptAt", {tr("在第一字"), tr("在第二字")});
  row->addSpacing(6);
  row->addWidget(new QLabel(tr("避讳:"), this));
  avoided_ = AddField(this, row, "wishAvoided", 64, 8, tr("长辈的名字"));
  avoided_->setToolTip(tr("含这些字的名字不列出"));
  avoidSounds_ = new QCheckBox(tr("同音也避"), this);
  avoidSounds_->setObjectName("wishAvoidSounds");
  avoidSounds_->setToolTip(tr("拼音相同(不论声调)的字也避开"));
  row->addWidget(avoidSounds_);
  row->addSpacing(6);
  siblingSex_ = AddChoice(this, row, "wishSiblingSex", {tr("哥哥"), tr("姐姐")});
  sibling_ = AddField(this, row, "wishSibling", 64, 6, tr("的名字"));
  sibling_->setToolTip(tr("与哥哥姐姐的名字同部首、同心愿的名字推荐度高些;同音、同位置同字的低些"));
  row->addStretch();

  const auto emitChanged = [this] {
    if (!setting_) emit changed();
  };
  for (QComboBox* combo : {theme_, keptAt_, siblingSex_})
    connect(combo, &QComboBox::currentIndexChanged, this, emitChanged);
  for (QLineEdit* field : {kept_, avoided_, sibling_}) connect(field, &QLineEdit::textChanged, this, emitChanged);
  connect(avoidSounds_, &QCheckBox::toggled, this, emitChanged);
}

WishesTyped WishesRow::Typed() const {
  WishesTyped typed;
  if (theme_->currentIndex() > 0) typed.theme = theme_->currentText();
  typed.kept = kept_->text().trimmed();
  typed.keptAt = keptAt_->currentIndex() == 1 ? 2 : 1;
  typed.avoided = avoided_->text();
  typed.avoidSounds = avoidSounds_->isChecked();
  typed.sibling = sibling_->text().trimmed();
  typed.siblingFemale = siblingSex_->currentIndex() == 1;
  return typed;
}

void WishesRow::Set(const WishesTyped& typed) {
  setting_ = true;
  theme_->setCurrentIndex(typed.theme.isEmpty() ? 0 : std::max(0, theme_->findText(typed.theme)));
  kept_->setText(typed.kept);
  keptAt_->setCurrentIndex(typed.keptAt == 2 ? 1 : 0);
  avoided_->setText(typed.avoided);
  avoidSounds_->setChecked(typed.avoidSounds);
  sibling_->setText(typed.sibling);
  siblingSex_->setCurrentIndex(typed.siblingFemale ? 1 : 0);
  setting_ = false;
}

}  // namespace tavrin::ui
