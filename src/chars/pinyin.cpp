#include "chars/pinyin.h"

#include "chars/gbk.h"
#include "chars/strcon.h"

namespace tavrin {

namespace {

bool IsBlankOrControl(char byte) { return static_cast<unsigned char>(byte) <= 0x20; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlankOrControl(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlankOrControl(text.back())) text.remove_suffix(1);
  return text;
}

std::uint32_t ReadLittleEndian32(std::string_view bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  return value;
}

// The record text with its first letter upper-cased, as PinyinOf shows it.
void Capitalise(std::string& pinyin) {
  if (!pinyin.empty() && pinyin[0] >= 'a' && pinyin[0] <= 'z') pinyin[0] = static_cast<char>(pinyin[0] - 'a' + 'A');
}

// The walk of PinyinOf: `itemOf(ch, cell)` gives what stands for one double-byte
// character (cell is -1 outside the table).
template <typename ItemOf>
std::string PinyinWalk(std::string_view text, ItemOf itemOf) {
  std::string result;
  result.reserve(text.size() * 4);
  bool lastWasSyllable = false;
  for (std::size_t pos = 0; pos < text.size();) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (!IsGbkLeadByte(byte)) {
      if (lastWasSyllable) result += ' ';
      result += static_cast<char>(byte);
      lastWasSyllable = false;
      ++pos;
      continue;
    }
    const std::size_t len = pos + 1 < text.size() ? 2 : 1;
    const std::string_view ch = text.substr(pos, len);
    const int cell = len == 2 ? PinyinCell(byte, static_cast<unsigned char>(text[pos + 1])) : -1;
    result += ' ';
    itemOf(ch, cell, result);
    lastWasSyllable = true;
    pos += len;
  }
  return std::string(Trim(result));
}

}  // namespace

// ---------------------------------------------------------------------------
// Rules on looked-up pinyin

namespace pinyin_rules {

std::string LowerText(std::string_view text) { return AsciiLower(text); }

std::string ShownSyllable(std::string_view record) {
  std::string shown(record);
  Capitalise(shown);
  return shown;
}

std::string InitialOfPinyin(std::string_view lowerPinyin) {
  // The last of the three tests that holds wins.
  std::string initial;
  if (ContainsAligned(lowerPinyin, "zh")) initial = "zh";
  if (ContainsAligned(lowerPinyin, "ch")) initial = "ch";
  if (ContainsAligned(lowerPinyin, "sh")) initial = "sh";
  if (initial.empty() && !lowerPinyin.empty()) initial = std::string(lowerPinyin.substr(0, 1));
  return initial;
}

std::string FinalOfPinyin(std::string_view lowerPinyin, std::string_view initial) {
  std::string final = SharedStrings().TextAfter(initial, lowerPinyin);
  if (!final.empty()) final.pop_back();  // the tone digit
  return final;
}

int ToneOfPinyin(std::string_view pinyin) {
  if (pinyin.empty()) return 1;
  const char last = pinyin.back();
  return last >= '0' && last <= '9' ? last - '0' : 1;
}

bool GroupHolds(std::string_view line, std::string_view part, SoundRule rule) {
  if (part.empty()) return false;
  if (rule == SoundRule::kSubstring) return ContainsAligned(line, part);
  while (true) {
    const std::size_t comma = line.find(',');
    if (line.substr(0, comma) == part) return true;
    if (comma == std::string_view::npos) return false;
    line.remove_prefix(comma + 1);
  }
}

std::string InitialClashReason(std::string_view ia, std::string_view ib, std::string_view a, std::string_view b) {
  std::string reason;
  reason.append(ia).append("\r").append(ib).append("\r").append(a).append(b).append("声母为相似发音");
  return reason;
}

std::string FinalClashReason(std::string_view fa, std::string_view fb, std::string_view a, std::string_view b) {
  std::string reason;
  reason.append(fa).append("\r").append(fb).append(a).append(b).append("韵母为相似发音");
  return reason;
}

bool TonesAcceptable(const std::vector<int>& tones) {
  if (tones.size() == 2) return tones[0] != tones[1];
  if (tones.size() != 3) return true;
  // Allowed third tones by first and second tone, as bit sets (bit t for tone t).
  static constexpr unsigned kAllowed[4][4] = {
      {1u << 4, 1u << 1 | 1u << 4, 1u << 2 | 1u << 3, 1u << 1},
      {1u << 1 | 1u << 2 | 1u << 4, 1u << 1 | 1u << 3 | 1u << 4, 1u << 1 | 1u << 2 | 1u << 4, 1u << 2 | 1u << 3},
      {1u << 1 | 1u << 3 | 1u << 4, 1u << 1 | 1u << 2 | 1u << 3 | 1u << 4, 0, 1u << 1 | 1u << 2 | 1u << 3},
      {1u << 1 | 1u << 2 | 1u << 3 | 1u << 4, 1u << 1 | 1u << 4, 1u << 1 | 1u << 2 | 1u << 4, 1u << 2},
  };
  const int t1 = tones[0], t2 = tones[1], t3 = tones[2];
  if (t1 < 1 || t1 > 4) return true;
  if (t2 < 1 || t2 > 4 || t3 < 1 || t3 > 4) return false;
  return (kAllowed[t1 - 1][t2 - 1] >> t3 & 1u) != 0;
}

}  // namespace pinyin_rules

using namespace pinyin_rules;

// ---------------------------------------------------------------------------
// Reference scans over the raw file bytes

namespace scan {

bool ReadPinyinRecord(std::string_view pinyinIndex, int cell, std::string& pinyin) {
  if (cell < 0 || cell >= kPinyinCellCount) return false;
  const std::size_t entry = static_cast<std::size_t>(cell) * 4;
  if (entry + 8 > pinyinIndex.size()) return false;
  const std::size_t start = ReadLittleEndian32(pinyinIndex, entry);
  const std::size_t next = ReadLittleEndian32(pinyinIndex, entry + 4);
  // The record reads next - start bytes from start + 1; the last of them (at
  // `next`) is the separator of the following record and must lie in the buffer.
  if (next < start || next >= pinyinIndex.size()) return false;
  const std::string_view read = pinyinIndex.substr(start + 1, next - start);
  if (Trim(read).empty()) return false;
  pinyin.assign(read.substr(0, read.size() - 1));
  return true;
}

std::string PinyinOf(std::string_view pinyinIndex, std::string_view text) {
  return PinyinWalk(text, [&](std::string_view ch, int cell, std::string& out) {
    std::string pinyin;
    if (ReadPinyinRecord(pinyinIndex, cell, pinyin)) {
      Capitalise(pinyin);
      out += pinyin;
    } else {
      out += ch;
    }
  });
}

std::string InitialOf(std::string_view pinyinIndex, std::string_view ch) {
  return InitialOfPinyin(LowerText(PinyinOf(pinyinIndex, ch)));
}

std::string FinalOf(std::string_view pinyinIndex, std::string_view ch) {
  const std::string lower = LowerText(PinyinOf(pinyinIndex, ch));
  return FinalOfPinyin(lower, InitialOfPinyin(lower));
}

bool SoundCheck(std::string_view pinyinIndex, const LineList& initialGroups, const LineList& finalGroups,
                std::string_view a, std::string_view b, std::string* reason, SoundRule rule) {
  const std::string ia = InitialOf(pinyinIndex, a);
  const std::string ib = InitialOf(pinyinIndex, b);
  const std::string fa = FinalOf(pinyinIndex, a);
  const std::string fb = FinalOf(pinyinIndex, b);
  bool soundsApart = true;
  std::string lastClash;
  for (const std::string& line : initialGroups) {
    if (GroupHolds(line, ia, rule) && GroupHolds(line, ib, rule)) {
      soundsApart = false;
      lastClash = InitialClashReason(ia, ib, a, b);
    }
  }
  for (const std::string& line : finalGroups) {
    if (GroupHolds(line, fa, rule) && GroupHolds(line, fb, rule)) {
      soundsApart = false;
      lastClash = FinalClashReason(fa, fb, a, b);
    }
  }
  if (reason) *reason = std::move(lastClash);
  return soundsApart;
}

int ToneOf(std::string_view pinyinIndex, std::string_view ch) { return ToneOfPinyin(PinyinOf(pinyinIndex, ch)); }

bool ToneCheck(std::string_view pinyinIndex, std::string_view name) {
  const std::vector<std::string> chars = SplitChars(name);
  if (chars.size() != 2 && chars.size() != 3) return true;
  std::vector<int> tones;
  for (const std::string& ch : chars) tones.push_back(ToneOf(pinyinIndex, ch));
  return TonesAcceptable(tones);
}

}  // namespace scan

// ---------------------------------------------------------------------------
// Precomputed service

PinyinService::PinyinService(std::string_view pinyinIndex, LineList initialGroups, LineList finalGroups)
    : initialGroups_(std::move(initialGroups)), finalGroups_(std::move(finalGroups)) {
  masksUsable_ = initialGroups_.size() <= 32 && finalGroups_.size() <= 32;
  cells_.resize(kPinyinCellCount);
  for (auto* masks : {initialMasks_, finalMasks_}) {
    for (int rule = 0; rule < 2; ++rule) masks[rule].resize(kPinyinCellCount);
  }
  tones_.resize(kPinyinCellCount);
  std::string record;
  for (int cell = 0; cell < kPinyinCellCount; ++cell) {
    CellSounds& sounds = cells_[static_cast<std::size_t>(cell)];
    if (scan::ReadPinyinRecord(pinyinIndex, cell, record)) {
      sounds.item = record;
      Capitalise(sounds.item);
    } else {
      sounds.item = {static_cast<char>(0xA1 + cell / 94), static_cast<char>(0xA1 + cell % 94)};
    }
    // PinyinOf of the character alone is its item, trimmed.
    const std::string_view pinyin = Trim(sounds.item);
    const std::string lower = LowerText(pinyin);
    sounds.initial = InitialOfPinyin(lower);
    sounds.final = FinalOfPinyin(lower, sounds.initial);
    tones_[static_cast<std::size_t>(cell)] = static_cast<std::uint8_t>(ToneOfPinyin(pinyin));
    if (masksUsable_) {
      for (const SoundRule rule : {SoundRule::kSubstring, SoundRule::kWholeItem}) {
        const auto r = static_cast<std::size_t>(rule);
        initialMasks_[r][static_cast<std::size_t>(cell)] = GroupMask(initialGroups_, sounds.initial, rule);
        finalMasks_[r][static_cast<std::size_t>(cell)] = GroupMask(finalGroups_, sounds.final, rule);
      }
    }
  }
}

int PinyinService::CellOf(std::string_view text) {
  if (text.size() != 2) return -1;
  return PinyinCell(static_cast<unsigned char>(text[0]), static_cast<unsigned char>(text[1]));
}

std::uint32_t PinyinService::GroupMask(const LineList& groups, std::string_view part, SoundRule rule) {
  std::uint32_t mask = 0;
  for (std::size_t i = 0; i < groups.size(); ++i) {
    if (GroupHolds(groups[i], part, rule)) mask |= 1u << i;
  }
  return mask;
}

std::string PinyinService::PinyinOf(std::string_view text) const {
  return PinyinWalk(text, [&](std::string_view ch, int cell, std::string& out) {
    out += cell >= 0 ? std::string_view(cells_[static_cast<std::size_t>(cell)].item) : ch;
  });
}

std::string PinyinService::InitialOf(std::string_view ch) const {
  const int cell = CellOf(ch);
  if (cell >= 0) return cells_[static_cast<std::size_t>(cell)].initial;
  return InitialOfPinyin(LowerText(PinyinOf(ch)));
}

std::string PinyinService::FinalOf(std::string_view ch) const {
  const int cell = CellOf(ch);
  if (cell >= 0) return cells_[static_cast<std::size_t>(cell)].final;
  const std::string lower = LowerText(PinyinOf(ch));
  return FinalOfPinyin(lower, InitialOfPinyin(lower));
}

namespace {

// The result of a sound check and its reason text. The finals are examined
// after the initials, so a clash of finals is the one reported.
bool ReportClash(bool initialsClash, bool finalsClash, std::string_view ia, std::string_view ib, std::string_view fa,
                 std::string_view fb, std::string_view a, std::string_view b, std::string* reason) {
  if (reason) {
    if (finalsClash) {
      *reason = FinalClashReason(fa, fb, a, b);
    } else if (initialsClash) {
      *reason = InitialClashReason(ia, ib, a, b);
    } else {
      reason->clear();
    }
  }
  return !initialsClash && !finalsClash;
}

}  // namespace

bool PinyinService::SoundCheck(SoundRule rule, std::string_view a, std::string_view b, std::string* reason) const {
  const int ca = CellOf(a);
  const int cb = CellOf(b);
  if (ca < 0 || cb < 0 || !masksUsable_) {
    return SoundCheckTexts(rule, a, b, InitialOf(a), InitialOf(b), FinalOf(a), FinalOf(b), reason);
  }
  const auto ia = static_cast<std::size_t>(ca);
  const auto ib = static_cast<std::size_t>(cb);
  const auto r = static_cast<std::size_t>(rule);
  // A line holds both parts exactly when both masks have its bit.
  const bool initialsClash = (initialMasks_[r][ia] & initialMasks_[r][ib]) != 0;
  const bool finalsClash = (finalMasks_[r][ia] & finalMasks_[r][ib]) != 0;
  return ReportClash(initialsClash, finalsClash, cells_[ia].initial, cells_[ib].initial, cells_[ia].final,
                     cells_[ib].final, a, b, reason);
}

PinyinService::Sounds PinyinService::SoundsOf(std::string_view text, std::string_view pinyin) const {
  Sounds sounds;
  sounds.text = std::string(text);
  const std::string lower = LowerText(Trim(pinyin));
  sounds.initial = InitialOfPinyin(lower);
  sounds.final = FinalOfPinyin(lower, sounds.initial);
  if (!masksUsable_) return sounds;  // checked line by line
  for (const SoundRule rule : {SoundRule::kSubstring, SoundRule::kWholeItem}) {
    const auto r = static_cast<std::size_t>(rule);
    sounds.initialMasks[r] = GroupMask(initialGroups_, sounds.initial, rule);
    sounds.finalMasks[r] = GroupMask(finalGroups_, sounds.final, rule);
  }
  return sounds;
}

bool PinyinService::SoundCheck(SoundRule rule, const Sounds& a, std::string_view b, std::string* reason) const {
  const int cb = CellOf(b);
  if (cb < 0 || !masksUsable_) {
    return SoundCheckTexts(rule, a.text, b, a.initial, InitialOf(b), a.final, FinalOf(b), reason);
  }
  const auto ib = static_cast<std::size_t>(cb);
  const auto r = static_cast<std::size_t>(rule);
  const bool initialsClash = (a.initialMasks[r] & initialMasks_[r][ib]) != 0;
  const bool finalsClash = (a.finalMasks[r] & finalMasks_[r][ib]) != 0;
  return ReportClash(initialsClash, finalsClash, a.initial, cells_[ib].initial, a.final, cells_[ib].final, a.text, b,
                     reason);
}

bool PinyinService::SoundCheckTexts(SoundRule rule, std::string_view a, std::string_view b, std::string_view ia,
                                    std::string_view ib, std::string_view fa, std::string_view fb,
                                    std::string* reason) const {
  bool initialsClash = false;
  for (const std::string& line : initialGroups_) {
    initialsClash |= GroupHolds(line, ia, rule) && GroupHolds(line, ib, rule);
  }
  bool finalsClash = false;
  for (const std::string& line : finalGroups_) finalsClash |= GroupHolds(line, fa, rule) && GroupHolds(line, fb, rule);
  return ReportClash(initialsClash, finalsClash, ia, ib, fa, fb, a, b, reason);
}

int PinyinService::ToneOf(std::string_view ch) const {
  const int cell = CellOf(ch);
  if (cell >= 0) return tones_[static_cast<std::size_t>(cell)];
  return ToneOfPinyin(PinyinOf(ch));
}

bool PinyinService::ToneCheck(std::string_view name) const {
  std::vector<int> tones;
  for (std::size_t pos = 0; pos < name.size();) {
    const std::size_t len = CharLengthAt(name, pos);
    if (tones.size() == 3) return true;  // four characters or more
    tones.push_back(ToneOf(name.substr(pos, len)));
    pos += len;
  }
  return TonesAcceptable(tones);
}

}  // namespace tavrin
