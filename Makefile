# Front door to the CMake build. `make run` and `make test` install what is missing first.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

# The release build takes Debian's hardening flags, as the Debian package is built with them.
DEB_FLAGS     = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get
RELEASE_FLAGS = -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "-DCMAKE_CXX_FLAGS=$(shell $(DEB_FLAGS) CPPFLAGS 2>/dev/null) $(shell $(DEB_FLAGS) CXXFLAGS 2>/dev/null)" \
  "-DCMAKE_EXE_LINKER_FLAGS=$(shell $(DEB_FLAGS) LDFLAGS 2>/dev/null)"

.PHONY: all deps deps-test configure build run test test-release test-asan format-check bench fuzz clean

all: build

deps:
	@scripts/install-deps.sh build

deps-test:
	@scripts/install-deps.sh test

configure: deps
	cmake -S . -B $(BUILD) $(RELEASE_FLAGS) $(CMAKE_ARGS)

# The program and its help file, nothing else.
build: configure
	cmake --build $(BUILD) -j$(JOBS) --target program

run: build
	./$(BUILD)/nimbolt-sketch

# Every test: the format check, the release build (warnings are errors) with unit, GUI and
# end-to-end tests, then unit and GUI tests again under AddressSanitizer and UBSan, then the
# fuzzers for a short while.
test: deps-test
	$(MAKE) format-check
	$(MAKE) test-release
	$(MAKE) test-asan
	$(MAKE) fuzz FUZZ_SECONDS=15
	@scripts/code-ratio.sh
	@python3 scripts/test-summary.py $(BUILD)/ctest-junit.xml $(ASAN_BUILD)/ctest-junit.xml

format-check:
	git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror

test-release:
	cmake -S . -B $(BUILD) $(RELEASE_FLAGS) -DNIMBOLT_WERROR=ON -DNIMBOLT_BUILD_TESTS=ON $(CMAKE_ARGS)
	cmake --build $(BUILD) -j$(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS) --output-junit ctest-junit.xml

test-asan:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DNIMBOLT_WERROR=ON -DNIMBOLT_SANITIZE=ON \
	  -DNIMBOLT_BUILD_TESTS=ON $(CMAKE_ARGS)
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j$(JOBS) -LE e2e --output-junit ctest-junit.xml

# Benchmarks run on an optimised build of their own.
BENCH_BUILD ?= build-bench
bench: deps-test
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DNIMBOLT_BUILD_TESTS=ON $(CMAKE_ARGS)
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
install: configure
	cmake --build $(BUILD) -j$(JOBS) --target installable
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"
	cp $(BUILD)/install_manifest.txt $(BUILD)/installed_files.txt
	cp $(BUILD)/install_folders.txt $(BUILD)/installed_folders.txt
	@[ -n "$(DESTDIR)" ] || packaging/refresh-desktop-caches.sh "$(PREFIX)"

uninstall:
	DESTDIR="$(DESTDIR)" cmake -DMANIFEST=$(BUILD)/installed_files.txt -DFOLDERS=$(BUILD)/installed_folders.txt \
	  -P $(BUILD)/packaging/uninstall.cmake
	@[ -n "$(DESTDIR)" ] || packaging/refresh-desktop-caches.sh "$(PREFIX)"

deb: configure
	cmake --build $(BUILD) -j$(JOBS) --target installable
	cd $(BUILD) && cpack -G DEB
