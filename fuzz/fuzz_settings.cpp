// libFuzzer target: the settings file reader: read everything, write back, read again.
#include "fuzz/FuzzBodies.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    replidex::fuzz::SettingsFileBody(data, size);
    return 0;
}
