// Builds data/yq.dat, the binary pinyin index of the GB2312 characters.
//
// Layout: a table of unsigned 32-bit little-endian file positions, one per
// cell of the GB2312 code area in row order from 0xA1A1 (rows 0xA1..0xF7,
// trail bytes 0xA1..0xFE, 87 x 94 = 8,178 cells), plus one entry behind the
// last cell that marks the end of the last record. Each record is one
// separator byte (a blank) followed by the pinyin text: lower-case letters,
// u-umlaut written as v, and the tone as one digit 1..5. Cells that are not
// GB2312 hanzi (the symbol rows, the unassigned cells) get an empty record
// (the separator alone). One more blank closes the file, so that reading a
// record together with the separator of the following one never runs past
// the end.
//
// Run from the repository root: node tools/chars/gen_yq.js
'use strict';

const fs = require('fs');
const path = require('path');
const { pinyin } = require('pinyin-pro');
const { gb2312Hanzi, unihanField, debianVersion, npmVersion } = require('./gb2312');

const ROOT = path.resolve(__dirname, '..', '..');
const OUT = path.join(ROOT, 'data', 'yq.dat');

const FIRST_LEAD = 0xa1;
const LAST_LEAD = 0xf7;
const CELLS = (LAST_LEAD - FIRST_LEAD + 1) * 94;
const TABLE_BYTES = (CELLS + 1) * 4;
const SEPARATOR = 0x20;
const READING = /^[a-z]+[1-5]$/;

// pinyin-pro's default reading with the tone as a digit (0 = neutral) and
// u-umlaut as v.
function defaultReading(ch) {
  return pinyin(ch, { toneType: 'num', v: true });
}

function allReadings(ch) {
  return pinyin(ch, { toneType: 'num', v: true, multiple: true, type: 'array' });
}

// The stored reading: the default one; when that is neutral, the first of the
// character's readings that carries a tone 1..4, or the neutral syllable with
// tone 5 when it has none.
function storedReading(ch, neutralLog) {
  const first = defaultReading(ch);
  if (!/^[a-z]+[0-4]$/.test(first)) throw new Error(`unexpected reading ${first} of ${ch}`);
  if (!first.endsWith('0')) return first;
  const toned = allReadings(ch).find((r) => /^[a-z]+[1-4]$/.test(r));
  const chosen = toned || first.slice(0, -1) + '5';
  neutralLog.push(`${ch} ${first} -> ${chosen}`);
  return chosen;
}

// A Unihan reading with tone marks (zhāng, lǜ, de) as letters plus tone digit
// (zhang1, lv4, de5), in the same spelling as the stored readings.
function numericReading(marked) {
  const decomposed = marked.normalize('NFD');
  let letters = '';
  let tone = 5;
  for (const c of decomposed) {
    switch (c) {
      case '\u0304': tone = 1; break;
      case '\u0301': tone = 2; break;
      case '\u030c': tone = 3; break;
      case '\u0300': tone = 4; break;
      case '\u0308': letters = letters.replace(/u$/, 'v'); break;
      case '\u0302': break;  // e-circumflex is spelled e
      default: letters += c.toLowerCase();
    }
  }
  return letters + tone;
}

function main() {
  const hanzi = gb2312Hanzi();
  const readingOf = new Map();
  const neutralLog = [];
  for (const { lead, trail, ch } of hanzi) {
    const r = storedReading(ch, neutralLog);
    if (!READING.test(r)) throw new Error(`bad reading ${r} of ${ch}`);
    readingOf.set((lead << 8) | trail, { ch, reading: r });
  }

  // Table and records.
  const records = [];
  const table = Buffer.alloc(TABLE_BYTES);
  let pos = TABLE_BYTES;
  let cell = 0;
  for (let lead = FIRST_LEAD; lead <= LAST_LEAD; lead++) {
    for (let trail = 0xa1; trail <= 0xfe; trail++, cell++) {
      table.writeUInt32LE(pos, cell * 4);
      const entry = readingOf.get((lead << 8) | trail);
      const record = Buffer.concat([Buffer.from([SEPARATOR]), Buffer.from(entry ? entry.reading : '', 'ascii')]);
      records.push(record);
      pos += record.length;
    }
  }
  if (cell !== CELLS) throw new Error('cell count');
  table.writeUInt32LE(pos, CELLS * 4);
  records.push(Buffer.from([SEPARATOR]));
  const file = Buffer.concat([table, ...records]);
  if (file.length !== pos + 1) throw new Error('size');

  // Self-check: read every cell back the way the program does.
  const at = (l, t) => ((l - FIRST_LEAD) * 94 + (t - 0xa1)) * 4;
  const lookup = (l, t) => {
    const start = file.readUInt32LE(at(l, t));
    const next = file.readUInt32LE(at(l, t) + 4);
    const bytes = file.subarray(start + 1, start + 1 + (next - start));
    if (bytes.toString('latin1').replace(/^[\x00-\x20]+|[\x00-\x20]+$/g, '') === '') return '';
    return bytes.subarray(0, bytes.length - 1).toString('ascii');
  };
  if (at(0xb0, 0xa1) !== 5640 || at(0xf7, 0xfe) + 4 !== 32712) throw new Error('table positions');
  for (const [code, { ch, reading }] of readingOf) {
    if (lookup(code >> 8, code & 0xff) !== reading) throw new Error(`read-back of ${ch}`);
  }
  const spot = { '张': 'zhang1', '三': 'san1', '陈': 'chen2', '李': 'li3', '的': 'di4', '们': 'men2', '绿': 'lv4', '女': 'nv3' };
  for (const { lead, trail, ch } of hanzi) {
    if (spot[ch] && lookup(lead, trail) !== spot[ch]) throw new Error(`spot value ${ch}: ${lookup(lead, trail)}`);
  }
  if (lookup(0xa1, 0xa1) !== '' || lookup(0xd7, 0xfa) !== '') throw new Error('empty records');

  fs.writeFileSync(OUT, file);

  // Cross-check against Unihan kMandarin (first value: the customary mainland reading).
  const mandarin = unihanField('Unihan_Readings.txt.bz2', 'kMandarin');
  const otherFields = ['kHanyuPinyin', 'kXHC1983', 'kTGHZ2013', 'kHanyuPinlu'].map((f) =>
    unihanField('Unihan_Readings.txt.bz2', f));
  let compared = 0;
  let missing = 0;
  let toneOnly = 0;
  let knownElsewhere = 0;
  const unattested = [];
  const disagreements = [];
  for (const { ch, reading } of readingOf.values()) {
    const m = mandarin.get(ch);
    if (!m) {
      missing++;
      continue;
    }
    compared++;
    const expected = numericReading(m.split(' ')[0]);
    if (expected === reading) continue;
    disagreements.push(`${ch} ${reading} ${expected}`);
    if (expected.slice(0, -1) === reading.slice(0, -1)) toneOnly++;
    const all = new Set(m.split(' ').map(numericReading));
    for (const field of otherFields) {
      const v = field.get(ch);
      if (!v) continue;
      for (const token of v.split(/[ ,]/)) {
        const syllable = token.includes(':') ? token.split(':')[1] : token.replace(/\(\d+\)$/, '');
        if (syllable) all.add(numericReading(syllable));
      }
    }
    if (all.has(reading)) knownElsewhere++;
    else unattested.push(`${ch} ${reading}`);
  }

  const syllables = new Set([...readingOf.values()].map((v) => v.reading.slice(0, -1)));
  const tones = [1, 2, 3, 4, 5].map((t) => [...readingOf.values()].filter((v) => v.reading.endsWith(String(t))).length);
  console.log(`pinyin-pro ${npmVersion('pinyin-pro')}, unicode-data ${debianVersion('unicode-data')}`);
  console.log(`wrote ${OUT}: ${file.length} bytes, table ${TABLE_BYTES} bytes, ${CELLS} cells + end entry`);
  console.log(`records with pinyin: ${readingOf.size}; empty records: ${CELLS - readingOf.size}`);
  console.log(`distinct syllables: ${syllables.size}; tones 1..5: ${tones.join(' / ')}`);
  console.log(`neutral default readings replaced (${neutralLog.length}): ${neutralLog.join(', ')}`);
  console.log(`kMandarin: compared ${compared}, no kMandarin ${missing}, disagreements ${disagreements.length} ` +
              `(tone only ${toneOnly}; stored reading found among other Unihan readings ${knownElsewhere})`);
  console.log(`stored readings that no Unihan reading field has: ${unattested.join(', ')}`);
  if (process.argv.includes('--list')) console.log(disagreements.join('\n'));
}

main();
