// The five elements as the naming conventions use them: the cycles of
// generating (木 generates 火, 火 土, 土 金, 金 水, 水 木) and overcoming (木
// overcomes 土, 土 水, 水 火, 火 金, 金 木), and the element of a grid number.
#pragma once

#include <optional>
#include <string_view>

#include "chars/elements.h"

namespace tavrin::conventions {

// The program's elements, walked in the order 金 木 水 火 土; their
// characters come from ElementChar (chars/elements.h).
using tavrin::Element;
inline constexpr const auto& kElements = kElementOrder;
inline constexpr int Index(Element e) { return static_cast<int>(e); }

// The element a GBK text starts with, if it starts with one of the five characters.
std::optional<Element> ElementOf(std::string_view text);

// The element that `e` generates / overcomes.
Element Generated(Element e);
Element Overcome(Element e);
// The element that generates / overcomes `e`.
Element Generator(Element e);
Element Overcomer(Element e);

// The element of a grid number by its last digit: 1-2 木, 3-4 火, 5-6 土,
// 7-8 金, 9-0 水.
Element GridElement(int number);

}  // namespace tavrin::conventions
