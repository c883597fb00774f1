// libFuzzer target: the search query parser, its matcher and the criteria round trip.
#include "fuzz/FuzzBodies.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    replidex::fuzz::QueryLineBody(data, size);
    return 0;
}
