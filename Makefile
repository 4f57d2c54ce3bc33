# Set-up, build and test in one step each. See README.md.
BUILD     ?= build
SANITIZE_BUILD ?= build-sanitize
PREFIX    ?= /usr/local
JOBS      ?= $(shell nproc)
PACKAGES  := cmake make g++ qt6-base-dev libgl-dev libgtest-dev libgmock-dev libbenchmark-dev \
             xvfb xauth x11-utils imagemagick fonts-liberation2 fonts-comic-neue \
             desktop-file-utils appstream librsvg2-bin libx11-dev xdotool at-spi2-core dbus-x11 python3-pyatspi

.PHONY: all deps configure build run test test-sanitize bench install clean

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

# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	@cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVELQUOR_SANITIZE=ON >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	./$(BUILD)/bench/velquor_bench

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
