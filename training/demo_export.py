"""Writes the trained demo model as a model directory Orvello's engine loads:
config.json, vocab.txt, nemo128.onnx, encoder-model.int8.onnx and
decoder_joint-model.int8.onnx.

The engine's file search only picks a directory that holds the int8 file
names, so the encoder and decoder-joint carry those names although their
weights are float32.
"""

import json
import os

import onnx
import torch
from torch import nn

from demo_model import MEL_BINS, Preprocessor

OPSET_VERSION = 17
MAX_TOKENS_PER_STEP = 10
ENCODER_FILE = "encoder-model.int8.onnx"
DECODER_JOINT_FILE = "decoder_joint-model.int8.onnx"
PREPROCESSOR_FILE = "nemo128.onnx"


class EncoderExport(nn.Module):
    """audio_signal [1, 128, Tf], length [1] -> outputs [1, D, T] (feature-major),
    encoded_lengths [1]."""

    def __init__(self, encoder):
        super().__init__()
        self.encoder = encoder

    def forward(self, audio_signal, length):
        encoded, encoded_lengths = self.encoder.forward_single(audio_signal, length)
        return encoded.transpose(1, 2), encoded_lengths


class DecoderJointExport(nn.Module):
    """One step of the prediction network on the previous token, and the joint
    network on one encoder frame. The scores are the token logits followed by
    one duration score: a transducer without durations always advances 0
    frames after a token, and a blank moves on one frame."""

    def __init__(self, prediction, joint):
        super().__init__()
        self.prediction = prediction
        self.joint = joint

    def forward(self, encoder_outputs, targets, target_length, input_states_1, input_states_2):
        embedded = self.prediction.embedding(targets.long())
        predicted, (state_1, state_2) = self.prediction.lstm(
            embedded, (input_states_1, input_states_2))
        logits = self.joint(encoder_outputs.transpose(1, 2), predicted)  # [1, 1, 1, V]
        duration = torch.zeros_like(logits[:, :, :, :1])
        outputs = torch.cat([logits, duration], dim=3)
        return outputs, target_length + 0, state_1, state_2


def export(module, arguments, path, input_names, output_names, dynamic_axes):
    module.eval()
    torch.onnx.export(module, arguments, path, opset_version=OPSET_VERSION,
                      input_names=input_names, output_names=output_names,
                      dynamic_axes=dynamic_axes, do_constant_folding=True)
    module.eval()  # the exporter puts back each module's training flag
    model = onnx.load(path)
    onnx.checker.check_model(model)
    names = ([i.name for i in model.graph.input], [o.name for o in model.graph.output])
    if names != (input_names, output_names):
        raise RuntimeError(f"{path}: unexpected tensor names {names}")


def write_model_directory(model, pieces, directory):
    os.makedirs(directory, exist_ok=True)
    model.eval()
    with open(os.path.join(directory, "config.json"), "w", encoding="utf-8", newline="\n") as f:
        f.write(json.dumps({"max_tokens_per_step": MAX_TOKENS_PER_STEP}) + "\n")
    with open(os.path.join(directory, "vocab.txt"), "w", encoding="utf-8", newline="\n") as f:
        f.write("".join(line + "\n" for line in pieces.vocab_lines()))

    samples = 16000
    export(Preprocessor().eval(),
           (torch.zeros(1, samples), torch.tensor([samples], dtype=torch.int64)),
           os.path.join(directory, PREPROCESSOR_FILE),
           ["waveforms", "waveforms_lens"], ["features", "features_lens"],
           {"waveforms": {1: "samples"}, "features": {2: "frames"}})

    frames = samples // 160 + 1
    export(EncoderExport(model.encoder),
           (torch.zeros(1, MEL_BINS, frames), torch.tensor([frames], dtype=torch.int64)),
           os.path.join(directory, ENCODER_FILE),
           ["audio_signal", "length"], ["outputs", "encoded_lengths"],
           {"audio_signal": {2: "frames"}, "outputs": {2: "encoded_frames"}})

    layers, hidden = model.prediction.layers, model.prediction.hidden
    states = torch.zeros(layers, 1, hidden)
    export(DecoderJointExport(model.prediction, model.joint),
           (torch.zeros(1, model.encoder.output_size, 1),
            torch.tensor([[pieces.blank_id]], dtype=torch.int32),
            torch.tensor([1], dtype=torch.int32), states, states.clone()),
           os.path.join(directory, DECODER_JOINT_FILE),
           ["encoder_outputs", "targets", "target_length", "input_states_1", "input_states_2"],
           ["outputs", "prednet_lengths", "output_states_1", "output_states_2"], {})
    model.eval()
