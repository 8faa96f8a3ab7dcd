// Structures from cnchar-radical for gen_wishes.py: reads a JSON array of
// characters on stdin and writes {ch: "左右"} for those it knows, the
// structure's name without 结构 (左右 上下 独体 半包围 全包围 品字 上中下 左中右).
'use strict';
const radical = require('cnchar-radical');
const chars = JSON.parse(require('fs').readFileSync(0, 'utf8'));
const out = {};
for (const ch of chars) {
  const [facts] = radical(ch);
  if (facts && facts.struct) out[ch] = facts.struct.replace(/结构$/, '');
}
process.stdout.write(JSON.stringify(out));
