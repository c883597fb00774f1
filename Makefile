# The two commands of the README. Everything else is CMake's.
BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: run test deps configure build fuzz-smoke

# Starts the window program. Without a display it runs on a virtual one
# (xvfb-run), which shows nothing but lets the program start and be looked at
# with screenshots.
run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ] && command -v xvfb-run >/dev/null 2>&1; then \
		echo "run: no display; starting replidex under xvfb-run (virtual screen 1280x800x24)"; \
		xvfb-run -a -s '-screen 0 1280x800x24' $(BUILD_DIR)/src/replidex; \
	else \
		$(BUILD_DIR)/src/replidex; \
	fi

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)
