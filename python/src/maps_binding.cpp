// vantrel._vantrel.hurst_map, map_plan and directional: the roughness map of `vantrel-cli map`
// and the directional exponents of `vantrel-cli analyse --directional`, the same requests and
// functions, as dictionaries of plain values and arrays. MapGeoTiff and output_clash: the map's
// GeoTIFF written a block of tile rows at a time, by the command's own writer and checks.

#include "maps_binding.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <optional>

#include "directional_analysis.h"
#include "hurst_map.h"
#include "map_files.h"
#include "matrix_view.h"
#include "output_check.h"
#include "raster_writer.h"

namespace py = pybind11;

namespace {

MapRequest mapRequest(int tile, int stride, int fromSide, int toSide, int threads) {
    MapRequest request;
    request.tile = tile;
    request.stride = stride;
    request.fromSide = fromSide;
    request.toSide = toSide;
    request.threads = threads;
    return request;
}

py::array_t<double> grid(const std::vector<double>& values, const MapLayout& layout) {
    py::array_t<double> out(
        {static_cast<py::ssize_t>(layout.tileRows), static_cast<py::ssize_t>(layout.tileColumns)});
    std::copy(values.begin(), values.end(), out.mutable_data());
    return out;
}

const char* axisName(WindowAxis axis) {
    switch (axis) {
        case WindowAxis::kAlongRows:
            return "rows";
        case WindowAxis::kAlongColumns:
            return "columns";
        default:
            return "square";
    }
}

// The tiles, sides and halo an R x C surface gets, or ValueError with the engine's words.
py::dict mapPlan(int R, int C, int tile, int stride, int fromSide, int toSide) {
    const MapRequest request = mapRequest(tile, stride, fromSide, toSide, 1);
    if (auto problem = mapProblem(R, C, request)) throw py::value_error(*problem);
    const MapLayout layout = mapLayout(R, C, tile, stride);
    const std::vector<int> sides = mapSides(request);
    py::dict plan;
    plan["tile_rows"] = layout.tileRows;
    plan["tile_columns"] = layout.tileColumns;
    plan["sides"] = sides;
    plan["halo"] = mapHalo(sides);
    return plan;
}

py::dict hurstMap(const MatrixView::Array& data, int tile, int stride, int fromSide, int toSide,
                  bool directional, int threads) {
    const MatrixView view(data);
    const int R = view.rowCount(), C = view.columnCount();
    const MapRequest request = mapRequest(tile, stride, fromSide, toSide, threads);
    if (auto problem = mapProblem(R, C, request)) throw py::value_error(*problem);
    std::vector<WindowAxis> axes = {WindowAxis::kSquare};
    if (directional)
        axes = {WindowAxis::kSquare, WindowAxis::kAlongRows, WindowAxis::kAlongColumns};
    std::vector<HurstMap> maps;
    {
        py::gil_scoped_release withoutGil;
        maps = computeHurstMaps(view.rows(), R, C, request, axes);
    }
    py::dict out;
    out["sides"] = maps.front().sides;
    out["halo"] = mapHalo(maps.front().sides);
    for (const HurstMap& map : maps) {
        std::vector<double> flags(map.flags.begin(), map.flags.end());
        py::dict one;
        one["hurst"] = grid(map.hurst, map.layout);
        one["low"] = grid(map.low, map.layout);
        one["high"] = grid(map.high, map.layout);
        one["cells"] = grid(map.cells, map.layout);
        one["flags"] = grid(flags, map.layout);
        out[axisName(map.axis)] = one;
    }
    return out;
}

py::dict directionalExponents(const MatrixView::Array& data, const std::vector<int>& sides,
                              int fromSide, int toSide, int threads) {
    const MatrixView view(data);
    if (auto problem = scalingProblem(view.rowCount(), view.columnCount()))
        throw py::value_error(*problem);
    ScalingRequest request;
    request.sides = sides;
    request.fromSide = fromSide;
    request.toSide = toSide;
    request.compute.threads = threads;
    DirectionalResult result;
    {
        py::gil_scoped_release withoutGil;
        result = analyseDirections(view.rows(), view.rowCount(), view.columnCount(), request);
    }
    auto estimate = [](bool defined, double value, double low, double high) -> py::object {
        if (!defined) return py::none();
        return py::make_tuple(value, low, high);
    };
    py::dict out;
    out["hurst_rows"] =
        estimate(result.rows.defined, result.rows.hurst, result.rows.low, result.rows.high);
    out["hurst_columns"] = estimate(result.columns.defined, result.columns.hurst,
                                    result.columns.low, result.columns.high);
    out["anisotropy"] = estimate(result.defined, result.anisotropy, result.low, result.high);
    std::vector<std::string> warnings = result.rows.warnings;
    for (const std::string& w : result.columns.warnings)
        if (std::find(warnings.begin(), warnings.end(), w) == warnings.end()) warnings.push_back(w);
    out["warnings"] = warnings;
    return out;
}

[[noreturn]] void raiseOsError(const std::string& message) {
    PyErr_SetString(PyExc_OSError, message.c_str());
    throw py::error_already_set();
}

// The GeoTIFF of a map computed in blocks of tile rows (vantrel.dask.hurst_map). Its bands, their
// names and order, the nodata value and the placement are those of `vantrel-cli map --output
// x.tif`: the same mapBands, mapPlacement and GeoTIFF writer make them.
class MapGeoTiff {
  public:
    using Grid = py::array_t<double, py::array::c_style | py::array::forcecast>;

    MapGeoTiff(const std::string& path, int tileRows, int tileColumns, int tile, int stride,
               const std::optional<std::vector<double>>& geoTransform, const std::string& crs,
               bool directional) {
        layout_.tile = tile;
        layout_.stride = stride;
        layout_.tileRows = tileRows;
        layout_.tileColumns = tileColumns;
        if (directional)
            axes_ = {WindowAxis::kSquare, WindowAxis::kAlongRows, WindowAxis::kAlongColumns};
        double transform[6] = {0.0, 1.0, 0.0, 0.0, 0.0, 1.0};
        if (geoTransform) {
            if (geoTransform->size() != 6)
                throw py::value_error("a geotransform has 6 coefficients");
            std::copy(geoTransform->begin(), geoTransform->end(), transform);
        }
        const RasterPlacement placement =
            mapPlacement(layout_, geoTransform.has_value(), transform, crs);
        std::vector<std::string> names;
        for (const RasterBand& band : mapBands(block(0))) names.push_back(band.name);
        std::string error;
        if (!writer_.open(path, tileRows, tileColumns, names, placement, error))
            raiseOsError(error);
    }

    // Writes the tile rows from `firstTileRow` on: `part` maps each axis ("square", and "rows"
    // and "columns" when directional) to its hurst, low, high, cells and flags, each a block of
    // whole tile rows.
    void write(int firstTileRow, const py::dict& part) {
        int count = -1;
        std::vector<HurstMap> maps = block(0);
        for (HurstMap& map : maps) {
            const py::dict arrays = part[axisName(map.axis)].cast<py::dict>();
            auto take = [&](const char* name, std::vector<double>& into) {
                const Grid values = arrays[name].cast<Grid>();
                if (values.ndim() != 2 || values.shape(1) != layout_.tileColumns ||
                    (count >= 0 && values.shape(0) != count))
                    throw py::value_error(std::string(name) + " is not a block of whole tile rows");
                count = static_cast<int>(values.shape(0));
                into.assign(values.data(), values.data() + values.size());
            };
            std::vector<double> flags;
            take("hurst", map.hurst);
            take("low", map.low);
            take("high", map.high);
            take("cells", map.cells);
            take("flags", flags);
            map.flags.assign(flags.begin(), flags.end());
        }
        const std::vector<RasterBand> bands = mapBands(maps);
        std::string error;
        bool written;
        {
            py::gil_scoped_release withoutGil;
            written = writer_.writeRows(firstTileRow, std::max(count, 0), bands, error);
        }
        if (!written) raiseOsError(error);
    }

    void close() {
        std::string error;
        if (!writer_.close(error)) raiseOsError(error);
    }

  private:
    // Maps of the axes with `tileRows` rows, for mapBands.
    std::vector<HurstMap> block(int tileRows) const {
        std::vector<HurstMap> maps;
        for (WindowAxis axis : axes_) {
            HurstMap map;
            map.axis = axis;
            map.layout = layout_;
            map.layout.tileRows = tileRows;
            maps.push_back(map);
        }
        return maps;
    }

    MapLayout layout_;
    std::vector<WindowAxis> axes_ = {WindowAxis::kSquare};
    GeoTiffWriter writer_;
};

// The message that an output is one of the inputs (names as the system's bytes), or None.
std::optional<py::bytes> outputClash(const std::vector<std::string>& inputs,
                                     const std::vector<std::string>& outputs) {
    if (auto clash = outputThatIsAnInput(inputs, outputs)) return py::bytes(*clash);
    return std::nullopt;
}

}  // namespace

void addMaps(py::module_& m) {
    m.def("map_plan", &mapPlan, py::arg("rows"), py::arg("columns"), py::arg("tile"),
          py::arg("stride"), py::arg("from_side"), py::arg("to_side"));
    m.def("hurst_map", &hurstMap, py::arg("data"), py::arg("tile"), py::arg("stride"),
          py::arg("from_side"), py::arg("to_side"), py::arg("directional"), py::arg("threads"));
    m.def("directional", &directionalExponents, py::arg("data"), py::arg("sides"),
          py::arg("from_side"), py::arg("to_side"), py::arg("threads"));
    py::class_<MapGeoTiff>(m, "MapGeoTiff")
        .def(py::init<const std::string&, int, int, int, int,
                      const std::optional<std::vector<double>>&, const std::string&, bool>(),
             py::arg("path"), py::arg("tile_rows"), py::arg("tile_columns"), py::arg("tile"),
             py::arg("stride"), py::arg("geotransform"), py::arg("crs"), py::arg("directional"))
        .def("write", &MapGeoTiff::write, py::arg("first_tile_row"), py::arg("part"))
        .def("close", &MapGeoTiff::close);
    m.def("output_clash", &outputClash, py::arg("inputs"), py::arg("outputs"));
}
