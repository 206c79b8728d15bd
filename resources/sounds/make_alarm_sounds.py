#!/usr/bin/env python3
"""Writes the five alarm sounds "Alarm1.wav" to "Alarm5.wav" into the given folder.

    make_alarm_sounds.py FOLDER

Each is one second of 16-bit mono PCM at 22050 Hz, synthesised here (the alarm
panel restarts a sound every second while it rings): from the most urgent to
the mildest,
  1  a two-tone siren (video lost or blocked, motion, emergencies)
  2  three fast high beeps (alarm inputs, space shortage)
  3  two middle beeps (storage faults)
  4  one falling chirp (devices on and offline, storage ready)
  5  one soft low chime (everything else)
"""

import math
import os
import struct
import sys
import wave

RATE = 22050
SECONDS = 1.0


def envelope(t, start, length, fade=0.01):
    """1 inside [start, start + length) with short fades, 0 outside."""
    if t < start or t >= start + length:
        return 0.0
    x = t - start
    return min(1.0, x / fade, (length - x) / fade)


def siren(t):
    f = 880 if int(t * 4) % 2 == 0 else 660
    return 0.6 * math.sin(2 * math.pi * f * t) * envelope(t, 0, SECONDS)


def beeps(count, freq, length, gap):
    def sound(t):
        level = sum(envelope(t, i * (length + gap), length) for i in range(count))
        return 0.55 * level * math.sin(2 * math.pi * freq * t)
    return sound


def chirp(t):
    length = 0.45
    f = 1200 - 600 * min(t, length) / length
    return 0.5 * envelope(t, 0, length) * math.sin(2 * math.pi * f * t)


def chime(t):
    decay = math.exp(-5 * t)
    return 0.45 * decay * envelope(t, 0, 0.8) * (math.sin(2 * math.pi * 523 * t) + 0.5 * math.sin(2 * math.pi * 784 * t)) / 1.5


SOUNDS = [siren, beeps(3, 1760, 0.12, 0.08), beeps(2, 1000, 0.2, 0.15), chirp, chime]


def write(path, sound):
    frames = bytearray()
    for i in range(int(RATE * SECONDS)):
        value = max(-1.0, min(1.0, sound(i / RATE)))
        frames += struct.pack("<h", int(value * 32767))
    tmp = path + ".tmp"
    with wave.open(tmp, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(bytes(frames))
    os.replace(tmp, path)


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for number, sound in enumerate(SOUNDS, start=1):
        write(os.path.join(folder, "Alarm%d.wav" % number), sound)


if __name__ == "__main__":
    main()
