#!/usr/bin/python3
"""Writes the small ONNX speech models the engine tests run.

Usage: /usr/bin/python3 make_test_models.py OUTDIR [--no-realistic]

Each model directory under OUTDIR holds what the engine loads: config.json,
vocab.txt, nemo128.onnx and an encoder and decoder-joint network. The
"scripted" networks let a test dictate every decoder-joint score through the
waveform it sends; the variants break one expectation each; "realistic" has
the real export's sizes and random weights, for timing. The output is the same
on every run. tests/models/README.md describes the layouts.
"""

import argparse
import json
import os
import sys

import onnx
from onnx import TensorProto, helper

sys.dont_write_bytecode = True  # keep the source tree free of __pycache__
import realistic_model  # noqa: E402
from graph_builder import GraphBuilder, tensor  # noqa: E402

OPSET_VERSION = 17
IR_VERSION = 8
PRODUCER_NAME = "orvello-test-models"

# Scripted model sizes: every decoder-joint step picks one row of the frame.
VOCAB_SIZE = 6
DURATION_COUNT = 4
COUNT_CLASSES = 4
STATE_LAYERS = 2
STATE_HIDDEN = 3
ROW_WIDTH = VOCAB_SIZE + DURATION_COUNT
FRAME_SIZE = COUNT_CLASSES * VOCAB_SIZE * ROW_WIDTH

SCRIPTED_VOCAB = ["<blk>", "\u2581hello", "\u2581world", "s", "\u2581!", "\u2581\u00e7a"]
MAX_TOKENS_PER_STEP = 10

INT8_NAMES = ("encoder-model.int8.onnx", "decoder_joint-model.int8.onnx")
FP32_NAMES = ("encoder-model.onnx", "decoder_joint-model.onnx")
PREPROCESSOR_NAME = "nemo128.onnx"


def make_model(graph):
    model = helper.make_model(
        graph,
        opset_imports=[helper.make_opsetid("", OPSET_VERSION)],
        producer_name=PRODUCER_NAME,
    )
    model.ir_version = IR_VERSION
    return model


def check_and_save(model, path):
    onnx.checker.check_model(model)
    onnx.shape_inference.infer_shapes(model, check_type=True, strict_mode=True)
    with open(path, "wb") as file:
        file.write(model.SerializeToString())


# ---------------------------------------------------------------- scripted


def scripted_preprocessor(header_scale=1):
    """features = waveform after the header, frame-major, turned feature-major;
    features_lens = the header (times header_scale, rounded), so a test sets
    the encoded length freely. With header_scale 32768 a 16-bit PCM sample k
    read as k / 32768 stands for length k, so WAV files can script the model."""
    g = GraphBuilder()
    sample_count = g.op("Gather", [g.op("Shape", ["waveforms"]), g.int64s(1)], axis=0)
    payload_count = g.op("Sub", [sample_count, g.int64s(1)])
    frame_count = g.op("Div", [payload_count, g.int64s(FRAME_SIZE)])
    # Samples after the last whole frame are ignored rather than rejected.
    payload_end = g.op("Add", [g.op("Mul", [frame_count, g.int64s(FRAME_SIZE)]), g.int64s(1)])
    payload = g.op("Slice", ["waveforms", g.int64s([1]),
                             g.op("Unsqueeze", [payload_end, g.int64s([0])]), g.int64s([1])])
    frames_shape = g.op("Concat", [g.int64s([1]), g.op("Unsqueeze", [frame_count, g.int64s([0])]),
                                   g.int64s([FRAME_SIZE])], axis=0)
    frames = g.op("Reshape", [payload, frames_shape])
    g.op("Transpose", [frames], "features", perm=[0, 2, 1])
    header = g.op("Slice", ["waveforms", g.int64s([0]), g.int64s([1]), g.int64s([1])])
    header_flat = g.op("Reshape", [header, g.int64s([-1])])
    if header_scale != 1:
        scale = g.op("Constant", [], value=helper.make_tensor("scale", TensorProto.FLOAT, [1],
                                                              [float(header_scale)]))
        header_flat = g.op("Round", [g.op("Mul", [header_flat, scale])])
    g.op("Cast", [header_flat], "features_lens", to=TensorProto.INT64)
    inputs = [tensor("waveforms", TensorProto.FLOAT, [1, "samples"]),
              tensor("waveforms_lens", TensorProto.INT64, [1])]
    outputs = [tensor("features", TensorProto.FLOAT, [1, FRAME_SIZE, "frames"]),
               tensor("features_lens", TensorProto.INT64, [1])]
    return make_model(g.graph("scripted_preprocessor", inputs, outputs))


def scripted_encoder(outputs_rank=3, empty_lengths=False, empty_batch=False):
    """Passes the features through; the variants drop the batch axis, keep
    none of the batch, or report no length at all."""
    g = GraphBuilder()
    if empty_batch:
        g.op("Slice", ["audio_signal", g.int64s([0]), g.int64s([0]), g.int64s([0])], "outputs")
        outputs_shape = [0, FRAME_SIZE, "frames"]
    elif outputs_rank == 3:
        g.op("Identity", ["audio_signal"], "outputs")
        outputs_shape = [1, FRAME_SIZE, "frames"]
    else:
        g.op("Squeeze", ["audio_signal", g.int64s([0])], "outputs")
        outputs_shape = [FRAME_SIZE, "frames"]
    if empty_lengths:
        g.op("Slice", ["length", g.int64s([0]), g.int64s([0])], "encoded_lengths")
        lengths_shape = [0]
    else:
        g.op("Identity", ["length"], "encoded_lengths")
        lengths_shape = [1]
    inputs = [tensor("audio_signal", TensorProto.FLOAT, [1, FRAME_SIZE, "frames"]),
              tensor("length", TensorProto.INT64, [1])]
    outputs = [tensor("outputs", TensorProto.FLOAT, outputs_shape),
               tensor("encoded_lengths", TensorProto.INT64, lengths_shape)]
    return make_model(g.graph("scripted_encoder", inputs, outputs))


def first_state_value(g, states):
    flat = g.op("Reshape", [states, g.int64s([-1])])
    return g.op("Slice", [flat, g.int64s([0]), g.int64s([1])])


def emitted_count(g):
    """The states move apart by 2 per kept non-blank step (+1 and -1), so half
    their gap counts the tokens emitted so far, capped to the table."""
    gap = g.op("Sub", [first_state_value(g, "input_states_1"),
                       first_state_value(g, "input_states_2")])
    count = g.op("Round", [g.op("Mul", [gap, g.float32(0.5)])])
    return g.op("Clip", [count, g.float32(0.0), g.float32(COUNT_CLASSES - 1)])


def previous_token(g):
    token = g.op("Cast", [g.op("Reshape", ["targets", g.int64s([-1])])], to=TensorProto.FLOAT)
    return g.op("Clip", [token, g.float32(0.0), g.float32(VOCAB_SIZE - 1)])


def selected_row(g):
    """Row (count * V + previous token) of the frame viewed as C*V rows of W."""
    row = g.op("Add", [g.op("Mul", [emitted_count(g), g.float32(VOCAB_SIZE)]), previous_token(g)])
    row_index = g.op("Cast", [row], to=TensorProto.INT64)
    table = g.op("Reshape", ["encoder_outputs", g.int64s([COUNT_CLASSES * VOCAB_SIZE, ROW_WIDTH])])
    return g.op("Gather", [table, row_index], axis=0)


def scripted_decoder_joint(score_count=ROW_WIDTH, states_1_shape=None):
    """Scores = one row of the frame; output states = input states +1 / -1."""
    if states_1_shape is None:
        states_1_shape = [STATE_LAYERS, "batch", STATE_HIDDEN]
    g = GraphBuilder()
    row = selected_row(g)
    if score_count != ROW_WIDTH:
        row = g.op("Slice", [row, g.int64s([0]), g.int64s([score_count]), g.int64s([1])])
    g.op("Reshape", [row, g.int64s([1, 1, 1, score_count])], "outputs")
    g.op("Identity", ["target_length"], "prednet_lengths")
    g.op("Add", ["input_states_1", g.float32(1.0)], "output_states_1")
    g.op("Sub", ["input_states_2", g.float32(1.0)], "output_states_2")
    states_2_shape = [STATE_LAYERS, "batch", STATE_HIDDEN]
    inputs = [tensor("encoder_outputs", TensorProto.FLOAT, [1, FRAME_SIZE, 1]),
              tensor("targets", TensorProto.INT32, [1, 1]),
              tensor("target_length", TensorProto.INT32, [1]),
              tensor("input_states_1", TensorProto.FLOAT, states_1_shape),
              tensor("input_states_2", TensorProto.FLOAT, states_2_shape)]
    outputs = [tensor("outputs", TensorProto.FLOAT, [1, 1, 1, score_count]),
               tensor("prednet_lengths", TensorProto.INT32, [1]),
               tensor("output_states_1", TensorProto.FLOAT, states_1_shape),
               tensor("output_states_2", TensorProto.FLOAT, states_2_shape)]
    return make_model(g.graph("scripted_decoder_joint", inputs, outputs))


# ------------------------------------------------------------- directories


def write_text(path, text):
    with open(path, "w", encoding="utf-8", newline="\n") as file:
        file.write(text)


def write_model_directory(directory, vocab_lines, networks):
    """networks: file name -> ModelProto."""
    os.makedirs(directory, exist_ok=True)
    write_text(os.path.join(directory, "config.json"),
               json.dumps({"max_tokens_per_step": MAX_TOKENS_PER_STEP}) + "\n")
    write_text(os.path.join(directory, "vocab.txt"), "".join(line + "\n" for line in vocab_lines))
    for file_name, model in networks.items():
        check_and_save(model, os.path.join(directory, file_name))


def scripted_networks(encoder_names=INT8_NAMES, encoder=None, decoder_joint=None,
                      preprocessor=None):
    encoder_name, decoder_joint_name = encoder_names
    return {PREPROCESSOR_NAME: preprocessor or scripted_preprocessor(),
            encoder_name: encoder or scripted_encoder(),
            decoder_joint_name: decoder_joint or scripted_decoder_joint()}


def scripted_directories():
    """Directory name -> networks, for the scripted model and its variants."""
    return {
        "scripted": scripted_networks(),
        "scripted-fp32": scripted_networks(FP32_NAMES),
        "scripted-pcm": scripted_networks(preprocessor=scripted_preprocessor(header_scale=32768)),
        "one-duration": scripted_networks(
            decoder_joint=scripted_decoder_joint(score_count=VOCAB_SIZE + 1)),
        "short-scores": scripted_networks(
            decoder_joint=scripted_decoder_joint(score_count=VOCAB_SIZE)),
        "state-2d": scripted_networks(
            decoder_joint=scripted_decoder_joint(states_1_shape=[STATE_LAYERS, STATE_HIDDEN])),
        "state-symbolic": scripted_networks(
            decoder_joint=scripted_decoder_joint(states_1_shape=["layers", 1, STATE_HIDDEN])),
        "encoder-rank2": scripted_networks(encoder=scripted_encoder(outputs_rank=2)),
        "encoder-empty-lengths": scripted_networks(encoder=scripted_encoder(empty_lengths=True)),
        "encoder-empty-batch": scripted_networks(encoder=scripted_encoder(empty_batch=True)),
    }


def write_scripted_models(out_directory):
    vocab_lines = [f"{text} {token_id}" for token_id, text in enumerate(SCRIPTED_VOCAB)]
    for name, networks in scripted_directories().items():
        write_model_directory(os.path.join(out_directory, name), vocab_lines, networks)


def write_realistic_model(out_directory):
    networks = {name: make_model(graph)
                for name, graph in realistic_model.build_graphs(INT8_NAMES).items()}
    write_model_directory(os.path.join(out_directory, "realistic"),
                          realistic_model.vocab_lines(), networks)


def main(argv):
    parser = argparse.ArgumentParser(description="Writes the engine's test models.")
    parser.add_argument("out_directory")
    parser.add_argument("--no-realistic", action="store_true",
                        help="skip the ~80 MB benchmark model")
    args = parser.parse_args(argv)
    write_scripted_models(args.out_directory)
    if not args.no_realistic:
        write_realistic_model(args.out_directory)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
