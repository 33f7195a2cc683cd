"""A small helper for writing ONNX graphs node by node."""

import numpy as np
from onnx import TensorProto, helper, numpy_helper


class GraphBuilder:
    """Collects nodes and constant initializers; hands out unique value names."""

    def __init__(self):
        self.nodes = []
        self.initializers = []
        self._next_id = 0

    def unique(self):
        """A number no other name of this graph carries."""
        self._next_id += 1
        return self._next_id - 1

    def constant(self, values, dtype, name_hint="const"):
        name = f"{name_hint}_{self.unique()}"
        array = np.asarray(values, dtype=dtype)
        self.initializers.append(numpy_helper.from_array(array, name))
        return name

    def int64s(self, values):
        return self.constant(values, np.int64, "i64")

    def float32(self, value):
        return self.constant(value, np.float32, "f32")

    def weight(self, name, array):
        self.initializers.append(numpy_helper.from_array(np.asarray(array, np.float32), name))
        return name

    def op(self, op_type, inputs, output=None, **attributes):
        if output is None:
            output = f"{op_type.lower()}_{self._next_id}"
            self._next_id += 1
        self.nodes.append(helper.make_node(op_type, inputs, [output], **attributes))
        return output

    def ops(self, op_type, inputs, outputs, **attributes):
        self.nodes.append(helper.make_node(op_type, inputs, outputs, **attributes))
        return outputs

    def graph(self, name, inputs, outputs):
        return helper.make_graph(self.nodes, name, inputs, outputs, self.initializers)


def tensor(name, elem_type, shape):
    return helper.make_tensor_value_info(name, elem_type, shape)


def decoder_joint_interface(encoder_width, state_layers, hidden, score_count):
    """The decoder-joint's inputs and outputs, as the real export declares them."""
    state_shape = [state_layers, "batch", hidden]
    inputs = [tensor("encoder_outputs", TensorProto.FLOAT, [1, encoder_width, 1]),
              tensor("targets", TensorProto.INT32, [1, 1]),
              tensor("target_length", TensorProto.INT32, [1]),
              tensor("input_states_1", TensorProto.FLOAT, state_shape),
              tensor("input_states_2", TensorProto.FLOAT, state_shape)]
    outputs = [tensor("outputs", TensorProto.FLOAT, [1, 1, 1, score_count]),
               tensor("prednet_lengths", TensorProto.INT32, [1]),
               tensor("output_states_1", TensorProto.FLOAT, state_shape),
               tensor("output_states_2", TensorProto.FLOAT, state_shape)]
    return inputs, outputs
