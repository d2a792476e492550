#!/usr/bin/env python3
"""Cut-down copies of the game's generated files for the fuzz seed corpora.

Run after a build: fuzz/game_seeds.py build/game fuzz/corpus
Pictures are cropped to a small corner with their headers rewritten, sounds
keep their first samples, so that every seed stays a few kilobytes and the
fuzzers run fast; the song and a score table are copied whole.
jpeg/game_First_small.jpg is the title picture decoded at one eighth of its
size and encoded again with libjpeg (quality 80); it was made once by hand.
"""
import struct
import sys
from pathlib import Path


def crop_bmp24(data, side):
    """A 24-bit info-header BMP cut to its bottom-left side x side corner."""
    offset = struct.unpack_from('<I', data, 10)[0]
    width = struct.unpack_from('<i', data, 18)[0]
    stride = (3 * width + 3) & ~3
    new_stride = (3 * side + 3) & ~3
    rows = b''.join(data[offset + y * stride: offset + y * stride + 3 * side]
                    + bytes(new_stride - 3 * side) for y in range(side))
    header = bytearray(data[:54])
    struct.pack_into('<I', header, 2, 54 + len(rows))
    struct.pack_into('<I', header, 10, 54)
    struct.pack_into('<ii', header, 18, side, side)
    struct.pack_into('<I', header, 34, len(rows))
    return bytes(header) + rows


def crop_core8(data, side):
    """An 8-bit core-header BMP cut to its bottom-left side x side corner."""
    offset = struct.unpack_from('<I', data, 10)[0]
    width = struct.unpack_from('<H', data, 18)[0]
    stride = (width + 3) & ~3
    new_stride = (side + 3) & ~3
    rows = b''.join(data[offset + y * stride: offset + y * stride + side]
                    + bytes(new_stride - side) for y in range(side))
    head = bytearray(data[:offset])
    struct.pack_into('<I', head, 2, offset + len(rows))
    struct.pack_into('<HH', head, 18, side, side)
    return bytes(head) + rows


def cut_wave(data, sample_bytes):
    """The RIFF header and format chunk, then the first samples of the data."""
    pos = 12
    out = bytearray(data[:12])
    while pos + 8 <= len(data):
        cid = data[pos:pos + 4]
        size = struct.unpack_from('<I', data, pos + 4)[0]
        if cid == b'data':
            body = data[pos + 8: pos + 8 + sample_bytes]
            out += b'data' + struct.pack('<I', len(body)) + body
            break
        out += data[pos: pos + 8 + size + (size & 1)]
        pos += 8 + size + (size & 1)
    struct.pack_into('<I', out, 4, len(out) - 8)
    return bytes(out)


def main():
    game, corpus = Path(sys.argv[1]), Path(sys.argv[2])
    for name in ['wood', 'board', 'top', 'LandScape', 'Enemy1', 'bomb']:
        data = (game / f'{name}.bmp').read_bytes()
        (corpus / 'bmp' / f'game_{name}.bmp').write_bytes(crop_bmp24(data, 16))
    hero = (game / 'Hero.bmp').read_bytes()
    (corpus / 'dib' / 'game_Hero.bmp').write_bytes(crop_bmp24(hero, 16))
    (corpus / 'bmp' / 'game_Hero.bmp').write_bytes(crop_bmp24(hero, 16))
    shadow = (game / 'Shadow.bmp').read_bytes()
    (corpus / 'dib' / 'game_Shadow.bmp').write_bytes(crop_core8(shadow, 32))
    for name in ['bomb', 'death', 'over']:
        data = (game / f'{name}.wav').read_bytes()
        (corpus / 'wave' / f'game_{name}.wav').write_bytes(cut_wave(data, 512))
    (corpus / 'midi' / 'game_SONAT_A1.MID').write_bytes((game / 'SONAT_A1.MID').read_bytes())
    scores = ''.join(f'{n}\t{s}\r\n' for n, s in
                     [('Anna', 1230), ('SuperHero', 615), ('Bo', 90), ('\u00c5sa', 45), ('', 0)])
    (corpus / 'scores' / 'game_scores.dat').write_bytes(scores.encode('utf-8'))


if __name__ == '__main__':
    main()
