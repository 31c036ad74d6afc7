#!/usr/bin/env bash
# Fails when an object compiled for a wide instruction set defines a symbol the linker could
# pick for another object (weak, or global other than the kernels' accessor): the portable path
# could then run AVX-512 code on a processor without it. (DW.ref.* are the exception tables'
# references to the C++ runtime, data rather than code.)
set -euo pipefail
status=0
for object in "$@"; do
  shared=$(nm -C --defined-only "$object" | awk '$2 ~ /^[A-Z]$/ && $3 !~ /^((avx2|avx512)SurfaceKernels\(\)|DW\.ref\..*)$/')
  if [ -n "$shared" ]; then
    echo "$object shares code with other objects:"
    echo "$shared"
    status=1
  fi
done
exit $status
