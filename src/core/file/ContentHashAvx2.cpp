#include "core/file/ContentHashAvx2.h"

// Everything xxhash.h defines here is static: no function built for AVX2 can
// stand in for one that runs without it elsewhere in the program.
#define XXH_INLINE_ALL
#include <xxhash.h>

#if XXH_VECTOR != XXH_AVX2 && XXH_VECTOR != XXH_AVX512
#error "ContentHashAvx2.cpp must be compiled with -mavx2"
#endif

namespace replidex::avx2 {

void Xxh3Update128(void* state, const void* data, std::size_t size)
{
    XXH3_128bits_update(static_cast<XXH3_state_t*>(state), data, size);
}

}  // namespace replidex::avx2
