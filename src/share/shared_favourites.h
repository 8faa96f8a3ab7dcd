// What the family sees of each favourite, as the window and the command line
// both share it: its name and the advice on it as the program gives it now
// (pinyin, 推荐度, meanings, source line and warnings); not the birth date,
// the note or anything else the store keeps.
#pragma once

#include <vector>

#include "favourites/favourite.h"
#include "share/shared_list.h"

namespace tavrin::sources {
class NameNotes;
}

namespace tavrin::share {

// The favourites in the order given, their texts turned into UTF-8. The
// advice is read with the tables of `notes`, each name with the surname of
// the run that kept it (else as the tables read it).
SharedList SharedFavourites(sources::NameNotes& notes, const std::vector<Favourite>& favourites);

}  // namespace tavrin::share
