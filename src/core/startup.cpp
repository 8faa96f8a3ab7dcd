#include "core/startup.h"

#include <unistd.h>
#include <algorithm>
#include <climits>
#include <filesystem>

#include "advice/advice.h"
#include "chars/encoding.h"
#include "core/data_file.h"
#include "core/services.h"

namespace tavrin {

// The build is GCC's: clang, which clang-tidy runs on, has no GB18030
// execution character set.
#ifndef __clang__
static_assert(sizeof("张") == 3 && "张"[0] == '\xD5', "core texts must be compiled as GBK");
#endif

const char* const kMaleCharsFile = reinterpret_cast<const char*>(u8"男.dat");
const char* const kFemaleCharsFile = reinterpret_cast<const char*>(u8"女.dat");

namespace {

const char* const kGirlNameChars =
    "竹慧茹玉茗淇晾英美琬娣瑷园诺霞静孰霏巧叶梦芙嘉昕鹃蕊斐迈凤琳玲鹄珍璐荣佩素蓝娴魁盈欢思络碧芳惠淼蕾阳双"
    "丰汝彤荷香芷婷贤娥洁滨菊怡枫娰宜婉曜柳偌晓杏希琦馥玫诗贞菲蔓彩冰芮曼爱媚燕利寒丽蝶莹云倩临娜雁妙芸晶丹"
    "润韵雯敏妮涓秀凡仪雪娇音枝琇肖育海旺凉筠穗梅翠伊暄纯慈桃悦萍裳宁妃影凰芊秩薏朴若卉淑舜蓓春筌济來咏羽臻"
    "昇牡娟颜蔼埃恋俪耿宣柔骋尚姗红媛广月璇茵亚杉钧眉澜芬翀湘涣莲沂旖窍衣树锦帆珠芹雨真纨昀莺齐桂秋兰融颐嫦"
    "汐欣汶宛琴佳楚芝莉苹倪飘亭甜筱路珊涪喜沁廷畅蓉绒艺紫萱瑶榕钰茜雅瑰缘薇妍珮仙颖姬粉慕纤瑛郦芭瑗妞花艳";

const char* const kInitialGroups[] = {"b,p,m,f", "d,t,n,l", "g,k,h", "j,q,x,zh,ch,sh,r,z,c,s"};
const char* const kFinalGroups[] = {"a,ai,ao,an,ang,e,er,ei,en,eng,o,ou,ong", "i,ia,ie,iao,iou,ian,in,iang,ing,iong",
                                    "v,ue,uan,un", "u,ua,uo,uai,uei,uan,uen,uang,ueng"};

const char* const kMetalChars = "金钟钊钢钧钰钱钲铁铃镭鑫钎钐";
const char* const kWoodChars =
    "木术札朴机权杜材村杏杉极杞杨李林枝东松杭杰柏柳柱树桂桢桥格栩梧彬梅梓梁柯柄栋栎柠桐桦桃校桉根梵棋椿椒森"
    "楠榄槐榆槟榕槿樱";
const char* const kWaterChars =
    "汇汉江汕沣沅沐沛沙沂沦沁波治浈浏洲洋泳泓泽洁洵洛涛津浦涓海湘渤滋渲湄滟滢溥源滔溪溢溯滨溶潇漩漾演澎潮澳"
    "潞濮流润浚清鸿淇淅淞淦渊淮淳涵温澈潘潼瀛瀚灏";
const char* const kFireChars = "火灯灿炀炜炬炎炳炯炫烨烁焕烽焰煜煌熔煊熳熠";
const char* const kEarthChars = "土士吉坚圻均志声坪坤城垠埔袁基培喜塑嘉增境熹懿画";

class Loader {
 public:
  explicit Loader(DataStores& stores) : stores_(stores) {}

  // An optional file: loaded when it exists, silently skipped otherwise. One
  // that is there but too big, or has too long a line, is named and skipped.
  void Optional(const char* fileName, LineList& target) {
    if (auto bytes = ReadIfExists(fileName, LimitsFor(fileName))) target = SplitLines(*bytes);
  }
  void OptionalBytes(const char* fileName, std::string& target, std::optional<DataFileLimits> limits = {}) {
    if (auto bytes = ReadIfExists(fileName, limits.value_or(LimitsFor(fileName)))) target = std::move(*bytes);
  }
  // A file missing from a set whose other files are there (an advice
  // table), or there but of no use: named once at start-up, and skipped.
  void Skipped(const char* fileName, Utf8Text reason) {
    stores_.failures.push_back({fileName, Utf8Text(stores_.dataDir + fileName), std::move(reason), true, true});
  }
  bool Refused(const char* fileName) const {
    return std::any_of(stores_.failures.begin(), stores_.failures.end(),
                       [&](const LoadFailure& failure) { return failure.fileName == fileName; });
  }
  bool Exists(const char* fileName) const { return FileExists(stores_.dataDir + fileName); }

  // A required file: a failure to read it is recorded.
  void Required(const char* fileName, LineList& target) {
    const std::string path = stores_.dataDir + fileName;
    DataFileError error;
    if (auto bytes = ReadDataFile(path, LimitsFor(fileName), error)) {
      target = SplitLines(*bytes);
    } else {
      stores_.failures.push_back(
          {fileName, Utf8Text(path), error.reason, false, error.refusal != DataFileRefusal::kCannotOpen});
    }
  }

 private:
  std::optional<std::string> ReadIfExists(const char* fileName, const DataFileLimits& limits) {
    const std::string path = stores_.dataDir + fileName;
    if (!FileExists(path)) return std::nullopt;
    DataFileError error;
    auto bytes = ReadDataFile(path, limits, error);
    if (!bytes && error.refusal != DataFileRefusal::kCannotOpen && error.refusal != DataFileRefusal::kNotRegular) {
      stores_.failures.push_back({fileName, Utf8Text(path), error.reason, true, true});
    }
    return bytes;
  }

  DataStores& stores_;
};

}  // namespace

namespace {

// A file-system text as GBK; when GBK cannot hold it all, every byte
// beyond ASCII becomes "?".
GbkText FileTextAsGbk(const Utf8Text& utf8) {
  if (auto gbk = ToGbk(utf8)) return std::move(*gbk);
  std::string ascii = utf8.Bytes();
  for (char& c : ascii) {
    if (static_cast<unsigned char>(c) >= 0x80) c = '?';
  }
  return GbkText(std::move(ascii));
}

}  // namespace

GbkText LoadFailure::Message() const {
  return GbkText("无法打开文件“" + FileTextAsGbk(path).Bytes() + "”:" + FileTextAsGbk(reason).Bytes());
}

GbkText LoadFailure::GbkFileName() const { return FileTextAsGbk(Utf8Text(fileName)); }

bool DataStores::Failed(const std::string& fileName) const {
  return std::any_of(failures.begin(), failures.end(),
                     [&](const LoadFailure& failure) { return failure.fileName == fileName && !failure.optional; });
}

bool DataStores::HasAll(std::initializer_list<const char*> fileNames) const {
  return std::none_of(fileNames.begin(), fileNames.end(), [&](const char* name) { return Failed(name); });
}

std::optional<std::string> DataStores::MissingDataMessage(std::initializer_list<const char*> fileNames,
                                                          std::string_view consequence) const {
  std::string missing;
  for (const char* file : fileNames) {
    for (const LoadFailure& failure : failures) {
      if (failure.fileName != file || failure.optional) continue;
      if (!missing.empty()) missing += "、";
      missing += failure.GbkFileName().Bytes();
    }
  }
  if (missing.empty()) return std::nullopt;
  return "缺少数据文件" + missing + "," + std::string(consequence);
}

namespace {

// The two name lists, read once: the stores take their lines, the advice
// their text.
struct NameLists {
  std::string girls, boys;
};

NameLists ReadNameLists(Loader& loader) {
  NameLists lists;
  loader.OptionalBytes(kGirlNamesFile, lists.girls);
  loader.OptionalBytes(kBoyNamesFile, lists.boys);
  return lists;
}

// The advice tables, each read as an optional data file, with the name lists.
// The advice tables of their own, each with what tells that it was read:
// how many entries the tables took from it. Reasons are UTF-8, as the
// system's are.
struct AdviceTable {
  const char* fileName;
  std::string advice::AdviceTables::Texts::* text;
  std::size_t (advice::AdviceTables::*count)() const;
};
constexpr AdviceTable kAdviceTables[] = {
    {"advice_chars.dat", &advice::AdviceTables::Texts::chars, &advice::AdviceTables::CharCount},
    {"advice_unfortunate.dat", &advice::AdviceTables::Texts::unfortunate, &advice::AdviceTables::UnfortunateCount},
    {"advice_famous.dat", &advice::AdviceTables::Texts::famous, &advice::AdviceTables::FamousCount},
    {"advice_unsuitable.dat", &advice::AdviceTables::Texts::unsuitable, nullptr},
    {"advice_surnames.dat", &advice::AdviceTables::Texts::surnames, nullptr},
    {"advice_words.dat", &advice::AdviceTables::Texts::words, nullptr},
    {"advice_word_meanings.dat", &advice::AdviceTables::Texts::wordMeanings, &advice::AdviceTables::WordMeaningCount},
    {"advice_surname_words.dat", &advice::AdviceTables::Texts::surnameWords, &advice::AdviceTables::SurnameWordCount},
    {"advice_shapes.dat", &advice::AdviceTables::Texts::shapes, nullptr},
    {"advice_themes.dat", &advice::AdviceTables::Texts::themes, &advice::AdviceTables::ThemeCount},
    {"advice_radicals.dat", &advice::AdviceTables::Texts::radicals, nullptr},
    {"advice_appeal.dat", &advice::AdviceTables::Texts::appeal, nullptr},
};

// A table missing while others of the advice are there (a data directory
// with no advice at all is one made so), or one of which not a line could
// be read, is named once, as the other data files are; the advice goes on
// without its warnings.
void NameSkippedAdviceTables(Loader& loader, const advice::AdviceTables::Texts& texts,
                             const advice::AdviceTables& tables) {
  const bool any = std::any_of(std::begin(kAdviceTables), std::end(kAdviceTables),
                               [&](const AdviceTable& t) { return loader.Exists(t.fileName); });
  if (!any) return;
  for (const AdviceTable& t : kAdviceTables) {
    if (loader.Refused(t.fileName)) continue;  // named already, with its reason
    if (!loader.Exists(t.fileName)) {
      loader.Skipped(t.fileName, Utf8Literal(u8"文件不存在，取名建议缺少这一类提醒"));
    } else if ((texts.*t.text).empty() || (t.count && (tables.*t.count)() == 0)) {
      loader.Skipped(t.fileName, Utf8Literal(u8"文件是空的或格式不对，取名建议缺少这一类提醒"));
    }
  }
}

advice::AdviceTables ReadAdviceTables(Loader& loader, NameLists lists) {
  const auto read = [&loader](const char* name) {
    // About ten times the largest shipped table (advice_chars.dat, 0.5 MB);
    // the parser checks the lines.
    constexpr DataFileLimits kLimits{.maxBytes = 5u << 20, .maxLineBytes = 0};
    std::string bytes;
    loader.OptionalBytes(name, bytes, kLimits);
    return bytes;
  };
  advice::AdviceTables::Texts texts;
  for (const AdviceTable& t : kAdviceTables) texts.*t.text = read(t.fileName);
  texts.boyNames = std::move(lists.boys);
  texts.girlNames = std::move(lists.girls);
  texts.curatedNames = read("curated_names.dat");
  texts.classicalNames = read("classical_names.dat");
  texts.lineNegative = read("line_negative.dat");
  advice::AdviceTables tables = advice::AdviceTables::FromTexts(texts);
  NameSkippedAdviceTables(loader, texts, tables);
  return tables;
}

}  // namespace

advice::AdviceTables LoadAdviceTables(const std::string& dataDir) {
  DataStores scratch;
  scratch.dataDir = dataDir;
  Loader loader(scratch);
  return ReadAdviceTables(loader, ReadNameLists(loader));
}

DataStores LoadStores(const std::string& dataDir) {
  DataStores stores;
  stores.dataDir = dataDir;
  Loader loader(stores);

  NameLists nameLists = ReadNameLists(loader);
  stores.girlGivenNames = SplitLines(nameLists.girls);
  stores.boyGivenNames = SplitLines(nameLists.boys);
  stores.girlNameChars = kGirlNameChars;
  loader.OptionalBytes(kPinyinFile, stores.pinyinIndex);
  stores.initialGroups.assign(std::begin(kInitialGroups), std::end(kInitialGroups));
  stores.finalGroups.assign(std::begin(kFinalGroups), std::end(kFinalGroups));
  loader.Optional(kCharElementFile, stores.charElementList);
  loader.Required(kRecommendedFile, stores.recommendedList);
  loader.Required(kNumerologyFile, stores.numerologyTable);
  loader.Optional(kSancaiFile, stores.sancaiTable);
  loader.Required(kMaleCharsFile, stores.maleGivenChars);
  loader.Required(kFemaleCharsFile, stores.femaleGivenChars);
  stores.metalChars = kMetalChars;
  stores.woodChars = kWoodChars;
  stores.waterChars = kWaterChars;
  stores.fireChars = kFireChars;
  stores.earthChars = kEarthChars;
  stores.advice = std::make_shared<const advice::AdviceTables>(ReadAdviceTables(loader, std::move(nameLists)));
  return stores;
}

SharedStores SealStores(DataStores stores) {
  stores.services = BuildServices(stores);
  return std::make_shared<const DataStores>(std::move(stores));
}

SharedStores StartUp(const std::string& dataDir) { return SealStores(LoadStores(dataDir)); }

std::string ExecutableDir() {
  char buffer[PATH_MAX];
  const ssize_t len = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (len <= 0) return "./";
  const std::string path(buffer, static_cast<std::size_t>(len));
  return path.substr(0, path.rfind('/') + 1);
}

std::string FindDataDir(const std::string& exeDir, const std::string& fromExeDir, const std::string& installedDir) {
  // The numerology table is required by every naming operation, so its
  // presence tells where the data files were put.
  if (FileExists(exeDir + kNumerologyFile)) return exeDir;
  if (!fromExeDir.empty()) {
    // exeDir comes from the kernel with every link resolved, so dropping
    // "dir/.." lexically is safe, and messages show a plain path.
    std::string relative = std::filesystem::path(exeDir + fromExeDir).lexically_normal().string();
    if (FileExists(relative + kNumerologyFile)) return relative;
  }
  if (!installedDir.empty() && FileExists(installedDir + kNumerologyFile)) return installedDir;
  return exeDir;
}

std::string FindDataDir() { return FindDataDir(ExecutableDir(), TAVRIN_DATADIR_FROM_BINDIR, TAVRIN_INSTALL_DATADIR); }

}  // namespace tavrin
