# Each build is a preset of CMakePresets.json (`cmake --list-presets`); `make run` and
# `make test` also install the Debian packages the build needs, a plain configure and
# build never does.
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60

.PHONY: all deps configure build run test sanitize-build bench fuzz screenshots format \
	format-check tidy clean install uninstall windows-test windows-app windows-gui-test \
	windows-screenshots deb deb-test

all: build

deps:
	@./scripts/install-deps.sh

configure:
	@cmake --preset default $(CMAKE_ARGS) >/dev/null

build: configure
	@cmake --build --preset default -j $(JOBS)

run: deps build
	./build/nenrei

# For the current user, no root: cmake --install with the per-user prefix, and the
# launchers in ~/.local/bin; see scripts/install.sh for where each file goes. Uninstalling
# removes what the install manifest kept in the program folder lists.
install: deps build
	@./scripts/install.sh install build

uninstall:
	@./scripts/install.sh uninstall

test: deps build sanitize-build
	ctest --preset default -j $(JOBS)
	ctest --preset sanitize -j $(JOBS)

# The whole test suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize-build:
	@cmake --preset sanitize $(CMAKE_ARGS) >/dev/null
	@cmake --build --preset sanitize -j $(JOBS)

# The Google Benchmark programs (名簿表 beside a bare Qt window among them), nenrei-csv
# against short Python scripts doing the same jobs side by side, and the import's peak
# memory on inputs of any size.
bench: deps build
	./build/bench/nenrei_bench
	./build/bench/meibo_bench
	python3 bench/compare_with_python.py build/nenrei-csv
	python3 bench/import_memory.py build/nenrei-csv

# The Qt-free libraries and their tests cross-built for Windows with mingw-w64 and run under
# Wine, with the differential check of the code page against a native build of its table
# writer (build-windows/native). No Qt: the screens are not built for Windows here.
windows-test:
	@./scripts/install-deps.sh windows
	@cmake --preset windows-native $(CMAKE_ARGS) >/dev/null
	@cmake --build --preset windows-native -j $(JOBS) --target cp932_table
	@cmake --preset mingw-cross $(CMAKE_ARGS) >/dev/null
	@cmake --build --preset mingw-cross -j $(JOBS)
	@./scripts/wine-test.sh build-windows/mingw -j $(JOBS)

# The whole program for Windows: the programs of cmake/programs.cmake cross-built against a
# static Qt and libcsv that scripts/windows-qt.sh builds once from Debian's sources into a
# cache outside the checkout, packed as the ZIP a Windows user unpacks and runs and as the
# per-user installer (build-windows/qt/nenrei-VERSION-windows-x64.zip and
# nenrei-VERSION-windows-x64-setup.exe). The places where an earlier configure found Qt and
# libcsv are forgotten, so that a Qt built anew into another cache folder is used.
WINDOWS_QT = build-windows/qt
windows-app:
	@./scripts/install-deps.sh windows
	@prefix="$$(./scripts/windows-qt.sh)" && \
		cmake --preset mingw-qt -DCMAKE_PREFIX_PATH="$$prefix" -U 'Qt6*_DIR' -U 'LIBCSV_*' \
			$(CMAKE_ARGS) >/dev/null
	@cmake --build --preset mingw-qt -j $(JOBS) --target programs
	@./scripts/windows-package.sh $(WINDOWS_QT)

# Every test of that build under Wine, the screens' among them (offscreen), the ZIP's
# program in a real window on a virtual display and the installer's round trip; then the
# Qt-free tests and nenrei-csv's once more, built without the application manifest (so
# with the system's ANSI code page, not UTF-8): the wide calls alone must carry Japanese
# names.
WINDOWS_PLAIN = build-windows/qt-nomanifest
windows-gui-test: windows-app
	@cmake --build --preset mingw-qt -j $(JOBS)
	@./scripts/wine-test.sh $(WINDOWS_QT) -j $(JOBS)
	@cmake --preset mingw-nomanifest -DCMAKE_PREFIX_PATH="$$(./scripts/windows-qt.sh)" \
		$(CMAKE_ARGS) >/dev/null
	@cmake --build --preset mingw-nomanifest -j $(JOBS)
	@./scripts/wine-test.sh $(WINDOWS_PLAIN) -j $(JOBS)

# Pictures of the four screens of the Windows build, under Wine, into docs/.
windows-screenshots: windows-app
	@NENREI_SHOTS=docs bash tests/window/wine_window_test.sh \
		$(WINDOWS_QT)/nenrei-*-windows-x64.zip

# The Debian package, build-deb/nenrei_VERSION_amd64.deb: the programs built once more with
# Debian's build flags (all the hardening) and laid out as a system package (programs in
# /usr/lib/nenrei, launchers in /usr/bin), packed by CPack with dpkg-shlibdeps' dependencies.
DEB_FLAGS = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get
deb: deps
	@cmake --preset deb $(CMAKE_ARGS) \
		-DCMAKE_CXX_FLAGS="$$($(DEB_FLAGS) CPPFLAGS) $$($(DEB_FLAGS) CXXFLAGS)" \
		-DCMAKE_EXE_LINKER_FLAGS="$$($(DEB_FLAGS) LDFLAGS)" >/dev/null
	@cmake --build --preset deb -j $(JOBS)
	@cd build-deb && cpack >/dev/null && ls "$$PWD"/nenrei_*_amd64.deb

# lintian on the package (an error fails, warnings are shown), then the package unpacked
# into a read-only tree and run from there by a user who cannot write to it.
deb-test: deb
	lintian --fail-on error build-deb/nenrei_*_amd64.deb
	bash tests/package/deb_test.sh build-deb/nenrei_*_amd64.deb

# Each fuzz target for FUZZ_SECONDS seconds: clang, libFuzzer and the sanitizers.
fuzz: deps
	@cmake --preset fuzz $(CMAKE_ARGS) >/dev/null
	@cmake --build --preset fuzz -j $(JOBS)
	@./scripts/run-fuzz.sh build-fuzz $(FUZZ_SECONDS)

# Pictures of the four screens, from the real program on a virtual display, into docs/.
screenshots: deps build
	@./scripts/screenshots.sh build/nenrei docs

SOURCES = $(shell git ls-files '*.cpp' '*.h')

format:
	@clang-format -i $(SOURCES)

# Fails on any line that clang-format would change.
format-check:
	@clang-format --dry-run --Werror $(SOURCES)

# clang-tidy with the checks of .clang-tidy over the program's own sources (the Win32 ones
# are checked by their compiler in make windows-test).
# Its counts of warnings in system headers are left out; any finding fails.
tidy: configure
	@bash -o pipefail -c "git ls-files 'core/*.cpp' 'storage/*.cpp' 'platform/*.cpp' 'datafiles/*.cpp' 'forms/*.cpp' 'app/*.cpp' 'csv/*.cpp' 'meibo/*.cpp' ':!platform/win32/*' | \
		xargs -P $(JOBS) -n 4 clang-tidy -p build --quiet 2>&1 | \
		{ grep -v ' warnings generated\.$$' || true; }"

clean:
	rm -rf build build-sanitize build-fuzz build-windows build-deb
