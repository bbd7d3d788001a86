// How long an installed wallpaper takes to show its first correct frame in headless Chromium,
// opened from file://, against a plain page of the same colours in the same run, for a small
// movie and a one-minute video; and the sizes of the stub, an installer of a small movie and
// the installed folder.
//     node bench/wallpaper_bench.mjs        (after the windows preset is built)
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import path from "node:path";
import { fileURLToPath, pathToFileURL } from "node:url";

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), "..");
const defaults = {
    MURAVEL_CLI: "build/windows/cli/muravel-cli.exe",
    MURAVEL_STUB: "build/windows/stub/installer.dat",
    MURAVEL_TEMPLATE: "build/host/assets/blankProject",
    MURAVEL_NPM: "build/npm",
    MURAVEL_PLAYER: "build/windows/ui/FLVPlayer.swf",
    MURAVEL_SWFOBJECT: "build/npm/node_modules/swfobject/index.js",
    WINEPREFIX: "build/windows/wineprefix",
};
for (const [name, value] of Object.entries(defaults))
    process.env[name] ??= path.join(root, value);
process.env.WINEDEBUG ??= "-all";

const { folderSize, install, launchBrowser, rectangleMovie, tempFolder, uninstall, waitForPixels } =
    await import("../tests/web/support.mjs");

const Runs = 5;
const Red = 0xff0000, Green = 0x00ff00;
const movieChecks = [[60, 180, Green], [200, 180, Red], [440, 180, Green]];

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

async function firstFrame(browser, url, checks = movieChecks, tolerance = 12) {
    const times = [];
    for (let i = 0; i < Runs; ++i) {
        const page = await browser.newPage();
        await page.setViewport({ width: 640, height: 360 });
        const start = Date.now();
        await page.goto(url);
        await waitForPixels(page, checks, { tolerance });
        times.push(Date.now() - start);
        await page.close();
    }
    return median(times);
}

const work = tempFolder("muravel-bench-");
const browser = await launchBrowser();
try {
    const movie = rectangleMovie({
        width: 400, height: 300, background: 0x0000ff, frames: [{ color: Red, x: 0, y: 0, w: 200, h: 300 }],
    });
    const { installer, folder } = install(work, "bench.swf", movie, { background: Green, loop: true });
    // The same picture without a player: the page's background and a red box where the movie's is.
    const plain = path.join(work, "plain.html");
    fs.writeFileSync(plain, "<!DOCTYPE html><html><body style='margin:0;background:#00ff00'>" +
        "<div style='position:absolute;left:80px;top:0;width:240px;height:360px;background:#ff0000'>" +
        "</div></body></html>");

    const baseline = await firstFrame(browser, pathToFileURL(plain).href);
    const wallpaper = await firstFrame(browser, pathToFileURL(path.join(folder, "wallpaper.html")).href);
    const program = fs.statSync(path.join(path.dirname(process.env.MURAVEL_STUB), "installer-program.exe")).size;
    const stub = fs.statSync(process.env.MURAVEL_STUB).size;
    const kb = (n) => `${(n / 1024).toFixed(0)} KiB`;
    console.log(`first correct frame (median of ${Runs}): plain page ${baseline} ms, wallpaper ${wallpaper} ms, ` +
                `ratio ${(wallpaper / baseline).toFixed(1)}x`);
    console.log(`stub: ${kb(stub)} (${stub} bytes), of which the program ${kb(program)} and the web player ` +
                `${kb(stub - program)}; ratio ${(stub / program).toFixed(1)}x`);
    console.log(`installer of a ${movie.length}-byte movie: ${kb(fs.statSync(installer).size)}`);
    console.log(`installed folder: ${kb(folderSize(folder))} in ${fs.readdirSync(folder).length} files`);
    uninstall(folder);

    // A minute of noisy blue at 2 Mbit/s, so the page has megabytes to unpack.
    const clip = path.join(work, "minute.flv");
    execFileSync("ffmpeg", ["-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                            "color=c=0x3366cc:s=640x480:d=60:r=25,noise=alls=12:allf=t", "-c:v", "flv1",
                            "-b:v", "2M", "-f", "flv", clip]);
    const video = install(work, "minute.flv", fs.readFileSync(clip), { background: Green });
    const videoTime = await firstFrame(browser, pathToFileURL(path.join(video.folder, "wallpaper.html")).href,
                                       [[320, 180, 0x3366cc], [40, 180, Green]], 48);
    console.log(`one-minute video of ${kb(fs.statSync(clip).size)}: first frame ${videoTime} ms, ` +
                `ratio ${(videoTime / baseline).toFixed(1)}x the plain page`);
    uninstall(video.folder);
} finally {
    await browser.close();
    fs.rmSync(work, { recursive: true, force: true });
}
