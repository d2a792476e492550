# Two entry points on a Debian 12 machine (./run.sh and ./test.sh do the
# same where not even make is installed yet):
#   make run   - installs what is missing, builds, runs the game in build/game
#   make test  - installs what is missing, builds, runs every test
#   make fuzz  - builds the file-reader fuzzers with clang and runs each one
#                for FUZZ_SECONDS on its corpus (new finds go to build-fuzz/)
#   make soak  - an hour of random play (SOAK_TICKS ticks at virtual time)
#                without pictures, then SOAK_DRAWN_TICKS drawn ones, under
#                AddressSanitizer and LeakSanitizer in build-asan
# and for CI:
#   make test-sanitize - the same tests built with AddressSanitizer and
#                        UndefinedBehaviorSanitizer in build-asan, reusing
#                        the models and files generated in build
# and for Windows, cross-built with mingw-w64 in build-win:
#   make windows       - quorvax.exe, quorvax-replay.exe, the Windows test
#                        program and quorvax-<version>-win64.zip, with the
#                        game's files generated in build
#   make test-windows  - those tests under Wine and Xvfb, and the replays
#                        compared with the Linux ones
# and for the browser, built with emscripten in build-web:
#   make web           - the site in build-web/site (page, game, files, song)
#                        and the replay tool for node, build-web/quorvax-replay.js
#   make serve-web     - serves the site on 127.0.0.1 (WEB_PORT) for a browser
#   make test-web      - the replays under node compared with the Linux ones,
#                        and the page played in a headless Chromium
BUILD ?= build
SANITIZE_BUILD ?= build-asan
CMAKE_FLAGS ?=
WIN_BUILD ?= build-win
WIN_TOOLCHAIN := $(abspath cmake/mingw-w64-x86_64.cmake)
WEB_BUILD ?= build-web
WEB_PORT ?= 8000
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_JOBS ?= 2
FUZZ_TARGETS := bmp dib jpeg wave midi scores submission
SOAK_TICKS ?= 90000
SOAK_DRAWN_TICKS ?= 9000
SANITIZE_CONFIGURE = cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	-DQUORVAX_SANITIZE=ON -DQUORVAX_BENCH=OFF -DQUORVAX_CONTENT_FROM=$(abspath $(BUILD)) \
	$(CMAKE_FLAGS) >/dev/null
SANITIZE_ENV = UBSAN_OPTIONS=print_stacktrace=1 \
	LSAN_OPTIONS=suppressions=$(abspath scripts/lsan.supp):print_suppressions=0

.PHONY: all deps configure build run test test-sanitize windows test-windows web serve-web test-web \
	fuzz soak format-check clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD)

run: build
	cd $(BUILD)/game && ./quorvax

test: build
	@bash scripts/run-tests.sh $(BUILD)

test-sanitize: build
	@$(SANITIZE_CONFIGURE)
	@cmake --build $(SANITIZE_BUILD)
	@$(SANITIZE_ENV) bash scripts/run-tests.sh $(SANITIZE_BUILD)

# The Windows build links its two libraries statically, cross-built from
# Debian's sources into $(WIN_BUILD)/deps, and takes the game's files from
# the generators of the Linux build tree; the Windows game sends its games
# to the Linux quorvax-server in test-windows.
windows: configure
	@cmake --build $(BUILD) --target quorvax_content quorvax_models quorvax_icons quorvax-replay quorvax-verify \
		quorvax-server
	@bash scripts/install-deps-windows.sh
	@bash scripts/windows-deps.sh $(WIN_BUILD) $(WIN_TOOLCHAIN)
	@cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_TOOLCHAIN_FILE=$(WIN_TOOLCHAIN) -DCMAKE_PREFIX_PATH=$(abspath $(WIN_BUILD))/deps/prefix \
		-DQUORVAX_CONTENT_FROM=$(abspath $(BUILD)) -DQUORVAX_BENCH=OFF >/dev/null
	@cmake --build $(WIN_BUILD)
	@cmake --build $(WIN_BUILD) --target quorvax_zip

test-windows: windows
	@bash scripts/test-windows.sh $(WIN_BUILD) $(BUILD)

# The browser build takes the game's files from the generators of the Linux
# build tree; the Linux replay tool is what the node one is compared with.
web: configure
	@cmake --build $(BUILD) --target quorvax_content quorvax_models quorvax_font_glyphs quorvax-replay quorvax-verify quorvax-server
	@bash scripts/web-build.sh $(WEB_BUILD) $(BUILD)

serve-web: web
	@echo "The game: http://127.0.0.1:$(WEB_PORT)/ (Ctrl+C stops the server)"
	@cd $(WEB_BUILD)/site && /usr/bin/python3 -u -m http.server $(WEB_PORT) --bind 127.0.0.1

test-web: web
	@bash scripts/test-web.sh $(WEB_BUILD) $(BUILD)

# The soak program checks OpenGL after every frame and resident memory from
# the first minute to the end; the leak check runs when it exits. A small
# quarantine keeps freed blocks from counting as growth.
soak: build
	@$(SANITIZE_CONFIGURE)
	@cmake --build $(SANITIZE_BUILD) --target quorvax-soak
	cd $(SANITIZE_BUILD)/game && $(SANITIZE_ENV) SDL_AUDIODRIVER=dummy \
		ASAN_OPTIONS=detect_leaks=1:quarantine_size_mb=16 ./quorvax-soak --headless --ticks $(SOAK_TICKS)
	cd $(SANITIZE_BUILD)/game && $(SANITIZE_ENV) SDL_AUDIODRIVER=dummy \
		ASAN_OPTIONS=detect_leaks=1:quarantine_size_mb=16 ./quorvax-soak --ticks $(SOAK_DRAWN_TICKS)

# Each target works on a copy of its seed corpus, so that a run does not
# change the repository; crashing inputs are written next to the copy. A
# fuzzer uses one core: FUZZ_JOBS of them run side by side, each for its
# own FUZZ_SECONDS.
fuzz:
	@cmake -S fuzz -B $(FUZZ_BUILD) -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build $(FUZZ_BUILD) -j2
	@printf '%s\n' $(FUZZ_TARGETS) | \
		xargs -P $(FUZZ_JOBS) -I{} bash scripts/fuzz-one.sh $(FUZZ_BUILD) {} $(FUZZ_SECONDS)

format-check:
	@bash scripts/format-check.sh

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(WIN_BUILD) $(WEB_BUILD)
