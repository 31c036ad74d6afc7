"""Vantrel beyond one machine's memory and one file at a time, with Dask.

`from_file` opens a data file as a dask.array read a block at a time. `residuals` sums the
residuals of a dask.array block by block, each block carrying a halo of the largest window side,
so the array never needs to fit in memory. `analyse_files` analyses many data files on a
dask.distributed cluster, one result per file. `hurst_map` maps the roughness of a dask.array
or a data file block by block on a cluster, equal to the in-memory map, and writes it as a
GeoTIFF a row of blocks at a time.
"""

from __future__ import annotations

import contextlib
import os
import traceback
from dataclasses import dataclass
from typing import Any, Iterable, Iterator, List, Optional, Sequence, Tuple, Union

import numpy as np

from . import Analysis, _arguments, _chunked_files, _vantrel, analyse, load

__all__ = ["from_file", "residuals", "analyse_files", "FileResult", "hurst_map"]

#: Bytes a task holds at its peak per byte of its block with halo: the windows read from its
#: neighbours and the piece joined from them (2), the missing-cell check's mask (1/8), the
#: surface the fast method fills (1), and its column sums and NumPy's temporaries (below 1).
TASK_MEMORY_FACTOR = 5


def from_file(
    path: Union[str, bytes, "os.PathLike[str]"],
    chunks: Union[int, Tuple[int, int]] = 2048,
    *,
    format: Optional[str] = None,
    band: int = 1,
) -> Any:
    """The surface in a data file as a 2-D float64 dask.array whose every block is read from the
    file on its own, so that neither this process nor any worker holds the file whole.

    A .npy file is read through a memory map per block; a raster (GeoTIFF, ... : `band` picks
    the band, nodata becomes NaN) by GDAL windows, which needs GDAL's Python module
    (python3-gdal); a text matrix by row ranges, after one pass that notes where each row
    starts (8 bytes per row; a block reads whole rows and keeps its columns), comments from a
    '#' to the line's end left out as `vantrel.load` leaves them out. `format` ("npy",
    "gdal", "text") overrides the choice by content and name. CSV and GSF files are read whole:
    use `vantrel.load` and `dask.array.from_array`.

    Memory: a task of `residuals` holds about TASK_MEMORY_FACTOR (5) times its block with its
    halo, 8 bytes a value: (rows + 2 s) x (columns + 2 s) x 8 x 5 bytes for chunks of rows x
    columns and a largest window side s. With several threads per worker, as many tasks run at
    once. Chunks of 2048 x 2048 and sides up to 256 need about 240 MiB per thread. The worker
    holds more than its tasks: the chunks the scheduler has it read ahead for the neighbours'
    halos. Measured on an 8500 x 8500 .npy with sides up to 129 and one thread, a worker at 89
    MiB at rest peaked at 279 MiB with chunks of 1024 and 372 MiB with chunks of 2048. Dask
    pauses a worker at 80% of its memory limit, so keep the peak below that: chunks of 1024
    for workers of 512 MiB.
    """
    import dask.array as da
    from dask.base import tokenize

    if isinstance(band, bool) or not isinstance(band, int):
        raise TypeError(f"band must be an integer, not {type(band).__name__}")
    windows = _chunked_files.windows_of(path, format, band)
    # Named by the file and its state, so that a file changed since is read again.
    state = os.stat(windows.path)
    name = "vantrel-file-" + tokenize(windows.path, band, state.st_size, state.st_mtime_ns)
    return da.from_array(windows, chunks=chunks, asarray=False, fancy=False, name=name)


def residuals(
    array: Any,
    areas: Union[int, Iterable[int]],
    *,
    shift: Tuple[float, float] = (0.5, 0.5),
    compute: bool = True,
) -> Any:
    """The residual sum of each window area of a 2-D dask.array (or anything dask.array.asarray
    takes), by the fast method, equal to `vantrel.residuals(..., method="fast")` on the same data
    in memory within 1e-12 relative.

    Each chunk is computed with a halo of the largest window side around it, read from its
    neighbours, and contributes the part of each area's residual sum that falls in the chunk; the
    parts are summed by Dask. A task holds about five times its chunk with its halo (`from_file`
    gives the arithmetic); choose chunks larger than the largest side. The work runs on the
    current Dask scheduler (a dask.distributed Client when one is active). With
    `compute=False` the sums come back as a lazy dask.array of one value per area, to compute
    with other work (`dask.compute(a, b)`).

    Cells without a value (NaN, infinite) make the task of their chunk raise ValueError naming
    the chunk; the window sides must be smaller than the rows and the columns, as in
    `vantrel.residuals`.
    """
    import dask
    import dask.array as da

    data = da.asarray(array)
    if data.dtype.kind not in "iuf":
        raise TypeError(f"data must hold real numbers, not {data.dtype}")
    if data.ndim != 2:
        raise ValueError(f"data must be a 2-D array, not {data.ndim}-D")
    compute = _arguments.flag("compute", compute)
    area_list = _arguments.areas(areas)
    n_shift, m_shift = _arguments.shift(shift)
    R, C = data.shape
    if R == 0 or C == 0:
        raise ValueError(f"data is empty ({R} x {C}): there is nothing to compute")
    # The engine checks the areas, the shifts and the windows' fit, in its own words, before
    # anything is read.
    _vantrel.check_residual_request(area_list, n_shift, m_shift, R, C)
    if area_list.size == 0:
        return np.zeros(0) if compute else da.zeros(0, chunks=1)

    geometries = [_vantrel.window_geometry(int(a), n_shift, m_shift) for a in area_list]
    halo = max(side for side, _, _ in geometries)
    blocks = _residual_blocks(geometries, R, C)

    parts = []
    row_edges = np.cumsum((0,) + data.chunks[0])
    column_edges = np.cumsum((0,) + data.chunks[1])
    for r0, r1 in zip(row_edges[:-1], row_edges[1:]):
        for c0, c1 in zip(column_edges[:-1], column_edges[1:]):
            p0, p1 = max(0, r0 - halo), min(R, r1 + halo)
            q0, q1 = max(0, c0 - halo), min(C, c1 + halo)
            rectangles = _clipped(blocks, (r0, r1, c0, c1), (p0, q0))
            if not rectangles.any():
                continue
            part = dask.delayed(_chunk_part)(
                data[p0:p1, q0:q1], area_list, rectangles, n_shift, m_shift, (p0, q0)
            )
            parts.append(da.from_delayed(part, shape=(area_list.size,), dtype=np.float64))
    total = da.stack(parts).sum(axis=0)
    return total.compute() if compute else total


def _residual_blocks(geometries: Sequence[Tuple[int, int, int]], R: int, C: int) -> np.ndarray:
    """Per area, the cells whose squared difference enters the residual sum, as (first row, end
    row, first column, end column): (R - s) x (C - s) cells from where the computed region of
    the surface starts; none when the window does not fit."""
    blocks = np.zeros((len(geometries), 4), dtype=np.int64)
    for k, (s, F, G) in enumerate(geometries):
        if R - s > 0 and C - s > 0:
            blocks[k] = (s - F - 1, s - F - 1 + R - s, s - G - 1, s - G - 1 + C - s)
    return blocks


def _clipped(blocks: np.ndarray, chunk: Tuple[int, int, int, int], origin: Tuple[int, int]):
    """The residual blocks cut to one chunk, in the coordinates of the piece read for it."""
    r0, r1, c0, c1 = chunk
    p0, q0 = origin
    out = np.empty_like(blocks)
    out[:, 0] = np.maximum(blocks[:, 0], r0)
    out[:, 1] = np.minimum(blocks[:, 1], r1)
    out[:, 2] = np.maximum(blocks[:, 2], c0)
    out[:, 3] = np.minimum(blocks[:, 3], c1)
    empty = (out[:, 0] >= out[:, 1]) | (out[:, 2] >= out[:, 3])
    out[:, :2] -= p0
    out[:, 2:] -= q0
    out[empty] = 0
    return out


def _chunk_part(piece, areas, rectangles, n_shift, m_shift, origin) -> np.ndarray:
    values = np.ascontiguousarray(piece, dtype=np.float64)
    missing = ~np.isfinite(values)
    if missing.any():
        row, column = np.unravel_index(int(np.argmax(missing)), missing.shape)
        raise ValueError(
            f"data: {int(missing.sum())} cells hold no value (NaN or infinite) in the piece at "
            f"rows {origin[0]} to {origin[0] + values.shape[0]}; the first is "
            f"data[{origin[0] + int(row)}, {origin[1] + int(column)}]")
    del missing
    # One thread per task: Dask already runs a task on every core it was given.
    return _vantrel.fast_residuals_within(values, areas, rectangles, n_shift, m_shift, 1)


@dataclass
class FileResult:
    """The outcome for one file: `result` (a vantrel.Analysis) when it was analysed, else `error`
    saying why not."""

    path: str
    result: Optional[Analysis] = None
    error: Optional[str] = None

    @property
    def ok(self) -> bool:
        """True when the file was analysed."""
        return self.error is None


#: The options of `analyse_files` that go to `vantrel.load`; the others go to `vantrel.analyse`.
LOAD_OPTIONS = ("format", "band", "crop_valid")


def _analyse_path(path: str, options: dict) -> FileResult:
    try:
        reading = {key: value for key, value in options.items() if key in LOAD_OPTIONS}
        fitting = {key: value for key, value in options.items() if key not in LOAD_OPTIONS}
        return FileResult(path, result=analyse(load(path, **reading), **fitting))
    except Exception as error:  # reported per file, so that the other files go on
        return FileResult(path, error=f"{type(error).__name__}: {error}")


#: The options of `analyse_files` that go to `vantrel.analyse`.
ANALYSE_OPTIONS = ("sides", "side_range", "method", "shift", "threads")


def analyse_files(
    paths: Iterable[Union[str, "os.PathLike[str]"]], *, client: Any = None, **options: Any
) -> List[FileResult]:
    """Analyse many data files on a dask.distributed cluster, one task per file.

    Each file is read by `vantrel.load` and analysed by `vantrel.analyse`. `client` is a
    dask.distributed Client; without one, the active client is used (the one a `with Client()`
    block or `Client()` made), and where there is none a LocalCluster is started for the call
    and closed after it. `options` go to those two: `format`, `band` and `crop_valid` to the
    reading, `sides`, `side_range`, `method`, `shift` and `threads` (1 unless given) to the
    analysis; an option that is none of these raises TypeError before any file is read.
    Returns one FileResult per path, in the order given; a file that cannot be read or
    analysed, or whose worker fails, gets its error there and the other files go on.
    """
    unknown = sorted(set(options) - set(LOAD_OPTIONS) - set(ANALYSE_OPTIONS))
    if unknown:
        raise TypeError(
            f"analyse_files got unknown options {', '.join(map(repr, unknown))}; it takes "
            f"{', '.join(LOAD_OPTIONS + ANALYSE_OPTIONS)}")
    names = [os.fspath(path) for path in paths]
    # The cluster runs the files side by side; one thread each unless asked otherwise.
    options.setdefault("threads", 1)
    with _cluster_client(client) as running:
        futures = running.map(_analyse_path, names, options=options, pure=False)
        results = []
        for path, future in zip(names, futures):
            try:
                results.append(future.result())
            except Exception as error:
                detail = "".join(traceback.format_exception_only(type(error), error)).strip()
                results.append(FileResult(path, error=detail))
        return results


@contextlib.contextmanager
def _cluster_client(client: Any) -> Iterator[Any]:
    """The dask.distributed Client to work on: `client`, else the active one (the one a `with
    Client()` block or `Client()` made), else one on a LocalCluster started here and closed
    when the block ends, however it ends."""
    from dask.distributed import Client, LocalCluster, get_client

    if client is None:
        try:
            client = get_client()
        except ValueError:  # no client is active
            client = None
    if client is not None:
        yield client
        return
    cluster = LocalCluster(dashboard_address=":0")
    try:
        own = Client(cluster)
        try:
            yield own
        finally:
            own.close()
    finally:
        cluster.close()


#: The endings of the map files `hurst_map` writes.
MAP_ENDINGS = (".tif", ".tiff")


def hurst_map(
    array_or_path: Any,
    *,
    tile: int = 128,
    stride: Optional[int] = None,
    side_range: Optional[Tuple[int, int]] = None,
    directional: bool = False,
    tiles_per_block: int = 8,
    output: Union[None, str, bytes, "os.PathLike[str]"] = None,
    format: Optional[str] = None,
    band: int = 1,
    client: Any = None,
    timeout: Optional[float] = None,
) -> Any:
    """The roughness map of a 2-D dask.array (or any array) or of a data file, equal to
    `vantrel.hurst_map` of the same data in memory within 1e-9, computed on a dask.distributed
    cluster.

    The tiles are taken in blocks of `tiles_per_block` x `tiles_per_block`; each block's task
    reads the part of the surface its tiles cover and a halo around them (half the largest side
    and a cell, rounded up to whole strides so that the tiles fall where they fall on the whole
    surface), and maps it. A task holds its part, ((tiles_per_block - 1) x stride + tile + 2 m)^2
    values for a margin m of the halo in whole strides, about twice over: 8 MiB for tiles of 128
    every 64 (the engine itself adds a fifth of the part).

    A path is read as `from_file` reads it (`format`, `band`): each task reads its own window
    of the file, so no process ever holds the file whole. `client` is a dask.distributed
    Client; without one, the active client is used, and where there is none a LocalCluster is
    started for the call and closed after it. `timeout` bounds, in seconds, the wait for any one
    block (TimeoutError past it; None: no bound).

    Without `output`, returns the map as a `vantrel.HurstMap` (tile centres in cells). With
    `output` (a .tif or .tiff name), writes the map there as `vantrel-cli map --output` writes
    a GeoTIFF (the same bands, names, nodata, and for a raster the same coordinate system and
    a geotransform from the input's), one row of blocks at a time as the blocks finish, so
    that neither the map nor the surface is ever held whole; returns the output's name. An
    output that is the input file, under any name, is refused before anything is computed, and
    a map whose computation fails is removed rather than left half written.
    """
    from ._maps import from_engine, plan

    data, reader = _map_source(array_or_path, format, band)
    R, C = (int(n) for n in (data if reader is None else reader).shape)
    tile, stride, found = plan((R, C), tile, stride, side_range)
    source = None if reader is None else reader.path
    writer_output = None if output is None else _map_output(output, source)
    first, last = (0, 0) if side_range is None else (int(side_range[0]), int(side_range[1]))
    settings = (tile, stride, first, last, bool(directional), max(1, int(tiles_per_block)))
    layout = (found["tile_rows"], found["tile_columns"], found["halo"])
    with _cluster_client(client) as running:
        rows = _map_rows(running, data, reader, layout, settings, (R, C))
        try:
            if writer_output is None:
                whole = _joined_rows(rows, timeout)
                whole["sides"], whole["halo"] = found["sides"], found["halo"]
                return from_engine(whole, tile, stride, (R, C))
            placement = (getattr(reader, "geotransform", None), getattr(reader, "crs", ""))
            _write_rows(rows, writer_output, layout, settings, placement, timeout)
            return writer_output
        finally:
            rows.close()  # the blocks submitted ahead are cancelled when nothing waits for them


def _map_source(array_or_path: Any, fmt: Optional[str], band: int):
    """The surface to map: (a dask.array, None) or, for a file, (None, its window reader)."""
    import dask.array as da

    if isinstance(array_or_path, (str, bytes, os.PathLike)):
        if isinstance(band, bool) or not isinstance(band, int):
            raise TypeError(f"band must be an integer, not {type(band).__name__}")
        return None, _chunked_files.windows_of(array_or_path, fmt, band)
    data = da.asarray(array_or_path)
    if data.ndim != 2:
        raise ValueError(f"data must be a 2-D array, not {data.ndim}-D")
    return data, None


def _map_output(output: Any, source: Optional[str]) -> str:
    """The output's name, once it is known to be a GeoTIFF that is not the input."""
    name = os.fsdecode(os.fspath(output))
    if not name.lower().endswith(MAP_ENDINGS):
        raise ValueError(f"output: '{name}' does not end in .tif or .tiff")
    if source is not None:
        clash = _vantrel.output_clash([os.fsencode(source)], [os.fsencode(name)])
        if clash is not None:
            raise ValueError(os.fsdecode(clash))
    return name


def _map_rows(client, data, reader, layout, settings, shape) -> Iterator[Tuple[int, list]]:
    """Each row of blocks as (its first tile row, the futures of its blocks from left to right),
    submitted a few rows ahead of the one asked for, so that the cluster stays busy while the
    caller takes the finished rows."""
    import dask

    tile_rows, tile_columns, halo = layout
    tile, stride, per = settings[0], settings[1], settings[-1]
    R, C = shape
    # The margin before a block's first tile: the halo in whole strides.
    margin = -(-halo // stride) * stride
    source = dask.delayed(reader, pure=True) if reader is not None else None

    def submit(a0):
        a1 = min(tile_rows, a0 + per)
        r0, r1 = max(0, a0 * stride - margin), min(R, (a1 - 1) * stride + tile + margin)
        tasks = []
        for b0 in range(0, tile_columns, per):
            b1 = min(tile_columns, b0 + per)
            c0 = max(0, b0 * stride - margin)
            c1 = min(C, (b1 - 1) * stride + tile + margin)
            place = (a0, b0, r0, c0)
            if source is not None:
                tasks.append(dask.delayed(_map_file_block, pure=True)(
                    source, (r0, r1, c0, c1), settings, place))
            else:
                tasks.append(dask.delayed(_map_block, pure=True)(
                    data[r0:r1, c0:c1], settings, place))
        return a0, client.compute(tasks)

    threads = max(1, sum(client.nthreads().values()))
    blocks_per_row = -(-tile_columns // per)
    ahead = max(2, -(-2 * threads // blocks_per_row))
    starts = list(range(0, tile_rows, per))
    pending = [submit(a0) for a0 in starts[:ahead]]
    for k in range(len(starts)):
        if k + ahead < len(starts):
            pending.append(submit(starts[k + ahead]))
        yield pending.pop(0)


def _map_block(values, settings, place) -> dict:
    """The map of one block of tiles, from the part of the surface that holds them and their
    halo: the arrays of each axis, cut to the block's tiles."""
    tile, stride, first, last, directional, per = settings
    a0, b0, r0, c0 = place
    part = np.ascontiguousarray(np.asarray(values, dtype=np.float64))
    # One thread per task: Dask already runs a task on every thread it was given.
    got = _vantrel.hurst_map(part, tile, stride, first, last, directional, 1)
    ra, cb = (a0 * stride - r0) // stride, (b0 * stride - c0) // stride
    return {axis: {key: np.ascontiguousarray(v[ra:ra + per, cb:cb + per])
                   for key, v in maps.items()}
            for axis, maps in got.items() if isinstance(maps, dict)}


def _map_file_block(reader, window, settings, place) -> dict:
    r0, r1, c0, c1 = window
    return _map_block(reader[r0:r1, c0:c1], settings, place)


def _row_of_blocks(futures: list, timeout: Optional[float]) -> dict:
    """The blocks of one row joined from left to right, as the engine's dict of arrays."""
    parts = [future.result(timeout=timeout) for future in futures]
    return {axis: {key: np.concatenate([part[axis][key] for part in parts], axis=1)
                   for key in parts[0][axis]}
            for axis in parts[0]}


def _joined_rows(rows: Iterator[Tuple[int, list]], timeout: Optional[float]) -> dict:
    joined = [_row_of_blocks(futures, timeout) for _, futures in rows]
    return {axis: {key: np.concatenate([row[axis][key] for row in joined], axis=0)
                   for key in joined[0][axis]}
            for axis in joined[0]}


def _write_rows(rows, output: str, layout, settings, placement, timeout) -> None:
    """Writes each row of blocks into the GeoTIFF as it comes; removes the file when a block
    fails, since a map with rows never written would read as a map of empty tiles."""
    tile_rows, tile_columns, _ = layout
    tile, stride, directional = settings[0], settings[1], settings[4]
    geotransform, crs = placement
    writer = _vantrel.MapGeoTiff(os.fsencode(output), tile_rows, tile_columns, tile, stride,
                                 geotransform, crs, directional)
    try:
        for a0, futures in rows:
            writer.write(a0, _row_of_blocks(futures, timeout))
            del futures  # the workers may drop the finished blocks
    except BaseException:
        try:
            writer.close()
        finally:
            written = os.path.realpath(output)  # through a link, GDAL wrote the file it names
            if os.path.isfile(written):
                os.remove(written)
        raise
    writer.close()
