#!/bin/sh
# The maps and the directional exponents end to end: the sheet's rows and columns told apart in
# analyse --directional's JSON (a swapped axis fails), the plain analysis's keys unchanged beside
# them, and --directional refused by fit.
set -eu
cli=$1
generator=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
# Columns 0.3, rows 0.7.
"$generator" --sheet --hurst 0.3 0.7 --size 256 320 --seed 8 sheet.txt

"$cli" analyse sheet.txt --json > plain.json
"$cli" analyse sheet.txt --directional --json > directional.json
python3 - plain.json directional.json <<'PY'
import json, sys
plain, d = (json.load(open(p)) for p in sys.argv[1:])
for key in ("hurst_rows", "hurst_columns", "anisotropy"):
    lo, hi = d[key]["ci90"]
    assert lo < d[key]["value"] < hi, key
assert d["hurst_rows"]["value"] > d["hurst_columns"]["value"] + 0.25, d
assert abs(d["hurst_columns"]["value"] - 0.3) < 0.12, d["hurst_columns"]
assert d["anisotropy"]["ci90"][0] > 0
# The analysis's own members are those of the plain run.
for key, value in plain.items():
    assert d[key] == value, key
PY
"$cli" analyse sheet.txt --directional | grep -q "the rows are smoother than the columns"

status=0
"$cli" fit sheet.txt --directional 2> refused.txt || status=$?
test "$status" = 2
grep -q -- "--directional does not apply to fit" refused.txt
echo ok
