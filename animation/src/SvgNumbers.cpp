#include "animation/SvgNumbers.h"

#include <algorithm>
#include <cmath>

namespace flinder {
namespace {

long long PowerOfTen(int exponent) {
  long long p = 1;
  while (exponent-- > 0) p *= 10;
  return p;
}

// `units` in steps of 10^-decimals.
std::string UnitsText(long long units, int decimals) {
  std::string text = units < 0 ? "-" : "";
  const unsigned long long magnitude =
      units < 0 ? 0ULL - static_cast<unsigned long long>(units) : units;
  const auto scale = static_cast<unsigned long long>(PowerOfTen(decimals));
  const unsigned long long whole = magnitude / scale;
  unsigned long long fraction = magnitude % scale;
  if (whole != 0 || fraction == 0) text += std::to_string(whole);
  if (fraction != 0) {
    std::string digits = std::to_string(fraction);
    digits.insert(0, static_cast<std::size_t>(decimals) - digits.size(), '0');
    digits.erase(digits.find_last_not_of('0') + 1);
    text += '.' + digits;
  }
  return text;
}

int ClampedDecimals(int decimals) {
  return std::clamp(decimals, 0, 9);
}

}  // namespace

std::string SvgNumber(double value, int decimals) {
  decimals = ClampedDecimals(decimals);
  return UnitsText(std::llround(value * static_cast<double>(PowerOfTen(decimals))), decimals);
}

int DecimalsWithin(double tolerance) {
  int decimals = 0;
  while (decimals < 9 && 0.5 / static_cast<double>(PowerOfTen(decimals)) > tolerance) ++decimals;
  return decimals;
}

PathData::Units PathData::Round(double x, double y) const {
  const auto scale = static_cast<double>(PowerOfTen(ClampedDecimals(decimals_)));
  return {std::llround(x * scale), std::llround(y * scale)};
}

void PathData::Command(char command) {
  if (command != command_) {
    text_ += command;
    afterNumber_ = false;
  }
  // Pairs after a move are lines.
  command_ = command == 'm' ? 'l' : command;
}

void PathData::Number(long long units) {
  const std::string number = UnitsText(units, ClampedDecimals(decimals_));
  const bool point = number.find('.') != std::string::npos;
  const bool joins = number[0] == '-' || (number[0] == '.' && numberHasPoint_);
  if (afterNumber_ && !joins) text_ += ' ';
  text_ += number;
  afterNumber_ = true;
  numberHasPoint_ = point;
}

void PathData::Step(Units to, bool move) {
  const long long dx = to.X - current_.X, dy = to.Y - current_.Y;
  if (!move && dy == 0) {
    Command('h');
    Number(dx);
  } else if (!move && dx == 0) {
    Command('v');
    Number(dy);
  } else {
    Command(move ? 'm' : 'l');
    Number(dx);
    Number(dy);
  }
  current_ = to;
}

void PathData::MoveTo(double x, double y) {
  // A move's letter is always written: after one, pairs are lines.
  command_ = 0;
  Step(Round(x, y), true);
  start_ = current_;
}

void PathData::LineTo(double x, double y) {
  Step(Round(x, y), false);
}

void PathData::QuadraticTo(double cx, double cy, double x, double y) {
  const Units c = Round(cx, cy), to = Round(x, y);
  Command('q');
  for (long long v : {c.X - current_.X, c.Y - current_.Y, to.X - current_.X, to.Y - current_.Y})
    Number(v);
  current_ = to;
}

void PathData::CubicTo(double c1x, double c1y, double c2x, double c2y, double x, double y) {
  const Units c1 = Round(c1x, c1y), c2 = Round(c2x, c2y), to = Round(x, y);
  Command('c');
  for (long long v : {c1.X - current_.X, c1.Y - current_.Y, c2.X - current_.X, c2.Y - current_.Y,
                      to.X - current_.X, to.Y - current_.Y})
    Number(v);
  current_ = to;
}

void PathData::Close() {
  Command('z');
  command_ = 0;
  current_ = start_;
}

}  // namespace flinder
