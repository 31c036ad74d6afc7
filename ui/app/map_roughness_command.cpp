// "Map roughness...": the roughness map of the input file, with the command line's tiles and
// sides, shown as a figure in the plot window. The file is read on a thread of its own while
// the dialog stays alive; Escape or the close box stop it. Nothing is written unless the user
// saves the plot, and never over the input.

#include <new>

#include "background_run_host.h"
#include "hurst_map.h"
#include "main_dialog.h"
#include "map_figure.h"
#include "map_files.h"
#include "map_summary.h"
#include "platform.h"
#include "plot_saving.h"
#include "quiet_load_host.h"
#include "surface_file.h"

namespace {

// What the work on its thread leaves for the windows' thread: the maps, or why there are none.
struct MapOutcome {
    std::vector<HurstMap> maps;
    SurfaceUnits units;
    std::string failure;
    std::string said;  // what the reader said on the way
};

// Reads the surface as any reader takes it, with missing values kept (the tiles they reach stay
// empty), and maps it with the command line's defaults.
void mapSurface(const std::string& input, RunHost& host, const CancelToken& cancel,
                MapOutcome& outcome) {
    QuietLoadHost quiet(host, &cancel);
    ReadOptions read;
    read.keepMissing = true;
    const std::optional<DataMatrix> data = loadSurfaceFile(quiet, input, read);
    outcome.said = quiet.said;
    if (!data) {
        // Without words of the reader's, the note adds the file and the system's reason.
        outcome.failure = quiet.said.empty() ? "Error loading data"
                                             : "Error loading data\n\n" + input + "\n" + quiet.said;
        return;
    }
    MapRequest request;
    request.stride = request.tile / 2;
    request.cancel = &cancel;
    const int R = data->rowCount(), C = data->columnCount();
    if (auto problem = mapProblem(R, C, request)) {
        outcome.failure = "Cannot map " + input + ": " + *problem;
        return;
    }
    outcome.maps = computeHurstMaps(data->rows(), R, C, request, {WindowAxis::kSquare});
    outcome.units = data->units;
    // A request that came after the last row block still means the user wants no window.
    throwIfCancelled(&cancel);
}

// Why a map with no value in any tile shows nothing.
std::string emptyMapText(const HurstMap& map, const std::string& input) {
    bool allMissing = true;
    for (std::uint8_t flags : map.flags) allMissing = allMissing && (flags & kMapMissing) != 0;
    if (allMissing)
        return "Every tile of " + input +
               " holds or reaches a missing value: there is no roughness to map.";
    return "No tile of " + input +
           " has a Hurst exponent: its residuals are 0 or too few in every tile.";
}

}  // namespace

void MainDialog::OnMapRoughness() {
    updateData(true);
    const std::string input = settings_.inputFile;
    if (input.empty())
        return showMessage(
            "Map roughness needs a surface file: type its name in Input file, or choose it with "
            "the \"...\" button beside it.");
    loadNote_.begin(input);
    MapOutcome outcome;
    {
        // The title and the state are back to idle before any message is shown.
        cancel_.reset();
        BackgroundRunHost host(*this, platform(), cancel_);
        running_ = mapping_ = true;
        showBusyTitle("mapping roughness");
        struct MappingEnds {
            MainDialog& dialog;
            ~MappingEnds() {
                dialog.running_ = dialog.mapping_ = false;
                dialog.showProgress(0, 0);
                dialog.cancel_.reset();
            }
        } mappingEnds{*this};
        try {
            platform().runInBackground([&] { mapSurface(input, host, cancel_, outcome); }, {});
        } catch (const RunCancelled&) {
            outcome.failure = "Map roughness was stopped: there is no map of " + input + ".";
        } catch (const std::bad_alloc&) {
            outcome.failure = "Out of memory.";
        }
    }
    if (!outcome.failure.empty()) return showMessage(outcome.failure);
    if (tilesWithValue(outcome.maps.front()) == 0)
        return showMessage(emptyMapText(outcome.maps.front(), input));

    PlotWindowRequest plot;
    plot.title = "Map roughness";
    plot.scene = layoutFigure(mapFigure(outcome.maps, mapScaleOf(outcome.units)));
    plot.summary = mapSummary(outcome.maps, input);
    if (!outcome.said.empty()) plot.summary += outcome.said + "\n";
    if (!outcome.units.note.empty()) plot.summary += "Note: " + outcome.units.note + "\n";
    const RasterPlacement placement =
        mapPlacement(outcome.maps.front().layout, outcome.units.hasGeoTransform,
                     outcome.units.geoTransform, outcome.units.crsWkt);
    plot.copyText = plot.summary + "\n" + mapCsv(outcome.maps, placement);
    plot.saveFilter = plotSaveFilter(platform());
    // The window may be kept (the test platform keeps it): the button holds its own scene.
    Platform& system = platform();
    plot.save = [&system, scene = plot.scene, input](const std::string& path) {
        return savePlotScene(system, scene, path, {input});
    };
    platform().showPlot(plot);
}
