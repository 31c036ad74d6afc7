#include "x3p_header.h"

#include <expat.h>

#include <memory>
#include <vector>

#include "text_scan.h"

namespace {

// Deeper nesting, or a header element with more text, is not a surface file's header but a
// damaged or hostile document; neither is held.
constexpr std::size_t kDeepest = 64;
constexpr std::size_t kLongestText = 64u << 10;
constexpr std::size_t kLongestDatum = 256;
// A header is a few kilobytes; expat holds a whole tag (with its attributes) while it reads it,
// so a longer one is refused before it can grow without bound.
constexpr long long kLargestHeader = 64LL << 20;
constexpr const char* kDataListPath = "Record3/DataList";
constexpr const char* kDatumPath = "Record3/DataList/Datum";

std::string_view localName(const char* name) {
    const std::string_view full(name);
    const std::size_t colon = full.rfind(':');
    return colon == std::string_view::npos ? full : full.substr(colon + 1);
}

bool wholeCount(std::string_view text, long long& value) {
    double parsed;
    if (!parseWholeDouble(text.data(), text.data() + text.size(), parsed) || !(parsed >= 0) ||
        parsed > 9.0e18 || parsed != static_cast<double>(static_cast<long long>(parsed)))
        return false;
    value = static_cast<long long>(parsed);
    return true;
}

bool finiteNumber(std::string_view text, double& value) {
    return parseWholeDouble(text.data(), text.data() + text.size(), value) && value - value == 0;
}

// The header elements whose text is kept: an axis's fields and the ones keep() names.
bool isHeaderPath(const std::string& path) {
    static const char* const kPaths[] = {"Record1/FeatureType",
                                         "Record3/MatrixDimension/SizeX",
                                         "Record3/MatrixDimension/SizeY",
                                         "Record3/MatrixDimension/SizeZ",
                                         "Record3/DataLink/PointDataLink",
                                         "Record3/DataLink/MD5ChecksumPointData",
                                         "Record3/DataLink/ValidPointsLink",
                                         "Record4/ChecksumFile"};
    for (const char* known : kPaths)
        if (path == known) return true;
    const std::string axes = "Record1/Axes/C";
    return path.compare(0, axes.size(), axes) == 0 && path.size() > axes.size() + 2 &&
           path[axes.size() + 1] == '/' && path.find('/', axes.size() + 2) == std::string::npos;
}

// One pass over the document: the header's elements, or the DataList's Datum elements.
class DocumentWalk {
  public:
    using Datum = std::function<bool(std::string_view, std::string&)>;
    DocumentWalk(X3pHeader* header, const Datum* datum) : header_(header), datum_(datum) {}

    bool run(const XmlPieceReader& read, std::string& what) {
        std::unique_ptr<XML_ParserStruct, void (*)(XML_Parser)> parser(XML_ParserCreate(nullptr),
                                                                       XML_ParserFree);
        if (!parser) throw std::bad_alloc();
        parser_ = parser.get();
        XML_SetUserData(parser_, this);
        XML_SetElementHandler(parser_, onStart, onEnd);
        XML_SetCharacterDataHandler(parser_, onText);
        std::vector<char> piece(64u << 10);
        long long parsed = 0;
        for (;;) {
            const long long got = read(piece.data(), piece.size());
            if (got < 0) return what = "has a main.xml that cannot be read from the archive", false;
            parsed += got;
            if (header_ && parsed > kLargestHeader)
                return what = "has a main.xml whose header runs past " +
                              std::to_string(kLargestHeader >> 20) + " MiB before its values",
                       false;
            const bool last = got == 0;
            if (XML_Parse(parser_, piece.data(), static_cast<int>(got), last) == XML_STATUS_ERROR) {
                if (!failure_.empty()) return what = failure_, false;
                if (atDataList_) return true;
                what = "has a main.xml that is not well-formed XML (line " +
                       std::to_string(XML_GetCurrentLineNumber(parser_)) + ": " +
                       XML_ErrorString(XML_GetErrorCode(parser_)) + ")";
                return false;
            }
            if (last) return true;
        }
    }

  private:
    static void onStart(void* self, const char* name, const char**) {
        static_cast<DocumentWalk*>(self)->start(name);
    }
    static void onEnd(void* self, const char*) { static_cast<DocumentWalk*>(self)->end(); }
    static void onText(void* self, const char* text, int length) {
        static_cast<DocumentWalk*>(self)->text(std::string_view(text, length));
    }

    void fail(const std::string& what) {
        if (failure_.empty()) failure_ = what;
        XML_StopParser(parser_, XML_FALSE);
    }

    void start(const char* name) {
        if (names_.size() >= kDeepest)
            return fail("has a main.xml nested more than " + std::to_string(kDeepest) +
                        " elements deep");
        const std::string_view local = localName(name);
        if (names_.empty() && local != "ISO5436_2")
            return fail("has a main.xml whose root element is <" + printableExcerpt(name) +
                        ">, not the <ISO5436_2> of a surface file");
        names_.emplace_back(local);
        rebuildPath();
        text_.clear();
        collecting_ = datum_ ? path_ == kDatumPath : isHeaderPath(path_);
        if (header_ && path_ == kDataListPath) {
            header_->hasDataList = atDataList_ = true;
            XML_StopParser(parser_, XML_FALSE);
        }
    }

    void rebuildPath() {
        path_.clear();
        for (std::size_t k = 1; k < names_.size(); ++k) path_ += (k > 1 ? "/" : "") + names_[k];
    }

    void text(std::string_view piece) {
        if (!collecting_) return;
        const std::size_t limit = datum_ ? kLongestDatum : kLongestText;
        if (text_.size() + piece.size() > limit)
            return fail("has a main.xml whose element " + path_ + " holds more than " +
                        std::to_string(limit) + " bytes of text");
        text_ += piece;
    }

    void end() {
        if (collecting_) {
            const std::string_view value = trimCSpace(text_);
            std::string what;
            if (!datum_)
                keep(value);
            else if (!(*datum_)(value, what))
                fail(what);
        }
        collecting_ = false;
        text_.clear();
        names_.pop_back();
        rebuildPath();
    }

    // The header element at path_, with its text `value`.
    void keep(std::string_view value) {
        X3pHeader& h = *header_;
        const std::string axes = "Record1/Axes/";
        if (path_ == "Record1/FeatureType") {
            h.featureType = value;
        } else if (path_.compare(0, axes.size(), axes) == 0 && path_.size() > axes.size() + 3 &&
                   path_[axes.size()] == 'C' && path_[axes.size() + 2] == '/') {
            const char axisName = path_[axes.size() + 1];
            X3pAxis* axis = axisName == 'X'   ? &h.x
                            : axisName == 'Y' ? &h.y
                            : axisName == 'Z' ? &h.z
                                              : nullptr;
            const std::string field = path_.substr(axes.size() + 3);
            if (!axis) return;
            if (field == "AxisType") axis->axisType = value;
            if (field == "DataType") axis->dataType = value;
            if (field == "Increment" || field == "Offset") {
                double& number = field == "Increment" ? axis->increment : axis->offset;
                (field == "Increment" ? axis->hasIncrement : axis->hasOffset) = true;
                if (!finiteNumber(value, number)) notANumber(value);
            }
        } else if (path_ == "Record3/MatrixDimension/SizeX" ||
                   path_ == "Record3/MatrixDimension/SizeY" ||
                   path_ == "Record3/MatrixDimension/SizeZ") {
            const char which = path_.back();
            long long& size = which == 'X' ? h.sizeX : which == 'Y' ? h.sizeY : h.sizeZ;
            (which == 'X' ? h.hasSizeX : which == 'Y' ? h.hasSizeY : h.hasSizeZ) = true;
            if (!wholeCount(value, size)) notANumber(value);
        } else if (path_ == "Record3/DataLink/PointDataLink") {
            h.pointDataLink = value;
        } else if (path_ == "Record3/DataLink/MD5ChecksumPointData") {
            h.pointDataMd5 = value;
        } else if (path_ == "Record3/DataLink/ValidPointsLink") {
            h.validPointsLink = value;
        } else if (path_ == "Record4/ChecksumFile") {
            h.checksumFile = value;
        }
    }

    void notANumber(std::string_view value) {
        fail("has a main.xml whose " + path_ + " \"" + printableExcerpt(value) +
             "\" does not read as a number");
    }

    X3pHeader* header_;
    const Datum* datum_;
    XML_Parser parser_ = nullptr;
    std::vector<std::string> names_;
    std::string path_, text_, failure_;
    bool atDataList_ = false, collecting_ = false;
};

}  // namespace

bool readX3pHeader(const XmlPieceReader& read, X3pHeader& header, std::string& what) {
    header = X3pHeader();
    return DocumentWalk(&header, nullptr).run(read, what);
}

bool readX3pDataList(const XmlPieceReader& read,
                     const std::function<bool(std::string_view, std::string&)>& datum,
                     std::string& what) {
    return DocumentWalk(nullptr, &datum).run(read, what);
}
