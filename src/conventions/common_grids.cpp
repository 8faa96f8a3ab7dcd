#include "conventions/common_grids.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace tavrin::conventions {
namespace {

// The compound surnames of the 百家姓 still in use, and a few more that are.
constexpr std::array<std::string_view, 61> kCompoundSurnames{
    "万俟", "司马", "上官", "欧阳", "夏侯", "诸葛", "闻人", "东方", "赫连", "皇甫", "尉迟", "公羊", "澹台",
    "公冶", "宗政", "濮阳", "淳于", "单于", "太叔", "申屠", "公孙", "仲孙", "轩辕", "令狐", "钟离", "宇文",
    "长孙", "慕容", "鲜于", "闾丘", "司徒", "司空", "亓官", "司寇", "子车", "颛孙", "端木", "巫马", "公西",
    "漆雕", "乐正", "壤驷", "公良", "拓跋", "夹谷", "宰父", "谷梁", "段干", "百里", "东郭", "南门", "呼延",
    "羊舌", "微生", "梁丘", "左丘", "东门", "西门", "南宫", "第五", "独孤"};

}  // namespace

int SurnameLength(std::string_view name) {
  if (name.size() < 6) return 1;  // a compound surname needs a given name after it
  const std::string_view head = name.substr(0, 4);
  return std::find(kCompoundSurnames.begin(), kCompoundSurnames.end(), head) != kCompoundSurnames.end() ? 2 : 1;
}

std::optional<CommonGrids> GridsFromStrokes(const std::vector<int>& s, int surnameLength) {
  const int given = static_cast<int>(s.size()) - surnameLength;
  if (surnameLength < 1 || surnameLength > 2 || given < 1 || given > 2) return std::nullopt;
  if (std::any_of(s.begin(), s.end(), [](int n) { return n < 1; })) return std::nullopt;
  CommonGrids g;
  g.total = std::accumulate(s.begin(), s.end(), 0);
  if (surnameLength == 1) {
    g.heaven = s[0] + 1;
    g.person = s[0] + s[1];
    g.earth = given == 2 ? s[1] + s[2] : s[1] + 1;
    g.outer = given == 2 ? s[2] + 1 : 2;
  } else {
    g.heaven = s[0] + s[1];
    g.person = s[1] + s[2];
    g.earth = given == 2 ? s[2] + s[3] : s[2] + 1;
    g.outer = given == 2 ? s[0] + s[3] : s[0] + 1;
  }
  return g;
}

}  // namespace tavrin::conventions
