// Readings from pinyin-pro for gen_advice.py: reads a JSON request on stdin
// {chars: [...], words: [...], surnames: [...]} and writes
// {chars: {ch: {default, all}}, words: {w: "syl syl"}, surnames: {s: "syl"}}
// with numbered tones and ü written v (neutral tone 0).
'use strict';
const { pinyin } = require('pinyin-pro');
const opt = { toneType: 'num', type: 'array', v: true };
const input = JSON.parse(require('fs').readFileSync(0, 'utf8'));
const out = { chars: {}, words: {}, surnames: {} };
for (const ch of input.chars || []) {
  out.chars[ch] = {
    default: pinyin(ch, opt)[0],
    all: pinyin(ch, { ...opt, multiple: true }),
  };
}
for (const w of input.words || []) out.words[w] = pinyin(w, opt).join(' ');
for (const s of input.surnames || []) out.surnames[s] = pinyin(s, { ...opt, surname: 'head' }).join(' ');
process.stdout.write(JSON.stringify(out));
