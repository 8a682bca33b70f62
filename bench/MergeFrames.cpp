// merge-frames DIR COUNT DELAY OUTPUT.gif
//
// Converts DIR/frame1.bmp ... frameCOUNT.bmp into one-frame GIFs beside them
// (DIR/frame1.gif ...), the way an export does, then merges those into
// OUTPUT.gif and prints the best of five merge times: "merge_ms T".
// compare-peers hands the same one-frame GIFs to gifsicle --merge.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gif/AnimatedGIF.h"
#include "image/IMGLIB1.h"

int main(int argc, char** argv) {
  using namespace flinder;
  if (argc != 5) {
    std::fprintf(stderr, "usage: merge-frames DIR COUNT DELAY OUTPUT.gif\n");
    return 2;
  }
  const std::string folder = argv[1];
  const int count = std::atoi(argv[2]);
  const auto delay = static_cast<std::int16_t>(std::atoi(argv[3]));
  std::vector<std::string> frames;
  IMGLIB1 images;
  for (int i = 1; i <= count; ++i) {
    const std::string stem = folder + "/frame" + std::to_string(i);
    images.ImageFileName = stem + ".bmp";
    if (Result<> read = images.LoadImageFile("bmp"); !read) {
      std::fprintf(stderr, "merge-frames: cannot read %s: %s\n", images.ImageFileName.c_str(),
                   read.Message().c_str());
      return 1;
    }
    images.ImageFileName = stem + ".gif";
    Result<> saved = images.SaveImageFile("gif");
    if (!saved) {
      std::fprintf(stderr, "merge-frames: %s\n", saved.Message().c_str());
      return 1;
    }
    frames.push_back(images.ImageFileName);
  }
  // The logical screen is the frames' size, as an export makes it.
  const auto width = static_cast<std::int16_t>(images.CurrentImage().Width);
  const auto height = static_cast<std::int16_t>(images.CurrentImage().Height);
  double best = 1e300;
  for (int run = 0; run < 5; ++run) {
    auto start = std::chrono::steady_clock::now();
    AnimatedGIF merger;
    merger.ResetMergeState(width, height, delay);
    std::ofstream out(argv[4], std::ios::binary);
    for (const std::string& frame : frames) {
      std::ifstream in(frame, std::ios::binary);
      merger.MergeFrame(std::string(std::istreambuf_iterator<char>(in), {}));
      out << merger.TakeMerged();
    }
    Result<std::string> rest = merger.FinishMerged();
    if (rest) out << *rest;
    out.close();
    std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    if (!rest || !out) {
      std::fprintf(stderr, "merge-frames: cannot merge into %s\n", argv[4]);
      return 1;
    }
    best = std::min(best, took.count());
  }
  std::printf("merge_ms %.3f\n", best);
  return 0;
}
