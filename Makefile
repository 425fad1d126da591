# Thin wrapper over CMake: `make demo` and `make test` are the two commands of the README.
SANITIZE ?= 0
JOBS ?= $(shell nproc)
ifeq ($(SANITIZE),1)
BUILD := build-asan
CMAKE_FLAGS := -DTORVANE_SANITIZE=ON -DTORVANE_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
else
BUILD := build
CMAKE_FLAGS := -DCMAKE_BUILD_TYPE=RelWithDebInfo
endif

.PHONY: deps build test demo bench fuzz format clean

deps:
	@scripts/deps.sh

build: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
	  ctest --output-on-failure -j $(JOBS)

demo: build
	@scripts/demo.sh $(BUILD)

bench: build
	@scripts/bench.sh $(BUILD)

# make fuzz FORMAT=jww SECONDS=60: runs one document's libFuzzer target (reading and drawing) on its seed corpus,
# under ASan and UBSan. An input that takes over 2 s or 1 GB counts as a finding; findings land in
# build-fuzz/artifacts-FORMAT/, new inputs in build-fuzz/corpus-FORMAT/.
FORMAT ?= jww
SECONDS ?= 60
fuzz:
	@WITH_FUZZ=1 scripts/deps.sh
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
