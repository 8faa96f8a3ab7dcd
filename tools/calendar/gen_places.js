#!/usr/bin/env node
// Writes data/places.dat: the provinces of China and their prefecture-level
// cities (地级市, 地区, 自治州, 盟, and the cities and counties directly under a
// province) with the longitude and latitude of each, from the map data of the
// npm package echarts 4.9.0 (Apache-2.0; map/json/china.json for the
// provinces, map/json/china-cities.json for the cities, whose `cp` is the
// city's seat). The four municipalities, Hong Kong, Macao and Taiwan stand as
// their own single city. Run from the repository root after `npm ci` in
// tools/calendar:
//
//   node tools/calendar/gen_places.js
//
// Format: UTF-8, one place a line, tab-separated: province, city, longitude
// (degrees east), latitude (degrees north), both with four decimals; sorted
// by province, then city, in Chinese (pinyin) collation.
'use strict';

const fs = require('fs');
const path = require('path');
const provinces = require('echarts/map/json/china.json');
const cities = require('echarts/map/json/china-cities.json');
const pkg = require('echarts/package.json');

function assert(condition, message) {
  if (!condition) throw new Error('check failed: ' + message);
}

const provinceOf = new Map();
for (const f of provinces.features) {
  assert(/^\d{2}0000$/.test(f.id), `province id ${f.id}`);
  provinceOf.set(f.id.slice(0, 2), { name: f.properties.name, cp: f.properties.cp });
}
assert(provinceOf.size === 34, `${provinceOf.size} provinces`);

const rows = [];
const seen = new Set();
for (const f of cities.features) {
  const province = provinceOf.get(String(f.id).slice(0, 2));
  assert(province, `city ${f.id} without a province`);
  const [lon, lat] = f.properties.cp;
  const name = f.properties.name;
  assert(lon > 73 && lon < 136 && lat > 3 && lat < 54, `${name}: ${lon} ${lat}`);
  const key = province.name + '\t' + name;
  assert(!seen.has(key), `${key} twice`);
  seen.add(key);
  rows.push([province.name, name, lon, lat]);
}
for (const p of provinceOf.values()) {
  assert(rows.some((r) => r[0] === p.name), `${p.name} without a city`);
}

const collator = new Intl.Collator('zh-CN');
rows.sort((a, b) => collator.compare(a[0], b[0]) || collator.compare(a[1], b[1]));

// Telling rows.
const find = (p, c) => rows.find((r) => r[0] === p && r[1] === c);
assert(Math.abs(find('新疆', '乌鲁木齐')[2] - 87.6) < 0.1, '乌鲁木齐 at 87.6°E');
assert(Math.abs(find('北京', '北京')[2] - 116.4) < 0.1, '北京 at 116.4°E');
assert(Math.abs(find('黑龙江', '哈尔滨')[2] - 126.6) < 0.1, '哈尔滨 at 126.6°E');

const text = rows.map((r) => [r[0], r[1], r[2].toFixed(4), r[3].toFixed(4)].join('\t')).join('\n') + '\n';
const target = path.join(__dirname, '..', '..', 'data', 'places.dat');
fs.writeFileSync(target, text);
const lons = rows.map((r) => r[2]);
console.log(`wrote ${path.relative(process.cwd(), target)} from echarts ${pkg.version}: ${provinceOf.size} provinces, ` +
            `${rows.length} places, longitude ${Math.min(...lons).toFixed(2)}..${Math.max(...lons).toFixed(2)}`);
