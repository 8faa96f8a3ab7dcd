#include "chars/elements.h"

#include <array>
#include <cstdint>
#include <map>

#include "chars/gbk.h"
#include "chars/strcon.h"
#include "chars/strokes.h"

namespace tavrin {

namespace {

// StrokeCount of each double-byte code, by code: it depends on the built-in
// tables alone, so it is worked out once.
const std::vector<std::int16_t>& DoubleByteStrokes() {
  static const std::vector<std::int16_t> table =
      TableOfDoubleByteCodes<std::int16_t>([](const std::string& pair) { return StrokeCount(pair); });
  return table;
}

constexpr std::array<std::string_view, kElementOrder.size()> kElementChars = {"金", "木", "水", "火", "土"};
constexpr std::string_view kHeadingMark = "的字有";

bool IsHeading(std::string_view line) { return ContainsAligned(line, kHeadingMark); }

// The element text of a heading: after the first “, cut before the first ” behind it.
std::string HeadingElement(std::string_view source) { return TextBefore("”", TextAfter("“", source)); }

// The line whose element text a matching line `index` takes: itself when it
// is a heading, else the line before it; nullptr for a first line that is not
// a heading, which is passed over.
const std::string* SourceOf(const LineList& list, std::size_t index) {
  if (IsHeading(list[index])) return &list[index];
  return index == 0 ? nullptr : &list[index - 1];
}

}  // namespace

std::string StrokeElement(int strokes) {
  int n = strokes;
  while (n > 10) n -= 10;
  if (n <= 2) return "木";
  if (n <= 4) return "火";
  if (n <= 6) return "土";
  if (n <= 8) return "金";
  return "水";
}

std::string_view ElementChar(Element element) { return kElementChars[static_cast<std::size_t>(element)]; }

std::optional<Element> ElementOfChar(std::string_view ch) {
  for (const Element element : kElementOrder) {
    if (ch == ElementChar(element)) return element;
  }
  return std::nullopt;
}

ElementCounts ElementCounts::Of(std::string_view elements) {
  // Non-overlapping aligned occurrences of a double-byte character are the
  // characters of the text equal to it, so one walk counts all five.
  ElementCounts counts;
  for (std::size_t pos = 0; pos < elements.size();) {
    const std::size_t len = CharLengthAt(elements, pos);
    if (len == 2) {
      for (std::size_t e = 0; e < kElementChars.size(); ++e) {
        if (elements[pos] == kElementChars[e][0] && elements[pos + 1] == kElementChars[e][1]) ++counts.count[e];
      }
    }
    pos += len;
  }
  return counts;
}

std::string ElementCounts::Below(int times) const {
  std::string elements;
  for (const Element element : kElementOrder) {
    if ((*this)[element] < times) elements += ElementChar(element);
  }
  return elements;
}

std::string WeakElements(std::string_view elements) { return ElementCounts::Of(elements).Below(2); }

namespace scan {

std::string CharElement(const LineList& elementList, std::string_view ch) {
  std::string result;
  // An empty text is contained in no line, as an empty marker is never found.
  for (std::size_t i = 0; i < elementList.size() && !ch.empty(); ++i) {
    if (!ContainsAligned(elementList[i], ch)) continue;
    if (const std::string* source = SourceOf(elementList, i)) result = HeadingElement(*source);
  }
  if (result.empty()) result = StrokeElement(StrokeCount(ch));
  return result;
}

std::string NameElements(const LineList& elementList, std::string_view name) {
  std::string elements;
  for (const std::string& ch : SplitChars(name)) elements += CharElement(elementList, ch);
  return elements;
}

std::string WeakElements(std::string_view elements) {
  std::string weak;
  for (std::string_view element : kElementChars) {
    int count = 0;
    for (std::size_t at = FindAligned(elements, element); at != std::string_view::npos;
         at = FindAligned(elements, element, at + element.size())) {
      ++count;
    }
    if (count < 2) weak += element;
  }
  return weak;
}

}  // namespace scan

namespace {

constexpr std::uint32_t kNoLine = static_cast<std::uint32_t>(-1);

// The last line of the list that contains each character (kNoLine for none),
// by its code.
struct LastLines {
  std::vector<std::uint32_t> doubleByte = std::vector<std::uint32_t>(0x10000, kNoLine);
  std::vector<std::uint32_t> singleByte = std::vector<std::uint32_t>(0x100, kNoLine);
};

// Found by walking every line once along its character boundaries: a
// one-character text is contained at a boundary exactly where the character
// standing there starts with it (one byte) or is it (two bytes).
LastLines LastLinesOfChars(const LineList& list) {
  LastLines last;
  for (std::size_t i = 0; i < list.size(); ++i) {
    const std::string& line = list[i];
    for (std::size_t pos = 0; pos < line.size();) {
      const std::size_t len = CharLengthAt(line, pos);
      const auto lead = static_cast<unsigned char>(line[pos]);
      last.singleByte[lead] = static_cast<std::uint32_t>(i);
      if (len == 2) {
        last.doubleByte[GbkCode(lead, static_cast<unsigned char>(line[pos + 1]))] = static_cast<std::uint32_t>(i);
      }
      pos += len;
    }
  }
  return last;
}

}  // namespace

ElementService::ElementService(LineList elementList)
    : elementList_(std::move(elementList)), doubleByte_(0x10000), singleByte_(0x100) {
  const LastLines last = LastLinesOfChars(elementList_);

  // The element text each line sets (by its id in the pool of distinct
  // texts), and the ids of the stroke-count elements.
  std::map<std::string, std::uint32_t> ids;
  auto idOf = [&](const std::string& text) {
    const auto [it, added] = ids.try_emplace(text, static_cast<std::uint32_t>(texts_.size()));
    if (added) texts_.push_back(text);
    return it->second;
  };
  constexpr std::uint32_t kNoText = static_cast<std::uint32_t>(-1);
  std::vector<std::uint32_t> lineSets(elementList_.size(), kNoText);
  for (std::size_t i = 0; i < elementList_.size(); ++i) {
    const std::string* source = SourceOf(elementList_, i);
    const std::string element = source ? HeadingElement(*source) : std::string();
    if (!element.empty()) lineSets[i] = idOf(element);
  }
  std::array<std::uint32_t, 31> strokeIds{};
  for (int strokes = 0; strokes <= 30; ++strokes)
    strokeIds[static_cast<std::size_t>(strokes)] = idOf(StrokeElement(strokes));
  // The stroke count is only worked out for a character no line sets.
  auto resolve = [&](std::uint32_t lastLine, auto strokesOf) {
    if (lastLine != kNoLine && lineSets[lastLine] != kNoText) return lineSets[lastLine];
    const int strokes = strokesOf();
    return strokes >= 0 && strokes <= 30 ? strokeIds[static_cast<std::size_t>(strokes)] : idOf(StrokeElement(strokes));
  };
  const std::vector<std::int16_t>& doubleStrokes = DoubleByteStrokes();
  for (unsigned lead = 0; lead < 0x100; ++lead) {
    singleByte_[lead] =
        resolve(last.singleByte[lead], [&] { return StrokeCount(std::string(1, static_cast<char>(lead))); });
    if (!IsGbkLeadByte(static_cast<unsigned char>(lead))) continue;
    for (unsigned trail = 0; trail < 0x100; ++trail) {
      const std::uint16_t code = GbkCode(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
      doubleByte_[code] = resolve(last.doubleByte[code], [&] { return static_cast<int>(doubleStrokes[code]); });
    }
  }
}

const std::string* ElementService::Precomputed(std::string_view ch) const {
  if (ch.size() == 1) return &texts_[singleByte_[static_cast<unsigned char>(ch[0])]];
  if (ch.size() == 2 && IsGbkLeadByte(static_cast<unsigned char>(ch[0]))) {
    return &texts_[doubleByte_[GbkCode(static_cast<unsigned char>(ch[0]), static_cast<unsigned char>(ch[1]))]];
  }
  return nullptr;
}

std::string ElementService::CharElement(std::string_view ch) const {
  if (const std::string* element = Precomputed(ch)) return *element;
  return scan::CharElement(elementList_, ch);
}

void ElementService::AppendNameElements(std::string_view name, std::string& out) const {
  // Every character of a name is one or two bytes, so each one is precomputed.
  for (std::size_t pos = 0; pos < name.size();) {
    const std::size_t len = CharLengthAt(name, pos);
    out += *Precomputed(name.substr(pos, len));
    pos += len;
  }
}

std::string ElementService::NameElements(std::string_view name) const {
  std::string elements;
  AppendNameElements(name, elements);
  return elements;
}

}  // namespace tavrin
