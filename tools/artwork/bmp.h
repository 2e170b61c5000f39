// Encoding of 24-bit Windows BMP files and little-endian byte helpers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image.h"

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& out, std::uint32_t v);
void put32(Bytes& out, std::uint32_t v);

// Uncompressed, bottom-up, BGR rows padded to 4 bytes, no colour table.
Bytes encodeBmp(const Image8& image);

// Throws std::runtime_error when the file cannot be written completely.
void writeFile(const std::string& path, const Bytes& bytes);
