# One way in: `make demo` runs the sample analysis, `make test` builds and passes every test.
# Each target installs what it needs first, so that it works alone on a fresh machine.

BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
# Warnings are errors in our own builds.
WERROR = -DVANTREL_WERROR=ON

.PHONY: deps configure build test demo gui bench bench-python clean test-sanitize fuzz check-format \
	windows test-windows validate package

# The Debian packages a target needs, installed first (scripts/install-deps names them per target):
# deps-demo, deps-test, ...; `deps` installs every package.
deps:
	scripts/install-deps all

deps-%:
	scripts/install-deps $*

configure:
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release $(WERROR) $(CMAKE_FLAGS)

build: deps-build configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# The C++ tests first, in parallel; then the Python package's pytest run, which wants the cores.
test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS) -E '^python_package$$'
	cd $(BUILD_DIR) && ctest --output-on-failure -R '^python_package$$'

# The Debian package of everything cmake --install installs: $(BUILD_DIR)/vantrel_*.deb, its
# control fields and files listed, and its vantrel-cli run from an unpacked copy.
package: build
	cmake --build $(BUILD_DIR) --target package
	scripts/check-package $(BUILD_DIR)/vantrel_*.deb

# The demo builds vantrel-cli and vantrel-make-surface and what they link, nothing else.
demo: deps-demo configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target vantrel-cli vantrel-make-surface
	$(BUILD_DIR)/cli/vantrel-cli run examples/demo.cfg --yes
	@echo
	@echo "examples/rough_surface.txt.out.txt (window area, residual sum):"
	@cat examples/rough_surface.txt.out.txt
	@echo
	@echo "The results are in $(CURDIR)/examples/rough_surface.txt.out.txt"
	@echo
	$(BUILD_DIR)/cli/vantrel-cli analyse examples/rough_surface.txt
	@echo
	@echo "The sample is midpoint displacement, only roughly self-affine. An exact fractional"
	@echo "Brownian surface made with H = 0.7 (the README's fbm.txt) gives its H back:"
	@cd $(BUILD_DIR) && examples/vantrel-make-surface --fbm --hurst 0.7 --size 256 256 --seed 1 fbm.txt \
	  && cli/vantrel-cli analyse fbm.txt

# The desktop dialog: build, then start it on the current display.
gui: build
	$(BUILD_DIR)/ui/vantrel

# The whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer, without the
# desktop backend; a printf-style call whose format is not a literal and has no arguments (text
# of the user's taken for a format) does not compile there.
ASAN_DIR ?= build-asan
SANITIZE_FLAGS = -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all

test-sanitize: deps-sanitize
	cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(WERROR) -DVANTREL_BUILD_GUI=OFF \
	  -DVANTREL_BUILD_PYTHON=OFF \
	  "-DCMAKE_CXX_FLAGS=$(SANITIZE_FLAGS) -Wformat -Werror=format-security" \
	  "-DCMAKE_EXE_LINKER_FLAGS=$(SANITIZE_FLAGS)"
	cmake --build $(ASAN_DIR) -j $(JOBS)
	cd $(ASAN_DIR) && ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizer/leak-suppressions.txt:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

# The libFuzzer targets (clang), each run for FUZZ_SECONDS; any finding fails.
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_FLAGS = -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer
FUZZERS = data_matrix progression config number_text npy gsf gwy x3p csv

fuzz: deps-fuzz
	cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
	  -DVANTREL_BUILD_GUI=OFF -DVANTREL_BUILD_TESTS=OFF -DVANTREL_BUILD_FUZZERS=ON \
	  "-DCMAKE_CXX_FLAGS=$(FUZZ_FLAGS)"
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target $(FUZZERS:%=%_fuzzer)
	scripts/run-fuzzers $(FUZZ_DIR) $(FUZZ_SECONDS) $(FUZZERS)

# The speed of the exact, fast, loading and writing paths against the literal analysis in
# bench/, on inputs generated into $(BENCH_DIR)/bench-data (kept for later runs); prints one table.
BENCH_DIR ?= build-bench

bench: deps-bench
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release $(WERROR) -DVANTREL_BUILD_BENCH=ON \
	  -DVANTREL_BUILD_GUI=OFF -DVANTREL_BUILD_TESTS=OFF
	cmake --build $(BENCH_DIR) -j $(JOBS) --target vantrel-bench vantrel-make-surface vantrel-cli
	$(BENCH_DIR)/bench/vantrel-bench --work $(BENCH_DIR)/bench-data \
	  --generator $(BENCH_DIR)/examples/vantrel-make-surface --cli $(BENCH_DIR)/cli/vantrel-cli

# The simulation study of the scaling analysis (docs/analysis.md): exact fractional Brownian
# surfaces of known H through `vantrel-cli analyse`'s defaults; prints the table of bias, spread
# and coverage on the report seeds. Takes minutes.
validate: build
	nice $(BUILD_DIR)/validate/vantrel-validate

# The Python package against the command line and against a summed-area-table NumPy script, as
# ratios in one table.
bench-python: deps-bench
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DVANTREL_BUILD_BENCH=ON \
	  -DVANTREL_BUILD_GUI=OFF -DVANTREL_BUILD_TESTS=OFF
	cmake --build $(BENCH_DIR) -j $(JOBS) --target vantrel_python vantrel-cli
	PYTHONPATH=$(BENCH_DIR)/python /usr/bin/python3 bench/python_bench.py --cli $(BENCH_DIR)/cli/vantrel-cli

clean:
	rm -rf $(BUILD_DIR)

# The Windows programs (vantrel.exe, vantrel-cli.exe, the test programs), cross-compiled with
# MinGW-w64 and linked statically, in $(WINDOWS_DIR).
WINDOWS_DIR ?= build-windows

windows: deps-windows
	cmake -S . -B $(WINDOWS_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release $(WERROR)
	cmake --build $(WINDOWS_DIR) -j $(JOBS)

# The Windows test programs under Wine, the window test on a virtual display, and the Windows
# vantrel-cli.exe against the Linux vantrel-cli on the sample, byte for byte.
test-windows: windows configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target vantrel-cli
	scripts/test-windows $(WINDOWS_DIR) $(BUILD_DIR)

# Every C++ file of ours as .clang-format has it.
check-format: deps-format
	git ls-files '*.cpp' '*.h' | xargs clang-format-14 --dry-run --Werror
