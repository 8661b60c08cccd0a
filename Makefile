BUILD ?= build
JOBS ?= 2
PREFIX ?= /usr/local
FUZZ_SECONDS ?= 60

.PHONY: all deps build test play clean test-asan test-ubsan test-tsan sanitize fuzz bench install package

all: build

deps:
	@./tools/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -G "Unix Makefiles"
	cmake --build $(BUILD) -j$(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

# Plays in the per-user game directory (see tools/tunnelwick-launcher.sh).
play: build
	TUNNELWICK_BIN=$(abspath $(BUILD))/tunnelwick ./tools/tunnelwick-launcher.sh

# The unit tests built with AddressSanitizer (leaks included) and, apart, with
# UndefinedBehaviorSanitizer; each in its own build directory.
SAN_ENV = ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitize/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:suppressions=$(CURDIR)/tests/sanitize/ubsan.supp

test-asan: deps
	cmake -S . -B build-asan -G "Unix Makefiles" -DTUNNELWICK_SANITIZE=address
	cmake --build build-asan -j$(JOBS) --target unit_tests
	cd build-asan && $(SAN_ENV) ctest -L unit --output-on-failure -j$(JOBS)

test-ubsan: deps
	cmake -S . -B build-ubsan -G "Unix Makefiles" -DTUNNELWICK_SANITIZE=undefined
	cmake --build build-ubsan -j$(JOBS) --target unit_tests
	cd build-ubsan && $(SAN_ENV) ctest -L unit --output-on-failure -j$(JOBS)

# The unit tests under ThreadSanitizer: the advisor, the chooser's and the
# editor's solves, the record keeper and Allegro's threads against the main one.
# Some tests fork a child that saves while the game's threads run: the child
# is let go on. Left out: the sound layer's tests, which judge audio captured
# in real time (too slow under the sanitizer), and the solver's long
# single-threaded checks, which have no threads to watch.
TSAN_ENV = TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:die_after_fork=0:suppressions=$(CURDIR)/tests/sanitize/tsan.supp
TSAN_SKIP = SoundLayer\.|Rules\.TheSolversShortcuts|ShippedLevels\.

test-tsan: deps
	cmake -S . -B build-tsan -G "Unix Makefiles" -DTUNNELWICK_SANITIZE=thread
	cmake --build build-tsan -j$(JOBS) --target unit_tests
	cd build-tsan && $(TSAN_ENV) ctest -L unit -E '$(TSAN_SKIP)' --output-on-failure -j$(JOBS)

sanitize: test-asan test-ubsan

# Each libFuzzer target for FUZZ_SECONDS, starting from its committed seeds.
fuzz: deps
	cmake -S . -B build-fuzz -G "Unix Makefiles" -DTUNNELWICK_FUZZ=ON \
		-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
	cmake --build build-fuzz -j$(JOBS) --target fuzz_targets
	$(SAN_ENV) ./tests/fuzz/run-fuzzers.sh build-fuzz $(FUZZ_SECONDS)

# Optimised build; the micro-benchmarks, then the real game measured in Xvfb.
bench: deps
	cmake -S . -B build-bench -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Release
	cmake --build build-bench -j$(JOBS)
	./bench/run-benchmarks.sh build-bench

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# $(BUILD)/tunnelwick_<version>_<arch>.deb: what install puts under /usr.
package: build
	cmake --build $(BUILD) -j$(JOBS) --target package

clean:
	rm -rf $(BUILD) build-asan build-ubsan build-tsan build-fuzz build-bench
