#!/usr/bin/env python3
"""Rebuilds Resources/menublip.mp3: a short, soft two-note blip for the menus.

The tone is synthesised (a sine pair with a touch of second harmonic), shaped by a
raised-cosine attack and a decay that reaches exactly zero at both ends so the
speakers never click, and encoded with lame. Output is byte-for-byte repeatable.
"""
import math
import os
import struct
import subprocess
import sys
import tempfile
import wave

RATE = 44100
LENGTH = 0.12  # seconds; the menu plays it on every move, so keep it short
ATTACK = 0.006
PEAK = 0.45


def sample(t):
    # Two quick notes a fifth apart make it sound like a "blip" rather than a beep.
    # The phase runs on across the step so the waveform has no jump.
    step = LENGTH * 0.4
    if t < step:
        phase = 2 * math.pi * 880.0 * t
    else:
        phase = 2 * math.pi * (880.0 * step + 1320.0 * (t - step))
    tone = math.sin(phase) + 0.25 * math.sin(2 * phase)
    if t < ATTACK:
        env = 0.5 - 0.5 * math.cos(math.pi * t / ATTACK)
    else:
        # Exponential decay, multiplied by a half cosine that closes to 0 at the end.
        rest = (t - ATTACK) / (LENGTH - ATTACK)
        env = math.exp(-3.0 * rest) * math.cos(0.5 * math.pi * rest)
    return PEAK * env * tone / 1.25


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "Resources", "menublip.mp3")
    count = int(RATE * LENGTH)
    frames = b"".join(
        struct.pack("<h", int(round(32767 * sample(i / RATE)))) for i in range(count)
    )
    with tempfile.TemporaryDirectory() as tmp:
        wav_path = os.path.join(tmp, "blip.wav")
        with wave.open(wav_path, "wb") as wav:
            wav.setnchannels(1)
            wav.setsampwidth(2)
            wav.setframerate(RATE)
            wav.writeframes(frames)
        # No ID3 tag and a fixed bit rate keep the file small and repeatable.
        subprocess.run(
            ["lame", "--quiet", "-m", "m", "-b", "96", "-q", "2", "--noreplaygain",
             wav_path, out],
            check=True,
        )
    print(f"wrote {out}")


if __name__ == "__main__":
    main()
