// The installed wallpaper plays in a real browser: installers built with muravel-cli and the
// real stub, installed silently under Wine, the folder opened in headless Chromium as a file://
// URL with no file-access flags; what the web player draws is read from screenshots.
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import http from "node:http";
import path from "node:path";
import { after, before, test } from "node:test";
import assert from "node:assert/strict";
import { pathToFileURL } from "node:url";

import {
    compressed, decodePng, install, installFromMovie, launchBrowser, near, page as writePage, pageOf, pixels, rectangleMovie, tempFolder,
    uninstall, waitForPixels, writeProject,
} from "./support.mjs";

const Red = 0xff0000, Green = 0x00ff00, Blue = 0x0000ff, Yellow = 0xffff00, White = 0xffffff;
const Magenta = 0xff00ff;
// A 4:3 movie in a 16:9 window: the movie spans x 80 to 560, the background fills the sides.
const Viewport = { width: 640, height: 360 };

let browser, work;
const folders = [];

function installMovie(...args) {
    const { folder } = install(work, ...args);
    folders.push(folder);
    return folder;
}

before(async () => {
    work = tempFolder("muravel-web-");
    browser = await launchBrowser();
});

after(async () => {
    await browser?.close();
    fs.rmSync(work, { recursive: true, force: true });
});

async function open(url, options = {}) {
    const page = await browser.newPage();
    if (options.noScript) await page.setJavaScriptEnabled(false);
    await page.setViewport(options.viewport || Viewport);
    await page.goto(url);
    return page;
}

const fileUrl = (folder) => pathToFileURL(path.join(folder, "wallpaper.html")).href;

// Red on the movie's left half, the project's green in place of the movie's blue and around it;
// the movie as high as the window leaves above the text, which takes less than a tenth of it.
const shapeChecks = [
    [60, 150, Green], [135, 150, Red], [315, 150, Red], [325, 150, Green], [600, 150, Green],
];

let shapeFolder;

test("a shape movie shows its colours where the movie puts them, on the project's background", async () => {
    const movie = compressed(rectangleMovie({
        width: 400, height: 300, background: Blue, frames: [{ color: Red, x: 0, y: 0, w: 200, h: 300 }],
    }));
    shapeFolder = installMovie("Shape & Co.swf", movie, {
        background: Green, loop: true, textLines: ["Tom & <Jerry>"], url: "javascript:alert(1)",
        textColor: 0x000000, textBackground: Yellow,
    });
    const page = await open(fileUrl(shapeFolder));
    await waitForPixels(page, [...shapeChecks, [320, 355, Yellow]]);
    // Escaped as text, <Jerry> shows as typed, and the script address is no link.
    assert.equal(await page.$eval("#text", (e) => e.innerText), "Tom & <Jerry>\njavascript:alert(1)");
    assert.equal(await page.$("#text a"), null);
    await page.close();
});

// The rows of a column in one screenshot, as colours.
async function column(page, x, height) {
    return pixels(page, Array.from({ length: height }, (_, y) => [x, y]));
}

test("the text takes a strip of its own below the whole movie, in any window", async () => {
    // A red square in the middle of a 4:3 movie: a quarter of its height above and below it.
    const movie = compressed(rectangleMovie({
        width: 400, height: 300, background: Blue, frames: [{ color: Red, x: 100, y: 75, w: 200, h: 150 }],
    }));
    const folder = installMovie("centred.swf", movie, {
        background: Green, loop: true, textLines: ["First line of text", "Second line"],
        textColor: 0x000000, textBackground: Yellow,
    });
    const red = (c) => c >> 16 > 200 && ((c >> 8) & 255) < 60 && (c & 255) < 60;
    for (const viewport of [{ width: 640, height: 360 }, { width: 360, height: 640 }]) {
        const page = await open(fileUrl(folder), { viewport });
        // The bar is read at the window's edge, where its centred text does not reach.
        const x = viewport.width / 2;
        await waitForPixels(page, [[2, viewport.height - 2, Yellow]]);
        let rows = [];
        for (let tries = 0; tries < 100 && !rows.some(red); ++tries)
            rows = await column(page, x, viewport.height);
        const edge = await column(page, 2, viewport.height);
        let barTop = viewport.height;
        while (barTop > 0 && near(edge[barTop - 1], Yellow)) --barTop;
        const redTop = rows.findIndex(red), redBottom = rows.findLastIndex(red) + 1;
        // The movie fitted into what the bar leaves, centred there: the square's edges where
        // the movie puts them.
        const scale = Math.min(viewport.width / 400, barTop / 300);
        const movieTop = (barTop - 300 * scale) / 2;
        const where = `${viewport.width}x${viewport.height}: bar from ${barTop}, red ${redTop}-${redBottom}`;
        assert.ok(barTop < viewport.height - 20 && barTop > viewport.height / 2, where);
        assert.ok(Math.abs(redTop - (movieTop + 75 * scale)) <= 2, where);
        assert.ok(Math.abs(redBottom - (movieTop + 225 * scale)) <= 2, where);
        assert.ok(near(rows[redTop - 2], Green) && near(rows[redBottom + 1], Green), where);
        await page.close();
    }
});

test("Lively's and Wallpaper Engine's settings change the playing page: colour, text, fit, and back to the defaults", async () => {
    // A red 4:3 movie: in a 16:9 window the background shows beside it unless it fills the screen.
    const movie = compressed(rectangleMovie({
        width: 400, height: 300, background: Blue, frames: [{ color: Red, x: 0, y: 0, w: 400, h: 300 }],
    }));
    const folder = installMovie("settings.swf", movie, {
        background: Green, loop: true, textLines: ["Some text"], textColor: 0x000000, textBackground: Yellow,
    });
    const properties = JSON.parse(fs.readFileSync(path.join(folder, "LivelyProperties.json"), "utf8"));
    assert.deepEqual(Object.keys(properties), ["background", "showText", "fit", "volume", "restoreDefaults"]);
    assert.equal(properties.background.value, "#00FF00");
    assert.deepEqual(properties.fit.items, ["Whole movie", "Fill the screen", "Stretch"]);
    assert.equal(properties.volume.value, 0);
    const info = JSON.parse(fs.readFileSync(path.join(folder, "LivelyInfo.json"), "utf8"));
    assert.equal(info.Arguments, "--pause-event true");

    const page = await open(fileUrl(folder));
    const lively = (changes) => page.evaluate((c) => c.forEach(([n, v]) => livelyPropertyListener(n, v)), changes);
    const initial = [[40, 150, Green], [320, 150, Red], [320, 357, Yellow]];
    await waitForPixels(page, initial);
    // As Lively calls it when the wallpaper loads, with the values it kept: nothing changes.
    await lively(Object.entries(properties).filter(([, p]) => p.type !== "button").map(([n, p]) => [n, p.value]));
    await waitForPixels(page, initial);
    await lively([["background", "#FF00FF"], ["showText", false]]);
    await waitForPixels(page, [[40, 180, Magenta], [40, 357, Magenta], [320, 357, Red]]);
    await lively([["fit", 1]]);
    await waitForPixels(page, [[3, 180, Red], [636, 180, Red], [320, 3, Red]]);
    await lively([["restoreDefaults", true]]);
    await waitForPixels(page, initial);

    // Wallpaper Engine's project file offers the same settings, in its own kinds.
    const engine = JSON.parse(fs.readFileSync(path.join(folder, "project.json"), "utf8"));
    assert.equal(engine.type, "web");
    assert.equal(engine.file, "wallpaper.html");
    const engineProperties = engine.general.properties;
    assert.deepEqual(Object.entries(engineProperties).map(([key, p]) => [key, p.type]),
        [["background", "color"], ["showtext", "bool"], ["fit", "combo"], ["volume", "slider"]]);
    assert.equal(engineProperties.background.value, "0 1 0");
    assert.deepEqual(engineProperties.fit.options.map((o) => o.label), properties.fit.items);
    const wallpaperEngine = (p) => page.evaluate((p) => wallpaperPropertyListener.applyUserProperties(p), p);
    // As it calls at load, with every property: nothing changes.
    await wallpaperEngine(engineProperties);
    await waitForPixels(page, initial);
    await wallpaperEngine({ background: { value: "1 0 0" } });
    await waitForPixels(page, [[40, 150, Red], [320, 357, Yellow]]);
    // The mark a host waits for before it takes the picture of the first frame.
    await page.waitForFunction(() => document.documentElement.hasAttribute("data-drawn"), { timeout: 10000 });
    await page.close();

    // Without a frame taken, the picture the libraries show is the 4:3 stage in the wallpaper's colour.
    assert.equal(info.Thumbnail, "preview.png");
    assert.equal(engine.preview, "preview.png");
    const preview = decodePng(fs.readFileSync(path.join(folder, "preview.png")));
    assert.deepEqual([preview.width, preview.height], [480, 360]);
    for (const [x, y] of [[0, 0], [479, 359], [240, 180]])
        assert.equal(preview.pixel(x, y), Green);
});

test("the installed folder plays copied elsewhere, and served over HTTP", async () => {
    assert.ok(shapeFolder, "needs the folder of the first test");
    const copy = path.join(work, "copied elsewhere");
    fs.cpSync(shapeFolder, copy, { recursive: true });
    let page = await open(fileUrl(copy));
    await waitForPixels(page, shapeChecks);
    await page.close();

    const server = http.createServer((request, response) => {
        const file = path.join(copy, decodeURIComponent(new URL(request.url, "http://x").pathname));
        if (!file.startsWith(copy) || !fs.existsSync(file)) {
            response.writeHead(404).end();
            return;
        }
        response.writeHead(200, { "Content-Type": file.endsWith(".html") ? "text/html" : "text/javascript" });
        response.end(fs.readFileSync(file));
    });
    await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
    try {
        page = await open(`http://127.0.0.1:${server.address().port}/wallpaper.html`);
        await waitForPixels(page, shapeChecks);
        await page.close();
    } finally {
        server.close();
    }
});

test("a movie made by ffmpeg shows its colour", async () => {
    const movie = path.join(work, "ffmpeg.swf");
    execFileSync("ffmpeg", ["-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi",
                            "-i", "color=c=0x3366cc:s=320x240:d=2:r=12", "-c:v", "flv1", "-f", "swf", movie]);
    const folder = installMovie("ffmpeg movie.swf", fs.readFileSync(movie), { background: White, loop: true });
    const page = await open(fileUrl(folder));
    await waitForPixels(page, [[320, 180, 0x3366cc], [40, 180, White]], { tolerance: 24 });
    await page.close();
});

test("without Loop the movie stops on its last frame; with Loop it starts again", async () => {
    // Two frames at two a second: red, then yellow.
    const movie = rectangleMovie({
        width: 400, height: 300, background: Blue, fps: 2,
        frames: [{ color: Red, x: 0, y: 0, w: 400, h: 300 }, { color: Yellow, x: 0, y: 0, w: 400, h: 300 }],
    });
    for (const loop of [false, true]) {
        const folder = installMovie(`frames-${loop}.swf`, compressed(movie), { background: Green, loop });
        const page = await open(fileUrl(folder));
        await waitForPixels(page, [[320, 180, Yellow]]);
        const seen = new Set();
        for (let i = 0; i < 12; ++i) {
            seen.add((await pixels(page, [[320, 180]]))[0]);
            await new Promise((resolve) => setTimeout(resolve, 200));
        }
        assert.equal(seen.has(Red), loop, `loop ${loop}: seen ${[...seen].map((c) => c.toString(16))}`);
        await page.close();
    }
});

test("a wallpaper built in one line shows the movie's own colour and loops", async () => {
    // No --background, no --loop: the template's settings and the movie's stage colour. Two
    // frames at two a second: red on the left half, then yellow.
    const movie = compressed(rectangleMovie({
        width: 400, height: 300, background: Blue, fps: 2,
        frames: [{ color: Red, x: 0, y: 0, w: 200, h: 300 }, { color: Yellow, x: 0, y: 0, w: 200, h: 300 }],
    }));
    const { folder } = installFromMovie(work, "one line.swf", movie);
    folders.push(folder);
    const page = await open(fileUrl(folder));
    await waitForPixels(page, [[40, 180, Blue], [440, 180, Blue], [200, 180, Yellow]]);
    const seen = new Set();
    for (let i = 0; i < 12 && !seen.has(Red); ++i) {
        seen.add((await pixels(page, [[200, 180]]))[0]);
        await new Promise((resolve) => setTimeout(resolve, 200));
    }
    assert.ok(seen.has(Red), `it stopped: seen ${[...seen].map((c) => c.toString(16))}`);
    await page.close();
});

// Two seconds of video made by ffmpeg with the Sorenson codec: a second of red, then one of
// blue; with MP3 sound when asked.
function twoColourVideo(name, sound) {
    const file = path.join(work, name);
    const colour = (c) => ["-f", "lavfi", "-i", `color=c=${c}:s=320x240:d=1:r=12`];
    const audio = sound ? ["-f", "lavfi", "-i", "sine=frequency=440:duration=2"] : [];
    execFileSync("ffmpeg", ["-hide_banner", "-loglevel", "error", "-y", ...colour("0xff0000"), ...colour("0x0000ff"),
                            ...audio, "-filter_complex", "[0][1]concat=n=2:v=1:a=0[v]", "-map", "[v]",
                            ...(sound ? ["-map", "2", "-c:a", "libmp3lame", "-ar", "44100"] : []),
                            "-c:v", "flv1", "-f", "flv", file]);
    return fs.readFileSync(file);
}

test("a video plays through the player movie, filling the page, and loops without Loop", async () => {
    const folder = installMovie("clip.flv", twoColourVideo("clip.flv", true), { background: Green, loop: false });
    const page = await open(fileUrl(folder));
    // The 4:3 picture as high as the 16:9 window, the project's green beside it.
    const frame = (colour) => [[90, 20, colour], [320, 180, colour], [550, 340, colour], [40, 180, Green]];
    await waitForPixels(page, frame(Red), { tolerance: 60 });
    await waitForPixels(page, frame(Blue), { tolerance: 60 });
    await waitForPixels(page, frame(Red), { tolerance: 60, timeoutMs: 5000 });
    // Filling the screen, the player movie covers the window with the video.
    await page.evaluate(() => livelyPropertyListener("fit", 1));
    const notGreen = async () => (await pixels(page, [[3, 180], [636, 180]])).every((c) => !near(c, Green, 60));
    for (let tries = 0; tries < 50 && !(await notGreen()); ++tries)
        await new Promise((resolve) => setTimeout(resolve, 100));
    assert.ok(await notGreen(), "the background beside the video");
    await page.close();
});

test("muravel-cli page writes a folder that plays, for a movie and for a video", async () => {
    const movie = compressed(rectangleMovie({
        width: 400, height: 300, background: Blue, frames: [{ color: Red, x: 0, y: 0, w: 200, h: 300 }],
    }));
    let page = await open(fileUrl(writePage(work, "page.swf", movie, { background: Green })));
    await waitForPixels(page, [[60, 180, Green], [100, 180, Red], [300, 180, Red], [340, 180, Green]]);
    await page.close();
    page = await open(fileUrl(writePage(work, "page.flv", twoColourVideo("page.flv", false), { background: Green })));
    await waitForPixels(page, [[320, 180, Red], [40, 180, Green]], { tolerance: 60 });
    await page.close();
});

test("muravel-cli page --zip holds the folder's files at its root, the same bytes every time", () => {
    const movie = compressed(rectangleMovie({ width: 400, height: 300, background: Blue, frames: [] }));
    const project = writeProject(work, "zipped.swf", movie, { background: Green });
    const folder = path.join(work, "zipped-page");
    const zip = path.join(work, "zipped.zip");
    pageOf(work, project, folder);
    pageOf(work, project, zip, ["--zip"]);
    // Read by another program's reader, as Lively's would.
    execFileSync("unzip", ["-tq", zip]);
    const names = execFileSync("unzip", ["-Z1", zip]).toString().trim().split("\n");
    assert.deepEqual([...names].sort(), fs.readdirSync(folder).sort());
    assert.ok(names.includes("LivelyInfo.json"));
    const unzipped = path.join(work, "unzipped");
    execFileSync("unzip", ["-q", zip, "-d", unzipped]);
    for (const name of names)
        assert.ok(fs.readFileSync(path.join(unzipped, name)).equals(fs.readFileSync(path.join(folder, name))), name);
    const first = fs.readFileSync(zip);
    assert.throws(() => pageOf(work, project, zip, ["--zip"]), "an existing file without --force");
    assert.ok(fs.readFileSync(zip).equals(first));
    pageOf(work, project, zip, ["--zip", "--force"]);
    assert.ok(fs.readFileSync(zip).equals(first), "the same bytes again");
});

test("a blend mode over the stage blends with the wallpaper's colour", async () => {
    // Red in difference over the project's blue: magenta, as Flash drew it on its stage.
    const movie = compressed(rectangleMovie({
        width: 400, height: 300, background: Green, frames: [{ color: Red, x: 0, y: 0, w: 200, h: 300, blend: 7 }],
    }));
    const page = await open(fileUrl(writePage(work, "difference.swf", movie, { background: Blue, loop: true })));
    await waitForPixels(page, [[40, 180, Blue], [200, 180, Magenta], [440, 180, Blue]]);
    await page.close();
});

test("without script or WebAssembly the page says so on its background", async () => {
    assert.ok(shapeFolder, "needs the folder of the first test");
    // The note is dark on the green background, across the middle of the window.
    const dark = (c) => [16, 8, 0].every((s) => ((c >> s) & 255) < 80);
    const noteShows = async (page) => {
        await page.waitForNetworkIdle();
        const row = await pixels(page, Array.from({ length: 300 }, (_, i) => [170 + i, 171]));
        return row.some(dark) && row.some((c) => c === Green);
    };
    const page = await open(fileUrl(shapeFolder), { noScript: true });
    assert.ok(await noteShows(page), "no note without script");
    await page.close();

    // An engine without WebAssembly, as some locked-down ones are.
    const wasmless = await browser.newPage();
    await wasmless.evaluateOnNewDocument(() => delete globalThis.WebAssembly);
    await wasmless.setViewport(Viewport);
    await wasmless.goto(fileUrl(shapeFolder));
    assert.ok(await noteShows(wasmless), "no note without WebAssembly");
    await wasmless.close();
});

test("the uninstaller removes every file it installed", () => {
    for (const folder of folders)
        assert.ok(uninstall(folder), `${folder} is still there`);
});
