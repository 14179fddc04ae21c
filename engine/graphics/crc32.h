// CRC-32 (the zlib/PNG polynomial) at memory speed: carry-less multiply folding where the
// processor has it, a byte table elsewhere. Same values as zlib's crc32().
#pragma once
#include <cstddef>
#include <cstdint>

// Continues crc (0 to start) over len bytes at data, as zlib's crc32(crc, data, len) does.
uint32_t Crc32_Update(uint32_t crc, const void *data, size_t len);
