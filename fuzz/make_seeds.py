#!/usr/bin/env python3
"""Makes the small seed files under fuzz/corpus and the neighbour files under
fuzz/files from the shipped data and from pictures, fonts and datafiles
written here with ImageMagick and Allegro's dat tool, the way the unit tests
make their fixtures. Run it from anywhere; it rewrites only what it makes."""
import os
import shutil
import struct
import subprocess
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FUZZ = os.path.join(ROOT, "fuzz")
CONVERT = "/usr/bin/convert"
DAT = "/usr/bin/dat"


def put(target, name, data):
    folder = os.path.join(FUZZ, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def neighbour(name, data):
    folder = os.path.join(FUZZ, "files")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def run(args, cwd):
    subprocess.run(args, cwd=cwd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


# ---- height maps: two side bytes, then samples ----
put("heightmap", "level8", bytes([4, 4]) + bytes([7] * 48))
put("heightmap", "slope16", bytes([2, 3]) + b"".join(struct.pack("<H", 100 + i) for i in range(20)))
put("heightmap", "short", bytes([63, 63, 1, 2, 3]))

# ---- settings and skin descriptions from the shipped data ----
put("settings", "gui.cfg", read(os.path.join(ROOT, "data/rundir/gui.cfg")))
put("settings", "odd.cfg", b"[VERudeV]\nskinPath = " + b"k\xf5rgus/" * 40 + b"\ngfxMode = XWIN\n"
    b"colorDepth = -99999999999\nsoundDriver = 0x1\n[other]\nfullscreen=1\n")
put("skin", "kujundus.ini", read(os.path.join(ROOT, "data/rundir/kujundus.ini")))
put("skin", "datafiles.ini", b"[Skin]\nmain_data = bitmaps.dat\ncursors = cursors.dat\nsounds = sounds.dat\n"
    b"dottedRect = 1\nfocus = 2\n[COLORS]\nface = 1 2 3\nback = 7;8\nfontface = -1\n"
    b"[FONT0]\nfile = small.fnt\n[FONT1]\nfile = glyphs.bmp\n[FONT2]\nfile = raw.itf\nsize = 9\n"
    b"[MOUSE]\nshadowColor = 255\nshadowSize = 3\n[BOX]\nfont1 = 2\nbackColor = 1,2\n"
    b"[WINDOW]\nexitX = -22\nanimationType = 1\n")

with tempfile.TemporaryDirectory() as tmp:
    # ---- images in every kind the readers take ----
    def image(source, out, *extra):
        run([CONVERT, "-size", "6x5", source, *extra, out], tmp)
        return read(os.path.join(tmp, out.split(":")[-1]))

    grad = "gradient:red-blue"
    put("image_bmp", "rgb24.bmp", image(grad, "BMP3:a.bmp", "-type", "TrueColor"))
    put("image_bmp", "pal8.bmp", image(grad, "BMP3:b.bmp", "-type", "Palette", "-colors", "7"))
    put("image_bmp", "pal4.bmp", image(grad, "BMP3:c.bmp", "-type", "Palette", "-colors", "5", "-depth", "4"))
    put("image_bmp", "mono.bmp", image(grad, "BMP3:d.bmp", "-monochrome"))
    put("image_bmp", "rle8.bmp", image(grad, "BMP3:e.bmp", "-type", "Palette", "-colors", "4",
                                       "-compress", "RLE"))
    put("image_bmp", "argb32.bmp", image(grad, "BMP:f.bmp", "-alpha", "on", "-define", "bmp:format=bmp4"))
    put("image_pcx", "pal8.pcx", image(grad, "PCX:g.pcx", "-type", "Palette", "-colors", "6"))
    put("image_pcx", "rgb24.pcx", image(grad, "PCX:h.pcx", "-type", "TrueColor"))
    put("image_pcx", "mono.pcx", image(grad, "PCX:i.pcx", "-monochrome"))
    put("image_tga", "rgb.tga", image(grad, "TGA:j.tga", "-compress", "None", "-type", "TrueColor"))
    put("image_tga", "rle.tga", image(grad, "TGA:k.tga", "-compress", "RLE", "-type", "TrueColor"))
    put("image_tga", "pal.tga", image(grad, "TGA:l.tga", "-type", "Palette", "-colors", "5"))
    put("image_tga", "grey.tga", image(grad, "TGA:m.tga", "-type", "Grayscale"))

    # ---- IFF pictures, written by hand (nothing here writes them) ----
    def iff(form, w, h, planes, compression, body, masking=0):
        bmhd = struct.pack(">HHhhBBBBHBBhh", w, h, 0, 0, planes, masking, compression, 0, 0, 1, 1, w, h)
        cmap = bytes(v for i in range(1 << min(planes, 8)) for v in (i * 40 % 256, i * 90 % 256, i * 20 % 256))
        chunks = b""
        for cid, data in ((b"BMHD", bmhd), (b"CMAP", cmap), (b"BODY", body)):
            chunks += cid + struct.pack(">I", len(data)) + data + (b"\0" if len(data) & 1 else b"")
        return b"FORM" + struct.pack(">I", len(chunks) + 4) + form + chunks

    planar = b"".join(bytes([0b10100000 ^ (y << 4), 0]) * 2 for y in range(3))        # 4x3, 2 planes
    put("image_lbm", "planar.lbm", iff(b"ILBM", 4, 3, 2, 0, planar))
    packed = b"".join(bytes([0x01, 0x55 + y, 0x0F, 0xFF, 0x3C]) for y in range(3))  # ByteRun1: copy 2, repeat 2
    put("image_lbm", "byterun.lbm", iff(b"ILBM", 16, 3, 2, 1, packed))
    put("image_lbm", "chunky.pbm", iff(b"PBM ", 4, 2, 8, 0, bytes(range(8))))

    # ---- bitmap fonts ----
    grx = bytearray(56)
    grx[0:18] = bytes([0x14, 0x02, 0x59, 0x19, 0, 0, 0, 0, 4, 0, 6, 0, 32, 0, 127, 0, 1, 0])
    grx += bytes((c * 7 + r * 13) & 0xF0 for c in range(32, 128) for r in range(6))
    neighbour("small.fnt", bytes(grx))
    put("font_fnt", "fixed.fnt", bytes(grx))
    prop = bytearray(56)
    prop[0:18] = bytes([0x14, 0x02, 0x59, 0x19, 0, 0, 0, 0, 9, 0, 3, 0, 65, 0, 68, 0, 0, 0])
    widths = [1, 9, 0, 16]
    prop += b"".join(struct.pack("<H", w) for w in widths)
    prop += bytes((i * 29) & 0xFF for w in widths for i in range((w + 7) // 8 * 3))
    put("font_fnt", "proportional.fnt", bytes(prop))
    put("font_fnt", "bios.fnt", bytes((i * 11) & 0xFF for i in range(256 * 2)))
    raw = bytes((i * 37) & 0xFF for i in range(2048))
    neighbour("raw.itf", raw)
    put("font_itf", "raw.itf", raw)
    put("font_itf", "short.itf", raw[:100])

    # A font image: glyph boxes on a border colour, 8 bits and true colour.
    def glyph_image(out, extra):
        draw = []
        for i in range(5):
            x = 1 + i * 5
            draw += ["-fill", "black" if i % 2 else "white", "-draw", f"rectangle {x},1 {x + 3},6"]
            draw += ["-fill", "black", "-draw", f"point {x + 1},{2 + i % 4}"]
        run([CONVERT, "-size", "27x8", "xc:#ffff00", *draw, *extra, out], tmp)
        return read(os.path.join(tmp, out.split(":")[-1]))

    glyphs8 = glyph_image("BMP3:n.bmp", ["-type", "Palette"])
    neighbour("glyphs.bmp", glyphs8)
    put("font_image", "glyphs8.bmp", glyphs8)
    put("font_image", "glyphs.tga", glyph_image("TGA:o.tga", ["-type", "TrueColor"]))
    put("font_image", "glyphs.pcx", glyph_image("PCX:p.pcx", ["-type", "Palette"]))
    put("font_image", "glyphs.lbm", iff(b"ILBM", 4, 3, 2, 0, planar))

    put("font_script", "script.txt", b"# letters from the GRX font, digits from the raw one\n"
        b"small.fnt 32 90\n- 0xc0 0xd4\nraw.itf 48 57\nglyphs.bmp 0x100\n")
    put("font_script", "ranges.txt", b"raw.itf 0 99\n- 300 310\n")

    # ---- scalable fonts: a tiny TrueType font and a BDF font ----
    def table_sum(data):
        data += b"\0" * (-len(data) % 4)
        return sum(struct.unpack(f">{len(data) // 4}I", data)) & 0xFFFFFFFF

    def truetype():
        square = struct.pack(">hhhhh", 1, 100, 0, 500, 600) + struct.pack(">HH", 3, 0) + bytes([1] * 4) \
            + struct.pack(">hhhh", 100, 400, 0, -400) + struct.pack(">hhhh", 0, 600, 0, -600)
        tri = struct.pack(">hhhhh", 1, 50, 0, 550, 700) + struct.pack(">HH", 2, 0) + bytes([1] * 3) \
            + struct.pack(">hhh", 50, 250, 250) + struct.pack(">hhh", 0, 700, -700)
        glyphs = [b"", square + b"\0" * (len(square) & 1), tri + b"\0" * (len(tri) & 1)]
        glyf, offsets = b"", [0]
        for g in glyphs:
            glyf += g
            offsets.append(len(glyf))
        loca = b"".join(struct.pack(">H", o // 2) for o in offsets)
        ids = [1 + c % 2 for c in range(0x20, 0x100)]
        segs = [(0x20, 0xFF), (0xFFFF, 0xFFFF)]
        n = len(segs)
        cmap4 = struct.pack(">HHHHHHH", 4, 0, 0, n * 2, 4, 1, 0)
        cmap4 += b"".join(struct.pack(">H", e) for _, e in segs) + b"\0\0"
        cmap4 += b"".join(struct.pack(">H", s) for s, _ in segs)
        cmap4 += struct.pack(">hh", 0, 1)
        cmap4 += struct.pack(">HH", 4, 0)
        cmap4 += b"".join(struct.pack(">H", i) for i in ids)
        cmap4 = cmap4[:2] + struct.pack(">H", len(cmap4)) + cmap4[4:]
        cmap = struct.pack(">HHHHI", 0, 1, 3, 1, 12) + cmap4
        tables = {
            b"head": struct.pack(">IIIIHHqqhhhhHHhhh", 0x10000, 0x10000, 0, 0x5F0F3CF5, 3, 1000, 0, 0,
                                 0, -200, 600, 800, 0, 8, 2, 0, 0),
            b"hhea": struct.pack(">IhhhHhhhhhhhhhhhH", 0x10000, 800, -200, 0, 700, 0, 0, 600, 1, 0, 0,
                                 0, 0, 0, 0, 0, 3),
            b"maxp": struct.pack(">IHHHHHHHHHHHHHH", 0x10000, 3, 4, 1, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0),
            b"hmtx": struct.pack(">HhHhHh", 500, 0, 700, 100, 650, 50),
            b"loca": loca,
            b"glyf": glyf,
            b"cmap": cmap,
            b"name": struct.pack(">HHH", 0, 0, 6),
            b"post": struct.pack(">IIhhIIIII", 0x30000, 0, -100, 50, 0, 0, 0, 0, 0),
        }
        tags = sorted(tables)
        out = struct.pack(">IHHHH", 0x10000, len(tags), 128, 7, len(tags) * 16 - 128)
        offset = 12 + 16 * len(tags)
        body = b""
        for tag in tags:
            data = tables[tag]
            out += tag + struct.pack(">III", table_sum(data), offset + len(body), len(data))
            body += data + b"\0" * (-len(data) % 4)
        return out + body

    put("font_scalable", "tiny.ttf", truetype())
    bdf = ["STARTFONT 2.1", "FONT -vaskur-tiny-medium-r-normal--6-60-75-75-c-40-iso8859-1",
           "SIZE 6 75 75", "FONTBOUNDINGBOX 4 6 0 -1", "STARTPROPERTIES 2", "FONT_ASCENT 5",
           "FONT_DESCENT 1", "ENDPROPERTIES", "CHARS 3"]
    for code in (65, 0xF5, 0x2E):
        bdf += [f"STARTCHAR c{code}", f"ENCODING {code}", "SWIDTH 666 0", "DWIDTH 4 0",
                "BBX 4 6 0 -1", "BITMAP", "60", "90", "F0", "90", "90", "00", "ENDCHAR"]
    bdf.append("ENDFONT")
    put("font_scalable", "tiny.bdf", ("\n".join(bdf) + "\n").encode())

    # ---- datafiles: bitmaps, cursors and sounds, packed and not ----
    shutil.copy(os.path.join(tmp, "a.bmp"), os.path.join(tmp, "pic.bmp"))
    wav = b"RIFF" + struct.pack("<I", 36 + 8) + b"WAVEfmt " + struct.pack("<IHHIIHH", 16, 1, 1, 8000, 8000, 1, 8) \
        + b"data" + struct.pack("<I", 8) + bytes(range(0, 256, 32))
    with open(os.path.join(tmp, "snd.wav"), "wb") as f:
        f.write(wav)
    for name, steps in (
        ("bitmaps.dat", [["-c0", "-bpp", "16", "-t", "BMP", "-a", "pic.bmp"],
                         ["-c0", "PIC_BMP", "NAME=BUTTON", "TCKX=2", "TCKY=1"]]),
        ("cursors.dat", [["-c0", "-bpp", "32", "-t", "BMP", "-a", "pic.bmp"],
                         ["-c0", "PIC_BMP", "NAME=MOUSE_NORMAL", "FCSX=1", "FCSY=2", "FRMS=2", "FDUR=40"]]),
        ("sounds.dat", [["-c0", "-t", "SAMP", "-a", "snd.wav"], ["-c0", "SND_WAV", "NAME=SAMPLE_KEY"]]),
        ("packed.dat", [["-c2", "-bpp", "16", "-t", "BMP", "-a", "pic.bmp"],
                        ["-c2", "-t", "RLE", "-a", "n.bmp"], ["-c2", "-t", "SAMP", "-a", "snd.wav"],
                        ["-c2", "PIC_BMP", "NAME=WINTOP"]]),
    ):
        for step in steps:
            run([DAT, name, *step], tmp)
        data = read(os.path.join(tmp, name))
        put("datafile", name, data)
        if name != "packed.dat":
            neighbour(name, data)

# ---- file names: the mask text, then names after "/" ----
put("filenames", "maps", b"Maps (*.raw)|All (*.*)/a.raw/B.RAW/k\xc3\xb5rgus.raw/vana\xf5\xff.raw/.hidden.raw/notes")
put("filenames", "odd", b"(*.[a-c]?;*)/\x01\x7f\x9f.raw/\xc3/\xc2\xa0x/" + b"y" * 250)

# ---- vaskur-route command lines, arguments separated by zero bytes ----
put("route_args", "full", b"\0".join([b"--patch", b"64", b"--threshold=-3", b"--quick", b"--path", b"--time",
                                       b"map.raw", b"1", b"2", b"300", b"+4"]))
put("route_args", "help", b"--help")
put("route_args", "dashes", b"\0".join([b"--", b"-map.raw", b"-1", b"-2", b"2147483648", b"0"]))

# ---- the real-terrain tools: a sidecar, route point files, vaskur-import ----
SIDECAR = (b'{"vaskurSidecar":1,"source":"dem.tif","side":257,"bits":8,"spacingMetres":10.0,'
           b'"heightUnitMetres":5.773502691896258,"heightOffsetMetres":120.5,"maxSlopeDegrees":30.0,"wallValue":255,'
           b'"noDataSamples":12,"wallSamples":14,"sampleToCrs":[500005.0,10.0,0.0,6599995.0,0.0,-10.0],'
           b'"crsWkt":"EPSG:32635","heightsFile":"map.raw.heights.tif"}')
put("sidecar", "imported", SIDECAR)
put("sidecar", "old", SIDECAR.replace(b',"heightsFile":"map.raw.heights.tif"', b""))
# The kind byte: 0 CSV, 1 GeoJSON, 2 GPX.
put("route_points", "lonlat.csv", b"\0name,lon,lat\nA,27.01,59.51\nB,27.03,59.52\nC,27.02,59.54\n")
put("route_points", "xy.csv", b"\0x,y\n500100,6599800\n501200,6598700\n")
put("route_points", "points.geojson", b'\1{"type":"FeatureCollection","features":['
    b'{"type":"Feature","properties":{},"geometry":{"type":"Point","coordinates":[27.01,59.51]}},'
    b'{"type":"Feature","properties":{},"geometry":{"type":"Point","coordinates":[27.03,59.52]}}]}')
put("route_points", "waypoints.gpx", b'\2<?xml version="1.0"?><gpx version="1.1" creator="x" '
    b'xmlns="http://www.topografix.com/GPX/1/1"><wpt lat="59.51" lon="27.01"/><wpt lat="59.52" lon="27.03"/>'
    b'<rte><rtept lat="59.53" lon="27.02"/></rte></gpx>')
put("import_args", "full", b"\0".join([b"--size", b"257", b"--lonlat", b"27.0", b"59.5", b"27.1", b"59.6",
                                        b"--band", b"1", b"--max-slope", b"35", b"--bits", b"16", b"--srs",
                                        b"EPSG:4326", b"-q", b"dem.tif", b"out.raw"]))
put("import_args", "window", b"\0".join([b"--window", b"0", b"0", b"300", b"+300", b"--", b"-dem.tif", b"out.raw"]))
