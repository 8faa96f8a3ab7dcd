// Builds data/dzwx.dat, the list of GB2312 characters by element.
//
// The file holds five pairs of lines: a heading “X”的字有: and one line with
// every character of element X. Element of a character:
//   1. cnchar-info's five-element code (a..e = 金木水火土); its "-" and the
//      characters it does not know fall through to
//   2. the Kangxi radical of the character (first Unihan kRSUnicode value,
//      simplified-radical marks ' ignored): 167 金 -> 金; 75 木, 118 竹,
//      140 艸 -> 木; 85 水, 173 雨, 15 冫 -> 水; 86 火, 72 日 -> 火; 32 土,
//      46 山, 112 石, 102 田 -> 土;
//   3. any other character is left out (the program then falls back on its
//      stroke count);
//   4. over all three, the reviewed overrides of tools/chars/dzwx_overrides.tsv
//      (each with its reason there): entries that disagree with common naming
//      practice, and common name characters or surnames neither source gives.
// Each character is listed once.
//
// The program gives a character the element of the last line that contains
// it, a list line standing for the heading before it. The file is laid out so
// that this reading gives the same answer for every GB2312 character whether
// the search is aligned to character boundaries or byte-wise (where the trail
// byte of one character and the lead byte of the next form a third one),
// but for the few characters named below:
//   * The heading lines contain some characters themselves (的 字 有 and the
//     element); the last heading holding one decides its element, so those
//     few are listed under the element the headings give them. Byte-wise the
//     headings also spell characters across their character boundaries (钡
//     淖 钟 from ”的, 的字, 字有, and two per element character); the
//     program's searches are aligned, so those keep their own elements and
//     are the only characters a byte-wise reader would get wrong. Of all 120 element orders, 木 火 金 土 水 moves the fewest
//     characters and leaves no character that could not be followed within
//     its line (the script checks that the order is still best).
//   * Within each list line the characters are ordered so that no two
//     adjacent ones form, byte-wise, a character that belongs to an earlier
//     line or to no line (see orderLine).
// The script checks both readings of the finished file for all 6,763
// characters.
//
// Run from the repository root: node tools/chars/gen_dzwx.js
'use strict';

const fs = require('fs');
const path = require('path');
const cncharInfo = require('cnchar-info');
const { gb2312Hanzi, toGbk, unihanField, debianVersion, npmVersion } = require('./gb2312');

const ROOT = path.resolve(__dirname, '..', '..');
const OUT = path.join(ROOT, 'data', 'dzwx.dat');

const ORDER = ['木', '火', '金', '土', '水'];
const CODE_TO_ELEMENT = { a: '金', b: '木', c: '水', d: '火', e: '土' };
const RADICAL_TO_ELEMENT = {
  167: '金',
  75: '木', 118: '木', 140: '木',
  85: '水', 173: '水', 15: '水',
  86: '火', 72: '火',
  32: '土', 46: '土', 112: '土', 102: '土',
};
const heading = (element) => `“${element}”的字有:`;
const OVERRIDES_FILE = path.join(__dirname, 'dzwx_overrides.tsv');

// The reviewed overrides: [{ ch, element, reason }], in file order.
function readOverrides() {
  return fs.readFileSync(OVERRIDES_FILE, 'utf8').split('\n')
    .filter((line) => line.trim() && !line.startsWith('#'))
    .map((line) => {
      const [ch, element, reason] = line.split('\t');
      if (!ch || [...ch].length !== 1 || !ORDER.includes(element) || !reason) {
        throw new Error(`bad override line: ${line}`);
      }
      return { ch, element, reason };
    });
}

const isHanziCode = (lead, trail) =>
  lead >= 0xb0 && lead <= 0xf7 && trail >= 0xa1 && trail <= 0xfe && !(lead === 0xd7 && trail >= 0xfa);
const codeOf = (ch) => {
  const b = toGbk(ch);
  return (b[0] << 8) | b[1];
};

// Every GB2312 hanzi a GBK line contains, by code: `aligned` counts only
// characters on character boundaries, otherwise any two adjacent bytes count.
function hanziIn(bytes, aligned) {
  const found = new Set();
  for (let i = 0; i + 1 < bytes.length; i += aligned ? (bytes[i] >= 0x81 && bytes[i] <= 0xfe ? 2 : 1) : 1) {
    if (isHanziCode(bytes[i], bytes[i + 1])) found.add((bytes[i] << 8) | bytes[i + 1]);
  }
  return found;
}

// Whether `needle` occurs in `bytes` starting on a character boundary.
function includesAligned(bytes, needle) {
  for (let i = 0; i < bytes.length; i += bytes[i] >= 0x81 && bytes[i] <= 0xfe ? 2 : 1) {
    if (bytes.subarray(i, i + needle.length).equals(needle)) return true;
  }
  return false;
}

// The element the program reads for every GB2312 hanzi (by code) from the
// lines of the file; characters no line contains are absent.
function readElements(lineBytes, aligned) {
  const headingMark = toGbk('的字有');
  const result = new Map();
  lineBytes.forEach((line, i) => {
    const isHeading = aligned ? includesAligned(line, headingMark) : line.includes(headingMark);
    const source = isHeading ? line : i > 0 ? lineBytes[i - 1] : null;
    if (source === null) return;
    const text = new TextDecoder('gbk').decode(source);  // headings are plain GB2312 text
    const element = text.includes('“') ? text.split('“')[1].split('”')[0] : '';
    for (const code of hanziIn(line, aligned)) result.set(code, element);
  });
  return result;
}

// Elements from cnchar-info, then from the radical.
function assignElements(stats) {
  const info = cncharInfo.dict.info;
  if (JSON.stringify(cncharInfo.dict.fiveElementMap) !==
      JSON.stringify({ a: '金', b: '木', c: '水', d: '火', e: '土', f: '-' })) {
    throw new Error('cnchar-info element codes changed');
  }
  const rs = unihanField('Unihan_IRGSources.txt.bz2', 'kRSUnicode');
  const elementOf = new Map();
  for (const { lead, trail, ch } of gb2312Hanzi()) {
    const record = info[ch];
    if (record && CODE_TO_ELEMENT[record[1]]) {
      elementOf.set((lead << 8) | trail, CODE_TO_ELEMENT[record[1]]);
      stats.cnchar++;
      continue;
    }
    if (record) stats.cncharNone++;
    else stats.cncharUnknown++;
    const value = rs.get(ch);
    if (!value) throw new Error(`no kRSUnicode for ${ch}`);
    const radical = parseInt(value.split(' ')[0].split('.')[0].replace(/'+$/, ''), 10);
    const element = RADICAL_TO_ELEMENT[radical];
    if (element) {
      elementOf.set((lead << 8) | trail, element);
      stats.radical.push(ch);
    } else {
      stats.left.push(ch);
    }
  }
  const cells = new Map(gb2312Hanzi().map(({ lead, trail, ch }) => [ch, (lead << 8) | trail]));
  for (const { ch, element } of readOverrides()) {
    const code = cells.get(ch);
    if (code === undefined) throw new Error(`override ${ch} is not a GB2312 hanzi`);
    const before = elementOf.get(code) || '-';
    if (before === element) throw new Error(`override ${ch} ${element} changes nothing`);
    stats.overridden.push(`${ch} ${before} -> ${element}`);
    if (before === '-') stats.left.splice(stats.left.indexOf(ch), 1);
    elementOf.set(code, element);
  }
  return elementOf;
}

// The characters the headings hold (on character boundaries, as the program
// searches) whose element
// differs from the one the headings give them, for an element order: the
// last heading holding a character decides, unless the character's own line
// comes after that heading.
function headingConflicts(order, elementOf) {
  const lastHeading = new Map();
  order.forEach((e, k) => {
    for (const code of hanziIn(toGbk(heading(e)), true)) lastHeading.set(code, k);
  });
  const conflicts = new Map();
  for (const [code, k] of lastHeading) {
    const own = elementOf.get(code);
    const ownIndex = own === undefined ? -1 : order.indexOf(own);
    if (own !== order[k] && ownIndex <= k) conflicts.set(code, order[k]);
  }
  return conflicts;
}

function permutations(items) {
  if (items.length <= 1) return [items];
  return items.flatMap((x, i) => permutations(items.filter((_, j) => j !== i)).map((p) => [x, ...p]));
}

// Orders the characters of one list line so that no two adjacent ones form a
// forbidden character byte-wise (trail byte of one + lead byte of the next).
// Whether a character may follow another depends only on the trail byte of
// the first and the lead byte of the second, so the successors are found as
// a flow from trail bytes to lead bytes (a boundary node stands for the line
// start and end and joins anything). The successor links form cycles; two
// links leaving characters with the same trail byte can swap their targets,
// which joins their cycles, until one cycle through the boundary remains.
function orderLine(codes, forbidden) {
  const BOUNDARY = -1;
  const trailOf = (c) => (c === BOUNDARY ? 'B' : c & 0xff);
  const leadOf = (c) => (c === BOUNDARY ? 'B' : c >> 8);
  const joinAllowed = (t, l) => t === 'B' || l === 'B' || !forbidden.has((t << 8) | l);
  const nodes = [BOUNDARY, ...[...codes].sort((a, b) => a - b)];

  // Max flow: source -> trail class (count) -> lead class (if allowed) -> sink (count).
  const trails = [...new Set(nodes.map(trailOf))];
  const leads = [...new Set(nodes.map(leadOf))];
  const count = (list, key, f) => nodes.filter((n) => f(n) === key).length;
  const T = trails.length;
  const L = leads.length;
  const size = T + L + 2;
  const source = T + L;
  const sink = T + L + 1;
  const cap = Array.from({ length: size }, () => new Int32Array(size));
  trails.forEach((t, i) => {
    cap[source][i] = count(nodes, t, trailOf);
    leads.forEach((l, j) => {
      if (joinAllowed(t, l) && !(t === 'B' && l === 'B')) cap[i][T + j] = nodes.length;
    });
  });
  leads.forEach((l, j) => {
    cap[T + j][sink] = count(nodes, l, leadOf);
  });
  let flow = 0;
  for (;;) {
    const parent = new Int32Array(size).fill(-1);
    parent[source] = source;
    const queue = [source];
    while (queue.length && parent[sink] < 0) {
      const u = queue.shift();
      for (let v = 0; v < size; v++) {
        if (parent[v] < 0 && cap[u][v] > 0) {
          parent[v] = u;
          queue.push(v);
        }
      }
    }
    if (parent[sink] < 0) break;
    let push = Infinity;
    for (let v = sink; v !== source; v = parent[v]) push = Math.min(push, cap[parent[v]][v]);
    for (let v = sink; v !== source; v = parent[v]) {
      cap[parent[v]][v] -= push;
      cap[v][parent[v]] += push;
    }
    flow += push;
  }
  if (flow !== nodes.length) throw new Error(`no ordering: flow ${flow} of ${nodes.length}`);

  // Successor links from the flow, characters taken in code order.
  const byTrail = new Map(trails.map((t) => [t, nodes.filter((n) => trailOf(n) === t)]));
  const byLead = new Map(leads.map((l) => [l, nodes.filter((n) => leadOf(n) === l)]));
  const next = new Map();
  trails.forEach((t, i) => {
    leads.forEach((l, j) => {
      // Flow on i -> T+j is the reverse capacity.
      for (let f = cap[T + j][i]; f > 0; f--) next.set(byTrail.get(t).shift(), byLead.get(l).shift());
    });
  });
  if (next.size !== nodes.length) throw new Error('successor links');

  // Join the cycles.
  const cycleOf = new Map();
  const parentOf = [];
  const find = (x) => (parentOf[x] === x ? x : (parentOf[x] = find(parentOf[x])));
  for (const n of nodes) {
    if (cycleOf.has(n)) continue;
    const id = parentOf.length;
    parentOf.push(id);
    for (let m = n; !cycleOf.has(m); m = next.get(m)) cycleOf.set(m, id);
  }
  for (const t of trails) {
    const group = nodes.filter((n) => trailOf(n) === t);
    for (let k = 1; k < group.length; k++) {
      const a = group[0];
      const b = group[k];
      if (find(cycleOf.get(a)) === find(cycleOf.get(b))) continue;
      const target = next.get(a);
      next.set(a, next.get(b));
      next.set(b, target);
      parentOf[find(cycleOf.get(b))] = find(cycleOf.get(a));
    }
  }
  const seq = [];
  for (let m = next.get(BOUNDARY); m !== BOUNDARY; m = next.get(m)) seq.push(m);
  if (seq.length !== codes.length) throw new Error(`cycles left: ${codes.length - seq.length} characters`);
  for (let k = 1; k < seq.length; k++) {
    if (!joinAllowed(trailOf(seq[k - 1]), leadOf(seq[k]))) throw new Error('forbidden join');
  }
  return seq;
}

// The lists for one element order: the heading conflicts are listed under
// the element the headings give them. `stuck` counts the characters whose
// trail byte no lead byte of their own line may follow (each would have to
// end the line).
function planFor(order, baseElements, allHanzi) {
  const elementOf = new Map(baseElements);
  const moved = [];
  for (const [code, element] of headingConflicts(order, elementOf)) {
    moved.push({ code, from: elementOf.get(code) || '-', to: element });
    elementOf.set(code, element);
  }
  const lists = Object.fromEntries(order.map((e) => [e, []]));
  for (const [code, element] of elementOf) lists[element].push(code);
  const forbidden = order.map((e, k) => {
    const laterOrHere = new Set(order.slice(k).flatMap((x) => lists[x]));
    return new Set(allHanzi.filter((c) => !laterOrHere.has(c)));
  });
  let stuck = 0;
  order.forEach((e, k) => {
    const leads = new Set(lists[e].map((c) => c >> 8));
    for (const c of lists[e]) {
      if (![...leads].some((l) => !forbidden[k].has(((c & 0xff) << 8) | l))) stuck++;
    }
  });
  return { order, lists, moved, forbidden, stuck, cost: moved.length + stuck };
}

function main() {
  const stats = { cnchar: 0, cncharNone: 0, cncharUnknown: 0, radical: [], left: [], overridden: [] };
  const baseElements = assignElements(stats);
  const allHanzi = gb2312Hanzi().map(({ lead, trail }) => (lead << 8) | trail);

  // The element order: the one that moves the fewest characters and leaves
  // none stuck, among all 120.
  const plans = permutations(ORDER).map((o) => planFor(o, baseElements, allHanzi));
  const plan = plans.reduce((best, p) => (p.cost < best.cost ? p : best));
  if (plan.order.join('') !== ORDER.join('') || plan.stuck !== 0) {
    throw new Error(`best order is now ${plan.order.join('')} (${plan.stuck} stuck)`);
  }
  const { lists, forbidden } = plan;
  const decode = (code) => new TextDecoder('gbk').decode(Buffer.from([code >> 8, code & 0xff]));
  const moved = plan.moved.map((m) => `${decode(m.code)} ${m.from} -> ${m.to}`);

  // The order within each line.
  const lines = [];
  ORDER.forEach((e, k) => {
    const seq = orderLine(lists[e], forbidden[k]);
    lines.push(toGbk(heading(e)), Buffer.from(seq.flatMap((c) => [c >> 8, c & 0xff])));
  });
  const bytes = Buffer.concat(lines.flatMap((l) => [l, Buffer.from('\r\n')]));

  // Checks: each character once; both readings agree for every GB2312 hanzi
  // and give each listed character its listed element.
  const listed = new Map();
  ORDER.forEach((e, k) => {
    const line = lines[2 * k + 1];
    for (let i = 0; i < line.length; i += 2) {
      const code = (line[i] << 8) | line[i + 1];
      if (listed.has(code)) throw new Error(`${code.toString(16)} listed twice`);
      listed.set(code, e);
    }
  });
  const aligned = readElements(lines, true);
  const byteWise = readElements(lines, false);
  // Byte-wise, the headings spell a few characters across their character
  // boundaries; only those may read differently.
  const headingPhantoms = new Set(ORDER.flatMap((e) => {
    const aligned = hanziIn(toGbk(heading(e)), true);
    return [...hanziIn(toGbk(heading(e)), false)].filter((c) => !aligned.has(c));
  }));
  for (const code of allHanzi) {
    if (aligned.get(code) !== byteWise.get(code) && !headingPhantoms.has(code)) {
      throw new Error(`readings differ for ${code.toString(16)}`);
    }
    if (listed.has(code) && aligned.get(code) !== listed.get(code)) throw new Error(`${code.toString(16)} misread`);
    if (!listed.has(code) && aligned.has(code)) throw new Error(`unlisted ${code.toString(16)} is read`);
  }
  for (let k = 1; k < lines.length; k += 2) {
    if (lines[k].includes(toGbk('的字有'))) throw new Error('a character line holds the heading mark');
  }
  if (listed.size < 6500) throw new Error(`only ${listed.size} characters listed`);

  fs.writeFileSync(OUT, bytes);

  const inCodeOrder = ORDER.filter((e, k) => {
    const line = lines[2 * k + 1];
    for (let i = 2; i < line.length; i += 2) if (line.readUInt16BE(i) < line.readUInt16BE(i - 2)) return false;
    return true;
  });
  console.log(`cnchar-info ${npmVersion('cnchar-info')}, unicode-data ${debianVersion('unicode-data')}`);
  console.log(`wrote ${OUT}: ${bytes.length} bytes, order ${ORDER.join(' ')}`);
  console.log(`listed ${listed.size} of 6763 GB2312 hanzi (${(100 * listed.size / 6763).toFixed(2)} %)`);
  console.log(`per element: ${ORDER.map((e) => `${e} ${lists[e].length}`).join(', ')}`);
  console.log(`from cnchar-info: ${stats.cnchar}; cnchar-info "-": ${stats.cncharNone}; ` +
              `unknown to cnchar-info: ${stats.cncharUnknown}`);
  console.log(`from the radical (${stats.radical.length}): ${stats.radical.join('')}`);
  console.log(`overrides (${stats.overridden.length}): ${stats.overridden.join(', ')}`);
  console.log(`left out, no element (${stats.left.length}): ${stats.left.join('')}`);
  console.log(`listed under the element the headings give them (${moved.length}): ${moved.join(', ')}`);
  console.log(`lines still in code order: ${inCodeOrder.join(' ') || 'none'}`);
}

if (require.main === module) {
  main();
} else {
  module.exports = { assignElements, headingConflicts, orderLine, readElements, hanziIn, readOverrides, ORDER, heading };
}
