#!/usr/bin/env python3
"""Writes data/5ge.dat, the numerology table of the grid numbers 1..81.

One line per number, in order: the key 第N数, the traditional name of the
number in parentheses, its verdict (吉, 半吉 or 凶) and a short reading.
The program finds the verdict words anywhere in a line by a byte-wise
search, so the reading texts never contain 吉 or 凶 themselves, and the
script checks the encoded bytes of every line for exactly the intended
verdict words (which also rules out a match straddling two characters).

Verdicts follow the 81-number table of Kumasaki Ken'o (熊崎健翁) in the
three-grade form of mainland Chinese naming handbooks. The readings are
our own short paraphrases of the traditional sense of each number.

Run from the repository root: python3 tools/chars/gen_5ge.py
"""

import pathlib
import re

ROOT = pathlib.Path(__file__).resolve().parents[2]
OUT = ROOT / "data" / "5ge.dat"

GOOD, HALF, BAD = "吉", "半吉", "凶"

# number: (traditional name, verdict, reading)
TABLE = {
    1: ("太极之数", GOOD, "万物起始，根基稳固，可得安定、健康与名望。"),
    2: ("两仪之数", BAD, "混沌未分，进退两难，常感孤立，劳而少功。"),
    3: ("三才之数", GOOD, "天地人齐备，头脑明快，进取有成，名利可期。"),
    4: ("四象之数", BAD, "根基不稳，多遇挫折，家运多艰，宜谨慎自守。"),
    5: ("五行之数", GOOD, "阴阳调和，身心康健，福禄长久，家道兴旺。"),
    6: ("六爻之数", GOOD, "天赐厚德，家业安泰，一生平顺，得享福分。"),
    7: ("七政之数", GOOD, "精力充沛，意志坚定，独立有为，宜以温和待人。"),
    8: ("八卦之数", GOOD, "意志如铁，勤勉刻苦，历经磨炼终能有成。"),
    9: ("大成之数", BAD, "才华虽高而时运不济，易陷困顿，难得依靠。"),
    10: ("终结之数", BAD, "如秋叶飘零，万事成空，宜防损耗与病患。"),
    11: ("旱苗逢雨", GOOD, "枯木逢春，循序渐进，家道复兴，顺遂繁荣。"),
    12: ("掘井无泉", BAD, "力薄而图大，所求难遂，易陷孤独困苦。"),
    13: ("春日牡丹", GOOD, "才艺出众，智谋过人，善处世事，能成大业。"),
    14: ("破兆之数", BAD, "家缘淡薄，忧愁多虑，劳苦奔波而所得甚少。"),
    15: ("福寿之数", GOOD, "德高望重，福寿双全，得众人扶助而立业。"),
    16: ("厚重之数", GOOD, "宽厚得人心，贵人相助，能成领袖之才。"),
    17: ("刚强之数", GOOD, "刚毅果断，能破万难，然过刚易折，宜柔以济之。"),
    18: ("铁镜重磨", GOOD, "志向坚定，有权有谋，努力可达目的，名利两得。"),
    19: ("多难之数", BAD, "风云蔽月，虽有才智而多阻碍，易生意外变故。"),
    20: ("屋下藏金", BAD, "根基空虚，百事难成，进退失据，宜防灾厄。"),
    21: ("明月中天", GOOD, "光明正大，独立自尊，能得众望，事业兴隆。"),
    22: ("秋草逢霜", BAD, "怀才不遇，志气消沉，事多半途而废。"),
    23: ("壮丽之数", GOOD, "如旭日东升，势力旺盛，可成大业。"),
    24: ("掘藏得金", GOOD, "白手起家，财源广进，晚年安乐富足。"),
    25: ("荣俊之数", GOOD, "资性聪敏，才能奇特，修身养性可达成功。"),
    26: ("变怪之数", BAD, "波折重重，虽有英雄气概，一生起落难料。"),
    27: ("增长之数", HALF, "自我心强，中年多有成就，然易招诽谤，晚景宜慎。"),
    28: ("阔水浮萍", BAD, "漂泊不定，骨肉离散，多遇纷争与辛劳。"),
    29: ("智谋之数", GOOD, "才略兼备，财力可观，能成就事业，宜戒贪心。"),
    30: ("非运之数", HALF, "浮沉不定，得失参半，成败系于一念之间。"),
    31: ("春日花开", GOOD, "智勇双全，意志坚定，名利双收，家门兴盛。"),
    32: ("宝马金鞍", GOOD, "多逢机遇，得贵人提携，前途顺畅。"),
    33: ("旭日升天", GOOD, "鸾凤相会，才德兼备，名闻天下，宜戒骄矜。"),
    34: ("破家之数", BAD, "灾祸相随，辛苦而难守成，家庭多有变故。"),
    35: ("高楼望月", GOOD, "温和平静，智达通畅，在文艺、技能方面易有成就。"),
    36: ("波澜重叠", BAD, "侠义之气重，常为人奔忙，一生风浪不断。"),
    37: ("猛虎出林", GOOD, "权威显达，忠实热诚，能独当一面，成就大业。"),
    38: ("磨铁成针", HALF, "意志薄弱而才艺可观，于文艺技术方面可望有成。"),
    39: ("富贵荣华", GOOD, "财帛丰盈，位高权重，然盛极易衰，宜守德。"),
    40: ("退安之数", HALF, "智谋胆略俱有，然好冒险投机，沉浮难料，宜知进退。"),
    41: ("有德之数", GOOD, "德望兼备，纯阳独秀，事业有成，名声远播。"),
    42: ("寒蝉在柳", BAD, "博识多能而精力分散，难专一事，易陷困窘。"),
    43: ("散财破产", BAD, "外表风光而内里空虚，钱财易散，宜防失败。"),
    44: ("烦闷之数", BAD, "事与愿违，家运衰退，多有忧愁苦难。"),
    45: ("顺风之数", GOOD, "新生泰和，顺风扬帆，智谋兼具，能成大业。"),
    46: ("浪里淘金", BAD, "载宝沉舟，多历艰难，须以坚忍方可渡过。"),
    47: ("点石成金", GOOD, "花开之象，得贵人相扶，家门兴旺，福禄绵长。"),
    48: ("古松立鹤", GOOD, "智谋兼备，德高望重，可为人师表与顾问。"),
    49: ("转变之数", HALF, "境遇多变，得失相随，随机应变方能保全。"),
    50: ("小舟入海", BAD, "一成一败，先得后失，晚景易陷孤寂。"),
    51: ("沉浮之数", HALF, "盛衰交替，早年得志者须防晚年失势。"),
    52: ("达眼之数", GOOD, "眼光独到，善于把握时机，能成大事。"),
    53: ("曲卷难星", BAD, "外表风光内里忧苦，前半生顺而后半生多艰。"),
    54: ("石上栽花", BAD, "多难少成，辛苦无功，易遭损失与不和。"),
    55: ("善恶之数", HALF, "外观繁盛而内藏隐忧，须以坚忍克服困境。"),
    56: ("浪里行舟", BAD, "历尽艰辛，事与愿违，缺乏进取的勇气。"),
    57: ("日照春松", GOOD, "寒雪青松，坚毅有节，经一番磨难后终得繁荣。"),
    58: ("晚行遇月", HALF, "先苦后甜，早年多经风雨，晚年渐入佳境。"),
    59: ("寒蝉悲风", BAD, "意志衰退，缺乏忍耐与勇气，难成事业。"),
    60: ("无谋之数", BAD, "黑暗无光，心迷意乱，进退失据，难得安宁。"),
    61: ("牡丹芙蓉", GOOD, "名利双收，繁荣富贵，宜修德以保长久。"),
    62: ("衰败之数", BAD, "根基薄弱，事业难展，内外不和，多有困苦。"),
    63: ("舟出平浪", GOOD, "万物化育，繁荣之象，家运昌隆，福寿俱全。"),
    64: ("非命之数", BAD, "骨肉分离，孤独悲愁，一生多有沉浮。"),
    65: ("巨流归海", GOOD, "天长地久，家运兴隆，富贵长寿，事事圆满。"),
    66: ("岩头步马", BAD, "进退维谷，内外不和，信用难立，多有艰难。"),
    67: ("顺风通达", GOOD, "天赋幸运，独立自主，事业通达，家道繁昌。"),
    68: ("顺风吹帆", GOOD, "智虑周密，有发明创造之才，能得众人信赖而成功。"),
    69: ("非业之数", BAD, "处境动荡，坐立难安，易遭挫折与病痛。"),
    70: ("残菊逢霜", BAD, "寂寞无援，忧愁困苦，家运衰微。"),
    71: ("石上金花", HALF, "虽有享福之运，然少实行之力，须勤勉方得成就。"),
    72: ("劳苦之数", BAD, "表面安乐而内里辛苦，先甘后苦，晚景多艰。"),
    73: ("无勇之数", HALF, "志向虽高而魄力不足，安守本分可得平安。"),
    74: ("残菊经霜", BAD, "无能无智，坐吃山空，多遭逆境。"),
    75: ("退守之数", HALF, "宜守不宜进，安分守己可保平安，冒进则有失。"),
    76: ("离散之数", BAD, "倾覆离散，骨肉分离，内外不和，多有劳苦。"),
    77: ("苦乐之数", HALF, "乐中有忧，前半生顺遂而后半生多劳，或反之。"),
    78: ("晚苦之数", HALF, "中年以前能得成就，晚年渐衰，宜早作打算。"),
    79: ("云头望月", BAD, "身疲力竭，精神不定，难得他人信任。"),
    80: ("遁隐之数", BAD, "辛苦不绝，病痛缠身，宜修身养性，安于平淡。"),
    81: ("万物回春", GOOD, "还原复始，回归太极之数，得享福禄，名利双收。"),
}


def line_of(number):
    name, verdict, reading = TABLE[number]
    return f"第{number}数（{name}）{verdict}：{reading}"


def main():
    assert sorted(TABLE) == list(range(1, 82))
    lines = [line_of(n) for n in range(1, 82)]
    encoded = [line.encode("gb2312") for line in lines]
    good, half, bad = (w.encode("gbk") for w in (GOOD, HALF, BAD))
    for n, raw in zip(range(1, 82), encoded):
        verdict = TABLE[n][1]
        # Exactly the intended verdict words, found byte-wise as the program does.
        assert raw.count(good) == (0 if verdict == BAD else 1), (n, lines[n - 1])
        assert (half in raw) == (verdict == HALF), (n, lines[n - 1])
        assert (bad in raw) == (verdict == BAD), (n, lines[n - 1])
        # The only ASCII digits are those of the key.
        assert re.findall(rb"[0-9]+", raw) == [str(n).encode()], n
    for key in range(0, 1000):
        holders = [i + 1 for i, raw in enumerate(encoded) if f"第{key}数".encode("gbk") in raw]
        assert holders == ([key] if 1 <= key <= 81 else []), (key, holders)

    data = b"".join(raw + b"\r\n" for raw in encoded)
    OUT.write_bytes(data)
    counts = {v: sum(1 for t in TABLE.values() if t[1] == v) for v in (GOOD, HALF, BAD)}
    print(f"wrote {OUT}: {len(data)} bytes, 81 lines; " + ", ".join(f"{v} {c}" for v, c in counts.items()))
    for v in (GOOD, HALF, BAD):
        print(v, " ".join(str(n) for n in range(1, 82) if TABLE[n][1] == v))


if __name__ == "__main__":
    main()
