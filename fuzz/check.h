// The one way a fuzz target reports a broken property: say which and abort, so that
// libFuzzer keeps the input as a finding.
#pragma once

#include <cstdio>
#include <cstdlib>

inline void Check(bool ok, const char* property) {
    if (ok) return;
    std::fprintf(stderr, "Property broken: %s\n", property);
    std::abort();
}
