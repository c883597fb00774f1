// libFuzzer target: the replay file reader on arbitrary file contents.
#include "fuzz/FuzzBodies.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    replidex::fuzz::ReplayFileBody(data, size);
    return 0;
}
