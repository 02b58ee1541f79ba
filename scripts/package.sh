#!/usr/bin/env bash
# Builds the Debian package build/mirolanda_<version>_<arch>.deb on Debian 12: installs what
# building needs, makes a release build of the installed programs with Debian's hardening
# flags, and packs it with CPack. Prints the package's path last.
set -euo pipefail
cd "$(dirname "$0")/.."
# help2man writes the man pages; CPack needs dpkg-shlibdeps (dpkg-dev) and file for Depends.
bash scripts/setup-debian.sh help2man dpkg-dev file

# Debian's own compiler and linker flags with every hardening feature (fortify, stack
# protector, PIE, RELRO with immediate binding), as Debian's tools would build the package.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CPPFLAGS=$(dpkg-buildflags --get CPPFLAGS)
cmake --preset package \
  -DCMAKE_C_FLAGS="$(dpkg-buildflags --get CFLAGS) $CPPFLAGS" \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $CPPFLAGS" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  -DCMAKE_SHARED_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build --preset package
rm -f build/package/mirolanda_*.deb build/mirolanda_*.deb
(cd build/package && cpack -G DEB >/dev/null)
cp build/package/mirolanda_*.deb build/
ls build/mirolanda_*.deb
