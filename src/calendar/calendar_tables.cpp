#include "calendar/calendar_tables.h"

#include <algorithm>
#include <array>
#include <bit>

#include "calendar/calendar_index.h"

namespace tavrin {

namespace {

#include "calendar_tables.inc"

static_assert(kTableFirstYear == kCalendarFirstYear && kTableLastYear == kCalendarTableLastYear &&
              kTableYears == kCalendarTableYears && kExtraYear == kCalendarDataLastYear);

constexpr std::uint16_t MonthWord(int year) {
  return year == kExtraYear ? kMonthSizeExtraYear : kMonthSizeTable[year - kTableFirstYear];
}

constexpr int LeapNibble(int year) {
  if (year == kExtraYear) return kLeapMonthExtraYear;
  const int i = year - kTableFirstYear;
  const std::uint8_t byte = kLeapMonthTable[i / 2];
  return i % 2 == 0 ? byte >> 4 : byte & 0x0F;
}

// Bit slots (months, the leap month included) that come before month m.
constexpr int SlotsBefore(int leap, int month) { return month - 1 + (leap != 0 && leap < month ? 1 : 0); }

constexpr int DaysOfSlots(std::uint16_t word, int slots) {
  if (slots == 0) return 0;
  const std::uint16_t top = static_cast<std::uint16_t>(word >> (16 - slots));
  return 29 * slots + std::popcount(top);
}

constexpr int YearDays(int year) {
  const int leap = LeapNibble(year);
  return DaysOfSlots(MonthWord(year), leap ? 13 : 12);
}

constexpr int kDataYears = kCalendarDataLastYear - kCalendarFirstYear + 1;

// Days from lunar 1900/1/1 to the first day of each data year, and past the last.
constexpr std::array<std::int32_t, kDataYears + 1> kYearStart = [] {
  std::array<std::int32_t, kDataYears + 1> starts{};
  for (int i = 0; i < kDataYears; ++i) starts[i + 1] = starts[i] + YearDays(kCalendarFirstYear + i);
  return starts;
}();

// Lunar 1900 opens on day 32 (1900-01-31); the real lunar 2056 ends on day 57379 (2057-02-03).
static_assert(kYearStart[kCalendarTableYears] == 57379 - 32 + 1);

// Only for years with data.
std::uint8_t SolarTermByte(int year, int month) {
  if (year == kExtraYear) return kSolarTermExtraYear[month - 1];
  return kSolarTermTable[(year - kTableFirstYear) * 12 + month - 1];
}

constexpr std::string_view kStemNames[10] = {"甲", "乙", "丙", "丁", "戊", "己", "庚", "辛", "壬", "癸"};
constexpr std::string_view kBranchNames[12] = {"子", "丑", "寅", "卯", "辰", "巳", "午", "未", "申", "酉", "戌", "亥"};
constexpr std::string_view kAnimalNames[12] = {"鼠", "牛", "虎", "兔", "龙", "蛇", "马", "羊", "猴", "鸡", "狗", "猪"};
constexpr std::string_view kSolarTermNames[24] = {"小寒", "大寒", "立春", "雨水", "惊蛰", "春分", "清明", "谷雨",
                                                  "立夏", "小满", "芒种", "夏至", "小暑", "大暑", "立秋", "处暑",
                                                  "白露", "秋分", "寒露", "霜降", "立冬", "小雪", "大雪", "冬至"};
constexpr std::string_view kConstellationNames[12] = {"白羊座", "金牛座", "双子座", "巨蟹座", "狮子座", "处女座",
                                                      "天秤座", "天蝎座", "射手座", "摩羯座", "水瓶座", "双鱼座"};

constexpr std::uint16_t Key(int month, int day) { return static_cast<std::uint16_t>(month * 256 + day); }

constexpr LunarFeast kLunarFeasts[] = {
    {Key(1, 1), "春节"},
    {Key(1, 15), "元宵节"},
    {Key(2, 1), "中和节"},
    {Key(2, 2), "龙抬头节"},
    {Key(3, 23), "妈祖生辰"},
    {Key(7, 7), "七夕情人节"},
    {Key(7, 15), "中元节(鬼节、盂兰盆)"},
    {Key(8, 15), "中秋节"},
    {Key(9, 9), "重阳节 中国老年节"},
    {Key(12, 8), "腊八节"},
    {Key(12, 23), "北方小年(祭灶)"},
    {Key(12, 24), "小年"},
};
static_assert(std::size(kLunarFeasts) == 12);

constexpr DynamicFeast kDynamicFeasts[] = {
    {1, 1, 7, "黑人日"},
    {4, 3, 7, "世界儿童日"},
    {4, 4, 3, "秘书节"},
    {5, 2, 7, "母亲节 救助贫困母亲日"},
    {5, 3, 7, "全国助残日"},
    {5, 3, 2, "国际牛奶日"},
    {6, 3, 7, "父亲节"},
    {7, 1, 6, "国际合作节"},
    {7, 3, 7, "被奴役国家周"},
    {9, 1, 1, "劳动日"},
    {9, 3, 6, "全民国防教育日"},
    {9, 3, 2, "国际和平日(2002年前)"},
    {9, 4, 7, "国际聋人节 世界儿童日"},
    {10, 1, 1, "国际住房日"},
    {10, 2, 1, "感恩节(Canada) Thanksgiving Day"},
    {10, 2, 3, "国际减轻自然灾害日"},
    {12, 2, 7, "国际儿童电视广播日"},
};
static_assert(std::size(kDynamicFeasts) == 17);

constexpr LastWeekFeast kLastWeekFeasts[] = {
    {1, 7, "世界麻风日"},
    {3, 1, "全国中小学生安全教育日"},
    {9, 7, "国际海事日 世界心脏日"},
};

constexpr FixedFeast kFixedFeasts[] = {
    {Key(1, 1), "元旦"},
    {Key(2, 2), "世界湿地日"},
    {Key(2, 7), "国际声援南非日"},
    {Key(2, 10), "国际气象节"},
    {Key(2, 14), "情人节"},
    {Key(2, 15), "中国十二亿人口日"},
    {Key(2, 21), "国际母语日"},
    {Key(2, 24), "第三世界青年日"},
    {Key(2, 28), "世界居住条件调查日"},
    {Key(3, 1), "国际海豹日"},
    {Key(3, 3), "全国爱耳日"},
    {Key(3, 5), "学雷锋纪念日 中国青年志愿者服务日"},
    {Key(3, 8), "国际劳动妇女节"},
    {Key(3, 12), "植树节 孙中山逝世纪念日"},
    {Key(3, 14), "国际警察日"},
    {Key(3, 15), "国际消费者权益日"},
    {Key(3, 16), "手拉手情系贫困小伙伴全国统一行动日"},
    {Key(3, 17), "中国国医节 国际航海日"},
    {Key(3, 18), "全国科技人才活动日"},
    {Key(3, 21), "世界森林日 世界儿歌日 消除种族歧视国际日"},
    {Key(3, 22), "世界水日"},
    {Key(3, 23), "世界气象日"},
    {Key(3, 24), "世界防治结核病日"},
    {Key(3, 30), "巴勒斯坦国土日"},
    {Key(3, 31), "安全教育日"},
    {Key(4, 1), "愚人节"},
    {Key(4, 2), "国际儿童图书日"},
    {Key(4, 7), "世界卫生日"},
    {Key(4, 21), "全国企业家活动日"},
    {Key(4, 22), "世界地球日"},
    {Key(4, 23), "世界图书和版权日"},
    {Key(4, 24), "亚非新闻工作者日"},
    {Key(4, 25), "全国预防接种宣传日"},
    {Key(4, 26), "世界知识产权日"},
    {Key(4, 27), "联谊城日"},
    {Key(4, 30), "全国交通安全反思日"},
    {Key(5, 1), "国际劳动节 国际示威游行日"},
    {Key(5, 3), "世界新闻自由日"},
    {Key(5, 4), "中国五四青年节"},
    {Key(5, 5), "碘缺乏病防治日"},
    {Key(5, 8), "世界红十字日"},
    {Key(5, 12), "国际护士节"},
    {Key(5, 15), "国际家庭日"},
    {Key(5, 17), "世界电信日"},
    {Key(5, 18), "国际博物馆日"},
    {Key(5, 20), "全国学生营养日"},
    {Key(5, 26), "世界向人体条件挑战日"},
    {Key(5, 30), "五卅运动纪念日"},
    {Key(5, 31), "世界无烟日"},
    {Key(6, 1), "国际儿童节"},
    {Key(6, 5), "世界环境日"},
    {Key(6, 6), "全国爱眼日"},
    {Key(6, 11), "中国人口日"},
    {Key(6, 17), "世界防治荒漠化和干旱日"},
    {Key(6, 20), "世界难民日"},
    {Key(6, 22), "中国儿童慈善活动日"},
    {Key(6, 23), "国际奥林匹克日"},
    {Key(6, 25), "全国土地日"},
    {Key(6, 26), "国际禁毒日"},
    {Key(6, 30), "世界青年联欢节"},
    {Key(7, 1), "中国共产党诞生日 香港回归纪念日"},
    {Key(7, 2), "国际体育记者日"},
    {Key(7, 7), "抗日战争纪念日"},
    {Key(7, 11), "世界人口日"},
    {Key(7, 26), "世界语创立日"},
    {Key(7, 28), "第一次世界大战爆发纪念日"},
    {Key(7, 30), "非洲妇女日"},
    {Key(8, 1), "中国人民解放军建军节"},
    {Key(8, 6), "国际电影节"},
    {Key(8, 8), "中国男子节(爸爸节)"},
    {Key(8, 15), "抗日战争胜利(日本宣布无条件投降)纪念日"},
    {Key(8, 26), "全国律师咨询日"},
    {Key(9, 3), "中国抗日战争胜利纪念日"},
    {Key(9, 8), "国际扫盲日 国际新闻工作者日"},
    {Key(9, 9), "毛泽东逝世纪念日"},
    {Key(9, 10), "教师节"},
    {Key(9, 14), "世界清洁地球日"},
    {Key(9, 16), "国际臭氧层保护日"},
    {Key(9, 18), "九一八事变纪念日"},
    {Key(9, 20), "全国爱牙日"},
    {Key(9, 21), "国际和平日"},
    {Key(9, 27), "世界旅游日"},
    {Key(9, 28), "孔子诞辰"},
    {Key(10, 1), "国庆节 国际音乐日 国际老人节"},
    {Key(10, 2), "国际和平与民主自由斗争日"},
    {Key(10, 4), "世界动物日"},
    {Key(10, 8), "全国高血压日"},
    {Key(10, 9), "世界邮政日"},
    {Key(10, 10), "辛亥革命纪念日 世界精神卫生日"},
    {Key(10, 11), "声援南非政治犯日"},
    {Key(10, 13), "世界保健日 国际教师节"},
    {Key(10, 14), "世界标准日"},
    {Key(10, 15), "国际盲人节(白手杖节)"},
    {Key(10, 16), "世界粮食日"},
    {Key(10, 17), "世界消除贫困日"},
    {Key(10, 22), "世界传统医药日"},
    {Key(10, 24), "联合国日"},
    {Key(10, 28), "世界男性健康日"},
    {Key(10, 31), "世界勤俭日 万圣节前夜"},
    {Key(11, 1), "万圣节"},
    {Key(11, 2), "万灵节"},
    {Key(11, 7), "十月社会主义革命纪念日"},
    {Key(11, 8), "中国记者日"},
    {Key(11, 9), "全国消防安全宣传教育日"},
    {Key(11, 10), "世界青年节"},
    {Key(11, 11), "国际科学与和平周"},
    {Key(11, 12), "孙中山诞辰纪念日"},
    {Key(11, 14), "世界糖尿病日"},
    {Key(11, 17), "国际大学生节 世界学生节"},
    {Key(11, 21), "世界问候日 世界电视日"},
    {Key(11, 29), "声援巴勒斯坦人民国际日"},
    {Key(12, 1), "世界艾滋病日"},
    {Key(12, 2), "废除一切形式奴役世界日"},
    {Key(12, 3), "世界残疾人日"},
    {Key(12, 4), "全国法制宣传日"},
    {Key(12, 5), "国际志愿人员日"},
    {Key(12, 7), "国际民航日"},
    {Key(12, 9), "世界足球日 一二九运动纪念日"},
    {Key(12, 10), "世界人权日"},
    {Key(12, 11), "世界防治哮喘日"},
    {Key(12, 12), "西安事变纪念日"},
    {Key(12, 13), "南京大屠杀纪念日"},
    {Key(12, 15), "世界强化免疫日"},
    {Key(12, 20), "澳门回归纪念日"},
    {Key(12, 21), "国际篮球日"},
    {Key(12, 24), "平安夜"},
    {Key(12, 25), "圣诞节"},
    {Key(12, 26), "毛泽东诞辰纪念日"},
    {Key(12, 29), "国际生物多样性日"},
};
static_assert(std::size(kFixedFeasts) == 129);
static_assert(std::is_sorted(std::begin(kFixedFeasts), std::end(kFixedFeasts),
                             [](const FixedFeast& a, const FixedFeast& b) { return a.key < b.key; }));

}  // namespace

std::span<const std::uint16_t> MonthSizeTable() { return kMonthSizeTable; }
std::span<const std::uint8_t> LeapMonthTable() { return kLeapMonthTable; }
std::span<const std::uint8_t> SolarTermTable() { return kSolarTermTable; }
std::uint16_t MonthSizeExtraYear() { return kMonthSizeExtraYear; }
int LeapMonthExtraYear() { return kLeapMonthExtraYear; }
std::span<const std::uint8_t> SolarTermExtraYear() { return kSolarTermExtraYear; }

int LeapMonthOf(int year) { return HasLunarYearData(year) ? LeapNibble(year) : 0; }

std::uint32_t MonthDays(int year, int month) {
  if (!HasLunarYearData(year) || month < 1 || month > 12) return 30;
  const std::uint16_t word = MonthWord(year);
  const int leap = LeapNibble(year);
  const int slot = SlotsBefore(leap, month);
  std::uint32_t days = (word >> (15 - slot)) & 1 ? 30 : 29;
  if (month == leap) days |= ((word >> (14 - slot)) & 1 ? 30u : 29u) << 16;
  return days;
}

int LunarYearDays(int year) { return HasLunarYearData(year) ? YearDays(year) : 0; }

int SectionTermDay(int year, int month) {
  month = std::clamp(month, 1, 12);
  int row = year;
  if (year < kCalendarFirstYear) {
    row = kCalendarFirstYear + ((year - kCalendarFirstYear) % 4 + 4) % 4;
  } else if (year > kCalendarDataLastYear) {
    row = kCalendarDataLastYear - 3 + ((year - (kCalendarDataLastYear - 3)) % 4);
  }
  return 15 - (SolarTermByte(row, month) >> 4);
}

int SolarTermIndex(DayNumber day) {
  const CivilDate date = DecodeDate(day);
  if (date.year < kCalendarFirstYear || date.year > kCalendarDataLastYear) return -1;
  const std::uint8_t byte = SolarTermByte(date.year, date.month);
  const int termDay = date.day < 15 ? 15 - (byte >> 4) : (byte & 0x0F) + 15;
  if (termDay != date.day) return -1;
  return 2 * (date.month - 1) + (date.day <= 15 ? 0 : 1);
}

namespace {

// The entry at `index`, or the empty text for an index outside the table.
template <std::size_t N>
std::string_view NameAt(const std::string_view (&table)[N], int index) {
  return index >= 0 && static_cast<std::size_t>(index) < N ? table[index] : std::string_view();
}

}  // namespace

std::string_view StemName(int index) { return NameAt(kStemNames, index); }
std::string_view BranchName(int index) { return NameAt(kBranchNames, index); }
std::string_view AnimalName(int index) { return NameAt(kAnimalNames, index); }
std::string_view SolarTermName(int index) { return NameAt(kSolarTermNames, index); }
std::string_view ConstellationName(int index) { return NameAt(kConstellationNames, index); }

std::span<const LunarFeast> LunarFeasts() { return kLunarFeasts; }
std::string_view NewYearsEveText() { return "除夕"; }
std::string_view QingmingFestivalText() { return "清明节"; }

std::span<const DynamicFeast> DynamicFeasts() { return kDynamicFeasts; }
std::span<const LastWeekFeast> LastWeekFeasts() { return kLastWeekFeasts; }
std::span<const FixedFeast> FixedFeasts() { return kFixedFeasts; }
std::string_view EasterText() { return "复活节 Easter Sunday"; }
std::string_view UsThanksgivingText() { return "感恩节(United States) Thanksgiving Day "; }

// The day index behind the lunar conversions.

LunarDay LunarDayFromOffset(std::int64_t offset) {
  offset = std::max<std::int64_t>(offset, 0);
  if (offset >= kYearStart[kDataYears]) {
    // After the data: years of twelve 30-day months, the length MonthDays
    // answers for a year without data, so the count stays invertible.
    const std::int64_t rest = offset - kYearStart[kDataYears];
    return {static_cast<int>(kCalendarDataLastYear + 1 + rest / 360), static_cast<int>(rest % 360 / 30 + 1),
            static_cast<int>(rest % 30 + 1), false};
  }
  const auto next = std::upper_bound(kYearStart.begin(), kYearStart.end(), static_cast<std::int32_t>(offset));
  const int index = static_cast<int>(next - kYearStart.begin()) - 1;
  const int year = kCalendarFirstYear + index;
  int e = static_cast<int>(offset - kYearStart[index]);
  const std::uint16_t word = MonthWord(year);
  const int leap = LeapNibble(year);
  int slot = 0;
  for (int month = 1;; ++month) {
    const int days = (word >> (15 - slot)) & 1 ? 30 : 29;
    ++slot;
    if (e < days) return {year, month, e + 1, false};
    e -= days;
    if (month == leap) {
      const int leapDays = (word >> (15 - slot)) & 1 ? 30 : 29;
      ++slot;
      if (e < leapDays) return {year, month, e + 1, true};
      e -= leapDays;
    }
  }
}

std::int64_t LunarOffsetBeforeMonth(int year, int month) {
  if (year < kCalendarFirstYear) return 0;
  month = std::clamp(month, 1, 13);
  if (year > kCalendarDataLastYear) {
    return kYearStart[kDataYears] + std::int64_t{year - kCalendarDataLastYear - 1} * 360 + (month - 1) * 30;
  }
  const int index = year - kCalendarFirstYear;
  return kYearStart[index] + DaysOfSlots(MonthWord(year), SlotsBefore(LeapNibble(year), month));
}

}  // namespace tavrin
