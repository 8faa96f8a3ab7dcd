// The favourites as files to share: JSON, which an import reads back, and
// CSV for a spreadsheet. The files are UTF-8; the favourites' texts are
// converted from and to the core's GBK here.
#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "chars/text.h"
#include "favourites/favourite.h"

namespace tavrin {

inline constexpr const char* kExchangeFormat = "tavrin-favourites";
inline constexpr int kExchangeVersion = 1;
// An import reads no more than this; a longer file is refused unread. An
// export never writes more, so that every file it writes can be imported.
inline constexpr std::size_t kMaxImportBytes = 512 * 1024 * 1024;
inline constexpr std::size_t kMaxImportFavourites = 1000000;

// One favourite as the exchange file and `favourites list --json` write it.
nlohmann::ordered_json FavouriteToJson(const Favourite& favourite);

// The whole exchange file, one favourite to a line:
// {"format": "tavrin-favourites", "version": 1, "exported": TIME,
//  "favourites": [{"name", "sex", "date", "hour", "score", "advice", "note",
//                  "rating", "origin", "poem", "added", "changed"}, ...]}
// Throws FavouritesError when it would be more than an import reads.
Utf8Text FavouritesToJson(const std::vector<Favourite>& favourites, std::int64_t exportedAt);

// Reads an exchange file's text, in time linear in its length. Throws
// FavouritesError saying what is wrong (GBK: the entry, the field and why)
// when anything in it is: not JSON, too deep, a number beyond a double,
// another format, a version other than 1, a field it does not know or gives
// twice, a missing or ill-typed field, a bad name or value, the same name
// and sex twice. An entry's `fields` names the optional fields it gives
// (null counts as not given), which are all a merge changes.
std::vector<Favourite> FavouritesFromJson(const Utf8Text& utf8);

// A spreadsheet's table, a header row and one row per favourite, UTF-8 with
// a byte-order mark so that spreadsheets take it as UTF-8.
Utf8Text FavouritesToCsv(const std::vector<Favourite>& favourites);
// One CSV cell: quoted when it must be, and a text that a spreadsheet would
// run as a formula (starting with =, +, -, @, a tab or a CR) led by an
// apostrophe so that it stays text.
std::string CsvCell(std::string_view utf8);

// A file as an import reads it: a regular file of at most kMaxImportBytes,
// taken as UTF-8 (the import refuses what is not). Throws FavouritesError
// naming the file and the reason.
Utf8Text ReadImportFile(const std::string& path);
// Writes a file whole or not at all: a temporary file beside it, flushed to
// disk, then renamed over it. Refuses a path that is there and is not a
// regular file. Throws FavouritesError naming the file and the reason.
void WriteExportFile(const std::string& path, const Utf8Text& text);

}  // namespace tavrin
