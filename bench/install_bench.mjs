// How much memory and time the installer stub takes to install a large movie, against the
// same run's baselines: its peak resident memory beside the installer's size, and its time
// beside Wine's start with the stub on a tiny movie plus pigz -d of the same zlib stream.
// Goal: install <= tiny-movie install + 1.5x pigz -d.
//     node bench/install_bench.mjs [MIB]        (after the windows preset is built; default 100)
import { execFileSync, spawn, spawnSync } from "node:child_process";
import { randomBytes } from "node:crypto";
import fs from "node:fs";
import path from "node:path";
import zlib from "node:zlib";
import { fileURLToPath } from "node:url";

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), "..");
process.env.MURAVEL_STUB ??= path.join(root, "build/windows/stub/installer.dat");
process.env.MURAVEL_NPM ??= path.join(root, "build/npm");
process.env.WINEPREFIX ??= path.join(root, "build/windows/wineprefix");
process.env.WINEDEBUG ??= "-all";

const { container, projectFile, tempFolder, uninstall, windowsPath } =
    await import("../tests/web/support.mjs");

const MiB = 1024 * 1024;
const size = Number(process.argv[2] || 100) * MiB;

// Runs wine with args and returns its peak resident memory and wall time: the Windows program
// is the process wine becomes, whose high-water mark /proc keeps until it ends.
function run(args) {
    return new Promise((resolve, reject) => {
        const start = process.hrtime.bigint();
        const child = spawn("wine", args, { stdio: "ignore" });
        let peak = 0;
        const watch = setInterval(() => {
            try {
                const status = fs.readFileSync(`/proc/${child.pid}/status`, "utf8");
                const kb = Number((/VmHWM:\s+(\d+)/.exec(status) || [])[1] || 0);
                peak = Math.max(peak, kb * 1024);
            } catch {
                // Gone between two looks.
            }
        }, 20);
        child.on("error", reject);
        child.on("exit", (code) => {
            clearInterval(watch);
            const seconds = Number(process.hrtime.bigint() - start) / 1e9;
            code === 0 ? resolve({ peak, seconds }) : reject(new Error(`wine ${args[0]} exited ${code}`));
        });
    });
}

function installer(work, name, movie) {
    const moviePath = path.join(work, name);
    const project = projectFile({ title: name, guid: "", movie: windowsPath(moviePath), background: 0 });
    const file = path.join(work, name + ".exe");
    const entries = [fs.readFileSync(process.env.MURAVEL_STUB), project, movie];
    fs.writeFileSync(file, container(entries, (i) => i > 0));
    return file;
}

const work = tempFolder("muravel-install-bench-");
try {
    const mb = (n) => `${(n / MiB).toFixed(1)} MiB`;
    const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
    const small = installer(work, "small.swf", Buffer.from("FWS\x08small"));
    const movie = Buffer.concat([Buffer.from("FWS\x08"), randomBytes(size - 4)]);
    const large = installer(work, "large.swf", movie);
    const installerSize = fs.statSync(large).size;
    const packedPath = path.join(work, "movie.zz");
    fs.writeFileSync(packedPath, zlib.deflateSync(movie, { level: 9 }));

    // A wineserver that stays, so that no run pays for starting one (it answers 2 when one
    // runs already). Wine's desktop process still ends a while after the last program, and the
    // next program waits for a new one, so the tiny and the large movie are installed back to
    // back, after a warm-up, in rounds.
    spawnSync("wineserver", ["-p"], { stdio: "ignore" });
    const into = (name) => path.join(work, name);
    await run([small, "/S", "/D=" + windowsPath(into("warm-up"))]);
    uninstall(into("warm-up"));
    const rounds = { base: [], large: [], inflate: [], peak: [], basePeak: [] };
    for (let round = 0; round < 3; ++round) {
        const base = await run([small, "/S", "/D=" + windowsPath(into("small"))]);
        const big = await run([large, "/S", "/D=" + windowsPath(into("large"))]);
        uninstall(into("small"));
        uninstall(into("large"));
        const inflateStart = process.hrtime.bigint();
        execFileSync("pigz", ["-d", "-z", "-c", packedPath], { stdio: ["ignore", "ignore", "inherit"] });
        rounds.inflate.push(Number(process.hrtime.bigint() - inflateStart) / 1e9);
        rounds.base.push(base.seconds);
        rounds.large.push(big.seconds);
        rounds.peak.push(big.peak);
        rounds.basePeak.push(base.peak);
    }
    const [base, big, inflate] = [median(rounds.base), median(rounds.large), median(rounds.inflate)];
    const [peak, basePeak] = [Math.max(...rounds.peak), Math.max(...rounds.basePeak)];
    console.log(`installer ${mb(installerSize)} with a ${mb(size)} movie`);
    console.log(`peak memory: ${mb(peak)}, of which Wine and the program on a tiny movie ` +
                `${mb(basePeak)}; above that ${mb(peak - basePeak)}, ` +
                `${((peak - basePeak) / installerSize).toFixed(2)}x the installer`);
    console.log(`time (median of 3): ${big.toFixed(2)} s; the tiny movie ${base.toFixed(2)} s, ` +
                `pigz -d ${inflate.toFixed(2)} s: the movie's part ` +
                `${((big - base) / inflate).toFixed(2)}x pigz -d (goal <= 1.5x)`);
} finally {
    spawnSync("wineserver", ["-k"], { stdio: "ignore" });
    fs.rmSync(work, { recursive: true, force: true });
}
