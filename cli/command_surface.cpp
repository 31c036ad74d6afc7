#include "command_surface.h"

#include <cstdio>

#include "collecting_host.h"

bool loadCommandSurface(const std::string& file, const ReadOptions& read, DataMatrix& data,
                        SurfaceUnits& units, std::string& error) {
    CollectingHost host;
    if (loadSurfaceFile(host, file, read, data.rows, data.rowCount, data.columnCount, units)) {
        if (!host.said().empty()) std::fprintf(stderr, "%s\n", host.saidText().c_str());
        return true;
    }
    const std::string reason = host.failureText();
    error = "Cannot load the surface " + file + (reason.empty() ? "" : ": " + reason);
    return false;
}
