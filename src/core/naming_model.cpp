#include "core/naming_model.h"

#include <stdexcept>
#include <utility>

#include "chars/gbk.h"
#include "chars/strcon.h"
#include "core/birth_inputs.h"

namespace tavrin {

NamingSession::NamingSession() : surname("张") {}

Child NamingSession::RunChild() const {
  Child child;
  child.surname = surname;
  child.sex = SexOf(female);
  child.year = birthYear;
  child.month = birthMonth;
  child.day = birthDay;
  child.hour = birthHour;
  child.time = birthTime;
  child.wish = wish;
  child.chosen = chosenElements;
  child.wishes = wishes;
  return child;
}

RunPresentation::RunPresentation(MessagePump* pump, MonotonicClock* clock)
    : pump_(pump), clock_(clock ? clock : &SteadyClock()), lastPump_(clock_->Now()) {}

NamingModel::NamingModel(SharedStores stores, std::uint64_t seed, NamingEnvironment environment)
    : stores_(std::move(stores)),
      inputs_(environment.inputs),
      presentation_(environment.pump, environment.clock),
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

namespace {

// The panes by the origin of their page, the result pages first in page order.
constexpr std::pair<Origin, Pane NamingRunState::*> kPanes[] = {
    {Origin::kSettings, &NamingRunState::summaryPane},
    {Origin::kTwoChar, &NamingRunState::twoCharPane},
    {Origin::kThreeChar, &NamingRunState::threeCharPane},
    {Origin::kFiveElement, &NamingRunState::fiveElementPane},
    {Origin::kRecommended, &NamingRunState::recommendedPane},
    {Origin::kRecommendedTwo, &NamingRunState::recommendedTwoPane},
    {Origin::kAnalysis, &NamingRunState::analysisPane},
    {Origin::kPoetry, &NamingRunState::poetryPane},
};
constexpr std::size_t kResultPages = 7;  // all but the poem page's

}  // namespace

Pane& NamingRunState::PaneOf(Origin page) { return const_cast<Pane&>(std::as_const(*this).PaneOf(page)); }

const Pane& NamingRunState::PaneOf(Origin page) const {
  for (const auto& [origin, pane] : kPanes) {
    if (origin == page) return this->*pane;
  }
  throw std::invalid_argument("no pane shows the names of this origin");
}

void NamingModel::DetachListeners() {
  for (const auto& [origin, pane] : kPanes) (state_.*pane).SetListener(nullptr);
  state_.report.SetListener(nullptr);
  presentation_.SetProgressListener(nullptr);
  presentation_.SetButtonsListener(nullptr);
}

std::vector<NamingRunState::PageOfPane> NamingRunState::ResultPages() const {
  std::vector<PageOfPane> result;
  for (std::size_t i = 0; i < kResultPages; ++i) {
    const auto& [page, pane] = kPanes[i];
    result.push_back({page, &(this->*pane), std::string(OriginCaption(page))});
  }
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
  NamingSession& session = state_.session;
  session.stopRequested = false;
  session.soundRule = Inputs().WholeItemSound() ? SoundRule::kWholeItem : SoundRule::kSubstring;
  session.drawCapNotes.clear();
}

void NamingModel::StartRun(bool female, int year, int month, int day, BirthHour hour) {
  NamingSession& session = state_.session;
  session.female = female;
  session.birthYear = year;
  session.birthMonth = month;
  session.birthDay = day;
  session.birthHour = hour;
  session.wish = Inputs().Wish();
  session.chosenElements = Inputs().ChosenElements();
  session.wishes = RunWishes(Inputs());
  session.birthTime = Inputs().BirthTime();
  session.acceptedBeforeRun = session.accepted;
  presentation_.SetRunning(true);
  presentation_.SetButtons({.generateEnabled = false, .stopEnabled = true});
  StartRunNotes();
}

void NamingModel::EndRun() {
  presentation_.SetButtons({.generateEnabled = true, .stopEnabled = false});
  presentation_.SetProgress(std::string());
  presentation_.SetRunning(false);
}

void NamingModel::ClearRunPanes() {
  for (Origin page :
       {Origin::kTwoChar, Origin::kThreeChar, Origin::kFiveElement, Origin::kRecommended, Origin::kSettings}) {
    state_.PaneOf(page).Clear();
  }
  state_.session.chart.missingElements.clear();
}

void NamingModel::StartPoemRun(LineList chars) {
  state_.session.poemCharList = std::move(chars);
  // A stop left from an earlier, finished Generate run would end this run at
  // once; inside a running Generate the flag belongs to both runs, and the
  // sound rule and the draw-cap notes are that run's too.
  if (!Running()) StartRunNotes();
}

bool NamingModel::SurnameSoundsApart(std::string_view surname, std::string_view ch) const {
  if (!surnameSoundsRead_ || surnameSounds_.text != surname) {
    surnameSounds_ = Services().SurnameSounds(surname);
    surnameSoundsRead_ = true;
  }
  return Services().pinyin.SoundCheck(state_.session.soundRule, surnameSounds_, ch);
}

void NamingModel::NoteDrawCap(std::string_view caption, std::size_t rows) {
  state_.session.drawCapNotes.push_back(std::string(caption) + " " + std::to_string(rows) + " 行");
}

std::string DrawCapSummary(const NamingSession& session) {
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
  state_.session.stopRequested = true;
  presentation_.SetButtons({.generateEnabled = true, .stopEnabled = false});
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
