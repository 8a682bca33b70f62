#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include "GifTestFiles.h"
#include "design/DesignFile.h"
#include "export/AnimationExport.h"
#include "image/BmpFile.h"
#include "image/IMGLIB1.h"
#include "web/AllFileNames.h"
#include "tools/Exporter.h"

namespace flinder {
namespace {

namespace fs = std::filesystem;

struct ExporterTest : testing::Test {
  ScratchFolder folder{"exporter"};
  std::string designs = folder.File("designs.ini");

  // A design of few colours, so that its GIF is lossless, saved as "Spinner" and as a star
  // "Star/Burst"; "Gone" was saved and removed again.
  void SetUp() override {
    ShapeSettings s;
    const float positions[] = {0.1f, 0.3f, 0.6f, 0.2f, 0.1f, 0.05f, 0.05f, 0.4f, 0.5f, 0.5f};
    for (int i = 0; i < ParameterCount; ++i) s.SetSlider(i, positions[i]);
    for (int slot = 0; slot < ColourSlotCount; ++slot) {
      s.SelectedSlot = slot;
      for (int c = 0; c < 3; ++c) s.SetSlider(RedSlider + c, slot == c && c != Back ? 1.0f : 0.2f);
    }
    s.PosX = s.PosY = 0.5;
    DesignFile file(designs);
    ASSERT_TRUE(file.SaveShape(s, "Spinner"));
    s.Star = true;
    ASSERT_TRUE(file.SaveShape(s, "Star/Burst") && file.SaveShape(s, "Gone") &&
                file.RemoveShape("Gone"));
  }

  // Runs flinder-export; its exit code is returned, its output kept in Out and Err.
  int Run(const std::vector<std::string>& arguments) {
    std::ostringstream out, err;
    int code = RunExporter(arguments, {designs, {}}, out, err);
    Out = out.str(), Err = err.str();
    return code;
  }
  std::string Out, Err;

  static std::string Usage() {
    std::ostringstream out, err;
    RunExporter({}, {}, out, err);
    return err.str();
  }
};

TEST_F(ExporterTest, ExportedFramesEqualTheFramesAsDrawnAndTheDesignsAreListed) {
  std::string frames = folder.File("frames"), gif = folder.File("spinner.gif");
  // A longer export's copies go; files of other names stay.
  fs::create_directory(frames);
  const std::vector<std::string> others = {"frame99.png", "frame099.bmp", "frame.bmp", "notes.bmp"};
  for (const std::string& name : others) WriteWholeFile(frames + "/" + name, "the user's");
  for (int i = 1; i <= 99; ++i) WriteWholeFile(frames + "/frame" + std::to_string(i) + ".bmp", "");
  // The frames pass in memory: no temporary folder is needed.
  ::setenv("TMPDIR", folder.File("missing").c_str(), 1);
  ASSERT_EQ(Run({"--frames", frames, "Spinner", gif}), ExitOk) << Err;
  ::unsetenv("TMPDIR");
  auto decoded = ComposeGif(ReadWholeFile(gif));
  ASSERT_TRUE(decoded);
  const int count = static_cast<int>(decoded->size());
  EXPECT_EQ(Out, "Spinner -> " + gif + " (" + std::to_string(count) +
                     " frames, 40x40, scale 1x, delay 10): " + std::to_string(fs::file_size(gif)) +
                     " bytes\n");
  // The closing frame is written too, though it is not in the GIF.
  auto frame = [&](int number) { return frames + "/frame" + std::to_string(number) + ".bmp"; };
  EXPECT_TRUE(fs::exists(frame(count + 1)));
  EXPECT_EQ(std::distance(fs::directory_iterator(frames), {}), count + 1 + 4);
  for (const std::string& name : others) EXPECT_TRUE(fs::exists(frames + "/" + name)) << name;
  for (int i = 0; i < count; ++i)
    EXPECT_EQ(*DecodeBmp(ReadWholeFile(frame(i + 1))), (*decoded)[i]) << "frame " << i + 1;

  // Frames in another format are the same pictures (this design has few colours).
  const std::string pngs = folder.File("pngs");
  ASSERT_EQ(Run({"--frames", pngs, "--frame-format", "PNG", "Spinner", gif}), ExitOk) << Err;
  for (int i = 1; i <= count + 1; ++i) {
    IMGLIB1 png;
    png.ImageFileName = pngs + "/frame" + std::to_string(i) + ".png";
    ASSERT_TRUE(png.LoadImageFile("")) << png.ImageFileName;
    EXPECT_EQ(png.CurrentImage(), *DecodeBmp(ReadWholeFile(frame(i)))) << "frame " << i;
  }

  EXPECT_EQ(Run({"--list"}), ExitOk);
  EXPECT_EQ(Out, "Spinner\nStar/Burst\n");
}

// --optimize writes fewer bytes. Browsers play a delay of 0 or 1 hundredth of
// a second slower than written: that is noted, and the file is written as asked.
TEST_F(ExporterTest, OptimizeKeepsThePicturesAndAShortDelayIsNoted) {
  const std::string plain = folder.File("plain.gif"), optimised = folder.File("optimised.gif");
  ASSERT_EQ(Run({"Spinner", plain}), ExitOk) << Err;
  ASSERT_EQ(Run({"--optimize", "Spinner", optimised}), ExitOk) << Err;
  EXPECT_EQ(Err, "");
  EXPECT_LT(fs::file_size(optimised), fs::file_size(plain));

  DesignFile file(designs);
  ShapeSettings quick;
  ASSERT_TRUE(file.LoadShape(quick, "Spinner"));
  for (auto [milliseconds, delay] : {std::pair{4, 0}, {14, 1}, {15, 2}}) {
    quick.SetSlider(Delay, (milliseconds - 1) / 999.0f + 1e-6f);
    ASSERT_TRUE(file.SaveShape(quick, "Quick"));
    ASSERT_EQ(Run({"--optimize", "Quick", optimised}), ExitOk);
    EXPECT_EQ(Err, delay < 2 ? "flinder-export: " + SlowPlaybackNote(delay) + "\n" : "");
    EXPECT_NE(Out.find("delay " + std::to_string(delay) + "):"), std::string::npos);
    const std::string gif = ReadWholeFile(optimised);
    EXPECT_EQ(gif[gif.find("\x21\xF9\x04") + 4], delay) << milliseconds;
  }
}

// The output's extension picks the format in any case, --format wins over
// it and names --all's files; --loop, --scale and --motion reach the file
// and the summary line.
TEST_F(ExporterTest, TheExtensionOrFormatChoosesWhatIsWrittenWithItsLoopAndScale) {
  const std::string webp = folder.File("s.WebP");
  ASSERT_EQ(Run({"--loop", "forever", "--scale", "2", "Spinner", webp}), ExitOk) << Err;
  const std::string riff = ReadWholeFile(webp);
  EXPECT_EQ(riff.substr(0, 4) + riff.substr(8, 4), "RIFFWEBP");
  EXPECT_EQ(riff.substr(riff.find("ANIM") + 12, 2), std::string(2, '\0'));  // plays for ever
  EXPECT_NE(
      Out.find(", 80x80, scale 2x, delay 100 ms): " + std::to_string(riff.size()) + " bytes\n"),
      std::string::npos)
      << Out;
  const std::string gif = folder.File("s.gif");
  ASSERT_EQ(Run({"--format", "apng", "--loop", "7", "Spinner", gif}), ExitOk) << Err;
  const std::string png = ReadWholeFile(gif);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  EXPECT_EQ(png.substr(png.find("acTL") + 8, 4), std::string("\0\0\0\x08", 4));  // 8 plays
  const std::string all = folder.File("all");
  ASSERT_EQ(Run({"--format", "webp", "--all", all}), ExitOk) << Err;
  EXPECT_EQ(std::set<fs::path>(fs::directory_iterator(all), {}),  // not the removed "Gone"
            (std::set<fs::path>{all + "/Spinner.webp", all + "/Star_Burst.webp"}));

  // An SVG file turns as the design file's [Export] Motion says, unless --motion says otherwise.
  DesignFile(designs).WritePreference("Export", "Motion", "Smooth");
  ASSERT_EQ(Run({"Spinner", folder.File("s.SVG")}), ExitOk) << Err;
  EXPECT_NE(ReadWholeFile(folder.File("s.SVG")).find(" linear "), std::string::npos);
  ASSERT_EQ(Run({"--motion", "Steps", "--format", "svg", "--all", all}), ExitOk) << Err;
  EXPECT_NE(ReadWholeFile(all + "/Star_Burst.svg").find(" step-end "), std::string::npos);

  const std::pair<std::vector<std::string>, std::string> refused[] = {
      {{"--format", "bmp", "Spinner", gif}, "unknown --format \"bmp\": gif, webp, apng or svg"},
      {{"--loop", "0", "Spinner", gif}, "bad --loop \"0\": forever or a whole number 1 to 65535"},
      {{"--scale", "4", "Spinner", gif}, "bad --scale \"4\": 1, 2 or 3"},
      {{"--motion", "fast", "Spinner", gif}, "bad --motion \"fast\": steps or smooth"},
      {{"--frames", all, "Spinner", folder.File("s.svg")},
       "--frames: an SVG file is drawn from no frames"}};
  for (const auto& [args, line] : refused) {
    EXPECT_EQ(Run(args), ExitUsage);
    EXPECT_EQ(Err, "flinder-export: " + line + "\n");
  }
}

// --web names a design's files as --all does, one design or all, and the
// scale copies are those of [Export] WebScales.
TEST_F(ExporterTest, WebFilesAreNamedAsAllNamesThem) {
  DesignFile(designs).WritePreference("Export", "WebScales", "3");
  const std::string web = folder.File("web");
  ASSERT_EQ(Run({"--web", web, "Star/Burst"}), ExitOk) << Err;
  ASSERT_EQ(Run({"--all", "--web", web}), ExitOk) << Err;
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(web)) names.insert(entry.path().filename());
  std::set<std::string> expected;
  for (const std::string stem : {"Spinner", "Star_Burst"})
    for (const char* end : {".svg", "@3x.webp", ".gif", "-still@3x.png", ".html"})
      expected.insert(stem + end);
  EXPECT_EQ(names, expected);
  EXPECT_NE(Out.find("Star/Burst -> " + web + "/Star_Burst.html\n"), std::string::npos) << Out;
  EXPECT_EQ(Run({"--web", web, "--format", "gif", "Spinner"}), ExitUsage);
}

TEST_F(ExporterTest, ErrorsGiveTheirExitCodeAndOneLine) {
  for (const char* misuse :
       {"", "--list Spinner x.gif", "Spinner", "--bogus", "--designs", "--frames dir --list",
        "Spinner ''", "'' x.gif", "--frame-format png Spinner x.gif",
        "--frames dir --frame-format abc Spinner x.gif"}) {
    std::vector<std::string> words;
    std::istringstream split(misuse);
    for (std::string word; split >> word;) words.push_back(word == "''" ? "" : word);
    EXPECT_EQ(Run(words), ExitUsage) << misuse;
    EXPECT_EQ(Err, Usage()) << misuse;
  }
  // Each case: the arguments, the exit code and what the one line of error says.
  const std::string none = folder.File("none.ini"), x = folder.File("x.gif");
  const std::string frames = folder.File("frames");
  fs::create_directories(frames + "/frame1.bmp");  // the first frame cannot be kept
  const std::string symbolic = folder.File("link.gif"), hard = folder.File("hard.gif");
  fs::create_symlink(designs, symbolic);
  fs::create_hard_link(designs, hard);
  const std::string designsBefore = ReadWholeFile(designs);
  auto holdsTheDesigns = [](const std::string& path) {
    return "Cannot write " + path + ": it is the design file in use, which holds the designs.";
  };
  const std::tuple<std::vector<std::string>, int, std::string> errors[] = {
      {{"Spinner", designs}, ExitExportFailed, holdsTheDesigns(designs)},
      {{"Spinner", symbolic}, ExitExportFailed, holdsTheDesigns(symbolic)},
      {{"--format", "webp", "Spinner", hard}, ExitExportFailed, holdsTheDesigns(hard)},
      {{"Nothing", x}, ExitUsage, "No design named \"Nothing\" in " + designs},
      {{"Gone", x}, ExitUsage, "No design named \"Gone\" in " + designs},
      {{"--designs", none, "--list"},
       ExitUsage,
       "Cannot read the design file " + none + ": No such file or directory"},
      {{"Spinner", folder.File("no/such/folder/x.gif")},
       ExitExportFailed,
       "Cannot write " + folder.File("no/such/folder/x.gif") + ": No such file or directory"},
      {{"--frames", frames, "Spinner", x},
       ExitExportFailed,
       "Cannot write " + frames + "/frame1.bmp: Is a directory"}};
  for (const auto& [args, code, message] : errors) {
    EXPECT_EQ(Run(args), code);
    EXPECT_EQ(Out, "");
    EXPECT_EQ(Err, "flinder-export: " + message + "\n");
  }
  // No failure touches the design file; an old output is AnimationExportTest's.
  EXPECT_EQ(ReadWholeFile(designs), designsBefore);
  // One output of --all that cannot be written fails the run; the others are written.
  const std::string all = folder.File("all");
  fs::create_directories(all + "/Spinner.gif");
  EXPECT_EQ(Run({"--all", all}), ExitExportFailed);
  EXPECT_TRUE(fs::is_regular_file(all + "/Star_Burst.gif"));

  // Listed names no design can have are said one by one and fail the run.
  std::string text = ReadWholeFile(designs);
  text.insert(text.find("[Shapes]\n") + 9, "Tab\tName=1\n Pad=1\n");
  WriteWholeFile(designs, text);
  EXPECT_EQ(Run({"--all", folder.File("long")}), ExitExportFailed);
  EXPECT_EQ(Err,
            "flinder-export: The listed design \"Tab\\x09Name\" is left out: its name cannot be "
            "a design's.\nflinder-export: The listed design \" Pad\" is left out: its name cannot "
            "be a design's.\n");
}

// The exporter as a process, with TMPDIR set to `tmp` and whatever
// `prepare` changes in the child; gives its pid.
pid_t StartExporter(
    const std::vector<std::string>& arguments, const std::string& tmp,
    const std::function<void()>& prepare = [] {}) {
  std::vector<std::string> words = {FLINDER_EXPORT_PROGRAM};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t pid = ::fork();
  if (pid == 0) {
    ::setenv("TMPDIR", tmp.c_str(), 1);
    prepare();
    ::execv(argv[0], argv.data());
    std::_Exit(127);
  }
  return pid;
}

// Waits until the export has begun to copy its frames into `frames`.
bool FramesAppear(const std::string& frames) {
  for (int wait = 0; wait < 20000; ++wait) {
    std::error_code none;
    if (fs::directory_iterator(frames, none) != fs::directory_iterator()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

int ExitCode(pid_t process) {
  int status = 0;
  if (::waitpid(process, &status, 0) != process) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
}

TEST_F(ExporterTest, AnInterruptRemovesTheTemporaryFilesAndExitsWith128PlusTheSignal) {
  // An output FIFO nobody reads holds the export once every frame is made.
  const std::string output = folder.File("out.gif"), tmp = folder.File("tmp");
  const std::string frames = folder.File("frames");
  ASSERT_EQ(::mkfifo(output.c_str(), 0600), 0);
  fs::create_directory(tmp);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    fs::remove_all(frames);
    pid_t exporter =
        StartExporter({"--designs", designs, "--frames", frames, "Spinner", output}, tmp);
    ASSERT_TRUE(FramesAppear(frames));
    ::kill(exporter, signal);
    EXPECT_EQ(ExitCode(exporter), 128 + signal);
    EXPECT_TRUE(fs::is_empty(tmp)) << signal;
    EXPECT_TRUE(fs::is_fifo(output));
    // Frame copies made so far are whole, and no part of one is left (the
    // signal may come before the first copy, or even its folder).
    std::error_code none;
    for (const auto& copy : fs::directory_iterator(frames, none))
      EXPECT_TRUE(DecodeBmp(ReadWholeFile(copy.path()))) << copy.path();
  }

  // A file-size limit (1000 bytes here) is a write error like any other: the
  // run says why, an old output stays as it was and no part of a file is left.
  // Every format writes through the same output, so a GIF stands for them all.
  const std::string said = folder.File("said.txt"), outputs = folder.File("outputs");
  fs::create_directory(outputs);
  const std::string old = outputs + "/s.gif";
  WriteWholeFile(old, "old");
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"--frames", frames, "Spinner", output}, {"Spinner", old}}) {
    fs::remove_all(frames);
    std::vector<std::string> all = {"--designs", designs};
    all.insert(all.end(), arguments.begin(), arguments.end());
    pid_t exporter = StartExporter(all, tmp, [&] {
      std::signal(SIGXFSZ, SIG_DFL);
      const rlimit limit{1000, 1000};
      ::setrlimit(RLIMIT_FSIZE, &limit);
      ::dup2(::open(said.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
    });
    EXPECT_EQ(ExitCode(exporter), ExitExportFailed) << arguments.back();
    EXPECT_NE(ReadWholeFile(said).find(": File too large\n"), std::string::npos)
        << arguments.back();
    EXPECT_TRUE(!fs::exists(frames) || fs::is_empty(frames)) << arguments.back();
    EXPECT_EQ(std::distance(fs::directory_iterator(outputs), {}), 1) << arguments.back();
    EXPECT_EQ(ReadWholeFile(old), "old");
  }

  // A reader that went away is an error of the export, not a signal that ends it.
  int pipeFds[2];
  ASSERT_EQ(::pipe(pipeFds), 0);
  ::close(pipeFds[0]);
  pid_t exporter = StartExporter({"--designs", designs, "Spinner", "/dev/stdout"}, tmp,
                                 [&] { ::dup2(pipeFds[1], STDOUT_FILENO); });
  ::close(pipeFds[1]);
  EXPECT_EQ(ExitCode(exporter), ExitExportFailed);

  // What goes to standard output is the picture alone, with no summary after it.
  ASSERT_EQ(::pipe(pipeFds), 0);
  exporter = StartExporter({"--designs", designs, "Spinner", "/dev/stdout"}, tmp, [&] {
    ::dup2(pipeFds[1], STDOUT_FILENO);
    ::close(pipeFds[0]);
  });
  ::close(pipeFds[1]);
  std::string sent;
  char buffer[65536];
  for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;) sent.append(buffer, n);
  ::close(pipeFds[0]);
  EXPECT_EQ(ExitCode(exporter), ExitOk);
  EXPECT_TRUE(sent.starts_with("GIF89a") && sent.ends_with(";")) << sent.size();

  // Progress is drawn on a terminal only, never into a file.
  exporter = StartExporter({"--designs", designs, "--all", folder.File("all")}, tmp, [&] {
    ::dup2(::open(said.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
  });
  EXPECT_EQ(ExitCode(exporter), ExitOk);
  EXPECT_EQ(ReadWholeFile(said), "");
}

// The stem each name gets, whatever the order of the names.
std::map<std::string, std::string> StemsInEveryOrder(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  std::map<std::string, std::string> first;
  do {
    const std::vector<std::string> stems = AllFileStems(names);
    std::map<std::string, std::string> now;
    for (std::size_t i = 0; i < names.size(); ++i) now[names[i]] = stems[i];
    if (first.empty()) first = now;
    EXPECT_EQ(now, first);
  } while (std::next_permutation(names.begin(), names.end()));
  return first;
}

TEST(AllFileStems, SafeNamesKeepTheirOwnOthersAreMadeSafeAndNoOrderMatters) {
  // 199 bytes, then a two-byte character across the cut.
  const std::string cut = std::string(199, 'a') + "\u00E9";
  auto stems = StemsInEveryOrder(
      {"a_b", "a/b", "Star/Burst", ".hidden", std::string(300, 'L'), cut + "/x", cut + "?y"});
  EXPECT_EQ(stems["a_b"], "a_b");
  EXPECT_EQ(stems["Star/Burst"], "Star_Burst");  // the only one to come to that form
  EXPECT_EQ(stems[".hidden"], "_.hidden");
  EXPECT_EQ(stems["a/b"].size(), 3u + 9u);  // "-" and eight digits
  EXPECT_EQ(stems["a/b"].substr(0, 4), "a_b-");
  EXPECT_EQ(stems[std::string(300, 'L')], std::string(MaxFileStemBytes, 'L'));
  for (const std::string& name : {cut + "/x", cut + "?y"})
    EXPECT_EQ(stems[name].substr(0, 200), std::string(199, 'a') + "-") << name;

  std::set<std::string> files;
  for (const auto& [name, stem] : stems) files.insert(stem);
  EXPECT_EQ(files.size(), stems.size());
}

}  // namespace
}  // namespace flinder
