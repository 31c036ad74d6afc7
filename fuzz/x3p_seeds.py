#!/usr/bin/python3
"""Writes the X3P fuzzer's seed corpus (fuzz/corpus/x3p/): small archives, mostly stored rather
than deflated so that the fuzzer's changes reach main.xml's text and the values directly."""

import hashlib
import pathlib
import struct
import zipfile

HERE = pathlib.Path(__file__).resolve().parent / "corpus" / "x3p"


def axis(name, kind, step):
    return (f"<{name}><AxisType>{kind}</AxisType><DataType>D</DataType>"
            f"<Increment>{step}</Increment><Offset>0</Offset></{name}>")


def document(feature, data_type, size_x, size_y, record3, x_kind="I"):
    return ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<p:ISO5436_2 xmlns:p=\"http://www.opengps.eu/2008/ISO5436_2\">\n"
            f"<Record1><FeatureType>{feature}</FeatureType><Axes>"
            + axis("CX", x_kind, "1e-06") + axis("CY", "I", "2e-06")
            + f"<CZ><AxisType>A</AxisType><DataType>{data_type}</DataType>"
            "<Increment>0.5</Increment></CZ></Axes></Record1>\n"
            f"<Record3><MatrixDimension><SizeX>{size_x}</SizeX><SizeY>{size_y}</SizeY>"
            f"<SizeZ>1</SizeZ></MatrixDimension>{record3}</Record3>\n"
            "<Record4><ChecksumFile>md5checksum.hex</ChecksumFile></Record4>\n"
            "</p:ISO5436_2>\n").encode()


def link(values, valid=False):
    return ("<DataLink><PointDataLink>bindata/data.bin</PointDataLink>"
            + ("<ValidPointsLink>bindata/valid.bin</ValidPointsLink>" if valid else "")
            + f"<MD5ChecksumPointData>{hashlib.md5(values).hexdigest()}</MD5ChecksumPointData>"
            "</DataLink>")


def archive(name, entries, method=zipfile.ZIP_STORED):
    with zipfile.ZipFile(HERE / name, "w", method) as out:
        for entry, data in entries:
            out.writestr(entry, data)


def with_sums(main, *others):
    return [("main.xml", main), *others,
            ("md5checksum.hex", f"{hashlib.md5(main).hexdigest()} *main.xml\n".encode())]


def main():
    HERE.mkdir(parents=True, exist_ok=True)
    doubles = struct.pack("<6d", 1.5, -2.0, 3.25, 4.0, float("nan"), 6.0)
    archive("float64_2x3", with_sums(document("SUR", "D", 3, 2, link(doubles)),
                                     ("bindata/data.bin", doubles)))
    archive("float64_deflated", with_sums(document("SUR", "D", 3, 2, link(doubles)),
                                          ("bindata/data.bin", doubles)), zipfile.ZIP_DEFLATED)
    shorts = struct.pack("<6h", 1, -2, 3, 4, 5, -6)
    archive("int16_valid_points",
            [("main.xml", document("SUR", "I", 3, 2, link(shorts, True))),
             ("bindata/data.bin", shorts), ("bindata/valid.bin", b"\x2f")])
    longs = struct.pack("<4i", 7, -8, 9, 10)
    archive("int32_2x2", [("main.xml", document("SUR", "L", 2, 2, link(longs))),
                          ("bindata/data.bin", longs)])
    floats = struct.pack("<4f", 0.25, 0.5, 0.75, 1.0)
    archive("float32_absolute_x", [("main.xml", document("SUR", "F", 2, 2, link(floats), "A")),
                                   ("bindata/data.bin", floats)])
    listed = "<DataList><Datum>1</Datum><Datum/><Datum>2.5e-7</Datum><Datum>4</Datum></DataList>"
    archive("data_list_2x2", [("main.xml", document("SUR", "D", 2, 2, listed))])
    archive("profile", [("main.xml", document("PRF", "D", 3, 1, link(doubles[:24]))),
                        ("bindata/data.bin", doubles[:24])])


if __name__ == "__main__":
    main()
