#pragma once
// The fuzz targets' bodies. Each takes any bytes and must neither crash, hang, leak nor break
// the invariant it checks (a broken one aborts). libFuzzer runs them through FuzzerMain.cpp;
// the native tests replay every file of fuzz/corpus/<name> through the body of that name.

#include <string_view>

namespace prowl::fuzz {

void ProjectFileFuzz(std::string_view bytes);
void ProjectTreeFuzz(std::string_view bytes);
void PeReaderFuzz(std::string_view bytes);

}  // namespace prowl::fuzz
