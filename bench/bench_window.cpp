// The window: start-up to the window shown, and the default Generate run in
// the real window (offscreen), with the longest gap between two passes of the
// event loop and the resident memory after the run.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

#include <QHeaderView>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QUrl>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <vector>

#include "favourites/store.h"
#include "share/server.h"
#include "ui/FavouritesModel.h"
#include "ui/FavouritesPage.h"
#include "ui/SharePanel.h"

#include "core/startup.h"
#include "generators/generate_command.h"
#include "sources/name_notes.h"
#include "ui/BestModel.h"
#include "ui/BestPage.h"
#include "ui/MainWindow.h"
#include "ui/ReportModel.h"
#include "ui/ReportPage.h"
#include "ui/qtext.h"

namespace {

double ResidentMegabytes() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmRSS:") {
      double kilobytes = 0;
      status >> kilobytes;
      return kilobytes / 1024.0;
    }
  }
  return 0;
}

void BM_StartUpToWindowShown(benchmark::State& state) {
  for (auto _ : state) {
    tavrin::ui::MainWindow window(tavrin::StartUp(tavrin::FindDataDir()), 1);
    window.show();
    QApplication::processEvents();
    state.PauseTiming();
    window.close();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartUpToWindowShown)->Unit(benchmark::kMillisecond);

void BM_DefaultRunInTheWindow(benchmark::State& state) {
  const tavrin::SharedStores stores = tavrin::StartUp(tavrin::FindDataDir());
  qint64 longestGap = 0;
  for (auto _ : state) {
    tavrin::ui::MainWindow window(stores, 20121209);
    window.show();
    QElapsedTimer sinceLast;
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
      longestGap = std::max(longestGap, sinceLast.nsecsElapsed());
      sinceLast.restart();
    });
    auto* generate = window.findChild<QPushButton*>("bsSkinButton1");
    ticker.start();
    sinceLast.start();
    generate->click();
    longestGap = std::max(longestGap, sinceLast.nsecsElapsed());
    ticker.stop();
  }
  state.counters["longest_gap_ms"] = static_cast<double>(longestGap) / 1e6;
  state.counters["rss_MB"] = ResidentMegabytes();
}
BENCHMARK(BM_DefaultRunInTheWindow)->Unit(benchmark::kMillisecond)->Iterations(3);

// The 精选 page of a shown window, shown (so that its table is painted), after
// the default run but before the page has taken in the run's names.
tavrin::ui::BestPage* BestPageAfterADefaultRun(tavrin::ui::MainWindow& window) {
  window.show();
  auto* page = window.findChild<tavrin::ui::BestPage*>("bestPage");
  window.Pages()->setCurrentIndex(9);
  tavrin::GenerateCommand(window.Model());
  return page;
}

// The 精选 page after the default run in the window: the run's names taken in
// with their advice and shown, sorted and filtered.
void BM_BestPageAfterADefaultRun(benchmark::State& state) {
  const tavrin::SharedStores stores = tavrin::StartUp(tavrin::FindDataDir());
  int names = 0;
  for (auto _ : state) {
    state.PauseTiming();
    tavrin::ui::MainWindow window(stores, 20121209);
    tavrin::ui::BestPage* page = BestPageAfterADefaultRun(window);  // the page's collection is timed below
    state.ResumeTiming();
    page->Collect();
    QApplication::processEvents();
    state.PauseTiming();
    names = page->Model().rowCount();
    state.ResumeTiming();
  }
  state.counters["names"] = names;
}
BENCHMARK(BM_BestPageAfterADefaultRun)->Unit(benchmark::kMillisecond)->Iterations(5);

// After the default run, the 精选 page looks up every name's classical source
// (for the 推荐度's bonus and 出处) between the window's events: the time
// until all are in, from a cold library, and the longest pass of the event
// loop meanwhile (what a click may wait for).
void BM_BestPageSourcesAfterADefaultRun(benchmark::State& state) {
  const tavrin::SharedStores stores = tavrin::StartUp(tavrin::FindDataDir());
  double longestMs = 0;
  int names = 0;
  for (auto _ : state) {
    state.PauseTiming();
    tavrin::ui::MainWindow window(stores, 20121209);
    tavrin::ui::BestPage* page = BestPageAfterADefaultRun(window);
    page->Collect();
    const tavrin::BestNames& all = page->Model().Names();
    state.ResumeTiming();
    while (all.SourcesDone() < all.Size()) {
      QElapsedTimer pass;
      pass.start();
      QApplication::processEvents();
      longestMs = std::max(longestMs, pass.nsecsElapsed() / 1e6);
    }
    names = static_cast<int>(all.Size());
  }
  state.counters["names"] = names;
  state.counters["longest_pass_ms"] = longestMs;
}
BENCHMARK(BM_BestPageSourcesAfterADefaultRun)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

// A report of 5,000 rows sorted by name in the Chinese collation, and
// filtered by two typed characters: what a header click and a keystroke cost.
void BM_SortAndFilterALargeReport(benchmark::State& state) {
  const tavrin::SharedStores stores = tavrin::StartUp(tavrin::FindDataDir());
  const QString given = "伟明浩宇子涵欣怡梓轩一诺亦辰思远嘉懿";
  tavrin::ReportList report;
  tavrin::ui::ReportPage page(report, *stores->services);
  for (int i = 0; i < 5000; ++i) {
    const QString name =
        QString(QString("张王李赵刘陈杨黄")[i % 8]) + given[i % given.size()] + given[(i / 7) % given.size()];
    tavrin::ReportRow row;
    row.candidate.fullName = tavrin::ui::ToGbk(name);
    row.candidate.surnameBytes = 2;
    row.candidate.score = i % 101;
    row.scored.score = row.candidate.score;
    report.Append(std::move(row));
  }
  auto* chars = page.findChild<QLineEdit*>("reportCharacters");
  int order = 0;
  for (auto _ : state) {
    page.Table()->sortByColumn(0, order++ % 2 ? Qt::DescendingOrder : Qt::AscendingOrder);
    chars->setText("浩");
    chars->setText("浩涵");
    chars->clear();
  }
}
BENCHMARK(BM_SortAndFilterALargeReport)->Unit(benchmark::kMillisecond);

// A store of `favourites` at `path`, set on the window's 收藏, shown.
void KeepIn(tavrin::ui::MainWindow& window, const std::string& path, const std::vector<tavrin::Favourite>& favourites) {
  auto store = std::make_unique<tavrin::FavouritesStore>(path);
  store->Merge(favourites);
  window.Favourites()->SetStore(std::move(store));
  window.show();
}

// The page 收藏 opened on a store of 1,000 favourites: the store read, the
// table filled and shown, as a click on the tab does it.
void BM_OpenFavouritesPageOf1000(benchmark::State& state) {
  QTemporaryDir dir;
  const QString given = "伟明浩宇子涵欣怡梓轩一诺亦辰思远嘉懿文博";
  std::vector<tavrin::Favourite> favourites;
  for (int i = 0; i < 1000; ++i) {
    tavrin::Favourite f;
    f.name =
        tavrin::GbkText(tavrin::ui::ToGbk(QString(QString("张王李")[i / 400]) + given[i % 20] + given[(i / 20) % 20]));
    f.score = i % 101;
    f.rating = i % 6;
    f.note = tavrin::ui::KeptNoteOf("家里人都喜欢");
    f.origin = tavrin::GbkText(tavrin::ui::ToGbk("二字名"));
    f.added = f.changed = 1765000000 + i;
    favourites.push_back(std::move(f));
  }
  tavrin::ui::MainWindow window(tavrin::StartUp(tavrin::FindDataDir()), 1);
  KeepIn(window, dir.filePath("f.db").toStdString(), favourites);
  QApplication::processEvents();
  for (auto _ : state) {
    window.Pages()->setCurrentWidget(window.Favourites());
    QApplication::processEvents();
    state.PauseTiming();
    if (window.Favourites()->Model().rowCount() != 1000) state.SkipWithError("not every favourite shown");
    window.Pages()->setCurrentIndex(0);
    QApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenFavouritesPageOf1000)->Unit(benchmark::kMillisecond);
// The report of a default run with its 出处 column: the line of each name is
// looked up when its cell is first shown. Arg 30: the first screen of rows
// with a cold cache; arg 0: every row (an export), cold.
void BM_ReportSourceColumn(benchmark::State& state) {
  const tavrin::SharedStores stores = tavrin::StartUp(tavrin::FindDataDir());
  tavrin::ui::MainWindow window(stores, 20121209);
  window.findChild<QPushButton*>("bsSkinButton1")->click();
  auto* page = window.findChild<tavrin::ui::ReportPage*>();
  const QAbstractItemModel* model = page->Table()->model();
  const int rows =
      state.range(0) ? std::min<int>(static_cast<int>(state.range(0)), model->rowCount()) : model->rowCount();
  int found = 0;
  for (auto _ : state) {
    tavrin::sources::NameNotes notes(stores->dataDir, stores->advice);
    page->SetNotes(&notes);
    found = 0;
    for (int row = 0; row < rows; ++row) {
      found += !model->index(row, tavrin::ui::ReportModel::kSource).data().toString().isEmpty();
    }
    page->SetNotes(nullptr);
  }
  state.counters["rows"] = rows;
  state.counters["with_source"] = found;
  state.counters["rss_MB"] = ResidentMegabytes();
}
BENCHMARK(BM_ReportSourceColumn)->Arg(30)->Arg(0)->Unit(benchmark::kMillisecond);

// The poem page's search, one keystroke at a time: the whole library
// searched and shown in the grid, the first text in the poem pane.
void BM_PoemPageSearch(benchmark::State& state) {
  static const char* const kTyped[] = {"离", "离骚", "月", "明月", "李白", "青青子衿"};
  const QString typed = kTyped[state.range(0)];
  tavrin::ui::MainWindow window(tavrin::StartUp(tavrin::FindDataDir()), 1);
  window.Pages()->setCurrentIndex(8);
  auto* field = window.findChild<QLineEdit*>("poemSearch");
  auto* grid = window.findChild<QTableView*>("DBGrid1");
  for (auto _ : state) {
    field->setText(typed);
    state.PauseTiming();
    field->clear();
    state.ResumeTiming();
  }
  field->setText(typed);
  state.counters["texts"] = grid->model()->rowCount();
}
BENCHMARK(BM_PoemPageSearch)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

// 收藏 shared from the window while as many family members as one share
// takes (`membersPerShare`) vote at once, 20 votes each, every member from an
// address of its own on the loopback net (127.0.0.2 …), as phones on the
// home network are, so that the server's per-client limits see as many
// clients. The event loop's longest gap is measured by a 5 ms timer, first
// idle for a second, then while the votes arrive and the page reads them;
// every acknowledged vote must be stored. The time is that of the voting.
int PostVote(int member, int port, const std::string& path, const std::string& body) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in from{};
  from.sin_family = AF_INET;
  from.sin_addr.s_addr = htonl(INADDR_LOOPBACK + 1 + static_cast<in_addr_t>(member));
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(static_cast<std::uint16_t>(port));
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int status = 0;
  if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from) == 0 &&
      connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0) {
    const std::string request = "POST " + path +
                                "api/votes HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                                "Content-Type: application/json\r\nConnection: close\r\nContent-Length: " +
                                std::to_string(body.size()) + "\r\n\r\n" + body;
    std::string reply;
    if (send(fd, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size())) {
      char buffer[4096];
      for (ssize_t got; (got = recv(fd, buffer, sizeof buffer, 0)) > 0;) reply.append(buffer, got);
    }
    if (reply.starts_with("HTTP/1.1 ")) status = std::atoi(reply.c_str() + 9);
  }
  if (fd >= 0) close(fd);
  return status;
}

void BM_FrameTimeWhileFamilyVotes(benchmark::State& state) {
  const int memberCount = static_cast<int>(tavrin::share::ServerOptions{}.membersPerShare);
  constexpr int kVotesEach = 20;
  QTemporaryDir dir;
  const QString given = "伟明浩宇子涵欣怡梓轩一诺亦辰思远嘉懿文博";
  std::vector<tavrin::Favourite> favourites;
  for (int i = 0; i < kVotesEach; ++i) {
    tavrin::Favourite f;
    f.name = tavrin::GbkText(tavrin::ui::ToGbk(QString("王") + given[i] + given[(i + 7) % 20]));
    f.score = 80;
    f.added = f.changed = 1765000000 + i;
    favourites.push_back(std::move(f));
  }
  tavrin::ui::MainWindow window(tavrin::StartUp(tavrin::FindDataDir()), 1);
  KeepIn(window, dir.filePath("f.db").toStdString(), favourites);
  window.Pages()->setCurrentWidget(window.Favourites());
  tavrin::ui::SharePanel& share = window.Favourites()->Share();
  if (!share.Start("127.0.0.1")) return state.SkipWithError("the share did not start");
  const std::string path = QUrl(share.Url()).path().toStdString();

  QElapsedTimer clock;
  qint64 last = 0, longest = 0;
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, [&] {
    longest = std::max(longest, clock.elapsed() - last);
    last = clock.elapsed();
  });
  auto runFor = [&](const std::function<bool()>& more) {
    longest = 0;
    clock.start();
    last = 0;
    tick.start(5);
    while (more()) QApplication::processEvents(QEventLoop::AllEvents, 5);
    tick.stop();
    return longest;
  };
  QElapsedTimer idle;
  idle.start();
  const qint64 idleGap = runFor([&] { return idle.elapsed() < 1000; });

  std::atomic<int> acknowledged = 0, done = 0;
  for (auto _ : state) {
    const auto started = std::chrono::steady_clock::now();
    std::vector<std::thread> members;
    for (int m = 0; m < memberCount; ++m) {
      members.emplace_back([&, m] {
        for (int v = 0; v < kVotesEach; ++v) {
          const tavrin::Favourite& f = favourites[(m + v) % kVotesEach];
          const nlohmann::json vote = {{"member", "家人" + std::to_string(m)},
                                       {"name", tavrin::ui::FromGbk(f.name).toStdString()},
                                       {"sex", "male"},
                                       {"rating", 1 + (m + v) % 5},
                                       {"comment", "好听"}};
          if (PostVote(m + 1, share.Port(), path, vote.dump()) == 200) ++acknowledged;
        }
        ++done;
      });
    }
    const qint64 votingGap = runFor([&] { return done < memberCount; });
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    for (std::thread& t : members) t.join();
    state.counters["idle_longest_gap_ms"] = static_cast<double>(idleGap);
    state.counters["voting_longest_gap_ms"] = static_cast<double>(votingGap);
  }
  share.ReadVotes();
  std::size_t stored = 0;
  for (const tavrin::share::Tally& tally : share.Tallies().names) stored += tally.votes.size();
  state.counters["acknowledged"] = acknowledged.load();
  state.counters["stored"] = static_cast<double>(stored);
  if (acknowledged != memberCount * kVotesEach || stored != static_cast<std::size_t>(acknowledged)) {
    state.SkipWithError("votes were refused or lost");
  }
  share.Stop();
}
BENCHMARK(BM_FrameTimeWhileFamilyVotes)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
