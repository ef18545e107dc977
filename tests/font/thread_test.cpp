// The engine used from many threads at once gives what it gives from one.
#include <gtest/gtest.h>

#include <thread>

#include "tests/font/font_fixtures.h"

using namespace font_test;

namespace {

// Text that makes a thread render many glyphs the others render too.
std::string SharedText(int seed) {
  std::string text = "Hello, \xB1\xB2\xB3 ";
  for (int trail = 0x40 + seed; trail <= 0xFC; trail += 5) {
    text.push_back('\x93');
    text.push_back(static_cast<char>(trail));
  }
  text.push_back('\x88');  // a lone lead byte at the end
  return text;
}

}  // namespace

TEST(FontThreads, ConcurrentOpensAndLayoutsAgreeWithASingleThread) {
  constexpr int kThreads = 8;
  const LONG heights[] = {-13, -14, -15, -22};
  std::vector<std::vector<Layout>> results(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < 4; ++round) {
        for (LONG height : heights) {
          auto face = platform::FontOpen(ConsoleFontOfHeight(height));
          results[t].push_back(LayOut(*face, SharedText(round)));
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();

  for (int t = 0; t < kThreads; ++t) {
    size_t index = 0;
    for (int round = 0; round < 4; ++round) {
      for (LONG height : heights) {
        Layout expected = LayOut(*platform::FontOpen(ConsoleFontOfHeight(height)), SharedText(round));
        const Layout& actual = results[t][index++];
        ASSERT_EQ(actual.width, expected.width);
        ASSERT_EQ(actual.glyphs.size(), expected.glyphs.size());
        for (size_t i = 0; i < expected.glyphs.size(); ++i) {
          ASSERT_EQ(actual.glyphs[i].x, expected.glyphs[i].x);
          ASSERT_TRUE(SameImage(*actual.glyphs[i].glyph, *expected.glyphs[i].glyph))
              << "thread " << t << " height " << height << " character " << i;
        }
      }
    }
  }
}
