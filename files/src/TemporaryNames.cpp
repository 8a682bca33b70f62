#include "TemporaryNames.h"

#include <random>

namespace flinder {
namespace {

constexpr std::string_view TemporaryPrefix = ".flinder-";
constexpr std::string_view TemporarySuffix = ".tmp";
constexpr std::size_t TemporaryRandomLength = 6;

}  // namespace

bool IsTemporaryName(std::string_view name) {
  return name.size() == TemporaryPrefix.size() + TemporaryRandomLength + TemporarySuffix.size() &&
         name.starts_with(TemporaryPrefix) && name.ends_with(TemporarySuffix);
}

std::string RandomTemporaryName() {
  static constexpr char Letters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  thread_local std::mt19937_64 random{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, sizeof Letters - 2);
  std::string name(TemporaryPrefix);
  for (std::size_t i = 0; i < TemporaryRandomLength; ++i) name += Letters[pick(random)];
  return name += TemporarySuffix;
}

}  // namespace flinder
