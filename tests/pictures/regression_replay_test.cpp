// Inputs the fuzzers found troublesome, kept in tests/data/pictures and replayed through every
// loader: each is refused or decoded within the caps, and leaves no GDI object behind.
#include <cstring>
#include <filesystem>

#include "picture_test_support.h"
#include "platform/imaging/bmp_decoder.h"

namespace {

using RegressionReplay = PictureTest;

std::vector<std::string> RegressionFiles() {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(PICTURES_DATA_DIR)) files.push_back(entry.path().string());
  return files;
}

HRESULT LoadThroughOle(const Bytes& bytes, IPicture** picture) {
  HGLOBAL memory = GlobalAlloc(GMEM_FIXED, bytes.size());
  if (!bytes.empty()) std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
  GlobalUnlock(memory);
  IStream* stream = nullptr;
  EXPECT_EQ(CreateStreamOnHGlobal(memory, TRUE, &stream), S_OK);
  const HRESULT hr = OleLoadPicture(stream, static_cast<LONG>(bytes.size()), TRUE, IID_IPicture,
                                    reinterpret_cast<void**>(picture));
  stream->Release();
  return hr;
}

TEST_F(RegressionReplay, EveryKeptInputIsRefusedOrDecodedWithinTheCaps) {
  const std::vector<std::string> files = RegressionFiles();
  ASSERT_FALSE(files.empty()) << "no inputs in " << PICTURES_DATA_DIR;
  for (const std::string& path : files) {
    SCOPED_TRACE(path);
    const Bytes bytes = ReadFileBytes(path);
    platform::DecodedImage image;
    if (platform::BmpDecode(bytes.data(), bytes.size(), image) == platform::BmpStatus::kOk) {
      EXPECT_LE(static_cast<uint64_t>(image.width) * image.height * 4, platform::kMaxImagePixelBytes);
    }
    HANDLE bitmap = LoadImageA(GetModuleHandleA(nullptr), path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    if (bitmap != nullptr) DeleteObject(bitmap);
    IPicture* picture = nullptr;
    const HRESULT hr = LoadThroughOle(bytes, &picture);
    EXPECT_EQ(SUCCEEDED(hr), picture != nullptr);
    if (picture != nullptr) picture->Release();
  }
}

TEST_F(RegressionReplay, AJpegWhoseScanDataStopsAtAMarkerIsRefused) {
  // 16129 x 1040 pixels announced, a few bytes of scan data, then the end-of-image marker.
  IPicture* picture = nullptr;
  EXPECT_EQ(LoadThroughOle(ReadFileBytes(std::string(PICTURES_DATA_DIR) + "/jpeg-scan-ends-at-marker.jpg"), &picture),
            CTL_E_INVALIDPICTURE);
  EXPECT_EQ(picture, nullptr);
}

}  // namespace
