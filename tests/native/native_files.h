// Helpers shared by the native tests: whole files read back, the
// little-endian fields of the formats they hold, and paths for scratch
// files.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

// The file's bytes, or nothing when it cannot be read.
inline std::string Native_ReadFile(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

inline uint32_t Native_U32(const std::string &bytes, size_t offset)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; i--)
        value = (value << 8) | (uint8_t)bytes.at(offset + (size_t)i);
    return value;
}

inline uint16_t Native_U16(const std::string &bytes, size_t offset)
{
    return (uint16_t)((uint8_t)bytes.at(offset) |
                      ((uint8_t)bytes.at(offset + 1) << 8));
}

// A scratch file of the test run, in GoogleTest's temporary folder.
inline std::string Native_TempPath(const char *name)
{
    return ::testing::TempDir() + "tessary_test_" + name;
}
