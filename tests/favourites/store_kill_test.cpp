// The store killed at random moments: a child process keeps adding,
// changing, removing and importing favourites and reports each change once
// its call has returned; the test kills it with SIGKILL after a random while,
// 200 times over one store. After each kill the store opens without a word,
// passes the full integrity check, and holds exactly the favourites of the
// reported changes, or of one more (the kill fell between a commit and its
// report).
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>
#include <vector>

#include "favourites/favourites_testutil.h"
#include "testutil.h"

namespace tavrin::test {
namespace {

const char* const kNames[] = {"张伟", "李静", "王芳", "刘洋", "陈杰", "杨帆", "赵敏", "黄磊", "欧阳修文", "司马光明"};
constexpr int kNameCount = std::size(kNames);

struct Change {
  int kind;  // save, note, rating, remove, merge of three
  int name;
  Sex sex;
  int value;           // the rating, or the number in the note
  std::int64_t stamp;  // a merge's time of change, ahead of the clock: taken as now
};

// The child's clock: every reading a second later, each round's ahead of the
// round before, so that a merge (its time of change taken as now) is later
// than every change before it.
std::int64_t Clock(std::int64_t round, std::int64_t reading) { return 4102444800 + round * 100000 + reading; }

std::vector<Change> Changes(std::int64_t round) {
  std::mt19937 random(static_cast<unsigned>(round));
  std::vector<Change> changes;
  for (int i = 0; i < 5000; ++i) {
    changes.push_back({static_cast<int>(random() % 5), static_cast<int>(random() % kNameCount),
                       random() % 2 ? Sex::kFemale : Sex::kMale, static_cast<int>(random() % 6), Clock(round + 1, 0)});
  }
  return changes;
}

std::vector<Favourite> MergeBatch(const Change& c) {
  std::vector<Favourite> batch;
  for (int i = 0; i < 3; ++i) {
    batch.push_back(Named(kNames[(c.name + i) % kNameCount], c.sex, c.value, "merged"));
    batch.back().changed = c.stamp;
  }
  return batch;
}

using Model = std::map<std::pair<std::string, Sex>, std::pair<std::string, int>>;  // note and rating

void Apply(const Change& c, Model& model) {
  const auto key = std::pair<std::string, Sex>(kNames[c.name], c.sex);
  const auto kept = model.find(key);
  if (c.kind == 0) model[key] = {"saved", c.value};
  if (c.kind == 1 && kept != model.end()) kept->second.first = "note " + std::to_string(c.value);
  if (c.kind == 2 && kept != model.end()) kept->second.second = c.value;
  if (c.kind == 3) model.erase(key);
  if (c.kind == 4) {
    for (const Favourite& f : MergeBatch(c)) model[{f.name.Bytes(), f.sex}] = {f.note.Bytes(), f.rating};
  }
}

void Apply(const Change& c, FavouritesStore& store) {
  if (c.kind == 0) store.Save(Named(kNames[c.name], c.sex, c.value, "saved"));
  const GbkText name(kNames[c.name]);
  if (c.kind == 1) store.SetNote(name, c.sex, GbkText("note " + std::to_string(c.value)));
  if (c.kind == 2) store.SetRating(name, c.sex, c.value);
  if (c.kind == 3) store.Remove(name, c.sex);
  if (c.kind == 4) store.Merge(MergeBatch(c));
}

TEST(StoreKill, TwoHundredKillsLoseNothingCommitted) {
  // On a memory file system where there is one: a killed process loses
  // nothing it has handed to the system, so the disk's flush only adds time;
  // in memory the kills land inside SQLite's own writes instead.
  const bool memory = std::filesystem::is_directory("/dev/shm") && access("/dev/shm", W_OK) == 0;
  TempDir dir(memory ? std::filesystem::path("/dev/shm") : std::filesystem::temp_directory_path());
  const std::string path = dir.Dir() + "favourites.db";
  std::mt19937 timing(20261209);
  Model model;
  std::uint32_t reportedInAll = 0;
  for (int round = 0; round < 200; ++round) {
    const std::vector<Change> changes = Changes(round);
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    const pid_t child = fork();
    if (child == 0) {
      try {
        StoreOptions options;
        options.clock = [round, reading = std::int64_t{0}]() mutable { return Clock(round, ++reading); };
        FavouritesStore store(path, options);
        for (std::uint32_t i = 0; i < changes.size(); ++i) {
          Apply(changes[i], store);
          if (write(ends[1], &i, sizeof i) != sizeof i) _exit(3);
        }
      } catch (...) {
        _exit(2);
      }
      _exit(0);
    }
    close(ends[1]);
    // The kill lands at a random moment after the child's first change: a
    // slow start (a sanitizer build, a loaded machine) must not use up the
    // whole window before any change is made.
    std::uint32_t reported = 0, index = 0;
    if (read(ends[0], &index, sizeof index) == sizeof index) reported = index + 1;
    std::this_thread::sleep_for(std::chrono::microseconds(timing() % 10000));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "round " << round << ": the child ended by itself, status " << status;
    while (read(ends[0], &index, sizeof index) == sizeof index) reported = index + 1;
    close(ends[0]);
    reportedInAll += reported;

    Model committed = model;
    for (std::uint32_t i = 0; i < reported; ++i) Apply(changes[i], committed);
    Model oneMore = committed;
    Apply(changes[reported], oneMore);
    FavouritesStore store(path);
    ASSERT_EQ(store.Notice(), "") << "round " << round;
    Model found;
    for (const Favourite& f : store.List()) found[{f.name.Bytes(), f.sex}] = {f.note.Bytes(), f.rating};
    ASSERT_TRUE(found == committed || found == oneMore) << "round " << round << ", " << reported << " reported";
    ASSERT_EQ(IntegrityOf(path), "ok") << "round " << round;
    model = found;
  }
  RecordProperty("changes reported", static_cast<int>(reportedInAll));
  EXPECT_GT(reportedInAll, 200u);  // kills before the first change prove nothing
}

// Distinct full names: 王 and two of the 3,666 characters of GB2312's first
// 39 rows (the 40th has codes without a character).
std::string NameNumber(int n) {
  std::string name = "王";
  for (int i = 0; i < 2; ++i, n /= 3666) {
    name += static_cast<char>(0xB0 + n % 3666 / 94);
    name += static_cast<char>(0xA1 + n % 94);
  }
  return name;
}

// Forks a child that runs `work` until it is killed; an exception ends it
// with status 2 and its message on the pipe `report`.
template <typename Work>
pid_t Child(int report, Work work) {
  const pid_t child = fork();
  if (child != 0) return child;
  try {
    work();
  } catch (const std::exception& error) {
    const std::string text = error.what();
    if (write(report, text.data(), text.size()) < 0) _exit(3);
    _exit(2);
  }
  _exit(0);
}

// Kills that land in checkpoints and while a second program opens the
// store: a writer imports batches of 50 new favourites and checkpoints the
// WAL after each (as a large import does on its own), while another program
// opens the store and lists it again and again; both are killed at a random
// moment. No kill may lose or hide a favourite the writer was told is kept,
// the opener never finds the store damaged, and no file is ever renamed.
TEST(StoreKill, TwoHundredKillsInCheckpointsAndOpeningsLoseNothing) {
  const bool memory = std::filesystem::is_directory("/dev/shm") && access("/dev/shm", W_OK) == 0;
  TempDir dir(memory ? std::filesystem::path("/dev/shm") : std::filesystem::temp_directory_path());
  const std::string path = dir.Dir() + "favourites.db";
  std::mt19937 timing(20261210);
  int kept = 0;  // favourites 0 to kept - 1 are in the store
  std::uint32_t batchesInAll = 0;
  for (int round = 0; round < 200; ++round) {
    int batches[2], failures[2];
    ASSERT_EQ(pipe(batches), 0);
    ASSERT_EQ(pipe(failures), 0);
    const int first = kept;
    const pid_t writer = Child(failures[1], [&] {
      FavouritesStore store(path);
      sqlite3* checkpointer = nullptr;
      sqlite3_open(path.c_str(), &checkpointer);
      sqlite3_busy_timeout(checkpointer, 5000);
      for (std::uint32_t batch = 0; batch < 10; ++batch) {
        std::vector<Favourite> fifty;
        for (int i = 0; i < 50; ++i) fifty.push_back(Named(NameNumber(first + static_cast<int>(batch) * 50 + i)));
        store.Merge(fifty);
        if (write(batches[1], &batch, sizeof batch) != sizeof batch) _exit(3);
        sqlite3_exec(checkpointer, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
      }
      for (;;) pause();
    });
    const pid_t opener = Child(failures[1], [&] {
      for (;;) {
        FavouritesStore store(path);
        if (!store.Notice().empty()) throw FavouritesError(store.Notice());
        if (static_cast<int>(store.List().size()) < first) throw FavouritesError("a favourite is hidden");
      }
    });
    close(batches[1]);
    close(failures[1]);
    std::uint32_t reported = 0, batch = 0;
    if (read(batches[0], &batch, sizeof batch) == sizeof batch) reported = batch + 1;
    std::this_thread::sleep_for(std::chrono::microseconds(timing() % 20000));
    kill(writer, SIGKILL);
    std::this_thread::sleep_for(std::chrono::microseconds(timing() % 2000));
    kill(opener, SIGKILL);
    int status = 0;
    waitpid(writer, &status, 0);
    waitpid(opener, &status, 0);
    while (read(batches[0], &batch, sizeof batch) == sizeof batch) reported = batch + 1;
    std::string failure(4096, '\0');
    failure.resize(static_cast<std::size_t>(std::max<ssize_t>(0, read(failures[0], failure.data(), failure.size()))));
    close(batches[0]);
    close(failures[0]);
    ASSERT_EQ(failure, "") << "round " << round;
    batchesInAll += reported;

    FavouritesStore store(path);
    ASSERT_EQ(store.Notice(), "") << "round " << round;
    const int found = static_cast<int>(store.List().size());
    const int committed = first + static_cast<int>(reported) * 50;
    ASSERT_TRUE(found == committed || found == committed + 50)
        << "round " << round << ": " << found << " found, " << committed << " committed, first " << first;
    ASSERT_EQ(IntegrityOf(path), "ok") << "round " << round;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Dir())) {
      const std::string name = entry.path().filename().string();
      // A kill while the first program builds the store may leave its
      // unlinked copy (favourites.db.new-…): never the live store, no
      // favourite in it. Anything else here is a live file moved aside.
      if (name.starts_with("favourites.db.new-")) continue;
      ASSERT_TRUE(name == "favourites.db" || name == "favourites.db-wal" || name == "favourites.db-shm")
          << "round " << round << ": " << name;
    }
    kept = found;
  }
  RecordProperty("batches reported", static_cast<int>(batchesInAll));
  EXPECT_GT(batchesInAll, 200u);
}

}  // namespace
}  // namespace tavrin::test
