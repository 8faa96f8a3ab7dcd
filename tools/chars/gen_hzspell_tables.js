// Builds data/generated/hzspell_tables.inc: the toneless pinyin syllables of
// every double-byte GBK cell, compiled into the pinyin spelling component.
//
// Output:
// * kSyllableCount and SyllableTable: the distinct toneless syllables
//   (lower-case ASCII, u-umlaut written v) in alphabetical order, numbered
//   from 1; entry 0 is the empty text, so a syllable number indexes the table
//   directly.
// * GbkSyllableIndex: one syllable number per GBK cell, 126 rows (lead bytes
//   0x81..0xFE) of 191 cells (trail bytes 0x40..0xFE), cell
//   (lead - 0x81) * 191 + (trail - 0x40); 0 = no syllable. Trail 0x7F is no
//   GBK trail byte and its cells stay 0, as do the unassigned cells and the
//   user-defined areas.
//
// Readings: pinyin-pro's default reading of every ideograph, with the same
// rule for neutral-tone defaults as data/yq.dat (tools/chars/gen_yq.js), tone
// dropped. The script checks that every GB2312 hanzi gets exactly the
// syllable that data/yq.dat holds for it.
//
// Run from the repository root: node tools/chars/gen_hzspell_tables.js
'use strict';

const fs = require('fs');
const path = require('path');
const { execFileSync } = require('child_process');
const { pinyin } = require('pinyin-pro');
const { gb2312Hanzi, npmVersion } = require('./gb2312');

const ROOT = path.resolve(__dirname, '..', '..');
const OUT = path.join(ROOT, 'data', 'generated', 'hzspell_tables.inc');
const YQ = path.join(ROOT, 'data', 'yq.dat');

const FIRST_LEAD = 0x81;
const LAST_LEAD = 0xfe;
const FIRST_TRAIL = 0x40;
const LAST_TRAIL = 0xfe;
const ROW = LAST_TRAIL - FIRST_TRAIL + 1;  // 191
const ROWS = LAST_LEAD - FIRST_LEAD + 1;   // 126
const MAX_LETTERS = 6;

const cellOf = (lead, trail) => (lead - FIRST_LEAD) * ROW + (trail - FIRST_TRAIL);
const hex = (lead, trail) => ((lead << 8) | trail).toString(16).toUpperCase();

// The characters of the true GBK cells (code page 936). Node's 'gbk' decoder
// follows GB18030 and also decodes the user-defined areas and the cells that
// GBK leaves unassigned (to private-use code points); Python's 'gbk' codec
// decodes only the assigned cells. A cell counts when Python decodes it, and
// both decoders must agree on its character.
function gbkCells() {
  const script = [
    'import sys',
    'for lead in range(0x81, 0xFF):',
    '    for trail in range(0x40, 0xFF):',
    '        if trail == 0x7F: continue',
    '        try: ch = bytes([lead, trail]).decode("gbk")',
    '        except UnicodeDecodeError: continue',
    '        print("%02X%02X %X" % (lead, trail, ord(ch)))',
  ].join('\n');
  const lines = execFileSync('python3', ['-c', script]).toString().trim().split('\n');
  const decoder = new TextDecoder('gbk', { fatal: true });
  const cells = [];
  for (const line of lines) {
    const [code, cp] = line.split(' ').map((v) => parseInt(v, 16));
    const lead = code >> 8;
    const trail = code & 0xff;
    const ch = decoder.decode(Buffer.from([lead, trail]));
    if (ch.codePointAt(0) !== cp || ch.length !== String.fromCodePoint(cp).length) {
      throw new Error(`cell ${hex(lead, trail)}: node decodes U+${ch.codePointAt(0).toString(16)}, python U+${cp.toString(16)}`);
    }
    if (cp >= 0xe000 && cp <= 0xf8ff) throw new Error(`cell ${hex(lead, trail)} decodes to private use`);
    cells.push({ lead, trail, ch });
  }
  return cells;
}

// The reading data/yq.dat stores (see gen_yq.js): the default reading; when
// that is neutral, the first of the character's readings with a tone 1..4,
// or the neutral syllable (tone 5) when it has none. Returns null when
// pinyin-pro has no Chinese reading for the character (it gives back the
// character itself or other non-letters), and for characters that are no
// ideographs: the one such character it reads is the iteration mark 々
// (A1A9, "tong2"), which repeats the character before it and has no sound of
// its own; yq.dat leaves it empty as well.
function storedReading(ch) {
  if (!/^\p{Ideographic}$/u.test(ch)) return null;
  const first = pinyin(ch, { toneType: 'num', v: true });
  if (!/^[a-z]+[0-4]$/.test(first)) {
    if (/[a-z]/.test(first)) throw new Error(`unexpected reading ${first} of ${ch}`);
    return null;
  }
  if (!first.endsWith('0')) return first;
  const toned = pinyin(ch, { toneType: 'num', v: true, multiple: true, type: 'array' })
    .find((r) => /^[a-z]+[1-4]$/.test(r));
  return toned || first.slice(0, -1) + '5';
}

// The pinyin record of a GB2312 cell in data/yq.dat, read by the program's
// rule (separator byte, text, tone digit); '' for an empty record.
function yqReader() {
  const file = fs.readFileSync(YQ);
  return (lead, trail) => {
    const at = ((lead - 0xa1) * 94 + (trail - 0xa1)) * 4;
    const start = file.readUInt32LE(at);
    const next = file.readUInt32LE(at + 4);
    const bytes = file.subarray(start + 1, start + 1 + (next - start));
    if (bytes.toString('latin1').replace(/^[\x00-\x20]+|[\x00-\x20]+$/g, '') === '') return '';
    return bytes.subarray(0, bytes.length - 1).toString('ascii');
  };
}

function main() {
  const cells = gbkCells();

  // Toneless syllable of every cell with a reading.
  const syllableOfCell = new Map();
  const noReading = [];
  for (const { lead, trail, ch } of cells) {
    const reading = storedReading(ch);
    if (reading === null) {
      if (/\p{Script=Han}/u.test(ch)) noReading.push(`${hex(lead, trail)} ${ch}`);
      continue;
    }
    const syllable = reading.slice(0, -1);
    if (!/^[a-z]+$/.test(syllable) || syllable.length > MAX_LETTERS) {
      throw new Error(`bad syllable ${syllable} of ${ch}`);
    }
    syllableOfCell.set(cellOf(lead, trail), syllable);
  }

  // Every GB2312 hanzi has a syllable, and it is the one yq.dat holds
  // without the tone digit; every other cell of the GB2312 area is empty in
  // both.
  const yq = yqReader();
  const gb2312 = new Set();
  for (const { lead, trail, ch } of gb2312Hanzi()) {
    gb2312.add(cellOf(lead, trail));
    const ours = syllableOfCell.get(cellOf(lead, trail));
    if (!ours) throw new Error(`GB2312 hanzi ${ch} has no syllable`);
    const stored = yq(lead, trail);
    if (stored.slice(0, -1) !== ours) throw new Error(`${ch}: ${ours} but yq.dat holds ${stored}`);
  }
  for (let lead = 0xa1; lead <= 0xf7; lead++) {
    for (let trail = 0xa1; trail <= 0xfe; trail++) {
      if (gb2312.has(cellOf(lead, trail))) continue;
      if (syllableOfCell.has(cellOf(lead, trail)) || yq(lead, trail) !== '') {
        throw new Error(`GB2312 area cell ${hex(lead, trail)} is not empty`);
      }
    }
  }

  // Syllable table and index.
  const syllables = [...new Set(syllableOfCell.values())].sort();
  const numberOf = new Map(syllables.map((s, i) => [s, i + 1]));
  if (syllables.length > 0xffff) throw new Error('too many syllables');
  const index = new Array(ROWS * ROW).fill(0);
  for (const [cell, syllable] of syllableOfCell) index[cell] = numberOf.get(syllable);
  for (let lead = FIRST_LEAD; lead <= LAST_LEAD; lead++) {
    if (index[cellOf(lead, 0x7f)] !== 0) throw new Error('trail 0x7F cell with a syllable');
  }

  const spot = { 张: 'zhang', 王: 'wang', 李: 'li', 中: 'zhong', 一: 'yi', 爨: 'cuan', 張: 'zhang', 陳: 'chen', 龍: 'long' };
  for (const { lead, trail, ch } of cells) {
    if (spot[ch] !== undefined && syllables[index[cellOf(lead, trail)] - 1] !== spot[ch]) {
      throw new Error(`spot value ${ch}: ${syllables[index[cellOf(lead, trail)] - 1]}`);
    }
  }

  // Output.
  const version = npmVersion('pinyin-pro');
  const out = [];
  out.push(`// Generated by tools/chars/gen_hzspell_tables.js from pinyin-pro ${version} -- do not edit by hand.`);
  out.push('// Toneless syllables (u-umlaut written v) in alphabetical order, numbered from 1; entry 0 is empty.');
  out.push(`extern const int kSyllableCount = ${syllables.length};`);
  out.push(`const char* const SyllableTable[${syllables.length} + 1] = {`);
  const quoted = ['""', ...syllables.map((s) => `"${s}"`)];
  for (let i = 0; i < quoted.length; i += 16) out.push(`    ${quoted.slice(i, i + 16).join(', ')},`);
  out.push('};');
  out.push('// Syllable number of every GBK cell: one line per lead byte 0x81..0xFE, trail bytes 0x40..0xFE;');
  out.push('// cell = (lead - 0x81) * 191 + (trail - 0x40); 0 = no syllable.');
  out.push('const std::uint16_t GbkSyllableIndex[kGbkSyllableCells] = {');
  for (let row = 0; row < ROWS; row++) {
    const lead = (FIRST_LEAD + row).toString(16).toUpperCase();
    out.push(`/* ${lead} */ ${index.slice(row * ROW, (row + 1) * ROW).join(',')},`);
  }
  out.push('};');
  fs.writeFileSync(OUT, out.join('\n') + '\n');

  // Report.
  const used = index.filter((n) => n !== 0).length;
  const inGb2312 = new Set([...gb2312].map((c) => index[c]));
  const outsideOnly = syllables.filter((s) => !inGb2312.has(numberOf.get(s)));
  console.log(`pinyin-pro ${version}`);
  console.log(`wrote ${OUT}`);
  console.log(`GBK double-byte cells: ${cells.length}; cells with a syllable: ${used} (GB2312 hanzi ${gb2312.size})`);
  console.log(`syllables: ${syllables.length}; serving only characters outside GB2312 (${outsideOnly.length}): ` +
              outsideOnly.join(' '));
  console.log(`Han characters without a reading (${noReading.length}): ${noReading.join(', ')}`);
}

main();
