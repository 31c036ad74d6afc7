// vantrel._vantrel.multifractal: the analysis of `vantrel-cli multifractal`, the same request and
// the same function, as a dictionary of plain values and arrays.

#include "multifractal_binding.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include "matrix_view.h"
#include "multifractal_analysis.h"

namespace py = pybind11;

namespace {

py::array_t<double> array(const std::vector<double>& values) {
    py::array_t<double> out(static_cast<py::ssize_t>(values.size()));
    for (std::size_t k = 0; k < values.size(); ++k)
        out.mutable_at(static_cast<py::ssize_t>(k)) = values[k];
    return out;
}

py::dict multifractal(const MatrixView::Array& data, const std::vector<double>& q,
                      const std::vector<int>& sides, int fromSide, int toSide, bool measure,
                      double nShift, double mShift, int surrogates, std::uint64_t seed,
                      int threads) {
    for (double shift : {nShift, mShift})
        if (shift != -1.0 && !(shift >= 0.0 && shift <= 1.0))
            throw py::value_error("shift must hold two numbers between 0 and 1");
    const MatrixView view(data);
    const int R = view.rowCount(), C = view.columnCount();
    if (auto problem = multifractalProblem(view.rows(), R, C)) throw py::value_error(*problem);
    MultifractalRequest request;
    request.q = q;
    request.sides = sides;
    request.fromSide = fromSide;
    request.toSide = toSide;
    request.kind = measure ? ResidualKind::kMeasure : ResidualKind::kSurface;
    request.nShift = nShift;
    request.mShift = mShift;
    request.surrogates = surrogates;
    request.seed = seed;
    request.threads = threads;
    MultifractalResult result;
    {
        py::gil_scoped_release withoutGil;
        result = analyseMultifractal(view.rows(), R, C, request);
    }
    const Spectrum& s = result.spectrum;
    if (s.sides.empty()) throw py::value_error("No window side fits the surface");
    std::vector<int> side, boxes, zeroBoxes;
    py::array_t<double> logF(
        {static_cast<py::ssize_t>(s.sides.size()), static_cast<py::ssize_t>(s.q.size())});
    for (std::size_t i = 0; i < s.sides.size(); ++i) {
        side.push_back(s.sides[i].side);
        boxes.push_back(s.sides[i].boxes);
        zeroBoxes.push_back(s.sides[i].zeroBoxes);
        for (std::size_t k = 0; k < s.q.size(); ++k)
            logF.mutable_at(static_cast<py::ssize_t>(i), static_cast<py::ssize_t>(k)) =
                s.sides[i].logF[k];
    }
    py::dict out;
    out["rows"] = R;
    out["columns"] = C;
    out["measure"] = measure;
    out["shift"] = py::make_tuple(result.nShift, result.mShift);
    out["defined"] = result.defined();
    out["q"] = array(s.q);
    out["h"] = array(s.h);
    out["h_low"] = array(result.hLow);
    out["h_high"] = array(result.hHigh);
    out["tau"] = array(s.tau);
    out["alpha"] = array(s.alpha);
    out["f_alpha"] = array(s.fAlpha);
    out["intercept"] = array(s.intercept);
    out["width"] = result.width;
    out["alpha_width"] = result.alphaWidth;
    out["sides"] = side;
    out["boxes"] = boxes;
    out["zero_boxes"] = zeroBoxes;
    out["log_F"] = logF;
    out["surrogates"] = result.test.count;
    out["p_value"] = result.test.done ? py::object(py::float_(result.test.pValue)) : py::none();
    out["verdict"] = result.verdict();
    out["warnings"] = result.warnings;
    return out;
}

}  // namespace

void addMultifractal(py::module_& m) {
    m.def("multifractal", &multifractal, py::arg("data"), py::arg("q"), py::arg("sides"),
          py::arg("from_side"), py::arg("to_side"), py::arg("measure"), py::arg("n_shift"),
          py::arg("m_shift"), py::arg("surrogates"), py::arg("seed"), py::arg("threads"));
}
