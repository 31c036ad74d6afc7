#!/bin/sh
# vantrel-cli analyse and fit end to end: JSON that parses with its keys, a results file fitted to
# the exponent analyse finds over the same sides, SVG bytes equal across runs, and a surface too
# small refused with status 1.
set -eu
cli=$1
generator=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$generator" --fbm --hurst 0.6 --size 128 128 --seed 4 surface.txt

"$cli" analyse surface.txt --json > analyse.json
python3 - analyse.json <<'PY'
import json, sys
d = json.load(open(sys.argv[1]))
for key in ("hurst", "hurst_ci90", "fractal_dimension", "fit_sides", "warnings", "warning_codes",
            "bias_corrected", "table"):
    assert key in d, key
assert d["hurst_ci90"][0] < d["hurst"] < d["hurst_ci90"][1]
assert abs(d["fractal_dimension"] - (3 - d["hurst"])) < 1e-12
assert set(d["table"][0]) == {"side", "area", "residual", "sigma2", "fitted"}
assert abs(d["hurst"] - 0.6) < 0.1, d["hurst"]
PY

# A run over the areas of odd sides 5 ... 15 (the automatic fit range of 128 x 128), then fit on
# its results file.
printf '6\n25 49 81 121 169 225\n' > areas.txt
"$cli" run --input surface.txt --progression-file areas.txt --shift 0.5 0.5 --yes --quiet
"$cli" fit surface.txt --json > fit.json
"$cli" analyse surface.txt --sides 5,7,9,11,13,15 --json > same.json
python3 - fit.json same.json <<'PY'
import json, sys
fit, same = (json.load(open(p)) for p in sys.argv[1:])
assert fit["fit_sides"] == [5, 15], fit["fit_sides"]
assert abs(fit["hurst"] - same["hurst"]) < 1e-6, (fit["hurst"], same["hurst"])
PY

# Areas 4 and 8 both give side 2: fit keeps area 4's point and says so under its summary and in
# its plot.
mkdir shared
cp surface.txt shared/
printf '8\n4 8 25 49 81 121 169 225\n' > shared/areas.txt
(cd shared && "$cli" run --input surface.txt --progression-file areas.txt --shift 0.5 0.5 --yes \
   --quiet && "$cli" fit surface.txt --plot shared.svg > summary.txt)
note="Areas 4 and 8 both give side 2: the point of side 2 is area 4's"
grep -qx "Note: $note" shared/summary.txt
grep -q ">$note</text>" shared/shared.svg

# A run with the run's default shifts, 0 0: fit finds them (a centred fit would be silently
# wrong); the same results file beside other data is refused with status 1.
"$cli" run --input surface.txt --log 4 4096 2 --yes --quiet
"$cli" fit surface.txt --json > found.json
python3 - found.json <<'PY'
import json, sys
d = json.load(open(sys.argv[1]))
assert d["results_shifts"] == [0, 0], d["results_shifts"]
assert d["results_normalised"] is False
assert "not_centred" in d["warning_codes"], d["warning_codes"]
assert len(d["warning_codes"]) == len(d["warnings"])
PY
"$generator" --fbm --hurst 0.6 --size 128 128 --seed 5 other.txt
cp surface.txt.out.txt other.txt.out.txt
status=0
"$cli" fit other.txt 2> other.err > /dev/null || status=$?
test "$status" = 1
grep -q "The results file other.txt.out.txt does not match the data" other.err
grep -q "was it written from other data, other shifts, or with --normalise?" other.err
status=0
"$cli" fit surface.txt --shift 0.5 0.5 2> shifted.err > /dev/null || status=$?
test "$status" = 1

"$cli" analyse surface.txt --plot a.svg > /dev/null
"$cli" analyse surface.txt --plot b.svg > /dev/null
cmp a.svg b.svg
# Texts stay texts, in a well-formed document.
python3 - a.svg <<'PY'
import sys
import xml.etree.ElementTree as tree
texts = [t.text for t in tree.parse(sys.argv[1]).iter("{http://www.w3.org/2000/svg}text")]
assert "window side s" in texts, texts
assert any(t.startswith("H = ") for t in texts), texts
PY

# The plot's size, resolution and title; the values' unit on the y axis (a GSF file names it).
"$cli" analyse surface.txt --plot c.png --plot-size 5in 4in --dpi 150 --title 'Surface <4>' \
  > /dev/null
python3 - c.png <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
assert struct.unpack(">II", data[16:24]) == (750, 600), struct.unpack(">II", data[16:24])
PY
"$cli" analyse surface.txt --plot c.svg --plot-size 360 270 --title 'Surface <4>' > /dev/null
grep -q 'width="360pt" height="270pt"' c.svg
grep -q '>Surface &lt;4&gt;</text>' c.svg
python3 - surface.txt surface.gsf <<'PY'
import struct, sys
rows = [[float(v) for v in line.split()] for line in open(sys.argv[1]) if line.strip()]
head = "Gwyddion Simple Field 1.0\nXRes=%d\nYRes=%d\nXReal=%d\nYReal=%d\nXYUnits=m\nZUnits=m\n" % (
    len(rows[0]), len(rows), len(rows[0]), len(rows))
head = head.encode() + b"\0" * (4 - len(head) % 4)
with open(sys.argv[2], "wb") as f:
    f.write(head + b"".join(struct.pack("<%df" % len(r), *r) for r in rows))
PY
"$cli" analyse surface.gsf --plot d.svg > /dev/null
grep -q 'per cell σ²(s) (m²)</text>' d.svg
grep -q '>window side s (m)</text>' d.svg
for bad in "--dpi 0" "--dpi x" "--plot-size 10 480" "--plot-size 5in" "--title T"; do
  status=0
  # shellcheck disable=SC2086
  "$cli" analyse surface.txt --plot e.svg $bad > /dev/null 2> bad.err || status=$?
  if [ "$bad" = "--title T" ]; then
    "$cli" analyse surface.txt --title T > /dev/null 2> bad.err && exit 1
    grep -q -- "--title need --plot FILE" bad.err
    continue
  fi
  test "$status" = 2 || { echo "$bad: status $status"; exit 1; }
done

printf '1 2 3\n4 5 6\n' > tiny.txt
status=0
"$cli" analyse tiny.txt 2> tiny.err || status=$?
test "$status" = 1
grep -q "too small to analyse" tiny.err
echo "scaling_cli: passed"
