# The front door. `make run` and `make test` install what is missing, build and go.
.PHONY: all deps build run test bench fuzz installer check-release clean

all: build

deps:
	@env -u SIGN_PASS scripts/deps.sh

build: deps
	@scripts/build.sh

run: build
	@scripts/run.sh

test: build
	@scripts/test.sh

bench: build
	@scripts/deps.sh bench
	@scripts/bench.sh

# A longer fuzz campaign by hand: make fuzz FUZZ_SECONDS=600
fuzz: build
	@LAYERS=fuzz scripts/test.sh

# The maker's own release: make installer PAYLOAD=<folder>
installer: deps
	@scripts/make-installer.sh

# Whether a published installer is what this checkout builds from a release folder, byte for
# byte but for its signature: make check-release INSTALLER=<install.exe> PAYLOAD=<folder>
check-release: deps
	@scripts/check-release.sh "$(INSTALLER)" "$(PAYLOAD)"

clean:
	rm -rf build dist out
