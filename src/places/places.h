// The places of China a birth can be given at: province and city with the
// city's longitude and latitude, read from data/places.dat (UTF-8, one place a
// line: province TAB city TAB longitude TAB latitude, sorted by province and
// then city). The window offers them in two combo boxes (Provinces(), then
// CitiesOf(province)); the chart takes the longitude (BirthTimeOptions).
// Texts are UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin::places {

inline constexpr const char* kPlacesFileName = "places.dat";

struct Place {
  std::string province;
  std::string city;
  double longitude = 0;  // degrees east
  double latitude = 0;   // degrees north
};

class PlaceTable {
 public:
  PlaceTable() = default;
  // The places of a file's text, in its order; a line that does not have four
  // fields with two numbers is skipped (and counted).
  static PlaceTable Parse(std::string_view text);
  // The file `path`; nullopt when it cannot be read (too large, missing, not a regular file).
  static std::optional<PlaceTable> Read(const std::string& path);

  const std::vector<Place>& All() const { return places_; }
  bool Empty() const { return places_.empty(); }
  std::size_t SkippedLines() const { return skipped_; }

  // The provinces in file order, each once.
  std::vector<std::string> Provinces() const;
  // The cities of a province in file order; empty for an unknown province.
  std::vector<std::string> CitiesOf(std::string_view province) const;
  // The place of a province and a city; nullptr when there is none.
  const Place* Find(std::string_view province, std::string_view city) const;
  // A place written "省/市" (or the province alone when it has one city, as
  // the municipalities have); nullptr when there is none.
  const Place* FindPath(std::string_view path) const;

 private:
  std::vector<Place> places_;
  std::size_t skipped_ = 0;
};

}  // namespace tavrin::places
