// The character services and the name scorer, precomputed once from the
// loaded stores so that a naming run's many lookups cost table reads.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "chars/elements.h"
#include "chars/name_pinyin.h"
#include "chars/pinyin.h"
#include "conventions/conventions_score.h"
#include "conventions/sancai.h"
#include "scoring/score.h"

namespace tavrin {

struct DataStores;

// Built from the stores' pinyin index, sound groups, element list,
// numerology table and the advice tables' readings; never changed
// afterwards. Held by shared pointer (the scorer refers to `elements`, the
// name reader to `pinyin`), so it is neither copied nor moved.
struct NamingServices {
  explicit NamingServices(const DataStores& stores);
  NamingServices(const NamingServices&) = delete;
  NamingServices& operator=(const NamingServices&) = delete;

  PinyinService pinyin;
  // How a full name is read to people wherever its pinyin is shown: the
  // advice tables' surname and usual readings, `pinyin` for a character they
  // lack.
  NamePinyin namePinyin;
  ElementService elements;
  NameScorer scorer;
  // The 三才 table, when sancai.dat was there and holds all 125 combinations.
  std::optional<conventions::SancaiTable> sancai;

  // The surname as the sound rules hear it, in PinyinOf's form: its own
  // reading from the advice tables' surname table (曾 "Zeng1", 尉迟 "Yu4
  // Chi2"), else the index's reading of its characters (PinyinOf). Given
  // characters keep the index's reading.
  std::string SurnamePinyin(std::string_view surname) const;
  // The surname's side of a sound check, read as SurnamePinyin.
  PinyinService::Sounds SurnameSounds(std::string_view surname) const;

  // The naming books' reading of a name over these tables.
  std::optional<conventions::ConventionsReading> ReadConventions(const conventions::ConventionsInputs& inputs) const;
};

// The services over the stores as they stand now.
std::shared_ptr<const NamingServices> BuildServices(const DataStores& stores);

}  // namespace tavrin
