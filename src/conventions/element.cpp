#include "conventions/element.h"

#include <array>

namespace tavrin::conventions {
namespace {

// The generating cycle, each element followed by the one it generates.
constexpr std::array<Element, 5> kCycle{Element::kWood, Element::kFire, Element::kEarth, Element::kMetal,
                                        Element::kWater};

int CyclePosition(Element e) {
  for (int i = 0; i < 5; ++i) {
    if (kCycle[i] == e) return i;
  }
  return 0;
}

Element Step(Element e, int steps) { return kCycle[(CyclePosition(e) + steps) % 5]; }

}  // namespace

std::optional<Element> ElementOf(std::string_view text) {
  for (Element e : kElements) {
    if (text.substr(0, 2) == ElementChar(e)) return e;
  }
  return std::nullopt;
}

Element Generated(Element e) { return Step(e, 1); }
Element Overcome(Element e) { return Step(e, 2); }
Element Overcomer(Element e) { return Step(e, 3); }
Element Generator(Element e) { return Step(e, 4); }

Element GridElement(int number) {
  static constexpr std::array<Element, 10> kByDigit{Element::kWater, Element::kWood,  Element::kWood,  Element::kFire,
                                                    Element::kFire,  Element::kEarth, Element::kEarth, Element::kMetal,
                                                    Element::kMetal, Element::kWater};
  const int digit = number % 10;
  return kByDigit[digit < 0 ? -digit : digit];
}

}  // namespace tavrin::conventions
