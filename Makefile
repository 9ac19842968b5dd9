# Front door: `make test` sets everything up and runs every test.
BUILD   ?= build
NATIVE  := $(BUILD)/native
WIN64   := $(BUILD)/win64
TSAN    := $(BUILD)/tsan
JOBS    ?= $(shell nproc)
FUZZ_SECONDS ?= 120

.PHONY: all deps native win64 tsan test test-native test-win64 fuzz clean run

all: native win64

deps:
	@tools/install-deps

$(NATIVE)/build.ninja: | deps
	cmake -S . -B $(NATIVE) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTORVANE_FUZZ=ON

$(TSAN)/build.ninja: | deps
	cmake -S . -B $(TSAN) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTORVANE_TSAN=ON

$(WIN64)/build.ninja: | deps
	cmake -S . -B $(WIN64) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake

native: deps $(NATIVE)/build.ninja
	cmake --build $(NATIVE) -j $(JOBS)

win64: deps $(WIN64)/build.ninja
	cmake --build $(WIN64) -j $(JOBS)

# The native unit tests again, under ThreadSanitizer.
tsan: deps $(TSAN)/build.ninja
	cmake --build $(TSAN) -j $(JOBS)

test-native: native
	ctest --test-dir $(NATIVE) --output-on-failure -j $(JOBS)

test-win64: win64
	tools/with-display ctest --test-dir $(WIN64) --output-on-failure -j $(JOBS)

# Every test run always runs; the target fails if any did.
test: native tsan win64
	@status=0; \
	ctest --test-dir $(NATIVE) --output-on-failure -j $(JOBS) || status=1; \
	ctest --test-dir $(TSAN) --output-on-failure -j $(JOBS) -L unit || status=1; \
	tools/with-display ctest --test-dir $(WIN64) --output-on-failure -j $(JOBS) || status=1; \
	exit $$status

# Starts torvane.exe from build/win64/dist under Wine (see tools/run).
run: win64
	@BUILD=$(BUILD) tools/run

fuzz: native
	@for t in fuzz_base64 fuzz_database; do \
	  mkdir -p $(NATIVE)/fuzz-corpus/$$t; \
	  $(NATIVE)/tests/fuzz/$$t -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=2048 \
	    $(NATIVE)/fuzz-corpus/$$t tests/fuzz/corpus || exit 1; \
	done

clean:
	rm -rf $(BUILD)
