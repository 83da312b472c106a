#!/bin/sh
# Builds the Debian package into $DEB_DIR with cpack, for the tests that read
# and install it. Reports itself skipped (77) without the Debian tools.
# cpack first brings the build tree up to date (its preinstall step); after
# a full build that is only a check.
set -eu
rm -rf "$DEB_DIR"
for tool in dpkg-deb dpkg-shlibdeps "$CPACK"; do
    if ! command -v "$tool" >/dev/null; then
        echo "skipped: $tool not found"
        exit 77
    fi
done
mkdir -p "$DEB_DIR"
"$CPACK" -G DEB --config "$BUILD_DIR/CPackConfig.cmake" -B "$DEB_DIR"
ls -l "$DEB_DIR"/*.deb
