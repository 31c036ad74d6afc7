// _vantrel: the engine for Python. The pure-Python package `vantrel` checks and converts the
// arguments; these functions take float64 arrays whose rows are contiguous, and plain numbers.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include "area_sweep.h"
#include "maps_binding.h"
#include "matrix_loader.h"
#include "matrix_view.h"
#include "multifractal_binding.h"
#include "python_host.h"
#include "scaling_analysis.h"
#include "surface_file.h"
#include "version.h"

namespace py = pybind11;

namespace {

using IntArray = py::array_t<int, py::array::c_style>;
using RectangleArray = py::array_t<long long, py::array::c_style>;

ComputeOptions computeOptions(bool fast, int threads) {
    ComputeOptions compute;
    compute.method = fast ? SurfaceMethod::kFast : SurfaceMethod::kExact;
    compute.threads = threads;
    return compute;
}

void checkAreasAndShifts(std::span<const int> areas, double nShift, double mShift) {
    if (auto problem = areaProblem(areas)) throw py::value_error(*problem);
    if (auto problem = shiftProblem(nShift, mShift)) throw py::value_error(*problem);
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
};

py::array_t<double> residuals(const MatrixView::Array& data, const IntArray& areas, double nShift,
                              double mShift, bool fast, bool optimise, bool normalise,
                              int threads) {
    const std::span<const int> list(areas.data(), static_cast<std::size_t>(areas.size()));
    checkAreasAndShifts(list, nShift, mShift);
    const MatrixView view(data);
    py::array_t<double> result(static_cast<py::ssize_t>(list.size()));
    double* sums = result.mutable_data();
    PythonHost host;
    {
        py::gil_scoped_release withoutGil;
        std::optional<NormalisedCopy> copy;
        const double* const* rows = view.rows();
        if (normalise) rows = copy.emplace(view).rows;
        AreaSweep sweep(rows, view.rowCount(), view.columnCount(), nShift, mShift, optimise, false,
                        computeOptions(fast, threads));
        const int count = static_cast<int>(list.size());
        for (int k = 0; k < count; ++k) {
            host.areaStarted(k, count, list[k]);
            sums[k] = sweep.residualOf(list[k]);
        }
    }
    return result;
}

py::array_t<double> surface(const MatrixView::Array& data, int area, double nShift, double mShift,
                            bool fast, bool optimise, int threads) {
    checkAreasAndShifts({&area, 1}, nShift, mShift);
    const MatrixView view(data);
    const int R = view.rowCount(), C = view.columnCount();
    py::array_t<double> result({static_cast<py::ssize_t>(R), static_cast<py::ssize_t>(C)});
    double* out = result.mutable_data();
    {
        py::gil_scoped_release withoutGil;
        AreaSweep sweep(view.rows(), R, C, nShift, mShift, optimise, true,
                        computeOptions(fast, threads));
        sweep.residualOf(area);
        for (int i = 0; i < R; ++i)
            std::copy(sweep.surface()[i], sweep.surface()[i] + C,
                      out + static_cast<std::size_t>(i) * C);
    }
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
    PythonHost host;
    {
        py::gil_scoped_release withoutGil;
        AreaSweep sweep(view.rows(), view.rowCount(), view.columnCount(), nShift, mShift, 1, true,
                        computeOptions(true, threads));
        const int count = static_cast<int>(list.size());
        for (int k = 0; k < count; ++k) {
            host.areaStarted(k, count, list[k]);
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
    }
    return result;
}

// The surface file read by the reader the command line would choose (`format` empty: by the
// file's content, then its name's ending). Raises ValueError with the reader's message, or
// OSError when the file cannot be read.
py::array_t<double> loadSurface(const std::string& path, const std::string& format, int band,
                                bool cropValid, int threads) {
    ReadOptions options;
    if (!format.empty() && !surfaceFormatFromName(format, options.format))
        throw py::value_error("format: '" + format +
                              "' is none of text, csv, npy, gsf, gwy and gdal");
    options.band = band;
    options.cropValid = cropValid;
    options.threads = threads;
    PythonHost host;
    RowTable rows = nullptr;
    int R = 0, C = 0;
    SurfaceUnits units;
    bool loaded;
    {
        py::gil_scoped_release withoutGil;
        loaded = loadSurfaceFile(host, path, options, rows, R, C, units);
    }
    if (!loaded) {
        if (host.unreadableError() != 0) {
            errno = host.unreadableError();
            PyErr_SetFromErrnoWithFilename(PyExc_OSError, path.c_str());
            throw py::error_already_set();
        }
        throw py::value_error(host.message().empty() ? "Error loading data" : host.message());
    }
    py::array_t<double> result({static_cast<py::ssize_t>(R), static_cast<py::ssize_t>(C)});
    double* out = result.mutable_data();
    // Each row is released as soon as it is copied, so the data are held about once.
    for (int i = 0; i < R; ++i) {
        std::memcpy(out + static_cast<std::size_t>(i) * C, rows[i], sizeof(double) * C);
        delete[] rows[i];
    }
    delete[] rows;
    return result;
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
    ScalingResult result;
    {
        py::gil_scoped_release withoutGil;
        result = analyseSurface(view.rows(), view.rowCount(), view.columnCount(), request);
    }
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
    addMultifractal(m);
    addMaps(m);
    m.def("window_geometry", &geometry, py::arg("area"), py::arg("n_shift"), py::arg("m_shift"),
          "(side, row offset, column offset) of an area's window");
}
