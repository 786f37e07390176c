#pragma once
// The fuzz targets' bodies. Each takes any bytes and must neither crash, hang, leak nor break
// the invariant it checks (a broken one aborts). libFuzzer runs them through FuzzerMain.cpp;
// the native tests replay every file of fuzz/corpus/<name> through the body of that name.

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace prowl::fuzz {

// A broken invariant is a crash to the fuzzer; the text tells a replaying test which one.
inline void Require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

void ProjectFileFuzz(std::string_view bytes);
void ProjectTreeFuzz(std::string_view bytes);
void PeReaderFuzz(std::string_view bytes);

}  // namespace prowl::fuzz
