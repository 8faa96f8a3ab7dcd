// The store's layout: its steps from an empty file to this version, the
// tables other libraries add to them, and how a store is checked as ours
// and brought up to date.
#include <mutex>
#include <string_view>
#include <vector>

#include "favourites/store_internal.h"

namespace tavrin {

using namespace store_detail;

namespace {

// The advice in columns: its 推荐度 beside the favourite (NULL: none), and
// its warnings in order. The JSON column stays: it is the advice whole, as
// the exchange files carry it.
constexpr char kAdviceColumns[] =
    "ALTER TABLE favourite ADD COLUMN recommend INTEGER;"
    "CREATE TABLE favourite_warning ("
    " name TEXT NOT NULL, sex TEXT NOT NULL, position INTEGER NOT NULL,"
    " kind TEXT NOT NULL, severity TEXT NOT NULL, text TEXT NOT NULL,"
    " PRIMARY KEY (name, sex, position));";

void FillAdviceColumns(const SqliteDb& db);

constexpr SchemaStep kSchema[] = {
    {1,
     "CREATE TABLE favourite ("
     " name TEXT NOT NULL,"
     " sex TEXT NOT NULL CHECK (sex IN ('male', 'female')),"
     " birth_year INTEGER NOT NULL, birth_month INTEGER NOT NULL, birth_day INTEGER NOT NULL,"
     " birth_hour INTEGER NOT NULL,"
     " score INTEGER NOT NULL,"
     " advice TEXT,"
     " note TEXT NOT NULL DEFAULT '',"
     " rating INTEGER NOT NULL DEFAULT 0 CHECK (rating BETWEEN 0 AND 5),"
     " origin TEXT NOT NULL DEFAULT '',"
     " poem TEXT NOT NULL DEFAULT '',"
     " added INTEGER NOT NULL,"
     " changed INTEGER NOT NULL,"
     " PRIMARY KEY (name, sex))"},
    // The surname's length in the run that made the name; 0: not known.
    {2, "ALTER TABLE favourite ADD COLUMN surname INTEGER NOT NULL DEFAULT 0 CHECK (surname BETWEEN 0 AND 2)"},
    {3, kAdviceColumns, &FillAdviceColumns},
};

constexpr char kColumns[] =
    "name, sex, birth_year, birth_month, birth_day, birth_hour, score, advice, note, rating, origin, poem, added, "
    "changed";

// The advice's columns of a store brought to kVotesSchemaVersion, read from
// the JSON it kept.
void FillAdviceColumns(const SqliteDb& db) {
  struct Kept {
    Utf8Text name;
    std::string sex;
    KeptAdvice advice;
  };
  std::vector<Kept> kept;
  {
    Statement select = db.Prepare("SELECT name, sex, advice FROM favourite WHERE advice IS NOT NULL");
    while (select.Step())
      kept.push_back({Utf8Text(select.Text(0)), select.Text(1), ReadKeptAdvice(Utf8Text(select.Text(2)))});
  }
  Statement update = db.Prepare("UPDATE favourite SET recommend = ?3 WHERE name = ?1 AND sex = ?2");
  WarningRows warnings(db);
  for (const Kept& k : kept) {
    update.Reset();
    update.Bind(1, k.name.View()).Bind(2, k.sex);
    if (k.advice.recommend >= 0) {
      update.Bind(3, k.advice.recommend);
    } else {
      update.BindNull(3);
    }
    update.Step();
    warnings.Replace(k.name, k.sex, k.advice);
  }
}

// The additions of this program, and the lock they are read and added under.
struct Additions {
  std::mutex mutex;
  std::vector<SchemaAddition> added;
};
Additions& AddedToSchema() {
  static Additions additions;
  return additions;
}

}  // namespace

std::span<const SchemaStep> FavouritesSchema() { return kSchema; }

void AddToSchema(const SchemaAddition& addition) {
  Additions& additions = AddedToSchema();
  std::lock_guard lock(additions.mutex);
  for (const SchemaAddition& added : additions.added) {
    if (std::string_view(added.name) == addition.name) return;
  }
  additions.added.push_back(addition);
}

std::vector<SchemaAddition> SchemaAdditions() {
  Additions& additions = AddedToSchema();
  std::lock_guard lock(additions.mutex);
  return additions.added;
}

namespace store_detail {

// Stores read without being brought up to date (opened read-only) keep
// their own layout: the first knows no surname length (read as 0, not
// known); the advice's own columns come with kVotesSchemaVersion (earlier
// stores have only the JSON).
std::string Columns(int version) {
  return std::string(kColumns) + (version >= 2 ? ", surname" : ", 0") +
         (version >= kVotesSchemaVersion ? ", recommend" : "");
}

bool FirstLayout(const SqliteDb& db) {
  Statement objects = db.Prepare("SELECT type, name, sql FROM sqlite_master ORDER BY type, name");
  const std::pair<std::string, std::string> expected[] = {{"index", "sqlite_autoindex_favourite_1"},
                                                          {"table", "favourite"}};
  std::size_t at = 0;
  while (objects.Step()) {
    if (at == std::size(expected) || objects.TextView(0) != expected[at].first ||
        objects.TextView(1) != expected[at].second)
      return false;
    if (at == 1 && objects.TextView(2) != kSchema[0].sql) return false;
    ++at;
  }
  return at == std::size(expected);
}

void RunStep(const SqliteDb& db, const SchemaStep& step, std::span<const SchemaAddition> additions) {
  for (const SchemaAddition& addition : additions) {
    if (addition.version == step.version) db.Exec(addition.sql);
  }
  db.Exec(step.sql);
  if (step.fill) step.fill(db);
}

std::int64_t PragmaInt(const SqliteDb& db, const char* pragma) { return db.QueryInt(std::string("PRAGMA ") + pragma); }

}  // namespace store_detail

void FavouritesStore::CheckOwnership() {
  const std::int64_t id = PragmaInt(db_, "application_id");
  version_ = static_cast<int>(PragmaInt(db_, "user_version"));
  legacy_ = id == 0 && version_ == 1 && FirstLayout(db_);
  if ((id == kFavouritesApplicationId && version_ >= 1) || legacy_) return;
  throw FavouritesError(Subject(path_) + "是别的程序的 SQLite 数据库,不是收藏文件;没有改动它");
}

void FavouritesStore::Migrate() {
  if (legacy_) {
    // A store of the first layout, made before stores were marked: marked now.
    try {
      SqliteTransaction transaction(db_);
      db_.Exec("PRAGMA application_id = " + std::to_string(kFavouritesApplicationId));
      transaction.Commit();
    } catch (const SqliteError& error) {
      throw FavouritesError("无法打开" + Subject(path_) + ":" + SqlReason(error));
    }
    legacy_ = false;
  }
  for (const SchemaStep& step : options_.schema) {
    if (step.version <= version_) continue;
    try {
      SqliteTransaction transaction(db_);
      // Another program may have brought the file up to date meanwhile.
      if (PragmaInt(db_, "user_version") < step.version) {
        RunStep(db_, step, options_.additions);
        db_.Exec("PRAGMA user_version = " + std::to_string(step.version));
      }
      transaction.Commit();
    } catch (const SqliteError& error) {
      throw FavouritesError("无法把" + Subject(path_) + "升级到格式版本 " + std::to_string(step.version) + ":" +
                            SqlReason(error));
    }
    version_ = step.version;
  }
}

}  // namespace tavrin
