#!/usr/bin/env bash
# Each example's JSON description builds to the committed overlay byte for
# byte, and the overlay renders at 300 dpi to the committed page pixel for
# pixel (the PNGs are compared as files: same pixels, same encoder); each
# dumps without a decoding failure.
set -u
ovl=$1
out=$2
rm -rf "$out"
mkdir -p "$out"
fail=0
for desc in examples/*.json; do
  name=$(basename "$desc" .json)
  if ! "$ovl" build "$desc" -o "$out/$name.ovl"; then fail=1; continue; fi
  if ! cmp -s "$out/$name.ovl" "examples/$name.ovl"; then
    echo "examples/$name.ovl differs from what 'ovl build $desc' makes"; fail=1
  fi
  if ! "$ovl" dump "examples/$name.ovl" > "$out/$name.json"; then fail=1; fi
  if ! "$ovl" render "examples/$name.ovl" -o "$out/$name.png" --dpi 300; then fail=1; continue; fi
  if ! cmp -s "$out/$name.png" "examples/$name.png"; then
    echo "examples/$name.png differs from what 'ovl render' draws now ($out/$name.png)"; fail=1
  fi
done
exit $fail
