# The two commands of the README. Everything else is CMake's.
#
# CXX=clang++ make test (or make test CXX=clang++) builds with that compiler
# in a build folder of its own (build-clang++), so both can stay configured.
ifneq ($(filter environment command%,$(origin CXX)),)
BUILD_DIR ?= build-$(notdir $(CXX))
COMPILER_FLAG = -DCMAKE_CXX_COMPILER=$(CXX)
DEPS_FLAGS = $(if $(findstring clang,$(CXX)),--clang)
endif
BUILD_DIR ?= build
# RelWithDebInfo (-O2 -g) unless told otherwise; `None` compiles with no
# optimisation and no debug info, the quickest build for a warnings-only pass.
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: run test test-windows deps configure build package fuzz-smoke

# Starts the window program. Without a display it runs on a virtual one
# (xvfb-run), which shows nothing but lets the program start and be looked at
# with screenshots.
run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ] && command -v xvfb-run >/dev/null 2>&1; then \
		echo "run: no display; starting replidex under xvfb-run (virtual screen 1280x800x24)"; \
		xvfb-run -a -s '-screen 0 1280x800x24' $(BUILD_DIR)/bin/replidex; \
	else \
		$(BUILD_DIR)/bin/replidex; \
	fi

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# The Debian package of what `cmake --install` lays out, under /usr:
# $(BUILD_DIR)/replidex_<version>_<arch>.deb (CPack, cmake/Packaging.cmake).
package: build
	@cmake --build $(BUILD_DIR) --target package
	@ls $(BUILD_DIR)/replidex_*.deb

deps:
	@scripts/install-deps $(DEPS_FLAGS)

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(COMPILER_FLAG) $(CMAKE_FLAGS) > /dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

# Each fuzz target for FUZZ_SECONDS (default 60) from seeds made by the
# project's generators; fails on any finding (crash input left in
# $(FUZZ_DIR)/findings). Not part of `make test`.
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS = replay listfile settings query contentindex

fuzz-smoke: build
	@scripts/install-deps --clang
	@cmake -S . -B $(FUZZ_DIR) -DREPLIDEX_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ \
		-DREPLIDEX_TESTS=OFF -DREPLIDEX_BENCH=OFF > /dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target $(addprefix fuzz_,$(FUZZ_TARGETS))
	@rm -rf $(FUZZ_DIR)/seeds && $(BUILD_DIR)/tests/make-fuzz-seeds $(FUZZ_DIR)/seeds
	@mkdir -p $(FUZZ_DIR)/findings
	@for t in $(FUZZ_TARGETS); do \
		echo "fuzz-smoke: $$t for $(FUZZ_SECONDS) s"; \
		mkdir -p $(FUZZ_DIR)/corpus/$$t; \
		$(FUZZ_DIR)/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -max_len=65536 \
			-artifact_prefix=$(FUZZ_DIR)/findings/$$t- $(FUZZ_DIR)/corpus/$$t $(FUZZ_DIR)/seeds/$$t \
			> $(FUZZ_DIR)/fuzz-$$t.log 2>&1 || { tail -n 30 $(FUZZ_DIR)/fuzz-$$t.log; exit 1; }; \
		tail -n 1 $(FUZZ_DIR)/fuzz-$$t.log; \
	done

# The core, the platform layer below the windows, replidex-cli and their tests
# cross-built for 64-bit Windows (mingw-w64) in $(WINDOWS_BUILD_DIR) and run
# under Wine in a throw-away prefix made afresh each run; then replidex-cli's
# `analyse` and `dump` under Wine are compared byte for byte with the Linux
# build's on the same generated files. The Qt windows are not built.
WINDOWS_BUILD_DIR ?= build-windows
WINE ?= $(firstword $(wildcard /usr/lib/wine/wine64) wine)
WINESERVER ?= $(firstword $(wildcard $(dir $(WINE))wineserver) wineserver)
WINE_ENV = WINEPREFIX=$(abspath $(WINDOWS_BUILD_DIR))/wineprefix WINEDEBUG=-all WINE=$(WINE)

# Installing comes first in a make of its own: where Wine is gets looked up
# when this Makefile is read, and on a fresh machine it is not there before.
test-windows:
	@$(MAKE) --no-print-directory configure DEPS_FLAGS="$(DEPS_FLAGS) --windows"
	@$(MAKE) --no-print-directory windows-tests

.PHONY: windows-tests
windows-tests:
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target replidex-cli make-sample
	@cmake -S . -B $(WINDOWS_BUILD_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake \
		-DCMAKE_BUILD_TYPE=Release -DREPLIDEX_BENCH=OFF -DREPLIDEX_WINE=$(WINE) $(WINDOWS_CMAKE_FLAGS) > /dev/null
	@cmake --build $(WINDOWS_BUILD_DIR) -j $(JOBS)
	@rm -rf $(WINDOWS_BUILD_DIR)/wineprefix
	@echo "test-windows: starting a fresh Wine prefix"
	@$(WINE_ENV) $(WINE) wineboot -i > /dev/null 2>&1
	@status=0; \
	(cd $(WINDOWS_BUILD_DIR) && $(WINE_ENV) ctest --output-on-failure -j $(JOBS)) || status=1; \
	$(WINE_ENV) tests/windows/compare-cli-output $(BUILD_DIR) $(WINDOWS_BUILD_DIR) || status=1; \
	$(WINE_ENV) $(WINESERVER) -k || true; \
	exit $$status
