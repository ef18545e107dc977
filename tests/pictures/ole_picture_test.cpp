// OleLoadPicture over a stream on global memory: JPEG and GIF pictures as bitmaps, their size in
// HIMETRIC, the bitmap owned by the picture, and files it cannot read refused.
#include <cstring>

#include "picture_encoders.h"
#include "picture_test_support.h"

namespace {

// A stream over a copy of `bytes`, as a caller that has read a file into global memory makes it.
IStream* StreamOver(const Bytes& bytes) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  void* block = GlobalLock(memory);
  if (!bytes.empty()) std::memcpy(block, bytes.data(), bytes.size());
  GlobalUnlock(memory);
  IStream* stream = nullptr;
  EXPECT_EQ(CreateStreamOnHGlobal(memory, TRUE, &stream), S_OK);
  return stream;
}

HRESULT LoadPicture(const Bytes& bytes, IPicture** picture, LONG size = -1) {
  IStream* stream = StreamOver(bytes);
  *picture = reinterpret_cast<IPicture*>(0x1);  // must be overwritten, with null on failure
  const HRESULT hr = OleLoadPicture(stream, size < 0 ? static_cast<LONG>(bytes.size()) : size, TRUE, IID_IPicture,
                                    reinterpret_cast<void**>(picture));
  stream->Release();
  return hr;
}

// The picture's bitmap, checked for type and HIMETRIC size, read back pixel by pixel.
PixelImage PicturePixels(IPicture* picture) {
  SHORT type = 0;
  OLE_HANDLE handle = 0;
  EXPECT_EQ(picture->get_Type(&type), S_OK);
  EXPECT_EQ(type, PICTYPE_BITMAP);
  EXPECT_EQ(picture->get_Handle(&handle), S_OK);
  const PixelImage image = ReadBitmap(reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(handle)));
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  EXPECT_EQ(picture->get_Width(&width), S_OK);
  EXPECT_EQ(picture->get_Height(&height), S_OK);
  EXPECT_EQ(width, MulDiv(image.width, 2540, 96));
  EXPECT_EQ(height, MulDiv(image.height, 2540, 96));
  return image;
}

// Flat 8 x 8 blocks, one colour each, on a size that leaves partial blocks at the right and
// bottom: a lossless-quality JPEG keeps them within a few levels, and a misplaced row or column
// of blocks shows as a large difference.
PixelImage BlockPicture() {
  return MakeImage(37, 21, [](int x, int y) {
    const int bx = x / 8, by = y / 8;
    return RGB((bx * 53 + by * 91) % 256, (bx * 17 + 40 * by + 60) % 256, (200 - bx * 31 + by * 7) % 256);
  });
}

using OlePicture = PictureTest;

TEST_F(OlePicture, JpegBaselineAndProgressiveColourAndGreyDecodeToTheirSource) {
  const PixelImage colour = BlockPicture();
  const PixelImage grey = MakeImage(colour.width, colour.height, [&](int x, int y) {
    const uint32_t v = colour.At(x, y) & 0xFF;
    return RGB(v, v, v);
  });
  for (bool progressive : {false, true}) {
    for (bool isGrey : {false, true}) {
      JpegOptions options;
      options.progressive = progressive;
      options.grey = isGrey;
      IPicture* picture = nullptr;
      ASSERT_EQ(LoadPicture(EncodeJpeg(isGrey ? grey : colour, options), &picture), S_OK);
      ASSERT_NE(picture, nullptr);
      const std::string name = std::string("jpeg-") + (progressive ? "progressive" : "baseline") + (isGrey ? "-grey" : "-colour");
      EXPECT_TRUE(ImagesMatch(isGrey ? grey : colour, PicturePixels(picture), name + ".actual.png", 4));
      EXPECT_EQ(picture->Release(), 0u);
    }
  }
}

TEST_F(OlePicture, GifFirstFrameIsComposedExactlyOverItsLogicalScreen) {
  const std::vector<uint32_t> global = {RGB(1, 1, 1), RGB(255, 0, 0), RGB(0, 0, 200), RGB(0, 255, 0), RGB(9, 99, 199)};
  GifSpec layout;
  layout.width = 11;
  layout.height = 9;
  layout.background = 2;
  layout.globalColors = global;
  GifFrame frame;
  frame.left = 3;
  frame.top = 2;
  frame.width = 6;
  frame.height = 5;
  frame.transparent = 4;
  for (int i = 0; i < frame.width * frame.height; ++i) frame.indexes.push_back(static_cast<uint8_t>(i * 7 % 5));
  layout.frames.push_back(frame);
  GifFrame later = frame;  // a second frame covering everything must not show
  later.left = later.top = 0;
  later.width = layout.width;
  later.height = layout.height;
  later.transparent = -1;
  later.indexes.assign(static_cast<size_t>(later.width * later.height), 1);
  layout.frames.push_back(later);

  const PixelImage expected = MakeImage(layout.width, layout.height, [&](int x, int y) {
    const int fx = x - frame.left, fy = y - frame.top;
    if (fx < 0 || fy < 0 || fx >= frame.width || fy >= frame.height) return global[2];
    const uint8_t index = frame.indexes[static_cast<size_t>(fy * frame.width + fx)];
    return index == 4 ? global[2] : global[index];
  });
  IPicture* picture = nullptr;
  ASSERT_EQ(LoadPicture(EncodeGif(layout), &picture), S_OK);
  EXPECT_TRUE(ImagesMatch(expected, PicturePixels(picture), "gif-composed.actual.png"));
  picture->Release();
}

TEST_F(OlePicture, InterlacedGifWithALocalTableAndNoGlobalOneHasItsRowsInPlaceOnBlack) {
  GifSpec layout;
  layout.width = 5;
  layout.height = 13;
  GifFrame frame;
  frame.width = 4;
  frame.height = 13;
  frame.interlaced = true;
  frame.localColors = {RGB(10, 20, 30), RGB(40, 50, 60), RGB(70, 80, 90), RGB(100, 110, 120)};
  for (int y = 0; y < frame.height; ++y) {
    for (int x = 0; x < frame.width; ++x) frame.indexes.push_back(static_cast<uint8_t>((y + x) % 4));
  }
  layout.frames.push_back(frame);
  const PixelImage expected = MakeImage(5, 13, [&](int x, int y) {
    return x < 4 ? frame.localColors[(y + x) % 4] : 0u;
  });
  IPicture* picture = nullptr;
  ASSERT_EQ(LoadPicture(EncodeGif(layout), &picture), S_OK);
  EXPECT_TRUE(ImagesMatch(expected, PicturePixels(picture), "gif-interlaced.actual.png"));
  picture->Release();
}

TEST_F(OlePicture, TheFinalReleaseDeletesTheBitmapAndEarlierOnesDoNot) {
  IPicture* picture = nullptr;
  ASSERT_EQ(LoadPicture(EncodeJpeg(BlockPicture(), {}), &picture), S_OK);
  OLE_HANDLE handle = 0;
  picture->get_Handle(&handle);
  HGDIOBJ bitmap = reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(handle));
  EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
  IUnknown* unknown = nullptr;
  ASSERT_EQ(picture->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
  IStream* notAStream = reinterpret_cast<IStream*>(0x1);
  EXPECT_EQ(picture->QueryInterface(IID_IStream, reinterpret_cast<void**>(&notAStream)), E_NOINTERFACE);
  EXPECT_EQ(notAStream, nullptr);
  EXPECT_EQ(unknown->Release(), 1u);
  EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
  EXPECT_EQ(picture->Release(), 0u);
  EXPECT_EQ(GetObjectType(bitmap), 0u);
}

TEST_F(OlePicture, FilesTheDecodersCannotReadGiveAnErrorAndNoPicture) {
  const Bytes jpeg = EncodeJpeg(BlockPicture(), {});
  GifSpec gifSpec;
  gifSpec.width = gifSpec.height = 4;
  gifSpec.globalColors = {RGB(1, 2, 3), RGB(4, 5, 6)};
  GifFrame frame;
  frame.width = frame.height = 4;
  frame.indexes.assign(16, 1);
  gifSpec.frames.push_back(frame);
  const Bytes gif = EncodeGif(gifSpec);
  GifSpec noImage = gifSpec;
  noImage.frames.clear();
  const struct {
    const char* what;
    Bytes bytes;
  } cases[] = {
      {"empty", {}},
      {"text", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}},
      {"JPEG signature only", {0xFF, 0xD8}},
      {"JPEG cut in its scan", Bytes(jpeg.begin(), jpeg.begin() + static_cast<ptrdiff_t>(jpeg.size() * 2 / 3))},
      {"GIF signature only", {'G', 'I', 'F', '8', '9', 'a'}},
      {"GIF cut in its frame", Bytes(gif.begin(), gif.end() - 6)},
      {"GIF without an image", EncodeGif(noImage)},
  };
  for (const auto& c : cases) {
    IPicture* picture = nullptr;
    const HRESULT hr = LoadPicture(c.bytes, &picture);
    EXPECT_TRUE(FAILED(hr)) << c.what;
    EXPECT_EQ(picture, nullptr) << c.what;
  }
}

TEST_F(OlePicture, ArgumentsAreCheckedAndTheReadIsCapped) {
  const Bytes jpeg = EncodeJpeg(BlockPicture(), {});
  IStream* stream = StreamOver(jpeg);
  void* object = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(OleLoadPicture(nullptr, 10, TRUE, IID_IPicture, &object), E_POINTER);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(OleLoadPicture(stream, static_cast<LONG>(jpeg.size()), TRUE, IID_IPicture, nullptr), E_POINTER);
  EXPECT_EQ(OleLoadPicture(stream, static_cast<LONG>(jpeg.size()), TRUE, IID_IStream, &object), E_NOINTERFACE);
  EXPECT_EQ(OleLoadPicture(stream, -5, TRUE, IID_IPicture, &object), E_INVALIDARG);
  // Far more than the cap is never allocated, whatever the stream holds.
  EXPECT_EQ(OleLoadPicture(stream, 0x7FFFFFFF, TRUE, IID_IPicture, &object), E_OUTOFMEMORY);
  EXPECT_EQ(object, nullptr);
  // A size of 0 reads the rest of the stream.
  ASSERT_EQ(OleLoadPicture(stream, 0, TRUE, IID_IPicture, &object), S_OK);
  static_cast<IPicture*>(object)->Release();
  stream->Release();
  // A size shorter than the file cuts it, and a cut JPEG is refused.
  IPicture* picture = nullptr;
  EXPECT_TRUE(FAILED(LoadPicture(jpeg, &picture, static_cast<LONG>(jpeg.size() / 2))));
  EXPECT_EQ(picture, nullptr);
}

TEST_F(OlePicture, RenderDrawsTheWholePictureForTheUsualHimetricRectangle) {
  GifSpec layout;
  layout.width = 2;
  layout.height = 2;
  layout.globalColors = {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200), RGB(9, 9, 9)};
  GifFrame frame;
  frame.width = frame.height = 2;
  frame.indexes = {0, 1, 2, 3};
  layout.frames.push_back(frame);
  IPicture* picture = nullptr;
  ASSERT_EQ(LoadPicture(EncodeGif(layout), &picture), S_OK);
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  picture->get_Width(&width);
  picture->get_Height(&height);
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP target = CreateBitmap(4, 4, 1, 32, nullptr);
  HGDIOBJ previous = SelectObject(dc, target);
  EXPECT_EQ(picture->Render(dc, 0, 0, 4, 4, 0, height, width, -height, nullptr), S_OK);
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(200, 0, 0));
  EXPECT_EQ(GetPixel(dc, 3, 0), RGB(0, 200, 0));
  EXPECT_EQ(GetPixel(dc, 1, 3), RGB(0, 0, 200));
  EXPECT_EQ(GetPixel(dc, 2, 2), RGB(9, 9, 9));
  SelectObject(dc, previous);
  DeleteObject(target);
  DeleteDC(dc);
  picture->Release();
}

}  // namespace
