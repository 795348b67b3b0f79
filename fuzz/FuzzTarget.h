#pragma once

#include <cstddef>
#include <cstdint>

// The entry point every fuzz target defines; libFuzzer or the replay main calls it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);
