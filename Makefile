# Front door to the CMake build. `make run` and `make test` install what is missing first.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

.PHONY: all deps deps-test configure build run test test-release test-asan bench fuzz clean

all: build

deps:
	@scripts/install-deps.sh build

deps-test:
	@scripts/install-deps.sh test

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD) -j$(JOBS)

run: build
	./$(BUILD)/nimbolt-sketch

# Every test: the release build (warnings are errors) with unit, GUI and end-to-end
# tests, then unit and GUI tests again under AddressSanitizer and UBSan.
test: deps-test
	$(MAKE) test-release
	$(MAKE) test-asan
	$(MAKE) fuzz FUZZ_SECONDS=15
	@scripts/code-ratio.sh
	@python3 scripts/test-summary.py $(BUILD)/ctest-junit.xml $(ASAN_BUILD)/ctest-junit.xml

test-release:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNIMBOLT_WERROR=ON $(CMAKE_ARGS)
	cmake --build $(BUILD) -j$(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS) --output-junit ctest-junit.xml

test-asan:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DNIMBOLT_WERROR=ON -DNIMBOLT_SANITIZE=ON $(CMAKE_ARGS)
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j$(JOBS) -LE e2e --output-junit ctest-junit.xml

# Benchmarks run on an optimised build of their own.
BENCH_BUILD ?= build-bench
bench: deps-test
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS)
	cmake --build $(BENCH_BUILD) -j$(JOBS)
	bench/run-all.sh $(BENCH_BUILD)

# libFuzzer targets, built with clang; FUZZ_SECONDS each.
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz: deps-test
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNIMBOLT_FUZZ=ON $(CMAKE_ARGS)
	cmake --build $(FUZZ_BUILD) -j$(JOBS) --target fuzzers
	scripts/run-fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(BENCH_BUILD)

# Installation (PREFIX, default /usr/local; DESTDIR for a staging root) and the Debian package.
# The program goes to $(PREFIX)/lib/nimbolt-sketch with a link in $(PREFIX)/bin.
PREFIX ?= /usr/local
.PHONY: install uninstall deb
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"
	cp $(BUILD)/install_manifest.txt $(BUILD)/installed_files.txt
	@[ -n "$(DESTDIR)" ] || packaging/refresh-desktop-caches.sh "$(PREFIX)"

uninstall:
	DESTDIR="$(DESTDIR)" cmake -DMANIFEST=$(BUILD)/installed_files.txt -P $(BUILD)/packaging/uninstall.cmake
	@[ -n "$(DESTDIR)" ] || packaging/refresh-desktop-caches.sh "$(PREFIX)"

deb: build
	cd $(BUILD) && cpack -G DEB
