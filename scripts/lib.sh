# Shared by scripts/run, scripts/test and scripts/fuzz: the Debian packages
# the project needs, installed when missing, and the configure-and-build step.

# Build and test tools, and the independent readers the acceptance tests
# compare against.
BROVANE_PACKAGES=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev
  dosfstools mtools sleuthkit fdisk python3
  gddrescue
)

# What the fuzz preset adds: clang with its sanitizer and libFuzzer
# runtimes, and the symbolizer that names the frames of a crash.
BROVANE_FUZZ_PACKAGES=(
  cmake ninja-build
  clang-14 libclang-rt-14-dev llvm-14
)

brovane_missing_packages() {
  local package
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      printf '%s\n' "$package"
    fi
  done
}

# Installs what is missing as root; otherwise says which apt-get line to run.
brovane_install_packages() {
  local missing
  mapfile -t missing < <(brovane_missing_packages "$@")
  [ "${#missing[@]}" -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. Run as root:" >&2
    echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
    return 1
  fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq && apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# A build folder configured with another generator (an older configure by
# hand) cannot be reconfigured with the presets' Ninja: start it afresh.
brovane_drop_foreign_cache() {
  local folder=build/$1
  local cache=$folder/CMakeCache.txt
  if [ -f "$cache" ] && ! grep -qx 'CMAKE_GENERATOR:INTERNAL=Ninja' "$cache"; then
    echo "$folder was configured with another generator than Ninja: configuring it afresh."
    rm -rf "$cache" "$folder/CMakeFiles"
  fi
}

# Configures and builds one preset (the presets name Ninja and -j2);
# further arguments go to the build, for example --target NAME.
brovane_build() {
  local preset=$1
  shift
  brovane_drop_foreign_cache "$preset"
  cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" "$@"
}
