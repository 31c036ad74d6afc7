// vantrel._vantrel.hurst_map, map_plan and directional: the roughness map of `vantrel-cli map`
// and the directional exponents of `vantrel-cli analyse --directional`, the same requests and
// functions, as dictionaries of plain values and arrays.

#include "maps_binding.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include "directional_analysis.h"
#include "hurst_map.h"
#include "matrix_view.h"

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

}  // namespace

void addMaps(py::module_& m) {
    m.def("map_plan", &mapPlan, py::arg("rows"), py::arg("columns"), py::arg("tile"),
          py::arg("stride"), py::arg("from_side"), py::arg("to_side"));
    m.def("hurst_map", &hurstMap, py::arg("data"), py::arg("tile"), py::arg("stride"),
          py::arg("from_side"), py::arg("to_side"), py::arg("directional"), py::arg("threads"));
    m.def("directional", &directionalExponents, py::arg("data"), py::arg("sides"),
          py::arg("from_side"), py::arg("to_side"), py::arg("threads"));
}
