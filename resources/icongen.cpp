// Build-time tool: writes the program icon files into the folder given as the only argument.
// It runs on the build host, also in cross builds, so it uses nothing beyond the standard library: the
// PNG files are compressed by a small deflate of its own (LZ77 with hash chains, one block of dynamic
// Huffman codes), which brings the 256-pixel icon from 262 KB stored to a few kilobytes.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <queue>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "icon_art.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// ---- deflate (RFC 1951) in a zlib stream (RFC 1950) ------------------------------------------------

constexpr std::array<std::uint16_t, 29> kLengthBase{3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                    15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                    67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> kLengthExtra{0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                    2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint16_t, 30> kDistanceBase{
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<std::uint8_t, 30> kDistanceExtra{0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                                      6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
// The order in which a dynamic block gives the code lengths of its code-length alphabet.
constexpr std::array<std::uint8_t, 19> kCodeLengthOrder{16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                        11, 4,  12, 3, 13, 2, 14, 1, 15};
constexpr int kWindow = 32768;
constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 258;

// A literal byte (distance 0) or a copy of `length` bytes from `distance` back.
struct Token {
    std::uint16_t length;
    std::uint16_t distance;
};

class BitWriter {
  public:
    explicit BitWriter(Bytes& out) : out_(out) {}
    void put(std::uint32_t bits, int count) {  // the lowest bit first
        for (int i = 0; i < count; ++i) {
            if (used_ == 0) out_.push_back(0);
            out_.back() |= static_cast<std::uint8_t>(((bits >> i) & 1u) << used_);
            used_ = (used_ + 1) % 8;
        }
    }

  private:
    Bytes& out_;
    int used_ = 0;
};

// The greedy matcher with one step of lazy evaluation: a match is put off by a byte when the next
// position starts a longer one.
std::vector<Token> findMatches(const Bytes& data) {
    const int size = static_cast<int>(data.size());
    constexpr int kHashSize = 1 << 15;
    constexpr int kChainLimit = 1024;
    std::vector<int> head(kHashSize, -1);
    std::vector<int> previous(data.size(), -1);
    auto hashAt = [&](int i) {
        return ((data[i] << 10) ^ (data[i + 1] << 5) ^ data[i + 2]) & (kHashSize - 1);
    };
    auto insert = [&](int i) {
        if (i + kMinMatch > size) return;
        const int h = hashAt(i);
        previous[i] = head[h];
        head[h] = i;
    };
    auto longest = [&](int i) {  // {length, distance} of the longest earlier match at i
        std::pair<int, int> best{0, 0};
        if (i + kMinMatch > size) return best;
        const int limit = std::min(kMaxMatch, size - i);
        int chain = kChainLimit;
        for (int j = head[hashAt(i)]; j >= 0 && i - j <= kWindow && chain-- > 0; j = previous[j]) {
            int n = 0;
            while (n < limit && data[j + n] == data[i + n]) ++n;
            if (n > best.first) best = {n, i - j};
            if (n == limit) break;
        }
        return best.first >= kMinMatch ? best : std::pair<int, int>{0, 0};
    };

    std::vector<Token> tokens;
    int i = 0;
    while (i < size) {
        auto match = longest(i);
        if (match.first > 0 && i + 1 < size) {
            insert(i);
            if (longest(i + 1).first > match.first) {
                tokens.push_back({data[i], 0});
                ++i;
                continue;
            }
            for (int k = 1; k < match.first; ++k) insert(i + k);
            tokens.push_back(
                {static_cast<std::uint16_t>(match.first), static_cast<std::uint16_t>(match.second)});
            i += match.first;
        } else {
            insert(i);
            tokens.push_back({data[i], 0});
            ++i;
        }
    }
    return tokens;
}

int lengthCode(int length) {  // index into kLengthBase
    return static_cast<int>(std::upper_bound(kLengthBase.begin(), kLengthBase.end(), length) -
                            kLengthBase.begin()) -
           1;
}
int distanceCode(int distance) {
    return static_cast<int>(std::upper_bound(kDistanceBase.begin(), kDistanceBase.end(), distance) -
                            kDistanceBase.begin()) -
           1;
}

// Huffman code lengths of at most maxBits for the frequencies; a symbol of frequency 0 gets none.
// Too deep a tree is built again from flatter frequencies, halved, until it fits.
std::vector<std::uint8_t> codeLengths(std::vector<std::uint32_t> freq, int maxBits) {
    if (std::count_if(freq.begin(), freq.end(), [](std::uint32_t f) { return f > 0; }) < 2) {
        // A code needs two symbols to be complete; the unused one costs nothing.
        for (std::size_t s = 0; s < 2; ++s) freq[s] = std::max<std::uint32_t>(freq[s], 1);
    }
    const std::size_t n = freq.size();
    for (;;) {
        using Node = std::pair<std::uint64_t, std::size_t>;  // weight, node
        std::priority_queue<Node, std::vector<Node>, std::greater<>> queue;
        std::vector<std::size_t> parent(2 * n, 0);
        for (std::size_t s = 0; s < n; ++s)
            if (freq[s] > 0) queue.push({freq[s], s});
        std::size_t next = n;
        while (queue.size() > 1) {
            const Node a = queue.top();
            queue.pop();
            const Node b = queue.top();
            queue.pop();
            parent[a.second] = parent[b.second] = next;
            queue.push({a.first + b.first, next++});
        }
        const std::size_t root = next - 1;
        std::vector<std::uint8_t> lengths(n, 0);
        int deepest = 0;
        for (std::size_t s = 0; s < n; ++s) {
            if (freq[s] == 0) continue;
            int depth = 0;
            for (std::size_t node = s; node != root; node = parent[node]) ++depth;
            lengths[s] = static_cast<std::uint8_t>(depth);
            deepest = std::max(deepest, depth);
        }
        if (deepest <= maxBits) return lengths;
        for (auto& f : freq)
            if (f > 0) f = (f + 1) / 2;
    }
}

// The canonical codes for the lengths, their bits reversed, since deflate writes codes from the top bit.
std::vector<std::uint16_t> canonicalCodes(const std::vector<std::uint8_t>& lengths) {
    std::array<std::uint16_t, 17> count{};
    for (auto l : lengths) ++count[l];
    count[0] = 0;
    std::array<std::uint16_t, 17> next{};
    for (int bits = 1, code = 0; bits <= 16; ++bits) {
        code = (code + count[bits - 1]) << 1;
        next[bits] = static_cast<std::uint16_t>(code);
    }
    std::vector<std::uint16_t> codes(lengths.size(), 0);
    for (std::size_t s = 0; s < lengths.size(); ++s) {
        if (lengths[s] == 0) continue;
        const std::uint16_t code = next[lengths[s]]++;
        std::uint16_t reversed = 0;
        for (int b = 0; b < lengths[s]; ++b)
            reversed = static_cast<std::uint16_t>(reversed | (((code >> b) & 1) << (lengths[s] - 1 - b)));
        codes[s] = reversed;
    }
    return codes;
}

// The code lengths of both alphabets, run-length coded: 16 repeats the last length 3 to 6 times, 17
// and 18 give 3 to 10 and 11 to 138 zeros. Each entry: symbol, extra bits' value.
std::vector<std::pair<int, int>> runLengths(const std::vector<std::uint8_t>& lengths) {
    std::vector<std::pair<int, int>> out;
    for (std::size_t i = 0; i < lengths.size();) {
        std::size_t run = 1;
        while (i + run < lengths.size() && lengths[i + run] == lengths[i]) ++run;
        const int l = lengths[i];
        std::size_t left = run;
        if (l == 0) {
            while (left >= 11) {
                const std::size_t n = std::min<std::size_t>(left, 138);
                out.push_back({18, static_cast<int>(n - 11)});
                left -= n;
            }
            if (left >= 3) {
                out.push_back({17, static_cast<int>(left - 3)});
                left = 0;
            }
        } else {
            out.push_back({l, 0});
            --left;
            while (left >= 3) {
                const std::size_t n = std::min<std::size_t>(left, 6);
                out.push_back({16, static_cast<int>(n - 3)});
                left -= n;
            }
        }
        for (; left > 0; --left) out.push_back({l, 0});
        i += run;
    }
    return out;
}

std::uint32_t adler32(const Bytes& data) {
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (std::uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

void putBe32(Bytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

// The data as one final block with dynamic Huffman codes, in a zlib stream.
Bytes zlibCompress(const Bytes& data) {
    const std::vector<Token> tokens = findMatches(data);
    std::vector<std::uint32_t> litFreq(286, 0), distFreq(30, 0);
    for (const Token& t : tokens) {
        if (t.distance == 0) {
            ++litFreq[t.length];
        } else {
            ++litFreq[257 + static_cast<std::size_t>(lengthCode(t.length))];
            ++distFreq[static_cast<std::size_t>(distanceCode(t.distance))];
        }
    }
    litFreq[256] = 1;  // the end of the block
    const auto litLengths = codeLengths(litFreq, 15);
    const auto distLengths = codeLengths(distFreq, 15);
    const auto litCodes = canonicalCodes(litLengths);
    const auto distCodes = canonicalCodes(distLengths);

    std::size_t hlit = 286, hdist = 30;
    while (hlit > 257 && litLengths[hlit - 1] == 0) --hlit;
    while (hdist > 1 && distLengths[hdist - 1] == 0) --hdist;
    std::vector<std::uint8_t> both(litLengths.begin(),
                                   litLengths.begin() + static_cast<std::ptrdiff_t>(hlit));
    both.insert(both.end(), distLengths.begin(), distLengths.begin() + static_cast<std::ptrdiff_t>(hdist));
    const auto runs = runLengths(both);
    std::vector<std::uint32_t> clFreq(19, 0);
    for (const auto& [symbol, extra] : runs) ++clFreq[static_cast<std::size_t>(symbol)];
    const auto clLengths = codeLengths(clFreq, 7);
    const auto clCodes = canonicalCodes(clLengths);
    std::size_t hclen = 19;
    while (hclen > 4 && clLengths[kCodeLengthOrder[hclen - 1]] == 0) --hclen;

    Bytes out{0x78, 0xDA};  // deflate, 32 KB window, best compression
    BitWriter bits(out);
    bits.put(1, 1);  // the final block
    bits.put(2, 2);  // dynamic Huffman codes
    bits.put(static_cast<std::uint32_t>(hlit - 257), 5);
    bits.put(static_cast<std::uint32_t>(hdist - 1), 5);
    bits.put(static_cast<std::uint32_t>(hclen - 4), 4);
    for (std::size_t i = 0; i < hclen; ++i) bits.put(clLengths[kCodeLengthOrder[i]], 3);
    for (const auto& [symbol, extra] : runs) {
        const auto s = static_cast<std::size_t>(symbol);
        bits.put(clCodes[s], clLengths[s]);
        if (symbol == 16) bits.put(static_cast<std::uint32_t>(extra), 2);
        if (symbol == 17) bits.put(static_cast<std::uint32_t>(extra), 3);
        if (symbol == 18) bits.put(static_cast<std::uint32_t>(extra), 7);
    }
    for (const Token& t : tokens) {
        if (t.distance == 0) {
            bits.put(litCodes[t.length], litLengths[t.length]);
            continue;
        }
        const auto lc = static_cast<std::size_t>(lengthCode(t.length));
        bits.put(litCodes[257 + lc], litLengths[257 + lc]);
        bits.put(static_cast<std::uint32_t>(t.length - kLengthBase[lc]), kLengthExtra[lc]);
        const auto dc = static_cast<std::size_t>(distanceCode(t.distance));
        bits.put(distCodes[dc], distLengths[dc]);
        bits.put(static_cast<std::uint32_t>(t.distance - kDistanceBase[dc]), kDistanceExtra[dc]);
    }
    bits.put(litCodes[256], litLengths[256]);
    putBe32(out, adler32(data));
    return out;
}

// ---- PNG -------------------------------------------------------------------------------------------

std::uint32_t crc32(const std::uint8_t* data, std::size_t size) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void putChunk(Bytes& out, const char (&type)[5], const Bytes& body) {
    putBe32(out, static_cast<std::uint32_t>(body.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    putBe32(out, crc32(out.data() + start, out.size() - start));
}

int paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// Each row with the filter that leaves it the smallest sum of bytes taken as signed, the usual rule
// of thumb for what deflate then packs best.
Bytes filteredRows(const corvane::IconImageView& image) {
    const std::size_t stride = 4 * static_cast<std::size_t>(image.width);
    Bytes previous(stride, 0), out;
    for (int y = 0; y < image.height; ++y) {
        Bytes row;
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t p = image.argb[static_cast<std::size_t>(y * image.width + x)];
            for (int shift : {16, 8, 0, 24}) row.push_back(static_cast<std::uint8_t>(p >> shift));  // RGBA
        }
        Bytes best;
        long bestCost = -1;
        for (int type = 0; type < 5; ++type) {
            Bytes line{static_cast<std::uint8_t>(type)};
            long cost = 0;
            for (std::size_t i = 0; i < stride; ++i) {
                const int a = i >= 4 ? row[i - 4] : 0, b = previous[i], c = i >= 4 ? previous[i - 4] : 0;
                const int predicted = type == 1   ? a
                                      : type == 2 ? b
                                      : type == 3 ? (a + b) / 2
                                      : type == 4 ? paeth(a, b, c)
                                                  : 0;
                const auto value = static_cast<std::uint8_t>(row[i] - predicted);
                line.push_back(value);
                cost += value < 128 ? value : 256 - value;
            }
            if (bestCost < 0 || cost < bestCost) {
                bestCost = cost;
                best = std::move(line);
            }
        }
        out.insert(out.end(), best.begin(), best.end());
        previous = std::move(row);
    }
    return out;
}

// A complete RGBA PNG file.
Bytes encodePng(const corvane::IconImageView& image) {
    Bytes header;
    putBe32(header, static_cast<std::uint32_t>(image.width));
    putBe32(header, static_cast<std::uint32_t>(image.height));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA, deflate, adaptive filters, no interlace
    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    putChunk(png, "IHDR", header);
    putChunk(png, "IDAT", zlibCompress(filteredRows(image)));
    putChunk(png, "IEND", {});
    return png;
}

// ---- files -----------------------------------------------------------------------------------------

bool writeFile(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "icongen: cannot write %s\n", path.string().c_str());
        return false;
    }
    return true;
}

// The pixels of each size as the initialiser of a C++ array: the side, then its pixels, size after
// size, then a side of 0. For a program that shows the icon without drawing it.
bool writeInitialiser(const std::filesystem::path& path,
                      std::span<const std::vector<std::uint32_t>> pictures) {
    std::string text;
    char number[16];
    for (const auto& pixels : pictures) {
        int side = 0;
        while (std::size_t(side) * std::size_t(side) < pixels.size()) ++side;
        text += std::to_string(side) + ",\n";
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            std::snprintf(number, sizeof number, "0x%08x,%c", static_cast<unsigned>(pixels[i]),
                          i % 8 == 7 ? '\n' : ' ');
            text += number;
        }
    }
    text += "0\n";
    return writeFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

corvane::IconImageView view(std::span<const std::uint32_t> pixels, int side) { return {side, side, pixels}; }

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argc > 0 ? argv[0] : "icongen");
        return 2;
    }
    try {
        const std::filesystem::path dir = argv[1];
        std::filesystem::create_directories(dir);

        // The program's own picture at 32 pixels, the Windows icon with the sizes the shell shows (256
        // would double the program's size), and one file a size in the hicolor theme's layout.
        std::vector<std::vector<std::uint32_t>> pictures;
        for (int side : {32, 16, 24, 48}) pictures.push_back(corvane::programIconPixels(side));
        const corvane::IconImageView icoImages[] = {view(pictures[0], 32), view(pictures[1], 16),
                                                    view(pictures[2], 24), view(pictures[3], 48)};
        bool ok = writeFile(dir / "corvane.png", encodePng(icoImages[0]));
        ok = writeFile(dir / "corvane.ico", corvane::encodeIco(icoImages)) && ok;
        for (int side : corvane::kProgramIconSizes) {
            const std::string size = std::to_string(side) + "x" + std::to_string(side);
            const std::filesystem::path folder = dir / "hicolor" / size / "apps";
            std::filesystem::create_directories(folder);
            const auto pixels = corvane::programIconPixels(side);
            ok = writeFile(folder / "corvane.png", encodePng(view(pixels, side))) && ok;
        }
        std::vector<std::vector<std::uint32_t>> traySizes;
        for (int side : corvane::kProgramIconSizes)
            if (side <= 64) traySizes.push_back(corvane::programIconPixels(side));
        ok = writeInitialiser(dir / "corvane.argb.inc", traySizes) && ok;

        const std::pair<corvane::ClockHands, const char*> frames[] = {
            {corvane::ClockHands::Up, "hands-up.png"},
            {corvane::ClockHands::Right, "hands-right.png"},
            {corvane::ClockHands::Down, "hands-down.png"},
            {corvane::ClockHands::Left, "hands-left.png"},
        };
        for (const auto& [hands, name] : frames) {
            const auto pixels = corvane::programIconPixels(32, hands);
            ok = writeFile(dir / name, encodePng(view(pixels, 32))) && ok;
        }
        const auto minus = corvane::signPixels(corvane::Sign::Minus);
        const auto plus = corvane::signPixels(corvane::Sign::Plus);
        ok = writeFile(dir / "minus.png", encodePng(view(minus, 12))) && ok;
        ok = writeFile(dir / "plus.png", encodePng(view(plus, 12))) && ok;
        return ok ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "icongen: %s\n", e.what());
        return 1;
    }
}
