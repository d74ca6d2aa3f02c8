# The two commands of the README: `make run` and `make test`.
BUILD      ?= build
ASAN_BUILD ?= build-asan
CMAKE_GEN  := -G Ninja
JOBS       ?= 2
# `make install` puts the program in this portable folder, its menu entry and
# icons in the user's data folder ($XDG_DATA_HOME, else ~/.local/share).
PREFIX     ?= $(HOME)/Tessellon

.PHONY: deps configure build build-tool run install uninstall test test-asan bench fuzz clean

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

# Everything, the tests included.
build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# Only the program and the form data it embeds: what `make run` runs.
build-tool: configure
	@cmake --build $(BUILD) -j $(JOBS) --target tessellon

SAMPLES := assets/samples/sample1.jpg assets/samples/sample2.jpg assets/samples/sample3.jpg

# With a display the real window; without one, the three samples dropped on
# the three boxes offscreen. The detail picture is written beside the program.
run: build-tool
	@if [ -n "$$DISPLAY" ]; then \
	  echo "tessellon: drag photographs from a file manager onto the three boxes; each drop writes $(abspath $(BUILD))/细节.jpg, beside the program; the close box ends it"; \
	  ./$(BUILD)/tessellon; \
	else \
	  ./$(BUILD)/tessellon --platform offscreen --drop 115,163 $(word 1,$(SAMPLES)) \
	    --drop 363,163 $(word 2,$(SAMPLES)) --drop 115,363 $(word 3,$(SAMPLES)) \
	    --screenshot $(BUILD)/screenshot.png && \
	  echo "tessellon: wrote $(BUILD)/细节.jpg and the window's screenshot $(BUILD)/screenshot.png"; \
	fi

install: build-tool
	@scripts/desktop-install install $(BUILD)/tessellon "$(PREFIX)"

# Removes what the install's manifest lists; pictures the program wrote stay.
uninstall:
	@scripts/desktop-install uninstall "$(PREFIX)"

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-asan: deps
	@cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DTESSELLON_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

bench: deps
	@cmake -S . -B build-bench $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DTESSELLON_BENCH=ON >/dev/null
	@cmake --build build-bench -j $(JOBS)

fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSELLON_FUZZ=ON >/dev/null
	@cmake --build build-fuzz -j $(JOBS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-bench build-fuzz
