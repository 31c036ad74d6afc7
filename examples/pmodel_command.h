#pragma once

// vantrel-make-surface --pmodel P1 P2 P3 P4 --levels K [--seed S] [--digits D]
// [--spectrum FILE] OUT: the two-dimensional p-model measure of 2^K x 2^K cells written as a
// text matrix, and with --spectrum its exact tau(q), alpha(q) and f(alpha) for q from -4 to 4 in
// steps of 0.5 (tab-separated). Returns the exit status.
int runPModelCommand(int argc, char** argv);
