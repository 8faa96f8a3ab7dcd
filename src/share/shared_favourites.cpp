#include "share/shared_favourites.h"

#include <utility>

#include "advice/advice_json.h"
#include "chars/tone_marks.h"
#include "core/best_names.h"
#include "favourites/favourites_text.h"
#include "favourites/kept_name.h"
#include "sources/name_notes.h"

namespace tavrin::share {

SharedList SharedFavourites(sources::NameNotes& notes, const std::vector<Favourite>& favourites) {
  const advice::AdviceTables& tables = notes.Tables();
  SharedList list;
  for (const Favourite& f : favourites) {
    const advice::Advice a =
        AdviseWithSource(tables, f.name.Bytes(), SurnameLengthOf(f, &tables), f.sex, sources::SourceFinderOf(notes));
    SharedName shared;
    // The name as the store keeps it, and as the votes name it.
    shared.name = StoredText(f.name).Bytes();
    shared.sex = SexKey(f.sex);
    shared.pinyin = PinyinWithToneMarks(a.pinyin);
    shared.recommend = a.recommend;
    sources::NotesText noteText = sources::NotesTextOf(notes, f.name);
    for (Utf8Text& meaning : noteText.meanings) shared.meanings.push_back(std::move(meaning).Bytes());
    shared.source = std::move(noteText.source).Bytes();
    for (advice::WarningLine& w : advice::WarningLines(a))
      shared.warnings.push_back({std::move(w.text).Bytes(), w.serious});
    list.names.push_back(std::move(shared));
  }
  return list;
}

}  // namespace tavrin::share
