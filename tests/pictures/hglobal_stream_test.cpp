// CreateStreamOnHGlobal: reading, seeking, writing within and beyond the block, Stat, CopyTo, and
// who frees the memory.
#include <cstring>

#include "picture_test_support.h"

namespace {

HGLOBAL BlockOf(const std::string& text) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size());
  std::memcpy(GlobalLock(memory), text.data(), text.size());
  GlobalUnlock(memory);
  return memory;
}

std::string ReadAll(IStream* stream, ULONG chunk) {
  std::string out;
  std::vector<char> buffer(chunk);
  ULONG got = 0;
  do {
    EXPECT_EQ(stream->Read(buffer.data(), chunk, &got), S_OK);
    out.append(buffer.data(), got);
  } while (got == chunk);
  return out;
}

ULONGLONG Seek(IStream* stream, LONGLONG move, DWORD origin, HRESULT expected = S_OK) {
  LARGE_INTEGER distance{};
  distance.QuadPart = move;
  ULARGE_INTEGER position{};
  position.QuadPart = 0xDEAD;
  EXPECT_EQ(stream->Seek(distance, origin, &position), expected);
  return position.QuadPart;
}

TEST(HGlobalStream, ReadsTheBlockInPiecesAndStopsAtItsEnd) {
  HGLOBAL memory = BlockOf("picture bytes in global memory");
  IStream* stream = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(memory, FALSE, &stream), S_OK);
  EXPECT_EQ(ReadAll(stream, 7), "picture bytes in global memory");
  char byte = 'x';
  ULONG got = 99;
  EXPECT_EQ(stream->Read(&byte, 1, &got), S_OK);
  EXPECT_EQ(got, 0u);
  STATSTG stat{};
  ASSERT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
  EXPECT_EQ(stat.type, static_cast<DWORD>(STGTY_STREAM));
  EXPECT_EQ(stat.cbSize.QuadPart, 30u);
  EXPECT_EQ(stream->Release(), 0u);
  EXPECT_EQ(GlobalSize(memory), 30u) << "the block belongs to the caller";
  GlobalFree(memory);
}

TEST(HGlobalStream, SeeksFromEachOriginAndRefusesPositionsBeforeTheStart) {
  HGLOBAL memory = BlockOf("0123456789");
  IStream* stream = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(memory, TRUE, &stream), S_OK);
  EXPECT_EQ(Seek(stream, 4, STREAM_SEEK_SET), 4u);
  EXPECT_EQ(Seek(stream, 3, STREAM_SEEK_CUR), 7u);
  EXPECT_EQ(Seek(stream, -2, STREAM_SEEK_END), 8u);
  EXPECT_EQ(ReadAll(stream, 16), "89");
  Seek(stream, -11, STREAM_SEEK_END, STG_E_SEEKERROR);
  EXPECT_EQ(Seek(stream, 0, STREAM_SEEK_CUR), 10u) << "a refused seek does not move";
  Seek(stream, 0, 7, STG_E_INVALIDFUNCTION);
  EXPECT_EQ(Seek(stream, 25, STREAM_SEEK_SET), 25u);
  EXPECT_EQ(ReadAll(stream, 4), "") << "beyond the end there is nothing to read";
  stream->Release();
}

TEST(HGlobalStream, FreesTheBlockOnTheFinalReleaseOnlyWhenAsked) {
  HGLOBAL memory = BlockOf("abc");
  IStream* stream = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(memory, TRUE, &stream), S_OK);
  IStream* second = nullptr;
  ASSERT_EQ(stream->QueryInterface(IID_IStream, reinterpret_cast<void**>(&second)), S_OK);
  EXPECT_EQ(second->Release(), 1u);
  EXPECT_EQ(GlobalSize(memory), 3u) << "still referenced";
  EXPECT_EQ(stream->Release(), 0u);
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(GlobalSize(memory), 0u);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE) << "the block was freed";
}

TEST(HGlobalStream, WritesStayWithinACallersBlockButAStreamOfItsOwnGrows) {
  HGLOBAL memory = BlockOf("........");
  IStream* stream = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(memory, TRUE, &stream), S_OK);
  ULONG written = 0;
  Seek(stream, 2, STREAM_SEEK_SET);
  EXPECT_EQ(stream->Write("abcd", 4, &written), S_OK);
  EXPECT_EQ(written, 4u);
  EXPECT_EQ(stream->Write("0123456789", 10, &written), STG_E_MEDIUMFULL);
  EXPECT_EQ(written, 0u);
  Seek(stream, 0, STREAM_SEEK_SET);
  EXPECT_EQ(ReadAll(stream, 3), "..abcd..");
  stream->Release();

  IStream* own = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &own), S_OK);
  STATSTG stat{};
  own->Stat(&stat, STATFLAG_NONAME);
  EXPECT_EQ(stat.cbSize.QuadPart, 0u);
  std::string big(10000, 'z');
  big[9999] = '!';
  EXPECT_EQ(own->Write(big.data(), static_cast<ULONG>(big.size()), &written), S_OK);
  EXPECT_EQ(written, 10000u);
  Seek(own, 0, STREAM_SEEK_SET);
  EXPECT_EQ(ReadAll(own, 4096), big);

  // CopyTo moves the bytes from the current position into another stream.
  IStream* copy = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &copy), S_OK);
  Seek(own, 9990, STREAM_SEEK_SET);
  ULARGE_INTEGER want{}, read{}, put{};
  want.QuadPart = 100;
  EXPECT_EQ(own->CopyTo(copy, want, &read, &put), S_OK);
  EXPECT_EQ(read.QuadPart, 10u);
  EXPECT_EQ(put.QuadPart, 10u);
  Seek(copy, 0, STREAM_SEEK_SET);
  EXPECT_EQ(ReadAll(copy, 64), "zzzzzzzzz!");
  copy->Release();
  own->Release();
}

TEST(HGlobalStream, NullPointersAreRefused) {
  EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, nullptr), E_INVALIDARG);
  IStream* stream = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
  ULONG count = 5;
  EXPECT_EQ(stream->Read(nullptr, 4, &count), STG_E_INVALIDPOINTER);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(stream->Write(nullptr, 4, &count), STG_E_INVALIDPOINTER);
  EXPECT_EQ(stream->Stat(nullptr, STATFLAG_DEFAULT), STG_E_INVALIDPOINTER);
  stream->Release();
}

}  // namespace
