# Writes the three 16 x 16 background patterns of the 3-D views: a tiled
# floor and two panelled walls, shaded so the walls read as lit from the left.
import struct
import zlib


def png(path, pixel):
    rows = b"".join(b"\0" + b"".join(bytes(pixel(x, y)) for x in range(16)) for y in range(16))
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    header = struct.pack(">IIBBBBB", 16, 16, 8, 2, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def floor(x, y):
    light = (x < 8) == (y < 8)
    edge = x % 8 == 0 or y % 8 == 0
    base = 200 if light else 150
    if edge:
        base -= 40
    return (base, base, base - 20)


def wall(shade):
    def pixel(x, y):
        mortar = y % 8 == 7 or (x + (4 if y >= 8 else 0)) % 16 == 0
        if mortar:
            return (shade - 60, shade - 60, shade - 50)
        return (shade, shade - 30, shade - 60)
    return pixel


png("floor.png", floor)
png("left_wall.png", wall(210))
png("right_wall.png", wall(170))
