#!/usr/bin/env bash
# Checks the formatting (clang-format) and runs clang-tidy over the sources,
# natively for the portable core and with mingw's headers for the rest.
set -euo pipefail
. "$(dirname "$0")/common.sh"
cd "$root"
[ -f build/native/compile_commands.json ] && [ -f build/win64/compile_commands.json ] || build_all >/dev/null

clang-format --dry-run --Werror $(git ls-files '*.c' '*.cpp' '*.hpp' '*.h')
# The portable core is what the native tree compiles; the rest needs Windows' headers.
portable=$(git ls-files 'src/*.cpp' | while read -r f; do
    if grep -q "\"file\": \"$root/$f\"" build/native/compile_commands.json; then echo "$f"; fi
done)
windows=$(git ls-files 'src/*.cpp' | grep -vxF "$portable")
# shellcheck disable=SC2086
clang-tidy --quiet -p build/native $portable tools/make_icon.cpp
mingw_includes=$(echo | x86_64-w64-mingw32-g++-posix -xc++ -E -v - 2>&1 |
    sed -n '/#include <...> search starts here/,/End of search/p' | grep '^ ' |
    grep -vE '/include$|include-fixed' | sed 's/^ /--extra-arg=-isystem/')
mingw_includes+=" --extra-arg=-isystem/usr/x86_64-w64-mingw32/include"
# shellcheck disable=SC2086
clang-tidy --quiet -p build/win64 --extra-arg=--target=x86_64-w64-mingw32 $mingw_includes \
    $windows bench/*.c
echo "lint: clean"
