// The store killed at random moments: a child process keeps adding,
// changing, removing and importing favourites and reports each change once
// its call has returned; the test kills it with SIGKILL after a random
// while, 200 times over one store. After each kill the store opens without
// complaint, passes the full integrity check, and holds exactly the
// favourites of the reported changes (or of one change more: the one whose
// report the kill cut off).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <thread>
#include <tuple>
#include <vector>

#include "favourites/favourites_testutil.h"
#include "favourites/store.h"
#include "testutil.h"

namespace tavrin::test {
namespace {

const char* const kNames[] = {"张伟", "李静", "王芳", "刘洋", "陈杰", "杨帆", "赵敏", "黄磊", "欧阳修文", "司马光明"};
constexpr int kNameCount = std::size(kNames);

enum class Kind { kSave, kNote, kRating, kRemove, kMerge };

struct Change {
  Kind kind;
  int name;  // index into kNames; a merge takes this one and the next two
  Sex sex;
  int value;  // the rating, or the number in the note
  std::int64_t stamp;  // a merge's time of change: later than any before
};

// The changes of one round, the same in the child and in the test.
std::vector<Change> Changes(std::int64_t seed) {
  std::mt19937 random(seed);
  std::vector<Change> changes;
  for (int i = 0; i < 5000; ++i) {
    const auto kind = static_cast<Kind>(random() % 5);
    changes.push_back({kind, static_cast<int>(random() % kNameCount), random() % 2 ? Sex::kFemale : Sex::kMale,
                       static_cast<int>(random() % 6), 4102444800 + seed * 10000 + i});
  }
  return changes;
}

using Key = std::pair<std::string, Sex>;
using Model = std::map<Key, std::pair<std::string, int>>;  // note and rating

std::vector<Favourite> MergeBatch(const Change& change) {
  std::vector<Favourite> batch;
  for (int i = 0; i < 3; ++i) {
    Favourite f = Named(kNames[(change.name + i) % kNameCount], change.sex, change.value, "merged");
    f.changed = change.stamp;  // from 2100 on: later than anything kept, so it wins
    batch.push_back(f);
  }
  return batch;
}

void Apply(const Change& change, Model& model) {
  const Key key{kNames[change.name], change.sex};
  const auto kept = model.find(key);
  switch (change.kind) {
    case Kind::kSave: model[key] = {"saved", change.value}; break;
    case Kind::kNote: if (kept != model.end()) kept->second.first = "note " + std::to_string(change.value); break;
    case Kind::kRating: if (kept != model.end()) kept->second.second = change.value; break;
    case Kind::kRemove: model.erase(key); break;
    case Kind::kMerge:
      for (const Favourite& f : MergeBatch(change)) model[{f.name, f.sex}] = {f.note, f.rating};
      break;
  }
}

void Apply(const Change& change, FavouritesStore& store) {
  const std::string name = kNames[change.name];
  switch (change.kind) {
    case Kind::kSave: store.Save(Named(name, change.sex, change.value, "saved")); break;
    case Kind::kNote: store.SetNote(name, change.sex, "note " + std::to_string(change.value)); break;
    case Kind::kRating: store.SetRating(name, change.sex, change.value); break;
    case Kind::kRemove: store.Remove(name, change.sex); break;
    case Kind::kMerge: store.Merge(MergeBatch(change)); break;
  }
}

Model Read(const FavouritesStore& store) {
  Model model;
  for (const Favourite& f : store.List()) model[{f.name, f.sex}] = {f.note, f.rating};
  return model;
}

// The child: each change, then its number down the pipe, until killed.
[[noreturn]] void Work(const std::string& path, const std::vector<Change>& changes, int report) {
  try {
    FavouritesStore store(path);
    for (std::uint32_t i = 0; i < changes.size(); ++i) {
      Apply(changes[i], store);
      if (write(report, &i, sizeof i) != sizeof i) _exit(3);
    }
  } catch (...) {
    _exit(2);
  }
  _exit(0);
}

TEST(StoreKill, TwoHundredKillsLoseNothingCommitted) {
  // On a memory file system where there is one: a killed process loses
  // nothing the system has been handed, so the wait for the disk's flush
  // only adds time; without it the kills land inside SQLite's writes
  // rather than in that wait, and many more changes are made per second.
  const bool memory = std::filesystem::is_directory("/dev/shm") && access("/dev/shm", W_OK) == 0;
  TempDir dir(memory ? std::filesystem::path("/dev/shm") : std::filesystem::temp_directory_path());
  const std::string path = dir.Dir() + "favourites.db";
  std::mt19937 timing(20261209);
  Model model;
  int cutOff = 0;  // kills that fell between a commit and its report
  std::uint32_t reportedInAll = 0;
  for (unsigned round = 0; round < 200; ++round) {
    const std::vector<Change> changes = Changes(round);
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(pipeEnds[0]);
      Work(path, changes, pipeEnds[1]);
    }
    close(pipeEnds[1]);
    std::this_thread::sleep_for(std::chrono::microseconds(timing() % 10000));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "round " << round << ": the child ended by itself, status " << status;
    std::uint32_t reported = 0, index = 0;
    while (read(pipeEnds[0], &index, sizeof index) == sizeof index) reported = index + 1;
    close(pipeEnds[0]);
    reportedInAll += reported;

    Model committed = model;
    for (std::uint32_t i = 0; i < reported; ++i) Apply(changes[i], committed);
    Model oneMore = committed;
    Apply(changes[reported], oneMore);

    FavouritesStore store(path);
    ASSERT_EQ(store.Notice(), "") << "round " << round;
    const Model found = Read(store);
    ASSERT_TRUE(found == committed || found == oneMore) << "round " << round << ", " << reported << " changes reported";
    if (found != committed) ++cutOff;
    ASSERT_EQ(IntegrityOf(path), "ok") << "round " << round;
    model = found;
  }
  RecordProperty("kills between a commit and its report", cutOff);
  RecordProperty("changes reported", static_cast<int>(reportedInAll));
  // Kills only before the first change would prove nothing.
  EXPECT_GT(reportedInAll, 200u);
}

}  // namespace
}  // namespace tavrin::test
