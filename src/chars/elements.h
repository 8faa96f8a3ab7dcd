// The element (金 木 水 火 土) of a Chinese character, from the element list
// "dzwx.dat" or, for a character that the list does not name, from its
// stroke count; the element text of a name; the weak elements of a text.
//
// "dzwx.dat" holds pairs of lines: a heading that contains 的字有 and names
// its element between “ and ”, then one line of the characters of that
// element. A character takes the element of the last line that contains it.
//
// The functions in namespace `scan` walk the list on every call and are the
// reference; ElementService precomputes the answer for every double-byte
// character once and gives identical results.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chars/linelist.h"

namespace tavrin {

// One of the five elements, in the order in which they are walked.
enum class Element { kMetal, kWood, kWater, kFire, kEarth };

inline constexpr std::array<Element, 5> kElementOrder = {Element::kMetal, Element::kWood, Element::kWater,
                                                         Element::kFire, Element::kEarth};

// The element's character: 金, 木, 水, 火 or 土 (GBK).
std::string_view ElementChar(Element element);
// The element a text names when it is exactly one element character.
std::optional<Element> ElementOfChar(std::string_view ch);

// How often each element occurs in an element text (character-aligned: a
// byte pair inside another character never counts).
struct ElementCounts {
  std::array<int, kElementOrder.size()> count{};

  static ElementCounts Of(std::string_view elements);
  int operator[](Element element) const { return count[static_cast<std::size_t>(element)]; }
  // The elements that occur fewer than `times` times, as their characters in
  // the walking order.
  std::string Below(int times) const;
};

// The element of a stroke count: 1-2 木, 3-4 火, 5-6 土, 7-8 金, 9-10 水,
// after taking 10 away while the count is above 10.
std::string StrokeElement(int strokes);

// The elements that occur fewer than twice in the text (non-overlapping,
// character-aligned counting), in the order 金 木 水 火 土.
std::string WeakElements(std::string_view elements);

namespace scan {

// The element of one character by the last line of the list that contains
// it, else by its stroke count; never empty.
std::string CharElement(const LineList& elementList, std::string_view ch);
// CharElement of every character of the name, concatenated.
std::string NameElements(const LineList& elementList, std::string_view name);
// WeakElements by repeated searches for each element character.
std::string WeakElements(std::string_view elements);

}  // namespace scan

class ElementService {
 public:
  explicit ElementService(LineList elementList);

  std::string CharElement(std::string_view ch) const;
  std::string NameElements(std::string_view name) const;
  // Appends NameElements of the name to `out`.
  void AppendNameElements(std::string_view name, std::string& out) const;

 private:
  // The precomputed element of a text that is one character (two bytes with a
  // lead byte first, or one byte); nullptr for any other text.
  const std::string* Precomputed(std::string_view ch) const;

  LineList elementList_;  // for texts that are not one character
  // Distinct element texts, indexed by the tables below.
  std::vector<std::string> texts_;
  // By the 16-bit code of a two-byte character (lead byte first).
  std::vector<std::uint32_t> doubleByte_;
  // By the byte of a one-byte character.
  std::vector<std::uint32_t> singleByte_;
};

}  // namespace tavrin
