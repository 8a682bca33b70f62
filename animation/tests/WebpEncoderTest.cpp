#include <gtest/gtest.h>

#include <random>

#include "AnimationReaders.h"
#include "animation/WebpEncoder.h"

namespace flinder {
namespace {

// Colours only count where a pixel is not fully clear.
void ExpectSamePicture(const RgbaRaster& shown, const RgbaRaster& drawn) {
  ASSERT_EQ(shown.Bytes.size(), drawn.Bytes.size());
  for (std::size_t p = 0; p < drawn.Bytes.size(); p += 4) {
    ASSERT_EQ(shown.Bytes[p + 3], drawn.Bytes[p + 3]) << p / 4;
    if (drawn.Bytes[p + 3] != 0) {
      ASSERT_TRUE(std::equal(&drawn.Bytes[p], &drawn.Bytes[p + 3], &shown.Bytes[p])) << p / 4;
    }
  }
}

// Noise in every alpha moves over a clear background, a frame repeats and
// the animation comes back to the first picture; each step is one frame, as
// in every format, encoded in parallel or one by one.
TEST(WebpEncoder, LibwebpShowsEveryFrameExactlyWithItsDelayAndLoops) {
  std::mt19937 random(3);
  std::vector<RgbaRaster> frames;
  for (int i = 0; i < 3; ++i) {
    RgbaRaster frame(50, 40);
    for (int y = 5; y < 25; ++y)
      for (int x = 4 + 10 * i; x < 24 + 10 * i; ++x)
        for (int c = 0; c < 4; ++c) frame.At(x, y)[c] = static_cast<std::uint8_t>(random());
    frames.push_back(frame);
  }
  frames.push_back(frames.back());
  frames.push_back(frames.front());
  for (const AnimationTiming& timing :
       {AnimationTiming{30, 0}, AnimationTiming{1000, 1000}, AnimationTiming{7, 65536}}) {
    WebpEncoder encoder(50, 40, timing);
    std::vector<WebpEncoder::Frame> prepared;
    for (const RgbaRaster& frame : frames) prepared.push_back(encoder.Prepare(frame));
    for (std::size_t i = prepared.size(); i-- > 0;) WebpEncoder::Encode(prepared[i]);
    for (WebpEncoder::Frame& frame : prepared) encoder.Add(std::move(frame));
    const DecodedWebp decoded = DecodeWebp(encoder.Finish());
    EXPECT_EQ(decoded.Loops, std::min(timing.Plays, WebpEncoder::MaxPlays));
    const int d = timing.DelayMilliseconds;
    EXPECT_EQ(decoded.EndTimes, (std::vector<int>{d, 2 * d, 3 * d, 4 * d, 5 * d}));
    ASSERT_EQ(decoded.Shown.size(), frames.size());
    for (std::size_t i = 0; i < frames.size(); ++i) ExpectSamePicture(decoded.Shown[i], frames[i]);
  }
}

}  // namespace
}  // namespace flinder
