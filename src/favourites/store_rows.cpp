// A favourite's rows: reading one, the SQL and the bindings that write it,
// its advice's warning rows, and when two favourites hold the same.
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <tuple>
#include <vector>

#include "favourites/store_internal.h"

namespace tavrin::store_detail {

namespace {

GbkText Held(const Statement& row, int column) { return HeldText(Utf8Text(row.TextView(column))); }
Utf8Text Utf8(const Statement& row, int column) { return Utf8Text(row.TextView(column)); }

Favourite ReadRow(const Statement& row, bool typed) {
  Favourite f;
  f.name = Held(row, 0);
  f.sex = SexFromKey(row.Text(1)).value_or(Sex::kMale);
  f.year = static_cast<int>(row.Int(2));
  f.month = static_cast<int>(row.Int(3));
  f.day = static_cast<int>(row.Int(4));
  f.hour = static_cast<int>(row.Int(5));
  f.score = static_cast<int>(row.Int(6));
  if (!row.IsNull(7)) {
    // The warnings are read apart (ReadWarnings).
    if (typed) {
      f.advice = KeptAdvice{row.IsNull(15) ? -1 : static_cast<int>(row.Int(15)), {}, Utf8(row, 7)};
    } else {
      f.advice = ReadKeptAdvice(Utf8(row, 7));
    }
  }
  f.note = Held(row, 8);
  f.rating = static_cast<int>(row.Int(9));
  f.origin = Held(row, 10);
  f.poem = Held(row, 11);
  f.added = row.Int(12);
  f.changed = row.Int(13);
  f.surnameLength = static_cast<int>(row.Int(14));
  return f;
}

// The columns of each part of a favourite, in the order of kColumns.
struct FieldColumns {
  unsigned field;
  std::initializer_list<const char*> columns;
};
const FieldColumns kFieldColumns[] = {
    {kFieldBirth, {"birth_year", "birth_month", "birth_day", "birth_hour"}},
    {kFieldScore, {"score"}},
    {kFieldAdvice, {"advice", "recommend"}},
    {kFieldNote, {"note"}},
    {kFieldRating, {"rating"}},
    {kFieldOrigin, {"origin", "poem"}},
    {kFieldAdded, {"added"}},
    {kFieldChanged, {"changed"}},
    {kFieldSurname, {"surname"}},
};

// Binds the values of the parts in `fields` to ?3, ?4, ... in the order of
// kFieldColumns.
void BindFields(Statement& statement, const Favourite& f, unsigned fields, Times times, bool typed) {
  int at = 3;
  auto number = [&](std::int64_t value) { statement.Bind(at++, value); };
  auto text = [&](const GbkText& held) { BindGbk(statement, at++, held); };
  if (fields & kFieldBirth) {
    for (const int value : {f.year, f.month, f.day, f.hour}) number(value);
  }
  if (fields & kFieldScore) number(f.score);
  if (fields & kFieldAdvice) {
    if (f.advice) {
      statement.Bind(at++, f.advice->json.View());
    } else {
      statement.BindNull(at++);
    }
    if (typed) {
      if (f.advice && f.advice->recommend >= 0) {
        statement.Bind(at++, f.advice->recommend);
      } else {
        statement.BindNull(at++);
      }
    }
  }
  if (fields & kFieldNote) text(f.note);
  if (fields & kFieldRating) number(f.rating);
  if (fields & kFieldOrigin) text(f.origin), text(f.poem);
  if (fields & kFieldAdded) number(times.added);
  if (fields & kFieldChanged) number(times.changed);
  if (fields & kFieldSurname) number(f.surnameLength);
}

// INSERT of a whole favourite, or UPDATE of the parts in `fields` of the
// one kept under ?1 name and ?2 sex.
std::string WriteSql(bool insert, unsigned fields, bool typed) {
  std::string names, values;
  int at = 3;
  for (const auto& [field, columns] : kFieldColumns) {
    if (!(fields & field)) continue;
    for (const char* column : columns) {
      if (!typed && std::string_view(column) == "recommend") continue;
      names += std::string(names.empty() ? "" : ", ") + column + (insert ? "" : " = ?" + std::to_string(at));
      values += ", ?" + std::to_string(at++);
    }
  }
  // A favourite kept already is left as it is; the caller learns of it from
  // the count of changes.
  if (insert) {
    return "INSERT INTO favourite (name, sex, " + names + ") VALUES (?1, ?2" + values + ") ON CONFLICT DO NOTHING";
  }
  return "UPDATE favourite SET " + names + " WHERE name = ?1 AND sex = ?2";
}

// The rows of the kept advice's warnings, written in place of the ones a
// The same advice: the same, or the same JSON written otherwise.
bool SameAdvice(const std::optional<KeptAdvice>& a, const std::optional<KeptAdvice>& b) {
  if (a == b) return true;
  if (!a || !b) return false;
  const auto left = nlohmann::json::parse(a->json.View(), nullptr, false);
  const auto right = nlohmann::json::parse(b->json.View(), nullptr, false);
  return !left.is_discarded() && left == right;
}

constexpr const char* kSelectOne = "FROM favourite WHERE name = ?1 AND sex = ?2";

}  // namespace

WarningRows::WarningRows(const SqliteDb& db)
    : clear_(db.Prepare("DELETE FROM favourite_warning WHERE name = ?1 AND sex = ?2")),
      add_(db.Prepare("INSERT INTO favourite_warning (name, sex, position, kind, severity, text)"
                      " VALUES (?1, ?2, ?3, ?4, ?5, ?6)")) {}

void WarningRows::Replace(const Utf8Text& name, std::string_view sex, const std::optional<KeptAdvice>& advice) {
  clear_.Reset();
  clear_.Bind(1, name.View()).Bind(2, sex).Step();
  if (!advice) return;
  std::int64_t position = 0;
  for (const KeptWarning& w : advice->warnings) {
    add_.Reset();
    add_.Bind(1, name.View())
        .Bind(2, sex)
        .Bind(3, position++)
        .Bind(4, w.kind)
        .Bind(5, w.severity)
        .Bind(6, w.text.View());
    add_.Step();
  }
}

void Writer::Write(const Favourite& f, bool kept, unsigned fields) {
  if (!TryWrite(f, kept, fields, {f.added, f.changed})) throw Swallowed();
}

bool Writer::TryWrite(const Favourite& f, bool kept, unsigned fields, Times times) {
  if (!kept) fields = kAllFields;
  auto& statement = statements_[kept ? fields : kAllFields + 1];
  if (!statement.get()) statement = db_.Prepare(WriteSql(!kept, fields, typed_));
  statement.Reset();
  const Utf8Text name = StoredText(f.name);
  statement.Bind(1, name.View()).Bind(2, SexKey(f.sex));
  BindFields(statement, f, fields, times, typed_);
  statement.Step();
  if (db_.Changes() != 1) return false;
  if (typed_ && (fields & kFieldAdvice)) {
    if (!warnings_) warnings_.emplace(db_);
    warnings_->Replace(name, SexKey(f.sex), f.advice);
  }
  return true;
}

std::optional<Favourite> Reader::Find(const GbkText& name, Sex sex) {
  if (!one_.get()) one_ = db_.Prepare("SELECT " + Columns(version_) + " " + kSelectOne);
  one_.Reset();
  const Utf8Text stored = StoredText(name);
  one_.Bind(1, stored.View()).Bind(2, SexKey(sex));
  if (!one_.Step()) return std::nullopt;
  Favourite f = ReadRow(one_, typed_);
  one_.Reset();  // no reading left open while the caller writes
  if (typed_ && f.advice) {
    if (!warnings_.get()) {
      warnings_ = db_.Prepare(
          "SELECT kind, severity, text FROM favourite_warning WHERE name = ?1 AND sex = ?2 ORDER BY position");
    }
    warnings_.Reset();
    warnings_.Bind(1, stored.View()).Bind(2, SexKey(sex));
    while (warnings_.Step()) f.advice->warnings.push_back({warnings_.Text(0), warnings_.Text(1), Utf8(warnings_, 2)});
  }
  return f;
}

std::vector<Favourite> Reader::All() const {
  std::map<std::pair<std::string, std::string>, std::vector<KeptWarning>> warnings;
  if (typed_) {
    Statement all =
        db_.Prepare("SELECT name, sex, kind, severity, text FROM favourite_warning ORDER BY name, sex, position");
    while (all.Step()) warnings[{all.Text(0), all.Text(1)}].push_back({all.Text(2), all.Text(3), Utf8(all, 4)});
  }
  std::vector<Favourite> favourites;
  Statement select = db_.Prepare("SELECT " + Columns(version_) + " FROM favourite ORDER BY added, name, sex");
  while (select.Step()) {
    Favourite f = ReadRow(select, typed_);
    if (f.advice && !warnings.empty()) {
      const auto found = warnings.find({select.Text(0), select.Text(1)});
      if (found != warnings.end()) f.advice->warnings = std::move(found->second);
    }
    favourites.push_back(std::move(f));
  }
  return favourites;
}

Favourite Overlay(Favourite kept, const Favourite& given, unsigned fields) {
  if (fields & kFieldBirth)
    std::tie(kept.year, kept.month, kept.day, kept.hour) = std::tie(given.year, given.month, given.day, given.hour);
  if (fields & kFieldScore) kept.score = given.score;
  if (fields & kFieldAdvice) kept.advice = given.advice;
  if (fields & kFieldNote) kept.note = given.note;
  if (fields & kFieldRating) kept.rating = given.rating;
  if (fields & kFieldOrigin) std::tie(kept.origin, kept.poem) = std::tie(given.origin, given.poem);
  if (fields & kFieldAdded) kept.added = given.added;
  if (fields & kFieldChanged) kept.changed = given.changed;
  if (fields & kFieldSurname) kept.surnameLength = given.surnameLength;
  kept.fields = kAllFields;
  return kept;
}

bool SameContent(const Favourite& a, const Favourite& b) {
  auto content = [](const Favourite& f) {
    return std::tie(f.name, f.sex, f.year, f.month, f.day, f.hour, f.score, f.note, f.rating, f.origin, f.poem,
                    f.surnameLength);
  };
  return content(a) == content(b) && SameAdvice(a.advice, b.advice);
}

}  // namespace tavrin::store_detail
