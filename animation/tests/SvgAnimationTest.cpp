#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <regex>

#include "SampleDesigns.h"
#include "SvgReader.h"
#include "animation/SvgAnimation.h"
#include "animation/SvgNumbers.h"
#include "animation/XmlWriter.h"
#include "render/DrawingSurface.h"
#include "render/FrameRenderer.h"
#include "render/ShapeOutline.h"

namespace flinder {
namespace {

ColourValue Hex(const std::string& text) {
  const long v = std::strtol(text.c_str() + 1, nullptr, 16);
  if (text.size() == 4)
    return MakeColour(((v >> 8) & 15) * 17, ((v >> 4) & 15) * 17, (v & 15) * 17);
  return MakeColour(v >> 16, (v >> 8) & 255, v & 255);
}

// The smallest box around the points it is shown.
struct Box {
  double Left = 1e9, Top = 1e9, Right = -1e9, Bottom = -1e9;
  void Cover(double x, double y) {
    Left = std::min(Left, x), Right = std::max(Right, x);
    Top = std::min(Top, y), Bottom = std::max(Bottom, y);
  }
};

// Badge (a star with its caption and caption shadow in front) with the shape's shadow on.
ShapeSettings Design(bool star = true) {
  SampleDesign design = SampleDesigns()[0];
  design.Star = star;
  design.ViewShapeShadow = true;
  return SettingsOf(design);
}

// The document for `settings` drawn at `scale`, with five frames' poses;
// its names read as written once the document's mark (in `mark`) is taken off.
XmlElement Document(const ShapeSettings& settings, int scale, SvgPicture& picture,
                    std::string* mark = nullptr) {
  picture.Width = static_cast<int>(settings.SliderVal(Width)) * scale;
  picture.Height = static_cast<int>(settings.SliderVal(Height)) * scale;
  picture.Scale = scale;
  FrameRenderer renderer;
  for (int k = 0; k < 5; ++k) {
    renderer.Turn(settings);
    picture.Poses.push_back(renderer.Angle);
  }
  picture.CycleTurn = 5 * (picture.Poses[1] - picture.Poses[0]);
  std::string text = SvgAnimation(settings, picture);
  const std::string marked = text.substr(text.find("id=\"a") + 5, 6);
  EXPECT_EQ(marked.find_first_not_of("0123456789abcdef"), std::string::npos) << text;
  for (std::size_t at; (at = text.find(marked)) != std::string::npos;) text.erase(at, 6);
  if (mark) *mark = marked;
  std::optional<XmlElement> root = ReadXml(text);
  EXPECT_TRUE(root) << text;
  return root.value_or(XmlElement{});
}

TEST(SvgWriting, TextIsEscapedAndNumbersAreShort) {
  XmlWriter xml;
  xml.Start("a").Attribute("t", "1&<>\"\t\x01\xff\xC3\xA9").Text("x<y & \"z\"\x7f\n");
  xml.Start("b").End();
  EXPECT_EQ(xml.Finish(),
            "<a t=\"1&amp;&lt;&gt;&quot;&#9;\xEF\xBF\xBD\xEF\xBF\xBD\xC3\xA9\">x&lt;y &amp; "
            "\"z\"\x7f\n<b/></a>");
  const std::pair<double, const char*> numbers[] = {{12, "12"},    {0.25, ".25"},
                                                    {-0.5, "-.5"}, {-0.004, "0"},
                                                    {3.10, "3.1"}, {-1234.5678, "-1234.57"}};
  for (auto [value, text] : numbers) EXPECT_EQ(SvgNumber(value, 2), text);
  EXPECT_EQ(DecimalsWithin(0.005), 2);

  // Each point rounded on its own; no blank before a sign or a second point.
  PathData path(2);
  path.MoveTo(0.004, -3.333);
  path.LineTo(7.126, -3.331);
  path.LineTo(7.126, 0.5);
  path.QuadraticTo(1, 1, 0.5, 0.5);
  path.Close();
  EXPECT_EQ(path.Text(), "m0-3.33h7.13v3.83q-6.13.5-6.63 0z");
}

// The rings of both passes are ShapeOutline's vertices at angle 0 about each
// pass's centre (pixel centres are half a pixel in), in their colours; the
// frames' poses turn them as the outline turns, at the frames' times, as
// often as the picture plays.
TEST(SvgAnimation, RingsAreTheOutlineTurnedThroughEveryPoseAtItsTime) {
  std::string marks[2];  // another picture, other names
  for (bool star : {true, false}) {
    const ShapeSettings settings = Design(star);
    SvgPicture picture;
    picture.Timing = {40, 3};
    const XmlElement svg = Document(settings, 2, picture, &marks[star]);
    ShapeOutline outline(settings, 0, 2);
    outline.BeginPass();
    std::vector<std::vector<PathPoint>> rings;
    for (int ring = 0; ring < 10; ++ring) {
      outline.ComputeRing(RingScales()[ring], 0, 0);
      const std::string id = std::string("#") + static_cast<char>('a' + ring);
      rings.push_back(PathPoints(svg.All(id).at(0)->Get("d")).at(0));
      ASSERT_EQ(rings.back().size(), static_cast<std::size_t>(outline.Count()));
      for (int j = 1; j <= outline.Count(); ++j) {
        EXPECT_NEAR(rings.back()[j - 1].X, outline.X(j), 0.01) << ring << " " << j;
        EXPECT_NEAR(rings.back()[j - 1].Y, outline.Y(j), 0.01) << ring << " " << j;
      }
    }
    const std::vector<const XmlElement*> passes = svg.All("g");
    ASSERT_EQ(passes.size(), 5u);  // the shape, and each pass with its turning group
    const double shadow = 2 * settings.SliderVal(ShapeShadowOffset);
    for (int pass = 0; pass < 2; ++pass) {
      const double shift = pass == 0 ? shadow : -shadow;
      const std::string centre = SvgNumber(180 + shift + 0.5, 2);
      EXPECT_EQ(passes[1 + 2 * pass]->Get("transform"), "translate(" + centre + " " + centre + ")");
      const XmlElement& turning = *passes[2 + 2 * pass];
      ASSERT_EQ(turning.Children.size(), 10u);
      // Where no style sheet runs: the first frame's pose.
      EXPECT_NEAR(std::stod(turning.Get("transform").substr(7)), -picture.Poses[0], 1e-3);
      for (int ring = 0; ring < 10; ++ring)
        EXPECT_EQ(Hex((pass == 0 ? turning : turning.Children[ring]).Get("stroke")),
                  pass == 0 ? settings.PlainColour(ShapeShadow)
                            : RingColour(settings, RingScales()[ring]));
    }
    EXPECT_EQ(std::stod(passes[0]->Get("stroke-width")), 2 * settings.SliderVal(Detail));

    const std::string style = svg.All("style").at(0)->Text;
    EXPECT_NE(style.find(".r{animation:r .2s step-end 3 forwards}"), std::string::npos) << style;
    const std::regex keyframe(R"(([\d.]+)%(,to)?\{transform:rotate\((-?[\d.]+)deg\)\})");
    int k = 0;
    for (std::sregex_iterator m(style.begin(), style.end(), keyframe), end; m != end; ++m, ++k) {
      ASSERT_LT(k, 5);
      EXPECT_NEAR(std::stod((*m)[1]) / 100 * 200, k * 40, 0.5);
      EXPECT_EQ((*m)[2].matched, k == 4);
      // Turned by the keyframe's angle on a y-down page, ring a is the outline at the frame's pose.
      const double turn = std::stod((*m)[3]) * M_PI / 180;
      ShapeOutline posed(settings, picture.Poses[k], 2);
      posed.BeginPass();
      posed.ComputeRing(1, 0, 0);
      for (int j = 1; j <= posed.Count(); ++j) {
        const PathPoint p = rings[0][j - 1];
        EXPECT_NEAR(p.X * std::cos(turn) - p.Y * std::sin(turn), posed.X(j), 0.01) << k;
        EXPECT_NEAR(p.X * std::sin(turn) + p.Y * std::cos(turn), posed.Y(j), 0.01) << k;
      }
    }
    EXPECT_EQ(k, 5);
    const std::string still =
        "@media(prefers-reduced-motion:reduce){.r{animation:none;transform:rotate(";
    ASSERT_NE(style.find(still), std::string::npos);
    EXPECT_NEAR(std::stod(style.substr(style.find(still) + still.size())), -picture.Poses[0], 1e-3);
  }
  EXPECT_NE(marks[0], marks[1]);
  // A smooth motion turns evenly through the cycle, from the first pose.
  SvgPicture picture;
  picture.Timing = {40, 0};
  picture.Motion = MotionChoice::Smooth;
  const std::string style = Document(Design(), 1, picture).All("style").at(0)->Text;
  std::smatch turn;
  ASSERT_TRUE(std::regex_search(style, turn,
                                std::regex(R"(\.r\{animation:r \.2s linear infinite\})"
                                           R"(@keyframes r\{from\{transform:rotate\((.+)deg\)\})"
                                           R"(to\{transform:rotate\((.+)deg\)\}\})")))
      << style;
  EXPECT_NEAR(std::stod(turn[1]), -picture.Poses[0], 1e-3);
  EXPECT_NEAR(std::stod(turn[2]), -picture.Poses[0] - picture.CycleTurn, 1e-3);
}

// The caption's glyph outlines and underline cover what a frame prints,
// within a pixel; its shadow is moved by the offset, all in front of the
// shape or behind it, as a frame orders them.
TEST(SvgAnimation, TheCaptionIsOutlinedWhereAFramePrintsIt) {
  for (bool front : {true, false}) {
    ShapeSettings settings = Design();
    settings.TextFront = front;
    settings.Font.FontUnderline = true;
    SvgPicture picture;
    const XmlElement svg = Document(settings, 2, picture);
    const XmlElement& caption = *svg.All("#t").at(0);
    Box outline, ink;
    for (const XmlElement* path : caption.All("path"))
      for (const auto& contour : PathPoints(path->Get("d")))
        for (PathPoint p : contour) outline.Cover(p.X, p.Y);
    const XmlElement& band = *caption.All("rect").at(0);
    outline.Cover(std::stod(band.Get("x")), std::stod(band.Get("y")));
    outline.Cover(std::stod(band.Get("x")) + std::stod(band.Get("width")),
                  std::stod(band.Get("y")) + std::stod(band.Get("height")));
    const double back =
        front ? 0 : settings.SliderVal(TextShadowOffset);  // half the offset of 2 x 2
    DrawingSurface surface(picture.Width, picture.Height);
    surface.SetBackColor(0);
    CaptionFont font = settings.Font;
    font.FontSize *= 2;
    surface.SetFont(font);
    surface.SetForeColor(0xFFFFFF);
    surface.SetCurrentPosition(static_cast<float>(picture.Width * settings.TextX - back),
                               static_cast<float>(picture.Height * settings.TextY - back));
    surface.PrintText(settings.Text);
    for (int y = 0; y < picture.Height; ++y)
      for (int x = 0; x < picture.Width; ++x)
        if (surface.Capture().At(x, y) != 0) ink.Cover(x, y), ink.Cover(x + 1, y + 1);
    for (auto side : {&Box::Left, &Box::Top, &Box::Right, &Box::Bottom})
      EXPECT_NEAR(outline.*side, ink.*side, 1);

    std::string order;  // the prints and the shape, as drawn
    for (const XmlElement& e : svg.Children) {
      if (e.Name == "g") order += "shape ";
      if (e.Name != "use") continue;
      const bool shadow = Hex(e.Get("fill")) == settings.PlainColour(TextShadow);
      order += shadow ? "shadow " : "text ";
      EXPECT_EQ(Hex(e.Get("fill")), settings.PlainColour(shadow ? TextShadow : Text));
      EXPECT_EQ(e.Get("x") + "," + e.Get("y"), shadow ? "4,4" : ",");
    }
    EXPECT_EQ(order, front ? "shape text shadow text " : "shadow text shape ");
  }
}

// A transparent design has no background; an opaque one's gradient gives
// each row the colour a frame gives it, within one level.
TEST(SvgAnimation, TheBackgroundBlendsAsTheRowsOfAFrame) {
  for (const SampleDesign& sample : SampleDesigns()) {
    ShapeSettings settings = SettingsOf(sample);
    SvgPicture picture;
    const XmlElement opaque = Document(settings, 3, picture);
    FrameRenderer renderer;
    renderer.Scale = 3;
    const std::vector<ColourValue> rows = renderer.BackgroundRows(settings, picture.Height);
    const std::vector<const XmlElement*> stops = opaque.All("stop");
    for (std::size_t row = 0; row < rows.size() && stops.size() > 1; ++row) {
      const double at = (row + 0.5) / rows.size();
      std::size_t next = 1;
      while (next + 1 < stops.size() && std::stod(stops[next]->Get("offset")) < at) ++next;
      const double from = std::stod(stops[next - 1]->Get("offset")),
                   to = std::stod(stops[next]->Get("offset"));
      const double t = std::clamp((at - from) / (to - from), 0.0, 1.0);
      const ColourValue a = Hex(stops[next - 1]->Get("stop-color")),
                        b = Hex(stops[next]->Get("stop-color"));
      for (auto part : {RedOf, GreenOf, BlueOf})
        EXPECT_LE(std::fabs(part(a) + (part(b) - part(a)) * t - part(rows[row])), 1)
            << sample.Name << row;
    }
    settings.Transparent = true;
    SvgPicture transparent;
    const XmlElement clear = Document(settings, 1, transparent);
    auto backgrounds = [](const XmlElement& svg) {
      const std::vector<const XmlElement*> rects = svg.All("rect");
      return std::count_if(rects.begin(), rects.end(),
                           [](auto r) { return r->Get("width") == "100%"; });
    };
    EXPECT_EQ(backgrounds(opaque), 1);
    EXPECT_EQ(backgrounds(clear), 0);
    EXPECT_TRUE(clear.All("linearGradient").empty()) << sample.Name;
  }
}

}  // namespace
}  // namespace flinder
