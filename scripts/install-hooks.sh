#!/bin/sh
# Installs the project's git hooks into this clone (.git/hooks).
set -eu
cd "$(dirname "$0")/.."
hooks=$(git rev-parse --git-path hooks)
mkdir -p "$hooks"
ln -sf "$PWD/scripts/pre-commit" "$hooks/pre-commit"
echo "pre-commit hook installed: clang-format checks staged C++ files"
