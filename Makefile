# Thin wrapper over CMake: `make demo` and `make test` are the two commands of the README; `make install`.
SANITIZE ?= 0
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local
DESTDIR ?=
ifeq ($(SANITIZE),1)
BUILD := build-asan
CMAKE_FLAGS := -DTORVANE_SANITIZE=ON -DTORVANE_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
else
BUILD := build
CMAKE_FLAGS := -DCMAKE_BUILD_TYPE=RelWithDebInfo
endif

.PHONY: deps deps-test build tools test demo install uninstall bench fuzz format clean

deps:
	@scripts/deps.sh

deps-test:
	@WITH_TESTS=1 scripts/deps.sh

# Everything: the executables, tests and benchmarks.
build: deps-test
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) -DBUILD_TESTING=ON >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

# The two executables alone: a fresh build folder is made without tests, so no test framework is needed; one
# that `make test` made keeps its tests and only the two targets are built.
tools: deps
	@[ -f $(BUILD)/CMakeCache.txt ] || cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) -DBUILD_TESTING=OFF >/dev/null
	@cmake --build $(BUILD) -j $(JOBS) --target torvanesub drawconv

test: build
	@cd $(BUILD) && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
	  ctest --output-on-failure -j $(JOBS)

demo: tools
	@scripts/demo.sh $(BUILD)

# make install [PREFIX=/usr/local] [DESTDIR=/staging]: what goes where is in data/install.cmake.
install: tools
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix $(PREFIX)

# Removes the files the last install listed in its manifest, then the folders of our own it made.
uninstall:
	@DESTDIR="$(DESTDIR)" scripts/uninstall.sh $(BUILD)/install_manifest.txt

bench: build
	@scripts/bench.sh $(BUILD)

# make fuzz FORMAT=jww SECONDS=60: runs one document's libFuzzer target (reading and drawing) on its seed corpus,
# under ASan and UBSan. An input that takes over 2 s or 1 GB counts as a finding; findings land in
# build-fuzz/artifacts-FORMAT/, new inputs in build-fuzz/corpus-FORMAT/.
FORMAT ?= jww
SECONDS ?= 60
fuzz:
	@WITH_TESTS=1 WITH_FUZZ=1 scripts/deps.sh
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DTORVANE_FUZZ=ON -DTORVANE_BENCH=OFF \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build build-fuzz -j $(JOBS) --target fuzz_$(FORMAT)
	@mkdir -p build-fuzz/corpus-$(FORMAT) build-fuzz/artifacts-$(FORMAT)
	@LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
	  build-fuzz/tests/fuzz/fuzz_$(FORMAT) -max_total_time=$(SECONDS) -max_len=65536 -timeout=2 -rss_limit_mb=1024 \
	  -artifact_prefix=build-fuzz/artifacts-$(FORMAT)/ build-fuzz/corpus-$(FORMAT) tests/fuzz/corpus/$(FORMAT)

clean:
	rm -rf build build-asan build-fuzz out

# make format rewrites the sources to .clang-format; `make test` fails on what it would change.
format:
	@scripts/format.sh --fix
