// libFuzzer's entry point for one target; PROWL_FUZZ_TARGET names the body it runs.
#include "FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    prowl::fuzz::PROWL_FUZZ_TARGET({reinterpret_cast<const char*>(data), size});
    return 0;
}
