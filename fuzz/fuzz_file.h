// The fuzz targets' temporary file: the input's bytes behind a path, so the readers that take a
// file name are fuzzed through the same door the game opens.
#pragma once
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

// Writes size bytes into an in-memory file made once per process; its path, or "" on failure.
inline std::string Fuzz_File(const void *data, size_t size) {
    static int fd = memfd_create("fuzz_input", 0);
    if (fd < 0 || ftruncate(fd, 0) != 0) return "";
    if (size && pwrite(fd, data, size, 0) != (ssize_t)size) return "";
    return "/proc/self/fd/" + std::to_string(fd);
}
