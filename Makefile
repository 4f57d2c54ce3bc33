# Set-up, build and test in one step each. See README.md.
BUILD     ?= build
SANITIZE_BUILD ?= build-sanitize
PREFIX    ?= /usr/local
JOBS      ?= $(shell nproc)
PACKAGES  := cmake make g++ qt6-base-dev libgl-dev libgtest-dev libgmock-dev libbenchmark-dev \
             xvfb xauth x11-utils imagemagick fonts-liberation2 fonts-comic-neue \
             desktop-file-utils appstream librsvg2-bin libx11-dev xdotool at-spi2-core dbus-x11 python3-pyatspi \
             locales

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
	fi; \
	if ! locale -a 2>/dev/null | grep -qix 'de_DE.utf8'; then \
	  if [ "$$(id -u)" -ne 0 ]; then echo "Generate the locale de_DE.UTF-8 as root: localedef -i de_DE -f UTF-8 de_DE.UTF-8"; exit 1; fi; \
	  echo "Generating the locale de_DE.UTF-8 (the program's own)"; \
	  localedef -i de_DE -f UTF-8 de_DE.UTF-8; \
	fi

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/src/velquor

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer. Any
# report fails the process that made it: ASan and UBSan stop at the first finding, and
# LeakSanitizer checks every test process at its exit, also the test listing that runs
# during the build. tests/sanitize/lsan.supp holds the only leaks let through, each traced
# to a system library. The monkey test explores a new seed each time; its seed and figures
# are printed at the end.
test-sanitize: export ASAN_OPTIONS := detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
test-sanitize: export UBSAN_OPTIONS := print_stacktrace=1:halt_on_error=1
test-sanitize: export LSAN_OPTIONS := suppressions=$(CURDIR)/tests/sanitize/lsan.supp:print_suppressions=0
test-sanitize: deps
	@cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVELQUOR_SANITIZE=ON >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && { QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS); \
	  status=$$?; grep -h '^\[monkey\]' Testing/Temporary/LastTest.log || true; exit $$status; }

bench: build
	bench/run_all.sh $(BUILD)

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
