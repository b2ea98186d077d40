#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The standard Base64 alphabet with "=" padding.
std::string EncodeBase64(const uint8_t* bytes, size_t count);
// Characters outside the alphabet are refused, as is a length that is not
// a multiple of four or padding anywhere but at the end.
std::optional<std::vector<uint8_t>> DecodeBase64(std::string_view text);
