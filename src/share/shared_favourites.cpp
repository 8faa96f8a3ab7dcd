#include "share/shared_favourites.h"

#include <utility>

#include "chars/encoding.h"
#include "chars/tone_marks.h"
#include "core/best_names.h"
#include "favourites/kept_name.h"
#include "sources/name_notes.h"

namespace tavrin::share {

SharedList SharedFavourites(sources::NameNotes& notes, const std::vector<Favourite>& favourites) {
  const advice::AdviceTables& tables = notes.Tables();
  SharedList list;
  for (const Favourite& f : favourites) {
    const advice::Advice a =
        AdviseWithSource(tables, f.name, SurnameLengthOf(f, &tables), f.sex, sources::SourceFinderOf(notes));
    SharedName shared;
    shared.name = GbkToUtf8(f.name);
    shared.sex = SexKey(f.sex);
    shared.pinyin = PinyinWithToneMarks(a.pinyin);
    shared.recommend = a.recommend;
    for (const std::string& line : notes.Meanings(f.name)) shared.meanings.push_back(GbkToUtf8(line));
    if (const sources::NameSource* source = notes.BestSource(f.name))
      shared.source = GbkToUtf8(sources::ShortSource(*source));
    for (const advice::Warning& w : a.warnings) {
      shared.warnings.push_back({GbkToUtf8(w.text), w.severity == advice::Severity::kSerious});
    }
    list.names.push_back(std::move(shared));
  }
  return list;
}

}  // namespace tavrin::share
