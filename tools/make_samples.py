#!/usr/bin/env python3
"""Writes the sample files that the first-run example records point at.

FORET.BMP: a 160 x 120 picture of a forest (24-bit, uncompressed Windows bitmap).
BACH.MID: the first part of the Minuet in G of the 1725 Notebook for Anna Magdalena Bach, played
  twice (the second time closing on G) on a harpsichord over a plain bass (Standard MIDI File,
  format 0, one track).

Both are drawn or written out here, deterministically, so that running the script again gives the
same bytes. After writing, each file is read back and checked; any fault ends the script with a
non-zero status.

Usage: make_samples.py [OUTPUT_FOLDER]   (default: archiver/data beside this script's folder)
"""

import math
import os
import struct
import sys

WIDTH, HEIGHT = 160, 120


# ---------------------------------------------------------------------------------------------
# The picture


class Canvas:
    def __init__(self, width, height, colour):
        self.width = width
        self.height = height
        self.pixels = [[colour] * width for _ in range(height)]  # row 0 is the top

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(self.height, y1 + 1)):
            for x in range(max(0, x0), min(self.width, x1 + 1)):
                self.pixels[y][x] = colour

    def disc(self, cx, cy, r, colour):
        for y in range(int(cy - r), int(cy + r) + 1):
            for x in range(int(cx - r), int(cx + r) + 1):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.put(x, y, colour)

    def triangle(self, apex_x, apex_y, base_y, half_width, colour):
        """An upright isosceles triangle: apex on top, horizontal base."""
        height = base_y - apex_y
        for y in range(apex_y, base_y + 1):
            half = half_width * (y - apex_y) / height if height else half_width
            for x in range(int(round(apex_x - half)), int(round(apex_x + half)) + 1):
                self.put(x, y, colour)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def hill_top(x, base, amplitude, wavelength, phase):
    return int(base + amplitude * math.sin(2 * math.pi * x / wavelength + phase))


def draw_forest():
    sky_top, sky_low = (70, 130, 210), (190, 225, 250)
    c = Canvas(WIDTH, HEIGHT, sky_low)
    for y in range(HEIGHT):
        colour = mix(sky_top, sky_low, min(1.0, y / 70))
        for x in range(WIDTH):
            c.pixels[y][x] = colour

    # Sun and two clouds.
    c.disc(128, 20, 10, (255, 236, 140))
    c.disc(128, 20, 7, (255, 248, 200))
    for cx, cy in ((30, 18), (70, 26)):
        for dx, dy, r in ((0, 0, 6), (7, -3, 7), (14, 0, 6), (7, 2, 6)):
            c.disc(cx + dx, cy + dy, r, (248, 250, 252))

    # Far hills, then near hills, each filled down to the bottom.
    for x in range(WIDTH):
        far = hill_top(x, 62, 7, 110, 0.6)
        for y in range(far, HEIGHT):
            c.put(x, y, mix((110, 150, 120), (90, 130, 100), (y - far) / 40))
        near = hill_top(x, 78, 5, 75, 2.1)
        for y in range(near, HEIGHT):
            c.put(x, y, mix((80, 150, 60), (50, 110, 40), (y - near) / 40))

    # Meadow at the bottom with a winding path.
    for y in range(98, HEIGHT):
        for x in range(WIDTH):
            c.put(x, y, (70, 140, 50) if (x + y) % 7 else (60, 125, 45))
    for y in range(98, HEIGHT):
        centre = 84 + int(10 * math.sin((y - 98) / 6.0))
        half = 2 + (y - 98) // 3
        for x in range(centre - half, centre + half + 1):
            c.put(x, y, (190, 160, 110))

    trunk = (100, 65, 35)

    def fir(x, ground, size):
        c.rect(x - 1, ground - size // 4, x + 1, ground, trunk)
        dark, light = (25, 90, 45), (40, 115, 55)
        top = ground - size
        for level in range(3):
            apex = top + level * size // 5
            base = apex + size // 2
            c.triangle(x, apex, min(base, ground - size // 5), size // 4 + level * 2,
                       dark if level % 2 == 0 else light)

    def leafy(x, ground, size):
        c.rect(x - 1, ground - size // 2, x + 1, ground, trunk)
        crown = ground - size // 2 - size // 4
        c.disc(x, crown, size // 3, (55, 120, 40))
        c.disc(x - size // 6, crown + 2, size // 4, (70, 140, 50))
        c.disc(x + size // 6, crown - 1, size // 4, (45, 105, 35))

    # Back row smaller, front row larger: a sense of depth.
    for x, size in ((8, 22), (24, 26), (44, 20), (108, 24), (122, 20), (150, 26)):
        fir(x, hill_top(x, 78, 5, 75, 2.1) + 4, size)
    leafy(62, 90, 26)
    leafy(138, 94, 24)
    for x, ground, size in ((14, 112, 40), (36, 116, 34), (118, 114, 38), (146, 118, 42)):
        fir(x, ground, size)
    return c


def bmp_bytes(canvas):
    row_size = (canvas.width * 3 + 3) // 4 * 4
    image_size = row_size * canvas.height
    offset = 14 + 40
    header = struct.pack('<2sIHHI', b'BM', offset + image_size, 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, canvas.width, canvas.height, 1, 24, 0, image_size,
                       2835, 2835, 0, 0)  # 72 dots per inch
    rows = []
    for y in range(canvas.height - 1, -1, -1):  # bottom row first
        row = bytearray()
        for r, g, b in canvas.pixels[y]:
            row += bytes((b, g, r))
        row += bytes(row_size - len(row))
        rows.append(bytes(row))
    return header + info + b''.join(rows)


def check_bmp(data, width, height):
    fault = []
    if data[:2] != b'BM':
        fault.append('signature is not BM')
    size, _, _, offset = struct.unpack_from('<IHHI', data, 2)
    header_size, w, h, planes, bpp, compression, image_size = struct.unpack_from(
        '<IiiHHII', data, 14)
    row_size = (w * 3 + 3) // 4 * 4
    if size != len(data):
        fault.append('file size field %d, file %d' % (size, len(data)))
    if header_size != 40 or offset != 54:
        fault.append('header size %d, pixel offset %d' % (header_size, offset))
    if (w, h, planes, bpp, compression) != (width, height, 1, 24, 0):
        fault.append('format %r' % ((w, h, planes, bpp, compression),))
    if image_size != row_size * h or offset + image_size != len(data):
        fault.append('pixel data size %d' % image_size)
    # The picture must not be blank: count the distinct colours.
    colours = {data[i:i + 3] for y in range(h) for i in range(offset + y * row_size,
                                                              offset + y * row_size + w * 3, 3)}
    if len(colours) < 10:
        fault.append('only %d colours' % len(colours))
    return fault


# ---------------------------------------------------------------------------------------------
# The music

DIVISION = 480  # ticks per quarter note
EIGHTH = DIVISION // 2

NOTE = {'C': 0, 'D': 2, 'E': 4, 'F': 5, 'G': 7, 'A': 9, 'B': 11}


def pitch(name):
    """'C5' → 72, 'F#4' → 66."""
    letter, rest = name[0], name[1:]
    shift = 0
    while rest and rest[0] in '#b':
        shift += 1 if rest[0] == '#' else -1
        rest = rest[1:]
    return 12 * (int(rest) + 1) + NOTE[letter] + shift


# The minuet's first eight bars (3/4, G major), then the same with the closing cadence;
# durations in eighth notes.
MELODY = [
    ('D5', 2), ('G4', 1), ('A4', 1), ('B4', 1), ('C5', 1),
    ('D5', 2), ('G4', 2), ('G4', 2),
    ('E5', 2), ('C5', 1), ('D5', 1), ('E5', 1), ('F#5', 1),
    ('G5', 2), ('G4', 2), ('G4', 2),
    ('C5', 2), ('D5', 1), ('C5', 1), ('B4', 1), ('A4', 1),
    ('B4', 2), ('C5', 1), ('B4', 1), ('A4', 1), ('G4', 1),
    ('F#4', 2), ('G4', 1), ('A4', 1), ('B4', 1), ('G4', 1),
    ('A4', 6),
    ('D5', 2), ('G4', 1), ('A4', 1), ('B4', 1), ('C5', 1),
    ('D5', 2), ('G4', 2), ('G4', 2),
    ('E5', 2), ('C5', 1), ('D5', 1), ('E5', 1), ('F#5', 1),
    ('G5', 2), ('G4', 2), ('G4', 2),
    ('C5', 2), ('D5', 1), ('C5', 1), ('B4', 1), ('A4', 1),
    ('B4', 2), ('C5', 1), ('B4', 1), ('A4', 1), ('G4', 1),
    ('A4', 2), ('B4', 1), ('A4', 1), ('G4', 1), ('F#4', 1),
    ('G4', 6),
]

BASS = [
    ('G3', 4), ('A3', 2),
    ('B3', 6),
    ('C4', 6),
    ('B3', 6),
    ('A3', 6),
    ('G3', 6),
    ('D4', 2), ('B3', 2), ('G3', 2),
    ('D4', 2), ('D3', 2), ('C4', 2),
    ('B3', 4), ('A3', 2),
    ('B3', 6),
    ('C4', 6),
    ('B3', 6),
    ('A3', 6),
    ('G3', 6),
    ('C4', 2), ('D4', 2), ('D3', 2),
    ('G3', 6),
]

HARPSICHORD = 6  # General MIDI program 7, counted from 0


def vlq(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))


def voice_events(notes, channel, velocity):
    events, tick = [], 0
    for name, eighths in notes:
        length = eighths * EIGHTH
        p = pitch(name)
        events.append((tick, 1, bytes((0x90 | channel, p, velocity))))
        # Release a little early so that repeated notes are heard as two.
        events.append((tick + length - 20, 0, bytes((0x80 | channel, p, 0x40))))
        tick += length
    return events, tick


def midi_bytes():
    melody, end_melody = voice_events(MELODY, 0, 96)
    bass, end_bass = voice_events(BASS, 1, 72)
    if end_melody != end_bass:
        raise SystemExit('make_samples: the two voices differ in length (%d, %d ticks)'
                         % (end_melody, end_bass))
    setup = [
        (0, -1, b'\xFF\x03' + vlq(len(b'Menuet')) + b'Menuet'),         # track name
        (0, -1, b'\xFF\x58\x04\x03\x02\x18\x08'),                          # 3/4
        (0, -1, b'\xFF\x59\x02\x01\x00'),                                  # G major
        (0, -1, b'\xFF\x51\x03' + (500000).to_bytes(3, 'big')),           # 120 quarters a minute
        (0, -1, bytes((0xC0, HARPSICHORD))),
        (0, -1, bytes((0xC1, HARPSICHORD))),
    ]
    # At equal times, note-offs (order 0) come before note-ons (order 1).
    events = sorted(setup + melody + bass, key=lambda e: (e[0], e[1]))
    track, now = bytearray(), 0
    for tick, _, data in events:
        track += vlq(tick - now) + data
        now = tick
    track += vlq(DIVISION) + b'\xFF\x2F\x00'  # a quarter of silence, then end of track
    header = b'MThd' + struct.pack('>IHHH', 6, 0, 1, DIVISION)
    return header + b'MTrk' + struct.pack('>I', len(track)) + bytes(track)


def read_vlq(data, pos, end):
    value = 0
    for _ in range(4):
        if pos >= end:
            raise ValueError('variable-length number runs past the track')
        byte = data[pos]
        pos += 1
        value = (value << 7) | (byte & 0x7F)
        if not byte & 0x80:
            return value, pos
    raise ValueError('variable-length number longer than 4 bytes')


def check_midi(data):
    """Parses the file back; returns a list of faults and the number of notes."""
    fault = []
    if data[:4] != b'MThd':
        return ['no MThd chunk'], 0
    length, fmt, tracks, division = struct.unpack_from('>IHHH', data, 4)
    if length != 6 or fmt not in (0, 1) or tracks != 1 or division & 0x8000:
        fault.append('header %r' % ((length, fmt, tracks, division),))
    pos = 8 + length
    if data[pos:pos + 4] != b'MTrk':
        return fault + ['no MTrk chunk after the header'], 0
    (track_length,) = struct.unpack_from('>I', data, pos + 4)
    start, end = pos + 8, pos + 8 + track_length
    if end != len(data):
        fault.append('track length %d, %d bytes follow the track header'
                     % (track_length, len(data) - start))
        end = min(end, len(data))
    sounding, notes, status, ended = {}, 0, None, False
    pos = start
    try:
        while pos < end:
            if ended:
                raise ValueError('events after the end-of-track event')
            _, pos = read_vlq(data, pos, end)
            if data[pos] & 0x80:
                status = data[pos]
                pos += 1
            elif status is None or status >= 0xF0:
                raise ValueError('running status without a status byte')
            if status == 0xFF:
                kind = data[pos]
                size, pos = read_vlq(data, pos + 1, end)
                if kind == 0x2F:
                    if size != 0:
                        raise ValueError('end-of-track event with data')
                    ended = True
                pos += size
                status = None
            elif status in (0xF0, 0xF7):
                size, pos = read_vlq(data, pos, end)
                pos += size
                status = None
            else:
                kind, channel = status & 0xF0, status & 0x0F
                size = 1 if kind in (0xC0, 0xD0) else 2
                args = data[pos:pos + size]
                pos += size
                if kind == 0x90 and args[1] > 0:
                    key = (channel, args[0])
                    if sounding.get(key):
                        raise ValueError('note %d started twice' % args[0])
                    sounding[key] = True
                    notes += 1
                elif kind == 0x80 or (kind == 0x90 and args[1] == 0):
                    key = (channel, args[0])
                    if not sounding.get(key):
                        raise ValueError('note %d released without being started' % args[0])
                    sounding[key] = False
    except (ValueError, IndexError) as e:
        fault.append(str(e))
    if pos != end:
        fault.append('last event ends at %d, track ends at %d' % (pos, end))
    if not ended:
        fault.append('no end-of-track event')
    if any(sounding.values()):
        fault.append('notes still sounding at the end')
    return fault, notes


# ---------------------------------------------------------------------------------------------


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    folder = argv[1] if len(argv) > 1 else os.path.join(here, '..', 'archiver', 'data')
    folder = os.path.normpath(folder)
    os.makedirs(folder, exist_ok=True)

    bmp = bmp_bytes(draw_forest())
    midi = midi_bytes()
    outputs = (('FORET.BMP', bmp), ('BACH.MID', midi))
    for name, data in outputs:
        with open(os.path.join(folder, name), 'wb') as f:
            f.write(data)

    faults = []
    with open(os.path.join(folder, 'FORET.BMP'), 'rb') as f:
        faults += ['FORET.BMP: ' + x for x in check_bmp(f.read(), WIDTH, HEIGHT)]
    with open(os.path.join(folder, 'BACH.MID'), 'rb') as f:
        midi_faults, notes = check_midi(f.read())
    faults += ['BACH.MID: ' + x for x in midi_faults]
    expected_notes = len(MELODY) + len(BASS)
    if notes != expected_notes:
        faults.append('BACH.MID: %d notes read back, %d written' % (notes, expected_notes))
    if faults:
        for x in faults:
            print('make_samples: ' + x, file=sys.stderr)
        return 1
    print('FORET.BMP: %d x %d, 24 bits, %d bytes' % (WIDTH, HEIGHT, len(bmp)))
    print('BACH.MID: format 0, 1 track, %d notes, %d bytes' % (notes, len(midi)))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
