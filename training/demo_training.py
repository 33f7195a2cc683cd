"""Training data preparation and the training loop of the demo model."""

import math
import os
import random
import time

import torch

from demo_data import training_requests
from demo_speech import render_with_labels
from demo_model import Preprocessor, Transducer, subsampled_length

FRAME_LOSS_WEIGHT = 5.0  # high, so that the encoder learns the words first
PEAK_LEARNING_RATE = 3e-3
FINAL_LEARNING_RATE = 5e-5
WARMUP_STEPS = 300
WEIGHT_DECAY = 1e-4
FRAMES_PER_BATCH = 9000  # feature frames (10 ms) in one batch, padding included
MAX_BATCH = 64
CLIP_NORM = 5.0


def log(message):
    print(time.strftime("%H:%M:%S"), message, flush=True)


# ---------------------------------------------------------------------- data


@torch.no_grad()
def features_of(preprocessor, samples):
    features, _ = preprocessor(samples.unsqueeze(0), torch.tensor([samples.shape[0]]))
    return features[0].to(torch.float16)  # [128, Tf]; half precision keeps memory low


def make_featuriser():
    preprocessor = Preprocessor().eval()
    return lambda samples: features_of(preprocessor, samples)


def build_training_set(sections, pieces, held_out_sentences, seed, chunk=2000):
    """Synthesizes, augments and featurises every training utterance. Returns
    a list of (features fp16 [128, Tf], token ids, frame labels int16 [Tf] or
    None)."""
    requests = training_requests(sections, random.Random(seed), held_out_sentences)
    data = []
    for start in range(0, len(requests), chunk):
        batch = requests[start:start + chunk]
        ids = [pieces.encode(text) for text, _, _ in batch]
        rendered = render_with_labels(batch, ids, seed + start, make_featuriser)
        for token_ids, (features, labels) in zip(ids, rendered):
            data.append((torch.from_numpy(features), torch.tensor(token_ids, dtype=torch.long),
                         None if labels is None else torch.from_numpy(labels)))
        log(f"prepared {len(data)} of {len(requests)} training utterances")
    unlabelled = sum(1 for _, _, labels in data if labels is None)
    log(f"{unlabelled} utterances without word timings")
    return data


def load_or_build_training_set(cache_path, *args, **kwargs):
    if os.path.exists(cache_path):
        log(f"training set from {cache_path}")
        return torch.load(cache_path)
    data = build_training_set(*args, **kwargs)
    torch.save(data, cache_path)
    return data


def make_batches(data, rng):
    """Index lists of utterances of similar length, in random order."""
    order = sorted(range(len(data)), key=lambda i: (data[i][0].shape[1], rng.random()))
    batches, current, longest = [], [], 0
    for index in order:
        frames = data[index][0].shape[1]
        if current and (max(longest, frames) * (len(current) + 1) > FRAMES_PER_BATCH
                        or len(current) >= MAX_BATCH):
            batches.append(current)
            current, longest = [], 0
        current.append(index)
        longest = max(longest, frames)
    if current:
        batches.append(current)
    rng.shuffle(batches)
    return batches


def spec_augment(features, lengths, rng):
    """Two frequency masks and a few short time masks per utterance."""
    for b in range(features.shape[0]):
        for _ in range(2):
            width = rng.randint(0, 12)
            start = rng.randint(0, features.shape[1] - width)
            features[b, start:start + width, :] = 0
        frames = int(lengths[b])
        for _ in range(max(1, frames // 150)):
            width = rng.randint(0, min(8, frames // 10))
            start = rng.randint(0, max(0, frames - width))
            features[b, :, start:start + width] = 0
    return features


def encoder_frames(feature_frames):
    for _ in range(3):
        feature_frames = subsampled_length(feature_frames)
    return feature_frames


def collate(data, indices, blank_id):
    """Padded features, their lengths, padded targets, target lengths, and the
    word label of each encoder frame (encoder frame t is centred on feature
    frame 8t)."""
    lengths = torch.tensor([data[i][0].shape[1] for i in indices])
    target_lengths = torch.tensor([len(data[i][1]) for i in indices])
    features = torch.zeros(len(indices), data[indices[0]][0].shape[0], int(lengths.max()))
    targets = torch.full((len(indices), int(target_lengths.max())), blank_id, dtype=torch.long)
    frame_counts = encoder_frames(lengths)
    frame_targets = torch.full((len(indices), int(frame_counts.max())), -100, dtype=torch.long)
    for row, i in enumerate(indices):
        features[row, :, :lengths[row]] = data[i][0].float()
        targets[row, :target_lengths[row]] = data[i][1]
        labels = data[i][2]
        if labels is not None:
            picked = labels[::8][:frame_counts[row]].long()
            frame_targets[row, :picked.shape[0]] = torch.where(picked < 0, blank_id, picked)
    return features, lengths, targets, target_lengths, frame_targets


# ------------------------------------------------------------------ training


def learning_rate(progress, step):
    warm = min(1.0, (step + 1) / WARMUP_STEPS)
    cosine = 0.5 * (1 + math.cos(math.pi * min(1.0, progress)))
    return warm * (FINAL_LEARNING_RATE + (PEAK_LEARNING_RATE - FINAL_LEARNING_RATE) * cosine)


def train(data, pieces, seed, epochs, budget_seconds):
    """Trains for `epochs` passes, or less when the time budget runs out first:
    the learning rate follows the further advanced of the two clocks, so an
    overloaded machine gets a shorter but complete schedule."""
    torch.manual_seed(seed)
    rng = random.Random(seed)
    model = Transducer(len(pieces), pieces.blank_id)
    log(f"model: {sum(p.numel() for p in model.parameters()):,} parameters"
        f" ({sum(p.numel() for p in model.frame_output.parameters()):,} in the frame-wise"
        " head, not exported)")
    optimizer = torch.optim.AdamW(model.parameters(), lr=PEAK_LEARNING_RATE,
                                  weight_decay=WEIGHT_DECAY)
    batches_per_epoch = len(make_batches(data, random.Random(0)))
    total_steps = epochs * batches_per_epoch
    start, step = time.monotonic(), 0
    model.train()
    for epoch in range(epochs):
        sums = [0.0, 0.0, 0]
        for indices in make_batches(data, rng):
            progress = max(step / total_steps, (time.monotonic() - start) / budget_seconds)
            if progress >= 1.0:
                break
            for group in optimizer.param_groups:
                group["lr"] = learning_rate(progress, step)
            features, lengths, targets, target_lengths, frame_targets = collate(
                data, indices, pieces.blank_id)
            if epoch > 0:
                features = spec_augment(features, lengths, rng)
            rnnt, frames = model.loss(features, lengths, targets, target_lengths, frame_targets)
            optimizer.zero_grad()
            (rnnt + FRAME_LOSS_WEIGHT * frames).backward()
            torch.nn.utils.clip_grad_norm_(model.parameters(), CLIP_NORM)
            optimizer.step()
            sums[0] += float(rnnt)
            sums[1] += float(frames)
            sums[2] += 1
            step += 1
            if step % 100 == 0:
                log(f"epoch {epoch + 1} step {step}/{total_steps} rnnt {sums[0] / sums[2]:.3f}"
                    f" frames {sums[1] / sums[2]:.3f} lr {learning_rate(progress, step):.2e}")
                sums = [0.0, 0.0, 0]
        else:
            continue
        log("time budget reached")
        break
    model.eval()
    log(f"trained {step} steps in {(time.monotonic() - start) / 60:.1f} minutes")
    return model
