#include <gtest/gtest.h>

#include <string>

#include "chars/gbk.h"
#include "conventions/kangxi.h"

namespace tavrin::conventions {
namespace {

struct Expected {
  const char* what;
  const char* chars;  // GBK characters, each followed by its count and a space
};

// 康熙 counts as the naming books give them. Each entry of `chars` is one
// character and its count, separated by spaces: "王4 李7 ...".
const Expected kCounts[] = {
    {"the hundred commonest surnames",
     "王4 李7 张11 刘15 陈16 杨13 黄12 赵14 吴7 周8 徐10 孙10 马10 朱6 胡11 郭15 何7 林8 高10 罗20 "
     "郑19 梁11 谢17 宋7 唐10 许11 韩17 邓19 冯12 曹11 彭12 曾12 肖9 田5 董15 潘16 袁10 蔡17 蒋17 余7 "
     "于3 杜7 叶15 程12 魏18 苏22 吕7 丁2 任6 卢16 姚9 沈8 钟17 姜9 崔11 谭19 陆16 范11 汪8 廖14 "
     "石5 金8 韦9 贾13 夏10 付5 方4 邹17 熊14 白5 孟8 秦10 邱12 侯9 江7 尹4 薛19 闫11 段9 雷13 "
     "龙16 黎15 史5 陶16 贺12 毛4 郝14 顾21 龚22 邵12 万15 覃12 武8 钱16 戴18 严20 莫13 孔4 向6 汤13 "},
    {"radical forms written in full",
     "江7 浩11 清12 涵12 洁16 芳10 英11 萱15 莉13 阳17 陈16 陆16 郭15 邓19 郑19 怡9 情12 恒10 "
     "振11 持10 独17 祥11 福14 祺13 裕13 迪12 道16 远17 罗20 "},
    {"王 and 玉", "王4 玉5 玲10 琳13 珍10 瑶15 琪13 瑞14 "},
    {"月 as moon and as flesh", "月4 肉6 朋8 明8 朗11 期12 服8 胡11 育10 能12 肯10 "},
    {"radicals and radical forms standing alone", "水4 氵3 心4 忄3 手4 扌3 示5 衣6 艸6 辵7 阜8 邑7 "},
    {"radicals counted as the dictionary counts them, not by the modern stroke order", "鼎13 鬼10 瓦5 龟16 龜16 "},
    {"numerals by their strokes", "一1 二2 三3 四5 五4 六4 七2 八2 九2 十2 百6 千3 万15 "},
    {"characters whose Unihan residual is one short", "斌12 政9 泰10 紫12 露21 毓14 滕15 兴16 "},
    {"traditional forms", "譽21 誉21 張11 龍16 鳳14 凤14 華14 华14 "},
    {"surnames whose traditional form is not the usual one", "后6 干3 岳8 郁13 朴6 党10 游13 涂11 占5 台5 里7 采8 "},
    {"compound surnames",
     "欧15 阳17 诸16 葛15 司5 马10 上3 官8 东8 方4 皇9 甫7 尉11 迟19 公4 孙10 慕15 容10 长8 宇6 文4 "
     "徒10 侯9 轩10 辕17 令5 狐9 端14 木4 孤8 南9 宫10 西6 门8 百6 里7 呼8 延7 澹17 台5 离19 闻14 "
     "人2 赫14 连14 俟9 "},
};

TEST(Kangxi, CountsOfTheNamingBooks) {
  for (const Expected& e : kCounts) {
    SCOPED_TRACE(e.what);
    const std::string list = e.chars;
    for (std::size_t pos = 0; pos < list.size();) {
      const std::size_t end = list.find(' ', pos);
      const std::string ch = list.substr(pos, 2);
      const int want = std::stoi(list.substr(pos + 2, end - pos - 2));
      EXPECT_EQ(KangxiStrokes(ch), want) << list.substr(pos, end - pos);
      pos = end + 1;
    }
  }
}

TEST(Kangxi, NumeralValuesAndNonHanzi) {
  const struct {
    const char* text;
    int strokes;
    int values;
  } cases[] = {
      {"一", 1, 1},   {"四", 5, 4},   {"五", 4, 5},   {"六", 4, 6},     {"七", 2, 7},
      {"八", 2, 8},   {"九", 2, 9},   {"十", 2, 10},  {"百", 6, 6},     {"千", 3, 3},
      {"万", 15, 15}, {"萬", 15, 15}, {"零", 13, 13}, {"张三", 11, 11},  // only the first character counts
      {"", 0, 0},     {"A", 0, 0},    {"，", 0, 0},   {"\x81", 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(KangxiStrokes(c.text), c.strokes);
    EXPECT_EQ(KangxiStrokes(c.text, Numerals::kValues), c.values);
  }
}

}  // namespace
}  // namespace tavrin::conventions
