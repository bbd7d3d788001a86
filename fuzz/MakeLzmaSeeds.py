# The LZMA seeds, by Python's lzma: a movie made an LZMA-compressed one (ZWS) as Flash writes
# them, and for the decoder's own target the five property bytes and the data, with and
# without the end marker's kind of stream.
#     python3 MakeLzmaSeeds.py MOVIE.swf OUT-ZWS.swf SEEDS-FOLDER
import lzma
import os
import struct
import sys

movie = open(sys.argv[1], "rb").read()
filters = [{"id": lzma.FILTER_LZMA1, "dict_size": 1 << 16, "lc": 3, "lp": 0, "pb": 2}]
properties = bytes([0x5D]) + struct.pack("<I", 1 << 16)
body = lzma.compress(movie[8:], format=lzma.FORMAT_RAW, filters=filters)
with open(sys.argv[2], "wb") as out:
    out.write(b"ZWS" + movie[3:8] + struct.pack("<I", len(body)) + properties + body)
os.makedirs(sys.argv[3], exist_ok=True)
samples = {"movie": movie, "text": b"wallpaper movie stage frame " * 40, "empty": b""}
for name, data in samples.items():
    with open(os.path.join(sys.argv[3], name + ".lzma"), "wb") as out:
        out.write(properties + lzma.compress(data, format=lzma.FORMAT_RAW, filters=filters))
