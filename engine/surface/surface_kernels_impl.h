// The exact window-mean kernels, written once for a vector of kLanes doubles.
// surface_kernels_shim.cpp defines kLanes, kStaggeredShapes, kDirect, kSplitAdds and
// sumOnMultiplyUnit and includes this file inside an anonymous namespace, so that every function
// here is compiled for that file's instruction set alone: a copy shared between the files could
// hand AVX-512 code to an older processor. For the same reason this file includes nothing.
//
// The order of operations is that of WindowAverager. A column's chain (optimised mode) starts at
// 0.0 and adds the window of the region's first row from its bottom-right corner, rows from the
// bottom up, each from right to left; then, per row below, it does sum = (sum - leaving) +
// entering for the window's columns from right to left, storing sum / (s * s) after each row. A
// cell's chain (plain mode) is the first part alone, restarted for every cell. The lanes of a
// vector carry the chains of neighbouring columns; each lane sees exactly the scalar operations
// of its chain, and vector add, subtract and divide round each lane as the scalar ones do.
//
// A chain is a sequence of passes over data rows ("phases"): fullMean's s rows, then one
// slideDown per region row (optimised), or the s rows of each cell in turn (plain). A column
// range is cut into groups of neighbouring chains, and all groups of the range take their phases
// together, a stripe of phases at a time, so that the data is read row by row; between stripes a
// group's sums wait in a small state buffer. The kinds of groups:
// - Staggered groups of sub-groups of MS vectors (windows of at least (MS-1)*L). Vector v of a
//   sub-group covers columns j0 + v*L ... j0 + v*L + L-1 and runs v*L steps ahead of vector 0,
//   so at every step its vectors read the same place (relative position p = v*L - b): one load
//   serves MS vectors. The ramp at the end of each phase, where only the vectors behind still
//   work, is run together with the ramp at the start of the next phase, where only the vectors
//   ahead have begun.
// - Direct groups of K vectors (small windows): each vector loads its own values.
// - In plain mode, below the widest staggered group, four cell rows go up the data rows together
//   and share every load (plainRowsTogether).
//
// Where the including file says so (kSplitAdds), half of the additions are done as
// sumOnMultiplyUnit(a, b) = fma(b, 1.0, a): b * 1.0 is exact, so the single rounding of the fused
// operation gives exactly the rounded a + b (signed zeros and infinities included), while the
// processor's multiply-add units, idle otherwise, take half of the additions.

typedef double Vec __attribute__((vector_size(kLanes * sizeof(double))));

#define KERNEL_INLINE inline __attribute__((always_inline))
#define KERNEL_INLINE_LAMBDA __attribute__((always_inline))

template <class T>
constexpr int widthOf = static_cast<int>(sizeof(T) / sizeof(double));

template <class T>
KERNEL_INLINE T loadAt(const double* p) {
    T value;
    __builtin_memcpy(&value, p, sizeof value);
    return value;
}

template <class T>
KERNEL_INLINE void storeAt(double* p, T value) {
    __builtin_memcpy(p, &value, sizeof value);
}

template <class T>
KERNEL_INLINE T splat(double x) {
    T value;
    if constexpr (widthOf<T> == 1) {
        value = x;
    } else {
        for (int l = 0; l < widthOf<T>; ++l) value[l] = x;
    }
    return value;
}

// sum / (s * s), as the averager divides. When s * s is a power of two the quotient is the
// product with its reciprocal, which is exact, for every double: the product is the cheaper
// operation.
template <class T>
struct Means {
    T divisor, reciprocal;
    bool byProduct;
    explicit Means(int s)
        : divisor(splat<T>(static_cast<double>(s * s))),
          reciprocal(splat<T>(1.0 / static_cast<double>(s * s))),
          byProduct(((s * s) & (s * s - 1)) == 0) {}
    KERNEL_INLINE T of(T sum) const { return byProduct ? sum * reciprocal : sum / divisor; }
};

// f.operator()<k>() for k = From ... To-1, unrolled.
template <int From, int To, class F>
KERNEL_INLINE void forEachIndex(const F& f) {
    if constexpr (From < To) {
        f.template operator()<From>();
        forEachIndex<From + 1, To>(f);
    }
}

// Phases taken by all groups of a range before each group's sums go back to the state buffer:
// few for small windows, whose rows are fetched ahead (see prefetchPhases), more for large ones,
// whose long passes along each row the processor fetches well by itself.
constexpr int kLargeWindow = 128;
int stripePhases(int side) {
    return side < kLargeWindow ? 16 : 64;
}

// The groups of `columns` columns that cover [c0, c1]: group g starts at c0 + g * columns, except
// that the last one ends at c1. When the width is not a multiple, the last group computes some
// columns of the one before again: the same chains, so the same values, written by the same
// thread. Needs c1 - c0 + 1 >= columns.
struct Groups {
    int c0, c1, columns;
    int count() const { return (c1 - c0 + columns) / columns; }
    int start(int g) const {
        const int j = c0 + g * columns;
        return j + columns - 1 <= c1 ? j : c1 - columns + 1;
    }
};

// Phase k and, in plain mode, its cell row k / s and its row within the window k % s, carried
// from phase to phase rather than divided out each time.
struct PhaseIndex {
    int k, cell, a;
    PhaseIndex previous(int s) const {
        return a > 0 ? PhaseIndex{k - 1, cell, a - 1} : PhaseIndex{k - 1, cell - 1, s - 1};
    }
    void advance(int s) {
        ++k;
        if (++a == s) {
            a = 0;
            ++cell;
        }
    }
};

PhaseIndex phaseIndex(int k, int s) {
    return {k, k / s, k % s};
}

// The phases of one group's chains, with what follows the end of each.
struct PhasePlan {
    const WindowJob& job;
    int j0;        // first column of the group
    bool sliding;  // optimised mode; plain otherwise
    int firstRow;  // the first cell row (plain), the region's first row (optimised)
    int s;

    int count(int lastRow) const {
        return sliding ? s + (lastRow - firstRow) : s * (lastRow - firstRow + 1);
    }
    const double* at(int row) const { return job.data[row] + job.columnOffset + j0; }
    // The phase adds a data row (fullMean) when true, slides otherwise.
    bool adds(const PhaseIndex& x) const { return !sliding || x.k < s; }
    const double* addedRow(const PhaseIndex& x) const {
        return sliding ? at(job.rowOffset + firstRow - x.k)
                       : at(job.rowOffset + firstRow + x.cell - x.a);
    }
    int slideRow(const PhaseIndex& x) const { return firstRow + 1 + (x.k - s); }
    // The surface row whose means are complete after the phase, or -1.
    int finishedRow(const PhaseIndex& x) const {
        if (sliding) return x.k < s - 1 ? -1 : firstRow + (x.k - (s - 1));
        return x.a == s - 1 ? firstRow + x.cell : -1;
    }
};

// Asks for the data rows of phases [k0, k1) over the columns [c0, c1] of the range, into the
// second-level cache, while the stripe before them is computed: the groups of a range take a
// few lines of each row at a time, too few for the processor to see the pattern.
KERNEL_INLINE void prefetchPhases(const PhasePlan& plan, int k0, int k1, int width) {
    constexpr int kLineDoubles = 64 / static_cast<int>(sizeof(double));
    auto fetch = [&](const double* row) KERNEL_INLINE_LAMBDA {
        for (int k = 1 - plan.s; k < width + kLineDoubles; k += kLineDoubles)
            __builtin_prefetch(row + (k < width ? k : width - 1), 0, 2);
    };
    for (PhaseIndex x = phaseIndex(k0, plan.s); x.k < k1; x.advance(plan.s)) {
        if (plan.adds(x)) {
            fetch(plan.addedRow(x));
        } else {
            const int i = plan.slideRow(x);
            fetch(plan.at(plan.job.rowOffset + i - plan.s));
            fetch(plan.at(plan.job.rowOffset + i));
        }
    }
}

// sum + value for chain v: every other chain on the multiply-add units when they are used.
template <int v>
KERNEL_INLINE Vec addFor(Vec sum, Vec value) {
    if constexpr (kSplitAdds && v % 2 == 1)
        return sumOnMultiplyUnit(sum, value);
    else
        return sum + value;
}

// ---- Staggered groups ------------------------------------------------------------------------
//
// A staggered group is Z sub-groups of MS vectors side by side: vector v is vector v % MS of
// sub-group v / MS, whose columns start at j0 + (v / MS) * MS * L. Within a sub-group the vectors
// run L steps apart and share every load; the sub-groups each load their own. Several short
// sub-groups give as many chains as one long one with shorter ramps, for smaller windows.

// No phase: before a group's first phase or after its last.
template <int MS, int Z>
struct NoPhase {
    static constexpr bool kNone = true;
    struct Loaded {
        template <int v>
        KERNEL_INLINE void apply(Vec&) const {}
    };
    KERNEL_INLINE Loaded load(int) const { return {}; }
};

// fullMean's pass over one data row: sum = sum + M[r][G + j - b].
template <int MS, int Z>
struct AddRow {
    static constexpr bool kNone = false;
    const double* at;  // &M[r][G + j0]
    struct Loaded {
        Vec value[Z];
        template <int v>
        KERNEL_INLINE void apply(Vec& sum) const {
            sum = addFor<v>(sum, value[v / MS]);
        }
    };
    KERNEL_INLINE Loaded load(int p) const {
        Loaded loaded;
        forEachIndex<0, Z>([&]<int z>() KERNEL_INLINE_LAMBDA {
            loaded.value[z] = loadAt<Vec>(at + z * MS * kLanes + p);
        });
        return loaded;
    }
};

// slideDown's pass: sum = (sum - M[F+i-s][G + j - b]) + M[F+i][G + j - b].
template <int MS, int Z>
struct SlideRows {
    static constexpr bool kNone = false;
    const double* leaving;   // &M[F+i-s][G + j0]
    const double* entering;  // &M[F+i][G + j0]
    struct Loaded {
        Vec leaving[Z], entering[Z];
        // The subtraction on the adders, the addition on the multiply-add units when used.
        template <int v>
        KERNEL_INLINE void apply(Vec& sum) const {
            if constexpr (kSplitAdds)
                sum = sumOnMultiplyUnit(sum - leaving[v / MS], entering[v / MS]);
            else
                sum = (sum - leaving[v / MS]) + entering[v / MS];
        }
    };
    KERNEL_INLINE Loaded load(int p) const {
        Loaded loaded;
        forEachIndex<0, Z>([&]<int z>() KERNEL_INLINE_LAMBDA {
            loaded.leaving[z] = loadAt<Vec>(leaving + z * MS * kLanes + p);
            loaded.entering[z] = loadAt<Vec>(entering + z * MS * kLanes + p);
        });
        return loaded;
    }
};

// What happens to vector v once it has finished a phase: nothing, or its means are stored
// (and, between plain cells, its sum restarts at 0).
struct Finish {
    double* out;  // &S[i][j0], or null
    const Means<Vec>* means;
    bool restart;
    KERNEL_INLINE void operator()(Vec* sum, int v) const {
        if (!out) return;
        storeAt(out + v * kLanes, means->of(sum[v]));
        if (restart) sum[v] = splat<Vec>(0.0);
    }
};

// loaded.apply for the vectors v of a group of N whose place in their sub-group (v % MS) is below
// Q (lower) or not (!lower).
template <int N, int MS, int Q, bool lower, class Loaded>
KERNEL_INLINE void applyWhere(Vec* sum, const Loaded& loaded) {
    forEachIndex<0, N>([&]<int v>() KERNEL_INLINE_LAMBDA {
        if constexpr ((v % MS < Q) == lower) loaded.template apply<v>(sum[v]);
    });
}

// The end of phase x run together with the start of phase y, in blocks Q = MS-1 ... 1 of L
// positions: in block Q the vectors placed below Q in their sub-group take their last steps of x
// (at p - s), the others their first steps of y (at p). The vectors at place v leave x just
// before block v (those at 0 after the last block), and `finish` is called for them then.
template <int MS, int Z, int Q, class X, class Y>
KERNEL_INLINE void phaseSwitch(Vec* sum, const X& x, const Y& y, int s, const Finish& finish) {
    constexpr int N = MS * Z;
    forEachIndex<0, Z>([&]<int z>() KERNEL_INLINE_LAMBDA { finish(sum, z * MS + Q); });
    if constexpr (Q >= 1) {
        for (int p = Q * kLanes; p > (Q - 1) * kLanes; --p) {
            applyWhere<N, MS, Q, true>(sum, x.load(p - s));
            applyWhere<N, MS, Q, false>(sum, y.load(p));
        }
        phaseSwitch<MS, Z, Q - 1>(sum, x, y, s, finish);
    }
}

// Switches from phase x into phase y, then takes y's middle, where every vector works
// (positions 0 down to (MS-1)*L - s + 1).
template <int MS, int Z, class X, class Y>
KERNEL_INLINE void enterPhase(Vec* sum, const X& x, const Y& y, int s, const Finish& finish) {
    phaseSwitch<MS, Z, MS - 1>(sum, x, y, s, finish);
    if constexpr (!Y::kNone)
        for (int p = 0; p > (MS - 1) * kLanes - s; --p)
            applyWhere<MS * Z, MS, 0, false>(sum, y.load(p));
}

// Unit k of a staggered group: entering phase k from phase k-1 (k = 0: from nothing; k = count:
// into nothing).
template <int MS, int Z>
KERNEL_INLINE void staggeredUnit(Vec* sum, const PhasePlan& plan, const PhaseIndex& x, int count,
                                 const Means<Vec>& means) {
    using Add = AddRow<MS, Z>;
    using Slide = SlideRows<MS, Z>;
    using None = NoPhase<MS, Z>;
    const int s = plan.s;
    auto phaseAdd = [&](const PhaseIndex& q) KERNEL_INLINE_LAMBDA { return Add{plan.addedRow(q)}; };
    auto phaseSlide = [&](const PhaseIndex& q) KERNEL_INLINE_LAMBDA {
        const int i = plan.slideRow(q);
        return Slide{plan.at(plan.job.rowOffset + i - s), plan.at(plan.job.rowOffset + i)};
    };
    Finish finish{nullptr, &means, !plan.sliding};
    if (x.k == 0) return enterPhase<MS, Z>(sum, None{}, phaseAdd(x), s, finish);
    const PhaseIndex before = x.previous(s);
    const int row = plan.finishedRow(before);
    if (row >= 0) finish.out = plan.job.surface[row] + plan.j0;
    const bool fromAdd = plan.adds(before);
    if (x.k == count) {
        if (fromAdd) return enterPhase<MS, Z>(sum, phaseAdd(before), None{}, s, finish);
        return enterPhase<MS, Z>(sum, phaseSlide(before), None{}, s, finish);
    }
    if (plan.adds(x)) return enterPhase<MS, Z>(sum, phaseAdd(before), phaseAdd(x), s, finish);
    if (fromAdd) return enterPhase<MS, Z>(sum, phaseAdd(before), phaseSlide(x), s, finish);
    enterPhase<MS, Z>(sum, phaseSlide(before), phaseSlide(x), s, finish);
}

// ---- Direct groups ---------------------------------------------------------------------------

// Phase k of a direct group of K values of T (vectors or single doubles), then its means if the
// phase completes them.
template <class T, int K>
KERNEL_INLINE void directPhase(T* sum, const PhasePlan& plan, const PhaseIndex& x,
                               const Means<T>& means) {
    constexpr int w = widthOf<T>;
    const int s = plan.s;
    if (plan.adds(x)) {
        const double* row = plan.addedRow(x);
        for (int b = 0; b < s; ++b)
            forEachIndex<0, K>([&]<int q>() KERNEL_INLINE_LAMBDA {
                if constexpr (widthOf < T >> 1)
                    sum[q] = addFor<q>(sum[q], loadAt<T>(row - b + q * w));
                else
                    sum[q] = sum[q] + loadAt<T>(row - b + q * w);
            });
    } else {
        const int i = plan.slideRow(x);
        const double* leaving = plan.at(plan.job.rowOffset + i - s);
        const double* entering = plan.at(plan.job.rowOffset + i);
        for (int b = 0; b < s; ++b)
            forEachIndex<0, K>([&]<int q>() KERNEL_INLINE_LAMBDA {
                const T difference = sum[q] - loadAt<T>(leaving - b + q * w);
                if constexpr (widthOf < T >> 1 && kSplitAdds)
                    sum[q] = sumOnMultiplyUnit(difference, loadAt<T>(entering - b + q * w));
                else
                    sum[q] = difference + loadAt<T>(entering - b + q * w);
            });
    }
    const int row = plan.finishedRow(x);
    if (row < 0) return;
    double* out = plan.job.surface[row] + plan.j0;
    forEachIndex<0, K>([&]<int q>() KERNEL_INLINE_LAMBDA {
        storeAt(out + q * w, means.of(sum[q]));
        if (!plan.sliding) sum[q] = splat<T>(0.0);
    });
}

// ---- Plain mode, rows side by side ------------------------------------------------------------
//
// In plain mode cell (i+q, j) reads data row F+i+q-a at its step a, which is the row that cell
// (i, j) reads at step a-q. So Q cell rows can go up the data rows together, each row loaded once
// for all of them; every cell still adds its window rows bottom up, each right to left. The cell
// rows start one data row apart and finish one apart.

template <class T, int K, int Q>
void plainRowsTogether(const WindowJob& job, int firstRow, int lastRow, int c0, int c1) {
    constexpr int w = widthOf<T>;
    const int s = job.side;
    const int F = job.rowOffset;
    const Groups groups{c0, c1, K * w};
    const Means<T> means(s);
    for (int i = firstRow; i <= lastRow; i += Q) {
        const int rows = lastRow - i + 1 < Q ? lastRow - i + 1 : Q;
        for (int g = 0; g < groups.count(); ++g) {
            const int j0 = groups.start(g);
            T sum[Q][K];
            for (auto& cell : sum)
                for (T& v : cell) v = splat<T>(0.0);
            // Data row r serves cell rows q with F+i+q-s+1 <= r <= F+i+q.
            for (int r = F + i + rows - 1; r >= F + i - s + 1; --r) {
                const int lo = r - F - i > 0 ? r - F - i : 0;
                const int hi = r - F - i + s - 1 < rows - 1 ? r - F - i + s - 1 : rows - 1;
                const double* row = job.data[r] + job.columnOffset + j0;
                if (lo == 0 && hi == Q - 1) {
                    for (int b = 0; b < s; ++b)
                        forEachIndex<0, K>([&]<int k>() KERNEL_INLINE_LAMBDA {
                            const T value = loadAt<T>(row - b + k * w);
                            forEachIndex<0, Q>([&]<int q>() KERNEL_INLINE_LAMBDA {
                                if constexpr (w > 1)
                                    sum[q][k] = addFor<q * K + k>(sum[q][k], value);
                                else
                                    sum[q][k] = sum[q][k] + value;
                            });
                        });
                } else {
                    for (int b = 0; b < s; ++b)
                        forEachIndex<0, K>([&]<int k>() KERNEL_INLINE_LAMBDA {
                            const T value = loadAt<T>(row - b + k * w);
                            forEachIndex<0, Q>([&]<int q>() KERNEL_INLINE_LAMBDA {
                                if (q >= lo && q <= hi) sum[q][k] = sum[q][k] + value;
                            });
                        });
                }
                // Cell row r-F-i+s-1 has added its last window row.
                const int done = r - F - i + s - 1;
                forEachIndex<0, Q>([&]<int q>() KERNEL_INLINE_LAMBDA {
                    if (q != done || q >= rows) return;
                    double* out = job.surface[i + q] + j0;
                    forEachIndex<0, K>([&]<int k>() KERNEL_INLINE_LAMBDA {
                        storeAt(out + k * w, means.of(sum[q][k]));
                    });
                });
            }
        }
    }
}

// Plain mode below the widest staggered group's side: rows taken together then share more loads
// than staggered sub-groups do.
constexpr int kRowsTogetherBelow = (kStaggeredShapes[0][0] - 1) * kLanes;

void plainRangeTogether(const WindowJob& job, int r0, int r1, int c0, int c1) {
    constexpr int kRows = 4;
    const int width = c1 - c0 + 1;
    if (width >= 2 * kLanes) return plainRowsTogether<Vec, 2, kRows>(job, r0, r1, c0, c1);
    if (width >= kLanes) return plainRowsTogether<Vec, 1, kRows>(job, r0, r1, c0, c1);
    plainRowsTogether<double, 1, kRows>(job, r0, r1, c0, c1);
}

// ---- Whole ranges ----------------------------------------------------------------------------

enum class GroupKind { kStaggered, kDirect };

// Runs every group of [c0, c1] through units [from, to) of the phases of rows firstRow ...
// lastRow (windowUnits), a stripe of units at a time; `state` holds each group's sums between
// stripes and between calls (width + columns doubles).
template <GroupKind kind, class T, int N, int MS = N>
void runGroups(const WindowJob& job, bool sliding, int firstRow, int lastRow, int c0, int c1,
               double* state, int from, int to) {
    constexpr int columns = N * widthOf<T>;
    const Groups groups{c0, c1, columns};
    const int s = job.side;
    const Means<T> means(s);
    const int count = PhasePlan{job, 0, sliding, firstRow, s}.count(lastRow);
    // Unit k enters phase k; unit `count`, after the last phase, is the ramp that ends it for
    // staggered groups and nothing for direct ones.
    const int units = to < count + 1 ? to : count + 1;
    const PhasePlan range{job, c0, sliding, firstRow, s};
    const int stripe = stripePhases(s);
    const bool prefetch = s < kLargeWindow;
    if (prefetch && from < count)
        prefetchPhases(range, from, from + stripe < count ? from + stripe : count, c1 - c0 + 1);
    for (int u0 = from; u0 < units; u0 += stripe) {
        const int u1 = u0 + stripe < units ? u0 + stripe : units;
        const int next = u1 + stripe < count ? u1 + stripe : count;
        if (prefetch && u1 < next) prefetchPhases(range, u1, next, c1 - c0 + 1);
        for (int g = 0; g < groups.count(); ++g) {
            const PhasePlan plan{job, groups.start(g), sliding, firstRow, s};
            double* saved = state + g * columns;
            T sum[N];
            for (int q = 0; q < N; ++q)
                sum[q] = u0 == 0 ? splat<T>(0.0) : loadAt<T>(saved + q * widthOf<T>);
            for (PhaseIndex x = phaseIndex(u0, s); x.k < u1; x.advance(s)) {
                if constexpr (kind == GroupKind::kStaggered)
                    staggeredUnit<MS, N / MS>(sum, plan, x, count, means);
                else if (x.k < count)
                    directPhase<T, N>(sum, plan, x, means);
            }
            for (int q = 0; q < N; ++q) storeAt(saved + q * widthOf<T>, sum[q]);
        }
    }
}

// The first staggered group shape, from kStaggeredShapes[index] on, that suits the window side
// (its ramps need s >= (MS-1)*L) and the width of the range; false when none does.
template <int index>
bool runStaggered(const WindowJob& job, bool sliding, int r0, int r1, int c0, int c1, double* state,
                  int from, int to) {
    constexpr int count = static_cast<int>(sizeof kStaggeredShapes / sizeof kStaggeredShapes[0]);
    if constexpr (index < count) {
        constexpr int MS = kStaggeredShapes[index][0];
        constexpr int N = MS * kStaggeredShapes[index][1];
        if (c1 - c0 + 1 >= N * kLanes && job.side >= (MS - 1) * kLanes) {
            runGroups<GroupKind::kStaggered, Vec, N, MS>(job, sliding, r0, r1, c0, c1, state, from,
                                                         to);
            return true;
        }
        return runStaggered<index + 1>(job, sliding, r0, r1, c0, c1, state, from, to);
    } else {
        return false;
    }
}

// The columns of the widest group: work is best split into multiples of it.
constexpr int widestGroupColumns() {
    int widest = kDirect;
    for (const auto& shape : kStaggeredShapes)
        if (shape[0] * shape[1] > widest) widest = shape[0] * shape[1];
    return widest * kLanes;
}

// The widest group that suits the window side and the width of the range.
void computeRange(const WindowJob& job, bool sliding, int r0, int r1, int c0, int c1, double* state,
                  int from, int to) {
    const int width = c1 - c0 + 1;
    if (runStaggered<0>(job, sliding, r0, r1, c0, c1, state, from, to)) return;
    if (width >= kDirect * kLanes)
        return runGroups<GroupKind::kDirect, Vec, kDirect>(job, sliding, r0, r1, c0, c1, state,
                                                           from, to);
    if (width >= kLanes)
        return runGroups<GroupKind::kDirect, Vec, 1>(job, sliding, r0, r1, c0, c1, state, from, to);
    runGroups<GroupKind::kDirect, double, 1>(job, sliding, r0, r1, c0, c1, state, from, to);
}

void slideColumns(const WindowJob& job, int c0, int c1, double* state, int from, int to) {
    computeRange(job, true, job.firstRow, job.lastRow, c0, c1, state, from, to);
}

void plainCells(const WindowJob& job, int r0, int r1, int c0, int c1, double* state) {
    if (job.side < kRowsTogetherBelow) return plainRangeTogether(job, r0, r1, c0, c1);
    computeRange(job, false, r0, r1, c0, c1, state, 0, windowUnits(job, false, r0, r1));
}

#undef KERNEL_INLINE
#undef KERNEL_INLINE_LAMBDA
