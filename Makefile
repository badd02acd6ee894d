# The front door. `make run` and `make test` install what is missing, build and go.
.PHONY: all deps build run test bench fuzz clean

all: build

deps:
	@scripts/deps.sh

build: deps
	@scripts/build.sh

run: build
	@scripts/run.sh

test: build
	@scripts/test.sh

bench: build
	@scripts/bench.sh

# A longer fuzz campaign by hand: make fuzz FUZZ_SECONDS=600
fuzz: build
	@LAYERS=fuzz scripts/test.sh

clean:
	rm -rf build dist out
