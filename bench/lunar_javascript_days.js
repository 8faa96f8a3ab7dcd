#!/usr/bin/env node
// Converts every day from FROM to TO (YYYY-MM-DD) with the npm package
// lunar-javascript and writes one CSV line per day with what `tavrin-cli
// lunar --csv` writes: the lunar date, leap flag and month length, the year,
// month and day pillars, the zodiac animal, the solar term and the lunar
// festival. Prints the conversion time in milliseconds on stderr.
'use strict';

const { Solar, LunarMonth } = require('lunar-javascript');

const [from, to] = process.argv.slice(2);
const parse = (text) => text.split('-').map(Number);
const [fy, fm, fd] = parse(from);
const [ty, tm, td] = parse(to);
const end = Date.UTC(ty, tm - 1, td);
const out = [];
const started = process.hrtime.bigint();
for (let t = Date.UTC(fy, fm - 1, fd); t <= end; t += 86400000) {
  const day = new Date(t);
  const lunar = Solar.fromYmd(day.getUTCFullYear(), day.getUTCMonth() + 1, day.getUTCDate()).getLunar();
  const month = lunar.getMonth();
  const monthDays = LunarMonth.fromYm(lunar.getYear(), month).getDayCount();
  out.push([
    `${day.getUTCFullYear()}-${day.getUTCMonth() + 1}-${day.getUTCDate()}`, lunar.getYear(), Math.abs(month),
    month < 0 ? 1 : 0, lunar.getDay(), monthDays, lunar.getYearInGanZhiByLiChun(), lunar.getMonthInGanZhiExact(),
    lunar.getDayInGanZhi(), lunar.getYearInGanZhi(), lunar.getMonthInGanZhi(), lunar.getYearShengXiaoByLiChun(),
    lunar.getJieQi(), lunar.getFestivals().join(' '),
  ].join(','));
}
const elapsed = Number(process.hrtime.bigint() - started) / 1e6;
process.stdout.write(out.join('\n') + '\n');
process.stderr.write(`${elapsed.toFixed(1)}\n`);
