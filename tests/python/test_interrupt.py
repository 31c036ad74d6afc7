"""Ctrl-C stops every long call soon after the signal, whatever the engine is doing: between
areas, between the row blocks of one surface (exact and fast), and between the blocks of a file
being loaded."""

import os
import signal
import threading
import time

import numpy as np
import pytest

import vantrel
from conftest import rough
from vantrel import _formats

#: Seconds from the signal to KeyboardInterrupt. The engine notices the request within a row
#: block (milliseconds); the bound leaves room for a machine busy with other work.
BOUND = 1.0
#: When the signal is sent after the call starts: well inside every call below, each of which
#: takes several seconds when nothing stops it (the text load, the shortest, about one second).
SIGNAL_AFTER = 0.3
SIGNAL_AFTER_LOAD = 0.1

DATA = rough(2000, 2000, 21)


def slow_text_file(path):
    """A text matrix of 20000 x 2000 values (200 MB): on an idle machine one thread loads 100 MB
    in about 0.4 s, so the signal comes well inside the load."""
    line = (" ".join(["1.25"] * 2000) + "\n").encode()
    with open(path, "wb") as file:
        for _ in range(20):
            file.write(line * 1000)
    return path


# (what the call reads, made before the clock starts; the call)
CALLS = {
    "residuals, exact, between areas": (
        lambda t: DATA, lambda data: vantrel.residuals(data, [250000] * 60)),
    "residuals, fast": (
        lambda t: DATA, lambda data: vantrel.residuals(data, [250000] * 600, method="fast")),
    "surface, plain sums within one area": (
        lambda t: DATA, lambda data: vantrel.surface(data, 101 * 101, optimise=False)),
    "analyse, exact": (
        lambda t: DATA, lambda data: vantrel.analyse(data, method="exact", threads=1)),
    "analyse, fast": (
        lambda t: np.tile(DATA, (2, 2)), lambda data: vantrel.analyse(data, side_range=(3, 1001))),
    "load, text": (
        lambda t: str(slow_text_file(t / "big.txt")),
        lambda path: _formats.read(path, None, 1, False, threads=1)),
}


@pytest.mark.parametrize("call", CALLS)
def test_ctrl_c_stops_the_call_soon(call, tmp_path):
    prepare, run = CALLS[call]
    argument = prepare(tmp_path)
    sent = []

    finished = threading.Event()

    def interrupt():
        # A call that ended first must not leave a stray Ctrl-C for the next test.
        if not finished.is_set():
            sent.append(time.monotonic())
            os.kill(os.getpid(), signal.SIGINT)

    delay = SIGNAL_AFTER_LOAD if call.startswith("load") else SIGNAL_AFTER
    timer = threading.Timer(delay, interrupt)
    timer.start()
    try:
        with pytest.raises(KeyboardInterrupt):
            run(argument)
        stopped = time.monotonic()
    finally:
        finished.set()
        timer.cancel()
    assert sent, "the call ended before the signal was sent"
    assert stopped - sent[0] < BOUND


def test_a_stopped_call_leaves_the_engine_ready_for_the_next():
    timer = threading.Timer(0.2, os.kill, (os.getpid(), signal.SIGINT))
    timer.start()
    with pytest.raises(KeyboardInterrupt):
        vantrel.residuals(DATA, [250000] * 60)
    timer.join()
    small = DATA[:300, :300]
    assert vantrel.residuals(small, [9, 25]).tobytes() == vantrel.residuals(
        small.copy(), [9, 25], threads=1).tobytes()
