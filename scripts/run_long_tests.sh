#!/bin/sh
# Builds quorbcc1 and runs the whole test suite, the tests labelled `long`
# included (an hour or more on two cores); run before a release.
# SANITIZE=1 and TSAN=1 as for run_tests.sh.
set -eu
exec sh "$(dirname "$0")/run_tests.sh" --long
