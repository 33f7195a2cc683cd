# The Parakeet-sized speech model of the benchmarks: random weights, the real model's files,
# sizes and cost (tests/models/parakeet_sized_model.py). Made on first use and kept in build/;
# made again only when it is missing or its generator has changed since.
#
#   parakeet_sized_model      prints the model's directory, making it first when needed
#                             (about 2 min and 3 GB of memory)

parakeet_sized_model() {
  local dir=$PWD/build/parakeet-sized-model
  local sources=(tests/models/parakeet_sized_model.py tests/models/quantized_linear.py
                 tests/models/realistic_model.py tests/models/graph_builder.py
                 tests/models/make_test_models.py)
  local hash; hash=$(cat "${sources[@]}" | sha256sum | cut -d' ' -f1)
  if [ ! -f "$dir/encoder-model.int8.onnx" ] || [ "$(cat "$dir/generator.sha256" 2>/dev/null)" != "$hash" ]; then
    echo "making the Parakeet-sized model in $dir (about 2 min, 3 GB of memory)" >&2
    rm -rf "$dir"
    /usr/bin/python3 tests/models/parakeet_sized_model.py "$dir" >/dev/null
    echo "$hash" >"$dir/generator.sha256"
  fi
  echo "$dir"
}
