// The document, in drawing order:
//   <defs>     the ten rings as paths about the shape's centre (ids a to j),
//              and the caption's outline without a colour (id t);
//   <style>    the keyframes of the turn, when the picture has frames;
//   the background rect, filled with the blend's gradient;
//   the caption's prints behind the shape, each a <use> of t in its colour;
//   the shape: each pass a group moved to its centre whose inner group the
//              style turns, holding a <use> of every ring in its colour;
//   the caption's prints in front.
// Both passes and every print share one copy of the points. Every id, the
// class and the keyframes end in a mark made from the document itself, so
// pictures inline in one page keep their own.
#include "animation/SvgAnimation.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "animation/SvgNumbers.h"
#include "animation/XmlWriter.h"
#include "render/FontFace.h"
#include "render/FrameRenderer.h"
#include "render/ShapeOutline.h"

namespace flinder {
namespace {

// Ring vertices, glyph points and pass centres within 0.005 px.
constexpr int PointDecimals = 2;

// Raster coordinates name pixel centres; the picture's, pixel edges.
constexpr double PixelCentre = 0.5;

std::string ColourText(ColourValue colour) {
  static constexpr char Hex[] = "0123456789abcdef";
  const int parts[] = {RedOf(colour), GreenOf(colour), BlueOf(colour)};
  std::string text = "#";
  const bool shorter =
      std::all_of(std::begin(parts), std::end(parts), [](int p) { return p >> 4 == (p & 15); });
  for (int p : parts) {
    text += Hex[p >> 4];
    if (!shorter) text += Hex[p & 15];
  }
  return text;
}

// A turn of the outline by `pose` degrees is a rotation the other way on a
// y-down page; a transform attribute's angle has no unit.
std::string Rotation(double pose, int decimals) {
  return "rotate(" + SvgNumber(-pose, decimals) + ")";
}

std::string Point(double x, double y) {
  return SvgNumber(x, PointDecimals) + " " + SvgNumber(y, PointDecimals);
}

class Document {
 public:
  Document(const ShapeSettings& settings, const SvgPicture& picture, std::string mark)
      : settings_(settings), picture_(picture), mark_(std::move(mark)) {
    renderer_.Scale = picture.Scale;
  }

  std::string Write();

 private:
  bool Turns() const { return picture_.Poses.size() > 1; }
  double Length(int parameter) const {
    return static_cast<double>(settings_.SliderVal(parameter)) * picture_.Scale;
  }
  void Style();
  void Background();
  // The rings as paths about the shape's centre; how far their points reach.
  double RingPaths();
  struct Print {
    double X, Y;  // the corner of its line box
    int Slot;     // its colour
  };
  std::vector<Print> CaptionPrints() const;
  bool DefineCaption(const Print& print);
  void PrintCaption(const std::vector<Print>& prints);
  void ShapePass(double shift, const std::string* stroke);
  // A name of this document: an id, the class or the keyframes.
  // `reference` makes the "#name" that uses it.
  std::string Name(std::string_view name, bool reference = false) const {
    std::string text = reference ? "#" : "";
    return text.append(name).append(mark_);
  }
  // Rings are a to j.
  std::string RingId(int ring, bool reference = false) const {
    const char letter = static_cast<char>('a' + ring);
    return Name(std::string_view(&letter, 1), reference);
  }

  const ShapeSettings& settings_;
  const SvgPicture& picture_;
  const std::string mark_;
  FrameRenderer renderer_;
  XmlWriter xml_;
  int rings_ = 0;
  int angleDecimals_ = 0;
  std::unique_ptr<FontFace> face_;
  CaptionOutline::Point captionOrigin_;
};

// The caption's prints in drawing order, behind or in front of the shape.
std::vector<Document::Print> Document::CaptionPrints() const {
  if (!settings_.ShowText) return {};
  const double offset = Length(TextShadowOffset);
  const double x = picture_.Width * settings_.TextX, y = picture_.Height * settings_.TextY;
  const bool shadow = settings_.ViewTextShadow;
  if (!settings_.TextFront) {
    // Behind the shape the caption moves up and left by half its shadow offset.
    const double bx = x - offset / 2, by = y - offset / 2;
    if (shadow) return {{bx + offset, by + offset, TextShadow}, {bx, by, Text}};
    return {{bx, by, Text}};
  }
  // In front it is printed once more after its shadow, which darkens its
  // anti-aliased edges.
  if (shadow) return {{x, y, Text}, {x + offset, y + offset, TextShadow}, {x, y, Text}};
  return {{x, y, Text}, {x, y, Text}};
}

std::string Document::Write() {
  const std::string width = std::to_string(picture_.Width);
  const std::string height = std::to_string(picture_.Height);
  xml_.Start("svg")
      .Attribute("xmlns", "http://www.w3.org/2000/svg")
      .Attribute("width", width)
      .Attribute("height", height)
      .Attribute("viewBox", "0 0 " + width + " " + height);
  if (!picture_.Title.empty()) xml_.Start("title").Text(picture_.Title).End();
  const std::vector<Print> prints = CaptionPrints();
  xml_.Start("defs");
  // Turns within 0.005 px at the outermost point.
  angleDecimals_ = DecimalsWithin(0.005 / std::max(RingPaths(), 1.0) * 180 / M_PI);
  const bool caption = !prints.empty() && DefineCaption(prints.back());
  xml_.End();
  if (Turns()) Style();
  if (!settings_.Transparent) Background();
  if (caption && !settings_.TextFront) PrintCaption(prints);
  if (rings_ > 0) {
    const double shadow = Length(ShapeShadowOffset);
    const std::string shadowColour = ColourText(settings_.PlainColour(ShapeShadow));
    xml_.Start("g")
        .Attribute("fill", "none")
        .Attribute("stroke-width", std::to_string(std::max(1, renderer_.ShapePenWidth(settings_))))
        .Attribute("stroke-linejoin", "round")
        // A frame's pen covers a pixel when its centre lies within the pen,
        // with no anti-aliasing; so does a renderer with crisp edges.
        .Attribute("shape-rendering", "crispEdges");
    if (settings_.ViewShapeShadow) {
      ShapePass(shadow, &shadowColour);
      ShapePass(-shadow, nullptr);
    } else {
      ShapePass(0, nullptr);
    }
    xml_.End();
  }
  if (caption && settings_.TextFront) PrintCaption(prints);
  return xml_.Finish();
}

// Every frame's pose at its time, held until the next; or one even turn.
// The last frame's pose stays once the plays end, as a browser leaves the
// last frame of the other formats. The keyframes set an angle that the
// group's transform reads: a browser turns an animated transform as a
// bitmap, blurring the rings' crisp edges, but draws the shapes afresh at a
// new angle.
void Document::Style() {
  const std::vector<double>& poses = picture_.Poses;
  const auto frames = static_cast<int>(poses.size());
  const long long duration = static_cast<long long>(frames) * picture_.Timing.DelayMilliseconds;
  // Times within half a millisecond.
  const int percentDecimals = DecimalsWithin(50.0 / static_cast<double>(std::max(duration, 1LL)));
  const std::string turn = Name("r"), angle = "--" + Name("a");
  auto degrees = [&](double pose) { return SvgNumber(-pose, angleDecimals_) + "deg"; };
  auto rotation = [&](double pose) { return "{" + angle + ":" + degrees(pose) + "}"; };
  std::string keyframes;
  const bool smooth = picture_.Motion == MotionChoice::Smooth;
  if (smooth) {
    keyframes = "from" + rotation(poses[0]) + "to" + rotation(poses[0] + picture_.CycleTurn);
  } else {
    for (int k = 0; k < frames; ++k)
      keyframes += SvgNumber(100.0 * k / frames, percentDecimals) + "%" +
                   (k + 1 == frames ? ",to" : "") + rotation(poses[static_cast<std::size_t>(k)]);
  }
  const int plays = picture_.Timing.Plays;
  std::string css;
  // An even turn blends the angle, which only an angle known as one can do.
  if (smooth)
    css.append("@property ").append(angle).append("{syntax:'<angle>';inherits:false;initial-value:0deg}");
  css.append(".").append(turn).append("{").append(angle).append(":").append(degrees(poses[0]));
  css.append(";transform:rotate(var(").append(angle).append("));animation:").append(turn).append(" ");
  css.append(SvgNumber(duration / 1000.0, 3)).append(smooth ? "s linear " : "s step-end ");
  css.append(plays == 0 ? "infinite" : std::to_string(plays) + " forwards");
  css.append("}@keyframes ").append(turn).append("{").append(keyframes);
  css.append("}@media(prefers-reduced-motion:reduce){.").append(turn);
  css.append("{animation:none}}");
  xml_.Start("style").Text(css).End();
}

void Document::Background() {
  const std::vector<ColourValue> rows = renderer_.BackgroundRows(settings_, picture_.Height);
  if (rows.empty()) return;
  const std::vector<BlendStop> stops = BlendStops(rows);
  std::string fill = ColourText(rows[0]);
  if (stops.size() > 1) {
    // Across the whole picture, each stop at its row's centre.
    const int decimals = DecimalsWithin(0.05 / static_cast<double>(rows.size()));
    xml_.Start("linearGradient").Attribute("id", Name("bg")).Attribute("x2", "0").Attribute("y2", "1");
    for (const BlendStop& stop : stops)
      xml_.Start("stop")
          .Attribute("offset", SvgNumber((stop.Row + PixelCentre) / rows.size(), decimals))
          .Attribute("stop-color", ColourText(stop.Colour))
          .End();
    xml_.End();
    fill = "url(" + Name("bg", true) + ")";
  }
  xml_.Start("rect")
      .Attribute("width", "100%")
      .Attribute("height", "100%")
      .Attribute("fill", fill)
      .End();
}

double Document::RingPaths() {
  ShapeOutline outline(settings_, 0, picture_.Scale);
  if (outline.Count() == 0) return 0;
  double reach = 0;
  outline.BeginPass();
  for (double t : RingScales()) {
    outline.ComputeRing(t, 0, 0);
    PathData path(PointDecimals);
    for (int j = 1; j <= outline.Count(); ++j) {
      // As drawn: single-precision ends.
      const double x = static_cast<float>(outline.X(j)), y = static_cast<float>(outline.Y(j));
      j == 1 ? path.MoveTo(x, y) : path.LineTo(x, y);
      reach = std::max(reach, std::hypot(x, y));
    }
    path.Close();
    xml_.Start("path").Attribute("id", RingId(rings_++)).Attribute("d", path.Text()).End();
  }
  return reach;
}

// A pass is its rings about the shape's centre moved by `shift`, in the
// shadow's colour or each in its own.
void Document::ShapePass(double shift, const std::string* stroke) {
  const double x = picture_.Width * settings_.PosX + shift + PixelCentre;
  const double y = picture_.Height * settings_.PosY + shift + PixelCentre;
  std::string transform = "translate(" + Point(x, y) + ")";
  const double pose = picture_.Poses.empty() ? 0 : picture_.Poses[0];
  if (!Turns() && pose != 0) transform += Rotation(pose, angleDecimals_);
  xml_.Start("g").Attribute("transform", transform);
  // Where no style sheet runs, the turning group shows the first frame's pose.
  if (Turns())
    xml_.Start("g").Attribute("class", Name("r")).Attribute("transform",
                                                            Rotation(pose, angleDecimals_));
  if (stroke) xml_.Attribute("stroke", *stroke);
  for (int ring = 0; ring < rings_; ++ring) {
    xml_.Start("use").Attribute("href", RingId(ring, true));
    const double scale = RingScales()[static_cast<std::size_t>(ring)];
    if (!stroke) xml_.Attribute("stroke", ColourText(RingColour(settings_, scale)));
    xml_.End();
  }
  if (Turns()) xml_.End();
  xml_.End();
}

// The caption's outline, without a colour, where `print` puts it.
bool Document::DefineCaption(const Print& print) {
  CaptionFont font = settings_.Font;
  font.FontSize *= static_cast<float>(picture_.Scale);
  face_ = std::make_unique<FontFace>(font);
  const CaptionOutline outline =
      face_->Outline(settings_.Text, static_cast<float>(print.X), static_cast<float>(print.Y));
  if (outline.Empty()) return false;
  captionOrigin_ = outline.Origin;
  PathData path(PointDecimals);
  for (const CaptionOutline::Segment& s : outline.Segments) {
    const auto& p = s.Points;
    switch (s.Kind) {
      case CaptionOutline::Step::Move:
        path.MoveTo(p[0].X, p[0].Y);
        break;
      case CaptionOutline::Step::Line:
        path.LineTo(p[0].X, p[0].Y);
        break;
      case CaptionOutline::Step::Quadratic:
        path.QuadraticTo(p[0].X, p[0].Y, p[1].X, p[1].Y);
        break;
      case CaptionOutline::Step::Cubic:
        path.CubicTo(p[0].X, p[0].Y, p[1].X, p[1].Y, p[2].X, p[2].Y);
        break;
      case CaptionOutline::Step::Close:
        path.Close();
        break;
    }
  }
  const bool group = !outline.Strokes.empty();
  if (group) xml_.Start("g").Attribute("id", Name("t"));
  if (!outline.Segments.empty()) {
    xml_.Start("path");
    if (!group) xml_.Attribute("id", Name("t"));
    if (outline.EvenOdd) xml_.Attribute("fill-rule", "evenodd");
    xml_.Attribute("d", path.Text()).End();
  }
  for (const CaptionOutline::Band& band : outline.Strokes)
    xml_.Start("rect")
        .Attribute("x", std::to_string(band.Left))
        .Attribute("y", std::to_string(band.Top))
        .Attribute("width", std::to_string(band.Width))
        .Attribute("height", std::to_string(band.Height))
        .End();
  if (group) xml_.End();
  return true;
}

// Each print is the outline moved by whole pixels, as the bitmaps are.
void Document::PrintCaption(const std::vector<Print>& prints) {
  for (const Print& print : prints) {
    long long x = 0, baseline = 0;
    if (!face_->Origin(static_cast<float>(print.X), static_cast<float>(print.Y), x, baseline))
      continue;
    const double dx = static_cast<double>(x) - captionOrigin_.X;
    const double dy = static_cast<double>(baseline) - captionOrigin_.Y;
    xml_.Start("use").Attribute("href", Name("t", true));
    if (dx != 0) xml_.Attribute("x", SvgNumber(dx, 0));
    if (dy != 0) xml_.Attribute("y", SvgNumber(dy, 0));
    xml_.Attribute("fill", ColourText(settings_.PlainColour(print.Slot))).End();
  }
}

}  // namespace

bool SvgShowsCaption(const ShapeSettings& settings) {
  const bool blank = settings.Text.find_first_not_of(" \t") == std::string::npos;
  return !settings.ShowText || blank || !FontFace(settings.Font).Outline(settings.Text, 0, 0).Empty();
}

std::vector<BlendStop> BlendStops(const std::vector<ColourValue>& rows) {
  std::vector<BlendStop> stops;
  if (rows.empty()) return stops;
  const int last = static_cast<int>(rows.size()) - 1;
  auto colour = [&](int row) { return rows[static_cast<std::size_t>(row)]; };
  // Whether the straight blend from row `from` to row `to` passes within
  // one level of every row between them.
  auto blends = [&](int from, int to) {
    for (int row = from + 1; row < to; ++row) {
      const double t = static_cast<double>(row - from) / (to - from);
      for (auto part : {RedOf, GreenOf, BlueOf}) {
        const double blend = part(colour(from)) + (part(colour(to)) - part(colour(from))) * t;
        if (std::fabs(blend - part(colour(row))) > 1) return false;
      }
    }
    return true;
  };
  int from = 0;
  stops.push_back({0, colour(0)});
  while (from < last) {
    // The farthest row a blend reaches: steps doubled until one fails, then halved.
    int to = from + 1, step = 1;
    for (; to + step <= last && blends(from, to + step); step *= 2) to += step;
    for (; step > 0; step /= 2)
      if (to + step <= last && blends(from, to + step)) to += step;
    stops.push_back({to, colour(to)});
    from = to;
  }
  // Beyond its end stops a gradient keeps their colours: flat ends need no stop of their own.
  auto flat = [&](int a, int b) {
    return std::all_of(rows.begin() + a, rows.begin() + b + 1,
                       [&](ColourValue c) { return c == colour(a); });
  };
  if (stops.size() > 1 && flat(stops[stops.size() - 2].Row, last)) stops.pop_back();
  if (stops.size() > 1 && flat(0, stops[1].Row)) stops.erase(stops.begin());
  return stops;
}

std::string SvgAnimation(const ShapeSettings& settings, const SvgPicture& picture) {
  // The mark is the unmarked document's FNV-1a hash: the same picture, the same names.
  std::uint32_t hash = 2166136261u;
  for (const char c : Document(settings, picture, "").Write())
    hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  char mark[8];
  std::snprintf(mark, sizeof mark, "%06x", hash & 0xffffffu);
  return Document(settings, picture, mark).Write();
}

}  // namespace flinder
