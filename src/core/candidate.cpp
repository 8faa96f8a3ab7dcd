#include "core/candidate.h"

#include <array>

#include "core/report.h"

namespace tavrin {

namespace {

// By Origin.
constexpr std::array<std::string_view, 11> kOriginCaptions = {
    "",         "姓名设置", "二字名", "三字名", "部首有五行", "系统推荐名", "系统推荐名二",
    "姓名分析", "诗歌取名", "典籍",   "名库",
};
static_assert(kOriginCaptions.size() == static_cast<std::size_t>(Origin::kCurated) + 1);

}  // namespace

std::string_view OriginCaption(Origin origin) { return kOriginCaptions[static_cast<std::size_t>(origin)]; }

std::string CandidateText(const Candidate& candidate) {
  if (!candidate.scored) return candidate.fullName;
  std::string text = candidate.fullName;
  text += '(';
  text += std::to_string(candidate.score);
  text += ')';
  return text;
}

std::string ReportRow::Cell(std::size_t column) const {
  switch (column) {
    case kName:
      return candidate.fullName;
    case kScore:
      return std::to_string(candidate.score);
    case kBirthElements:
      return birthElements;
    case kNameElements:
      return scored.nameElements;
    case kCombined:
      return birthElements + scored.nameElements;
    case kGrids:
      return FormatScoreText(scored);
    default:
      return {};
  }
}

}  // namespace tavrin
