// libFuzzer target: the content index reader: read, write, read again.
#include "fuzz/FuzzBodies.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    replidex::fuzz::ContentIndexBody(data, size);
    return 0;
}
