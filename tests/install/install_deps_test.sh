#!/usr/bin/env bash
# scripts/install-deps against stand-ins for dpkg-query (nothing installed), apt-get and sudo
# (each records its arguments): `demo` installs the packages vantrel-cli builds with and nothing
# of the dialog, Windows, clang or Python; `all` installs every package of every target.
set -euo pipefail
script=${1:?usage: install_deps_test.sh scripts/install-deps}
fake=$(mktemp -d)
trap 'rm -rf "$fake"' EXIT
printf '#!/bin/sh\nexit 1\n' > "$fake/dpkg-query"
printf '#!/bin/sh\necho "$@" >> "%s/apt.log"\n' "$fake" > "$fake/apt-get"
printf '#!/bin/sh\n"$@"\n' > "$fake/sudo"
chmod +x "$fake"/*

installed() {
  rm -f "$fake/apt.log"
  PATH="$fake:$PATH" "$script" "$@" > /dev/null
  grep -- "install" "$fake/apt.log" | tr ' ' '\n' | grep -v '^-' | grep -v '^install$' | sort
}

demo=$(installed demo)
for needed in g++ cmake libgdal-dev libfftw3-dev libcairo2-dev libfast-float-dev; do
  grep -qx "$needed" <<< "$demo" || { echo "demo lacks $needed"; exit 1; }
done
for unwanted in wine64 g++-mingw-w64-x86-64-posix libwxgtk3.2-dev clang-14 python3-dask xvfb; do
  if grep -qx "$unwanted" <<< "$demo"; then echo "demo installs $unwanted"; exit 1; fi
done

all=$(installed)
for needed in wine64 libwxgtk3.2-dev clang-14 clang-format-14 python3-dask libgtest-dev g++; do
  grep -qx "$needed" <<< "$all" || { echo "all lacks $needed"; exit 1; }
done
[ "$(installed all)" = "$all" ] || { echo "'all' differs from no target"; exit 1; }

if PATH="$fake:$PATH" "$script" nonsense 2> "$fake/err"; then echo "an unknown target passed"; exit 1; fi
grep -q "unknown target 'nonsense'" "$fake/err"
echo "install-deps: demo $(wc -l <<< "$demo") packages, all $(wc -l <<< "$all")"
