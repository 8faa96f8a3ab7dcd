#!/usr/bin/env python3
"""Mines two-character given names from the classical library.

Writes, from the repository root:

    python3 tools/names/gen_classical_names.py

* data/line_negative.dat — the entries of negative_line_words.txt (GBK, one a
  line): a line holding one is no source for a name;
* data/classical_names.dat — one name a line, GBK, TAB-separated:
  given, sex (m, f or u), collection, title, author, line, shortlisted. The
  two characters of the given name stand side by side and in order in the
  line; a line is a run of hanzi between marks, as the text writes it.
  shortlisted: how likely the team's next blind reader is to shortlist
  the name, 0 to 2, from its readings (gen_curated_names.reading_verdict);
  a pair a reader found bad, or odd without another wanting it, is left out.

and prints a JSON report (names per collection and sex, rejections by rule).

Sources: data/library/library.tar.xz (npm chinese-poetry through
gen_library.py); the name lists data/男.dat, data/女.dat, data/1600nan.dat,
data/1600nv.dat; data/advice_chars.dat and data/advice_unsuitable.dat;
tools/names/famous.txt; the word list of Debian python3-jieba (dict.txt, read
as a word list only). The tables below are the team's own reading.

A pair of characters of a line becomes a name when
1. the text is one of the collections read (蒙学: 千家诗, 古文观止, 千字文,
   三字经 only) and no lament, elegy or complaint (title characters and
   titles below);
2. both characters are name characters: in 男.dat or 女.dat, level 1 of the
   通用规范汉字表 or a well-loved level-2 name character (WELL_LOVED; at most
   15 % of the names hold one), not unsuitable; a character of the dated
   register (德 淑 兰 …) not from 全唐诗, 全宋词 and 五代词 (DATED_RANK); the
   three classical name characters outside the lists (EXTRA) only from 诗经,
   楚辞 and the Four Books;
3. neither character is a particle, pronoun, state or person of the
   classics in that place (NOT_FIRST, NOT_SECOND), unless the pair is a word
   of PAIR_WORDS;
4. the sexes of the two characters meet (m, f, or u when both fit);
5. the pair is a unit of the line: lines of 4, 5, 6 and 7 characters are
   read 2+2, 2+3, 2+2+2 and 2+2+3, a pair inside a unit passes, one across
   a boundary only as a word of jieba's list; other lines only as a jieba
   word; a pair that cuts a better word of the line in two, or that is a
   subject and its predicate (月明, 帆远), does not;
6. not a doubled character, not an everyday word (jieba count over
   EVERYDAY), not a compound surname, not a given name of famous.txt, of a
   notorious person or of a famous person with a common surname; not one of
   the 3,200 commonest names unless the source is 诗经, 楚辞 or the Four Books;
7. neither the line nor the sentence it stands in holds an entry of
   negative_line_words.txt;
8. from 全唐诗, 全宋词 and 五代词 only a word (jieba's, or a pair that passes
   in KNOWN_TEXTS texts) that a reader kept (CAPPED_READ); everywhere not a
   pair a reader took out (BLOCKED);
9. each name once, from its best source: collection rank, then the better
   known text (poets of 唐诗三百首 and 宋词三百首 first in 全唐诗 and 全宋词),
   then the order of the library, a pair inside a unit before one across.

    python3 tools/names/gen_classical_names.py --candidates FILE

also writes the pairs of the capped collections the readers have not kept,
the most name-like first: the list to read when the library or the rules
change.
"""

import collections
import json
import re
import sys
import tarfile
from pathlib import Path

from gen_curated_names import load_readings, reading_verdict

HERE = Path(__file__).resolve().parent
ROOT = HERE.parent.parent
DATA = ROOT / "data"
LIBRARY = DATA / "library" / "library.tar.xz"
NEGATIVE_SRC = HERE / "negative_line_words.txt"
FAMOUS = HERE / "famous.txt"
JIEBA_DICT = Path("/usr/lib/python3/dist-packages/jieba/dict.txt")
OUT_NEGATIVE = DATA / "line_negative.dat"
OUT_NAMES = DATA / "classical_names.dat"

# Collection rank: the better known collections first.
RANK = {
    "诗经": 0, "楚辞": 1, "论语": 2, "大学": 2, "中庸": 2, "孟子": 2,
    "唐诗三百首": 3, "宋词三百首": 4, "蒙学": 5, "纳兰性德": 6, "曹操": 6,
    "五代词": 7, "全唐诗": 7, "全宋词": 8,
}
TOP_RANK = 2          # 诗经, 楚辞, the Four Books
DATED_RANK = 6        # dated characters up to 纳兰性德 and 曹操 (清辉 汀兰 素月)
CAPPED = {"五代词", "全唐诗", "全宋词"}
EVERYDAY = 400        # a jieba count above this: an everyday word (安静 天文 心灵)
KNOWN_TEXTS = 2       # a pair that passes in this many texts is a word of the poets
MIN_NAMES, MAX_NAMES, MAX_BYTES = 250, 4000, 400_000

# 蒙学: the books read as sources; the pieces of 千家诗 and 古文观止 stand
# under their own titles and are all read. 百家姓 lists surnames, the others
# are primers of rules and set phrases, no sources a parent names from.
MENGXUE_SKIP = ("百家姓", "弟子规", "增广贤文", "朱子家训", "幼学琼林", "声律启蒙")
MENGXUE_BOOKS = ("千字文", "三字经")

# Laments and elegies, left out whole: titles with these characters …
LAMENT_TITLE_CHARS = set("哭悼挽吊祭殇哀悲怨恨亡墓冢坟葬殡诔狱囚病死泣伤愁"
                         "衰残枯凋孤寡废贬谪乱兵战戍逝愍忧苦惜怆恸凄妓")
# … and these texts, whose titles do not tell it.
LAMENT_TITLES = {
    "九歌·国殇", "国殇", "招魂", "大招", "九章·怀沙", "九章·惜往日", "九章·悲回风",
    "九章·哀郢", "蒿里行", "薤露行", "薤露", "蒿里", "黄鸟", "蓼莪", "葛生", "黍离",
    "二子乘舟", "墓门", "报任安书", "捕蛇者说", "陈情表", "兵车行", "石壕吏",
    "新婚别", "垂老别", "无家别", "七哀诗", "江城子", "长恨歌",
    # 诗经: mourning, war, hardship and complaint
    "素冠", "绿衣", "燕燕", "日月", "终风", "击鼓", "式微", "北门", "北风", "兔爰",
    "中谷有蓷", "葛藟", "鸨羽", "陟岵", "硕鼠", "蜉蝣", "下泉", "匪风", "隰有苌楚",
    "小弁", "巷伯", "四月", "何草不黄", "苕之华", "十月之交", "雨无正", "小旻",
    "正月", "桑柔", "瞻卬", "召旻", "云汉", "大东", "北山", "无将大车",
    # 楚辞: the laments of the exile and for him
    "九辩", "九章·惜诵", "九章·抽思", "九章·思美人", "七谏·沉江", "七谏·初放",
    "七谏·怨世", "七谏·自悲", "七谏·谬谏", "九叹·离世", "九叹·逢纷", "九叹·远逝",
    "哀时命", "惜誓", "吊屈原赋", "九思·逢尤", "九思·悯上", "九思·遭厄", "九思·守志",
    "九怀·危俊", "九怀·陶壅", "九怀·株昭", "九怀·思忠",
    # a grave tablet, a poem for a dead cousin, a drowning
    "泷冈阡表", "不归", "经仙人渚即沉山下古人沉义白日升仙处",
}
# 江城子 is 苏轼's 十年生死两茫茫 among others; the 宋词三百首 tune is read
# only through the lines, see LAMENT_TEXTS.
LAMENT_TITLES.discard("江城子")
LAMENT_TEXTS = {("宋词三百首", "江城子", "苏轼"), ("全宋词", "江城子", "苏轼")}

# Level-2 characters of the name lists that parents give widely and that the
# classics use in the sense a name means; the other level-2 characters of
# the lists (骞 溥 瑗 缇 纭 …) read as rare and stay out.
WELL_LOVED = set(
    "懿瑾瑜瑶萱芷蘅霖岚韶舜彦臻蕙菁蓁葭汀漪泓湛璋珩昱晏煦熹曦睿筠翊霁"
    "琬姝沅岱嵩宸恪聿奕桓茹芸菡妍嫣娴涓淇湄骐骥韬曜晟祺瀚涟霓麓翱朔汐颐翌芊苓莘"
    "薰峥嵘泠滢绮珑琪琦瑛璞璨栩梓楠槿昊昕昶烨煜斐馥穹颢翎雯霆霈隽麒麟黛婷媛")
# Classical name characters the lists do not hold, taken only from 诗经,
# 楚辞 and the Four Books (子衿, 思齐, 如琢): character and sexes.
EXTRA = {"衿": "mf", "齐": "m", "琢": "mf"}

# Characters the classics use as particles, pronouns or in set grammar
# (诗经's 言采其蕨, 维天之命, 亦既见止; 予 "I", 君 and 卿 "you", 子 "you" or
# "Master", 家 "house of"): no name begins or ends with them, or only the
# way written here.
NOT_FIRST = set("言维惟唯亦予伊聿君卿家汉晋齐鲁宋秦燕赵韩魏吴越楚南北武尧禹舜然成"
                "一如知正闻意信立恒")
NOT_SECOND = set("亦予子君卿家如若一可乐然维惟唯聿伊楚南北武尧禹成天闻敬")
# … except in these words, which read as a whole.
PAIR_WORDS = {
    "婉如", "宛如", "如一", "嫣然", "怡然", "欣然", "悠然", "超然", "卓然",
    "泰然", "湛然", "恬然", "翩然", "昂然", "毅然", "灿然", "焕然", "巍然",
    "屹然", "蔚然", "斐然", "粲然", "和乐", "欢乐", "安乐", "康乐", "怡乐",
    "嘉乐", "清乐", "纯一", "精一", "守一", "致一",
    "如玉", "如月", "如雪", "如琢", "如初", "如意", "如兰", "知言", "知秋", "知远",
    "舜华", "立言", "昊天", "钧天", "擎天", "云天", "博闻", "成章", "正则",
}
# 一 and 可 only in a word of jieba's list (一心 一念, 可爱 …).
WORD_ONLY = set("一可")
# 子 begins a name only from 诗经 and 楚辞 (子衿 "your collar"); in the other
# classics it is "Master" and 子X a disciple's name.
ZI_FIRST_RANK = 1
# Pairs that pass the rules but read wrong as a name: people and states of
# the classics, everyday or modern words, odd senses (each read on review).
BLOCKED = set("""
尧舜 舜禹 舜尧 禹稷 汤武 文武 成康 武丁 太甲 伊尹 周公 召公 南子 乐正 乐毅 渊明 和靖 曼卿
弘一 冰心 子夏 子思 子羽 子贡 子路 子游 子张 子产 子文 子西 子家 子胥 子建 子美 子瞻
子云 子房 子期 子卿 子牙 子仪 子华 子骞 子明 子高 子鱼 子反 子玉
可乐 可知 可言 知青 知子 知予 欢爱 心爱 爱子 逸乐 湛乐 乐子 家乐 书家 家书 家信 书信
凌晨 宽松 清洁 飞跃 飞驰 川航 维扬 信阳 岳阳 南天 天书 文书 心子 亭子 城子 雨子 歌子
蝶子 星子 智子 冠子 铃子 桐子 云子 驹子 妮子 月子 松子 龙子 墨子 晏子 章子 康子 桓子
诚然 赫然 森然 昭然 凝然 尚然 正然 美然 宜然 若然 然心 然吟 然龙
洛阳 南阳 衡阳 潇湘 阳城 龙城 锦城 嵩阳 嵩洛 嵩岳 嵩峰 衡岳 湘沅 沅湘 城南 安南 熙宁 淳熙
靖康 景阳 昭阳 宜阳 武安 崇仁 乐安 安远 怀远 云梦 梦泽 洛城 安城 锦官 洛浦 洛川 武昌 南昌
云雨 紫薇 湘云 天子 君子
静言 采菲 雨雪 星言 宜言 子惠 子宁 子佩 文茵 乐嘉 修广 硕言 贝锦 怀允 思柔 川泽 明昭 树羽
广德 昊天 柏舟 松舟 琼瑶 峻茂 兰芷 扬云 飞龙 辰良 乐康 安翔 思灵 紫贝 子慕 辰阳 怀信 诚言
恬愉 和德 炫耀 承云 韶歌 翔飞 辰星 湘灵 峥嵘 炫曜 超远 贤良 舒佩 舒芳 思念 嘉志 亮贤 泽洲
林泽 念灵 洛泽 玉璧 仁远 乐云 尚勇 嘉乐 博厚 广厚 致广 睿知 达德 德川 天德 欢乐 宽博 树艺
豪杰 佑启 诚信 语云 致志 桐梓 仁贤 巍然 嵩云 碧文 音书 映葭 星文 云树 安知 依静 遥知 明霁
冠剑 尚知 羽翼 锦亭 若梦 羽书 思飞 欢言 笙歌 心月 初静 梦云 思意 天涵 元嘉 秋心 雪云 檀樱
和雨 青翰 云意 远信 云音 青明 承明 飞雨 虹雨 念月 纤琼 妍暖 沁诗 元龙 博硕 天策 诗云 济宽
书策 茂树 心意 彰明 安逸 明知 豪俊 威震 恩厚 夕月 捷言 天汉 诚宜 鹤书 厚恩 纤歌 景慕 佳咏
天伦 云亭 远绍 熙鸿 书尚 歌诗 墨诚 良梓 栋宇 冉溪 林麓 夏宜 咏诗 翰林 修岳 歌咏 可爱 元佑
飞鸣 思启 赫奕 达聪 灿然 文瑛 豪达 致雨 佳妙 亭秋 湘弦 冰弦 清啸 蝶梦 纤雨 羽林 仁知 初涵
丹书 天威 豪贤 佩秋 虹霓 思弘
飞翔 纯洁 翱翔 宜修
芳心 碧玉 乾坤 瀚海 芳思 芳景 芳莲 玉纤 玉莲 素秋 青玉 玉筝 惠爱 美锦 德厚 海岱 德泽 恩德
广恩 懿敏 淑姿 琴弦 彤霞 澄海 玉兰 芳茵 紫玉 素书 淑景 广泽 清美
""".split())
# 全唐诗, 全宋词 and 五代词 hold tens of thousands of texts; a pair the rules
# pass there is a name only when a reader passed it too: every candidate the
# rules gave was read (1,037 names) and these were kept.
CAPPED_READ = set("""
湛然 清涟 铭勋 雅音 逸韵 泓澄 晴月 青霄 霄汉 晴云 清润 远峰 秉钧 泰然 逸致 清莹 心语 晴虹
雅韵 丹心 漪澜 初霁 云汀 澄澜 晨露 文星 雪霁 逸翰 云韶 知秋 静思 初心 澄碧 灵心 睿文 清音
鸿钧 瑞云 锦云 澄明 紫云 清澄 文彩 欣悦 晨曦 凝露 初月 希音 瑞芝 霈泽 清峻 清旭 翰墨
翔云 晴景 云溪 书剑 卓立 清诗 初雪 文雅 丹霄 碧荷 云鹤 妙音 清瑶 碧霄 恬然 扬帆 清朗 溪云
凌霄 澄心 鹏翼 晨星 鹏飞 宁馨 冰清 琼姿 碧瑶 和煦 澄静 夕岚 鸿羽 映雪 逸思 瑞雪 清漪 擎天
鹤翔 念远 文心 清雨 轩昂 腾云 晓云 初晓 嘉月 翩然 瑞彩 佳树 云翼 澄漪 凯泽 清宁
澄溪 睿思 蕙心 冰姿 超凡 澄莹 云轩 绮云 瑞鹤 灵姿 宽仁 鹏程 宏远 晴霁 月莹 清梦 恬静 秉正
瑶佩 翔龙 云程 松涛 仁泽 聪慧 清雅 清姿 琼佩 云章 清澈 初荷 娴雅 慧心 晴溪 昂霄 佩云
熙和 静逸 清馥 清俊 劲松
云岚 青岚 良璞 灵瑞 俊迈 茂彦 瑶音 韶音 芸书 朗怀 清淇 清轩 瑞璧 锦溪 云屿
琅书 芷汀 锦章 清仪 绚彩 琼韵 瑞月 超迈 龙翔 柔仪 钧韶 云舒 清嘉 锦心 晴霄 碧澜 熙怡
安舒 蕙馥
""".split())
# Subject and predicate: a pair of a thing of nature or of the arts and what
# it does or is (月明, 帆远, 雨初, 树静) reads as a clause cut out of the
# line, not as a name. Flying, rising and calling are the exception for the
# birds and beasts of good omen and the clouds (鹏飞, 鹤鸣, 云舒).
NOUNS = set("月云雪雨露星霞虹鹤鸿帆舟树林溪川海峰岳澜涛天阳晨夕秋夏城亭松兰荷莲"
            "桐蝶龙凤鹏声音歌琴笙弦心意梦诗书文墨剑羽翼岚汀洲屿渊源玉琼瑶锦彩辉"
            "晖韵景鸾莺菊叶峦沙岩石泉溪")
PREDICATES = set("明暗远静清凝映初满深高新暖晴澄润生起来成照开落散流动闲冷长近遥轻浓"
                 "淡斜横连合正早晚迟浮沉转过乱出平疏密好立定闻知思念临依随吟啼笑碧青"
                 "白红绿黄紫丹朗秀美佳悠安宁和")
MOTION = set("飞腾翔鸣跃扬舒展驰")
OMEN = set("鹏龙凤鹤鸿云鸾")

INFO = {}
HAN = re.compile(r"[\u3400-\u4dbf\u4e00-\u9fff\uf900-\ufaff]+")
SENTENCE = re.compile(r"[。！？；\n]|\\n")


def read_gbk_lines(path):
    return [ln for ln in path.read_bytes().decode("gbk").splitlines() if ln]


def load_chars():
    """Name characters: {char: (level, sexes, dated)}."""
    boys = set(read_gbk_lines(DATA / "男.dat"))
    girls = set(read_gbk_lines(DATA / "女.dat"))
    unsuitable = {ln.split("\t")[0] for ln in read_gbk_lines(DATA / "advice_unsuitable.dat")}
    info = {}
    for ln in read_gbk_lines(DATA / "advice_chars.dat"):
        f = ln.split("\t")
        ch, level, buses, guses, flags = f[0], int(f[1]), int(f[3]), int(f[4]), f[5]
        if ch not in boys and ch not in girls:
            continue
        assert ch not in unsuitable, ch
        sexes = set()
        if ch in boys:
            sexes.add("m")
        if ch in girls:
            sexes.add("f")
        dated = set()
        if "b" in flags:
            dated.add("m")
        if "g" in flags:
            dated.add("f")
        pos = {"m": tuple(map(int, f[8].split(","))), "f": tuple(map(int, f[9].split(",")))}
        info[ch] = (level, sexes, dated, pos)
    for ch in WELL_LOVED:
        assert ch in info and info[ch][0] == 2, ch
    for ch in EXTRA:
        assert ch not in info and ch not in unsuitable, ch
    return info, unsuitable


def load_jieba():
    words = {}
    for ln in JIEBA_DICT.read_text(encoding="utf-8").splitlines():
        f = ln.split()
        if len(f) >= 2 and len(f[0]) == 2:
            words[f[0]] = int(f[1])
    return words


def load_famous(info):
    barred = set()
    for ln in FAMOUS.read_text(encoding="utf-8").splitlines():
        if not ln or ln.startswith("#"):
            continue
        f = ln.split("\t")
        name = f[0]
        if len(f) > 2 and f[2].strip() == "full":
            continue
        given = name.split(" ")[1] if " " in name else name
        if len(given) == 2:
            barred.add(given)
    # The given names of the famous people of the advice's list whose
    # surname is a common one (陶渊明, 孟浩然, 史湘云, 夏紫薇), and of every
    # notorious one.
    common_surnames = set()
    for ln in (HERE / "surnames.tsv").read_text(encoding="utf-8").splitlines():
        if ln and not ln.startswith("#"):
            common_surnames.add(ln.split("\t")[0])
    for ln in read_gbk_lines(DATA / "advice_famous.dat"):
        f = ln.split("\t")
        if len(f[0]) == 3 and (f[1] == "notorious" or f[0][0] in common_surnames):
            barred.add(f[0][1:])
    return barred


def load_negative():
    entries = []
    for ln in NEGATIVE_SRC.read_text(encoding="utf-8").splitlines():
        ln = ln.strip()
        if not ln or ln.startswith("#"):
            continue
        assert HAN.fullmatch(ln), ln
        assert ln not in entries, ln
        entries.append(ln)
    return entries


def read_library():
    with tarfile.open(LIBRARY, "r:xz") as tar:
        data = tar.extractfile("library.tsv").read().decode("utf-8")
    for ln in data.splitlines():
        tid, coll, dyn, title, author, content = ln.split("\t")
        yield int(tid), coll, title, author, content


def text_skipped(coll, title, author):
    if coll not in RANK:
        return "collection not read"
    if coll == "蒙学" and title.startswith(MENGXUE_SKIP):
        return "collection not read"
    if title in LAMENT_TITLES or (coll, title, author) in LAMENT_TEXTS:
        return "lament"
    if any(c in LAMENT_TITLE_CHARS for c in title):
        return "lament"
    return None


def unit_starts(n):
    """Starts of the pairs that lie inside a unit of a line of n characters."""
    return {4: {0, 2}, 5: {0, 2, 3}, 6: {0, 2, 4}, 7: {0, 2, 4, 5}}.get(n)


def name_shape(a, b, sexes):
    """How much the pair looks like today's given names: the fewer of the
    uses of a first in names and of b second in names, for the better
    fitting sex (advice_chars.dat counts the 3,200 names by position)."""
    best = 0
    for s in sexes:
        fa = INFO[a][3][s][0] if a in INFO else 1
        sb = INFO[b][3][s][1] if b in INFO else 1
        best = max(best, min(fa, sb))
    return best


def main():
    info, unsuitable = load_chars()
    INFO.update(info)
    jieba = load_jieba()
    famous = load_famous(info)
    negative = load_negative()
    common = set(read_gbk_lines(DATA / "1600nan.dat")) | set(read_gbk_lines(DATA / "1600nv.dat"))
    surnames2 = {ln.split("\t")[0] for ln in read_gbk_lines(DATA / "advice_surnames.dat")
                 if len(ln.split("\t")[0]) == 2}
    neg_single = {e for e in negative if len(e) == 1}
    neg_words = [e for e in negative if len(e) > 1]

    def is_negative(s):
        return any(c in neg_single for c in s) or any(w in s for w in neg_words)

    texts = list(read_library())
    # Fame of a text within its collection: in 全唐诗 and 全宋词 the poets of
    # the curated collections first, then the poets with the most texts.
    curated_poets = {a for _, c, _, a, _ in texts if c in ("唐诗三百首", "宋词三百首")}
    per_author = collections.Counter((c, a) for _, c, _, a, _ in texts)

    def text_key(tid, coll, title, author):
        if coll in CAPPED:
            return (RANK[coll], 0 if author in curated_poets else 1,
                    -per_author[(coll, author)], tid)
        if coll == "蒙学":
            # 千家诗, then 古文观止, then the primers.
            return (RANK[coll], 1 if title.startswith(MENGXUE_BOOKS) else 0, 0, tid)
        return (RANK[coll], 0, 0, tid)

    def pair_rule(given, i, line, starts, rank):
        """The first rule a pair of the line breaks, or (None, sex, is_word)."""
        a, b = given
        sexes = {"m", "f"}
        for ch in given:
            if ch in EXTRA:
                if rank > TOP_RANK:
                    return "character not a name character", None, False
                sexes &= set(EXTRA[ch])
                continue
            if ch not in info:
                return "character not a name character", None, False
            level, s, dated, _ = info[ch]
            if level != 1 and ch not in WELL_LOVED:
                return "character not a name character", None, False
            if dated and rank > DATED_RANK:
                s = s - dated
            sexes &= s
        if a == b:
            return "doubled character", None, False
        if given in BLOCKED:
            return "blocked on review", None, False
        if given not in PAIR_WORDS and (a in NOT_FIRST or b in NOT_SECOND
                                        or (a == "子" and rank > ZI_FIRST_RANK)):
            return "particle, pronoun or proper name", None, False
        if not sexes:
            return "sexes do not meet", None, False
        if given in surnames2:
            return "particle, pronoun or proper name", None, False
        count = jieba.get(given, 0)
        is_word = count >= 3
        if count > EVERYDAY:
            return "everyday word", None, False
        # A pair that cuts a better word of the line in two (民心|安, 羽翼|成)
        # is a bad cut; in a line with a rhythm only a word that is a unit
        # itself counts (青|子 does not cut 青青|子衿).
        n = len(line)
        if ((i > 0 and (starts is None or i - 1 in starts)
             and jieba.get(line[i - 1:i + 1], 0) > max(count, 2))
                or (i + 2 < n and (starts is None or i + 1 in starts)
                    and jieba.get(line[i + 1:i + 3], 0) > max(count, 2))):
            return "cuts a word of the line", None, False
        if starts is not None:
            if i not in starts and not is_word:
                return "across a unit of the line", None, False
        elif not is_word:
            return "not a unit of the line", None, False
        if (a in NOUNS and (b in PREDICATES or (b in MOTION and a not in OMEN))
                and given not in PAIR_WORDS):
            return "subject and predicate", None, False
        if (a in WORD_ONLY or b in WORD_ONLY) and not is_word:
            return "一/可 outside a word", None, False
        if given in famous:
            return "famous given name", None, False
        if given in common and rank > TOP_RANK:
            return "commonest names", None, False
        return None, ("u" if sexes == {"m", "f"} else next(iter(sexes))), is_word

    support = collections.defaultdict(set)   # texts where the pair passes
    words_seen = set()
    reject = collections.Counter()
    texts_skipped = collections.Counter()
    best = {}   # given -> (key, record)

    for tid, coll, title, author, content in texts:
        why = text_skipped(coll, title, author)
        if why:
            texts_skipped[why] += 1
            continue
        rank = RANK[coll]
        tkey = text_key(tid, coll, title, author)
        for si, sentence in enumerate(SENTENCE.split(content)):
            sentence_negative = is_negative(sentence)
            for li, m in enumerate(HAN.finditer(sentence)):
                line = m.group()
                starts = unit_starts(len(line))
                for i in range(len(line) - 1):
                    given = line[i:i + 2]
                    why, sex, is_word = pair_rule(given, i, line, starts, rank)
                    if why is None and sentence_negative:
                        why = "negative line"
                    if why:
                        reject[why] += 1
                        continue
                    support[given].add(tid)
                    if is_word:
                        words_seen.add(given)
                    key = (tkey, 0 if (starts and i in starts) else 1, si, li, i)
                    rec = (given, sex, coll, title, author, line)
                    if given not in best or key < best[given][0]:
                        best[given] = (key, rec)

    # One source per name. From 全唐诗, 全宋词 and 五代词 only the pairs
    # that are words (jieba's, or a unit of KNOWN_TEXTS texts) and that a
    # reader passed.
    out, unread, names_rejected = [], [], collections.Counter()
    for key, rec in sorted(best.values()):
        given = rec[0]
        if rec[2] in CAPPED:
            if given not in words_seen and len(support[given]) < KNOWN_TEXTS:
                names_rejected["全唐诗/全宋词: not a word"] += 1
                continue
            if given not in CAPPED_READ:
                names_rejected["全唐诗/全宋词: not kept on reading"] += 1
                unread.append(rec)
                continue
        out.append(rec)
    # At most 15 % of the pairs hold a level-2 character, before the reading
    # (which leaves out more plain pairs than rare ones).
    level2 = sum(1 for r in out if any(ch in info and info[ch][0] == 2 for ch in r[0]))
    assert level2 <= 0.15 * len(out) or "--candidates" in sys.argv, (level2, len(out))
    # The team's blind readings (curated_readings.tsv, as for the curated
    # names): a pair a reader found odd or bad goes; the others carry how
    # many readers would shortlist them.
    readings = load_readings()
    kept = []
    for rec in out:
        shortlisted, odd = reading_verdict(readings, rec[0])
        if odd:
            names_rejected["read as odd or bad"] += 1
            continue
        kept.append(rec + (str(shortlisted),))
    out = kept
    if "--candidates" in sys.argv:
        # The pairs of the capped collections no reader has passed, the
        # most name-like first: the list for the next reading.
        unread.sort(key=lambda r: -name_shape(r[0][0], r[0][1],
                                              {"m", "f"} if r[1] == "u" else {r[1]}))
        Path(sys.argv[sys.argv.index("--candidates") + 1]).write_text(
            "".join("\t".join(r) + "\n" for r in unread), encoding="utf-8")

    l2 = sum(1 for r in out if any(ch in info and info[ch][0] == 2 for ch in r[0]))
    assert MIN_NAMES <= len(out) <= MAX_NAMES, len(out)
    for given, sex, coll, title, author, line, _ in out:
        assert len(given) == 2 and given in line and HAN.fullmatch(line), (given, line)
        assert not is_negative(line), line
        assert given not in famous and given not in BLOCKED, given
        for f in (title, author):
            assert "\t" not in f and "\n" not in f and "\r" not in f, f
    assert len({r[0] for r in out}) == len(out)

    body = "".join("\t".join(r) + "\r\n" for r in out).encode("gbk")
    assert len(body) <= MAX_BYTES, len(body)
    OUT_NAMES.write_bytes(body)
    OUT_NEGATIVE.write_bytes("".join(e + "\r\n" for e in negative).encode("gbk"))

    per_coll = collections.Counter(r[2] for r in out)
    per_sex = collections.Counter(r[1] for r in out)
    per_coll_sex = collections.Counter((r[2], r[1]) for r in out)
    report = {
        "names": len(out),
        "bytes": len(body),
        "by_collection": {c: per_coll[c] for c in sorted(per_coll, key=lambda c: RANK[c])},
        "by_sex": dict(sorted(per_sex.items())),
        "by_collection_and_sex": {"%s %s" % k: v for k, v in sorted(
            per_coll_sex.items(), key=lambda kv: (RANK[kv[0][0]], kv[0][1]))},
        "with_level2_character": l2,
        "texts_skipped": dict(texts_skipped),
        "pair_rejections (occurrences)": dict(reject.most_common()),
        "name_rejections": dict(names_rejected),
        "negative_entries": len(negative),
    }
    json.dump(report, sys.stdout, ensure_ascii=False, indent=1)
    print()


if __name__ == "__main__":
    main()
