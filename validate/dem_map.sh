#!/usr/bin/env bash
# The DEM example of docs/maps.md: the 3 arc-second terrain model around the Jacksboro fault
# (Tennessee) that Debian's python-matplotlib-data ships, turned into a GeoTIFF in its own
# geographic coordinates, then mapped with tiles of 64 cells every 16.
#   validate/dem_map.sh VANTREL_CLI OUT_DIR
# Writes OUT_DIR/maps-dem.png (the map), OUT_DIR/maps-dem-relief.png (shaded relief on the same
# frame) and prints the map's summary and the directional analysis.
set -euo pipefail
cli=$1
out=$2
sample=/usr/share/matplotlib/mpl-data/sample_data/jacksboro_fault_dem.npz
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

/usr/bin/python3 - "$sample" "$work/jacksboro.tif" "$out/maps-dem-relief.png" <<'PY'
import sys
import matplotlib
matplotlib.use("Agg")
import matplotlib.pyplot as plt
import numpy as np
from matplotlib.colors import LightSource
from osgeo import gdal, osr

sample, tif, relief = sys.argv[1:]
dem = np.load(sample)
z = dem["elevation"].astype(np.float32)
step = float(dem["dx"])
west = float(dem["xmin"])
north = max(float(dem["ymin"]), float(dem["ymax"]))  # the first row is the northern edge
raster = gdal.GetDriverByName("GTiff").Create(tif, z.shape[1], z.shape[0], 1, gdal.GDT_Float32)
raster.SetGeoTransform((west, step, 0.0, north, 0.0, -step))
wgs84 = osr.SpatialReference()
wgs84.ImportFromEPSG(4326)
raster.SetProjection(wgs84.ExportToWkt())
raster.GetRasterBand(1).WriteArray(z)
raster.GetRasterBand(1).SetUnitType("m")
raster = None

# Cells are about 74.6 m east-west and 92.5 m north-south here; vert_exag uses the mean.
shaded = LightSource(azdeg=315, altdeg=45).shade(z, cmap=plt.cm.gist_earth, blend_mode="overlay",
                                                  vert_exag=1.0, dx=83.5, dy=83.5)
figure, axes = plt.subplots(figsize=(5, 4), dpi=100)
axes.imshow(shaded, extent=(west, west + step * z.shape[1], north - step * z.shape[0], north))
axes.set_title("Elevation 236 to 1076 m, shaded from the north-west", fontsize=9)
axes.set_xlabel("longitude (degree)")
axes.set_ylabel("latitude (degree)")
figure.tight_layout()
figure.savefig(relief)
PY

"$cli" map "$work/jacksboro.tif" --tile 64 --stride 16 --output "$out/maps-dem.png"
"$cli" analyse "$work/jacksboro.tif" --directional
