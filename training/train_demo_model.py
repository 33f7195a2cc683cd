#!/usr/bin/python3
"""Trains Orvello's demo speech model from synthesized speech and writes it
as a model directory; run through training/train-demo-model.

Steps: held-out evaluation audio, training audio (both cached in the work
folder), training, ONNX export, then the held-out figures measured through
Orvello's engine (orvello-transcribe) and a check that the engine and torch
decode the same texts.
"""

import argparse
import os
import random
import sys
import time
import wave

sys.dont_write_bytecode = True  # keep the source tree free of __pycache__
import numpy as np  # noqa: E402
import torch  # noqa: E402

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from demo_evaluate import evaluate, load_or_build_held_out  # noqa: E402
from demo_export import write_model_directory  # noqa: E402
from demo_model import Pieces, Preprocessor, Transducer, read_vocabulary_file  # noqa: E402
from demo_training import load_or_build_training_set, log, train  # noqa: E402

SEED = 20240611
HELD_OUT_SEED = 7
EPOCHS = 12


def parse_arguments():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--work", required=True, help="folder for audio caches and checkpoints")
    parser.add_argument("--out", required=True, help="model directory to write")
    parser.add_argument("--transcriber", required=True, help="path of orvello-transcribe")
    parser.add_argument("--vocabulary", default=os.path.join(here, "vocabulary.txt"))
    parser.add_argument("--epochs", type=int, default=EPOCHS)
    parser.add_argument("--minutes", type=float, default=45.0,
                        help="training time budget; the schedule shortens to fit")
    parser.add_argument("--evaluate-only", action="store_true",
                        help="evaluate the model last trained in the work folder")
    return parser.parse_args()


def read_wav(path):
    with wave.open(path) as file:
        pcm = np.frombuffer(file.readframes(file.getnframes()), dtype="<i2")
    return torch.from_numpy(pcm.astype(np.float32) / 32768.0)


def torch_agreement(model, pieces, rows, engine_texts):
    """How many held-out utterances torch decodes to the engine's text."""
    preprocessor = Preprocessor().eval()
    same = 0
    with torch.no_grad():
        for row, engine_text in zip(rows, engine_texts):
            samples = read_wav(row[3])
            features, _ = preprocessor(samples.unsqueeze(0), torch.tensor([samples.shape[0]]))
            same += pieces.decode(model.greedy_decode(features)) == engine_text.strip()
    print(f"torch and the engine decode the same text for {same} of {len(rows)} utterances")


def main():
    arguments = parse_arguments()
    started = time.monotonic()
    torch.set_num_threads(2)
    torch.set_flush_denormal(True)
    random.seed(SEED)
    torch.manual_seed(SEED)
    os.makedirs(arguments.work, exist_ok=True)

    sections = read_vocabulary_file(arguments.vocabulary)
    pieces = Pieces(sections)
    log(f"vocabulary: {len(pieces)} pieces, {len(sections['commands'])} command phrases")
    torch.set_num_threads(1)  # the two synthesis threads featurise in parallel
    rows, held_out_sentences = load_or_build_held_out(
        sections, os.path.join(arguments.work, "held-out"), HELD_OUT_SEED)
    log(f"held-out set: {len(rows)} utterances")
    checkpoint = os.path.join(arguments.work, "model.pt")
    if arguments.evaluate_only:
        model = Transducer(len(pieces), pieces.blank_id)
        model.load_state_dict(torch.load(checkpoint))
    else:
        data = load_or_build_training_set(os.path.join(arguments.work, "training-set.pt"),
                                          sections, pieces, held_out_sentences, SEED)
        torch.set_num_threads(2)
        audio_hours = sum(f.shape[1] for f, _, _ in data) / 100 / 3600
        log(f"training set: {len(data)} utterances, {audio_hours:.1f} hours")
        model = train(data, pieces, SEED, arguments.epochs, arguments.minutes * 60)
        del data
        torch.save(model.state_dict(), checkpoint)
        write_model_directory(model, pieces, arguments.out)
    model.eval()
    torch.set_num_threads(2)
    size = sum(os.path.getsize(os.path.join(arguments.out, f)) for f in os.listdir(arguments.out))
    log(f"model in {arguments.out}: {size / 1e6:.1f} MB")

    _, engine_texts = evaluate(arguments.transcriber, arguments.out, rows)
    torch_agreement(model, pieces, rows, engine_texts)
    log(f"done in {(time.monotonic() - started) / 60:.1f} minutes")


if __name__ == "__main__":
    main()
