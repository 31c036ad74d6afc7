#pragma once

#include <functional>
#include <string>
#include <string_view>

// The XML document (main.xml) of an ISO 25178-72 surface file. Record1 says what the file holds
// (FeatureType SUR, PRF or PCL) and how each axis is coded (CX, CY, CZ: AxisType I, incremental,
// with an Increment and an Offset, or A, absolute; the DataType of the values: I int16, L int32,
// F float32, D float64); Record3 gives the grid (MatrixDimension SizeX, SizeY, SizeZ) and either
// a DataLink to the binary file of the values or the values themselves in a DataList of Datum
// elements; Record4 names the file of main.xml's MD5 checksum. Every length is in metres.
//
// The document is read in pieces as the archive gives them, never held whole: its header first,
// stopping where an inline DataList begins, then, once the size is agreed, the Datum elements.

struct X3pAxis {
    std::string axisType;  // "I" or "A"
    std::string dataType;  // "I", "L", "F" or "D"
    bool hasIncrement = false, hasOffset = false;
    double increment = 1.0;
    double offset = 0.0;
};

struct X3pHeader {
    std::string featureType;
    X3pAxis x, y, z;
    bool hasSizeX = false, hasSizeY = false, hasSizeZ = false;
    long long sizeX = 0, sizeY = 0, sizeZ = 0;
    std::string pointDataLink;    // the binary file of the values, in the archive
    std::string pointDataMd5;     // its checksum as hexadecimal digits, where given
    std::string validPointsLink;  // the bit array of the valid points, where given
    bool hasDataList = false;     // the values are in main.xml itself
    std::string checksumFile;     // the file of main.xml's checksum, where given
};

// Gives the next bytes of the document: how many were put at `to` (at most `room`), 0 at its
// end, -1 when they cannot be read.
using XmlPieceReader = std::function<long long(char* to, std::size_t room)>;

// Reads the header. False, with `what` saying why, when the document is not well-formed XML
// before its DataList, is not an ISO5436_2 document, nests too deep, an element holds more text
// than a header element can, or a number does not read.
bool readX3pHeader(const XmlPieceReader& read, X3pHeader& header, std::string& what);

// Reads the document again and hands each Datum of the DataList to `datum`, which returns false
// to stop (with `what` set by it). False, with `what` saying why, on XML faults.
bool readX3pDataList(const XmlPieceReader& read,
                     const std::function<bool(std::string_view text, std::string& what)>& datum,
                     std::string& what);
