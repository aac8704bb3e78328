# make run   - build the program (Release) and start it in this directory
# make test  - build and run every test, plainly and under ASan + UBSan,
#              the concurrency tests under TSan
#              and the console's fuzz targets for about a minute
# make bench - benchmark every routine, scalar and batched, beside R's math
#              library and Boost.Math, and print a summary table of ratios;
#              FILTER=QGauss runs the matching ones (a --benchmark_filter regex)
# make accuracy - regenerate docs/ACCURACY.md and its plots
JOBS ?= 2
RELEASE := build/release
SANITIZE := build/sanitize
THREAD := build/thread
BENCH := build/bench

BUILD_PACKAGES := cmake g++ make libgtest-dev
BENCH_PACKAGES := libbenchmark-dev r-mathlib libboost-math-dev

define ensure_packages
	@missing=""; for p in $(1); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing$$missing"; \
	  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi
endef

.PHONY: run test bench accuracy deps clean

deps:
	$(call ensure_packages,$(BUILD_PACKAGES))

run: deps
	cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(RELEASE) --target specfun_program -j $(JOBS)
	./$(RELEASE)/console/specfun

test: deps
	cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(RELEASE) -j $(JOBS)
	cd $(RELEASE) && ctest --output-on-failure -j $(JOBS)
	cmake -S . -B $(SANITIZE) -DCMAKE_BUILD_TYPE=Debug -DSPECFUN_SANITIZE=ON
	cmake --build $(SANITIZE) -j $(JOBS)
	cd $(SANITIZE) && ctest --output-on-failure -j $(JOBS)
	cmake -S . -B $(THREAD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSPECFUN_SANITIZE_THREAD=ON
	cmake --build $(THREAD) --target specfun_concurrency_tests -j $(JOBS)
	./$(THREAD)/tests/specfun_concurrency_tests
	fuzz/run.sh

bench: deps
	$(call ensure_packages,$(BENCH_PACKAGES))
	cmake -S . -B $(BENCH) -DCMAKE_BUILD_TYPE=Release -DSPECFUN_BUILD_TESTS=OFF -DSPECFUN_BUILD_BENCH=ON
	cmake --build $(BENCH) --target specfun_bench -j $(JOBS)
	./$(BENCH)/bench/specfun_bench $(if $(FILTER),--benchmark_filter='$(FILTER)')

accuracy: deps
	accuracy/run.sh

clean:
	rm -rf build
