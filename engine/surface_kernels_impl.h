// The exact window-mean kernels, written once for a vector of kLanes doubles. Each
// surface_kernels_<level>.cpp defines kLanes, kGroup, kHalfGroup and kDirect and includes this
// file inside an anonymous namespace, so that every function here is compiled for that file's
// instruction set alone: a copy shared between the files could hand AVX-512 code to an older
// processor. For the same reason this file includes nothing.
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
// group's sums wait in a small state buffer. Two kinds of groups:
// - Staggered groups of M vectors (windows of at least (M-1)*L). Vector v covers columns
//   j0 + v*L ... j0 + v*L + L-1 and runs v*L steps ahead of vector 0, so at every step all
//   vectors read the same place (relative position p = v*L - b): one load serves M vectors. The
//   ramp at the end of each phase, where only the vectors behind still work, is run together
//   with the ramp at the start of the next phase, where only the vectors ahead have begun.
// - Direct groups of K vectors (small windows): each vector loads its own values.

typedef double Vec __attribute__((vector_size(kLanes * sizeof(double))));

#define KERNEL_INLINE inline __attribute__((always_inline))

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

// f.operator()<k>() for k = From ... To-1, unrolled.
template <int From, int To, class F>
KERNEL_INLINE void forEachIndex(const F& f) {
    if constexpr (From < To) {
        f.template operator()<From>();
        forEachIndex<From + 1, To>(f);
    }
}

// Phases taken by all groups of a range before each group's sums go back to the state buffer.
constexpr int kStripePhases = 16;

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
    // Phase k adds a data row (fullMean) when true, slides otherwise.
    bool adds(int k) const { return !sliding || k < s; }
    const double* addedRow(int k) const {
        return sliding ? at(job.rowOffset + firstRow - k)
                       : at(job.rowOffset + firstRow + k / s - k % s);
    }
    int slideRow(int k) const { return firstRow + 1 + (k - s); }
    // The surface row whose means are complete after phase k, or -1.
    int finishedRow(int k) const {
        if (sliding) return k < s - 1 ? -1 : firstRow + (k - (s - 1));
        return k % s == s - 1 ? firstRow + k / s : -1;
    }
};

// Asks for the data rows of phases [k0, k1) over the columns [c0, c1] of the range, into the
// second-level cache, while the stripe before them is computed: the groups of a range take a
// few lines of each row at a time, too few for the processor to see the pattern.
KERNEL_INLINE void prefetchPhases(const PhasePlan& plan, int k0, int k1, int width) {
    constexpr int kLineDoubles = 64 / static_cast<int>(sizeof(double));
    auto fetch = [&](const double* row) {
        for (int k = 1 - plan.s; k < width + kLineDoubles; k += kLineDoubles)
            __builtin_prefetch(row + (k < width ? k : width - 1), 0, 2);
    };
    for (int k = k0; k < k1; ++k) {
        if (plan.adds(k)) {
            fetch(plan.addedRow(k));
        } else {
            const int i = plan.slideRow(k);
            fetch(plan.at(plan.job.rowOffset + i - plan.s));
            fetch(plan.at(plan.job.rowOffset + i));
        }
    }
}

// ---- Staggered groups ------------------------------------------------------------------------

// No phase: before a group's first phase or after its last.
struct NoPhase {
    static constexpr bool kNone = true;
    struct Loaded {
        KERNEL_INLINE void apply(Vec&) const {}
    };
    KERNEL_INLINE Loaded load(int) const { return {}; }
};

// fullMean's pass over one data row: sum = sum + M[r][G + j - b].
struct AddRow {
    static constexpr bool kNone = false;
    const double* at;  // &M[r][G + j0]
    struct Loaded {
        Vec value;
        KERNEL_INLINE void apply(Vec& sum) const { sum = sum + value; }
    };
    KERNEL_INLINE Loaded load(int p) const { return {loadAt<Vec>(at + p)}; }
};

// slideDown's pass: sum = (sum - M[F+i-s][G + j - b]) + M[F+i][G + j - b].
struct SlideRows {
    static constexpr bool kNone = false;
    const double* leaving;   // &M[F+i-s][G + j0]
    const double* entering;  // &M[F+i][G + j0]
    struct Loaded {
        Vec leaving, entering;
        KERNEL_INLINE void apply(Vec& sum) const { sum = (sum - leaving) + entering; }
    };
    KERNEL_INLINE Loaded load(int p) const {
        return {loadAt<Vec>(leaving + p), loadAt<Vec>(entering + p)};
    }
};

// What happens to vector v once it has finished a phase: nothing, or its means are stored
// (and, between plain cells, its sum restarts at 0).
struct Finish {
    double* out;  // &S[i][j0], or null
    Vec divisor;
    bool restart;
    KERNEL_INLINE void operator()(Vec* sum, int v) const {
        if (!out) return;
        storeAt(out + v * kLanes, sum[v] / divisor);
        if (restart) sum[v] = splat<Vec>(0.0);
    }
};

template <int From, int To, class Loaded>
KERNEL_INLINE void applyTo(Vec* sum, const Loaded& loaded) {
    forEachIndex<From, To>([&]<int v>() { loaded.apply(sum[v]); });
}

// The end of phase x run together with the start of phase y, in blocks Q = M-1 ... 1 of L
// positions: in block Q vectors below Q take their last steps of x (at p - s), the others their
// first steps of y (at p). Vector v leaves x just before block v (vector 0 after the last block),
// and `finish` is called for it then.
template <int M, int Q, class X, class Y>
KERNEL_INLINE void phaseSwitch(Vec* sum, const X& x, const Y& y, int s, const Finish& finish) {
    if constexpr (Q >= 1) {
        finish(sum, Q);
        for (int p = Q * kLanes; p > (Q - 1) * kLanes; --p) {
            applyTo<0, Q>(sum, x.load(p - s));
            applyTo<Q, M>(sum, y.load(p));
        }
        phaseSwitch<M, Q - 1>(sum, x, y, s, finish);
    } else {
        finish(sum, 0);
    }
}

// Switches from phase x into phase y, then takes y's middle, where every vector works
// (positions 0 down to (M-1)*L - s + 1).
template <int M, class X, class Y>
KERNEL_INLINE void enterPhase(Vec* sum, const X& x, const Y& y, int s, const Finish& finish) {
    phaseSwitch<M, M - 1>(sum, x, y, s, finish);
    if constexpr (!Y::kNone)
        for (int p = 0; p > (M - 1) * kLanes - s; --p) applyTo<0, M>(sum, y.load(p));
}

// Unit k of a staggered group: entering phase k from phase k-1 (k = 0: from nothing; k = count:
// into nothing).
template <int M>
void staggeredUnit(Vec* sum, const PhasePlan& plan, int k, int count, const Vec& divisor) {
    const int s = plan.s;
    auto phaseAdd = [&](int q) { return AddRow{plan.addedRow(q)}; };
    auto phaseSlide = [&](int q) {
        const int i = plan.slideRow(q);
        return SlideRows{plan.at(plan.job.rowOffset + i - s), plan.at(plan.job.rowOffset + i)};
    };
    Finish finish{nullptr, divisor, !plan.sliding};
    if (k > 0) {
        const int row = plan.finishedRow(k - 1);
        if (row >= 0) finish.out = plan.job.surface[row] + plan.j0;
    }
    if (k == 0) return enterPhase<M>(sum, NoPhase{}, phaseAdd(0), s, finish);
    const bool fromAdd = plan.adds(k - 1);
    if (k == count) {
        if (fromAdd) return enterPhase<M>(sum, phaseAdd(k - 1), NoPhase{}, s, finish);
        return enterPhase<M>(sum, phaseSlide(k - 1), NoPhase{}, s, finish);
    }
    if (plan.adds(k)) return enterPhase<M>(sum, phaseAdd(k - 1), phaseAdd(k), s, finish);
    if (fromAdd) return enterPhase<M>(sum, phaseAdd(k - 1), phaseSlide(k), s, finish);
    enterPhase<M>(sum, phaseSlide(k - 1), phaseSlide(k), s, finish);
}

// ---- Direct groups ---------------------------------------------------------------------------

// Phase k of a direct group of K values of T (vectors or single doubles), then its means if the
// phase completes them.
template <class T, int K>
KERNEL_INLINE void directPhase(T* sum, const PhasePlan& plan, int k, const T& divisor) {
    constexpr int w = widthOf<T>;
    const int s = plan.s;
    if (plan.adds(k)) {
        const double* row = plan.addedRow(k);
        for (int b = 0; b < s; ++b)
            forEachIndex<0, K>([&]<int q>() { sum[q] = sum[q] + loadAt<T>(row - b + q * w); });
    } else {
        const int i = plan.slideRow(k);
        const double* leaving = plan.at(plan.job.rowOffset + i - s);
        const double* entering = plan.at(plan.job.rowOffset + i);
        for (int b = 0; b < s; ++b)
            forEachIndex<0, K>([&]<int q>() {
                sum[q] =
                    (sum[q] - loadAt<T>(leaving - b + q * w)) + loadAt<T>(entering - b + q * w);
            });
    }
    const int row = plan.finishedRow(k);
    if (row < 0) return;
    double* out = plan.job.surface[row] + plan.j0;
    forEachIndex<0, K>([&]<int q>() {
        storeAt(out + q * w, sum[q] / divisor);
        if (!plan.sliding) sum[q] = splat<T>(0.0);
    });
}

// ---- Whole ranges ----------------------------------------------------------------------------

enum class GroupKind { kStaggered, kDirect };

// Runs every group of [c0, c1] through the phases of rows firstRow ... lastRow, a stripe of
// phases at a time; `state` holds each group's sums between stripes (width + columns doubles).
template <GroupKind kind, class T, int N>
void runGroups(const WindowJob& job, bool sliding, int firstRow, int lastRow, int c0, int c1,
               double* state) {
    constexpr int columns = N * widthOf<T>;
    const Groups groups{c0, c1, columns};
    const int s = job.side;
    const T divisor = splat<T>(static_cast<double>(s * s));
    const int count = PhasePlan{job, 0, sliding, firstRow, s}.count(lastRow);
    // Staggered groups need one unit more than there are phases: the ramp after the last one.
    const int units = kind == GroupKind::kStaggered ? count + 1 : count;
    const PhasePlan range{job, c0, sliding, firstRow, s};
    prefetchPhases(range, 0, kStripePhases < count ? kStripePhases : count, c1 - c0 + 1);
    for (int u0 = 0; u0 < units; u0 += kStripePhases) {
        const int u1 = u0 + kStripePhases < units ? u0 + kStripePhases : units;
        const int next = u1 + kStripePhases < count ? u1 + kStripePhases : count;
        if (u1 < next) prefetchPhases(range, u1, next, c1 - c0 + 1);
        for (int g = 0; g < groups.count(); ++g) {
            const PhasePlan plan{job, groups.start(g), sliding, firstRow, s};
            double* saved = state + g * columns;
            T sum[N];
            for (int q = 0; q < N; ++q)
                sum[q] = u0 == 0 ? splat<T>(0.0) : loadAt<T>(saved + q * widthOf<T>);
            for (int u = u0; u < u1; ++u) {
                if constexpr (kind == GroupKind::kStaggered)
                    staggeredUnit<N>(sum, plan, u, count, divisor);
                else
                    directPhase<T, N>(sum, plan, u, divisor);
            }
            for (int q = 0; q < N; ++q) storeAt(saved + q * widthOf<T>, sum[q]);
        }
    }
}

// The widest group that suits the window side and the width of the range.
void computeRange(const WindowJob& job, bool sliding, int r0, int r1, int c0, int c1,
                  double* state) {
    const int s = job.side;
    const int width = c1 - c0 + 1;
    if (width >= kGroup * kLanes && s >= (kGroup - 1) * kLanes)
        return runGroups<GroupKind::kStaggered, Vec, kGroup>(job, sliding, r0, r1, c0, c1, state);
    constexpr int kHalf = kHalfGroup > 1 ? kHalfGroup : 1;
    if (kHalfGroup > 1 && width >= kHalf * kLanes && s >= (kHalf - 1) * kLanes)
        return runGroups<GroupKind::kStaggered, Vec, kHalf>(job, sliding, r0, r1, c0, c1, state);
    if (width >= kDirect * kLanes)
        return runGroups<GroupKind::kDirect, Vec, kDirect>(job, sliding, r0, r1, c0, c1, state);
    if (width >= kLanes)
        return runGroups<GroupKind::kDirect, Vec, 1>(job, sliding, r0, r1, c0, c1, state);
    runGroups<GroupKind::kDirect, double, 1>(job, sliding, r0, r1, c0, c1, state);
}

void slideColumns(const WindowJob& job, int c0, int c1, double* state) {
    computeRange(job, true, job.firstRow, job.lastRow, c0, c1, state);
}

void plainCells(const WindowJob& job, int r0, int r1, int c0, int c1, double* state) {
    computeRange(job, false, r0, r1, c0, c1, state);
}

#undef KERNEL_INLINE
