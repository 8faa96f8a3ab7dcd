// The name generators of a naming run. Each reads the session and the live
// inputs of the model, hands its candidates to AcceptCandidate and writes
// the returned ones, several to a line, into its own pane. They run one
// after another inside the Generate command (generate_command.h).
#pragma once

namespace tavrin {

class NamingModel;

// 二字名: the surname and one character of the active name list.
void GenerateTwoCharNames(NamingModel& model);
// 三字名: the surname and two characters, free or with a fixed one.
void GenerateThreeCharNames(NamingModel& model);
// 部首有五行: a character of the one missing element and one drawn
// character, in either order.
void GenerateFiveElementNames(NamingModel& model);
// 系统推荐名: names of the recommended list.
void GenerateRecommendedNames(NamingModel& model);
// 系统推荐名二: the surname before every given name of the list of
// the child's sex.
void GenerateRecommendedNamesTwo(NamingModel& model);

}  // namespace tavrin
