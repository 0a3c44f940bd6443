#include "PngWriter.h"

#include <array>
#include <cstdio>

namespace tools {

namespace {

std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> entries{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            entries[n] = c;
        }
        return entries;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

std::uint32_t adler32(const std::vector<std::uint8_t>& data)
{
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

// Deflate writes bits from the least significant end; Huffman codes go most significant bit first.
struct BitWriter {
    std::vector<std::uint8_t>& out;
    std::uint32_t buffer = 0;
    int count = 0;

    void bits(std::uint32_t value, int length)
    {
        buffer |= value << count;
        count += length;
        while (count >= 8) {
            out.push_back(static_cast<std::uint8_t>(buffer & 0xFF));
            buffer >>= 8;
            count -= 8;
        }
    }
    void code(std::uint32_t value, int length)
    {
        std::uint32_t reversed = 0;
        for (int i = 0; i < length; ++i)
            reversed |= ((value >> i) & 1u) << (length - 1 - i);
        bits(reversed, length);
    }
    void flush()
    {
        if (count > 0)
            out.push_back(static_cast<std::uint8_t>(buffer & 0xFF));
        buffer = 0;
        count = 0;
    }
};

void literalOrLength(BitWriter& writer, int symbol)
{
    if (symbol < 144)
        writer.code(0x30u + static_cast<std::uint32_t>(symbol), 8);
    else if (symbol < 256)
        writer.code(0x190u + static_cast<std::uint32_t>(symbol - 144), 9);
    else if (symbol < 280)
        writer.code(static_cast<std::uint32_t>(symbol - 256), 7);
    else
        writer.code(0xC0u + static_cast<std::uint32_t>(symbol - 280), 8);
}

constexpr int LengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr int LengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr int DistanceBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                                  193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr int DistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void match(BitWriter& writer, int length, int distance)
{
    int l = 28;
    while (LengthBase[l] > length)
        --l;
    literalOrLength(writer, 257 + l);
    writer.bits(static_cast<std::uint32_t>(length - LengthBase[l]), LengthExtra[l]);
    int d = 29;
    while (DistanceBase[d] > distance)
        --d;
    writer.code(static_cast<std::uint32_t>(d), 5);
    writer.bits(static_cast<std::uint32_t>(distance - DistanceBase[d]), DistanceExtra[d]);
}

std::vector<std::uint8_t> zlibCompress(const std::vector<std::uint8_t>& data)
{
    constexpr int window = 32768;
    constexpr int hashSize = 1 << 15;
    constexpr int chainLimit = 48;
    std::vector<std::uint8_t> out = {0x78, 0x01};
    BitWriter writer{out};
    writer.bits(1, 1);  // last block
    writer.bits(1, 2);  // fixed Huffman codes

    std::vector<int> head(hashSize, -1);
    std::vector<int> previous(window, -1);
    auto hashAt = [&](std::size_t i) {
        return ((data[i] << 10) ^ (data[i + 1] << 5) ^ data[i + 2]) & (hashSize - 1);
    };
    auto insert = [&](std::size_t i) {
        if (i + 2 >= data.size())
            return;
        int h = hashAt(i);
        previous[i % window] = head[static_cast<std::size_t>(h)];
        head[static_cast<std::size_t>(h)] = static_cast<int>(i);
    };

    std::size_t i = 0;
    while (i < data.size()) {
        int bestLength = 0, bestDistance = 0;
        if (i + 2 < data.size()) {
            int candidate = head[static_cast<std::size_t>(hashAt(i))];
            for (int tries = 0; candidate >= 0 && tries < chainLimit; ++tries) {
                int distance = static_cast<int>(i) - candidate;
                if (distance > window - 1)
                    break;
                int length = 0;
                while (length < 258 && i + static_cast<std::size_t>(length) < data.size() &&
                       data[static_cast<std::size_t>(candidate + length)] == data[i + static_cast<std::size_t>(length)])
                    ++length;
                if (length > bestLength) {
                    bestLength = length;
                    bestDistance = distance;
                    if (length == 258)
                        break;
                }
                int next = previous[static_cast<std::size_t>(candidate) % window];
                if (next >= candidate)
                    break;
                candidate = next;
            }
        }
        if (bestLength >= 3) {
            match(writer, bestLength, bestDistance);
            for (int k = 0; k < bestLength; ++k)
                insert(i + static_cast<std::size_t>(k));
            i += static_cast<std::size_t>(bestLength);
        } else {
            literalOrLength(writer, data[i]);
            insert(i);
            ++i;
        }
    }
    literalOrLength(writer, 256);
    writer.flush();
    std::uint32_t check = adler32(data);
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(check >> shift));
    return out;
}

void appendBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void appendChunk(std::vector<std::uint8_t>& file, const char* type, const std::vector<std::uint8_t>& body)
{
    appendBigEndian(file, static_cast<std::uint32_t>(body.size()));
    std::vector<std::uint8_t> typed(type, type + 4);
    typed.insert(typed.end(), body.begin(), body.end());
    file.insert(file.end(), typed.begin(), typed.end());
    appendBigEndian(file, crc32(typed.data(), typed.size()));
}

// channels: 3 (RGB, colour type 2) or 4 (RGBA, colour type 6).
bool writePixels(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb, int channels)
{
    std::vector<std::uint8_t> header;
    appendBigEndian(header, static_cast<std::uint32_t>(width));
    appendBigEndian(header, static_cast<std::uint32_t>(height));
    const std::uint8_t colourType = channels == 4 ? 6 : 2;
    header.insert(header.end(), {8, colourType, 0, 0, 0});  // 8 bits, deflate, no filter, no interlace

    std::vector<std::uint8_t> scanlines;
    std::size_t rowBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(channels);
    scanlines.reserve((rowBytes + 1) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        scanlines.push_back(0);  // filter: none
        auto row = rgb.begin() + static_cast<std::ptrdiff_t>(rowBytes * static_cast<std::size_t>(y));
        scanlines.insert(scanlines.end(), row, row + static_cast<std::ptrdiff_t>(rowBytes));
    }

    std::vector<std::uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    appendChunk(file, "IHDR", header);
    appendChunk(file, "IDAT", zlibCompress(scanlines));
    appendChunk(file, "IEND", {});

    std::FILE* stream = std::fopen(path.c_str(), "wb");
    if (!stream)
        return false;
    bool written = std::fwrite(file.data(), 1, file.size(), stream) == file.size();
    return std::fclose(stream) == 0 && written;
}

}  // namespace

bool writePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb)
{
    return writePixels(path, width, height, rgb, 3);
}

bool writePngWithAlpha(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba)
{
    return writePixels(path, width, height, rgba, 4);
}

}  // namespace tools
