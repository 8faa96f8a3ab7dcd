#!/usr/bin/env node
// Writes data/generated/calendar_tables.inc: the compiled-in Chinese calendar
// tables (month sizes, leap months and solar-term days), derived from the
// astronomical calendar of the npm package lunar-javascript (pinned in
// package.json). Run from the repository root after `npm ci` in tools/calendar:
//
//   node tools/calendar/gen_calendar_tables.js
//
// Encoding (one row per year, year index i = year - 1900):
//   MonthSizeTable  16-bit word per lunar year; month 1 is bit 15, the months
//                   follow from the most significant bit down in calendar
//                   order, a leap month right after the ordinary month of the
//                   same number; a set bit is a 30-day month, a clear one 29.
//   LeapMonthTable  4-bit leap month number (0 = none), two per byte, even
//                   year index in the high nibble.
//   SolarTermTable  one byte per Gregorian month; the month's first solar term
//                   falls on day 15 - high nibble, its second on 15 + low
//                   nibble, both dates in China Standard Time (UTC+8).
// The rows cover lunar and Gregorian years 1900..2056. One more row, for lunar
// and Gregorian 2057, is written separately: the real lunar 2056 ends on
// 2057-02-03, and that row lets the days after it (and the solar-month names
// of early 2057) follow the real calendar too.
'use strict';

const fs = require('fs');
const path = require('path');
const { Solar, LunarYear } = require('lunar-javascript');
const pkg = require('lunar-javascript/package.json');

const FIRST_YEAR = 1900;
const LAST_YEAR = 2056;
const EXTRA_YEAR = 2057;
const TERM_NAMES = [
  '小寒', '大寒', '立春', '雨水', '惊蛰', '春分', '清明', '谷雨', '立夏', '小满', '芒种', '夏至',
  '小暑', '大暑', '立秋', '处暑', '白露', '秋分', '寒露', '霜降', '立冬', '小雪', '大雪', '冬至',
];

function assert(condition, message) {
  if (!condition) throw new Error('check failed: ' + message);
}

function ymd(solar) {
  return [solar.getYear(), solar.getMonth(), solar.getDay()];
}

// Month-size word and leap month of one lunar year, checked month by month.
function lunarYearRow(year) {
  const ly = LunarYear.fromYear(year);
  const months = ly.getMonthsInYear();
  const leap = ly.getLeapMonth();
  assert(months.length === (leap ? 13 : 12), `${year}: month count`);
  let word = 0;
  let bit = 15;
  let expected = 1;
  let total = 0;
  for (const m of months) {
    const number = m.getMonth();
    if (number < 0) {
      assert(-number === leap && expected - 1 === leap, `${year}: leap month ${number} out of place`);
    } else {
      assert(number === expected, `${year}: month ${number} where ${expected} was expected`);
      expected++;
    }
    const days = m.getDayCount();
    assert(days === 29 || days === 30, `${year}: month of ${days} days`);
    if (days === 30) word |= 1 << bit;
    bit--;
    total += days;
  }
  assert(total >= 353 && total <= 385, `${year}: ${total} days`);
  assert(leap >= 0 && leap <= 12, `${year}: leap ${leap}`);
  assert(leap !== 12, `${year}: a leap twelfth month is not expected in this range`);
  return { word, leap, total, first: months[0].getFirstJulianDay() };
}

// The date of every solar term (China Standard Time) -> its name; the table of one
// lunar year runs from the 大雪 before it to the 惊蛰 after it, under Chinese keys
// for the terms of its own Gregorian year.
const termDates = new Map();
function collectTerms(lunarYear) {
  const table = Solar.fromYmd(lunarYear, 6, 1).getLunar().getJieQiTable();
  for (const key of Object.keys(table)) {
    const s = table[key];
    const name = /^[A-Z_]+$/.test(key) ? null : key;
    const k = ymd(s).join('-');
    if (name) {
      assert(!termDates.has(k) || termDates.get(k) === name, `two terms on ${k}`);
      termDates.set(k, name);
    }
  }
}

function solarTermRow(year) {
  const row = [];
  for (let month = 1; month <= 12; month++) {
    const days = new Date(Date.UTC(year, month, 0)).getUTCDate();
    const found = [];
    for (let day = 1; day <= days; day++) {
      const name = termDates.get(`${year}-${month}-${day}`);
      if (name) found.push({ day, name });
    }
    assert(found.length === 2, `${year}-${month}: ${found.length} terms`);
    const [first, second] = found;
    assert(first.name === TERM_NAMES[2 * (month - 1)], `${year}-${month}: first term ${first.name}`);
    assert(second.name === TERM_NAMES[2 * (month - 1) + 1], `${year}-${month}: second term ${second.name}`);
    const high = 15 - first.day;
    const low = second.day - 15;
    assert(high >= 1 && high <= 15 && low >= 1 && low <= 15, `${year}-${month}: term days ${first.day} ${second.day}`);
    row.push((high << 4) | low);
  }
  return row;
}

for (let y = FIRST_YEAR - 1; y <= EXTRA_YEAR + 1; y++) collectTerms(y);

const lunarRows = [];
for (let y = FIRST_YEAR; y <= EXTRA_YEAR; y++) lunarRows.push(lunarYearRow(y));
// The years follow one another without gaps, and lunar 1900 opens on
// 1900-01-31 after a 30-day twelfth month of 1899 that opens on 1900-01-01.
for (let i = 1; i < lunarRows.length; i++) {
  assert(lunarRows[i].first === lunarRows[i - 1].first + lunarRows[i - 1].total, `gap before ${FIRST_YEAR + i}`);
}
assert(Solar.fromJulianDay(lunarRows[0].first).toYmd() === '1900-01-31', 'lunar 1900 opens on 1900-01-31');
const lastDay = Solar.fromJulianDay(lunarRows[LAST_YEAR - FIRST_YEAR].first + lunarRows[LAST_YEAR - FIRST_YEAR].total - 1);
assert(lastDay.toYmd() === '2057-02-03', 'lunar 2056 ends on 2057-02-03');
{
  const l = Solar.fromYmd(1900, 1, 1).getLunar();
  assert(l.getYear() === 1899 && l.getMonth() === 12 && l.getDay() === 1, '1900-01-01 is lunar 1899/12/1');
}

const termRows = [];
for (let y = FIRST_YEAR; y <= EXTRA_YEAR; y++) termRows.push(solarTermRow(y));

// Telling rows that fix the encoding.
const hex2 = (v) => v.toString(16).toUpperCase().padStart(2, '0');
const telling = {
  1900: ['4B68', 8, '95 B4 96 A5 96 97 88 78 78 69 78 87'],
  2000: ['C960', 0, '96 B4 A5 B5 A6 A6 87 88 88 78 87 86'],
  2024: ['4B60', 0, '95 B4 A5 B4 A5 A6 97 87 87 78 87 96'],
};
for (const [year, [word, leap, terms]] of Object.entries(telling)) {
  const i = year - FIRST_YEAR;
  assert(lunarRows[i].word.toString(16).toUpperCase().padStart(4, '0') === word, `${year} month sizes`);
  assert(lunarRows[i].leap === leap, `${year} leap month`);
  assert(termRows[i].map(hex2).join(' ') === terms, `${year} solar terms`);
}

const count = LAST_YEAR - FIRST_YEAR + 1;
const leapBytes = [];
for (let i = 0; i < count; i += 2) {
  const high = lunarRows[i].leap;
  const low = i + 1 < count ? lunarRows[i + 1].leap : 0;
  leapBytes.push((high << 4) | low);
}

const lines = [];
const out = (s) => lines.push(s);
out('// Generated by tools/calendar/gen_calendar_tables.js from lunar-javascript ' + pkg.version + ' (MIT).');
out('// Do not edit; rerun the script instead. See tools/README.md for the encoding.');
out('// Each row is commented with its year; solar-term dates are China Standard Time.');
out('');
out(`inline constexpr int kTableFirstYear = ${FIRST_YEAR};`);
out(`inline constexpr int kTableLastYear = ${LAST_YEAR};`);
out(`inline constexpr int kTableYears = ${count};`);
out('');
out('// Lunar month sizes: month 1 in bit 15, a leap month after its namesake, 1 = 30 days.');
out('inline constexpr std::uint16_t kMonthSizeTable[kTableYears] = {');
for (let i = 0; i < count; i++) {
  const r = lunarRows[i];
  out(`    0x${r.word.toString(16).toUpperCase().padStart(4, '0')},  // ${FIRST_YEAR + i}: ${r.total} days` +
      (r.leap ? `, leap month ${r.leap}` : ''));
}
out('};');
out('');
out('// Leap month numbers, two years a byte, the even year index in the high nibble.');
out('inline constexpr std::uint8_t kLeapMonthTable[(kTableYears + 1) / 2] = {');
for (let i = 0; i < leapBytes.length; i++) {
  const y = FIRST_YEAR + 2 * i;
  out(`    0x${hex2(leapBytes[i])},  // ${y}` + (2 * i + 1 < count ? `, ${y + 1}` : ''));
}
out('};');
out('');
out('// Solar-term days per Gregorian month: first term on 15 - high nibble, second on 15 + low nibble.');
out('inline constexpr std::uint8_t kSolarTermTable[kTableYears * 12] = {');
for (let i = 0; i < count; i++) {
  out('    ' + termRows[i].map((b) => '0x' + hex2(b) + ',').join(' ') + `  // ${FIRST_YEAR + i}`);
}
out('};');
out('');
out(`// The year after the tables, ${EXTRA_YEAR}, in the same encodings: lunar ${EXTRA_YEAR} and the`);
out(`// solar terms of Gregorian ${EXTRA_YEAR}.`);
const extra = lunarRows[EXTRA_YEAR - FIRST_YEAR];
out(`inline constexpr int kExtraYear = ${EXTRA_YEAR};`);
out(`inline constexpr std::uint16_t kMonthSizeExtraYear = 0x${extra.word.toString(16).toUpperCase().padStart(4, '0')};` +
    `  // ${extra.total} days`);
out(`inline constexpr std::uint8_t kLeapMonthExtraYear = ${extra.leap};`);
out('inline constexpr std::uint8_t kSolarTermExtraYear[12] = {' +
    termRows[EXTRA_YEAR - FIRST_YEAR].map((b) => '0x' + hex2(b)).join(', ') + '};');

const target = path.join(__dirname, '..', '..', 'data', 'generated', 'calendar_tables.inc');
fs.writeFileSync(target, lines.join('\n') + '\n');
const leapYears = lunarRows.slice(0, count).filter((r) => r.leap).length;
console.log(`wrote ${path.relative(process.cwd(), target)}: ${count} years, ${leapYears} with a leap month, ` +
            `${count * 12} solar-term bytes, extra year ${EXTRA_YEAR} (${extra.total} days)`);
