// The naming run without a window: the run's state (the session, the panes,
// the report) and its presentation (the progress label, the two buttons, the
// pacing of the message pump), over the sealed data stores. The
// window wires its controls to this model; the command line and the tests
// drive it directly. Code that needs only a pane, the session or the
// presentation takes that, not the model.
//
// Acceptance of candidates (AcceptCandidate) is part of the model; the
// generators and the Generate command (library "generators") build on it.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/trans_date.h"
#include "core/naming_io.h"
#include "core/naming_session.h"
#include "core/pane.h"
#include "core/random.h"
#include "core/refusal.h"
#include "core/report.h"
#include "core/services.h"
#include "core/startup.h"

namespace tavrin {

// A failure that ends a naming run with a message for the user (GBK): a
// count field that stops being a whole number, a surname without a tone.
class RunFailure : public std::runtime_error {
 public:
  RunFailure(InputField field, const std::string& text) : std::runtime_error(text), field(field) {}
  Refusal AsRefusal() const { return {field, what()}; }
  InputField field;
};

// Runs a command's body: the outcome `completed`, or `failed` with the
// refusal of a RunFailure that ended it.
template <class Outcome, class Body>
CommandResult<Outcome> RunToOutcome(Outcome completed, Outcome failed, Body&& body) {
  try {
    body();
  } catch (const RunFailure& failure) {
    return {failed, failure.AsRefusal()};
  }
  return {completed, std::nullopt};
}

// The enabled state of "生成" and "停止".
struct ButtonStates {
  bool generateEnabled = true;
  bool stopEnabled = false;
  bool operator==(const ButtonStates&) const = default;
};

// Where the model reaches the outside world.
struct NamingEnvironment {
  NamingInputs* inputs = nullptr;                    // required
  MessagePump* pump = nullptr;                       // none: nothing to pump
  MonotonicClock* clock = nullptr;                   // the steady clock when null
  std::optional<std::chrono::year_month_day> today;  // of the date translator; the local date when unset
};

// The state of the naming runs: the session (with the stop flag and the
// pending line), the panes and the report. A value: the naming model keeps
// one privately, and the 精选 list reads one.
struct NamingRunState {
  NamingSession session;

  // The panes, by component name.
  Pane summaryPane{"Memo1", true};                      // 姓名设置: the summary
  Pane twoCharPane{"Memo2"};                            // 二字名
  Pane threeCharPane{"Memo3"};                          // 三字名
  Pane fiveElementPane{"Memo5"};                        // 部首有五行
  Pane recommendedPane{"Memo6"};                        // 系统推荐名
  Pane recommendedTwoPane{"Memo8"};                     // 系统推荐名二
  Pane analysisPane{"Memo4"};                           // 姓名分析
  Pane poetryPane{"Memo7", false, kNarrowPaneColumns};  // 诗歌取名
  ReportList report;                                    // 姓名报表

  // The pane of a page: kSettings the summary, kAnalysis the analysis,
  // kPoetry the poem page's; throws std::invalid_argument for an origin with
  // no pane of its own (kNone, kClassical, kCurated).
  Pane& PaneOf(Origin page);
  const Pane& PaneOf(Origin page) const;

  // The panes of a naming run in page order, with their pages and captions (GBK).
  struct PageOfPane {
    Origin page;
    const Pane* pane;
    std::string caption;
  };
  std::vector<PageOfPane> ResultPages() const;
};

// What the window shows of a run beside its panes, and how a run keeps the
// window responsive: the progress label, the two buttons, whether a run is
// under way, and the pacing of the message pump.
class RunPresentation {
 public:
  // Extra pumps: while a run makes draws that hand over no candidate, the
  // window is pumped once this much time has passed since the last pump.
  static constexpr std::chrono::milliseconds kPumpInterval{15};
  // The clock is read at every this many ticks.
  static constexpr unsigned kTicksPerClockCheck = 256;

  // No pump: nothing to pump; no clock: the steady clock.
  RunPresentation(MessagePump* pump, MonotonicClock* clock);

  // The progress label.
  const std::string& Progress() const { return progress_; }
  void SetProgress(std::string text);
  void SetProgress(long long counter) { SetProgress(std::to_string(counter)); }
  void SetProgressListener(std::function<void(const std::string&)> listener) {
    progressListener_ = std::move(listener);
  }

  const ButtonStates& Buttons() const { return buttons_; }
  void SetButtons(ButtonStates states);
  void SetButtonsListener(std::function<void(const ButtonStates&)> listener) { buttonsListener_ = std::move(listener); }

  // True from the start of a Generate run until it has returned, even after
  // Stop has enabled "生成" again.
  bool Running() const { return running_; }
  void SetRunning(bool running) { running_ = running; }

  // Processes the window's pending messages.
  void Pump();
  // Called at every draw: pumps when kPumpInterval has passed since the last
  // pump, so Stop is heard in long stretches that hand over no candidate.
  void Tick();

 private:
  MessagePump* pump_;
  MonotonicClock* clock_;
  std::string progress_;
  std::function<void(const std::string&)> progressListener_;
  ButtonStates buttons_;
  std::function<void(const ButtonStates&)> buttonsListener_;
  bool running_ = false;
  unsigned ticks_ = 0;
  std::chrono::steady_clock::time_point lastPump_;
};

// The candidate of a full name made of `surname` and `given`, scored
// against `scoringElements`, proposed from `origin`.
Candidate MakeCandidate(const NamingServices& services, std::string_view surname, std::string_view given, Origin origin,
                        std::string_view scoringElements);

// What the window tells the user once a run has ended, beside the progress
// label: empty, or which panes stayed short at their draw cap and what may
// give more names.
std::string DrawCapSummary(const NamingSession& session);

// A naming run's state and its presentation over the sealed data stores, with
// the inputs, the random source and the date translator. The state is read
// through const views; it changes only through the operations below.
class NamingModel {
 public:
  NamingModel(SharedStores stores, std::uint64_t seed, NamingEnvironment environment);
  NamingModel(const NamingModel&) = delete;
  NamingModel& operator=(const NamingModel&) = delete;

  const DataStores& Stores() const { return *stores_; }
  const NamingServices& Services() const { return *stores_->services; }
  NamingInputs& Inputs() const { return *inputs_; }
  RandomSource& Random() { return random_; }
  TTransDate& TransDate() { return *transDate_; }

  // The runs' state, read.
  const NamingRunState& RunState() const { return state_; }
  const NamingSession& Session() const { return state_.session; }
  const ReportList& Report() const { return state_.report; }
  const Pane& PaneOf(Origin page) const { return state_.PaneOf(page); }
  // A pane to write to (its generator) or to listen to (its view).
  Pane& PaneOf(Origin page) { return state_.PaneOf(page); }
  // The report, to listen to.
  ReportList& Report() { return state_.report; }

  RunPresentation& Presentation() { return presentation_; }
  const RunPresentation& Presentation() const { return presentation_; }
  // No pane, report or presentation tells anyone of a change from now on
  // (the views that listened are going).
  void DetachListeners();
  // True from the start of a Generate run until it has returned.
  bool Running() const { return presentation_.Running(); }

  // The surname asked for, kept even when the run is refused.
  void SetSurname(std::string surname) { state_.session.surname = std::move(surname); }
  // Starts a Generate run for a checked birth: records it, marks the run
  // under way, disables "生成" and enables "停止", clears the stop and starts
  // the run's sound rule and draw-cap notes.
  void StartRun(bool female, int year, int month, int day, BirthHour hour);
  // Ends a run in every case: "生成" enabled, "停止" disabled, the progress
  // label empty.
  void EndRun();
  // Clears the panes a Generate run fills afresh (not the analysis, not the
  // poem page's) and the missing elements of the last chart.
  void ClearRunPanes();
  // The chart names are scored against from now on; a Generate run sets the
  // name list of the inputs' sex with it.
  void SetChart(BirthChart chart) { state_.session.chart = std::move(chart); }
  void SetChartNotes(BirthChartNotes notes) { state_.session.chartNotes = std::move(notes); }
  void SetNameList(LineList names) { state_.session.activeNameList = std::move(names); }
  // Only the chart's elements, for a front end that is given them (the
  // command line's elements option) instead of a birth.
  void SetBirthElements(std::string elements) { state_.session.chart.birthElements = std::move(elements); }
  // The characters of the poem page's run. Outside a Generate run, clears
  // the stop and starts the sound rule and draw-cap notes; inside one they
  // are that run's too.
  void StartPoemRun(LineList chars);

  // The Stop button: asks the running generator to end, disables "停止" and
  // enables "生成" at once.
  void StopCommand();
  bool StopRequested() const { return state_.session.stopRequested; }

  // The requested count, read afresh; throws RunFailure when the field does
  // not hold a whole number.
  int ReadCount() const;

  // The sound check of the run under way: true when a and b may stand together.
  bool SoundsApart(std::string_view a, std::string_view b) const {
    return Services().pinyin.SoundCheck(state_.session.soundRule, a, b);
  }
  // The same for the surname and a character, the surname heard in its own
  // reading (NamingServices::SurnamePinyin).
  bool SurnameSoundsApart(std::string_view surname, std::string_view ch) const;
  // Records that the generator of `caption` ended at its draw cap with `rows`
  // rows in its pane.
  void NoteDrawCap(std::string_view caption, std::size_t rows);

  // The candidate of a full name made of `surname` and `given`, scored
  // against `scoringElements` (a birth chart's elements), proposed from `origin`.
  Candidate MakeCandidate(std::string_view surname, std::string_view given, Origin origin,
                          std::string_view scoringElements) const {
    return tavrin::MakeCandidate(Services(), surname, given, origin, scoringElements);
  }
  // Acceptance of one candidate: pumps, numbers it in the order of
  // acceptance, collects names scoring above 70 into the pending line,
  // writes the pending line to the summary pane once it is longer than 80
  // bytes (with one report row for the candidate that completed it), and
  // tells whether the generator shows it: not when its text already stands
  // in the summary pane.
  bool AcceptCandidate(Candidate& candidate);
  // The same, with the candidate's text made already (CandidateText).
  bool AcceptCandidate(Candidate& candidate, std::string_view text);
  // The report row of a candidate, its name scored again with its lines.
  ReportRow MakeReportRow(const Candidate& candidate) const;
  // The 通行评分 of a candidate against the session's birth chart; none when
  // the name has no common grids.
  std::optional<int> ConventionsScore(const Candidate& candidate) const;

  // True when the full name's given-name characters (those after the
  // first, before any "(") include a girl-name character, or when it has
  // fewer than two characters.
  bool GirlCharTest(std::string_view text) const;

 private:
  friend class NamingModelAccess;  // the tests' way to set a state no run reaches

  void StartRunNotes();

  SharedStores stores_;
  NamingInputs* inputs_;
  NamingRunState state_;
  RunPresentation presentation_;
  RandomSource random_;
  std::unique_ptr<TTransDate> transDate_;
  // One bit per 16-bit character code of the girl-name characters.
  std::vector<bool> girlChars_;
  // The sounds of the surname last checked: a generator checks the same
  // surname against every character it draws.
  mutable PinyinService::Sounds surnameSounds_;
  mutable bool surnameSoundsRead_ = false;
};

}  // namespace tavrin
