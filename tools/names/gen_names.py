#!/usr/bin/env python3
"""Builds the shipped name lists.

    data/男.dat, data/女.dat     given-name characters by sex, one per line
    data/1600nan.dat, 1600nv.dat given names (no surname) by sex, one per line
    data/tj.dat                  recommended full names, one per line

Every file is GBK text with CR LF line ends. Run from the repository root
after installing the pinned npm packages:

    npm ci --prefix tools/names
    python3 tools/names/gen_names.py

Sources (see tools/README.md for versions and licences):
  * Debian friso-dict: lex-sname.lex, lex-dname-1.lex, lex-dname-2.lex
    (characters of one-character given names and of the first and second
    place of two-character given names), lex-lname.lex (surnames in order of
    frequency) and lex-main.lex (the general word list, which also holds the
    names of well-known people).
  * npm @faker-js/faker: the zh_CN given names (generic, female, male).
  * Debian python3-jieba: dict.txt, the personal names (tag nr).
  * Debian unicode-data: Unihan kRSUnicode (the radical of a character).
  * The built-in girl-name characters of src/core/startup.cpp.

The script is deterministic: the same sources give byte-identical files.
"""

import bz2
import json
import random
import re
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
DATA = ROOT / "data"
FRISO = Path("/usr/share/friso/dict/UTF-8")
JIEBA_DICT = Path("/usr/lib/python3/dist-packages/jieba/dict.txt")
UNIHAN_IRG = Path("/usr/share/unicode/Unihan_IRGSources.txt.bz2")

# Characters never offered as a given-name character: death, illness and
# disaster; poverty, lowliness and misery; foolishness and filth; withering
# and graves; and a few characters of the sources whose sense is out of place
# in a child's name (晾 to hang out to dry, 窍 an orifice, 埃 dust, 孰 "which",
# 凉 chilly and desolate, 涣 to fall apart, 媚 to fawn, 寒 cold and needy,
# 逗 to tease).
BLACKLIST = (
    "死亡丧病疾痛伤鬼魔凶煞灾祸殃毒杀灭残败衰亏损"
    "贫穷贱奴婢妓娼乞丑哀悲愁苦忧泪孤寡"
    "愚蠢呆傻笨懒屎尿粪屁臭腐朽"
    "枯萎凋零坟墓棺尸"
    "晾窍埃孰凉涣媚寒逗"
)

# Characters of the friso lists that are, by usage, girls' name characters
# although neither the built-in girl-name characters nor faker's female names
# hold them.
FEMALE_EXTRA = "莎菁岚露琼萌虹如灵"

# Characters of the female list that are just as common in boys' names; they
# stay in the male list too when a male source has them.
UNISEX_EXTRA = "阳丰贤海旺宁春宣广亚树锦帆润育喜佳畅利云凡英玉"

# Kangxi radical 38 is 女 (woman); 威 (might) is filed under it too but is a
# boy's character.
WOMAN_RADICAL = 38
WOMAN_RADICAL_EXCEPTIONS = "威"

# Characters of the built-in girl-name set that do not make a name a girl's
# (they are as much boys' characters, or surnames): they stay in the female
# list but do not decide the sex of a given name.
NEUTRAL_GIRL_CHARS = "魁骋迈钧廷舜臻耿肖秩朴济尚双路杉希汝临颜楚"

# Markedly masculine characters: a given name holding one is never taken as a
# girl's name, whatever its other character.
MASCULINE = "兵军刚强勇武雄虎彪豪鹏龙峰锋杰伟斌磊涛超健毅剑钢彬浩宏鸿辉雷震岩山松柏栋森胜权帅骏驰坤"

# friso's surname list holds 今, a slip for 金 (which it also lists).
SURNAME_SLIPS = "今"
COMMON_SURNAMES = 160

# jieba counts: names met this often in its corpus are those of well-known
# people and fictional characters (or are not names at all).
FAMOUS_FREQUENCY = 20

# Two-character names of well-known (mostly fictional) people. jieba also
# lists them with a stray third character taken from the running text
# (郭靖笑, 黄蓉若, 宋江自 ...); every such entry is dropped.
STRAY_PREFIXES = [
    "郭靖", "黄蓉", "胡斐", "宋江", "萧峰", "孔明", "冯保", "戴宗", "贾政",
    "赵敏", "郭祥", "石秀", "袁绍", "方怡", "钟灵", "石清", "李岩", "张顺",
]
# Characters standing last in such entries ("… said with a smile", "… by
# himself") and in street names taken for personal names (梅园路).
STRAY_FINALS = "笑自路"

# Given parts that are forms of address or titles, not given names (王先生,
# 李大夫, 刘博士 ...).
TITLES = """
先生 小姐 夫人 太太 大夫 公公 婆婆 师傅 大姐 大哥 大嫂 小妹 妹妹 姐姐 哥哥 公子
少爷 老爷 大人 同志 书生 秀才 道长 和尚 大仙 天子 世子 贵妃 太后 将军 大王 博士
道士 进士 尚书 中堂 大帅 军师 相公 员外 公主 娘娘 丞相 元帅 三世 二世 国君
"""

# Given parts that jieba's running text glued to a surname though they are
# not given names: plants, places, peoples and eras, and the syllables of
# foreign names (罗德曼, 史丹利 ...).
NOT_GIVEN = """
菊花 兰花 莲花 金花 桂花 玫瑰 芙蓉 牡丹 珍珠 紫花 竹花 花香 花蕊 柳枝 杨树 杨梅
松子 树林 森林 冰川 三叶 花园 乐园 花山 园路 朝廷 三国 越国 元朝 元年 锡兰 锡金
柏林 高丽 长江 黄河 亚洲 欧洲 亚科 兰科 松科 进来 长大 胜利 发苍 虎星 丹红 云金
城子 诗丹 传奇 月亮 月光 竹林 杨林 花树 春园 长城 开水 根素 博会 美军 美英 少保
如玉 若有 山红 家军 湘军 青龙 三军 园子 其子 有子 成子 小子 家子 宣子 武子 仲子
文子 宗子 孝武 高祖 世宗 英宗 仁宗 光宗 贞元 元丰 会昌 建炎 绍兴
德曼 克曼 丹利 利亚 吉娜 连娜 迪亚 亚雷 泽克 迪森 科雷 加诺 黎诺 雷诺 科梅 科维
奇克 德克 波安 林森 德黎 瑞德 金汉 伊利 力利 维南 娜薇 克达 达雷 德美 齐文 迪克
大卫 凯文 威利 伊曼 容克 梅森 亚述 生生 利叶 利诺 利文 兰德 迪安 德利 迪诺 德雷
亚诺 林迪 维亚 利克 林达 克林 森博 蒙德 德森 科德 立克 金德 德维 德菲 迪曼 孝思
伯达 德迈 梅利 利芬 伊科 曼科 梅克 琳克 诺维 蒙达 波伊 波希 迪芬 蓝德 伊德 莉亚
杰迪 瑞克 林克 克雷 波利 奇科 文森 海森 子花 奇森 克利 方达
"""

# Well-known people that jieba counts rarely and friso's word list does not
# hold: leaders and officials, scientists, writers and artists, athletes,
# entertainers, and characters of classical novels and operas.
FAMOUS = """
黄晓明 宋丹丹 孙道临 吴君如 许志安 邵力子 储安平 王光美 杨宗保 李香君 许茹芸
巫启贤 侯耀华 李克勤 叶丽仪 毛舜筠 刘松仁 李修贤 俞振飞 吴清源 郑正秋 张贤亮
李开芳 吕蒙正 巢元方 茅元仪 何景明 李慈铭 汪大渊 熊开元 李开先 王清惠 杜维明
贺耀宗 李玉茹 张美瑶 秦雪梅 夏雪宜 彭珮云 韩济生 时传祥 解振华 薄瑞光 何东昌
王光亚 叶惠贤 李厚霖 吴景超 胡道静 陈友仁 梁鸿志 萧耀南 魏伯阳 叶连松 吕凤子
凌云凤 贺敏学 张晨光 陈蝶仙 俞秀山 周士朴 廖瑞鸿 程继先 杨宝忠 王少堂 李香琴
董文华 李瑞英 沈福文 康茂才 刘云若 龙华民 熊尚厚 汤正琪 钮永建
丁俊辉 刘嘉玲 刘若英 梁家辉 林俊杰 范冰冰 彭丽媛 张家辉 曾志伟 佘诗曼 佘祥林
侯宝林 洪金宝 周大福 柳传志 吴伯雄 吕秀莲 何其芳 何泽慧 廖承志 张思德 张爱萍
毛泽民 毛新宇 宋祖德 周汝昌 周有光 吴祖光 黄家驹 黄秋生 蔡国庆 张瑞敏 董明珠
景海鹏 崔莺莺 任盈盈 方世玉 孟丽君 夏金桂 贾元春 李香兰 许广平 陈慧娴 周慧敏
袁洁莹 江美琪 钟嘉欣 林嘉欣 邵美琪 陈美琪 郭晋安 陶慧敏 陶璐娜 张承志 冯雪峰
孙绍祖 李云龙 田家英 邓力群 吕纯阳 于成龙 柳成龙 徐文长 曹子建 夏伯阳 史达林
辛伯达 刘长卿 徐长卿 张汉卿 张一鸣 高晓松 王中军 孙正义 张东健 田中健 郭德刚
常万全 马思聪 谢希德 张孝骞 朱德熙 周思聪 钱南扬 萧友梅 蒋兆和 韩美林 陈慕华
陈思成 陈小艺 黄宗英 秦文君 范小青 刘兰芳 马金凤 戴爱莲 马丹阳 孔安国 李元吉
温家保 王德威 田笑道 颜如玉 吴彦祖 何韵诗 郑秀文 俞飞鸿 蒋勤勤 孙耀威 常香玉
陈道明 胡兰成 纪晓芙 柳梦梅 冯桂芬 潘晓婷 张春贤 李东健 张元济 翟中和 章孝慈
贾南风 文中子 张乐平 张云逸 于光远 周立三 孔尚贤 伍绍祖 邓友梅 陈子善 胡松华
赖汉英 洪兴祖 齐如山 萧渊明 毛利兰 韦春花
"""


def lex(name):
    """The entries of a friso lexicon, comments and synonym fields left out."""
    entries = []
    for line in (FRISO / name).read_text(encoding="utf-8").splitlines():
        line = line.strip()
        if line and not line.startswith("#"):
            entries.append(line.split("/")[0])
    return entries


def is_gb2312_hanzi(ch):
    try:
        code = ch.encode("gb2312")
    except UnicodeEncodeError:
        return False
    return len(code) == 2 and 0xB0 <= code[0] <= 0xF7


def gbk_key(text):
    return text.encode("gbk")


def girl_name_chars():
    """The built-in girl-name characters, read from the start-up code."""
    source = (ROOT / "src/core/startup.cpp").read_text(encoding="utf-8")
    match = re.search(r"kGirlNameChars =\s*((?:\"[^\"]*\"\s*)+);", source)
    assert match, "kGirlNameChars not found in src/core/startup.cpp"
    text = "".join(re.findall(r"\"([^\"]*)\"", match.group(1)))
    assert len(text) == 254 and len(set(text)) == 254, len(text)
    return text


def radicals():
    """Kangxi radical number of every character, from Unihan kRSUnicode."""
    result = {}
    with bz2.open(UNIHAN_IRG, "rt", encoding="utf-8") as irg:
        for line in irg:
            parts = line.rstrip("\n").split("\t")
            if len(parts) == 3 and parts[1] == "kRSUnicode":
                first = parts[2].split()[0]
                result[chr(int(parts[0][2:], 16))] = int(first.split(".")[0].rstrip("'"))
    return result


def faker_given_names():
    script = Path(__file__).with_name("faker_given_names.mjs")
    out = subprocess.run(["node", str(script)], cwd=script.parent, check=True, capture_output=True, text=True)
    return json.loads(out.stdout)


def chars_of(words):
    return {ch for word in words for ch in word}


def write_lines(path, lines):
    """GBK text, every line ended by CR LF."""
    path.write_bytes(b"".join(line.encode("gbk") + b"\r\n" for line in lines))


def build_char_lists(report):
    girl = girl_name_chars()
    faker = faker_given_names()
    radical = radicals()
    friso = chars_of(lex("lex-sname.lex") + lex("lex-dname-1.lex") + lex("lex-dname-2.lex"))
    faker_female = chars_of(faker["female"])
    faker_male = chars_of(faker["male"]) | chars_of(faker["generic"])
    blacklist = set(BLACKLIST)
    assert len(blacklist) == len(BLACKLIST), "blacklist holds a character twice"

    def usable(chars):
        return {ch for ch in chars if is_gb2312_hanzi(ch) and ch not in blacklist}

    # friso's lists do not tell the sex, so faker's female names decide only
    # for characters that friso does not list.
    woman_radical = {ch for ch in friso | faker_male if radical.get(ch) == WOMAN_RADICAL}
    female = usable(set(girl) | (faker_female - friso) | set(FEMALE_EXTRA)
                    | (woman_radical - set(WOMAN_RADICAL_EXCEPTIONS)))
    unisex = (female & faker_male) | set(UNISEX_EXTRA)
    male = usable(friso | faker_male) - (female - unisex)

    everything = set(girl) | friso | faker_female | faker_male | set(FEMALE_EXTRA)
    report["girl chars not GB2312"] = "".join(ch for ch in girl if not is_gb2312_hanzi(ch))
    report["blacklisted in sources"] = "".join(sorted(everything & blacklist, key=gbk_key))
    report["female chars"] = len(female)
    report["male chars"] = len(male)
    report["chars in both"] = len(female & male)
    return sorted(male, key=gbk_key), sorted(female, key=gbk_key)


def jieba_entries():
    for line in JIEBA_DICT.read_text(encoding="utf-8").splitlines():
        word, freq, tag = line.split()
        yield word, int(freq), tag


def given_name_attestation():
    """For every given part of jieba's three-character names under a
    one-character surname, the set of surnames it stands under."""
    single = {entry for entry in lex("lex-lname.lex") if len(entry) == 1}
    result = {}
    for word, _, tag in jieba_entries():
        if tag == "nr" and len(word) == 3 and word[0] in single:
            result.setdefault(word[1:], set()).add(word[0])
    return result


def jieba_names(male, female, report):
    """Eligible (surname, given name, attestation) entries from jieba's names.

    The attestation of a given name is the number of surnames jieba lists it
    under: a real given name recurs, a stray word rarely does."""
    surnames = []
    for entry in lex("lex-lname.lex"):
        if len(entry) == 1 and entry not in SURNAME_SLIPS and entry not in surnames:
            surnames.append(entry)
    single = set(surnames[:COMMON_SURNAMES])
    compound = {entry for entry in lex("lex-lname.lex") if len(entry) == 2}
    name_chars = set(male) | set(female)
    words = set(lex("lex-main.lex"))
    famous = set(FAMOUS.split())
    stray = set(STRAY_PREFIXES)
    titles = set(TITLES.split())
    not_given = set(NOT_GIVEN.split())
    surnames_of = given_name_attestation()

    counts = {"nr three-character": 0, "common surname": 0, "name characters": 0}
    dropped = {"frequent": 0, "friso word": 0, "stray": 0, "title": 0, "not a given name": 0,
               "word met once": 0, "famous list": 0}
    result = []
    for word, freq, tag in jieba_entries():
        if tag != "nr" or len(word) != 3:
            continue
        counts["nr three-character"] += 1
        if word[0] in single:
            surname = word[0]
        elif word[:2] in compound:
            surname = word[:2]
        else:
            continue
        counts["common surname"] += 1
        given = word[len(surname):]
        if not all(ch in name_chars for ch in given):
            continue
        counts["name characters"] += 1
        if freq >= FAMOUS_FREQUENCY:
            dropped["frequent"] += 1
        elif word in words:
            dropped["friso word"] += 1
        elif word[:2] in stray or word[-1] in STRAY_FINALS:
            dropped["stray"] += 1
        elif given in titles:
            dropped["title"] += 1
        elif given in not_given:
            dropped["not a given name"] += 1
        elif given in words and len(surnames_of.get(given, ())) < 2:
            dropped["word met once"] += 1
        elif word in famous:
            dropped["famous list"] += 1
        else:
            result.append((surname, given, len(surnames_of.get(given, ()))))
    report["jieba"] = counts
    report["jieba dropped"] = dropped
    report["jieba kept"] = len(result)
    report["famous list size"] = len(famous)
    return result


def sex_of(given, male, female):
    """'f' or 'm' when the characters tell the sex, else None.

    A character marks a girl's name when it is in the female list only (and
    is not one of NEUTRAL_GIRL_CHARS). A name is a girl's when it holds such
    a character and no MASCULINE one; a boy's when it holds no girl's mark,
    all its characters are in the male list and at least one is in the male
    list only. Names of characters found in both lists only are left out."""
    marks_girl = any(ch in female and ch not in male and ch not in NEUTRAL_GIRL_CHARS for ch in given)
    if marks_girl:
        return None if any(ch in MASCULINE for ch in given) else "f"
    if all(ch in male for ch in given) and any(ch not in female for ch in given):
        return "m"
    return None


def pick(ranked, count, seed):
    """A reproducible choice of `count` items from a {item: rank} map: the
    best ranked first, ties drawn at random; returned in random order."""
    rng = random.Random(seed)
    items = sorted(ranked, key=gbk_key)
    rng.shuffle(items)
    items.sort(key=lambda item: -ranked[item])  # stable: ties keep the draw
    chosen = items[:count]
    rng.shuffle(chosen)
    return chosen


def main():
    report = {}
    male, female = build_char_lists(report)
    write_lines(DATA / "男.dat", male)
    write_lines(DATA / "女.dat", female)

    names = jieba_names(set(male), set(female), report)
    by_sex = {"m": {}, "f": {}}
    for _, given, attested in names:
        sex = sex_of(given, set(male), set(female))
        if sex:
            by_sex[sex][given] = attested
    report["given names boys"] = len(by_sex["m"])
    report["given names girls"] = len(by_sex["f"])
    boys = pick(by_sex["m"], 1600, seed=1600)
    girls = pick(by_sex["f"], 1600, seed=1601)
    write_lines(DATA / "1600nan.dat", boys)
    write_lines(DATA / "1600nv.dat", girls)

    full = {surname + given: attested for surname, given, attested in names if len(surname) == 1}
    report["full names"] = len(full)
    recommended = pick(full, 3000, seed=3000)
    write_lines(DATA / "tj.dat", recommended)

    report["written"] = {"男.dat": len(male), "女.dat": len(female), "1600nan.dat": len(boys),
                         "1600nv.dat": len(girls), "tj.dat": len(recommended)}
    json.dump(report, sys.stdout, ensure_ascii=False, indent=1)
    print()


if __name__ == "__main__":
    main()
