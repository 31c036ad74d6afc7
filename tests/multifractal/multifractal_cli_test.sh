#!/bin/sh
# vantrel-cli multifractal and vantrel-make-surface --pmodel end to end: the generator's exact
# spectrum, JSON with its keys whose tau follows the p-model's, the same numbers from a NumPy
# file as from text, the table and plot written, SVG bytes equal across runs with the panels'
# titles as texts, usage faults with status 2 and data that cannot be analysed with status 1.
set -eu
cli=$1
generator=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$generator" --pmodel 0.1 0.2 0.3 0.4 --levels 8 --seed 3 --spectrum exact.tsv measure.txt

"$cli" multifractal measure.txt --measure --surrogates 19 --json > measure.json
python3 - measure.json exact.tsv <<'PY'
import json, math, sys
d = json.load(open(sys.argv[1]))
for key in ("q", "h", "h_ci90", "tau", "alpha", "f_alpha", "sides", "warnings", "p_value",
            "verdict"):
    assert key in d, key
assert d["q"][0] == -4 and d["q"][-1] == 4 and len(d["q"]) == 17, d["q"]
assert d["shift"] == [0, 0], d["shift"]
exact = {}
for line in open(sys.argv[2]).read().split("\n")[1:]:
    if line:
        q, tau, alpha, f = map(float, line.split("\t"))
        exact[q] = tau
# tau(q) = -log2 sum p^q, checked by hand at q = 2.
assert abs(exact[2.0] + math.log2(0.01 + 0.04 + 0.09 + 0.16)) < 1e-9
for q, tau in zip(d["q"], d["tau"]):
    if abs(q) <= 2:
        assert abs(tau - exact[q]) < 0.25, (q, tau, exact[q])
for (lo, hi), h in zip(d["h_ci90"], d["h"]):
    assert lo < h < hi
assert d["verdict"] == "multifractal", d["verdict"]
PY

# The same data as a NumPy file: the same numbers.
python3 - <<'PY'
import struct
rows = [[float(v) for v in line.split()] for line in open("measure.txt") if line.strip()]
header = "{'descr': '<f8', 'fortran_order': False, 'shape': (%d, %d), }" % (len(rows), len(rows[0]))
header += " " * (118 - len(header)) + "\n"
with open("measure.npy", "wb") as out:
    out.write(b"\x93NUMPY\x01\x00" + struct.pack("<H", len(header)) + header.encode())
    for row in rows:
        out.write(struct.pack("<%dd" % len(row), *row))
PY
"$cli" multifractal measure.npy --measure --surrogates 0 --json > npy.json
"$cli" multifractal measure.txt --measure --surrogates 0 --json > text.json
python3 - npy.json text.json <<'PY'
import json, sys
a, b = (json.load(open(p)) for p in sys.argv[1:])
assert a["h"] == b["h"] and a["tau"] == b["tau"]
PY

"$cli" multifractal measure.txt --measure --q -2:2:1 --sides 9:31 --surrogates 0 \
    --table table.tsv --plot a.svg > summary.txt
grep -q "^h(2) = " summary.txt
grep -q "Width h(-2) - h(2) = " summary.txt
head -1 table.tsv | grep -q "^q	h	h_low90	h_high90	tau	alpha	f_alpha$"
test "$(sed -n '2p' table.tsv | cut -f1)" = "-2"
"$cli" multifractal measure.txt --measure --q -2:2:1 --sides 9:31 --surrogates 0 \
    --plot b.svg > /dev/null
cmp a.svg b.svg
# The panels' titles are texts in the SVG, not paths.
for title in "ln F_q(n), fitted lines" "h(q) with 90% intervals" "mass exponent tau(q)" \
    "singularity spectrum"; do
    grep -q ">$title</text>" a.svg
done

# q as a list, unsorted and repeated: sorted, each once; a range's zero is exactly 0.
"$cli" multifractal measure.txt --measure --q 3,-1,0.5,3 --surrogates 0 --json > list.json
"$cli" multifractal measure.txt --measure --q -0.3:0.3:0.1 --surrogates 0 --json > range.json
python3 - list.json range.json <<'PY'
import json, sys
a, b = (json.load(open(p)) for p in sys.argv[1:])
assert a["q"] == [-1, 0.5, 3], a["q"]
assert len(b["q"]) == 7 and b["q"][3] == 0, b["q"]
PY

status=0
"$cli" multifractal measure.txt --q 4:-4:1 2> usage.err || status=$?
test "$status" = 2
grep -q "\-\-q" usage.err

printf '1 2 3\n4 5 6\n' > tiny.txt
status=0
"$cli" multifractal tiny.txt 2> tiny.err || status=$?
test "$status" = 1
grep -q "too small for a multifractal analysis" tiny.err

# A table or plot named as the surface itself, directly or through a link, is refused before
# anything is written, and the surface stays as it was.
cp measure.txt keep.txt
ln -s measure.txt link.txt
ln -s measure.txt link.svg
for output in "--table measure.txt" "--table link.txt" "--plot link.svg"; do
    status=0
    # shellcheck disable=SC2086
    "$cli" multifractal measure.txt --measure $output 2> same.err || status=$?
    test "$status" = 1
    grep -q "is the same file as the input" same.err
    cmp -s measure.txt keep.txt
done
echo "multifractal_cli: passed"
