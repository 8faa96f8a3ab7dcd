#include "cli/conventions_output.h"

#include "advice/advice.h"
#include "analysis/analyse_name.h"
#include "core/startup.h"

namespace tavrin::cli {

ConventionsSection ConventionsOf(CliContext& context, const std::string& name, const BirthPillars& pillars,
                                 const std::optional<std::vector<Element>>& favourableOverride) {
  const DataStores& stores = context.Stores();
  const advice::AdviceTables& tables = *stores.advice;
  return ReadNameConventions(stores, {name, tables.SurnameLength(name), pillars, favourableOverride});
}

}  // namespace tavrin::cli
