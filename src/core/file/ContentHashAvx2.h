// XXH3-128 built for processors with AVX2 (ContentHashAvx2.cpp is compiled
// with -mavx2, on x86-64 only): hashing a file then costs little more than
// reading it. ContentHash.cpp calls it only when the processor has AVX2; the
// hashes are the same bytes for bytes as the SSE2 build's.
#pragma once

#include <cstddef>

namespace replidex::avx2 {

// Adds `size` bytes to `state`, an XXH3_state_t reset for 128 bits by the
// caller (the state's layout does not depend on the vector unit).
void Xxh3Update128(void* state, const void* data, std::size_t size);

}  // namespace replidex::avx2
