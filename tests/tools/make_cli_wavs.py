#!/usr/bin/python3
"""Writes the WAV files the orvello-transcribe tests feed to the scripted-pcm
test model (tests/models/README.md describes how its input scripts the
decoder): OUTDIR/hello.wav says "hello world!", OUTDIR/nothing.wav says
nothing, OUTDIR/two-parts.wav says "hello world" in its first 30 s part and "!"
in its second, OUTDIR/empty-data.wav has no samples, OUTDIR/stereo.wav is a
format the tool must refuse, OUTDIR/huge-chunk.wav is damaged."""
import struct
import sys
import wave

TOKENS, DURATIONS, COUNTS = 6, 4, 4
ROW = TOKENS + DURATIONS
FRAME = COUNTS * TOKENS * ROW
HIGH = 16384  # 0.5 once read as s / 32768; any positive score wins over zeros
QUIET_MARK = 64  # still wins over zeros, and keeps the waveform nearly silent
HALF_QUIET_WINDOW = 800  # half the 100 ms window in which a long recording is cut
LOUD = 6000


def scripted_samples(frames, choices, reported_length=None, mark=HIGH):
    """choices: (frame, count, previous token, token, duration)."""
    samples = [reported_length if reported_length is not None else frames] + [0] * (frames * FRAME)
    for t, c, p, token, duration in choices:
        row = 1 + t * FRAME + (c * TOKENS + p) * ROW
        samples[row + token] = mark
        samples[row + TOKENS + duration] = mark
    return samples


def part(seconds, choices):
    """A part of a long recording: a nearly silent one-frame waveform that says its words, loud
    audio the model never reads, and silence at its end, so that the quietest 100 ms around
    its start is centred on it and a cut falls exactly there."""
    length = int(seconds * 16000)
    samples = scripted_samples(1, choices, mark=QUIET_MARK)
    samples += [0] * (HALF_QUIET_WINDOW - len(samples))
    samples += [LOUD if i % 2 == 0 else -LOUD for i in range(length - 2 * HALF_QUIET_WINDOW)]
    return samples + [0] * HALF_QUIET_WINDOW


def write(path, samples, channels=1, rate=16000):
    with wave.open(path, "wb") as w:
        w.setnchannels(channels)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(struct.pack(f"<{len(samples)}h", *samples))


def main(out):
    hello, world, bang = 1, 2, 4
    write(f"{out}/hello.wav", scripted_samples(2, [(0, 0, 0, hello, 0), (0, 1, hello, world, 1),
                                                  (1, 2, world, bang, 1)]))
    write(f"{out}/nothing.wav", scripted_samples(1, [], reported_length=0))
    # Joined at the cut without a space before the "!".
    write(f"{out}/two-parts.wav", part(29, [(0, 0, 0, hello, 0), (0, 1, hello, world, 1)]) +
          part(8, [(0, 0, 0, bang, 1)]))
    write(f"{out}/empty-data.wav", [])
    write(f"{out}/stereo.wav", [0] * 4410 * 2, channels=2, rate=44100)
    write_chunk_claiming_4_gib(f"{out}/huge-chunk.wav")


def write_chunk_claiming_4_gib(path):
    """A damaged file: before fmt and data, a LIST chunk whose size (0xFFFFFFF8) would
    wrap a 32-bit chunk walk round to the same chunk."""
    fmt = struct.pack("<4sIHHIIHH", b"fmt ", 16, 1, 1, 16000, 32000, 2, 16)
    data = struct.pack("<4sI", b"data", 4) + b"\0" * 4
    body = b"WAVE" + struct.pack("<4sI", b"LIST", 0xFFFFFFF8) + fmt + data
    with open(path, "wb") as f:
        f.write(struct.pack("<4sI", b"RIFF", len(body)) + body)


if __name__ == "__main__":
    main(sys.argv[1])
