# Two commands set up everything on a fresh Debian 12 machine:
#   make run    build and start the program
#   make test   build and run the whole test suite (plain and sanitized)
# Both install the missing Debian packages first.
#   make verify compare the program with CalculiX on a set of shells and
#               write docs/verification.md (installs CalculiX when missing)
#   make install PREFIX=/usr/local   the program, its guide, desktop entry,
#               icon and the type of *.spw files under PREFIX
#   make fuzz   run the fuzz targets (installs clang's libFuzzer when missing)
#   make shots  write PNG pictures of scripted runs to look at (build/shots)
#   make coverage  run the suite in a Debug build with --coverage and print
#               the line and branch coverage of src/ (installs gcovr)

# The Debian packages the build needs: the one list of them.
DEB_PACKAGES := build-essential cmake pkg-config zlib1g-dev \
                libgtest-dev libgmock-dev libbenchmark-dev \
                qt6-base-dev libgl-dev \
                desktop-file-utils shared-mime-info

# What `make verify` needs besides the build: the finite-element solver that
# checks the program, and the interpreter of its comparison script.
VERIFY_PACKAGES := calculix-ccx python3

# What `make fuzz` needs besides: Debian's clang and its libFuzzer.
FUZZ_PACKAGES := clang libclang-rt-14-dev

# What `make coverage` needs besides: gcovr, which reads gcov's counts.
COVERAGE_PACKAGES := gcovr

BUILD      := build
BUILD_SAN  := build-san
BUILD_FUZZ := build-fuzz
BUILD_COV  := build-cov
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX     ?= /usr/local
SUDO       := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

# make fuzz: each target runs FUZZ_SECONDS from the seeds and the
# dictionary in tests/fuzz/ (the inputs it finds on the way are dropped, so
# every run takes its set time); any finding fails the run and is kept
# under build-fuzz/findings/.
FUZZ_SECONDS ?= 60
# Each entry: target:seed folder:longest input (a few hundred keys at most).
FUZZ_TARGETS := fuzz_reader:files:8192 fuzz_keys:keys:600 fuzz_exports:files:8192

.PHONY: all deps deps-verify deps-fuzz deps-coverage build build-san run test bench install verify fuzz coverage shots clean

all: build

deps deps-verify deps-fuzz deps-coverage: PACKAGES = $(if $(filter deps-verify,$@),$(VERIFY_PACKAGES),$(if $(filter deps-fuzz,$@),$(FUZZ_PACKAGES),$(if $(filter deps-coverage,$@),$(COVERAGE_PACKAGES),$(DEB_PACKAGES))))
deps deps-verify deps-fuzz deps-coverage:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing Debian packages:$$missing"; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

$(BUILD_SAN)/CMakeCache.txt:
	cmake -S . -B $(BUILD_SAN) -DCMAKE_BUILD_TYPE=Debug -DBRELMORA_SANITIZE=ON -DBRELMORA_BENCH=OFF

$(BUILD_COV)/CMakeCache.txt:
	cmake -S . -B $(BUILD_COV) -DCMAKE_BUILD_TYPE=Debug -DBRELMORA_BENCH=OFF \
	  -DCMAKE_CXX_FLAGS=--coverage -DCMAKE_EXE_LINKER_FLAGS=--coverage

$(BUILD_FUZZ)/CMakeCache.txt:
	CC=clang CXX=clang++ cmake -S . -B $(BUILD_FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRELMORA_FUZZ=ON

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

build-san: deps $(BUILD_SAN)/CMakeCache.txt
	cmake --build $(BUILD_SAN) -j $(JOBS)

run: build
	./$(BUILD)/brelmora

test: build build-san
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	cd $(BUILD_SAN) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# Not part of `make test`: it takes from seconds to minutes and needs CalculiX.
verify: deps deps-verify $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target brelmora
	python3 verify/verify.py --brelmora $(BUILD)/brelmora --work $(BUILD)/verify \
	  --report docs/verification.md

# make bench runs every benchmark (BENCH_FILTER: a regular expression of
# the ones to run). With BASELINE=<commit> the commit is built beside, in
# build-baseline/ with today's bench/ sources, and each benchmark runs in
# both, BENCH_REPETITIONS times alternately, printed as medians side by side:
#   make bench BASELINE=2e1afc0 BENCH_REPETITIONS=5
# BASELINE_BENCH=<commit> builds the baseline with that commit's bench/
# instead, when today's calls entry points the baseline names otherwise.
BENCH_FILTER      ?= .
BENCH_REPETITIONS ?= 5
bench: build
ifeq ($(BASELINE),)
	@for b in $(BUILD)/bench_*; do echo "== $$b"; ./$$b --benchmark_filter='$(BENCH_FILTER)' || exit 1; done
else
	JOBS=$(JOBS) bench/side_by_side.sh $(BUILD) '$(BASELINE)' '$(BENCH_FILTER)' $(BENCH_REPETITIONS) '$(BASELINE_BENCH)'
endif

# Not part of `make test` either: a minute per target by default.
fuzz: deps deps-fuzz $(BUILD_FUZZ)/CMakeCache.txt
	cmake --build $(BUILD_FUZZ) -j $(JOBS)
	@mkdir -p $(BUILD_FUZZ)/findings
	@for entry in $(FUZZ_TARGETS); do \
	  t=$${entry%%:*}; rest=$${entry#*:}; seeds=$(CURDIR)/tests/fuzz/$${rest%%:*}; longest=$${rest#*:}; \
	  work=$$(mktemp -d); corpus=$$work/corpus; mkdir -p $$corpus; \
	  echo "== $$t ($(FUZZ_SECONDS) s)"; \
	  ( cd $$work && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    $(CURDIR)/$(BUILD_FUZZ)/$$t -max_total_time=$(FUZZ_SECONDS) -timeout=60 -rss_limit_mb=4096 \
	      -max_len=$$longest -print_final_stats=1 -dict=$(CURDIR)/tests/fuzz/brelmora.dict \
	      -artifact_prefix=$(CURDIR)/$(BUILD_FUZZ)/findings/$$t- $$corpus $$seeds ); \
	  status=$$?; rm -rf $$work; \
	  if [ $$status -ne 0 ]; then echo "$$t: a finding, see $(BUILD_FUZZ)/findings/"; exit 1; fi; \
	done

# Not part of `make test`: the whole suite once more in a Debug build with
# --coverage; the counts of earlier runs are dropped first. The table of
# every file goes to build-cov/coverage.txt.
coverage: deps deps-coverage $(BUILD_COV)/CMakeCache.txt
	cmake --build $(BUILD_COV) -j $(JOBS)
	find $(BUILD_COV) -name '*.gcda' -delete
	cd $(BUILD_COV) && ctest --output-on-failure -j $(JOBS)
	gcovr --root $(CURDIR) --filter '$(CURDIR)/src/' -j $(JOBS) \
	  --txt $(BUILD_COV)/coverage.txt --print-summary $(BUILD_COV)

# Pictures for a person to look at, not checks: see tools/shots.sh.
shots: build
	tools/shots.sh $(CURDIR)/$(BUILD)/brelmora $(BUILD)/shots

clean:
	rm -rf $(BUILD) $(BUILD_SAN) $(BUILD_FUZZ) $(BUILD_COV) build-baseline
