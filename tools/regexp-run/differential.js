#!/usr/bin/env node
// Differential check: generates patterns and sources of the core the dialect shares with
// ECMAScript, runs each case through regexp-run and through V8, and compares the results.
// Where the dialect parts from ECMAScript, either V8 is given the dialect's meaning or the
// generator keeps out of the difference:
// - . \s \S and Multiline ^ $ are spelled out for V8 (any unit but LF; the six spaces; a line
//   break is CR or LF only);
// - a group that V8 would clear in a later iteration of a loop while the dialect keeps its value
//   is made non-capturing, and a back-reference names only a group closed to its left, written
//   so that no digit follows it (no octal escapes, no forward references);
// - no \c with a non-letter, no lookbehind, named group or other (? form, no possessive or
//   doubled quantifier: the dialect rejects or reads them otherwise;
// - nested loops get shorter sources, as both engines backtrack exponentially on them and only
//   regexp-run has a limit.
//
//   node differential.js --regexp-run PATH [--seed N] [--cases N]
//
// Without --seed a random seed is drawn and printed, so that a failing run can be repeated.
// Exits 1 on the first disagreements (up to ten are shown), 2 on bad arguments.

'use strict';

const { spawnSync } = require('child_process');

function parseArguments(argv) {
    const options = { regexpRun: null, seed: null, cases: 3000 };
    for (let i = 0; i < argv.length; ++i) {
        const value = argv[i + 1];
        if (argv[i] === '--regexp-run' && value !== undefined) options.regexpRun = value;
        else if (argv[i] === '--seed' && /^\d+$/.test(value || '')) options.seed = Number(value);
        else if (argv[i] === '--cases' && /^\d+$/.test(value || '')) options.cases = Number(value);
        else return null;
        ++i;
    }
    return options.regexpRun ? options : null;
}

// mulberry32: small, fast, and the same sequence on every machine.
function makeRandom(seed) {
    let state = seed >>> 0;
    const next = () => {
        state = (state + 0x6d2b79f5) >>> 0;
        let t = state;
        t = Math.imul(t ^ (t >>> 15), t | 1);
        t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
        return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
    };
    return {
        below: (n) => Math.floor(next() * n),
        chance: (p) => next() < p,
        pick(list) { return list[Math.floor(next() * list.length)]; },
    };
}

// Letters and line breaks the cases are made of: ASCII, letters whose case mapping is not
// ASCII's (long s, Kelvin sign, sigma forms, sharp s), CR and LF, and the halves of a pair.
const PatternChars = ['a', 'a', 'b', 'b', 'c', 'A', 'B', '1', ' ', '_', '-', '\u00e9', '\u00c9',
    '\u017f', 'k', 's', '\u212a', '\u03a3', '\u03c3', '\u03c2', '\u00df', '\r', '\n',
    '\ud83d', '\ude00', '.', '$', '(', '*', '?', '{', '|', '\\', '/'];
const SourceChars = ['a', 'a', 'a', 'b', 'b', 'c', 'A', 'B', 'C', '1', '2', ' ', '_', '-',
    '\u00e9', '\u00c9', '\u017f', 'S', 's', 'k', 'K', '\u212a', '\u03a3', '\u03c3', '\u03c2',
    '\u00df', '\r', '\n', '\r\n', '\u2028', '\u00a0', '\ud83d\ude00', '\ud83d', 'x', '$', '.'];
const ClassEscapes = ['d', 'D', 'w', 'W', 's', 'S'];
const ReplacementPieces = ['$&', '$`', "$'", '$1', '$01', '$12', '$$', '$2', '$0', '$00', '$',
    '$9', '$10', '$a', 'x', '-', '<', '>'];

// ---- generation: a small syntax tree, rendered once for the dialect and once for V8

function generate(random) {
    let groups = 0;
    const closed = []; // numbers of the groups closed so far: back-reference targets

    // inLoop: inside an atom repeated more than once. optional: on the way from some such loop
    // down here, something may be skipped (an alternative, a quantifier with minimum 0, a
    // negative lookahead). A group there would differ: the dialect keeps its value from an
    // earlier iteration where V8 clears it, so such groups are made non-capturing. For the same
    // reason a back-reference names only a group already closed to its left.
    function alternation(depth, ctx) {
        const count = depth > 0 && random.chance(0.3) ? 2 + random.below(2) : 1;
        const inner = count > 1 ? { ...ctx, optional: ctx.inLoop } : ctx;
        const alternatives = [];
        for (let i = 0; i < count; ++i) alternatives.push(sequence(depth, inner));
        return alternatives.length === 1 ? alternatives[0] : { t: 'alt', alternatives };
    }

    function sequence(depth, ctx) {
        const items = [];
        const length = random.chance(0.1) ? 0 : 1 + random.below(depth > 1 ? 3 : 4);
        for (let i = 0; i < length; ++i) items.push(term(depth, ctx));
        return { t: 'seq', items };
    }

    function term(depth, ctx) {
        if (random.chance(0.08)) return { t: 'assert', e: random.pick(['^', '$', 'b', 'B']) };
        let q = null;
        if (random.chance(0.4)) {
            const kind = random.below(7);
            const n = random.below(3);
            const lazy = random.chance(0.35);
            q = [[0, -1], [1, -1], [0, 1], [n, n], [n, -1], [n, n + 1 + random.below(2)],
                [0, random.below(2)]][kind];
            q = { min: q[0], max: q[1], lazy };
        }
        let inner = ctx;
        const skippable = ctx.optional || (ctx.inLoop && q !== null && q.min === 0);
        if (q && (q.max < 0 || q.max > 1)) inner = { inLoop: true, optional: skippable };
        else if (q) inner = { ...ctx, optional: skippable };
        const body = atom(depth, inner);
        return q ? { t: 'rep', body, ...q } : body;
    }

    function atom(depth, ctx) {
        const r = random.below(100);
        if (depth > 0 && r < 30) {
            const kind = random.pick(['(', '(', '(', '(?:', '(?=', '(?!']);
            const capturing = kind === '(' && !(ctx.inLoop && ctx.optional) && groups < 9;
            const number = capturing ? ++groups : 0;
            const inner = kind === '(?!' ? { ...ctx, optional: ctx.inLoop } : ctx;
            const body = alternation(depth - 1, inner);
            if (capturing && kind === '(') closed.push(number);
            return { t: 'group', kind: capturing ? '(' : kind === '(' ? '(?:' : kind, body };
        }
        if (r < 36 && closed.length) return { t: 'ref', n: random.pick(closed) };
        if (r < 44) return { t: 'dot' };
        if (r < 52) return { t: 'esc', e: random.pick(ClassEscapes) };
        if (r < 64) return characterClass();
        return { t: 'char', c: random.pick(PatternChars) };
    }

    function characterClass() {
        const items = [];
        const count = random.below(4);
        for (let i = 0; i < count; ++i) {
            const r = random.below(10);
            if (r < 2) items.push({ esc: random.pick(ClassEscapes) });
            else if (r < 5) {
                const [a, b] = random.pick([['a', 'c'], ['A', 'Z'], ['0', '9'], ['\u00e0', '\u00ff'],
                    ['\u03b1', '\u03c9'], ['a', 'z'], ['\ud800', '\udbff'], ['\r', ' ']]);
                items.push({ from: a, to: b });
            } else items.push({ c: random.pick(PatternChars) });
        }
        return { t: 'class', negate: random.chance(0.3), items };
    }

    return alternation(3, { inLoop: false, optional: false });
}

const hex = (c, width) => c.charCodeAt(0).toString(16).padStart(width, '0');

// A literal character, in one of the spellings both sides read alike.
function literal(c, inClass, random) {
    const special = inClass ? '\\]^-[' : '\\^$.*+?()[]{}|/';
    if (special.includes(c)) return '\\' + c;
    const code = c.charCodeAt(0);
    if (code < 0x20 || code > 0x7e || random.chance(0.1)) {
        const r = random.below(3);
        if (r === 0 && code < 0x100) return '\\x' + hex(c, 2);
        if (r === 1) return '\\u' + hex(c, 4);
        if (c === '\r') return '\\r';
        if (c === '\n') return '\\n';
    }
    return c;
}

// The dialect's \s is exactly these six; V8's is wider.
const Spaces = '\\t\\n\\v\\f\\r ';
const NonSpaces = '\\0-\\x08\\x0e-\\x1f!-\\uffff';

function render(node, forV8, multiline, random) {
    const r = (n) => render(n, forV8, multiline, random);
    switch (node.t) {
    case 'alt': return node.alternatives.map(r).join('|');
    case 'seq': return node.items.map(r).join('');
    case 'char': return literal(node.c, false, random);
    case 'dot': return forV8 ? '[^\\n]' : '.';
    case 'esc':
        if (forV8 && node.e === 's') return '[' + Spaces + ']';
        if (forV8 && node.e === 'S') return '[^' + Spaces + ']';
        return '\\' + node.e;
    case 'assert':
        if (node.e === 'b' || node.e === 'B') return '\\' + node.e;
        if (!forV8 || !multiline) return node.e;
        return node.e === '^' ? '(?<![^\\n\\r])' : '(?![^\\n\\r])';
    case 'ref': return '(?:\\' + node.n + ')'; // no digit can follow it
    case 'group': return node.kind + r(node.body) + ')';
    case 'class': {
        const items = node.items.map((item) => {
            if (item.esc) {
                if (forV8 && item.esc === 's') return Spaces;
                if (forV8 && item.esc === 'S') return NonSpaces;
                return '\\' + item.esc;
            }
            if (item.from)
                return literal(item.from, true, random) + '-' + literal(item.to, true, random);
            return literal(item.c, true, random);
        });
        return '[' + (node.negate ? '^' : '') + items.join('') + ']';
    }
    case 'rep': {
        let q;
        if (node.min === 0 && node.max < 0) q = '*';
        else if (node.min === 1 && node.max < 0) q = '+';
        else if (node.min === 0 && node.max === 1) q = '?';
        else if (node.max === node.min) q = '{' + node.min + '}';
        else q = '{' + node.min + ',' + (node.max < 0 ? '' : node.max) + '}';
        const body = node.body;
        if (body.t === 'ref') return '\\' + body.n + q + (node.lazy ? '?' : '');
        const bare = ['group', 'class', 'dot', 'esc', 'char'].includes(body.t);
        return (bare ? r(body) : '(?:' + r(body) + ')') + q + (node.lazy ? '?' : '');
    }
    }
    throw new Error('unknown node ' + node.t);
}

// How deeply atoms repeated more than once nest.
function loopDepth(node) {
    const children = node.t === 'alt' ? node.alternatives : node.t === 'seq' ? node.items
        : node.body ? [node.body] : [];
    const inner = Math.max(0, ...children.map(loopDepth));
    return node.t === 'rep' && (node.max < 0 || node.max > 1) ? inner + 1 : inner;
}

// Puts ^ in front of every top-level alternative, so that the engine searches line starts only.
function anchorAtLineStarts(tree) {
    const anchor = (seq) => ({ t: 'seq', items: [{ t: 'assert', e: '^' }, seq] });
    return tree.t === 'alt' ? { t: 'alt', alternatives: tree.alternatives.map(anchor) } : anchor(tree);
}

// Puts \b and an item that begins with a word character in front of the tree, so that the
// engine searches after the non-word characters, or goes on after a run the next item cannot
// continue. choice picks the item.
function startAtWordStarts(tree, choice) {
    const run = (body) => ({ t: 'rep', body, min: 1, max: -1, lazy: false });
    const items = [run({ t: 'esc', e: 'w' }), { t: 'esc', e: 'w' }, { t: 'char', c: 'a' },
        { t: 'char', c: '1' },
        run({ t: 'class', negate: false, items: [{ from: 'a', to: 'c' }] }), { t: 'char', c: '_' },
        { t: 'group', kind: '(?:', body: run({ t: 'esc', e: 'd' }) }];
    const rest = tree.t === 'alt' ? { t: 'group', kind: '(?:', body: tree } : tree;
    return { t: 'seq', items: [{ t: 'assert', e: 'b' }, items[choice % items.length], rest] };
}

function generateCase(random) {
    let tree = generate(random);
    const flags = {
        global: random.chance(0.5),
        ignoreCase: random.chance(0.3),
        multiline: random.chance(0.3),
    };
    // One random stream renders both spellings alike: reseed it for each.
    const seed = random.below(0x7fffffff);
    // Taken from the seed, so that the stream and every other case stay as they were.
    if (flags.multiline && seed % 3 === 0) tree = anchorAtLineStarts(tree);
    else if (Math.floor(seed / 3) % 4 === 0) tree = startAtWordStarts(tree, Math.floor(seed / 12));
    const pattern = render(tree, false, flags.multiline, makeRandom(seed));
    const v8Pattern = render(tree, true, flags.multiline, makeRandom(seed));
    // Nested loops backtrack exponentially in the length of a text they fail on, in both
    // engines (V8 has no limit, regexp-run stops with its backtracking error): the deeper the
    // nesting, the shorter the source.
    const depth = loopDepth(tree);
    let source = '';
    const length = random.below(depth < 2 ? 15 : depth < 3 ? 9 : 6);
    for (let i = 0; i < length; ++i) source += random.pick(SourceChars);
    const r = random.below(10);
    const op = r < 6 ? 'execute' : r < 9 ? 'replace' : 'test';
    const request = { op, pattern, source, ...flags };
    if (op === 'replace') {
        let replacement = '';
        const pieces = 1 + random.below(4);
        for (let i = 0; i < pieces; ++i) replacement += random.pick(ReplacementPieces);
        request.replacement = replacement;
    }
    return { request, v8Pattern };
}

// ---- the two runs, each rendered to a comparable form

function runV8({ request, v8Pattern }) {
    let re;
    try {
        re = new RegExp(v8Pattern, 'g' + (request.ignoreCase ? 'i' : ''));
    } catch (e) {
        return { ok: false, error: String(e) };
    }
    const source = request.source;
    if (request.op === 'test') {
        re.lastIndex = 0;
        return { ok: true, result: re.exec(source) !== null };
    }
    if (request.op === 'replace') {
        if (!request.global) re = new RegExp(v8Pattern, request.ignoreCase ? 'i' : '');
        return { ok: true, result: source.replace(re, request.replacement) };
    }
    const matches = [];
    for (let start = 0; start <= source.length;) {
        re.lastIndex = start;
        const m = re.exec(source);
        if (!m) break;
        matches.push({ index: m.index, value: m[0], submatches: m.slice(1).map((s) => s ?? '') });
        if (!request.global) break;
        start = m[0].length ? m.index + m[0].length : m.index + 1;
    }
    return { ok: true, matches };
}

function fromRegexpRun(request, answer) {
    if (!answer.ok) return { ok: false, error: answer.number + ' ' + answer.description };
    if (request.op !== 'execute') return { ok: true, result: answer.result };
    return {
        ok: true,
        matches: answer.matches.map((m) => ({
            index: m.index, value: m.value, submatches: m.submatches,
        })),
    };
}

// JSON with every non-ASCII code unit escaped, so that lone surrogates survive.
function asciiJson(value) {
    return JSON.stringify(value).replace(/[\u007f-\uffff]/g, (c) => '\\u' + hex(c, 4));
}

function runRegexpRun(path, requests) {
    const input = requests.map((r) => asciiJson(r) + '\n').join('');
    const run = spawnSync(path, [], { input, maxBuffer: 1 << 30, encoding: 'utf8' });
    if (run.error || run.status !== 0)
        throw new Error('regexp-run failed: ' + (run.error || run.stderr));
    const lines = run.stdout.split('\n').filter((l) => l.length);
    if (lines.length !== requests.length)
        throw new Error('regexp-run gave ' + lines.length + ' answers to ' + requests.length);
    return lines.map((l) => JSON.parse(l));
}

function main() {
    const options = parseArguments(process.argv.slice(2));
    if (!options) {
        process.stderr.write('usage: node differential.js --regexp-run PATH [--seed N] [--cases N]\n');
        process.exit(2);
    }
    const seed = options.seed ?? Math.floor(Math.random() * 0x7fffffff);
    const began = Date.now();
    const random = makeRandom(seed);
    const cases = [];
    for (let i = 0; i < options.cases; ++i) cases.push(generateCase(random));
    const answers = runRegexpRun(options.regexpRun, cases.map((c) => c.request));
    const differences = [];
    cases.forEach((c, i) => {
        const ours = asciiJson(fromRegexpRun(c.request, answers[i]));
        const v8 = asciiJson(runV8(c));
        if (ours !== v8) differences.push({ case: i, request: c.request, v8Pattern: c.v8Pattern, ours, v8 });
    });
    const seconds = ((Date.now() - began) / 1000).toFixed(1);
    for (const d of differences.slice(0, 10)) {
        process.stdout.write('DIFFERENT case ' + d.case + ': ' + asciiJson(d.request) + '\n' +
            '  V8 pattern: ' + asciiJson(d.v8Pattern) + '\n  regexp-run: ' + d.ours +
            '\n  V8:         ' + d.v8 + '\n');
    }
    process.stdout.write('seed ' + seed + ': ' + options.cases + ' cases, ' + differences.length +
        ' different, ' + seconds + ' s\n');
    process.exit(differences.length ? 1 : 0);
}

main();
