#include "gwy_reader.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "reader_support.h"
#include "system.h"

namespace {

// Names longer than this are not names: a damaged file.
constexpr std::size_t kLongestName = 4096;

// Reads a file of known size from its start, keeping the position, refusing to go past the end.
class GwyCursor {
  public:
    GwyCursor(std::FILE* file, long long size) : file_(file), size_(size) {}
    long long position() const { return position_; }
    long long size() const { return size_; }

    bool bytes(void* out, std::size_t n) {
        if (static_cast<long long>(n) > size_ - position_) return false;
        if (std::fread(out, 1, n, file_) != n) return false;
        position_ += static_cast<long long>(n);
        return true;
    }
    bool skip(long long n) {
        if (n < 0 || n > size_ - position_) return false;
        return seek(position_ + n);
    }
    bool seek(long long to) {
        if (to < 0 || to > size_ || std::fseek(file_, static_cast<long>(to), SEEK_SET) != 0)
            return false;
        position_ = to;
        return true;
    }
    bool u32(std::uint32_t& value) {
        unsigned char b[4];
        if (!bytes(b, 4)) return false;
        value = static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
                static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
        return true;
    }
    bool f64(double& value) {
        unsigned char b[8];
        if (!bytes(b, 8)) return false;
        std::uint64_t bits = 0;
        for (int k = 7; k >= 0; --k) bits = bits << 8 | b[k];
        std::memcpy(&value, &bits, sizeof value);
        return true;
    }
    bool text(std::string& out) {
        out.clear();
        for (;;) {
            char c;
            if (out.size() > kLongestName || !bytes(&c, 1)) return false;
            if (c == '\0') return true;
            out += c;
        }
    }

  private:
    std::FILE* file_;
    long long size_;
    long long position_ = 0;
};

// One component's name and type, the cursor left on its value.
struct Component {
    std::string name;
    char type = 0;
};

bool readComponent(GwyCursor& in, Component& component) {
    return in.text(component.name) && in.bytes(&component.type, 1);
}

// An object's header: its type name and where its components end.
bool readObjectHeader(GwyCursor& in, std::string& typeName, long long& end) {
    std::uint32_t size = 0;
    if (!in.text(typeName) || !in.u32(size)) return false;
    end = in.position() + size;
    return end <= in.size();
}

long long atomSize(char type) {
    switch (type) {
        case 'b':
        case 'c':
        case 'C':
            return 1;
        case 'i':
        case 'I':
            return 4;
        case 'q':
        case 'd':
        case 'Q':
        case 'D':
            return 8;
        default:
            return 0;
    }
}

bool skipValue(GwyCursor& in, char type);

bool skipObject(GwyCursor& in) {
    std::string typeName;
    long long end = 0;
    return readObjectHeader(in, typeName, end) && in.seek(end);
}

bool skipValue(GwyCursor& in, char type) {
    std::string text;
    if (type == 's') return in.text(text);
    if (type == 'o') return skipObject(in);
    if (type == 'b' || type == 'c' || type == 'i' || type == 'q' || type == 'd')
        return in.skip(atomSize(type));
    std::uint32_t count = 0;
    if (!in.u32(count)) return false;
    if (type == 'S' || type == 'O') {
        for (std::uint32_t k = 0; k < count; ++k)
            if (!skipValue(in, type == 'S' ? 's' : 'o')) return false;
        return true;
    }
    const long long item = atomSize(type);
    return item > 0 && in.skip(item * count);
}

// "/N/data" with N a whole number: a channel's image.
bool channelNumber(const std::string& key, long long& number) {
    const std::string tail = "/data";
    if (key.size() <= tail.size() + 1 || key[0] != '/' ||
        key.compare(key.size() - tail.size(), tail.size(), tail) != 0)
        return false;
    const std::string digits = key.substr(1, key.size() - tail.size() - 1);
    if (digits.empty() || digits.size() > 9 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
        return false;
    number = std::stoll(digits);
    return true;
}

// The unit string of a GwySIUnit object, the cursor on its header.
bool readUnit(GwyCursor& in, std::string& unit) {
    std::string typeName;
    long long end = 0;
    if (!readObjectHeader(in, typeName, end)) return false;
    while (in.position() < end) {
        Component c;
        if (!readComponent(in, c)) return false;
        if (c.name == "unitstr" && c.type == 's') {
            if (!in.text(unit)) return false;
        } else if (!skipValue(in, c.type)) {
            return false;
        }
    }
    return in.position() == end;
}

struct DataField {
    bool hasColumns = false, hasRows = false;
    long long columns = 0, rows = 0;
    double width = 0.0, height = 0.0;
    std::string lateralUnit, valueUnit;
    long long dataAt = -1;  // where the doubles begin
    long long dataCount = 0;
};

bool readWhole(GwyCursor& in, long long& value) {
    std::uint32_t bits = 0;
    if (!in.u32(bits)) return false;
    value = static_cast<std::int32_t>(bits);
    return true;
}

// The components of a GwyDataField, the cursor after its header; false on a damaged object.
bool readDataField(GwyCursor& in, long long end, DataField& field) {
    while (in.position() < end) {
        Component c;
        if (!readComponent(in, c)) return false;
        bool fine = true;
        if (c.name == "xres" && c.type == 'i') {
            fine = field.hasColumns = readWhole(in, field.columns);
        } else if (c.name == "yres" && c.type == 'i') {
            fine = field.hasRows = readWhole(in, field.rows);
        } else if ((c.name == "xreal" || c.name == "yreal") && c.type == 'd') {
            fine = in.f64(c.name == "xreal" ? field.width : field.height);
        } else if ((c.name == "si_unit_xy" || c.name == "si_unit_z") && c.type == 'o') {
            fine = readUnit(in, c.name == "si_unit_xy" ? field.lateralUnit : field.valueUnit);
        } else if (c.name == "data" && c.type == 'D') {
            std::uint32_t count = 0;
            fine = in.u32(count);
            field.dataAt = in.position();
            field.dataCount = count;
            fine = fine && in.skip(8LL * count);
        } else {
            fine = skipValue(in, c.type);
        }
        if (!fine) return false;
    }
    return in.position() == end;
}

// Where the object of the lowest channel begins, among the container's components; -1 when it
// has none. `what` says why on false.
bool findChannel(GwyCursor& in, long long& channelAt, std::string& what) {
    std::string typeName;
    long long end = 0;
    if (!readObjectHeader(in, typeName, end))
        return what = "is cut short inside its objects", false;
    if (typeName != "GwyContainer")
        return what = "holds a " + typeName.substr(0, 64) + " where a GwyContainer is expected",
               false;
    long long lowest = std::numeric_limits<long long>::max();
    channelAt = -1;
    while (in.position() < end) {
        Component c;
        if (!readComponent(in, c)) return what = "is cut short inside its objects", false;
        long long number = 0;
        if (c.type == 'o' && channelNumber(c.name, number) && number < lowest) {
            lowest = number;
            channelAt = in.position();
        }
        if (!skipValue(in, c.type)) return what = "is cut short inside its objects", false;
    }
    if (in.position() != end) return what = "has objects that overrun their sizes", false;
    if (channelAt < 0) return what = "holds no image (no /N/data channel)", false;
    return true;
}

bool readValues(GwyCursor& in, const DataField& field, DataMatrix& rows, int R, int C) {
    if (!in.seek(field.dataAt)) return false;
    std::vector<unsigned char> line(static_cast<std::size_t>(C) * 8);
    for (int i = 0; i < R; ++i) {
        if (!in.bytes(line.data(), line.size())) return false;
        for (int j = 0; j < C; ++j) {
            std::uint64_t bits = 0;
            for (int k = 7; k >= 0; --k) bits = bits << 8 | line[8 * j + k];
            std::memcpy(&rows[i][j], &bits, sizeof(double));
        }
    }
    return true;
}

}  // namespace

std::optional<DataMatrix> readGwy(RunHost& host, std::FILE* file, const std::string& name) {
    const long long size = bytesLeftInFile(file);
    GwyCursor in(file, size < 0 ? 0 : size);
    char magic[4] = {};
    if (!in.bytes(magic, 4) || std::memcmp(magic, kGwyMagic, 4) != 0)
        return fileRefused(host, name, "is not a .gwy file (it does not begin with GWYP)");
    long long channelAt = -1;
    std::string what;
    if (!findChannel(in, channelAt, what)) return fileRefused(host, name, what);

    std::string typeName;
    long long end = 0;
    DataField field;
    if (!in.seek(channelAt) || !readObjectHeader(in, typeName, end))
        return fileRefused(host, name, "is cut short inside its objects");
    if (typeName != "GwyDataField")
        return fileRefused(host, name,
                           "holds a " + typeName.substr(0, 64) +
                               " as its image, where a GwyDataField is expected");
    if (!readDataField(in, end, field))
        return fileRefused(host, name, "has a damaged GwyDataField");
    if (!field.hasColumns || !field.hasRows)
        return fileRefused(host, name,
                           std::string("gives no ") + (field.hasColumns ? "yres" : "xres") +
                               " in its GwyDataField");
    long long rowCount = field.rows, columnCount = field.columns;
    if (!gridSizeFits(rowCount, columnCount, what)) return fileRefused(host, name, what);
    if (field.dataAt < 0) return fileRefused(host, name, "has no data in its GwyDataField");
    if (field.dataCount != field.rows * field.columns)
        return fileRefused(host, name,
                           "declares " + sizeText(field.rows, field.columns) +
                               " values (yres x xres), but its data holds " +
                               std::to_string(field.dataCount));

    auto matrix =
        confirmSizeAndAllocate(host, static_cast<int>(rowCount), static_cast<int>(columnCount));
    if (!matrix) return std::nullopt;
    const int R = static_cast<int>(rowCount);
    const int C = static_cast<int>(columnCount);
    if (!readValues(in, field, *matrix, R, C))
        return fileRefused(host, name, "is cut short while its values are read");
    SurfaceUnits& units = matrix->units;
    if (field.width > 0.0 && field.height > 0.0 && field.width < 1e300 && field.height < 1e300 &&
        R > 0 && C > 0) {
        units.pixelWidth = field.width / C;
        units.pixelHeight = field.height / R;
    }
    units.lateralUnit = field.lateralUnit;
    units.valueUnit = field.valueUnit;
    return matrix;
}
