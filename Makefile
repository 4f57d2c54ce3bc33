# Set-up, build and test in one step each. See README.md.
BUILD     ?= build
JOBS      ?= $(shell nproc)
PACKAGES  := cmake make g++ qt6-base-dev libgl-dev libgtest-dev libgmock-dev libbenchmark-dev \
             xvfb xauth x11-utils imagemagick fonts-liberation2 fonts-comic-neue

.PHONY: all deps configure build run test bench clean

all: build

# Installs only what is missing, so a second call costs a few dpkg queries.
deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" -ne 0 ]; then \
	    echo "Missing Debian packages:$$missing"; \
	    echo "Install them as root: sudo apt-get install$$missing"; exit 1; \
	  fi; \
	  echo "Installing:$$missing"; \
	  apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing >/dev/null; \
	fi

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/src/velquor

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	./$(BUILD)/bench/velquor_bench

clean:
	rm -rf $(BUILD)
