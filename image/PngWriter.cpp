#include "image/PngWriter.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

const std::array<uint32_t, 256>& CrcTable() {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            t[n] = c;
        }
        return t;
    }();
    return table;
}

void PutBE32(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v >> 24));
    out.push_back(static_cast<uint8_t>(v >> 16));
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

// One chunk: length, type, data, CRC of type and data.
bool WriteChunk(FILE* file, const char type[4], const std::vector<uint8_t>& data) {
    std::vector<uint8_t> head;
    PutBE32(head, static_cast<uint32_t>(data.size()));
    head.insert(head.end(), type, type + 4);
    uint32_t crc = 0xFFFFFFFFu;
    const auto& table = CrcTable();
    for (size_t i = 4; i < head.size(); ++i) {
        crc = table[(crc ^ head[i]) & 0xFF] ^ (crc >> 8);
    }
    for (const uint8_t b : data) {
        crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
    }
    std::vector<uint8_t> tail;
    PutBE32(tail, crc ^ 0xFFFFFFFFu);
    return std::fwrite(head.data(), 1, head.size(), file) == head.size() &&
           (data.empty() || std::fwrite(data.data(), 1, data.size(), file) == data.size()) &&
           std::fwrite(tail.data(), 1, tail.size(), file) == tail.size();
}

// The zlib stream of the filtered rows (filter 0 before each row) in stored
// blocks of at most 65535 bytes, closed by the Adler-32 of the rows.
std::vector<uint8_t> StoredZlib(const uint8_t* rgb, size_t rowBytes, size_t height) {
    std::vector<uint8_t> raw;
    raw.reserve((rowBytes + 1) * height);
    for (size_t y = 0; y < height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), rgb + y * rowBytes, rgb + (y + 1) * rowBytes);
    }
    std::vector<uint8_t> z{0x78, 0x01};
    z.reserve(raw.size() + raw.size() / 65535 * 5 + 16);
    size_t pos = 0;
    do {
        const size_t n = std::min<size_t>(raw.size() - pos, 65535);
        const bool last = pos + n == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(static_cast<uint8_t>(n));
        z.push_back(static_cast<uint8_t>(n >> 8));
        z.push_back(static_cast<uint8_t>(~n));
        z.push_back(static_cast<uint8_t>(~n >> 8));
        z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos),
                 raw.begin() + static_cast<std::ptrdiff_t>(pos + n));
        pos += n;
    } while (pos < raw.size());
    uint32_t a = 1, b = 0;
    for (const uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBE32(z, (b << 16) | a);
    return z;
}

}  // namespace

bool WritePng(const std::string& path, const uint8_t* rgb, int width, int height) {
    // The stored stream has to fit in one IDAT chunk's 32-bit length.
    if (rgb == nullptr || width <= 0 || height <= 0 ||
        (uint64_t(width) * 3 + 1) * uint64_t(height) > 0xF0000000u) {
        return false;
    }
    std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        return false;
    }
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutBE32(header, static_cast<uint32_t>(width));
    PutBE32(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, deflate, no filter, no interlace
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    const bool ok = std::fwrite(kSignature, 1, 8, file.get()) == 8 &&
                    WriteChunk(file.get(), "IHDR", header) &&
                    WriteChunk(file.get(), "IDAT", StoredZlib(rgb, rowBytes, size_t(height))) &&
                    WriteChunk(file.get(), "IEND", {});
    return ok && std::fflush(file.get()) == 0;
}
