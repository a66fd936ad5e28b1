#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every source file (the build, src/, tests/, bench/, scripts/) starts with the licence
# line (after the #! line of a script):
#   // SPDX-License-Identifier: GPL-3.0-or-later     C++
#   # SPDX-License-Identifier: GPL-3.0-or-later      shell, CMake, Python
# Lists the files without it and fails if there are any.
set -euo pipefail
cd "$(dirname "$0")/.."

missing=()
while IFS= read -r -d '' file; do
  first=$(head -n 2 "$file")
  case $first in '#!'*) first=$(sed -n 2p <<<"$first") ;; *) first=$(head -n 1 <<<"$first") ;; esac
  [[ $first =~ ^(//|#)\ SPDX-License-Identifier:\ GPL-3\.0-or-later$ ]] || missing+=("$file")
done < <(find CMakeLists.txt src tests bench scripts cmake .ci -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.sh' \
  -o -name '*.py' -o -name '*.cmake' -o -name CMakeLists.txt \) -print0 | sort -z)

if [ ${#missing[@]} -gt 0 ]; then
  printf 'no SPDX licence line: %s\n' "${missing[@]}" >&2
  echo "check-spdx: ${#missing[@]} file(s) without 'SPDX-License-Identifier: GPL-3.0-or-later' at the top" >&2
  exit 1
fi
echo "check-spdx: every source file carries its licence line"
