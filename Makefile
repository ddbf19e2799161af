# The two commands of the README, `make run` and `make test`, and the others
# it names. Each installs what is missing first.
.PHONY: setup test fresh-check run screenshot native win64 win32 fuzz soak bench release release-check clean

setup:
	@bash scripts/setup.sh

test: setup
	@bash scripts/test.sh

# The README's set-up and `make test` on a minimal Debian 12 made for it.
fresh-check: setup
	@bash scripts/fresh-check.sh

native win64 win32: setup
	@bash scripts/build.sh $@

run: setup
	@bash scripts/run.sh

screenshot: setup
	@bash scripts/run.sh --screenshot

# FUZZ_SECONDS=N sets the time per fuzzer (default 60).
fuzz: setup
	@bash scripts/fuzz.sh

# SEQUENCES=N random command sequences natively (default 100000);
# WINE_SEQUENCES=M more on real files under Wine.
soak: setup
	@bash scripts/soak.sh

# Builds and runs the benchmarks; one table, also in build/bench/results.csv.
bench: setup
	@bash scripts/bench.sh

# The package users download, in dist/: the zip, the exe's debug
# information and SHA256SUMS.
release: setup
	@bash scripts/release.sh

# The package's checks, and a second build in another folder that must give
# the same bytes.
release-check: setup
	@bash scripts/release-check.sh

clean:
	rm -rf build dist
