#pragma once

#include <cstddef>
#include <cstdint>

// Pieces of crc32Compute, visible so tests can check each path on its own.

// Table-driven path (slicing by sixteen), used on every machine for short data and tails.
uint32_t crc32Portable(const void *data, size_t length, uint32_t previous = 0);
// Whether this processor has carry-less multiplication, which crc32Compute then uses
// for long buffers.
bool crc32HasCarrylessMultiply();
