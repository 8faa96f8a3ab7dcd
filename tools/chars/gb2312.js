// GB2312 / GBK helpers shared by the generators in this folder.
'use strict';

const { execFileSync } = require('child_process');

const gbkDecoder = new TextDecoder('gbk', { fatal: true });

// The 6,763 hanzi of GB2312 in code order: lead bytes 0xB0..0xF7, trail bytes
// 0xA1..0xFE, without the five unassigned cells 0xD7FA..0xD7FE.
function gb2312Hanzi() {
  const result = [];
  for (let lead = 0xb0; lead <= 0xf7; lead++) {
    for (let trail = 0xa1; trail <= 0xfe; trail++) {
      if (lead === 0xd7 && trail >= 0xfa) continue;
      const ch = gbkDecoder.decode(Buffer.from([lead, trail]));
      const cp = ch.codePointAt(0);
      if (ch.length !== 1 || cp < 0x3400 || cp > 0x9fff) {
        throw new Error(`cell ${lead.toString(16)}${trail.toString(16)} decodes to U+${cp.toString(16)}`);
      }
      result.push({ lead, trail, ch });
    }
  }
  if (result.length !== 6763) throw new Error(`expected 6763 GB2312 hanzi, got ${result.length}`);
  return result;
}

// Encodes a text to GBK. Only ASCII and characters of the GB2312 area (rows
// 0xA1..0xF7) are supported, which is all the generated files contain.
let encodeMap = null;
function toGbk(text) {
  if (!encodeMap) {
    encodeMap = new Map();
    for (let lead = 0xa1; lead <= 0xf7; lead++) {
      for (let trail = 0xa1; trail <= 0xfe; trail++) {
        let ch;
        try {
          ch = gbkDecoder.decode(Buffer.from([lead, trail]));
        } catch (e) {
          continue;  // unassigned cell
        }
        if (ch.length === 1 && !encodeMap.has(ch)) encodeMap.set(ch, [lead, trail]);
      }
    }
  }
  const bytes = [];
  for (const ch of text) {
    const cp = ch.codePointAt(0);
    if (cp < 0x80) {
      bytes.push(cp);
    } else {
      const pair = encodeMap.get(ch);
      if (!pair) throw new Error(`character ${ch} (U+${cp.toString(16)}) has no GB2312 code`);
      bytes.push(pair[0], pair[1]);
    }
  }
  return Buffer.from(bytes);
}

// Reads one Unihan field from the Debian unicode-data package into a Map from
// character to the raw field value.
function unihanField(file, field) {
  const text = execFileSync('bzcat', [`/usr/share/unicode/${file}`], { maxBuffer: 512 * 1024 * 1024 }).toString('utf8');
  const map = new Map();
  for (const line of text.split('\n')) {
    if (!line.startsWith('U+')) continue;
    const parts = line.split('\t');
    if (parts[1] !== field) continue;
    map.set(String.fromCodePoint(parseInt(parts[0].slice(2), 16)), parts[2]);
  }
  if (map.size === 0) throw new Error(`no ${field} in ${file}`);
  return map;
}

function debianVersion(pkg) {
  return execFileSync('dpkg-query', ['-W', '-f=${Version}', pkg]).toString().trim();
}

function npmVersion(pkg) {
  return require(`${pkg}/package.json`).version;
}

module.exports = { gb2312Hanzi, toGbk, unihanField, debianVersion, npmVersion };
