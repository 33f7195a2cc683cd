"""Held-out evaluation of the demo model through Orvello's own engine.

The held-out utterances are written as 16-bit WAV files; orvello-transcribe
(the engine with ONNX Runtime) transcribes them, and the word error rate of
the sentences and the exact-match rate of the command phrases are computed
from its output.
"""

import csv
import os
import random
import resource
import subprocess
import time
import wave

import numpy as np

from demo_data import held_out_requests, render_all
from demo_model import SAMPLE_RATE

COMMAND_PASS_RENDERINGS = 9  # of HELD_OUT_COMMAND_RENDERINGS


def write_wav(path, samples):
    pcm = np.clip(np.round(samples.numpy() * 32767.0), -32768, 32767).astype("<i2")
    with wave.open(path, "wb") as file:
        file.setnchannels(1)
        file.setsampwidth(2)
        file.setframerate(SAMPLE_RATE)
        file.writeframes(pcm.tobytes())


def load_or_build_held_out(sections, directory, seed):
    """Rows of (kind, text, voice, wav path); the held-out sentence texts."""
    index_path = os.path.join(directory, "held-out.tsv")
    requests, sentences = held_out_requests(sections, random.Random(seed))
    if not os.path.exists(index_path):
        os.makedirs(directory, exist_ok=True)
        paths = [os.path.join(directory, f"{i:04d}.wav") for i in range(len(requests))]
        durations = render_all([r[1:] for r in requests], seed, lambda x: x)
        for path, samples in zip(paths, durations):
            write_wav(path, samples)
        with open(index_path, "w", encoding="utf-8", newline="") as file:
            writer = csv.writer(file, delimiter="\t")
            for (kind, text, voice, _), path in zip(requests, paths):
                writer.writerow([kind, text, voice, path])
    with open(index_path, encoding="utf-8", newline="") as file:
        rows = [tuple(row) for row in csv.reader(file, delimiter="\t")]
    return rows, sentences


def edit_distance(reference, hypothesis):
    previous = list(range(len(hypothesis) + 1))
    for i, r in enumerate(reference, 1):
        current = [i]
        for j, h in enumerate(hypothesis, 1):
            current.append(min(previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (r != h)))
        previous = current
    return previous[-1]


def audio_seconds(path):
    with wave.open(path) as file:
        return file.getnframes() / file.getframerate()


def transcribe(transcriber, model_directory, paths, files_per_run=100):
    """Texts from orvello-transcribe, and the CPU and wall seconds it used.
    A few files per run: ONNX Runtime's start-up overflows the stack of a
    process with a very long command line."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.monotonic()
    texts = []
    for first in range(0, len(paths), files_per_run):
        batch = paths[first:first + files_per_run]
        result = subprocess.run([transcriber, "--model", model_directory] + batch,
                                capture_output=True, text=True, encoding="utf-8")
        if result.returncode != 0:
            raise RuntimeError(f"{transcriber} failed ({result.returncode}): {result.stderr}")
        texts += result.stdout.split("\n")[:len(batch)]
    wall = time.monotonic() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return texts, cpu, wall


def report(rows, texts):
    """Prints the figures; returns (word error rate, commands passed, commands)."""
    errors = words = 0
    per_command = {}
    for (kind, reference, voice, path), text in zip(rows, texts):
        if kind == "sentence":
            errors += edit_distance(reference.split(), text.split())
            words += len(reference.split())
        else:
            per_command.setdefault(reference, []).append(text.strip() == reference)
    word_error_rate = errors / max(1, words)
    passed = [c for c, hits in per_command.items() if sum(hits) >= COMMAND_PASS_RENDERINGS]
    exact = sum(sum(hits) for hits in per_command.values())
    renderings = sum(len(hits) for hits in per_command.values())
    sentence_count = sum(1 for row in rows if row[0] == "sentence")
    print(f"held-out sentences: word error rate {100 * word_error_rate:.1f} % "
          f"({errors} errors in {words} words, {sentence_count} utterances)")
    print(f"command phrases: {len(passed)} of {len(per_command)} recognised exactly in at least "
          f"{COMMAND_PASS_RENDERINGS} of {len(next(iter(per_command.values())))} held-out "
          f"renderings ({exact} of {renderings} renderings exact)")
    for command, hits in per_command.items():
        if command not in passed:
            print(f"  failed: \"{command}\" {sum(hits)} of {len(hits)}")
    return word_error_rate, len(passed), len(per_command)


def evaluate(transcriber, model_directory, rows):
    paths = [row[3] for row in rows]
    texts, cpu, wall = transcribe(transcriber, model_directory, paths)
    seconds = sum(audio_seconds(p) for p in paths)
    result = report(rows, texts)
    print(f"speed: {seconds:.0f} s of audio in {cpu:.1f} s of CPU time "
          f"({seconds / max(cpu, 1e-6):.0f}x real time per core; {wall:.1f} s wall)")
    return result, texts
