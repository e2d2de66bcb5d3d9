# Tamorix — top-level commands. `make run` and `make test` install what a
# fresh Debian machine lacks (when run as root), configure, build and go.

BUILD      ?= build
GENERATOR  ?= Ninja
DEMO_DIR   ?= $(BUILD)/demo
PACKAGES   := cmake ninja-build g++ qt6-base-dev libgtest-dev libgmock-dev \
              libbenchmark-dev xvfb xauth libgl-dev

.PHONY: all deps configure build test run bench clean

all: build

# Installs only the packages that are missing; `apt-get update` runs once,
# and only when something has to be installed.
deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = "0" ]; then \
	    echo "Installing:$$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing >/dev/null || exit 1; \
	  else \
	    echo "Missing packages:$$missing (run as root to install them)"; exit 1; \
	  fi; \
	fi

$(BUILD)/build.ninja: CMakeLists.txt
	cmake -S . -B $(BUILD) -G $(GENERATOR)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

run: build
	@if [ ! -f $(DEMO_DIR)/DataSor.ini ]; then $(BUILD)/bin/tamorix-demo $(DEMO_DIR); fi
	@cp $(DEMO_DIR)/DataSor.ini $(BUILD)/bin/DataSor.ini
	@if [ -x $(BUILD)/bin/tamorix ]; then \
	  cd $(BUILD)/bin && ./tamorix; \
	else \
	  for f in $(DEMO_DIR)/data/*.DBF; do $(BUILD)/bin/dbftool info $$f; echo; done; \
	fi

bench: build
	$(BUILD)/bin/tamorix-bench

clean:
	rm -rf $(BUILD)
