// What the browser tests and the wallpaper benchmark share: movies and projects written byte by
// byte, installers built with muravel-cli and the real stub and installed under Wine, and a
// headless Chromium whose screenshots are read pixel by pixel.
import { execFileSync } from "node:child_process";
import { randomUUID } from "node:crypto";
import fs from "node:fs";
import { createRequire } from "node:module";
import os from "node:os";
import path from "node:path";
import zlib from "node:zlib";

const env = (name) => {
    if (!process.env[name]) throw new Error(`${name} is not set; run the tests through CTest`);
    return process.env[name];
};

// ---- SWF: solid rectangles on a background, one per frame ----

class BitWriter {
    constructor() {
        this.bytes = [];
        this.pending = 0;
        this.count = 0;
    }
    put(value, bits) {
        for (let i = bits - 1; i >= 0; --i) {
            this.pending = (this.pending << 1) | ((value >>> i) & 1);
            if (++this.count === 8) this.flush();
        }
    }
    flush() {
        if (this.count > 0) this.bytes.push((this.pending << (8 - this.count)) & 0xff);
        this.pending = 0;
        this.count = 0;
    }
    done() {
        this.flush();
        return Buffer.from(this.bytes);
    }
}

// Bits a signed field needs for every value.
function bitsFor(values) {
    let bits = 2;
    for (const v of values) while (v < -(1 << (bits - 1)) || v >= 1 << (bits - 1)) ++bits;
    return bits;
}

function rect(writer, x0, x1, y0, y1) {
    const bits = bitsFor([x0, x1, y0, y1]);
    writer.put(bits, 5);
    for (const v of [x0, x1, y0, y1]) writer.put(v, bits);
}

function tag(code, body) {
    const header = Buffer.alloc(body.length < 63 ? 2 : 6);
    header.writeUInt16LE((code << 6) | Math.min(body.length, 63));
    if (body.length >= 63) header.writeUInt32LE(body.length, 2);
    return Buffer.concat([header, body]);
}

const rgb = (c) => Buffer.from([(c >> 16) & 255, (c >> 8) & 255, c & 255]);
const twips = (pixels) => pixels * 20;

// DefineShape: a rectangle filled with colour (0xRRGGBB), in pixels.
function rectangleShape(id, { color, x, y, w, h }) {
    const bounds = new BitWriter();
    rect(bounds, twips(x), twips(x + w), twips(y), twips(y + h));
    const records = new BitWriter();
    records.put(1, 4); // fill style bits
    records.put(0, 4); // line style bits
    // Style change: move to the corner, fill style 0 is style 1.
    records.put(0b000011, 6);
    const move = bitsFor([twips(x), twips(y)]);
    records.put(move, 5);
    records.put(twips(x), move);
    records.put(twips(y), move);
    records.put(1, 1);
    for (const [dx, dy] of [[twips(w), 0], [0, twips(h)], [-twips(w), 0], [0, -twips(h)]]) {
        const bits = bitsFor([dx, dy]);
        records.put(0b11, 2); // straight edge
        records.put(bits - 2, 4);
        records.put(0, 1); // not general: vertical or horizontal
        records.put(dx === 0 ? 1 : 0, 1);
        records.put(dx === 0 ? dy : dx, bits);
    }
    records.put(0, 6); // end
    const id16 = Buffer.alloc(2);
    id16.writeUInt16LE(id);
    const fills = Buffer.concat([Buffer.from([1, 0x00]), rgb(color), Buffer.from([0])]);
    return tag(2, Buffer.concat([id16, bounds.done(), fills, records.done()]));
}

// frames: one rectangle each, {color, x, y, w, h} in pixels and an optional blend mode (7 is
// difference), replacing the one before.
export function rectangleMovie({ width, height, background, frames, fps = 12, version = 8 }) {
    const tags = [tag(9, rgb(background))];
    frames.forEach((frame, i) => {
        tags.push(rectangleShape(i + 1, frame));
        // PlaceObject2, or PlaceObject3 with its blend mode.
        const blend = frame.blend !== undefined;
        const place = Buffer.alloc(blend ? 7 : 5);
        place[0] = i === 0 ? 0x02 : 0x03; // has character (and replaces)
        if (blend) place[1] = 0x02; // has a blend mode
        place.writeUInt16LE(1, blend ? 2 : 1); // depth
        place.writeUInt16LE(i + 1, blend ? 4 : 3);
        if (blend) place[6] = frame.blend;
        tags.push(tag(blend ? 70 : 26, place));
        tags.push(tag(1, Buffer.alloc(0)));
    });
    tags.push(tag(0, Buffer.alloc(0)));
    const frame = new BitWriter();
    rect(frame, 0, twips(width), 0, twips(height));
    const rateAndCount = Buffer.alloc(4);
    rateAndCount.writeUInt16LE(fps << 8);
    rateAndCount.writeUInt16LE(frames.length, 2);
    const body = Buffer.concat([frame.done(), rateAndCount, ...tags]);
    const header = Buffer.alloc(8);
    header.write("FWS", 0, "latin1");
    header[3] = version;
    header.writeUInt32LE(8 + body.length, 4);
    return Buffer.concat([header, body]);
}

// The same movie with its body zlib-compressed, as most movies are.
export function compressed(movie) {
    return Buffer.concat([Buffer.from("CWS"), movie.subarray(3, 8), zlib.deflateSync(movie.subarray(8))]);
}

// ---- Projects: the container and INI text written independently of the program's code ----

// A colour as project files hold it: 0xRRGGBB becomes $00BBGGRR.
const colour = (c) =>
    "$00" + [c & 255, (c >> 8) & 255, (c >> 16) & 255].map((v) => v.toString(16).padStart(2, "0")).join("").toUpperCase();

export function container(entries, compress) {
    const stored = entries.map((e, i) => (compress(i) ? zlib.deflateSync(e, { level: 9 }) : e));
    const directory = Buffer.alloc(8 * entries.length + 4);
    entries.forEach((e, i) => {
        directory.writeInt32LE(e.length, 8 * i);
        directory.writeInt32LE(stored[i].length, 8 * i + 4);
    });
    directory.writeInt32LE(entries.length, 8 * entries.length);
    return Buffer.concat([...stored, directory]);
}

// Text in code page 1252 is what the program reads; the tests keep to ASCII.
export function projectFile(s) {
    const flag = (b) => (b ? "1" : "0");
    const ini = [
        "[MetaData]", "Version=3", `GUID=${s.guid}`, "",
        "[FlashFiles]", "Count=1", `Flash0=${s.movie}`, "",
        "[Settings]", `FileTitle=${s.title}`,
        `BackgroundColor=${colour(s.background || 0)}`,
        `TransparentBackground=${flag(s.transparent)}`, "ShowLicense=0",
        `ShowText=${flag(s.textLines || s.url)}`, `URL=${s.url || ""}`,
        `TextColor=${colour(s.textColor || 0)}`, `TextBGColor=${colour(s.textBackground || 0)}`,
        "TextBGTransparent=0", "OutputFile=", `Loop=${flag(s.loop)}`, "",
    ].join("\r\n");
    const lines = (list) => Buffer.from((list || []).map((l) => l + "\r\n").join(""), "latin1");
    return container([Buffer.from(ini, "latin1"), lines([]), lines(s.textLines)], () => true);
}

// ---- Installers, built and installed under Wine ----

export const windowsPath = (unix) => "Z:" + path.resolve(unix).replaceAll("/", "\\");

function wine(program, args) {
    return execFileSync("wine", [program, ...args], { env: process.env, stdio: ["ignore", "pipe", "pipe"] });
}

export function tempFolder(prefix) {
    return fs.mkdtempSync(path.join(os.tmpdir(), prefix));
}

// muravel-cli with the template project and the player files it packs into video installers
// beside it, as in dist/.
function tools(work) {
    const folder = path.join(work, "tools");
    if (!fs.existsSync(folder)) {
        fs.mkdirSync(folder);
        fs.copyFileSync(env("MURAVEL_CLI"), path.join(folder, "muravel-cli.exe"));
        fs.copyFileSync(env("MURAVEL_TEMPLATE"), path.join(folder, "blankProject"));
        fs.copyFileSync(env("MURAVEL_PLAYER"), path.join(folder, "FLVPlayer.swf"));
        fs.copyFileSync(env("MURAVEL_SWFOBJECT"), path.join(folder, "swfobject.js"));
    }
    return folder;
}

// The project file of movie (bytes, named movieName) with the project settings s and a new GUID.
export function writeProject(work, movieName, movie, s) {
    const moviePath = path.join(work, movieName);
    fs.writeFileSync(moviePath, movie);
    const guid = `{${randomUUID().toUpperCase()}}`;
    const projectPath = path.join(work, movieName + ".zvrk");
    fs.writeFileSync(projectPath, projectFile({ title: "Wallpaper", guid, ...s, movie: windowsPath(moviePath) }));
    return projectPath;
}

// muravel-cli's page command of a project file, writing to out with the options given.
export function pageOf(work, project, out, options = []) {
    wine(path.join(tools(work), "muravel-cli.exe"),
         ["page", windowsPath(project), "-o", windowsPath(out), "--stub", windowsPath(env("MURAVEL_STUB")),
          ...options]);
}

// The folder muravel-cli's page command writes for movie with the project settings s.
export function page(work, movieName, movie, s) {
    const folder = path.join(work, movieName.replace(/[^A-Za-z0-9.]/g, "_") + "-page");
    pageOf(work, writeProject(work, movieName, movie, s), folder);
    return folder;
}

// Builds the installer named after movieName with muravel-cli's build and the arguments given,
// installs it silently into a new folder and returns {installer, folder}.
function buildAndInstall(work, movieName, args) {
    const installer = path.join(work, movieName + ".exe");
    wine(path.join(tools(work), "muravel-cli.exe"),
         ["build", ...args, "-o", windowsPath(installer), "--stub", windowsPath(env("MURAVEL_STUB"))]);
    const folder = path.join(work, movieName.replace(/[^A-Za-z0-9.]/g, "_") + "-installed");
    wine(installer, ["/S", "/D=" + windowsPath(folder)]);
    return { installer, folder };
}

// Builds an installer for movie (bytes, named movieName) with the project settings s and a new
// GUID with muravel-cli, as the window would after opening the project, installs it silently
// into a new folder and returns {installer, folder}.
export function install(work, movieName, movie, s) {
    return buildAndInstall(work, movieName, [windowsPath(writeProject(work, movieName, movie, s))]);
}

// The same from muravel-cli's one line: the template project beside it, the movie, a title and
// the settings given as options.
export function installFromMovie(work, movieName, movie, options = []) {
    const moviePath = path.join(work, movieName);
    fs.writeFileSync(moviePath, movie);
    return buildAndInstall(work, movieName, ["--movie", windowsPath(moviePath), "--title", "Wallpaper", ...options]);
}

// Runs the folder's uninstaller silently; returns whether the folder has gone.
export function uninstall(folder) {
    wine(path.join(folder, "uninstall.exe"), ["/S"]);
    return !fs.existsSync(folder);
}

export function folderSize(folder) {
    return fs.readdirSync(folder).reduce((sum, name) => sum + fs.statSync(path.join(folder, name)).size, 0);
}

// ---- The browser ----

export async function launchBrowser(extraArgs = []) {
    const require = createRequire(path.join(env("MURAVEL_NPM"), "node_modules", "/"));
    const puppeteer = require("puppeteer-core");
    // The machine's closed network refuses the browser's own background connections.
    return puppeteer.launch({
        executablePath: process.env.MURAVEL_CHROMIUM || "/usr/bin/chromium",
        headless: true,
        args: ["--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
               "--disable-component-update", "--disable-sync", "--disable-quic", ...extraArgs],
    });
}

// Decodes an 8-bit RGB or RGBA PNG without interlacing, as Chromium's screenshots are.
export function decodePng(png) {
    let at = 8, width = 0, height = 0, channels = 0;
    const data = [];
    while (at < png.length) {
        const length = png.readUInt32BE(at);
        const type = png.toString("latin1", at + 4, at + 8);
        const chunk = png.subarray(at + 8, at + 8 + length);
        if (type === "IHDR") {
            width = chunk.readUInt32BE(0);
            height = chunk.readUInt32BE(4);
            if (chunk[8] !== 8 || (chunk[9] !== 2 && chunk[9] !== 6) || chunk[12] !== 0)
                throw new Error("a PNG of a kind screenshots are not");
            channels = chunk[9] === 6 ? 4 : 3;
        } else if (type === "IDAT") {
            data.push(chunk);
        }
        at += 12 + length;
    }
    const raw = zlib.inflateSync(Buffer.concat(data));
    const stride = width * channels;
    const pixels = Buffer.alloc(height * stride);
    for (let y = 0; y < height; ++y) {
        const filter = raw[y * (stride + 1)];
        const line = raw.subarray(y * (stride + 1) + 1);
        for (let i = 0; i < stride; ++i) {
            const o = y * stride + i;
            const a = i >= channels ? pixels[o - channels] : 0;
            const b = y > 0 ? pixels[o - stride] : 0;
            const c = i >= channels && y > 0 ? pixels[o - stride - channels] : 0;
            const p = a + b - c;
            const paeth = Math.abs(p - a) <= Math.abs(p - b) && Math.abs(p - a) <= Math.abs(p - c)
                ? a : Math.abs(p - b) <= Math.abs(p - c) ? b : c;
            const predicted = [0, a, b, (a + b) >> 1, paeth][filter];
            pixels[o] = (line[i] + predicted) & 255;
        }
    }
    return {
        width, height,
        pixel(x, y) {
            const o = y * stride + x * channels;
            return (pixels[o] << 16) | (pixels[o + 1] << 8) | pixels[o + 2];
        },
    };
}

export const near = (a, b, tolerance = 12) =>
    [16, 8, 0].every((s) => Math.abs(((a >> s) & 255) - ((b >> s) & 255)) <= tolerance);
const hex = (c) => "#" + c.toString(16).padStart(6, "0");

// Takes screenshots until every [x, y, colour] check holds, and returns how long that took in
// milliseconds; fails with what the last screenshot showed when timeoutMs pass first.
export async function waitForPixels(page, checks, { timeoutMs = 30000, tolerance = 12 } = {}) {
    const start = Date.now();
    let wrong = "";
    for (;;) {
        const shot = decodePng(Buffer.from(await page.screenshot()));
        wrong = checks
            .filter(([x, y, want]) => !near(shot.pixel(x, y), want, tolerance))
            .map(([x, y, want]) => `(${x}, ${y}) is ${hex(shot.pixel(x, y))}, not ${hex(want)}`)
            .join("; ");
        if (!wrong) return Date.now() - start;
        if (Date.now() - start > timeoutMs) throw new Error(`the page never showed the movie: ${wrong}`);
        await new Promise((resolve) => setTimeout(resolve, 100));
    }
}

// The colours at points in one screenshot.
export async function pixels(page, points) {
    const shot = decodePng(Buffer.from(await page.screenshot()));
    return points.map(([x, y]) => shot.pixel(x, y));
}
