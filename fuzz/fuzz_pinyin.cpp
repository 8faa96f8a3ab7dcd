// Fuzzes the pinyin index "yq.dat" and the sound rules read from it: the
// precomputed service must answer every query exactly as the reference scans
// over the raw bytes, under both sound rules, for the shipped file, the
// shipped file with a stretch of bytes overwritten, a fuzzed file of its own
// and no file at all; the sound groups may be fuzzed too.
//
// Fields (fuzz_input.h): flags, text A, text B, file bytes or patch (three
// bytes of offset, then the bytes to write there), initial groups, final
// groups (lines; used when both flag bits 0x30 are set).
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "chars/pinyin.h"
#include "core/lines.h"
#include "core/startup.h"
#include "fuzz_input.h"

namespace {

using tavrin::fuzz::Check;

const std::string& ShippedIndex() {
  static const std::string bytes = tavrin::fuzz::ShippedFile(tavrin::kPinyinFile);
  return bytes;
}

std::string PatchedIndex(std::string_view patch) {
  std::string bytes = ShippedIndex();
  if (patch.size() < 3) return bytes;
  const std::size_t offset = (static_cast<unsigned char>(patch[0]) | static_cast<unsigned char>(patch[1]) << 8 |
                              static_cast<std::size_t>(static_cast<unsigned char>(patch[2])) << 16) %
                             bytes.size();
  patch.remove_prefix(3);
  bytes.replace(offset, std::min(patch.size(), bytes.size() - offset), patch);
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  namespace scan = tavrin::scan;
  using tavrin::SoundRule;
  const tavrin::fuzz::FuzzInput input(data, size);
  const unsigned flags = input.Flags(0);
  const std::string_view a = input.Field(1);
  const std::string_view b = input.Field(2);

  std::string index;
  // The low nibble picks the file: mostly the shipped one, whose service is
  // built once, as the others cost a build of the service per input.
  enum { kShipped, kPatched, kFuzzed, kNone } file = kShipped;
  switch (flags & 0x0F) {
    case 10:
    case 11:
    case 12:
      file = kPatched;
      index = PatchedIndex(input.Field(3));
      break;
    case 13:
      file = kFuzzed;
      index = input.Field(3);
      break;
    case 14:
      file = kNone;
      break;
    default:
      index = ShippedIndex();
      break;
  }
  tavrin::LineList initials = {"b,p,m,f", "d,t,n,l", "g,k,h", "j,q,x,zh,ch,sh,r,z,c,s"};
  tavrin::LineList finals = {"a,ai,ao,an,ang,e,er,ei,en,eng,o,ou,ong", "i,ia,ie,iao,iou,ian,in,iang,ing,iong",
                             "v,ue,uan,un", "u,ua,uo,uai,uei,uan,uen,uang,ueng"};
  const bool fuzzedGroups = (flags & 0x30) == 0x30;
  if (fuzzedGroups) {
    initials = tavrin::SplitLines(input.Field(4));
    finals = tavrin::SplitLines(input.Field(5));
  }

  // Building the service walks every cell of the table; the shipped file
  // with the shipped groups is built once.
  static const tavrin::PinyinService shipped(ShippedIndex(), initials, finals);
  std::optional<tavrin::PinyinService> built;
  if (file != kShipped || fuzzedGroups) built.emplace(index, initials, finals);
  const tavrin::PinyinService& service = built ? *built : shipped;
  for (const std::string_view text : {a, b}) {
    Check(service.PinyinOf(text) == scan::PinyinOf(index, text));
    Check(service.InitialOf(text) == scan::InitialOf(index, text));
    Check(service.FinalOf(text) == scan::FinalOf(index, text));
    Check(service.ToneOf(text) == scan::ToneOf(index, text));
    Check(service.ToneCheck(text) == scan::ToneCheck(index, text));
    std::string pinyin;
    for (std::size_t pos = 0; pos + 1 < text.size(); ++pos) {
      (void)scan::ReadPinyinRecord(
          index, tavrin::PinyinCell(static_cast<unsigned char>(text[pos]), static_cast<unsigned char>(text[pos + 1])),
          pinyin);
    }
  }
  for (const SoundRule rule : {SoundRule::kSubstring, SoundRule::kWholeItem}) {
    for (const auto& [x, y] : {std::pair(a, b), std::pair(b, a)}) {
      std::string serviceReason = "unset";
      std::string scanReason = "unset";
      const bool apart = service.SoundCheck(rule, x, y, &serviceReason);
      Check(apart == scan::SoundCheck(index, initials, finals, x, y, &scanReason, rule));
      Check(serviceReason == scanReason);
      Check(apart == serviceReason.empty());
      Check(apart == service.SoundCheck(rule, x, y));
    }
  }
  return 0;
}
