# One way in: `make demo` runs the sample analysis, `make test` builds and passes every test.
# Each target installs what it needs first, so that it works alone on a fresh machine.

BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: deps configure build test demo gui bench clean

deps:
	scripts/install-deps

configure:
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

build: deps configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

demo: build
	$(BUILD_DIR)/cli/vantrel-cli run examples/demo.cfg --yes
	@echo
	@echo "examples/rough_surface.txt.out.txt (window area, residual sum):"
	@cat examples/rough_surface.txt.out.txt

# The desktop dialog: build, then start it on the current display.
gui: build
	$(BUILD_DIR)/ui/vantrel

clean:
	rm -rf $(BUILD_DIR)
