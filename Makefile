BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
SANITIZE_DIR ?= build-sanitize
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60
FUZZ_DIR ?= build-fuzz
WINDOWS_DIR ?= build-windows

.PHONY: all deps configure build run test sanitize-build bench fuzz screenshots format clean install uninstall \
	windows-test

all: build

deps:
	@./scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_ARGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	./$(BUILD_DIR)/nenrei

# For the current user, no root: see scripts/install.sh for where each file goes.
install: build
	@./scripts/install.sh install $(BUILD_DIR)/nenrei

uninstall:
	@./scripts/install.sh uninstall

SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

test: build sanitize-build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	cd $(SANITIZE_DIR) && QT_QPA_PLATFORM=offscreen $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS)

# The whole test suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize-build: deps
	@cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=Debug -DNENREI_SANITIZE=ON \
		-DNENREI_BENCH=OFF $(CMAKE_ARGS) >/dev/null
	@cmake --build $(SANITIZE_DIR) -j $(JOBS)

bench: build
	./$(BUILD_DIR)/bench/nenrei_bench

# The Qt-free libraries and their tests cross-built for Windows with mingw-w64 and run under
# Wine, with the differential check of the code page against a native build of its table
# writer ($(WINDOWS_DIR)/native). No Qt: the screens are not built for Windows here.
windows-test:
	@./scripts/install-deps.sh windows
	@cmake -S . -B $(WINDOWS_DIR)/native -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DNENREI_QT=OFF \
		-DNENREI_TESTS=OFF -DNENREI_BENCH=OFF $(CMAKE_ARGS) >/dev/null
	@cmake --build $(WINDOWS_DIR)/native -j $(JOBS) --target cp932_table
	@cmake -S . -B $(WINDOWS_DIR)/mingw -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
		-DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake -DNENREI_QT=OFF \
		-DNENREI_BENCH=OFF -DNENREI_NATIVE_CP932_TABLE=$(CURDIR)/$(WINDOWS_DIR)/native/tools/cp932_table \
		$(CMAKE_ARGS) >/dev/null
	@cmake --build $(WINDOWS_DIR)/mingw -j $(JOBS)
	@./scripts/wine-test.sh $(WINDOWS_DIR)/mingw -j $(JOBS)

# Each fuzz target for FUZZ_SECONDS seconds: clang, libFuzzer and the sanitizers.
fuzz: deps
	@CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DNENREI_FUZZ=ON $(CMAKE_ARGS) >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS)
	@./scripts/run-fuzz.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

# Pictures of the four screens, from the real program on a virtual display, into docs/.
screenshots: build
	@./scripts/screenshots.sh $(BUILD_DIR)/nenrei docs

format:
	@find core platform forms app tests bench tools fuzz \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(WINDOWS_DIR)
