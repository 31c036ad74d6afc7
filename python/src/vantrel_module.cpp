// _vantrel: the engine for Python. The pure-Python package `vantrel` checks and converts the
// arguments; these functions take float64 arrays whose rows are contiguous, and plain numbers.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "area_sweep.h"
#include "cancellable_call.h"
#include "cancellation_estimate.h"
#include "collecting_host.h"
#include "length_unit.h"
#include "maps_binding.h"
#include "matrix_loader.h"
#include "matrix_view.h"
#include "missing_values.h"
#include "multifractal_binding.h"
#include "scaling_analysis.h"
#include "surface_file.h"
#include "system.h"
#include "version.h"

namespace py = pybind11;

namespace {

using IntArray = py::array_t<int, py::array::c_style>;
using RectangleArray = py::array_t<long long, py::array::c_style>;

ComputeOptions computeOptions(bool fast, int threads, const CancelToken& token) {
    ComputeOptions compute;
    compute.method = fast ? SurfaceMethod::kFast : SurfaceMethod::kExact;
    compute.threads = threads;
    compute.cancel = &token;
    return compute;
}

void checkAreasAndShifts(std::span<const int> areas, double nShift, double mShift) {
    if (auto problem = areaProblem(areas)) throw py::value_error(*problem);
    if (auto problem = shiftProblem(nShift, mShift)) throw py::value_error(*problem);
}

std::string shapeText(int R, int C) {
    return std::to_string(R) + " x " + std::to_string(C);
}

// What residuals and surface refuse before computing anything: the engine's words for areas and
// shifts, then a window that leaves nothing to compute in an R x C matrix. A residual needs a
// side below both counts (the block is (R - s) x (C - s)); a surface needs one within them.
void checkRequest(std::span<const int> areas, double nShift, double mShift, int R, int C,
                  bool forSurface) {
    checkAreasAndShifts(areas, nShift, mShift);
    for (int area : areas) {
        const int side = windowGeometry(area, nShift, mShift).side;
        if (forSurface ? side <= R && side <= C : side < R && side < C) continue;
        throw py::value_error(
            "Area " + std::to_string(area) + " has a window of side " + std::to_string(side) +
            ", " + (forSurface ? "larger than" : "not smaller than") + " the data (" +
            shapeText(R, C) + "): " +
            (forSurface ? "no cell has a window mean" : "its residual sum would hold no cell"));
    }
}

// A copy of the data rescaled to [-1, 1] as a run with normalise does it; the caller's array is
// left as it was.
struct NormalisedCopy {
    RowTable rows = nullptr;
    int R = 0, C = 0;
    explicit NormalisedCopy(const MatrixView& view) : R(view.rowCount()), C(view.columnCount()) {
        allocateMatrix(rows, R, C);
        for (int i = 0; i < R; ++i) std::copy(view.rows()[i], view.rows()[i] + C, rows[i]);
        normaliseMatrix(rows, R, C);
    }
    ~NormalisedCopy() { freeMatrix(rows, R, C); }
    NormalisedCopy(const NormalisedCopy&) = delete;
    NormalisedCopy& operator=(const NormalisedCopy&) = delete;
};

py::array_t<double> residuals(const MatrixView::Array& data, const IntArray& areas, double nShift,
                              double mShift, bool fast, bool optimise, bool normalise,
                              int threads) {
    const std::span<const int> list(areas.data(), static_cast<std::size_t>(areas.size()));
    const MatrixView view(data);
    checkRequest(list, nShift, mShift, view.rowCount(), view.columnCount(), false);
    py::array_t<double> result(static_cast<py::ssize_t>(list.size()));
    double* sums = result.mutable_data();
    CancelToken token;
    runCancellable(token, [&] {
        std::optional<NormalisedCopy> copy;
        const double* const* rows = view.rows();
        if (normalise) rows = copy.emplace(view).rows;
        AreaSweep sweep(rows, view.rowCount(), view.columnCount(), nShift, mShift, optimise, false,
                        computeOptions(fast, threads, token));
        for (std::size_t k = 0; k < list.size(); ++k) sums[k] = sweep.residualOf(list[k]);
    });
    return result;
}

// Cells outside the computed region have no window mean: they are NaN, so that no one takes them
// for data.
py::array_t<double> surface(const MatrixView::Array& data, int area, double nShift, double mShift,
                            bool fast, bool optimise, int threads) {
    const MatrixView view(data);
    const int R = view.rowCount(), C = view.columnCount();
    checkRequest({&area, 1}, nShift, mShift, R, C, true);
    py::array_t<double> result({static_cast<py::ssize_t>(R), static_cast<py::ssize_t>(C)});
    double* out = result.mutable_data();
    CancelToken token;
    runCancellable(token, [&] {
        AreaSweep sweep(view.rows(), R, C, nShift, mShift, optimise, true,
                        computeOptions(fast, threads, token));
        sweep.residualOf(area);
        const ComputedRegion region = computedRegion(windowGeometry(area, nShift, mShift), R, C);
        const double none = std::numeric_limits<double>::quiet_NaN();
        for (int i = 0; i < R; ++i) {
            double* row = out + static_cast<std::size_t>(i) * C;
            if (i < region.firstRow || i > region.lastRow) {
                std::fill(row, row + C, none);
                continue;
            }
            std::fill(row, row + region.firstColumn, none);
            std::copy(sweep.surface()[i] + region.firstColumn,
                      sweep.surface()[i] + region.lastColumn + 1, row + region.firstColumn);
            std::fill(row + region.lastColumn + 1, row + C, none);
        }
    });
    return result;
}

// For each area k, the sum of (S - M)^2 by the fast method over the cells of rectangle k (first
// row, end row, first column, end column, ends excluded), row by row: a part of a larger
// matrix's residual sum, taken from a block that carries enough of its neighbours.
py::array_t<double> fastResidualsWithin(const MatrixView::Array& data, const IntArray& areas,
                                        const RectangleArray& rectangles, double nShift,
                                        double mShift, int threads) {
    const std::span<const int> list(areas.data(), static_cast<std::size_t>(areas.size()));
    checkAreasAndShifts(list, nShift, mShift);
    if (rectangles.ndim() != 2 || rectangles.shape(0) != areas.size() || rectangles.shape(1) != 4)
        throw py::value_error("one rectangle of four bounds is needed per area");
    const MatrixView view(data);
    py::array_t<double> result(static_cast<py::ssize_t>(list.size()));
    double* sums = result.mutable_data();
    const long long* bounds = rectangles.data();
    CancelToken token;
    runCancellable(token, [&] {
        AreaSweep sweep(view.rows(), view.rowCount(), view.columnCount(), nShift, mShift, 1, true,
                        computeOptions(true, threads, token));
        for (std::size_t k = 0; k < list.size(); ++k) {
            sweep.residualOf(list[k]);
            const long long* b = bounds + 4 * k;
            const long long lastRow = std::min<long long>(b[1], view.rowCount());
            const long long lastColumn = std::min<long long>(b[3], view.columnCount());
            double sum = 0.0;
            for (long long i = std::max(0LL, b[0]); i < lastRow; ++i)
                for (long long j = std::max(0LL, b[2]); j < lastColumn; ++j) {
                    const double difference = sweep.surface()[i][j] - view.rows()[i][j];
                    sum += difference * difference;
                }
            sums[k] = sum;
        }
    });
    return result;
}

// The engine's check before a run, for vantrel.dask, which reads nothing before it knows the
// request is sound.
void checkResidualRequest(const IntArray& areas, double nShift, double mShift, int R, int C) {
    checkRequest({areas.data(), static_cast<std::size_t>(areas.size())}, nShift, mShift, R, C,
                 false);
}

// Text from the engine, which may hold a file name in the system's bytes, as a Python string
// whose undecodable bytes come back as os.fsdecode gives them.
py::str pythonText(const std::string& text) {
    PyObject* decoded =
        PyUnicode_DecodeFSDefaultAndSize(text.data(), static_cast<Py_ssize_t>(text.size()));
    if (!decoded) throw py::error_already_set();
    return py::reinterpret_steal<py::str>(decoded);
}

[[noreturn]] void raiseValueError(const std::string& text) {
    PyErr_SetObject(PyExc_ValueError, pythonText(text).ptr());
    throw py::error_already_set();
}

// The surface file read by the reader the command line would choose (`format` empty: by the
// file's content, then its name's ending), with what the reader said on the way (the rectangle
// crop_valid kept), for a warning, and what the file says of its grid. Raises ValueError with the
// reader's message, or OSError when the file cannot be read. `path` holds the name's bytes, as
// os.fsencode gives them.
std::tuple<py::array_t<double>, py::str, py::dict> loadSurface(const py::bytes& path,
                                                               const std::string& format, int band,
                                                               bool cropValid, int threads) {
    const std::string name = path;
    ReadOptions options;
    if (!format.empty() && !surfaceFormatFromName(format, options.format))
        throw py::value_error("format: '" + format +
                              "' is none of text, csv, npy, gsf, gwy, x3p and gdal");
    options.band = band;
    options.cropValid = cropValid;
    options.threads = threads;
    CollectingHost host;
    // The matrix owns its storage: it is released however this function ends, a NumPy array
    // that cannot be allocated included.
    std::optional<DataMatrix> matrix;
    runCancellable(host.token(), [&] { matrix = loadSurfaceFile(host, name, options); });
    if (!matrix) {
        if (host.unreadableError() != 0) {
            errno = host.unreadableError();
            PyErr_SetFromErrnoWithFilenameObject(PyExc_OSError, path.ptr());
            throw py::error_already_set();
        }
        raiseValueError(host.said().empty() ? "Error loading data" : host.said().front());
    }
    const int R = matrix->rowCount(), C = matrix->columnCount();
    py::array_t<double> result({static_cast<py::ssize_t>(R), static_cast<py::ssize_t>(C)});
    double* out = result.mutable_data();
    // Each row is released as soon as it is copied, so the data are held about once.
    for (int i = 0; i < R; ++i) {
        std::memcpy(out + static_cast<std::size_t>(i) * C, (*matrix)[i], sizeof(double) * C);
        matrix->releaseRow(i);
    }
    const SurfaceUnits& units = matrix->units;
    py::dict grid;
    grid["pixel_width"] = units.pixelWidth;
    grid["pixel_height"] = units.pixelHeight;
    grid["lateral_unit"] = pythonText(units.lateralUnit);
    grid["value_unit"] = pythonText(units.valueUnit);
    grid["geotransform"] =
        units.hasGeoTransform
            ? py::object(py::make_tuple(units.geoTransform[0], units.geoTransform[1],
                                        units.geoTransform[2], units.geoTransform[3],
                                        units.geoTransform[4], units.geoTransform[5]))
            : py::object(py::none());
    grid["crs"] = pythonText(units.crsWkt);
    return {result, pythonText(host.saidText()), grid};
}

// The scaling analysis of `vantrel-cli analyse`: the same request, the same function, as a
// dictionary of plain values and arrays. `sides` given: those sides, all fitted; else
// `fromSide` > 0: odd sides over that range; else the defaults.
py::dict analyse(const MatrixView::Array& data, const std::vector<int>& sides, int fromSide,
                 int toSide, bool fast, double nShift, double mShift, int threads) {
    if (auto problem = shiftProblem(nShift, mShift)) throw py::value_error(*problem);
    const MatrixView view(data);
    if (auto problem = scalingProblem(view.rowCount(), view.columnCount()))
        throw py::value_error(*problem);
    ScalingRequest request;
    request.sides = sides;
    request.fromSide = fromSide;
    request.toSide = toSide;
    request.compute.method = fast ? SurfaceMethod::kFast : SurfaceMethod::kExact;
    request.compute.nShift = nShift;
    request.compute.mShift = mShift;
    request.compute.threads = threads;
    CancelToken token;
    request.compute.cancel = &token;
    ScalingResult result;
    runCancellable(token, [&] {
        result = analyseSurface(view.rows(), view.rowCount(), view.columnCount(), request);
    });
    const std::vector<ScalingPoint>& points = result.table.points;
    if (points.empty()) throw py::value_error("No window side fits the surface");

    const auto n = static_cast<py::ssize_t>(points.size());
    py::array_t<int> side(n);
    py::array_t<long long> area(n);
    py::array_t<double> residual(n), sigma2(n);
    py::array_t<bool> fitted(n);
    for (py::ssize_t k = 0; k < n; ++k) {
        const ScalingPoint& p = points[static_cast<std::size_t>(k)];
        side.mutable_at(k) = p.side;
        area.mutable_at(k) = p.area;
        residual.mutable_at(k) = p.residual;
        sigma2.mutable_at(k) = p.sigma2;
        fitted.mutable_at(k) = p.fitted;
    }
    py::dict out;
    out["rows"] = result.table.rows;
    out["columns"] = result.table.columns;
    out["defined"] = result.defined;
    out["hurst"] = result.hurst;
    out["low"] = result.low;
    out["high"] = result.high;
    out["fractal_dimension"] = result.fractalDimension();
    out["fit_valid"] = result.fit.valid;
    out["fit_first_side"] = result.fit.firstSide;
    out["fit_last_side"] = result.fit.lastSide;
    out["fit_points"] = result.fit.points;
    out["fit_slope"] = 2.0 * result.fit.hurst;
    out["fit_intercept"] = result.fit.intercept;
    out["warnings"] = result.warnings;
    out["warning_codes"] = result.warningCodes;
    out["bias_corrected"] = result.biasCorrected;
    out["side"] = side;
    out["area"] = area;
    out["residual"] = residual;
    out["sigma2"] = sigma2;
    out["fitted"] = fitted;
    return out;
}

// Throws MatrixTooLarge (MemoryError) when a surface of R x C will not fit, as the engine would
// when it allocates one: before the data are read in full for their missing cells.
void checkSurfaceMemory(int R, int C) {
    const unsigned long long cells = static_cast<unsigned long long>(R) * (C + 1ull);
    const unsigned long long available = availableMemoryBytes();
    if (available != 0 && cells > available / sizeof(double)) throw MatrixTooLarge(R, C);
}

// What the exact sums lose to the data's mean (cancellation_estimate.h): the mean over the
// spread, the digits lost, and the relative error expected of residuals up to the largest side.
std::tuple<double, double, double> lostDigits(const MatrixView::Array& data, int largestSide) {
    const MatrixView view(data);
    DataMoments moments;
    {
        py::gil_scoped_release withoutGil;
        moments = dataMoments(view.rows(), view.rowCount(), view.columnCount());
    }
    const double ratio = moments.spread > 0.0 ? std::fabs(moments.mean) / moments.spread : 0.0;
    return {ratio, digitsLostToTheMean(moments), expectedRelativeError(moments, largestSide)};
}

// The largest rectangle of cells that are not NaN, as (top, left, rows, columns).
std::tuple<int, int, int, int> validRectangle(const MatrixView::Array& data) {
    const MatrixView view(data);
    GridRectangle keep;
    {
        py::gil_scoped_release withoutGil;
        keep = largestValidRectangle(view.rows(), view.rowCount(), view.columnCount());
    }
    return {keep.top, keep.left, keep.rows, keep.columns};
}

// A length unit's symbol and its size as a power of ten of the metre, for a spelling the readers
// know ("um", "micron", "Å", ...); None for any other text.
std::optional<std::tuple<std::string, int>> lengthUnit(const std::string& text) {
    const std::optional<LengthUnit> unit = lengthUnitOf(text);
    if (!unit) return std::nullopt;
    return std::tuple<std::string, int>{unit->symbol, unit->powerOfTen};
}

std::tuple<int, int, int> geometry(int area, double nShift, double mShift) {
    const WindowGeometry g = windowGeometry(area, nShift, mShift);
    return {g.side, g.rowOffset, g.columnOffset};
}

}  // namespace

PYBIND11_MODULE(_vantrel, m) {
    m.doc() = "The Vantrel engine; use the package `vantrel`, which checks the arguments.";
    m.attr("__version__") = kVantrelVersion;
    m.def("residuals", &residuals, py::arg("data"), py::arg("areas"), py::arg("n_shift"),
          py::arg("m_shift"), py::arg("fast"), py::arg("optimise"), py::arg("normalise"),
          py::arg("threads"));
    m.def("surface", &surface, py::arg("data"), py::arg("area"), py::arg("n_shift"),
          py::arg("m_shift"), py::arg("fast"), py::arg("optimise"), py::arg("threads"));
    m.def("fast_residuals_within", &fastResidualsWithin, py::arg("data"), py::arg("areas"),
          py::arg("rectangles"), py::arg("n_shift"), py::arg("m_shift"), py::arg("threads"));
    m.def("load_surface", &loadSurface, py::arg("path"), py::arg("format"), py::arg("band"),
          py::arg("crop_valid"), py::arg("threads"));
    m.def("analyse", &analyse, py::arg("data"), py::arg("sides"), py::arg("from_side"),
          py::arg("to_side"), py::arg("fast"), py::arg("n_shift"), py::arg("m_shift"),
          py::arg("threads"));
    m.def("check_residual_request", &checkResidualRequest, py::arg("areas"), py::arg("n_shift"),
          py::arg("m_shift"), py::arg("rows"), py::arg("columns"));
    m.def("check_surface_memory", &checkSurfaceMemory, py::arg("rows"), py::arg("columns"));
    m.def("lost_digits", &lostDigits, py::arg("data"), py::arg("largest_side"),
          "(|mean| / spread, digits lost, expected relative error) of the exact sums");
    m.def("valid_rectangle", &validRectangle, py::arg("data"),
          "(top, left, rows, columns) of the largest rectangle without NaN");
    addMultifractal(m);
    addMaps(m);
    m.def("length_unit", &lengthUnit, py::arg("text"),
          "(symbol, power of ten of the metre) of a known spelling of a length unit, or None");
    m.def("window_geometry", &geometry, py::arg("area"), py::arg("n_shift"), py::arg("m_shift"),
          "(side, row offset, column offset) of an area's window");
}
