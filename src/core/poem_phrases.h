// The names a poem holds itself (page 诗歌取名, beside the drawn names):
// two characters that stand together in one of its lines, a phrase of the
// poem a family who loves it would recognise (灼华, 宜家, 蓁蓁, 其华 of
// 桃夭), each advised and judged for the baby.
//
// A line is a run of Chinese characters between marks. Its phrases are
//   the pairs side by side within one beat of the line (advice::WithinBeat:
//     其叶|蓁蓁 gives 蓁蓁, not 叶蓁), a doubled character included;
//   the pairs joined across a link character (其 之, the character
//     table's kLinkChar), a doubled character read once, as the naming
//     books read a line: 灼灼其华 gives 灼华, 宜其家室 宜家;
// and no pair ends in a link character (宜其).
// A pair is kept when neither character is a function character of the
// verse (之 于 不 曰 …, kFunctionChar) unless the pair is a name of the bank
// or the name lists, the line holds no word of grief or ill omen, the
// surname and the first given character pass the sound rule (as the
// name bank's names do), and the advice raises no serious warning (the
// sex, the sound, the character) and finds the pair a clear one: a phrase
// of a well-known text, a word or a name (advice::Advice::clearPair; a line
// of a poem outside the well-known collections, or one typed in, gives
// only its words and names).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "advice/advice.h"
#include "chars/sex.h"

namespace tavrin {

class BestNames;
class NameJudge;
struct NamingServices;

// The poem the phrases are read from (GBK texts); collection, title and
// author become the source of each name.
struct PoemOfPhrases {
  std::string title;
  std::string author;
  std::string collection;
  std::string text;
};

struct PoemPhrase {
  std::string given;               // the two characters (GBK)
  advice::ClassicalSource source;  // the poem and the line they stand in
  advice::Advice advice;           // on the full name with that source, judged for the baby
};

// The poem's own names for a baby of `surname` (GBK) and `sex`, best first
// (the judged 推荐度, then the order of the poem); each given name once,
// from its first line. Nothing for a surname the advice does not read.
std::vector<PoemPhrase> PoemPhrases(const advice::AdviceTables& tables, const NamingServices& services,
                                    const NameJudge& judge, const std::string& surname, Sex sex,
                                    const PoemOfPhrases& poem);

// Puts the phrases into the list of best names as names of the poetry page
// (诗歌取名), each with its source, scored against
// `scoringElements` as the page's drawn names are. Returns how many were new.
std::size_t AddPoemPhrases(BestNames& names, const NamingServices& services, const std::vector<PoemPhrase>& phrases,
                           const std::string& surname, Sex sex, std::string_view scoringElements);

}  // namespace tavrin
