// libFuzzer target: the list file reader: open, save, open again.
#include "fuzz/FuzzBodies.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    replidex::fuzz::ListFileBody(data, size);
    return 0;
}
