// Reading a whole file into memory only when it is small enough: the size is checked against
// a limit of the file's kind and against the memory the process can still get before anything
// is read, and the bytes are read in bounded pieces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace orvex {

// Largest sizes of files that are read whole.
inline constexpr std::size_t kSettingsFileLimit = 4u << 20;   // settings file
inline constexpr std::size_t kSmallFileLimit = 1u << 20;      // car file, colour file
inline constexpr std::size_t kFirmwareFileLimit = 16u << 20;  // HEX and firmware archive files
inline constexpr std::size_t kNoKindLimit = SIZE_MAX;         // memory is the only limit

// Bytes a new allocation of `bytes` may take: false when it would exceed the process's
// address-space or data limit or the memory the system has available.
bool MemoryAllows(std::uint64_t bytes);

// Reads the whole file into `out`. False with the errno in `error`: the open's error, EISDIR,
// EFBIG when the file is larger than `limit`, ENOMEM when memory does not allow it, or the
// read's error. `out` is left empty on failure.
bool ReadWholeFile(const std::string& path, std::string& out, int* error,
                   std::size_t limit = kNoKindLimit);

}  // namespace orvex
