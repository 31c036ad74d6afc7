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
# The map of a mosaic whose exponents rise from above left to below right: a transposed or
# mirrored map puts a quadrant's tiles in another's place.
"$generator" --mosaic --size 256 256 --seed 5 mosaic.txt
"$cli" map mosaic.txt --tile 64 --stride 32 --output map.csv > summary.txt
grep -q "7 x 7 tiles" summary.txt
python3 - map.csv <<'PY'
import csv, sys
rows = list(csv.DictReader(open(sys.argv[1])))
assert len(rows) == 49
assert (rows[0]["x"], rows[0]["y"]) == ("32", "32"), rows[0]
def mean(quadrant):
    top, left = quadrant
    hs = [float(r["H"]) for r in rows
          if (int(r["row"]) < 2) == top and (int(r["column"]) < 2) == left
          and (int(r["row"]) in (0, 1, 5, 6)) and (int(r["column"]) in (0, 1, 5, 6))]
    return sum(hs) / len(hs)
means = [mean(q) for q in ((True, True), (True, False), (False, True), (False, False))]
assert means == sorted(means), means
assert means[0] < 0.3 and means[3] > 0.65, means
PY
"$cli" map mosaic.txt --tile 64 --output map.svg > /dev/null
grep -q "<svg" map.svg
"$cli" map mosaic.txt --tile 64 --output map.png > /dev/null
test "$(head -c 4 map.png | tail -c 3)" = "PNG"

# The input is never the output; an ending without a writer is a usage fault.
cp mosaic.txt keep.txt
ln -s mosaic.txt link.csv
status=0
"$cli" map mosaic.txt --tile 64 --output link.csv 2> same.txt || status=$?
test "$status" = 1
grep -q "is the same file as the input" same.txt
cmp mosaic.txt keep.txt
status=0
"$cli" map mosaic.txt --output map.xyz 2> ending.txt || status=$?
test "$status" = 2
grep -q "does not end in .tif" ending.txt
echo ok
