"""Linear layers with int8 weights and activations quantized while the network runs.

The nodes follow the pattern ONNX Runtime fuses into one DynamicQuantizeMatMul
at its extended optimization level: DynamicQuantizeLinear on the input,
MatMulInteger with the int8 weights, Cast, Mul by the product of the two
scales, Add of a constant bias. Each input is quantized by a node of its own,
because the fusion wants every DynamicQuantizeLinear output used once.
"""

import numpy as np
from onnx import TensorProto

INT8_LIMIT = 127


def quantize_symmetric(weights):
    """(int8 array, scale): one scale for the whole tensor, zero point 0."""
    scale = np.float32(max(float(np.abs(weights).max()), 1e-12) / INT8_LIMIT)
    quantized = np.clip(np.rint(weights / scale), -INT8_LIMIT, INT8_LIMIT).astype(np.int8)
    return quantized, scale


def dequantized(quantized, scale):
    return quantized.astype(np.float32) * scale


class QuantizedLinear:
    """Writes linear layers and float weights into a GraphBuilder and counts the
    parameters it stores."""

    def __init__(self, g):
        self.g = g
        self.parameter_count = 0
        self._zero_point = g.constant(np.int8(0), np.int8, "weight_zero_point")

    def weight(self, name, array):
        self.parameter_count += np.asarray(array).size
        return self.g.weight(name, array)

    def apply(self, values, name, weights, bias=None):
        """values [..., K] times weights [K, N] (+ bias [N])."""
        g = self.g
        quantized, scale = quantize_symmetric(weights)
        self.parameter_count += quantized.size
        weight_name = g.constant(quantized, np.int8, name + "_w_int8")
        del quantized
        scale_name = g.constant(scale, np.float32, name + "_w_scale")
        outputs = [f"{name}_{part}_{g.unique()}" for part in ("q", "scale", "zero")]
        g.ops("DynamicQuantizeLinear", [values], outputs)
        product = g.op("MatMulInteger", [outputs[0], weight_name, outputs[2], self._zero_point])
        multiplier = g.op("Mul", [outputs[1], scale_name])
        result = g.op("Mul", [g.op("Cast", [product], to=TensorProto.FLOAT), multiplier])
        if bias is None:
            return result
        return g.op("Add", [result, self.weight(name + "_b", bias)])
