// The store's operations: reading the favourites, and each change as one
// transaction (Save, Remove, SetNote, SetRating, Merge); the failures as
// the user reads them.
#include "favourites/store.h"

#include <algorithm>
#include <optional>

#include "base/output_text.h"
#include "favourites/store_internal.h"

namespace tavrin {

namespace store_detail {

std::string SqlReason(const SqliteError& error) {
  static constexpr std::pair<int, const char*> kMeanings[] = {
      {SQLITE_FULL, "磁盘已满"},
      {SQLITE_READONLY, "不能写入"},
      {SQLITE_PERM, "没有权限"},
      {SQLITE_CANTOPEN, "无法打开"},
      {SQLITE_CORRUPT, "文件已损坏"},
      {SQLITE_NOTADB, "不是 SQLite 数据库"},
      {SQLITE_BUSY, "正被另一个程序长时间占用"},
      {SQLITE_LOCKED, "正被另一个程序长时间占用"},
      {SQLITE_IOERR, "读写出错"},
  };
  std::string meaning = "数据库出错";
  for (const auto& [code, text] : kMeanings) {
    if (error.Primary() == code) meaning = text;
  }
  return meaning + "(" + MessageText(Utf8Text(error.what())).Bytes() + ")";
}

std::string Subject(const std::string& path) { return "收藏文件" + QuotedFileName(Utf8Text(path)).Bytes(); }

FavouritesError WriteError(const std::string& path, const SqliteError& error) {
  if (error.code == kSwallowed) {
    return FavouritesError("无法保存到" + Subject(path) +
                           ":数据库没有收下这次写入(表上有忽略写入的约束);这次修改没有保存");
  }
  return FavouritesError("无法保存到" + Subject(path) + ":" + SqlReason(error) + ";这次修改没有保存");
}

FavouritesError ReadError(const std::string& path, const SqliteError& error) {
  return FavouritesError("无法读取" + Subject(path) + ":" + SqlReason(error));
}

}  // namespace store_detail

using namespace store_detail;

template <typename Change>
auto FavouritesStore::Commit(Change change) {
  if (readOnly_) throw FavouritesError("无法保存到" + Subject(path_) + ":它已只读打开;这次修改没有保存");
  try {
    SqliteTransaction transaction(db_);
    auto result = change();
    transaction.Commit();
    return result;
  } catch (const SqliteError& error) {
    throw WriteError(path_, error);
  }
}

template <typename BindRest>
bool FavouritesStore::ChangeOne(const char* sql, const GbkText& name, Sex sex, BindRest bindRest, bool removes) {
  return Commit([&] {
    if (!Reader(db_, version_).Find(name, sex)) return false;
    Statement statement = db_.Prepare(sql);
    BindGbk(statement, 1, name).Bind(2, SexKey(sex));
    bindRest(statement);
    statement.Step();
    if (db_.Changes() != 1) throw Swallowed();
    if (removes && Typed()) WarningRows(db_).Replace(StoredText(name), SexKey(sex), std::nullopt);
    return true;
  });
}

std::vector<Favourite> FavouritesStore::List() const {
  try {
    return Reader(db_, version_).All();
  } catch (const SqliteError& error) {
    throw ReadError(path_, error);
  }
}

std::optional<Favourite> FavouritesStore::Find(const GbkText& name, Sex sex) const {
  try {
    return Reader(db_, version_).Find(name, sex);
  } catch (const SqliteError& error) {
    throw ReadError(path_, error);
  }
}

FavouritesStore::Saved FavouritesStore::Save(Favourite favourite) {
  auto refuse = [](const Favourite& f, const std::string& why) {
    return FavouritesError("不能收藏“" + EscapeControlBytes(f.name.View()) + "”:" + why);
  };
  if (auto bad = CheckFullName(favourite.name.View())) throw refuse(favourite, *bad);
  if (favourite.fields == kAllFields) {
    if (auto bad = CheckFavourite(favourite)) throw refuse(favourite, *bad);
  }
  return Commit([&] {
    Reader reader(db_, version_);
    const auto kept = reader.Find(favourite.name, favourite.sex);
    const std::int64_t now = Now();
    const unsigned fields = (favourite.fields & ~(kFieldAdded | kFieldChanged)) | kFieldChanged;
    favourite.changed = now;
    Favourite written = kept ? Overlay(*kept, favourite, fields) : favourite;
    written.added = kept ? kept->added : now;
    written.fields = kAllFields;
    if (auto bad = CheckFavourite(written)) throw refuse(written, *bad);
    Writer(db_, Typed()).Write(written, kept.has_value(), fields);
    // What the database holds now is what was written, or nothing is.
    const auto stored = reader.Find(written.name, written.sex);
    if (!stored || !SameContent(*stored, written)) throw Swallowed();
    return kept ? Saved::kChanged : Saved::kAdded;
  });
}

bool FavouritesStore::Remove(const GbkText& name, Sex sex) {
  return ChangeOne("DELETE FROM favourite WHERE name = ?1 AND sex = ?2", name, sex, [](Statement&) {}, true);
}

std::size_t FavouritesStore::Remove(const std::vector<Favourite>& favourites) {
  return Commit([&] {
    std::size_t removed = 0;
    Statement statement = db_.Prepare("DELETE FROM favourite WHERE name = ?1 AND sex = ?2");
    std::optional<WarningRows> warnings;
    if (Typed()) warnings.emplace(db_);
    for (const Favourite& f : favourites) {
      const Utf8Text name = StoredText(f.name);
      statement.Bind(1, name.View()).Bind(2, SexKey(f.sex));
      statement.Step();
      removed += static_cast<std::size_t>(db_.Changes());
      statement.Reset();
      if (warnings) warnings->Replace(name, SexKey(f.sex), std::nullopt);
    }
    return removed;
  });
}

bool FavouritesStore::SetNote(const GbkText& name, Sex sex, const GbkText& note) {
  if (auto bad = CheckNote(note.View())) throw FavouritesError(*bad);
  return ChangeOne("UPDATE favourite SET note = ?3, changed = ?4 WHERE name = ?1 AND sex = ?2", name, sex,
                   [&](Statement& s) { BindGbk(s, 3, note).Bind(4, Now()); });
}

bool FavouritesStore::SetRating(const GbkText& name, Sex sex, int rating) {
  if (rating < 0 || rating > kMaxRating) throw FavouritesError("评分 " + std::to_string(rating) + " 不在 0 至 5 之间");
  return ChangeOne("UPDATE favourite SET rating = ?3, changed = ?4 WHERE name = ?1 AND sex = ?2", name, sex,
                   [&](Statement& s) { s.Bind(3, rating).Bind(4, Now()); });
}

FavouritesStore::MergeCounts FavouritesStore::Merge(const std::vector<Favourite>& favourites) {
  for (const Favourite& favourite : favourites) {
    if (auto bad = CheckFavourite(favourite))
      throw FavouritesError("不能收藏“" + EscapeControlBytes(favourite.name.View()) + "”:" + *bad);
  }
  return Commit([&] {
    MergeCounts counts;
    const std::int64_t now = Now();
    Reader reader(db_, version_);
    Writer writer(db_, Typed());
    for (const Favourite& incoming : favourites) {
      const unsigned given = incoming.fields;
      // No time may lie ahead of now: a file's clock running fast would
      // otherwise beat every later change.
      const std::int64_t added = given & kFieldAdded && incoming.added != 0 ? std::min(incoming.added, now) : now;
      const std::int64_t changed = given & kFieldChanged && incoming.changed != 0 ? std::min(incoming.changed, now) : 0;
      // Most of an import is new: added at once, and only one kept already
      // is read.
      if (writer.TryWrite(incoming, false, kAllFields, {added, std::max(changed, added)})) {
        ++counts.added;
        continue;
      }
      const auto kept = reader.Find(incoming.name, incoming.sex);
      if (!kept) throw Swallowed();
      // An entry without its time of change is not known to be later.
      if (changed <= kept->changed) {
        ++counts.unchanged;
        continue;
      }
      Favourite merged = Overlay(*kept, incoming, given & ~(kFieldAdded | kFieldChanged));
      if (SameContent(merged, *kept)) {
        ++counts.unchanged;
        continue;
      }
      merged.changed = changed;
      merged.added = std::min(added, kept->added);
      writer.Write(merged, true, (given & ~kFieldAdded) | kFieldChanged | kFieldAdded);
      ++counts.changed;
    }
    return counts;
  });
}

}  // namespace tavrin
