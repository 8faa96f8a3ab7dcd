#include "favourites/kept_name.h"

#include "advice/advice_json.h"
#include "calendar/birth_pillars.h"

namespace tavrin {

int ScoreForBirth(const NameScorer& scorer, TTransDate& transDate, const Favourite& favourite) {
  const BirthAnalysisResult birth = BirthAnalysis(BirthAnalysisVariant::kGenerate, transDate, favourite.year,
                                                  favourite.month, favourite.day, FavouriteBirthHour(favourite.hour));
  return scorer.Score(favourite.name.View(), birth.birthElements);
}

int SurnameLengthOf(const Favourite& favourite, const advice::AdviceTables* tables) {
  if (favourite.surnameLength > 0) return favourite.surnameLength;
  return advice::SurnameLength(tables, favourite.name.View());
}

KeptAdvice KeepAdvice(const advice::Advice& advice) {
  return ReadKeptAdvice(
      Utf8Text(advice::AdviceJson(advice).dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace)));
}

}  // namespace tavrin
