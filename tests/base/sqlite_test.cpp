#include "base/sqlite.h"

#include <gtest/gtest.h>

#include "testutil.h"

namespace tavrin {
namespace {

std::int64_t Rows(const SqliteDb& db) { return db.QueryInt("SELECT count(*) FROM t"); }

TEST(SqliteTransaction, KeepsOnlyWhatIsCommitted) {
  const struct {
    bool commit;
    bool fail;  // a statement in it fails, so the guard is left by the exception
    std::int64_t rows;
  } cases[] = {{true, false, 1}, {false, false, 0}, {false, true, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.commit) + std::to_string(c.fail));
    SqliteDb db = SqliteDb::Open(":memory:", SQLITE_OPEN_READWRITE);
    db.Exec("CREATE TABLE t (x INTEGER NOT NULL)");
    try {
      SqliteTransaction transaction(db);
      db.Exec("INSERT INTO t VALUES (1)");
      if (c.fail) db.Exec("INSERT INTO t VALUES (NULL)");
      if (c.commit) transaction.Commit();
    } catch (const SqliteError& error) {
      EXPECT_TRUE(c.fail);
      EXPECT_EQ(error.Primary(), SQLITE_CONSTRAINT);
      EXPECT_EQ(error.stage, SqliteError::Stage::kExec);
    }
    EXPECT_EQ(Rows(db), c.rows);
    // No transaction is left open: a new one can begin.
    SqliteTransaction next(db);
    next.Commit();
  }
}

// An immediate transaction holds the write lock from its start: a second
// writer is turned away at once, while a deferred one begins and waits for
// its first write.
TEST(SqliteTransaction, ImmediateTakesTheWriteLockAtOnce) {
  test::TempDir temp;
  const std::string path = temp.Dir() + "t.db";
  SqliteDb first = SqliteDb::Open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  first.Exec("CREATE TABLE t (x INTEGER)");
  SqliteDb second = SqliteDb::Open(path, SQLITE_OPEN_READWRITE);
  SqliteTransaction holding(first);
  const struct {
    SqliteTransaction::Kind kind;
    bool begins;
  } cases[] = {{SqliteTransaction::Kind::kImmediate, false}, {SqliteTransaction::Kind::kDeferred, true}};
  for (const auto& c : cases) {
    try {
      SqliteTransaction other(second, c.kind);
      EXPECT_TRUE(c.begins);
      EXPECT_THROW(second.Exec("INSERT INTO t VALUES (1)"), SqliteError);
    } catch (const SqliteError& error) {
      EXPECT_FALSE(c.begins);
      EXPECT_EQ(error.Primary(), SQLITE_BUSY);
    }
  }
}

}  // namespace
}  // namespace tavrin
