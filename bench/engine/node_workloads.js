// Node.js side of bench_engine: reads the UTF-16LE text files given, runs each workload the
// given number of times and prints one JSON line per workload: {"name", "count", "ms", "cpuMs"}
// (medians; cpuMs the processor time of the process, its collector's threads included).
'use strict';
const fs = require('fs');
const [lfFile, crlfFile, repsText] = process.argv.slice(2);
const reps = Number(repsText) || 5;
const texts = { lf: fs.readFileSync(lfFile, 'utf16le'), crlf: fs.readFileSync(crlfFile, 'utf16le') };
const workloads = JSON.parse(fs.readFileSync(0, 'utf8'));

for (const w of workloads) {
    const s = w.crlf ? texts.crlf : texts.lf;
    const flags = (w.global ? 'g' : '') + (w.ignoreCase ? 'i' : '') + (w.multiline ? 'm' : '');
    const re = new RegExp(w.pattern, flags);
    const times = [];
    const cpu = [];
    let count = 0;
    for (let i = 0; i < reps; i++) {
        const c0 = process.cpuUsage();
        const t0 = process.hrtime.bigint();
        if (w.op === 'execute') {
            count = 0;
            re.lastIndex = 0;
            let m;
            const bounds = [];
            while ((m = re.exec(s)) !== null) {
                bounds.push(m.index, m[0].length);
                for (let g = 1; g < m.length; g++) bounds.push(m[g] === undefined ? -1 : m[g].length);
                count++;
                if (!re.global) break;
                if (m[0].length === 0) re.lastIndex++;
            }
        } else if (w.op === 'replace') {
            count = s.replace(re, w.replacement).length;
        } else {
            re.lastIndex = 0;
            count = re.test(s) ? 1 : 0;
        }
        times.push(Number(process.hrtime.bigint() - t0) / 1e6);
        const c = process.cpuUsage(c0);
        cpu.push((c.user + c.system) / 1000);
    }
    const median = (list) => list.sort((a, b) => a - b)[Math.floor(list.length / 2)];
    console.log(JSON.stringify({ name: w.name, count, ms: median(times), cpuMs: median(cpu) }));
}
