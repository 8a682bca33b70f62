#pragma once

#include <string>
#include <utility>

namespace flinder {

// The outcome of an export step: Ok, or the text to show the user when it failed.
struct ExportResult {
  bool Ok = false;
  std::string Message;

  static ExportResult Success() { return {true, {}}; }
  static ExportResult Failure(std::string message) { return {false, std::move(message)}; }
};

}  // namespace flinder
