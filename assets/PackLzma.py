# Packs a file of the web player or the wallpaper host for the stub: LZMA-compressed as a .lzma
# file whose header gives the size, so the installer knows it before unpacking; a WebAssembly
# module without its "name" section (function names for stack traces, which playback never
# reads). The same file always gives the same bytes.
#     python3 PackLzma.py FILE OUT.lzma
import lzma
import struct
import sys


def leb128(data, at):
    value = shift = 0
    while True:
        byte = data[at]
        at += 1
        value |= (byte & 0x7F) << shift
        shift += 7
        if byte < 0x80:
            return value, at


def without_names(module):
    if module[:8] != b"\0asm\1\0\0\0":
        sys.exit("%s is not a WebAssembly module of version 1" % sys.argv[1])
    kept = [module[:8]]
    at = 8
    while at < len(module):
        start = at
        section = module[at]
        size, at = leb128(module, at + 1)
        end = at + size
        if end > len(module):
            sys.exit("%s is cut off" % sys.argv[1])
        name = b""
        if section == 0:
            length, name_at = leb128(module, at)
            name = module[name_at:name_at + length]
        if name != b"name":
            kept.append(module[start:end])
        at = end
    return b"".join(kept)


data = open(sys.argv[1], "rb").read()
if sys.argv[1].endswith(".wasm"):
    data = without_names(data)
# The literal and position models that pack each kind smallest, by measurement: bytecode and
# text are byte-aligned (no position bits), machine code aligns to words.
lc, lp, pb = (4, 0, 0) if sys.argv[1].endswith(".wasm") else \
    (3, 0, 0) if sys.argv[1].endswith(".js") else (3, 0, 2)
dictionary = 1 << 24
filters = [{"id": lzma.FILTER_LZMA1, "preset": 9 | lzma.PRESET_EXTREME, "dict_size": dictionary,
            "lc": lc, "lp": lp, "pb": pb}]
header = bytes([(pb * 5 + lp) * 9 + lc]) + struct.pack("<IQ", dictionary, len(data))
with open(sys.argv[2], "wb") as out:
    out.write(header + lzma.compress(data, format=lzma.FORMAT_RAW, filters=filters))
