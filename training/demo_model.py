"""The demo speech model: log-mel preprocessor, encoder, prediction and joint
networks of a small transducer, and the word-piece vocabulary.

The three networks are exported to ONNX with the tensor names, element types
and layouts Orvello's engine feeds and reads, so the demo model drops in where
the Parakeet model would go.
"""

import math

import torch
import torch.nn.functional as F
import torchaudio
from torch import nn

SAMPLE_RATE = 16000
FFT_SIZE = 512
WINDOW_SAMPLES = 400  # 25 ms
HOP_SAMPLES = 160  # 10 ms
MEL_BINS = 128
PREEMPHASIS = 0.97
# Power floor before the logarithm: synthesized speech has long runs of exact
# zeros, whose log would otherwise dominate the per-feature normalisation.
POWER_FLOOR = 1e-5

WORD_BOUNDARY = "\u2581"
BLANK = "<blk>"
LETTERS = "abcdefghijklmnopqrstuvwxyz"


# ----------------------------------------------------------------- vocabulary


def read_vocabulary_file(path):
    """Section name -> list of entries, in file order."""
    sections = {}
    current = None
    with open(path, encoding="utf-8") as file:
        for raw in file:
            line = raw.split("#", 1)[0].strip()
            if not line:
                continue
            if line.startswith("[") and line.endswith("]"):
                current = sections.setdefault(line[1:-1], [])
            elif current is None:
                raise ValueError(f"{path}: entry before the first section: {line}")
            else:
                current.append(line.lower())
    return sections


class Pieces:
    """One piece per word of the vocabulary file, single letters as the
    fallback for other words, and the blank last (as in the Parakeet export)."""

    def __init__(self, sections):
        words = []
        for entries in sections.values():
            for entry in entries:
                words.extend(entry.split())
        words = sorted(set(words))
        pieces = [WORD_BOUNDARY + word for word in words]
        pieces += [WORD_BOUNDARY + letter for letter in LETTERS if WORD_BOUNDARY + letter not in pieces]
        pieces += list(LETTERS)
        pieces.append(BLANK)
        self.pieces = pieces
        self.ids = {piece: index for index, piece in enumerate(pieces)}
        self.blank_id = len(pieces) - 1

    def __len__(self):
        return len(self.pieces)

    def encode(self, text):
        ids = []
        for word in text.lower().split():
            piece = WORD_BOUNDARY + word
            if piece in self.ids:
                ids.append(self.ids[piece])
                continue
            letters = [letter for letter in word if letter in LETTERS]
            for position, letter in enumerate(letters):
                ids.append(self.ids[(WORD_BOUNDARY if position == 0 else "") + letter])
        return ids

    def decode(self, ids):
        text = "".join(self.pieces[i] for i in ids if i != self.blank_id)
        return " ".join(text.replace(WORD_BOUNDARY, " ").split())

    def vocab_lines(self):
        return [f"{piece} {index}" for index, piece in enumerate(self.pieces)]


# --------------------------------------------------------------- preprocessor


def fourier_kernels():
    """Windowed cosine and sine rows of the real DFT, as Conv1d weights, so the
    STFT exports as one convolution."""
    window = torch.hann_window(WINDOW_SAMPLES, periodic=False, dtype=torch.float64)
    left = (FFT_SIZE - WINDOW_SAMPLES) // 2
    padded = torch.zeros(FFT_SIZE, dtype=torch.float64)
    padded[left:left + WINDOW_SAMPLES] = window
    bins = FFT_SIZE // 2 + 1
    n = torch.arange(FFT_SIZE, dtype=torch.float64)
    k = torch.arange(bins, dtype=torch.float64).unsqueeze(1)
    angle = 2.0 * math.pi * k * n / FFT_SIZE
    kernels = torch.cat([torch.cos(angle) * padded, -torch.sin(angle) * padded])
    return kernels.unsqueeze(1).float()  # [2 * bins, 1, FFT_SIZE]


class Preprocessor(nn.Module):
    """waveforms [1, N] -> features [1, 128, N / 160 + 1]: pre-emphasis,
    25 ms Hann-windowed STFT every 10 ms, 128 mel bands, log, then mean 0 and
    variance 1 per band over the utterance."""

    def __init__(self):
        super().__init__()
        self.register_buffer("kernels", fourier_kernels())
        mel = torchaudio.functional.melscale_fbanks(
            FFT_SIZE // 2 + 1, 0.0, SAMPLE_RATE / 2, MEL_BINS, SAMPLE_RATE,
            norm="slaney", mel_scale="slaney")
        self.register_buffer("mel", mel.t().contiguous())  # [128, 257]

    def forward(self, waveforms, waveforms_lens):
        emphasised = torch.cat(
            [waveforms[:, :1], waveforms[:, 1:] - PREEMPHASIS * waveforms[:, :-1]], dim=1)
        padded = F.pad(emphasised.unsqueeze(1), (FFT_SIZE // 2, FFT_SIZE // 2))
        spectrum = F.conv1d(padded, self.kernels, stride=HOP_SAMPLES)
        real, imaginary = spectrum.chunk(2, dim=1)
        power = real * real + imaginary * imaginary
        log_mel = torch.log(torch.matmul(self.mel, power) + POWER_FLOOR)
        mean = log_mel.mean(dim=2, keepdim=True)
        centred = log_mel - mean
        deviation = torch.sqrt((centred * centred).mean(dim=2, keepdim=True))
        features = centred / (deviation + 1e-5)
        features_lens = torch.div(waveforms_lens, HOP_SAMPLES, rounding_mode="floor") + 1
        return features, features_lens


# -------------------------------------------------------------------- encoder


def subsampled_length(length):
    """Frames after one stride-2 convolution of kernel 5 and padding 2."""
    return torch.div(length - 1, 2, rounding_mode="floor") + 1


class Encoder(nn.Module):
    """Three stride-2 convolutions (80 ms frames), then a bidirectional LSTM."""

    def __init__(self, channels=192, hidden=128, layers=2, dropout=0.15):
        super().__init__()
        self.convs = nn.ModuleList([
            nn.Conv1d(MEL_BINS, channels, 5, stride=2, padding=2),
            nn.Conv1d(channels, channels, 5, stride=2, padding=2),
            nn.Conv1d(channels, channels, 5, stride=2, padding=2)])
        for conv in self.convs:
            nn.init.kaiming_normal_(conv.weight, nonlinearity="relu")
            nn.init.zeros_(conv.bias)
        # Without it the convolutions hand the LSTM a signal too faint to learn from.
        self.norm = nn.LayerNorm(channels)
        self.lstm = nn.LSTM(channels, hidden, num_layers=layers, bidirectional=True,
                            dropout=dropout, batch_first=True)
        # A direct path past the LSTM: frame-local cues are learnt at once,
        # instead of after the long plateau of an LSTM trained from scratch.
        self.skip = nn.Linear(channels, 2 * hidden)
        self.dropout = nn.Dropout(dropout)
        self.output_size = 2 * hidden

    def subsample(self, features, lengths):
        x = features
        for conv in self.convs:
            x = F.relu(conv(x))
            lengths = subsampled_length(lengths)
        return self.norm(x.transpose(1, 2)), lengths  # [B, T, C]

    def forward(self, features, lengths):
        """Training: padded batch -> [B, T, D] and lengths."""
        x, lengths = self.subsample(features, lengths)
        x = self.dropout(x)
        packed = nn.utils.rnn.pack_padded_sequence(x, lengths.cpu(), batch_first=True,
                                                   enforce_sorted=False)
        output, _ = self.lstm(packed)
        output, _ = nn.utils.rnn.pad_packed_sequence(output, batch_first=True,
                                                     total_length=x.shape[1])
        return self.dropout(output + self.skip(x)), lengths

    def forward_single(self, features, lengths):
        """Export: one utterance, every frame valid -> [1, T, D]."""
        x, lengths = self.subsample(features, lengths)
        output, _ = self.lstm(x)
        return output + self.skip(x), lengths


# ---------------------------------------------------- prediction and joint


class PredictionNetwork(nn.Module):
    def __init__(self, vocab_size, embedding=128, hidden=256, layers=1, dropout=0.15):
        super().__init__()
        self.embedding = nn.Embedding(vocab_size, embedding)
        self.lstm = nn.LSTM(embedding, hidden, num_layers=layers, batch_first=True)
        self.dropout = nn.Dropout(dropout)
        self.layers = layers
        self.hidden = hidden

    def forward(self, targets, state=None):
        output, state = self.lstm(self.dropout(self.embedding(targets)), state)
        return self.dropout(output), state


class Joint(nn.Module):
    def __init__(self, encoder_size, prediction_size, vocab_size, hidden=256):
        super().__init__()
        self.encoder_projection = nn.Linear(encoder_size, hidden)
        self.prediction_projection = nn.Linear(prediction_size, hidden)
        self.output = nn.Linear(hidden, vocab_size)

    def forward(self, encoded, predicted):
        """encoded [B, T, D], predicted [B, U + 1, P] -> logits [B, T, U + 1, V]."""
        e = self.encoder_projection(encoded).unsqueeze(2)
        p = self.prediction_projection(predicted).unsqueeze(1)
        return self.output(torch.tanh(e + p))


class Transducer(nn.Module):
    def __init__(self, vocab_size, blank_id):
        super().__init__()
        self.blank_id = blank_id
        self.encoder = Encoder()
        self.prediction = PredictionNetwork(vocab_size)
        self.joint = Joint(self.encoder.output_size, self.prediction.hidden, vocab_size)
        # Training aid only, not exported: the word (or blank) of each encoder frame.
        self.frame_output = nn.Linear(self.encoder.output_size, vocab_size)

    def loss(self, features, feature_lengths, targets, target_lengths, frame_targets):
        """Transducer loss and the frame-wise word loss; frame targets are
        word ids, the blank id for silence, or -100 where unknown."""
        encoded, lengths = self.encoder(features, feature_lengths)
        start = torch.full((targets.shape[0], 1), self.blank_id, dtype=torch.long)
        predicted, _ = self.prediction(torch.cat([start, targets], dim=1))
        logits = self.joint(encoded, predicted)
        rnnt = torchaudio.functional.rnnt_loss(
            logits, targets.int(), lengths.int(), target_lengths.int(),
            blank=self.blank_id, reduction="mean")
        frame_logits = self.frame_output(encoded[:, :frame_targets.shape[1]])
        if not bool((frame_targets != -100).any()):
            return rnnt, frame_logits.sum() * 0.0  # no timings in this batch
        frames = F.cross_entropy(frame_logits.reshape(-1, frame_logits.shape[-1]),
                                 frame_targets.reshape(-1), ignore_index=-100)
        return rnnt, frames

    @torch.no_grad()
    def greedy_decode(self, features, max_tokens_per_step=10):
        """The engine's loop for one utterance [1, 128, Tf], for quick checks."""
        lengths = torch.tensor([features.shape[2]])
        encoded, lengths = self.encoder.forward_single(features, lengths)
        tokens, state = [], None
        previous = self.blank_id
        predicted, next_state = self.prediction(torch.tensor([[previous]]), state)
        t = emitted = 0
        while t < int(lengths[0]):
            logits = self.joint(encoded[:, t:t + 1], predicted)[0, 0, 0]
            token = int(torch.argmax(logits))
            if token != self.blank_id:
                tokens.append(token)
                state = next_state
                predicted, next_state = self.prediction(torch.tensor([[token]]), state)
                emitted += 1
            if token == self.blank_id or emitted >= max_tokens_per_step:
                t += 1
                emitted = 0
        return tokens
