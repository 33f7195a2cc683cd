#!/usr/bin/python3
"""Writes a speech model with the real Parakeet TDT 0.6B networks' sizes and cost.

Usage: /usr/bin/python3 parakeet_sized_model.py OUTDIR

The weights are random (fixed seed), so what it transcribes is meaningless;
what it costs is what the real model costs: the same files, tensor names and
shapes, a 128-bin log-mel preprocessor, an encoder of three stride-2
convolutions and 24 conformer blocks of width 1024 whose linear layers run on
int8 weights, and the prediction and joint networks of the real sizes. About
627 M parameters, an encoder file of about 610 MB. The directory is written
under a temporary name and renamed when complete, so a half-written one is
never taken for a model. Needs Debian's python3-onnx and python3-numpy; the
weights are made one layer at a time, so about 3 GB of memory suffice.
"""

import os
import shutil
import sys
import time

import numpy as np
from onnx import TensorProto

sys.dont_write_bytecode = True  # keep the source tree free of __pycache__
import make_test_models  # noqa: E402
import realistic_model  # noqa: E402
from graph_builder import GraphBuilder, decoder_joint_interface, tensor  # noqa: E402
from quantized_linear import QuantizedLinear, dequantized, quantize_symmetric  # noqa: E402

SEED = 20261210

# Preprocessor: 25 ms Hann windows every 10 ms, 512-point FFT, 128 mel bands.
SAMPLE_RATE_HZ = 16000
FFT_SIZE = 512
WINDOW_SAMPLES = 400
HOP_SAMPLES = 160
MEL_BINS = 128
PREEMPHASIS = 0.97
LOG_GUARD = 2.0 ** -24
NORM_EPSILON = 1e-5

# Encoder.
SUBSAMPLING_CHANNELS = 256
SUBSAMPLED_BINS = MEL_BINS // 8  # three stride-2 convolutions
MODEL_WIDTH = 1024
LAYER_COUNT = 24
HEAD_COUNT = 8
HEAD_WIDTH = MODEL_WIDTH // HEAD_COUNT
FEED_FORWARD_WIDTH = 4096
CONV_KERNEL = 9
# Each module's output layer adds this much to the residual stream: random layers at full gain
# average every frame into the same vector by the last block, so the joint would see one frame
# all along and decode one way only; at 0.1 the frames stay about as different as they enter.
MODULE_GAIN = 0.1

# Prediction and joint networks.
VOCAB_SIZE = realistic_model.VOCAB_SIZE  # 8193, "<blk>" last
BLANK_ID = realistic_model.BLANK_ID
PRED_HIDDEN = realistic_model.PRED_HIDDEN  # 640
STATE_LAYERS = realistic_model.STATE_LAYERS
JOINT_HIDDEN = 640
DURATION_BIAS = realistic_model.DURATION_BIAS  # durations 0..4 frames
SCORE_COUNT = VOCAB_SIZE + len(DURATION_BIAS)  # 8198
BLANK_SHARE = realistic_model.BLANK_SHARE


def normal(rng, shape, scale):
    return realistic_model.normal(rng, shape, scale)


def layer_rng(index):
    """Each layer draws from a generator of its own, so layers can be made one at a time."""
    return np.random.default_rng([SEED, index])


# ------------------------------------------------------------ preprocessor


def hz_to_mel(hz):
    """Slaney's mel scale: linear below 1 kHz, logarithmic above."""
    hz = np.asarray(hz, np.float64)
    linear = hz / (200.0 / 3)
    return np.where(hz >= 1000.0, 15.0 + np.log(np.maximum(hz, 1e-9) / 1000.0) / (np.log(6.4) / 27),
                    linear)


def mel_to_hz(mel):
    mel = np.asarray(mel, np.float64)
    return np.where(mel >= 15.0, 1000.0 * np.exp((np.log(6.4) / 27) * (mel - 15.0)),
                    mel * (200.0 / 3))


def mel_filterbank():
    """[257, 128] triangular filters of equal area (Slaney normalisation)."""
    bin_hz = np.linspace(0, SAMPLE_RATE_HZ / 2, FFT_SIZE // 2 + 1)
    edges_hz = mel_to_hz(np.linspace(hz_to_mel(0.0), hz_to_mel(SAMPLE_RATE_HZ / 2), MEL_BINS + 2))
    widths = np.diff(edges_hz)
    ramps = edges_hz[:, None] - bin_hz[None, :]
    rising = -ramps[:-2] / widths[:-1, None]
    falling = ramps[2:] / widths[1:, None]
    filters = np.maximum(0, np.minimum(rising, falling))
    filters *= (2.0 / (edges_hz[2:] - edges_hz[:-2]))[:, None]
    return filters.T.astype(np.float32)


def fft_window():
    """A symmetric 400-sample Hann window centred in the 512-sample frame."""
    hann = 0.5 - 0.5 * np.cos(2 * np.pi * np.arange(WINDOW_SAMPLES) / (WINDOW_SAMPLES - 1))
    padding = (FFT_SIZE - WINDOW_SAMPLES) // 2
    return np.pad(hann, (padding, FFT_SIZE - WINDOW_SAMPLES - padding)).astype(np.float32)


def preemphasised(g, waveforms):
    first = g.op("Slice", [waveforms, g.int64s([0]), g.int64s([1]), g.int64s([1])])
    current = g.op("Slice", [waveforms, g.int64s([1]), g.int64s([2 ** 62]), g.int64s([1])])
    previous = g.op("Slice", [waveforms, g.int64s([0]), g.int64s([-1]), g.int64s([1])])
    rest = g.op("Sub", [current, g.op("Mul", [previous, g.float32(PREEMPHASIS)])])
    return g.op("Concat", [first, rest], axis=1)


def normalised_per_feature(g, values):
    """Mean 0 and standard deviation 1 (n - 1 denominator) per mel band over time (axis 1)."""
    centred = g.op("Sub", [values, g.op("ReduceMean", [values], axes=[1], keepdims=1)])
    frames = g.op("Cast", [g.op("Gather", [g.op("Shape", [values]), g.int64s(1)], axis=0)],
                  to=TensorProto.FLOAT)
    denominator = g.op("Max", [g.op("Sub", [frames, g.float32(1.0)]), g.float32(1.0)])
    squares = g.op("ReduceSum", [g.op("Mul", [centred, centred]), g.int64s([1])], keepdims=1)
    spread = g.op("Sqrt", [g.op("Div", [squares, denominator])])
    return g.op("Div", [centred, g.op("Add", [spread, g.float32(NORM_EPSILON)])])


def preprocessor_graph():
    g = GraphBuilder()
    padding = FFT_SIZE // 2  # frames centred on every 160th sample
    signal = g.op("Pad", [preemphasised(g, "waveforms"), g.int64s([0, padding, 0, padding])])
    spectrum = g.op("STFT", [g.op("Unsqueeze", [signal, g.int64s([2])]), g.int64s(HOP_SAMPLES),
                             g.weight("window", fft_window()), g.int64s(FFT_SIZE)], onesided=1)
    power = g.op("ReduceSumSquare", [spectrum], axes=[3], keepdims=0)
    mel = g.op("MatMul", [power, g.weight("mel_filterbank", mel_filterbank())])
    log_mel = g.op("Log", [g.op("Add", [mel, g.float32(LOG_GUARD)])])
    g.op("Transpose", [normalised_per_feature(g, log_mel)], "features", perm=[0, 2, 1])
    frames = g.op("Div", ["waveforms_lens", g.int64s([HOP_SAMPLES])])
    g.op("Add", [frames, g.int64s([1])], "features_lens")
    inputs = [tensor("waveforms", TensorProto.FLOAT, [1, "samples"]),
              tensor("waveforms_lens", TensorProto.INT64, [1])]
    outputs = [tensor("features", TensorProto.FLOAT, [1, MEL_BINS, "feature_frames"]),
               tensor("features_lens", TensorProto.INT64, [1])]
    return g.graph("parakeet_sized_preprocessor", inputs, outputs)


def reference_features(waveform):
    """[Tf, 128]: what nemo128.onnx computes, in numpy."""
    emphasised = np.concatenate([waveform[:1], waveform[1:] - PREEMPHASIS * waveform[:-1]])
    padded = np.pad(emphasised, FFT_SIZE // 2)
    frame_count = (len(padded) - FFT_SIZE) // HOP_SAMPLES + 1
    starts = np.arange(frame_count)[:, None] * HOP_SAMPLES
    frames = padded[starts + np.arange(FFT_SIZE)[None, :]] * fft_window()
    power = np.abs(np.fft.rfft(frames, axis=1)) ** 2
    log_mel = np.log(power @ mel_filterbank() + LOG_GUARD)
    centred = log_mel - log_mel.mean(axis=0)
    spread = np.sqrt((centred ** 2).sum(axis=0) / max(frame_count - 1, 1))
    return (centred / (spread + NORM_EPSILON)).astype(np.float32)


# ----------------------------------------------------------------- encoder


def swish(g, values):
    return g.op("Mul", [values, g.op("Sigmoid", [values])])


class EncoderWriter:
    """Builds the encoder graph layer by layer; weights live only while their layer is written.
    Each layer also runs in numpy on calibration features (EncoderMirror), on the weights as
    the int8 network sees them, so that the joint can be tuned on real encoder frames."""

    def __init__(self, calibration_features):
        self.mirror = EncoderMirror(calibration_features)
        self.drawn = self.mirror.weights
        self.g = GraphBuilder()
        self.net = QuantizedLinear(self.g)
        self.ones = self.g.weight("norm_scale", np.ones(MODEL_WIDTH))
        self.zeros = self.g.weight("norm_bias", np.zeros(MODEL_WIDTH))

    def norm(self, values):
        return self.g.op("LayerNormalization", [values, self.ones, self.zeros], axis=-1,
                         epsilon=NORM_EPSILON)

    def conv(self, values, name, weights, group=1, stride=1, padding=0):
        g = self.g
        kernel = list(weights.shape[2:])
        bias = np.zeros(weights.shape[0], np.float32)
        self.drawn[name + "_w"] = weights
        inputs = [values, self.net.weight(name + "_w", weights), self.net.weight(name + "_b", bias)]
        return g.op("Conv", inputs, group=group, kernel_shape=kernel,
                    strides=[stride] * len(kernel),
                    pads=[padding] * (2 * len(kernel)))

    def dense(self, values, name, rng, inputs, outputs, bias=True, gain=1.0):
        """A linear layer of random weights (variance gain² / inputs) on int8."""
        weights = normal(rng, (inputs, outputs), gain * inputs ** -0.5)
        biases = normal(rng, (outputs,), 0.02) if bias else None
        self.drawn[name + "_w"] = dequantized(*quantize_symmetric(weights))
        self.drawn[name + "_b"] = biases if bias else np.zeros(outputs, np.float32)
        return self.net.apply(values, name, weights, biases)

    def subsampling(self, rng):
        """[1, 128, Tf] features -> [1, T, 1024], T = Tf / 8 rounded up."""
        g, c = self.g, SUBSAMPLING_CHANNELS
        time_major = g.op("Transpose", ["audio_signal"], perm=[0, 2, 1])
        values = g.op("Unsqueeze", [time_major, g.int64s([1])])
        first = normal(rng, (c, 1, 3, 3), (2 / 9) ** 0.5)
        values = g.op("Relu", [self.conv(values, "sub_conv1", first, stride=2, padding=1)])
        for index in (2, 3):
            depthwise = normal(rng, (c, 1, 3, 3), (2 / 9) ** 0.5)
            values = self.conv(values, f"sub_dw{index}", depthwise, group=c, stride=2, padding=1)
            pointwise = normal(rng, (c, c, 1, 1), (2 / c) ** 0.5)
            values = g.op("Relu", [self.conv(values, f"sub_pw{index}", pointwise)])
        values = g.op("Reshape", [g.op("Transpose", [values], perm=[0, 2, 1, 3]),
                                  g.int64s([0, 0, c * SUBSAMPLED_BINS])])
        return self.dense(values, "sub_out", rng, c * SUBSAMPLED_BINS, MODEL_WIDTH)

    def positions(self, frame_count):
        """Sinusoidal embeddings of the relative positions T-1 ... -(T-1): [1, 2T-1, 1024]."""
        g = self.g
        count = g.op("Cast", [g.op("Squeeze", [frame_count, g.int64s([0])])], to=TensorProto.FLOAT)
        offsets = g.op("Range", [g.op("Sub", [count, g.float32(1.0)]), g.op("Neg", [count]),
                                 g.float32(-1.0)])
        rates = 10000.0 ** (-np.arange(0, MODEL_WIDTH, 2, dtype=np.float64) / MODEL_WIDTH)
        angles = g.op("Mul", [g.op("Unsqueeze", [offsets, g.int64s([1])]),
                              g.weight("position_rates", rates)])
        pairs = [g.op("Unsqueeze", [g.op(f, [angles]), g.int64s([2])]) for f in ("Sin", "Cos")]
        return g.op("Reshape", [g.op("Concat", pairs, axis=2), g.int64s([1, -1, MODEL_WIDTH])])

    def feed_forward(self, values, name, rng):
        """Half-step module: values + 0.5 * FF(norm(values))."""
        g, w, f = self.g, MODEL_WIDTH, FEED_FORWARD_WIDTH
        hidden = self.dense(self.norm(values), name + "_up", rng, w, f)
        hidden = self.dense(swish(g, hidden), name + "_down", rng, f, w, gain=MODULE_GAIN)
        return g.op("Add", [values, g.op("Mul", [hidden, g.float32(0.5)])])

    def heads(self, values, frame_axis_last=False):
        """[1, T, 1024] -> [1, 8, T, 128], or [1, 8, 128, T]."""
        g = self.g
        split = g.op("Reshape", [values, g.int64s([1, -1, HEAD_COUNT, HEAD_WIDTH])])
        return g.op("Transpose", [split], perm=[0, 2, 3, 1] if frame_axis_last else [0, 2, 1, 3])

    def relative_shift(self, scores, frame_count):
        """[1, 8, T, 2T-1] scores by relative position -> [1, 8, T, T] by key frame."""
        g = self.g
        padded = g.op("Pad", [scores, g.int64s([0, 0, 0, 1, 0, 0, 0, 0])])
        tall_shape = g.op("Concat", [g.int64s([1, HEAD_COUNT, -1]), frame_count], axis=0)
        tall = g.op("Reshape", [padded, tall_shape])
        tall = g.op("Slice", [tall, g.int64s([1]), g.int64s([2 ** 62]), g.int64s([2])])
        wide_shape = g.op("Concat", [g.int64s([1, HEAD_COUNT]), frame_count, g.int64s([-1])],
                          axis=0)
        wide = g.op("Reshape", [tall, wide_shape])
        return g.op("Slice", [wide, g.int64s([0]), frame_count, g.int64s([3])])

    def attention(self, values, positions, frame_count, name, rng):
        """Multi-head self-attention with relative positions (content and position biases)."""
        g, net, w = self.g, self.net, MODEL_WIDTH
        normed = self.norm(values)
        qkv = self.dense(normed, name + "_qkv", rng, w, 3 * w)
        query, key, value = g.ops("Split", [qkv, g.int64s([w, w, w])],
                                  [f"{name}_{part}_{g.unique()}" for part in "qkv"], axis=-1)
        query = self.heads(query)
        position_keys = self.dense(positions, name + "_pos", rng, w, w, bias=False)
        bias_shape = (HEAD_COUNT, 1, HEAD_WIDTH)
        self.drawn[name + "_bias_u"] = normal(rng, bias_shape, 0.02)
        self.drawn[name + "_bias_v"] = normal(rng, bias_shape, 0.02)
        content_bias = net.weight(name + "_bias_u", self.drawn[name + "_bias_u"])
        position_bias = net.weight(name + "_bias_v", self.drawn[name + "_bias_v"])
        by_content = g.op("MatMul", [g.op("Add", [query, content_bias]),
                                     self.heads(key, frame_axis_last=True)])
        by_position = g.op("MatMul", [g.op("Add", [query, position_bias]),
                                      self.heads(position_keys, frame_axis_last=True)])
        scores = g.op("Add", [by_content, self.relative_shift(by_position, frame_count)])
        weights = g.op("Softmax", [g.op("Mul", [scores, g.float32(HEAD_WIDTH ** -0.5)])], axis=-1)
        context = g.op("MatMul", [weights, self.heads(value)])
        context = g.op("Reshape", [g.op("Transpose", [context], perm=[0, 2, 1, 3]),
                                   g.int64s([0, 0, w])])
        out = self.dense(context, name + "_out", rng, w, w, gain=MODULE_GAIN)
        return g.op("Add", [values, out])

    def convolution(self, values, name, rng):
        """Pointwise to two halves, gated, depthwise over time, swish, pointwise back."""
        g, w = self.g, MODEL_WIDTH
        doubled = self.dense(self.norm(values), name + "_pw1", rng, w, 2 * w)
        halves = [f"{name}_{part}_{g.unique()}" for part in ("content", "gate")]
        content, gate = g.ops("Split", [doubled, g.int64s([w, w])], halves, axis=-1)
        gated = g.op("Transpose", [g.op("Mul", [content, g.op("Sigmoid", [gate])])], perm=[0, 2, 1])
        depthwise = normal(rng, (w, 1, CONV_KERNEL), CONV_KERNEL ** -0.5)
        mixed = self.conv(gated, name + "_dw", depthwise, group=w, padding=CONV_KERNEL // 2)
        mixed = g.op("Transpose", [swish(g, mixed)], perm=[0, 2, 1])
        out = self.dense(mixed, name + "_pw2", rng, w, w, gain=MODULE_GAIN)
        return g.op("Add", [values, out])

    def conformer_block(self, values, positions, frame_count, index):
        rng = layer_rng(index + 1)
        name = f"layer{index}"
        values = self.feed_forward(values, name + "_ff1", rng)
        values = self.attention(values, positions, frame_count, name + "_att", rng)
        values = self.convolution(values, name + "_conv", rng)
        values = self.feed_forward(values, name + "_ff2", rng)
        return self.norm(values)

    def encoded_lengths(self):
        """Each stride-2 convolution (kernel 3, padding 1) keeps floor((n - 1) / 2) + 1 frames."""
        g = self.g
        length = g.op("Cast", ["length"], to=TensorProto.FLOAT)
        for _ in range(3):
            less_one = g.op("Sub", [length, g.float32(1.0)])
            halved = g.op("Floor", [g.op("Mul", [less_one, g.float32(0.5)])])
            length = g.op("Add", [halved, g.float32(1.0)])
        g.op("Cast", [length], "encoded_lengths", to=TensorProto.INT64)

    def graph(self):
        g = self.g
        values = self.subsampling(layer_rng(0))
        self.mirror.subsampling()
        frame_count = g.op("Slice", [g.op("Shape", [values]), g.int64s([1]), g.int64s([2])])
        positions = self.positions(frame_count)
        for index in range(LAYER_COUNT):
            values = self.conformer_block(values, positions, frame_count, index)
            self.mirror.conformer_block(f"layer{index}")
        g.op("Transpose", [values], "outputs", perm=[0, 2, 1])
        self.encoded_lengths()
        inputs = [tensor("audio_signal", TensorProto.FLOAT, [1, MEL_BINS, "feature_frames"]),
                  tensor("length", TensorProto.INT64, [1])]
        outputs = [tensor("outputs", TensorProto.FLOAT, [1, MODEL_WIDTH, "frames"]),
                   tensor("encoded_lengths", TensorProto.INT64, [1])]
        return g.graph("parakeet_sized_encoder", inputs, outputs)


class EncoderMirror:
    """What the encoder graph computes, in numpy, one part at a time on the weights the writer
    drew (same names; dense weights as int8 values times their scale). The activations are not
    quantized here, so the frames differ a little from the ONNX network's."""

    def __init__(self, features):
        self.values = features  # [Tf, 128], then [T, 1024]
        self.weights = {}

    def subsampling(self):
        w = self.weights
        values = stride2_conv(self.values[None], w["sub_conv1_w"], depthwise=False)
        values = np.maximum(values, 0)
        for index in (2, 3):
            values = stride2_conv(values, w[f"sub_dw{index}_w"], depthwise=True)
            pointwise = w[f"sub_pw{index}_w"][:, :, 0, 0]
            values = np.maximum(np.einsum("oc,ctf->otf", pointwise, values), 0)
        flat = values.transpose(1, 0, 2).reshape(values.shape[1], -1)
        self.values = self.dense(flat, "sub_out")
        self.weights.clear()

    def conformer_block(self, name):
        values = self.feed_forward(self.values, name + "_ff1")
        values = self.attention(values, name + "_att")
        values = self.convolution(values, name + "_conv")
        values = self.feed_forward(values, name + "_ff2")
        self.values = realistic_model.layer_norm(values)
        self.weights.clear()

    def dense(self, values, name):
        return values @ self.weights[name + "_w"] + self.weights[name + "_b"]

    def feed_forward(self, values, name):
        hidden = self.dense(realistic_model.layer_norm(values), name + "_up")
        hidden = self.dense(hidden * realistic_model.sigmoid(hidden), name + "_down")
        return values + 0.5 * hidden

    def attention(self, values, name):
        frames = len(values)
        qkv = self.dense(realistic_model.layer_norm(values), name + "_qkv")
        query, key, value = (heads(part) for part in np.split(qkv, 3, axis=1))
        position_keys = heads(self.dense(reference_positions(frames), name + "_pos"))
        by_content = (query + self.weights[name + "_bias_u"]) @ key.transpose(0, 2, 1)
        by_position = (query + self.weights[name + "_bias_v"]) @ position_keys.transpose(0, 2, 1)
        scores = (by_content + relative_shift(by_position)) * HEAD_WIDTH ** -0.5
        weights = np.exp(scores - scores.max(axis=-1, keepdims=True))
        weights /= weights.sum(axis=-1, keepdims=True)
        context = (weights @ value).transpose(1, 0, 2).reshape(frames, MODEL_WIDTH)
        return values + self.dense(context, name + "_out")

    def convolution(self, values, name):
        doubled = self.dense(realistic_model.layer_norm(values), name + "_pw1")
        content, gate = np.split(doubled, 2, axis=1)
        padding = ((CONV_KERNEL // 2,) * 2, (0, 0))
        gated = np.pad(content * realistic_model.sigmoid(gate), padding)
        kernel = self.weights[name + "_dw_w"][:, 0, :]  # [1024, 9]
        mixed = sum(gated[k:k + len(values)] * kernel[:, k] for k in range(CONV_KERNEL))
        return values + self.dense(mixed * realistic_model.sigmoid(mixed), name + "_pw2")


def stride2_conv(values, weights, depthwise):
    """3x3 convolution, stride 2, padding 1, no bias: [C, T, F] -> [C', T', F']."""
    padded = np.pad(values, ((0, 0), (1, 1), (1, 1)))
    out_t, out_f = (values.shape[1] - 1) // 2 + 1, (values.shape[2] - 1) // 2 + 1
    total = 0
    for i in range(3):
        for j in range(3):
            window = padded[:, i:i + 2 * out_t - 1:2, j:j + 2 * out_f - 1:2]
            taps = weights[:, 0, i, j][:, None, None]
            total = total + taps * (window if depthwise else window[0])
    return total


def heads(values):
    """[T, 1024] -> [8, T, 128]."""
    return values.reshape(len(values), HEAD_COUNT, HEAD_WIDTH).transpose(1, 0, 2)


def reference_positions(frames):
    offsets = np.arange(frames - 1, -frames, -1, dtype=np.float32)
    rates = (10000.0 ** (-np.arange(0, MODEL_WIDTH, 2, dtype=np.float64) / MODEL_WIDTH))
    angles = offsets[:, None] * rates.astype(np.float32)
    return np.stack([np.sin(angles), np.cos(angles)], axis=2).reshape(-1, MODEL_WIDTH)


def relative_shift(scores):
    """[8, T, 2T-1] -> [8, T, T], as the graph does it."""
    count, frames, _ = scores.shape
    padded = np.pad(scores, ((0, 0), (0, 0), (1, 0)))
    tall = padded.reshape(count, -1, frames)[:, 1:]
    return tall.reshape(count, frames, -1)[:, :, :frames]


# ----------------------------------------------------------- decoder-joint


def decoder_joint_weights():
    """Float weights; the joint's linear layers as the int8 network will see them."""
    rng = layer_rng(LAYER_COUNT + 1)
    weights = {
        "embedding": normal(rng, (VOCAB_SIZE, PRED_HIDDEN), 1.0),
        "lstm": [realistic_model.lstm_weights(rng) for _ in range(STATE_LAYERS)],
        "joint_encoder_w": normal(rng, (MODEL_WIDTH, JOINT_HIDDEN), MODEL_WIDTH ** -0.5),
        "joint_encoder_b": normal(rng, (JOINT_HIDDEN,), 0.1),
        "joint_pred_w": normal(rng, (PRED_HIDDEN, JOINT_HIDDEN), 2.0 * PRED_HIDDEN ** -0.5),
        "joint_pred_b": normal(rng, (JOINT_HIDDEN,), 0.1),
        "joint_out_w": normal(rng, (JOINT_HIDDEN, SCORE_COUNT), (2.0 / JOINT_HIDDEN) ** 0.5),
        "joint_out_b": np.zeros(SCORE_COUNT, np.float32),
    }
    for name in ("joint_encoder_w", "joint_pred_w", "joint_out_w"):
        weights[name] = dequantized(*quantize_symmetric(weights[name]))
    weights["joint_out_b"][VOCAB_SIZE:] = DURATION_BIAS
    return weights


def calibrate_blank_bias(weights, frames):
    """Blank bias such that blank beats the best other token in BLANK_SHARE of the
    (frame, prediction) pairs, for the encoder frames of the calibration waveform
    and the predictions along a random token sequence."""
    rng = np.random.default_rng([SEED, 1000])
    state_h = np.zeros((STATE_LAYERS, PRED_HIDDEN), np.float32)
    state_c = np.zeros_like(state_h)
    margins = []
    for token in rng.integers(0, VOCAB_SIZE - 1, 48):
        prediction, state_h, state_c = realistic_model.reference_predict(weights, token, state_h,
                                                                         state_c)
        scores = realistic_model.reference_joint(weights, frames, prediction)[:, :VOCAB_SIZE]
        best_other = np.delete(scores, BLANK_ID, axis=1).max(axis=1)
        margins.append(best_other - scores[:, BLANK_ID])
    return np.float32(np.quantile(np.concatenate(margins), BLANK_SHARE))


def prediction_network(g, net, weights):
    """Embedding of the previous token, then one ONNX LSTM per layer (state 1 = h, state 2 = c)."""
    token = g.op("Cast", ["targets"], to=TensorProto.INT64)
    token = g.op("Clip", [token, g.int64s(0), g.int64s(VOCAB_SIZE - 1)])
    values = g.op("Gather", [net.weight("embedding", weights["embedding"]), token], axis=0)
    hiddens, cells = [], []
    for index, layer in enumerate(weights["lstm"]):
        bounds = [g.int64s([index]), g.int64s([index + 1]), g.int64s([0])]
        names = [net.weight(f"lstm{index}_{part}", layer[part]) for part in ("W", "R", "B")]
        outs = [f"lstm{index}_{part}" for part in ("y", "h", "c")]
        g.ops("LSTM", [values] + names + ["", g.op("Slice", ["input_states_1"] + bounds),
                                          g.op("Slice", ["input_states_2"] + bounds)],
              outs, hidden_size=PRED_HIDDEN)
        values = g.op("Squeeze", [outs[0], g.int64s([1])])  # drop the direction axis
        hiddens.append(outs[1])
        cells.append(outs[2])
    return values, hiddens, cells


def decoder_joint_graph(weights):
    g = GraphBuilder()
    net = QuantizedLinear(g)
    prediction, hiddens, cells = prediction_network(g, net, weights)
    g.op("Concat", hiddens, "output_states_1", axis=0)
    g.op("Concat", cells, "output_states_2", axis=0)
    frame = g.op("Reshape", ["encoder_outputs", g.int64s([1, MODEL_WIDTH])])
    prediction = g.op("Reshape", [prediction, g.int64s([1, PRED_HIDDEN])])
    def joint_linear(values, name):
        return net.apply(values, name, weights[name + "_w"], weights[name + "_b"])

    hidden = g.op("Add", [joint_linear(frame, "joint_encoder"),
                          joint_linear(prediction, "joint_pred")])
    scores = joint_linear(g.op("Relu", [hidden]), "joint_out")
    g.op("Reshape", [scores, g.int64s([1, 1, 1, SCORE_COUNT])], "outputs")
    g.op("Identity", ["target_length"], "prednet_lengths")
    inputs, outputs = decoder_joint_interface(MODEL_WIDTH, STATE_LAYERS, PRED_HIDDEN,
                                              SCORE_COUNT)
    return g.graph("parakeet_sized_decoder_joint", inputs, outputs), net.parameter_count


# -------------------------------------------------------------- directory


def size_figures(partial, encoder_parameters, decoder_parameters):
    """Lines "figure: what | - | measured | reference" about the model's size."""
    encoder_bytes = os.path.getsize(os.path.join(partial, make_test_models.INT8_NAMES[0]))
    total = encoder_parameters + decoder_parameters
    return (f"figure: parameters | - | {total / 1e6:.1f} M (encoder "
            f"{encoder_parameters / 1e6:.1f} M, decoder-joint {decoder_parameters / 1e6:.1f} M) | "
            "the real model: about 627 M\n"
            f"figure: encoder file size | - | {encoder_bytes / 1e6:.0f} MB | "
            "the real int8 export: about 613 MB\n")


def write_model(out_directory):
    """Writes the model and figures.txt (its size) into OUTDIR.partial, then renames it OUTDIR."""
    partial = out_directory.rstrip("/") + ".partial"
    shutil.rmtree(partial, ignore_errors=True)
    encoder_name, decoder_joint_name = make_test_models.INT8_NAMES
    os.makedirs(partial)
    encoder_writer = EncoderWriter(reference_features(realistic_model.calibration_waveform()))
    encoder = make_test_models.make_model(encoder_writer.graph())
    encoder_parameters = encoder_writer.net.parameter_count
    calibration_frames = encoder_writer.mirror.values
    del encoder_writer
    make_test_models.check_and_save(encoder, os.path.join(partial, encoder_name))
    del encoder
    weights = decoder_joint_weights()
    weights["joint_out_b"][BLANK_ID] = calibrate_blank_bias(weights, calibration_frames)
    decoder_joint, decoder_parameters = decoder_joint_graph(weights)
    del weights
    make_test_models.write_model_directory(partial, realistic_model.vocab_lines(), {
        "nemo128.onnx": make_test_models.make_model(preprocessor_graph()),
        decoder_joint_name: make_test_models.make_model(decoder_joint)})
    del decoder_joint
    make_test_models.write_text(os.path.join(partial, "figures.txt"),
                                size_figures(partial, encoder_parameters, decoder_parameters))
    os.replace(partial, out_directory)


def main(argv):
    if len(argv) != 1:
        print(__doc__.split("\n\n")[1], file=sys.stderr)
        return 2
    started = time.monotonic()
    write_model(argv[0])
    print(f"Parakeet-sized model written to {argv[0]} in {time.monotonic() - started:.0f} s")
    with open(os.path.join(argv[0], "figures.txt"), encoding="utf-8") as figures:
        print(figures.read(), end="")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
