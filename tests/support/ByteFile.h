#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

// Little-endian bytes built by hand, for tests that feed real files to readers.
struct ByteFile {
    std::vector<unsigned char> bytes;

    ByteFile& u8(unsigned value) {
        bytes.push_back(static_cast<unsigned char>(value));
        return *this;
    }
    ByteFile& u16(unsigned value) { return u8(value & 0xFF).u8(value >> 8); }
    ByteFile& u32(uint32_t value) { return u16(value & 0xFFFF).u16(value >> 16); }
    ByteFile& fill(size_t count, unsigned value) {
        bytes.insert(bytes.end(), count, static_cast<unsigned char>(value));
        return *this;
    }
    ByteFile& append(const std::vector<unsigned char>& more) {
        bytes.insert(bytes.end(), more.begin(), more.end());
        return *this;
    }
    ByteFile truncated(size_t drop) const {
        ByteFile shorter = *this;
        shorter.bytes.resize(bytes.size() > drop ? bytes.size() - drop : 0);
        return shorter;
    }
    std::string writeTo(const std::string& path) const {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }
};

// A valid run-length TGA of one colour, 32 bits a pixel: a large picture in a small file, as
// every packet covers 128 pixels.
inline ByteFile runLengthTga(int width, int height) {
    ByteFile f;
    f.u8(0).u8(0).u8(10).fill(9, 0).u16(unsigned(width)).u16(unsigned(height)).u8(32).u8(8);
    for (size_t left = size_t(width) * size_t(height); left > 0;
         left -= std::min<size_t>(128, left))
        f.u8(0x80 | unsigned(std::min<size_t>(128, left) - 1)).u8(10).u8(200).u8(30).u8(255);
    return f;
}
