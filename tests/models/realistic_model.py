"""A benchmark model with the real export's tensor sizes and random weights.

The networks cost about what the real ones cost per step (same decoder-joint
sizes, a lighter encoder); what they transcribe is meaningless. The blank
score's bias is tuned on a synthetic waveform so that greedy decoding emits a
mix of blanks and tokens instead of only one or the other. The numpy functions
mirror the ONNX graphs, so a check can recompute any step by hand.
"""

import numpy as np
from onnx import TensorProto

from graph_builder import GraphBuilder, decoder_joint_interface, tensor

SEED = 20240611

SAMPLE_RATE_HZ = 16000
HOP_SAMPLES = 160  # 10 ms per feature frame
FEATURE_SIZE = 128
SUBSAMPLING = 8  # feature frames per encoder frame, 80 ms
ENCODER_SIZE = SUBSAMPLING * FEATURE_SIZE  # 1024
LOG_FLOOR = 1e-3
NORM_EPSILON = 1e-5

VOCAB_SIZE = 8193
BLANK_ID = VOCAB_SIZE - 1
EMBEDDING_ROWS = VOCAB_SIZE + 1
PRED_HIDDEN = 640
JOINT_HIDDEN = 640
STATE_LAYERS = 2
DURATION_COUNT = 5
SCORE_COUNT = VOCAB_SIZE + DURATION_COUNT  # 8198

# Share of calibration steps in which blank should win.
BLANK_SHARE = 0.75
# Durations 0..4 frames: 1 and 2 win most steps, 0 and 3 some, 4 almost never.
DURATION_BIAS = np.array([0.0, 1.2, 0.8, -0.3, -1.0], np.float32)
DURATION_WEIGHT_SCALE = 1.0


# ------------------------------------------------------------------ weights


def normal(rng, shape, scale):
    return rng.standard_normal(shape, dtype=np.float32) * np.float32(scale)


def lstm_weights(rng):
    """ONNX LSTM layout: gates i, o, f, c stacked; bias = input bias + recurrent bias."""
    gates = 4 * PRED_HIDDEN
    bias = np.zeros((1, 2 * gates), np.float32)
    bias[0, 2 * PRED_HIDDEN:3 * PRED_HIDDEN] = 1.0  # forget gate leans open
    return {"W": normal(rng, (1, gates, PRED_HIDDEN), PRED_HIDDEN ** -0.5),
            "R": normal(rng, (1, gates, PRED_HIDDEN), PRED_HIDDEN ** -0.5),
            "B": bias}


def make_weights():
    """All weights except the blank bias, which calibrate_blank_bias sets."""
    rng = np.random.default_rng(SEED)
    weights = {
        "filterbank": normal(rng, (HOP_SAMPLES, FEATURE_SIZE), HOP_SAMPLES ** -0.5),
        "encoder_w1": normal(rng, (ENCODER_SIZE, ENCODER_SIZE), (2.0 / ENCODER_SIZE) ** 0.5),
        "encoder_b1": normal(rng, (ENCODER_SIZE,), 0.1),
        "encoder_w2": normal(rng, (ENCODER_SIZE, ENCODER_SIZE), (2.0 / ENCODER_SIZE) ** 0.5),
        "encoder_b2": normal(rng, (ENCODER_SIZE,), 0.1),
        "embedding": normal(rng, (EMBEDDING_ROWS, PRED_HIDDEN), 1.0),
        "lstm": [lstm_weights(rng) for _ in range(STATE_LAYERS)],
        "joint_encoder_w": normal(rng, (ENCODER_SIZE, JOINT_HIDDEN), ENCODER_SIZE ** -0.5),
        "joint_encoder_b": normal(rng, (JOINT_HIDDEN,), 0.1),
        "joint_pred_w": normal(rng, (PRED_HIDDEN, JOINT_HIDDEN), 2.0 * PRED_HIDDEN ** -0.5),
        "joint_pred_b": normal(rng, (JOINT_HIDDEN,), 0.1),
        "joint_out_w": normal(rng, (JOINT_HIDDEN, SCORE_COUNT), (2.0 / JOINT_HIDDEN) ** 0.5),
        "joint_out_b": np.zeros(SCORE_COUNT, np.float32),
    }
    weights["joint_out_w"][:, VOCAB_SIZE:] *= DURATION_WEIGHT_SCALE
    weights["joint_out_b"][VOCAB_SIZE:] = DURATION_BIAS
    return weights


# ------------------------------------------------------- numpy reference


def reference_features(weights, waveform):
    """[Tf, 128] log filter energies, normalised per feature over time."""
    frame_count = len(waveform) // HOP_SAMPLES
    frames = waveform[:frame_count * HOP_SAMPLES].reshape(frame_count, HOP_SAMPLES)
    energies = np.log(np.abs(frames @ weights["filterbank"]) + np.float32(LOG_FLOOR))
    centred = energies - energies.mean(axis=0, keepdims=True)
    return centred / np.sqrt((centred ** 2).mean(axis=0, keepdims=True) + np.float32(NORM_EPSILON))


def layer_norm(values):
    centred = values - values.mean(axis=-1, keepdims=True)
    return centred / np.sqrt((centred ** 2).mean(axis=-1, keepdims=True) + np.float32(NORM_EPSILON))


def reference_encoder(weights, features):
    """[T, 1024] encoder frames from [Tf, 128] features."""
    frame_count = len(features) // SUBSAMPLING
    stacked = features[:frame_count * SUBSAMPLING].reshape(frame_count, ENCODER_SIZE)
    hidden = np.maximum(stacked @ weights["encoder_w1"] + weights["encoder_b1"], 0)
    hidden = np.maximum(hidden @ weights["encoder_w2"] + weights["encoder_b2"], 0)
    return layer_norm(hidden)


def sigmoid(values):
    return 1.0 / (1.0 + np.exp(-values))


def reference_lstm_step(layer, inputs, hidden, cell):
    gates = inputs @ layer["W"][0].T + hidden @ layer["R"][0].T
    gates = gates + layer["B"][0, :4 * PRED_HIDDEN] + layer["B"][0, 4 * PRED_HIDDEN:]
    in_gate, out_gate, forget_gate, candidate = np.split(gates, 4)
    cell = sigmoid(forget_gate) * cell + sigmoid(in_gate) * np.tanh(candidate)
    return sigmoid(out_gate) * np.tanh(cell), cell


def reference_predict(weights, token, states_1, states_2):
    """Prediction output [640] and new states, each [2, 640]."""
    values = weights["embedding"][np.clip(token, 0, EMBEDDING_ROWS - 1)]
    hiddens, cells = [], []
    for layer_index, layer in enumerate(weights["lstm"]):
        values, cell = reference_lstm_step(layer, values, states_1[layer_index], states_2[layer_index])
        hiddens.append(values)
        cells.append(cell)
    return values, np.stack(hiddens), np.stack(cells)


def reference_joint(weights, frame, prediction):
    """Scores [8198]: 8193 token scores, then 5 duration scores."""
    hidden = frame @ weights["joint_encoder_w"] + weights["joint_encoder_b"]
    hidden = hidden + prediction @ weights["joint_pred_w"] + weights["joint_pred_b"]
    return np.maximum(hidden, 0) @ weights["joint_out_w"] + weights["joint_out_b"]


# ------------------------------------------------------------ calibration


def calibration_waveform(seconds=6.0):
    """Silence, noise bursts and gliding tones, so features vary over time."""
    rng = np.random.default_rng(SEED + 1)
    times_s = np.arange(int(seconds * SAMPLE_RATE_HZ)) / SAMPLE_RATE_HZ
    pitch_hz = 150 + 100 * np.sin(2 * np.pi * 0.7 * times_s)
    voiced = 0.2 * np.sin(2 * np.pi * np.cumsum(pitch_hz) / SAMPLE_RATE_HZ)
    envelope = np.clip(np.sin(2 * np.pi * 0.9 * times_s), 0, None)
    noise = 0.05 * rng.standard_normal(times_s.size) * (np.sin(2 * np.pi * 0.4 * times_s) > 0.3)
    return ((voiced * envelope + noise) + 1e-4 * rng.standard_normal(times_s.size)).astype(np.float32)


def calibrate_blank_bias(weights):
    """Blank bias such that blank beats the best other token in BLANK_SHARE of
    (frame, previous token) pairs drawn from the calibration waveform."""
    frames = reference_encoder(weights, reference_features(weights, calibration_waveform()))
    rng = np.random.default_rng(SEED + 2)
    zeros = np.zeros((STATE_LAYERS, PRED_HIDDEN), np.float32)
    margins = []
    for token in rng.integers(0, VOCAB_SIZE, 8):
        prediction, _, _ = reference_predict(weights, token, zeros, zeros)
        token_scores = np.stack([reference_joint(weights, frame, prediction) for frame in frames])
        token_scores = token_scores[:, :VOCAB_SIZE]
        best_other = np.delete(token_scores, BLANK_ID, axis=1).max(axis=1)
        margins.append(best_other - token_scores[:, BLANK_ID])
    return np.float32(np.quantile(np.concatenate(margins), BLANK_SHARE))


def calibrated_weights():
    weights = make_weights()
    weights["joint_out_b"][BLANK_ID] = calibrate_blank_bias(weights)
    return weights


# ---------------------------------------------------------------- graphs


def preprocessor_graph(weights):
    g = GraphBuilder()
    sample_count = g.op("Gather", [g.op("Shape", ["waveforms"]), g.int64s(1)], axis=0)
    frame_count = g.op("Unsqueeze", [g.op("Div", [sample_count, g.int64s(HOP_SAMPLES)]),
                                     g.int64s([0])])
    used = g.op("Mul", [frame_count, g.int64s([HOP_SAMPLES])])
    samples = g.op("Slice", ["waveforms", g.int64s([0]), used, g.int64s([1])])
    shape = g.op("Concat", [g.int64s([1]), frame_count, g.int64s([HOP_SAMPLES])], axis=0)
    frames = g.op("Reshape", [samples, shape])
    energies = g.op("MatMul", [frames, g.weight("filterbank", weights["filterbank"])])
    log_energies = g.op("Log", [g.op("Add", [g.op("Abs", [energies]), g.float32(LOG_FLOOR)])])
    normalised = normalise_over_time(g, log_energies)
    g.op("Transpose", [normalised], "features", perm=[0, 2, 1])
    g.op("Identity", [frame_count], "features_lens")
    inputs = [tensor("waveforms", TensorProto.FLOAT, [1, "samples"]),
              tensor("waveforms_lens", TensorProto.INT64, [1])]
    outputs = [tensor("features", TensorProto.FLOAT, [1, FEATURE_SIZE, "feature_frames"]),
               tensor("features_lens", TensorProto.INT64, [1])]
    return g.graph("realistic_preprocessor", inputs, outputs)


def normalise_over_time(g, values):
    """Per-feature mean 0 and variance 1 over the time axis (axis 1)."""
    centred = g.op("Sub", [values, g.op("ReduceMean", [values], axes=[1], keepdims=1)])
    variance = g.op("ReduceMean", [g.op("Mul", [centred, centred])], axes=[1], keepdims=1)
    spread = g.op("Sqrt", [g.op("Add", [variance, g.float32(NORM_EPSILON)])])
    return g.op("Div", [centred, spread])


def encoder_graph(weights):
    g = GraphBuilder()
    time_major = g.op("Transpose", ["audio_signal"], perm=[0, 2, 1])
    feature_frames = g.op("Gather", [g.op("Shape", [time_major]), g.int64s([1])], axis=0)
    frame_count = g.op("Div", [feature_frames, g.int64s([SUBSAMPLING])])
    used = g.op("Mul", [frame_count, g.int64s([SUBSAMPLING])])
    kept = g.op("Slice", [time_major, g.int64s([0]), used, g.int64s([1])])
    shape = g.op("Concat", [g.int64s([1]), frame_count, g.int64s([ENCODER_SIZE])], axis=0)
    hidden = g.op("Reshape", [kept, shape])
    for layer in ("1", "2"):
        hidden = g.op("MatMul", [hidden, g.weight("encoder_w" + layer, weights["encoder_w" + layer])])
        hidden = g.op("Add", [hidden, g.weight("encoder_b" + layer, weights["encoder_b" + layer])])
        hidden = g.op("Relu", [hidden])
    normed = g.op("LayerNormalization", [hidden, g.weight("norm_scale", np.ones(ENCODER_SIZE)),
                                         g.weight("norm_bias", np.zeros(ENCODER_SIZE))],
                  axis=-1, epsilon=NORM_EPSILON)
    g.op("Transpose", [normed], "outputs", perm=[0, 2, 1])
    g.op("Div", ["length", g.int64s([SUBSAMPLING])], "encoded_lengths")
    inputs = [tensor("audio_signal", TensorProto.FLOAT, [1, FEATURE_SIZE, "feature_frames"]),
              tensor("length", TensorProto.INT64, [1])]
    outputs = [tensor("outputs", TensorProto.FLOAT, [1, ENCODER_SIZE, "frames"]),
               tensor("encoded_lengths", TensorProto.INT64, [1])]
    return g.graph("realistic_encoder", inputs, outputs)


def prediction_network(g, weights):
    """Embedding then one ONNX LSTM per layer; returns (output, h list, c list)."""
    token = g.op("Cast", ["targets"], to=TensorProto.INT64)
    token = g.op("Clip", [token, g.int64s(0), g.int64s(EMBEDDING_ROWS - 1)])
    values = g.op("Gather", [g.weight("embedding", weights["embedding"]), token], axis=0)
    hiddens, cells = [], []
    for index, layer in enumerate(weights["lstm"]):
        bounds = [g.int64s([index]), g.int64s([index + 1]), g.int64s([0])]
        start_h = g.op("Slice", ["input_states_1"] + bounds)
        start_c = g.op("Slice", ["input_states_2"] + bounds)
        names = [f"lstm{index}_{part}" for part in ("W", "R", "B")]
        for name, part in zip(names, ("W", "R", "B")):
            g.weight(name, layer[part])
        outs = [f"lstm{index}_y", f"lstm{index}_h", f"lstm{index}_c"]
        g.ops("LSTM", [values] + names + ["", start_h, start_c], outs, hidden_size=PRED_HIDDEN)
        values = g.op("Squeeze", [outs[0], g.int64s([1])])  # drop the direction axis
        hiddens.append(outs[1])
        cells.append(outs[2])
    return values, hiddens, cells


def linear(g, values, name, weights):
    product = g.op("MatMul", [values, g.weight(name + "_w", weights[name + "_w"])])
    return g.op("Add", [product, g.weight(name + "_b", weights[name + "_b"])])


def decoder_joint_graph(weights):
    g = GraphBuilder()
    prediction, hiddens, cells = prediction_network(g, weights)
    g.op("Concat", hiddens, "output_states_1", axis=0)
    g.op("Concat", cells, "output_states_2", axis=0)
    frame = g.op("Reshape", ["encoder_outputs", g.int64s([1, ENCODER_SIZE])])
    prediction = g.op("Reshape", [prediction, g.int64s([1, PRED_HIDDEN])])
    hidden = g.op("Add", [linear(g, frame, "joint_encoder", weights),
                          linear(g, prediction, "joint_pred", weights)])
    scores = linear(g, g.op("Relu", [hidden]), "joint_out", weights)
    g.op("Reshape", [scores, g.int64s([1, 1, 1, SCORE_COUNT])], "outputs")
    g.op("Identity", ["target_length"], "prednet_lengths")
    inputs, outputs = decoder_joint_interface(ENCODER_SIZE, STATE_LAYERS, PRED_HIDDEN,
                                              SCORE_COUNT)
    return g.graph("realistic_decoder_joint", inputs, outputs)


def build_graphs(network_names):
    """network_names: (encoder file, decoder-joint file) -> file name -> graph."""
    weights = calibrated_weights()
    encoder_name, decoder_joint_name = network_names
    return {"nemo128.onnx": preprocessor_graph(weights),
            encoder_name: encoder_graph(weights),
            decoder_joint_name: decoder_joint_graph(weights)}


# ------------------------------------------------------------ vocabulary


def piece_text(token_id):
    """Synthetic pieces: word starts (▁w12), letter pairs and a few marks."""
    letters = "abcdefghijklmnopqrstuvwxyz"
    marks = [",", ".", "?", "!", "'", "-"]
    if token_id < len(marks):
        return marks[token_id]
    if token_id % 3 == 0:
        return f"\u2581w{token_id}"
    pair = letters[token_id // 26 % 26] + letters[token_id % 26]
    return pair if token_id % 3 == 1 else "\u2581" + pair


def vocab_lines():
    lines = [f"{piece_text(token_id)} {token_id}" for token_id in range(BLANK_ID)]
    return lines + [f"<blk> {BLANK_ID}"]
