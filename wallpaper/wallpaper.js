// The installed wallpaper's player. A page opened from file:// may not fetch the files beside
// it, so every file the web player fetches (its WebAssembly, the movie) comes from a data
// script instead: a <script src> that registers the bytes with MuravelData before ruffle.js
// loads. The page then starts the player with the settings on the #movie element.
(function() {
"use strict";

const entries = new Map();

function key(url) {
    const parsed = new URL(url, document.baseURI);
    parsed.hash = "";
    return parsed.href;
}

// holder's body is one comment holding the bytes as base64: a browser skips a comment of
// many megabytes at once, where a string literal of that size takes seconds to parse.
window.MuravelData = function(url, type, gzip, holder) {
    entries.set(key(url), {type, gzip, holder, transform : null});
};

function bytesOf(holder) {
    const text = Function.prototype.toString.call(holder);
    const base64 = text.slice(text.indexOf("/*") + 2, text.lastIndexOf("*/"));
    if (typeof Uint8Array.fromBase64 === "function")
        return Uint8Array.fromBase64(base64);
    const binary = atob(base64);
    const bytes = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; ++i)
        bytes[i] = binary.charCodeAt(i);
    return bytes;
}

function unpacked(bytes, format) {
    return new Blob([ bytes ]).stream().pipeThrough(new DecompressionStream(format));
}

async function respond(entry) {
    const headers = {"Content-Type" : entry.type};
    const bytes = bytesOf(entry.holder);
    // Streamed, so the browser compiles the WebAssembly while it is still being unpacked.
    if (entry.gzip)
        return new Response(unpacked(bytes, "gzip"), {headers});
    return new Response(entry.transform ? await entry.transform(bytes) : bytes, {headers});
}

// The web player looks fetch up when it calls it, so replacing it here, before ruffle.js
// runs, is enough; anything that is not ours goes to the browser as before.
const browserFetch = window.fetch;
window.fetch = function(input, init) {
    const url = input instanceof Request ? input.url : String(input);
    const entry = entries.get(key(url));
    return entry ? respond(entry) : browserFetch.call(this, input, init);
};

// What a Flash player's loop=false did, for a movie of timeline actions: a Stop action in
// the last frame of the main timeline. The web player has no such setting. A movie of
// ActionScript 3, or one it cannot read, plays as it is.
async function playOnce(movie) {
    const signature = String.fromCharCode(movie[0], movie[1], movie[2]);
    if (movie.length < 9 || (signature !== "FWS" && signature !== "CWS"))
        return movie;
    let swf = movie;
    if (signature === "CWS") {
        try {
            const body = new Uint8Array(
                await new Response(unpacked(movie.subarray(8), "deflate")).arrayBuffer());
            swf = new Uint8Array(8 + body.length);
            swf.set(movie.subarray(0, 8));
            swf.set(body, 8);
        } catch (error) {
            return movie;
        }
    }
    const view = new DataView(swf.buffer, swf.byteOffset, swf.byteLength);
    const rectBits = 5 + 4 * (swf[8] >> 3);
    let at = 8 + Math.ceil(rectBits / 8) + 4;
    let lastFrame = -1;
    while (at + 2 <= swf.length) {
        const start = at;
        const header = view.getUint16(at, true);
        const code = header >> 6;
        let length = header & 63;
        at += 2;
        if (length === 63) {
            if (at + 4 > swf.length)
                break;
            length = view.getUint32(at, true);
            at += 4;
        }
        const actionScript3 = code === 69 && swf[3] >= 9 && length > 0 && swf[at] & 8;
        if (actionScript3 || at + length > swf.length)
            return movie;
        if (code === 1)
            lastFrame = start;
        at += length;
        if (code === 0)
            break;
    }
    if (lastFrame < 0)
        return movie;
    // DoAction (tag 12, 2 bytes): Stop, End.
    const stop = [ 0x02, 0x03, 0x07, 0x00 ];
    const patched = new Uint8Array(swf.length + stop.length);
    patched.set(swf.subarray(0, lastFrame));
    patched.set(stop, lastFrame);
    patched.set(swf.subarray(lastFrame), lastFrame + stop.length);
    patched[0] = 0x46; // "FWS": left uncompressed
    new DataView(patched.buffer).setUint32(4, patched.length, true);
    return patched;
}

function showNote(id) { document.getElementById(id).hidden = false; }

// What a wallpaper host may change while the wallpaper plays (Lively Wallpaper through
// livelyPropertyListener, its LivelyProperties.json declaring the same names and defaults):
// the background colour, the text, how the movie fits the window and the sound's volume.
// A desktop is silent unless the user asks for sound. This script runs after the page's
// elements, before they are shown, so a host may change them from the start.
const Scales = [ "showAll", "noBorder", "exactFit" ];
const holder = document.getElementById("movie");
const defaults = {
    background : holder.dataset.background || "",
    showText : true,
    fit : 0,
    volume : 0,
};
const current = Object.assign({}, defaults);
let player = null;
let hostPaused = false;

// Our own player movie of a video, told its video through flashvars.
const playerMovie = "flashvars" in holder.dataset;

function opaqueStage() {
    return !("transparent" in holder.dataset) && !playerMovie;
}

function playerConfig() {
    const settings = holder.dataset;
    const config = {
        url : key(settings.movie),
        // The web player's wgpu renderer over WebGL 2 is the one that draws filters, blend
        // modes and Pixel Bender shaders as Flash did: 24 of 26 of its own test movies drawn
        // right, against 13 with its older "webgl" renderer and 14 to 16 with "canvas". Named
        // first, it skips the WebGPU attempt of the player's default order, which draws the
        // same where it works and costs time, or crashes, where the adapter is a poor one. It
        // starts about 0.3 s later than "webgl", compiling its shaders; a wallpaper plays for
        // hours. Our own player movie draws only the video, which "webgl" draws alike and
        // sooner. Without WebGL 2 the player goes down its own order.
        preferredRenderer : playerMovie ? "webgl" : "wgpu-webgl",
        autoplay : "on",
        unmuteOverlay : "hidden",
        splashScreen : false,
        contextMenu : "off",
        menu : false,
        letterbox : "off",
        scale : Scales[current.fit],
        allowScriptAccess : "scriptAccess" in settings,
        warnOnUnsupportedContent : false,
    };
    // The stage is drawn in the wallpaper's colour, as a Flash player's bgcolor drew it, so a
    // blend mode over the stage (difference, overlay, erase) blends with that colour; over a
    // transparent stage it blends with nothing. Only a transparent wallpaper, and our own
    // player movie, which blends nothing, leave the page's background showing through.
    if ("transparent" in settings || (!opaqueStage() && current.background))
        config.wmode = "transparent";
    else if (current.background)
        config.backgroundColor = current.background;
    // The player movie of a video fits the video itself.
    if (playerMovie)
        config.parameters = settings.flashvars + "&scale=" + Scales[current.fit];
    return config;
}

// The player builds each movie's instance at full volume; the volume is set once it is built.
// A load begun while another is under way leaves the player empty, so each waits for the one
// before it, and the changes asked for meanwhile take one load between them.
let loading = Promise.resolve();
let loadAsked = false;
function load() {
    if (loadAsked)
        return;
    loadAsked = true;
    const next = () => {
        loadAsked = false;
        document.documentElement.removeAttribute("data-drawn");
        return player.ruffle().load(playerConfig()).then(() => {
            player.ruffle().volume = current.volume / 100;
            updatePlayback();
        });
    };
    loading = loading.then(next, next);
}

const apply = {
    background(value) {
        const changed = current.background.toLowerCase() !== String(value).toLowerCase();
        current.background = value;
        document.documentElement.style.background = value;
        document.body.style.background = value;
        // An opaque stage takes its colour when the movie is loaded.
        if (changed && player && opaqueStage())
            load();
    },
    showText(value) {
        current.showText = value;
        const text = document.getElementById("text");
        if (text)
            text.hidden = !value;
    },
    fit(value) {
        if (current.fit === value || !(value in Scales))
            return;
        current.fit = value;
        if (!player)
            return;
        if (playerMovie)
            player.ruffle().callExternalInterface("SetVariable", "scale", Scales[value]);
        else
            load();
    },
    volume(value) {
        current.volume = value;
        if (player)
            player.ruffle().volume = value / 100;
    },
    restoreDefaults() {
        for (const name of Object.keys(defaults))
            apply[name](defaults[name]);
    },
};

window.livelyPropertyListener = function(name, value) {
    if (name in apply)
        apply[name](name === "fit" || name === "volume" ? Number(value) : value);
};

// Wallpaper Engine's listener drives the same state. Its keys are lower case, its colours
// "r g b" with each part from 0 to 1; it calls with every property once the page has loaded,
// then with the ones changed.
const EngineNames = {background : "background", showtext : "showText", fit : "fit", volume : "volume"};
function engineColor(value) {
    const parts = String(value).trim().split(/\s+/).map(Number);
    if (parts.length !== 3 || parts.some((part) => !Number.isFinite(part)))
        return null;
    return "#" + parts.map((part) => Math.round(Math.min(1, Math.max(0, part)) * 255)
                                         .toString(16).padStart(2, "0")).join("");
}
window.wallpaperPropertyListener = {
    applyUserProperties(properties) {
        for (const [key, property] of Object.entries(properties || {})) {
            const name = EngineNames[key];
            if (!name || !property || !("value" in property))
                continue;
            if (name === "background") {
                const color = engineColor(property.value);
                if (color)
                    apply.background(color);
            } else if (name === "showText") {
                apply.showText(Boolean(property.value));
            } else {
                apply[name](Number(property.value));
            }
        }
    },
    setPaused(paused) {
        hostPaused = Boolean(paused);
        updatePlayback();
    },
};

// Suspended while the host pauses the wallpaper (Lively's pause event) and while the page is
// hidden, in any host; resumed where it stopped.
function updatePlayback() {
    if (!player)
        return;
    if (hostPaused || document.hidden)
        player.ruffle().suspend();
    else
        player.ruffle().resume();
}

window.livelyWallpaperPlaybackChanged = function(data) {
    hostPaused = Boolean((typeof data === "string" ? JSON.parse(data) : data).IsPaused);
    updatePlayback();
};
document.addEventListener("visibilitychange", updatePlayback);

function start() {
    const settings = holder.dataset;
    if (typeof WebAssembly !== "object" || typeof window.RufflePlayer.newest !== "function") {
        showNote("no-webassembly");
        return;
    }
    const entry = entries.get(key(settings.movie));
    if (entry && "playOnce" in settings)
        entry.transform = playOnce;

    player = window.RufflePlayer.newest().createPlayer();
    // Marks the page once the movie has drawn its first frame (a moment after the player has
    // read it), for a host that takes a picture of it for engines' libraries; each load
    // takes the mark away until it has drawn.
    player.addEventListener("loadeddata", () => {
        setTimeout(() => document.documentElement.setAttribute("data-drawn", ""), 500);
    });
    holder.appendChild(player);
    load();
}

window.RufflePlayer = window.RufflePlayer || {};
window.RufflePlayer.config = {
    polyfills : false
};
document.addEventListener("DOMContentLoaded", start);
})();
