#include "core/naming_model.h"

#include <stdexcept>

#include "chars/gbk.h"
#include "chars/strcon.h"
#include "core/birth_inputs.h"

namespace tavrin {

NamingSession::NamingSession() : surname("张") {}

RunPresentation::RunPresentation(MessagePump* pump, MonotonicClock* clock)
    : pump_(pump), clock_(clock ? clock : &SteadyClock()), lastPump_(clock_->Now()) {}

NamingModel::NamingModel(SharedStores stores, std::uint64_t seed, NamingEnvironment environment)
    : RunPresentation(environment.pump, environment.clock),
      stores_(std::move(stores)),
      inputs_(environment.inputs),
      random_(seed),
      transDate_(environment.today ? std::make_unique<TTransDate>(*environment.today) : std::make_unique<TTransDate>()),
      girlChars_(1 << 16, false) {
  if (!inputs_) throw std::invalid_argument("a naming model needs its inputs");
  // The date translator starts as the main window stores it.
  LoadMainWindowTransDate(*transDate_);
  const std::string& girls = stores_->girlNameChars;
  for (std::size_t pos = 0; pos < girls.size(); pos += CharLengthAt(girls, pos)) {
    if (CharLengthAt(girls, pos) == 2) {
      girlChars_[GbkCode(static_cast<unsigned char>(girls[pos]), static_cast<unsigned char>(girls[pos + 1]))] = true;
    }
  }
}

std::vector<NamingRunState::PageOfPane> NamingRunState::ResultPages() const {
  const std::pair<const Pane*, Origin> pages[] = {
      {&summaryPane, Origin::kSettings},        {&twoCharPane, Origin::kTwoChar},
      {&threeCharPane, Origin::kThreeChar},     {&fiveElementPane, Origin::kFiveElement},
      {&recommendedPane, Origin::kRecommended}, {&recommendedTwoPane, Origin::kRecommendedTwo},
      {&analysisPane, Origin::kAnalysis}};
  std::vector<PageOfPane> result;
  for (const auto& [pane, page] : pages) result.push_back({pane, std::string(OriginCaption(page))});
  return result;
}

void RunPresentation::SetProgress(std::string text) {
  if (text == progress_) return;
  progress_ = std::move(text);
  if (progressListener_) progressListener_(progress_);
}

void RunPresentation::SetButtons(ButtonStates states) {
  if (states == buttons_) return;
  buttons_ = states;
  if (buttonsListener_) buttonsListener_(buttons_);
}

void NamingModel::StartRunNotes() {
  session.soundRule = Inputs().WholeItemSound() ? SoundRule::kWholeItem : SoundRule::kSubstring;
  session.drawCapNotes.clear();
}

void NamingModel::NoteDrawCap(std::string_view caption, std::size_t rows) {
  session.drawCapNotes.push_back(std::string(caption) + " " + std::to_string(rows) + " 行");
}

std::string NamingModel::DrawCapSummary() const {
  if (session.drawCapNotes.empty()) return {};
  std::string text = "已达尝试上限,名字未满所需行数:";
  for (std::size_t i = 0; i < session.drawCapNotes.size(); ++i) {
    if (i > 0) text += "、";
    text += session.drawCapNotes[i];
  }
  // Under the default rule most characters clash with a surname of a common
  // final (ang, i, u): the whole-item comparison lets many more through.
  text += session.soundRule == SoundRule::kSubstring ? "。勾选“声韵按整项比较”可得到更多名字" : "(已按整项比较声韵)";
  return text;
}

void NamingModel::StopCommand() {
  session.stopRequested = true;
  SetButtons({.generateEnabled = true, .stopEnabled = false});
}

void RunPresentation::Pump() {
  if (pump_) pump_->Pump();
  lastPump_ = clock_->Now();
}

void RunPresentation::Tick() {
  if (++ticks_ % kTicksPerClockCheck != 0) return;
  if (clock_->Now() - lastPump_ >= kPumpInterval) Pump();
}

int NamingModel::ReadCount() const {
  const std::string text = inputs_->CountText();
  const std::optional<int> count = ParseDecimalInteger(text);
  if (!count) throw RunFailure(InputField::kCount, CountNotAnIntegerMessage(text));
  return *count;
}

bool NamingModel::GirlCharTest(std::string_view text) const {
  const std::size_t open = text.find('(');
  if (open != std::string_view::npos) text = text.substr(0, open);
  if (CharCount(text) < 2) return true;
  std::size_t pos = CharLengthAt(text, 0);  // the surname is never tested
  for (; pos < text.size(); pos += CharLengthAt(text, pos)) {
    if (CharLengthAt(text, pos) != 2) continue;
    if (girlChars_[GbkCode(static_cast<unsigned char>(text[pos]), static_cast<unsigned char>(text[pos + 1]))]) {
      return true;
    }
  }
  return false;
}

}  // namespace tavrin
