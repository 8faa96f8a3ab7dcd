#!/usr/bin/env node
// Checks the CSV of `tavrin-cli lunar FROM TO --csv` day by day and column by
// column against the calendar of the npm package lunar-javascript, an
// independent astronomical computation of the real Chinese calendar.
//
//   build/bin/tavrin-cli lunar 1900-01-01 2057-03-04 --csv > /tmp/lunar.csv
//   node tools/calendar/check_lunar_csv.js /tmp/lunar.csv      (or - for stdin)
//
// Exits 0 when every row agrees, 1 with the first disagreements otherwise.
//
// Reference values per column:
//   lYear, lMonth, leap, lDay   the lunar date of the day
//   MaxMonthDays                days of that lunar month (a leap month its own)
//   cYear_true                  year pillar changing on the day of 立春
//   cMonth_true                 month pillar changing on the day of each month's first term
//   cDay                        day pillar
//   cYear_false                 year pillar of the lunar year
//   cMonth_false                month pillar of the lunar month by the five-tiger rule
//                               (month 1 is a 寅 month whose stem follows the year stem:
//                               甲/己 years open with 丙寅, 乙/庚 with 戊寅, ...); a leap
//                               month is named like the ordinary month of its number
//   AnimalYear_true             zodiac animal of the year that changes at 立春
//   SolarTerm                   the solar term falling on the day (China Standard Time)
//   FeastOfLunar                the program's lunar festival list by lunar month and day,
//                               除夕 on the last day of the twelfth month, 清明节 on the day
//                               of 清明 (除夕 is also checked against lunar-javascript's own)
'use strict';

const fs = require('fs');
const { Solar, LunarMonth, LunarUtil } = require('lunar-javascript');

const HEADER =
  'date,lYear,lMonth,leap,lDay,MaxMonthDays,cYear_true,cMonth_true,cDay,cYear_false,cMonth_false,' +
  'AnimalYear_true,SolarTerm,FeastOfLunar';
const LUNAR_FEASTS = [
  [1, 1, '春节'], [1, 15, '元宵节'], [2, 1, '中和节'], [2, 2, '龙抬头节'], [3, 23, '妈祖生辰'],
  [7, 7, '七夕情人节'], [7, 15, '中元节(鬼节、盂兰盆)'], [8, 15, '中秋节'], [9, 9, '重阳节 中国老年节'],
  [12, 8, '腊八节'], [12, 23, '北方小年(祭灶)'], [12, 24, '小年'],
];

function parseCsvLine(line) {
  const fields = [];
  let field = '';
  let quoted = false;
  for (let i = 0; i < line.length; i++) {
    const c = line[i];
    if (quoted) {
      if (c === '"' && line[i + 1] === '"') {
        field += '"';
        i++;
      } else if (c === '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c === '"') {
      quoted = true;
    } else if (c === ',') {
      fields.push(field);
      field = '';
    } else {
      field += c;
    }
  }
  fields.push(field);
  return fields;
}

function reference(solar) {
  const lunar = solar.getLunar();
  const month = Math.abs(lunar.getMonth());
  const maxDays = LunarMonth.fromYm(lunar.getYear(), lunar.getMonth()).getDayCount();
  const yearStem = lunar.getYearGanIndex(); // 0 = 甲, by lunar year
  const monthStem = ((yearStem % 5) * 2 + 2 + month - 1) % 10;
  const monthBranch = (month + 1) % 12;
  const term = lunar.getJieQi();
  let feast = '';
  for (const [m, d, text] of LUNAR_FEASTS) {
    if (m === month && d === lunar.getDay()) {
      feast = text;
      break;
    }
  }
  if (month === 12 && lunar.getDay() === maxDays) feast = '除夕';
  if (term === '清明') feast = '清明节';
  const eve = lunar.getFestivals().includes('除夕');
  if (eve !== (feast === '除夕')) throw new Error(`${solar.toYmd()}: the last day of the year disagrees`);
  return [
    solar.toYmd(),
    String(lunar.getYear()),
    String(month),
    lunar.getMonth() < 0 ? '1' : '0',
    String(lunar.getDay()),
    String(maxDays),
    lunar.getYearInGanZhiByLiChun(),
    lunar.getMonthInGanZhi(),
    lunar.getDayInGanZhi(),
    lunar.getYearInGanZhi(),
    LunarUtil.GAN[monthStem + 1] + LunarUtil.ZHI[monthBranch + 1],
    lunar.getYearShengXiaoByLiChun(),
    term,
    feast,
  ];
}

function main() {
  const source = process.argv[2];
  if (!source) {
    console.error('usage: node check_lunar_csv.js FILE.csv|-');
    process.exit(2);
  }
  const text = fs.readFileSync(source === '-' ? 0 : source, 'utf8');
  const lines = text.split('\n');
  if (lines[lines.length - 1] === '') lines.pop();
  if (lines[0] !== HEADER) {
    console.error('header differs:\n  got      ' + lines[0] + '\n  expected ' + HEADER);
    process.exit(1);
  }
  const columns = HEADER.split(',');
  const mismatches = [];
  const perColumn = new Map();
  let expectedDate = null;
  for (let i = 1; i < lines.length; i++) {
    const got = parseCsvLine(lines[i]);
    const [y, m, d] = got[0].split('-').map(Number);
    const solar = Solar.fromYmd(y, m, d);
    if (expectedDate && solar.toYmd() !== expectedDate) {
      mismatches.push(`line ${i + 1}: date ${got[0]} where ${expectedDate} was expected`);
    }
    expectedDate = solar.next(1).toYmd();
    const want = reference(solar);
    if (got.length !== want.length) {
      mismatches.push(`line ${i + 1}: ${got.length} fields`);
      continue;
    }
    for (let c = 0; c < want.length; c++) {
      if (got[c] !== want[c]) {
        perColumn.set(columns[c], (perColumn.get(columns[c]) || 0) + 1);
        mismatches.push(`${got[0]} ${columns[c]}: got "${got[c]}", reference "${want[c]}"`);
      }
    }
  }
  const rows = lines.length - 1;
  if (mismatches.length) {
    console.log(mismatches.slice(0, 50).join('\n'));
    console.log(`${mismatches.length} disagreements in ${rows} rows`, Object.fromEntries(perColumn));
    process.exit(1);
  }
  console.log(`all ${rows} rows agree with lunar-javascript (${lines[1].slice(0, 10)} .. ${lines[rows].slice(0, 10)})`);
}

main();
