# Two commands set up everything on a fresh Debian 12 machine:
#   make run    build and start the program
#   make test   build and run the whole test suite (plain and sanitized)
# Both install the missing Debian packages first.
#   make verify compare the program with CalculiX on a set of shells and
#               write docs/verification.md (installs CalculiX when missing)
#   make install PREFIX=/usr/local   the program, its guide, desktop entry,
#               icon and the type of *.spw files under PREFIX

# The Debian packages the build needs: the one list of them.
DEB_PACKAGES := build-essential cmake pkg-config zlib1g-dev \
                libgtest-dev libgmock-dev libbenchmark-dev \
                qt6-base-dev libgl-dev \
                desktop-file-utils shared-mime-info

# What `make verify` needs besides the build: the finite-element solver that
# checks the program, and the interpreter of its comparison script.
VERIFY_PACKAGES := calculix-ccx python3

BUILD      := build
BUILD_SAN  := build-san
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX     ?= /usr/local
SUDO       := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps deps-verify build build-san run test bench install verify clean

all: build

deps deps-verify: PACKAGES = $(if $(filter deps-verify,$@),$(VERIFY_PACKAGES),$(DEB_PACKAGES))
deps deps-verify:
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

bench: build
	@for b in $(BUILD)/bench_*; do echo "== $$b"; ./$$b || exit 1; done

clean:
	rm -rf $(BUILD) $(BUILD_SAN)
