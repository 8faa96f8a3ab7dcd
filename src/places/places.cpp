#include "places/places.h"

#include <charconv>

#include "base/file_read.h"

namespace tavrin::places {

namespace {

constexpr std::size_t kMaxPlacesFileBytes = 1 << 20;

std::optional<double> Number(std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (std::size_t start = 0;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

}  // namespace

PlaceTable PlaceTable::Parse(std::string_view text) {
  PlaceTable table;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    const std::vector<std::string_view> fields = Fields(line);
    const std::optional<double> longitude = fields.size() == 4 ? Number(fields[2]) : std::nullopt;
    const std::optional<double> latitude = fields.size() == 4 ? Number(fields[3]) : std::nullopt;
    if (!longitude || !latitude || fields[0].empty() || fields[1].empty() || *longitude < -180 || *longitude > 180) {
      ++table.skipped_;
      continue;
    }
    table.places_.push_back({std::string(fields[0]), std::string(fields[1]), *longitude, *latitude});
  }
  return table;
}

std::optional<PlaceTable> PlaceTable::Read(const std::string& path) {
  ReadRefusal refusal;
  const std::optional<std::string> text = ReadRegularFile(path, kMaxPlacesFileBytes, refusal);
  if (!text) return std::nullopt;
  return Parse(*text);
}

std::vector<std::string> PlaceTable::Provinces() const {
  std::vector<std::string> provinces;
  for (const Place& place : places_) {
    bool known = false;
    for (const std::string& p : provinces) known = known || p == place.province;
    if (!known) provinces.push_back(place.province);
  }
  return provinces;
}

std::vector<std::string> PlaceTable::CitiesOf(std::string_view province) const {
  std::vector<std::string> cities;
  for (const Place& place : places_) {
    if (place.province == province) cities.push_back(place.city);
  }
  return cities;
}

const Place* PlaceTable::Find(std::string_view province, std::string_view city) const {
  for (const Place& place : places_) {
    if (place.province == province && place.city == city) return &place;
  }
  return nullptr;
}

const Place* PlaceTable::FindPath(std::string_view path) const {
  const std::size_t slash = path.find('/');
  if (slash != std::string_view::npos) return Find(path.substr(0, slash), path.substr(slash + 1));
  const Place* only = nullptr;
  for (const Place& place : places_) {
    if (place.province != path) continue;
    if (only) return nullptr;
    only = &place;
  }
  return only;
}

}  // namespace tavrin::places
