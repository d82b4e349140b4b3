# The two commands of the README: `make play` and `make test`.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc)
PREFIX     ?= /usr/local

.PHONY: play test test-sanitize build install deb fuzz bench art deps clean

deps:
	@scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLINX_WERROR=ON
	cmake --build $(BUILD) -j $(JOBS)

# DESTDIR is honoured for staged installs: make install PREFIX=/usr DESTDIR=/tmp/stage
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package, plinx_VERSION_ARCH.deb, in the build folder.
deb: build
	cd $(BUILD) && cpack -G DEB
	@ls $(BUILD)/plinx_*.deb

play: build
	cd $(BUILD) && ./plinx

test: build
	xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-sanitize: deps
	CC=clang CXX=clang++ cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DPLINX_SANITIZE=ON -DPLINX_WERROR=ON -DPLINX_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
	  xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

bench: build
	xvfb-run -a $(BUILD)/plinx_bench

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DPLINX_FUZZ=ON -DPLINX_TESTS=OFF -DPLINX_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

art: build
	cmake --build $(BUILD) --target plinx_make_art
	$(BUILD)/plinx_make_art Resources

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
