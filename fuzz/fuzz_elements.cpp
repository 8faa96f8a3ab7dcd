// Fuzzes the element list "dzwx.dat" and the element of a character: the
// precomputed service must give what the reference scan of the list gives,
// for every character and text, and an element text is never empty.
//
// Fields (fuzz_input.h): flags, the list (used when flag 0x01 is set; else
// the shipped list), then any number of texts to classify.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "chars/elements.h"
#include "chars/gbk.h"
#include "core/lines.h"
#include "core/startup.h"
#include "fuzz_input.h"

namespace {

using tavrin::fuzz::Check;

const tavrin::LineList& ShippedList() {
  static const tavrin::LineList lines = tavrin::SplitLines(tavrin::fuzz::ShippedFile(tavrin::kCharElementFile));
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  namespace scan = tavrin::scan;
  const tavrin::fuzz::FuzzInput input(data, size);
  const bool fuzzedList = input.Flags(0) & 1;
  // The service looks at every double-byte code when it is built; the
  // shipped list's service is built once.
  static const tavrin::ElementService shipped(ShippedList());
  std::optional<tavrin::ElementService> built;
  const tavrin::LineList list = fuzzedList ? tavrin::SplitLines(input.Field(1)) : ShippedList();
  if (fuzzedList) built.emplace(list);
  const tavrin::ElementService& service = built ? *built : shipped;

  std::string all;
  for (std::size_t i = 2; i < input.FieldCount(); ++i) {
    const std::string_view text = input.Field(i);
    const std::string elements = service.NameElements(text);
    Check(elements == scan::NameElements(list, text));
    std::string appended = "x";
    service.AppendNameElements(text, appended);
    Check(appended == "x" + elements);
    for (const std::string& ch : tavrin::SplitChars(text)) {
      const std::string element = service.CharElement(ch);
      Check(!element.empty() && element == scan::CharElement(list, ch));
    }
    Check(service.CharElement(text) == scan::CharElement(list, text));
    Check(tavrin::WeakElements(text) == scan::WeakElements(text));
    Check(tavrin::WeakElements(elements) == scan::WeakElements(elements));
    all += elements;
  }
  Check(tavrin::WeakElements(all) == scan::WeakElements(all));
  return 0;
}
