// A naming model over the shipped data or over stores a test fills itself,
// with fakes of the window: inputs as plain fields, a pump that runs a
// test's callback, message boxes that record what they show, and a clock
// that only moves when the test says so.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/naming_model.h"
#include "generators/generate_command.h"

namespace tavrin::test {

class FakePump final : public MessagePump {
 public:
  void Pump() override {
    ++calls;
    if (onPump) onPump();
  }
  long long calls = 0;
  std::function<void()> onPump;
};

class RecordedMessages final : public MessageBoxes {
 public:
  void Show(std::string_view text) override { texts.emplace_back(text); }
  std::vector<std::string> texts;
};

class ManualClock final : public MonotonicClock {
 public:
  std::chrono::steady_clock::time_point Now() override {
    now += step;
    return now;
  }
  std::chrono::steady_clock::time_point now{};
  std::chrono::steady_clock::duration step{};  // added at every reading
};

inline const SharedStores& ShippedStores() {
  static const SharedStores stores = StartUp(ExecutableDir());
  return stores;
}

struct NamingFixture {
  explicit NamingFixture(SharedStores stores = ShippedStores(), std::uint64_t seed = 1) {
    NamingEnvironment environment;
    environment.inputs = &inputs;
    environment.pump = &pump;
    environment.clock = &clock;
    environment.today =
        std::chrono::year_month_day(std::chrono::year(2026), std::chrono::month(12), std::chrono::day(9));
    model = std::make_unique<NamingModel>(std::move(stores), seed, environment);
  }

  // Runs the command and shows its message, as the window does.
  GenerateOutcome Generate() {
    const CommandResult<GenerateOutcome> result = GenerateCommand(*model);
    if (result.message) messages.Show(result.message->text);
    return result.outcome;
  }
  // The panes' lines and the report, for comparing whole states.
  std::vector<LineList> Snapshot() const {
    std::vector<LineList> state;
    for (const auto& page : model->RunState().ResultPages()) state.push_back(page.pane->Lines());
    LineList rows;
    for (const ReportRow& row : model->Report().Rows()) {
      rows.push_back(row.Cell(ReportRow::kName) + "|" + row.Cell(ReportRow::kScore) + "|" +
                     row.Cell(ReportRow::kGrids));
    }
    state.push_back(rows);
    state.push_back({model->Session().pendingLine.Text()});
    return state;
  }

  SettingsInputs inputs;
  FakePump pump;
  RecordedMessages messages;
  ManualClock clock;
  std::unique_ptr<NamingModel> model;
};

}  // namespace tavrin::test
