// The inputs and running state of the Generate command. One instance, owned
// with the naming model; its fields persist between runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "calendar/birth_pillars.h"
#include "chars/linelist.h"
#include "chars/pinyin.h"
#include "core/child.h"
#include "core/pane.h"

namespace tavrin {

struct NamingSession {
  NamingSession();

  std::string surname;  // "张" until the first run
  bool female = false;
  int birthYear = 0, birthMonth = 0, birthDay = 0;
  BirthHour birthHour = BirthHour::At(0);
  BirthTimeOptions birthTime;  // the birthplace, minute and term side the run read
  BirthChart chart;            // of the last Generate run; names are scored against its elements
  BirthChartNotes chartNotes;  // what that chart is unsure of, and how it was read
  // Which elements the names of the run should bring (read at its start).
  ElementWish wish = ElementWish::kChart;
  std::vector<Element> chosenElements;
  FamilyWishes wishes;  // with the fixed characters of the run (RunWishes)
  bool stopRequested = false;
  PaneLine pendingLine;                         // the summary pane's line buffer; survives runs
  std::uint64_t accepted = 0;                   // candidates handed to acceptance so far
  std::uint64_t acceptedBeforeRun = 0;          // `accepted` when the last Generate run started
  LineList activeNameList;                      // copy of the male or female name list, refilled at each run
  LineList poemCharList;                        // the characters of the poetry page's run
  SoundRule soundRule = SoundRule::kSubstring;  // of the run under way
  // The panes whose generator ended at its draw cap in this run, with the
  // rows written ("二字名 3"); GBK.
  std::vector<std::string> drawCapNotes;

  // The baby of the last Generate run.
  Child RunChild() const;
};

}  // namespace tavrin
