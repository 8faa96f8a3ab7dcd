// What a kept name is read with when the favourite does not say: its score
// for the birth it is kept with, and where its surname ends.
#pragma once

#include "advice/advice.h"
#include "calendar/trans_date.h"
#include "favourites/favourite.h"
#include "scoring/score.h"

namespace tavrin {

// The score a naming run for the favourite's birth date and hour gives its
// name: the five grids and the balance of the name's elements with that
// birth's chart. Throws BirthAnalysisError for a birth the calendar cannot
// chart.
int ScoreForBirth(const NameScorer& scorer, TTransDate& transDate, const Favourite& favourite);

// How many characters of the name are the surname: as the run that made it
// took them, else as the advice tables read the name (1 without tables).
int SurnameLengthOf(const Favourite& favourite, const advice::AdviceTables* tables);

// The advice as a favourite keeps it: whole as advise --json gives it, and
// what the window reads of it.
KeptAdvice KeepAdvice(const advice::Advice& advice);

}  // namespace tavrin
