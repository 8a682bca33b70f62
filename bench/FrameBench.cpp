// The worst-case frame drawn by DrawFrame, and the same primitives by
// QPainter into a QImage.
#include <benchmark/benchmark.h>

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "WorstCaseDesign.h"
#include "render/FrameRenderer.h"
#include "render/ShapeOutline.h"

namespace flinder {
namespace {

void OurFrame(benchmark::State& state) {
  const ShapeSettings settings = WorstCaseDesign();
  DrawingSurface surface(420, 420);
  FrameRenderer renderer;
  for (auto _ : state) {
    renderer.DrawFrame(surface, settings);
    benchmark::DoNotOptimize(surface.Capture().Pixels.data());
  }
}
BENCHMARK(OurFrame)->Unit(benchmark::kMicrosecond);

QColor ToQColor(ColourValue c) {
  return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

QColor Blend(const ShapeSettings& s, int slotA, int slotB, double t) {
  auto part = [&](int c) {
    return BlendComponent(s.SliderPos(ColourIndex(slotA, c)), s.SliderPos(ColourIndex(slotB, c)),
                          t);
  };
  return QColor(part(0), part(1), part(2));
}

// The same lines, rings and caption prints; the vertices come from the same
// outline code, so only the drawing differs.
void QPainterFrame(benchmark::State& state) {
  const ShapeSettings s = WorstCaseDesign();
  QImage image(420, 420, QImage::Format_RGB32);
  QFont font("Arial");
  font.setPointSizeF(11.25);
  font.setBold(true);
  const int detail = static_cast<int>(s.SliderVal(Detail));
  const double shadow = s.SliderVal(ShapeShadowOffset), textShadow = s.SliderVal(TextShadowOffset);
  double angle = 0;
  for (auto _ : state) {
    QPainter painter(&image);
    painter.setFont(font);
    image.fill(ToQColor(s.PositionColour(Back)));
    painter.setPen(QPen(Qt::black, 1));
    for (int i = 1; i <= 420; ++i) {
      painter.setPen(Blend(s, Dither, Back, i / 420.0));
      painter.drawLine(QLineF(0, i, 420, i));
    }
    angle = NextRotation(angle, s.SliderVal(Speed), SymmetryPeriod(24, true)).Angle;
    ShapeOutline outline(s, angle);
    for (int pass = 2; pass >= 1; --pass) {
      const double shift = pass == 2 ? shadow : -shadow;
      outline.BeginPass();
      for (double t : RingScales()) {
        outline.ComputeRing(t, 210 + shift, 210 + shift);
        QColor colour =
            pass == 2 ? ToQColor(s.PlainColour(ShapeShadow)) : Blend(s, Outer, Inner, t);
        painter.setPen(QPen(colour, detail, Qt::SolidLine, Qt::RoundCap));
        const int n = outline.Count();
        for (int j = 1; j < n; ++j)
          painter.drawLine(QLineF(outline.X(j), outline.Y(j), outline.X(j + 1), outline.Y(j + 1)));
        painter.drawLine(QLineF(outline.X(1), outline.Y(1), outline.X(n), outline.Y(n)));
      }
    }
    const QString text = QString::fromStdString(s.Text);
    const QRectF at(420 * s.TextX, 420 * s.TextY, 420, 100);
    painter.setPen(ToQColor(s.PlainColour(Text)));
    painter.drawText(at, Qt::AlignLeft | Qt::AlignTop, text);
    painter.setPen(ToQColor(s.PlainColour(TextShadow)));
    painter.drawText(at.translated(textShadow, textShadow), Qt::AlignLeft | Qt::AlignTop, text);
    painter.setPen(ToQColor(s.PlainColour(Text)));
    painter.drawText(at, Qt::AlignLeft | Qt::AlignTop, text);
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(QPainterFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace flinder

int main(int argc, char** argv) {
  // Fonts need a GUI application, but no screen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
