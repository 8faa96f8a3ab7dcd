// The family's page: the shared names, everyone's stars and comments, and a
// ranking by the family's average. Every text goes in through textContent;
// nothing here builds HTML from data.
'use strict';

(function () {
  const base = location.pathname.endsWith('/') ? location.pathname : location.pathname + '/';
  const memberKey = 'tavrin.member';
  const maxMember = 20;
  const maxComment = 500;

  let names = [];
  let listVersion = -1;
  let version = 0;
  const votes = new Map();  // member + '\n' + key -> vote
  const cards = new Map();  // key -> the card's live parts
  // What is typed in a comment box and not saved yet, per name: a redraw
  // (another member's vote, a changed list) puts it back where it was.
  const drafts = new Map();  // key -> the unsaved text
  let ended = false;
  let member = null;
  try { member = localStorage.getItem(memberKey); } catch (e) { member = null; }

  const $ = (id) => document.getElementById(id);
  const keyOf = (n) => n.sex + ':' + n.name;
  const chars = (s) => Array.from(s).length;
  const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

  function el(tag, className, text) {
    const e = document.createElement(tag);
    if (className) e.className = className;
    if (text !== undefined) e.textContent = text;
    return e;
  }

  function starsText(n) { return '★'.repeat(n) + '☆'.repeat(5 - n); }

  function status(text) { $('status').textContent = text; }

  // A card's line under its buttons: a refusal in red, progress in grey.
  function tell(parts, text, ok) {
    parts.message.textContent = text;
    parts.message.className = ok ? 'note' : 'error';
  }

  function showMember() {
    const known = !!member;
    $('join').hidden = known;
    $('who').hidden = !known;
    $('who-text').textContent = known ? '您是：' + member : '';
    for (const card of cards.values()) card.mine.hidden = !known;
  }

  $('join-form').addEventListener('submit', (event) => {
    event.preventDefault();
    const value = $('member').value.trim();
    if (!value) { $('join-error').textContent = '请填写您的称呼'; return; }
    if (chars(value) > maxMember) { $('join-error').textContent = '称呼最多 20 个字'; return; }
    member = value;
    try { localStorage.setItem(memberKey, member); } catch (e) { /* private mode: this visit only */ }
    $('join-error').textContent = '';
    showMember();
    updateVotes();
  });
  $('rename').addEventListener('click', () => {
    $('member').value = member || '';
    member = null;
    showMember();
    $('member').focus();
  });

  function votesOf(key) {
    const list = [];
    for (const v of votes.values()) if (v.sex + ':' + v.name === key) list.push(v);
    list.sort((a, b) => b.changed - a.changed || b.version - a.version);
    return list;
  }

  function average(list) {
    if (!list.length) return 0;
    return list.reduce((s, v) => s + v.rating, 0) / list.length;
  }

  function buildCard(n) {
    const key = keyOf(n);
    const card = el('article', 'card');
    const head = el('div', 'name-head');
    head.append(el('span', 'name', n.name), el('span', 'pinyin', n.pinyin),
                el('span', 'recommend', '推荐度 ' + n.recommend));
    card.append(head);
    if (n.meanings.length) {
      const ul = el('ul', 'meanings');
      for (const m of n.meanings) ul.append(el('li', '', m));
      card.append(ul);
    }
    if (n.source) card.append(el('p', 'source', '出处：' + n.source));
    if (n.warnings.length) {
      const ul = el('ul', 'warnings');
      for (const w of n.warnings) ul.append(el('li', w.serious ? 'serious' : '', '⚠ ' + w.text));
      card.append(ul);
    }
    const avg = el('p', 'average');
    const list = el('ul', 'votes');
    const mine = el('div', 'mine');
    const starRow = el('div', 'stars');
    const starButtons = [];
    for (let i = 1; i <= 5; i++) {
      const b = el('button', '', '★');
      b.type = 'button';
      b.setAttribute('aria-label', i + ' 星');
      b.addEventListener('click', () => save(n, i, parts.comment.value));
      starButtons.push(b);
      starRow.append(b);
    }
    const label = el('label', '', '留言（可不写）');
    const comment = el('textarea');
    comment.maxLength = maxComment;
    comment.id = 'comment-' + cards.size;
    label.htmlFor = comment.id;
    const send = el('button', '', '保存留言');
    send.type = 'button';
    const message = el('p', 'error');
    message.setAttribute('role', 'alert');
    send.addEventListener('click', () => {
      if (!parts.rating) { tell(parts, '请先点星打分', false); return; }
      save(n, parts.rating, comment.value);
    });
    mine.append(el('p', 'muted', '您的评分：'), starRow, label, comment, send, message);
    card.append(avg, list, mine);
    const parts = { card, avg, list, mine, starButtons, comment, message, rating: 0, typed: false, shown: '' };
    parts.shown = JSON.stringify(n);
    comment.addEventListener('input', () => {
      parts.typed = true;
      drafts.set(key, comment.value);
    });
    if (drafts.has(key)) {
      comment.value = drafts.get(key);
      parts.typed = true;
    }
    cards.set(key, parts);
    return card;
  }

  // Draws the list again around what is being typed: a card whose name and
  // advice are unchanged stays as it is (its box, its text, the cursor in
  // it); a new or changed one is built afresh and takes its draft back.
  function renderNames() {
    const box = $('names');
    const focused = document.activeElement;
    const old = new Map(cards);
    cards.clear();
    const shown = [];
    let refocus = null;  // the rebuilt box that had the cursor, and where it was
    for (const n of names) {
      const key = keyOf(n);
      const kept = old.get(key);
      if (kept && kept.shown === JSON.stringify(n)) {
        cards.set(key, kept);
        shown.push(kept.card);
        continue;
      }
      const card = buildCard(n);
      const parts = cards.get(key);
      if (kept) {
        parts.rating = kept.rating;
        if (kept.comment === focused) {
          refocus = { box: parts.comment, start: kept.comment.selectionStart, end: kept.comment.selectionEnd };
        }
      }
      shown.push(card);
    }
    for (const key of drafts.keys()) if (!cards.has(key)) drafts.delete(key);
    // What goes is taken out first, then only new cards are put in between:
    // a kept card is never moved, which would take the cursor out of its box.
    const keep = new Set(shown);
    for (const child of Array.from(box.children)) if (!keep.has(child)) child.remove();
    let at = box.firstChild;
    for (const card of shown) {
      if (at === card) { at = at.nextSibling; continue; }
      box.insertBefore(card, at);
    }
    if (refocus) {
      refocus.box.focus();
      refocus.box.setSelectionRange(refocus.start, refocus.end);
    }
    if (!names.length) box.append(el('p', 'muted', '现在没有分享的名字。'));
    showMember();
    updateVotes();
  }

  function updateVotes() {
    const ranked = [];
    for (const n of names) {
      const key = keyOf(n);
      const parts = cards.get(key);
      const list = votesOf(key);
      const avg = average(list);
      ranked.push({ n, avg, count: list.length });
      parts.avg.textContent = list.length
        ? '全家平均 ' + avg.toFixed(1) + ' 星（' + list.length + ' 人打分）'
        : '还没有人打分';
      const items = list.map((v) => {
        const li = el('li');
        li.append(el('span', 'who-voted', v.member), el('span', 'rating', starsText(v.rating)));
        if (v.comment) li.append(el('span', 'comment', v.comment));
        return li;
      });
      parts.list.replaceChildren(...items);
      const own = member ? votes.get(member + '\n' + key) : undefined;
      parts.rating = own ? own.rating : parts.rating;
      parts.starButtons.forEach((b, i) => b.classList.toggle('on', i < parts.rating));
      if (own && !parts.typed) parts.comment.value = own.comment;
    }
    ranked.sort((a, b) => b.avg - a.avg || b.count - a.count);
    const voted = ranked.filter((r) => r.count > 0);
    $('ranking-empty').hidden = voted.length > 0;
    $('ranking').replaceChildren(...voted.map((r) =>
      el('li', '', r.n.name + '  ' + r.avg.toFixed(1) + ' 星 · ' + r.count + ' 票')));
  }

  function merge(list) {
    for (const v of list) votes.set(v.member + '\n' + v.sex + ':' + v.name, v);
  }

  async function save(n, rating, comment) {
    const parts = cards.get(keyOf(n));
    if (ended) { tell(parts, '分享已结束', false); return; }
    if (!member) { tell(parts, '请先在上面填写您的称呼', false); return; }
    if (chars(comment.trim()) > maxComment) { tell(parts, '留言最多 500 个字', false); return; }
    tell(parts, '正在保存…', true);
    try {
      const reply = await fetch(base + 'api/votes', {
        method: 'POST',
        headers: { 'Content-Type': 'application/json' },
        body: JSON.stringify({ member, name: n.name, sex: n.sex, rating, comment: comment.trim() }),
      });
      const body = await reply.json().catch(() => ({}));
      if (!reply.ok) { tell(parts, body.error || '没能保存，请稍后再试', false); return; }
      merge([body.vote]);
      parts.rating = rating;
      // Saved: the box shows what was kept, unless more was typed meanwhile.
      if (parts.comment.value.trim() === comment.trim()) {
        parts.typed = false;
        drafts.delete(keyOf(n));
      }
      tell(parts, '已保存', true);
      updateVotes();
    } catch (e) {
      tell(parts, '连不上分享的电脑，请检查网络', false);
    }
  }

  async function loadNames() {
    const reply = await fetch(base + 'api/names');
    if (!reply.ok) throw new Error(String(reply.status));
    const body = await reply.json();
    names = body.names;
    listVersion = body.listVersion;
    renderNames();
  }

  async function poll() {
    for (;;) {
      const started = Date.now();
      try {
        const reply = await fetch(base + 'api/votes?since=' + version + '&list=' + listVersion + '&wait=1');
        // The computer said the share ended (or no longer knows the link).
        if (reply.status === 404 || reply.status === 410) { end(); return; }
        if (reply.status === 429) { status('请求太频繁，稍后自动刷新'); await sleep(5000); continue; }
        if (!reply.ok) throw new Error(String(reply.status));
        const body = await reply.json();
        const changed = body.votes.length > 0;
        merge(body.votes);
        version = body.version;
        if (body.listVersion !== listVersion) await loadNames();
        else if (changed) updateVotes();
        status('');
        if (!body.more && !changed && Date.now() - started < 500) await sleep(1500);
      } catch (e) {
        status('连不上分享的电脑，正在重试…');
        await sleep(3000);
      }
    }
  }

  // The share ended: said once, and the page asks no more. What was typed
  // stays in its box for the family to copy.
  function end() {
    ended = true;
    status('分享已结束');
    $('status').classList.add('ended');
    for (const parts of cards.values()) {
      for (const b of parts.starButtons) b.disabled = true;
      parts.mine.querySelectorAll('button').forEach((b) => { b.disabled = true; });
    }
  }

  async function start() {
    showMember();
    try {
      await loadNames();
    } catch (e) {
      status('打不开分享的名字：链接可能已经失效');
      return;
    }
    poll();
  }

  start();
})();
