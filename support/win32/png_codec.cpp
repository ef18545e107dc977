// The PNG codec behind support/win32/png.h. Every exported call does its work in a helper that
// returns a problem text (empty on success) and only then, with no object of its own left alive,
// jumps back to the caller's png_jmpbuf.
#include "png.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

struct png_info_def {
  int unused = 0;
};

struct png_struct_def {
  std::jmp_buf jump;
  bool writing = false;
  std::FILE* file = nullptr;
  uint32_t width = 0;
  uint32_t height = 0;
  int bitDepth = 8;
  int colorType = PNG_COLOR_TYPE_RGB;
  // Writing: the filtered scanlines (filter byte 0, then the row) waiting for png_write_end.
  std::vector<uint8_t> scanlines;
  uint32_t rowsWritten = 0;
  // Reading: the image as 8-bit samples of `samples` channels, and what the caller asked for.
  std::vector<uint8_t> pixels;
  int samples = 0;
  uint32_t nextRow = 0;
  bool grayToRgb = false;
  bool stripAlpha = false;
};

namespace {

// Far beyond anything the tools make; keeps a hostile header from asking for gigabytes.
constexpr uint64_t kMaxPixels = 64u * 1024u * 1024u;
constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

[[noreturn]] void Fail(png_structp png) { std::longjmp(png->jump, 1); }

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

uint32_t Adler32(const uint8_t* data, size_t size) {
  uint32_t a = 1, b = 0;
  for (size_t i = 0; i < size; ++i) {
    a = (a + data[i]) % 65521u;
    b = (b + a) % 65521u;
  }
  return (b << 16) | a;
}

void PutBig32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

uint32_t GetBig32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

int ChannelsOf(int colorType) {
  switch (colorType) {
    case PNG_COLOR_TYPE_GRAY: return 1;
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_PALETTE: return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    default: return 0;
  }
}

bool WriteChunk(std::FILE* file, const char* type, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> chunk;
  PutBig32(chunk, static_cast<uint32_t>(data.size()));
  chunk.insert(chunk.end(), type, type + 4);
  chunk.insert(chunk.end(), data.begin(), data.end());
  PutBig32(chunk, Crc32(chunk.data() + 4, chunk.size() - 4));
  return std::fwrite(chunk.data(), 1, chunk.size(), file) == chunk.size();
}

// ---- writing ----

bool WriteHeader(png_structp png) {
  if (png->file == nullptr || png->bitDepth != 8 || png->colorType == PNG_COLOR_TYPE_PALETTE ||
      ChannelsOf(png->colorType) == 0 || png->width == 0 || png->height == 0)
    return false;
  if (std::fwrite(kSignature, 1, sizeof kSignature, png->file) != sizeof kSignature) return false;
  std::vector<uint8_t> header;
  PutBig32(header, png->width);
  PutBig32(header, png->height);
  header.push_back(8);
  header.push_back(static_cast<uint8_t>(png->colorType));
  header.push_back(0);  // deflate
  header.push_back(0);  // adaptive filtering (every row uses filter 0)
  header.push_back(0);  // not interlaced
  return WriteChunk(png->file, "IHDR", header);
}

// The scanlines as a zlib stream of stored blocks, then IEND.
bool WriteImageEnd(png_structp png) {
  if (png->file == nullptr || png->rowsWritten != png->height) return false;
  const std::vector<uint8_t>& raw = png->scanlines;
  std::vector<uint8_t> z = {0x78, 0x01};
  size_t at = 0;
  do {
    const size_t block = std::min<size_t>(raw.size() - at, 65535);
    const bool last = at + block == raw.size();
    z.push_back(last ? 1 : 0);
    z.push_back(static_cast<uint8_t>(block & 0xFF));
    z.push_back(static_cast<uint8_t>(block >> 8));
    z.push_back(static_cast<uint8_t>(~block & 0xFF));
    z.push_back(static_cast<uint8_t>((~block >> 8) & 0xFF));
    z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(at), raw.begin() + static_cast<std::ptrdiff_t>(at + block));
    at += block;
  } while (at < raw.size());
  PutBig32(z, Adler32(raw.data(), raw.size()));
  return WriteChunk(png->file, "IDAT", z) && WriteChunk(png->file, "IEND", {}) && std::fflush(png->file) == 0;
}

// ---- inflate ----

class Inflater {
 public:
  Inflater(const uint8_t* data, size_t size, std::vector<uint8_t>* out) : in_(data), size_(size), out_(out) {}

  bool Run() {
    int last = 0;
    do {
      last = Bits(1);
      const int type = Bits(2);
      bool ok = false;
      if (type == 0) ok = Stored();
      else if (type == 1) ok = Fixed();
      else if (type == 2) ok = Dynamic();
      if (!ok || bad_) return false;
    } while (!last);
    return true;
  }

  size_t Consumed() const { return pos_; }

 private:
  struct Huffman {
    std::array<uint16_t, 16> count{};
    std::array<uint16_t, 320> symbol{};
  };

  int Bits(int need) {
    uint32_t value = bitBuffer_;
    while (bitCount_ < need) {
      if (pos_ >= size_) {
        bad_ = true;
        return 0;
      }
      value |= uint32_t{in_[pos_++]} << bitCount_;
      bitCount_ += 8;
    }
    bitBuffer_ = value >> need;
    bitCount_ -= need;
    return static_cast<int>(value & ((1u << need) - 1));
  }

  bool Stored() {
    bitBuffer_ = 0;
    bitCount_ = 0;
    if (pos_ + 4 > size_) return false;
    const unsigned len = in_[pos_] | (in_[pos_ + 1] << 8);
    const unsigned nlen = in_[pos_ + 2] | (in_[pos_ + 3] << 8);
    pos_ += 4;
    if (len != (~nlen & 0xFFFF) || pos_ + len > size_) return false;
    out_->insert(out_->end(), in_ + pos_, in_ + pos_ + len);
    pos_ += len;
    return Limit();
  }

  // Canonical code from code lengths; false when the lengths over-subscribe.
  static bool Build(Huffman* h, const uint8_t* lengths, int n) {
    h->count.fill(0);
    for (int s = 0; s < n; ++s) h->count[lengths[s]]++;
    if (h->count[0] == n) return true;
    int left = 1;
    for (int len = 1; len < 16; ++len) {
      left = (left << 1) - h->count[len];
      if (left < 0) return false;
    }
    std::array<uint16_t, 16> offs{};
    for (int len = 1; len < 15; ++len) offs[len + 1] = offs[len] + h->count[len];
    for (int s = 0; s < n; ++s)
      if (lengths[s] != 0) h->symbol[offs[lengths[s]]++] = static_cast<uint16_t>(s);
    return true;
  }

  int Decode(const Huffman& h) {
    int code = 0, first = 0, index = 0;
    for (int len = 1; len < 16; ++len) {
      code |= Bits(1);
      if (bad_) return -1;
      const int count = h.count[len];
      if (code - count < first) return h.symbol[index + (code - first)];
      index += count;
      first = (first + count) << 1;
      code <<= 1;
    }
    return -1;
  }

  bool Limit() { return out_->size() <= kMaxOutput; }

  bool Codes(const Huffman& lengthCode, const Huffman& distCode) {
    static const uint16_t lbase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                       31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    static const uint8_t lext[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    static const uint16_t dbase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                                       193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
    static const uint8_t dext[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
    for (;;) {
      int symbol = Decode(lengthCode);
      if (symbol < 0) return false;
      if (symbol < 256) {
        out_->push_back(static_cast<uint8_t>(symbol));
      } else if (symbol == 256) {
        return Limit();
      } else {
        symbol -= 257;
        if (symbol >= 29) return false;
        const size_t len = lbase[symbol] + Bits(lext[symbol]);
        const int ds = Decode(distCode);
        if (ds < 0 || ds >= 30) return false;
        const size_t dist = dbase[ds] + Bits(dext[ds]);
        if (bad_ || dist > out_->size()) return false;
        const size_t from = out_->size() - dist;
        for (size_t i = 0; i < len; ++i) out_->push_back((*out_)[from + i]);
      }
      if (!Limit()) return false;
    }
  }

  bool Fixed() {
    uint8_t lengths[288];
    int s = 0;
    for (; s < 144; ++s) lengths[s] = 8;
    for (; s < 256; ++s) lengths[s] = 9;
    for (; s < 280; ++s) lengths[s] = 7;
    for (; s < 288; ++s) lengths[s] = 8;
    Huffman lengthCode, distCode;
    Build(&lengthCode, lengths, 288);
    for (s = 0; s < 30; ++s) lengths[s] = 5;
    Build(&distCode, lengths, 30);
    return Codes(lengthCode, distCode);
  }

  bool Dynamic() {
    static const uint8_t order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    const int nlen = Bits(5) + 257, ndist = Bits(5) + 1, ncode = Bits(4) + 4;
    if (bad_ || nlen > 286 || ndist > 30) return false;
    uint8_t lengths[320] = {};
    for (int i = 0; i < ncode; ++i) lengths[order[i]] = static_cast<uint8_t>(Bits(3));
    Huffman lencode, distcode;
    if (!Build(&lencode, lengths, 19)) return false;
    int index = 0;
    while (index < nlen + ndist) {
      int symbol = Decode(lencode);
      if (symbol < 0) return false;
      if (symbol < 16) {
        lengths[index++] = static_cast<uint8_t>(symbol);
        continue;
      }
      uint8_t len = 0;
      int repeat = 0;
      if (symbol == 16) {
        if (index == 0) return false;
        len = lengths[index - 1];
        repeat = 3 + Bits(2);
      } else if (symbol == 17) {
        repeat = 3 + Bits(3);
      } else {
        repeat = 11 + Bits(7);
      }
      if (bad_ || index + repeat > nlen + ndist) return false;
      while (repeat--) lengths[index++] = len;
    }
    if (lengths[256] == 0) return false;
    if (!Build(&lencode, lengths, nlen) || !Build(&distcode, lengths + nlen, ndist)) return false;
    return Codes(lencode, distcode);
  }

  static constexpr size_t kMaxOutput = kMaxPixels * 8 + 65536;
  const uint8_t* in_;
  size_t size_;
  size_t pos_ = 0;
  uint32_t bitBuffer_ = 0;
  int bitCount_ = 0;
  bool bad_ = false;
  std::vector<uint8_t>* out_;
};

// ---- reading ----

int Paeth(int a, int b, int c) {
  const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  return (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
}

bool Unfilter(std::vector<uint8_t>& data, uint32_t height, size_t stride, size_t bpp) {
  if (data.size() < static_cast<size_t>(height) * (stride + 1)) return false;
  std::vector<uint8_t> prior(stride, 0);
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t* line = data.data() + static_cast<size_t>(y) * (stride + 1);
    const int filter = line[0];
    uint8_t* row = line + 1;
    for (size_t i = 0; i < stride; ++i) {
      const int a = i >= bpp ? row[i - bpp] : 0, b = prior[i], c = i >= bpp ? prior[i - bpp] : 0;
      int add = 0;
      switch (filter) {
        case 0: break;
        case 1: add = a; break;
        case 2: add = b; break;
        case 3: add = (a + b) / 2; break;
        case 4: add = Paeth(a, b, c); break;
        default: return false;
      }
      row[i] = static_cast<uint8_t>(row[i] + add);
    }
    std::memcpy(prior.data(), row, stride);
  }
  return true;
}

// The sample of channel `c` of pixel `x` in an unfiltered row, scaled to 8 bits (palette indexes
// are left as they are).
int Sample(const uint8_t* row, uint32_t x, int c, int channels, int depth, bool index) {
  if (depth == 16) return row[(static_cast<size_t>(x) * channels + c) * 2];
  if (depth == 8) return row[static_cast<size_t>(x) * channels + c];
  const size_t bit = static_cast<size_t>(x) * depth;
  const int v = (row[bit / 8] >> (8 - depth - bit % 8)) & ((1 << depth) - 1);
  return index ? v : v * 255 / ((1 << depth) - 1);
}

std::string ReadImage(png_structp png) {
  if (png->file == nullptr) return "no file";
  std::vector<uint8_t> file;
  uint8_t buffer[65536];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, png->file)) > 0;) file.insert(file.end(), buffer, buffer + n);
  if (file.size() < 8 || std::memcmp(file.data(), kSignature, 8) != 0) return "not a PNG";
  std::vector<uint8_t> idat, palette;
  int interlace = 0;
  bool header = false;
  for (size_t at = 8; at + 12 <= file.size();) {
    const uint32_t length = GetBig32(&file[at]);
    if (length > file.size() - at - 12) return "truncated chunk";
    const uint8_t* type = &file[at + 4];
    const uint8_t* data = type + 4;
    if (Crc32(type, length + 4) != GetBig32(data + length)) return "chunk CRC mismatch";
    if (std::memcmp(type, "IHDR", 4) == 0 && length == 13) {
      png->width = GetBig32(data);
      png->height = GetBig32(data + 4);
      png->bitDepth = data[8];
      png->colorType = data[9];
      interlace = data[12];
      header = true;
    } else if (std::memcmp(type, "PLTE", 4) == 0) {
      palette.assign(data, data + length);
    } else if (std::memcmp(type, "IDAT", 4) == 0) {
      idat.insert(idat.end(), data, data + length);
    } else if (std::memcmp(type, "IEND", 4) == 0) {
      break;
    }
    at += 12 + static_cast<size_t>(length);
  }
  const int channels = ChannelsOf(png->colorType);
  const int depth = png->bitDepth;
  if (!header || channels == 0 || interlace != 0) return "unsupported PNG header";
  if (!(depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16)) return "bad bit depth";
  if (png->width == 0 || png->height == 0 || uint64_t{png->width} * png->height > kMaxPixels) return "bad size";
  if (idat.size() < 6 || (idat[0] & 0x0F) != 8 || ((idat[0] << 8) | idat[1]) % 31 != 0) return "bad zlib header";
  std::vector<uint8_t> raw;
  Inflater inflater(idat.data() + 2, idat.size() - 2, &raw);
  if (!inflater.Run()) return "corrupt image data";
  const size_t stride = (static_cast<size_t>(png->width) * channels * depth + 7) / 8;
  const size_t bpp = std::max<size_t>(1, static_cast<size_t>(channels) * depth / 8);
  if (!Unfilter(raw, png->height, stride, bpp)) return "corrupt scanlines";

  const bool indexed = png->colorType == PNG_COLOR_TYPE_PALETTE;
  const bool gray = png->colorType == PNG_COLOR_TYPE_GRAY || png->colorType == PNG_COLOR_TYPE_GRAY_ALPHA;
  const bool alpha = png->colorType == PNG_COLOR_TYPE_GRAY_ALPHA || png->colorType == PNG_COLOR_TYPE_RGB_ALPHA;
  const bool outColor = !gray || png->grayToRgb;
  const bool outAlpha = alpha && !png->stripAlpha;
  png->samples = (outColor ? 3 : 1) + (outAlpha ? 1 : 0);
  png->pixels.assign(static_cast<size_t>(png->width) * png->height * png->samples, 0);
  uint8_t* out = png->pixels.data();
  for (uint32_t y = 0; y < png->height; ++y) {
    const uint8_t* row = raw.data() + static_cast<size_t>(y) * (stride + 1) + 1;
    for (uint32_t x = 0; x < png->width; ++x) {
      int rgb[3];
      if (indexed) {
        const size_t i = static_cast<size_t>(Sample(row, x, 0, 1, depth, true));
        if (i * 3 + 2 >= palette.size()) return "palette index out of range";
        for (int c = 0; c < 3; ++c) rgb[c] = palette[i * 3 + c];
      } else if (gray) {
        rgb[0] = rgb[1] = rgb[2] = Sample(row, x, 0, channels, depth, false);
      } else {
        for (int c = 0; c < 3; ++c) rgb[c] = Sample(row, x, c, channels, depth, false);
      }
      for (int c = 0; c < (outColor ? 3 : 1); ++c) *out++ = static_cast<uint8_t>(rgb[c]);
      if (outAlpha) *out++ = static_cast<uint8_t>(Sample(row, x, channels - 1, channels, depth, false));
    }
  }
  return {};
}

png_structp Create(bool writing) {
  auto* png = new png_struct_def;
  png->writing = writing;
  return png;
}

}  // namespace

std::jmp_buf& png_jump_buffer(png_structp png) { return png->jump; }

png_structp png_create_write_struct(png_const_charp, png_voidp, png_error_ptr, png_error_ptr) { return Create(true); }
png_structp png_create_read_struct(png_const_charp, png_voidp, png_error_ptr, png_error_ptr) { return Create(false); }
png_infop png_create_info_struct(png_structp png) { return png != nullptr ? new png_info_def : nullptr; }

void png_destroy_write_struct(png_structpp png, png_infopp info) {
  if (info != nullptr) {
    delete *info;
    *info = nullptr;
  }
  if (png != nullptr) {
    delete *png;
    *png = nullptr;
  }
}

void png_destroy_read_struct(png_structpp png, png_infopp info, png_infopp endInfo) {
  if (endInfo != nullptr) {
    delete *endInfo;
    *endInfo = nullptr;
  }
  png_destroy_write_struct(png, info);
}

void png_init_io(png_structp png, std::FILE* file) { png->file = file; }

void png_set_IHDR(png_structp png, png_infop, png_uint_32 width, png_uint_32 height, int bitDepth, int colorType,
                  int interlace, int, int) {
  png->width = width;
  png->height = height;
  png->bitDepth = bitDepth;
  png->colorType = colorType;
  if (interlace != PNG_INTERLACE_NONE || uint64_t{width} * height > kMaxPixels) png->width = 0;  // refused at write
}

void png_write_info(png_structp png, png_infop) {
  if (!WriteHeader(png)) Fail(png);
}

void png_write_row(png_structp png, const png_byte* row) {
  if (png->rowsWritten >= png->height) Fail(png);
  const size_t stride = static_cast<size_t>(png->width) * ChannelsOf(png->colorType);
  png->scanlines.push_back(0);
  png->scanlines.insert(png->scanlines.end(), row, row + stride);
  ++png->rowsWritten;
}

void png_write_end(png_structp png, png_infop) {
  if (!WriteImageEnd(png)) Fail(png);
}

void png_read_info(png_structp png, png_infop) {
  if (!ReadImage(png).empty()) Fail(png);
}

void png_set_expand(png_structp) {}  // every sample is delivered as 8 bits, palettes expanded
void png_set_strip_16(png_structp) {}
void png_set_strip_alpha(png_structp png) { png->stripAlpha = true; }
void png_set_gray_to_rgb(png_structp png) { png->grayToRgb = true; }

void png_read_update_info(png_structp png, png_infop) {
  // The transformations are asked for after the image was read: apply them now.
  if (png->samples == 0) return;
  png->samples = 0;
  png->pixels.clear();
  std::rewind(png->file);
  if (!ReadImage(png).empty()) Fail(png);
}

png_uint_32 png_get_image_width(png_structp png, png_infop) { return png->width; }
png_uint_32 png_get_image_height(png_structp png, png_infop) { return png->height; }
png_size_t png_get_rowbytes(png_structp png, png_infop) { return static_cast<size_t>(png->width) * png->samples; }

void png_read_row(png_structp png, png_bytep row, png_bytep) {
  if (png->nextRow >= png->height) Fail(png);
  const size_t stride = static_cast<size_t>(png->width) * png->samples;
  std::memcpy(row, png->pixels.data() + png->nextRow * stride, stride);
  ++png->nextRow;
}
