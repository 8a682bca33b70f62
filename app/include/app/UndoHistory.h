#pragma once

#include <QString>
#include <QUndoStack>
#include <functional>
#include <optional>

#include "design/DesignEdit.h"

namespace flinder {

// The window's undo history of design edits. Each step keeps the design as
// it was before and after one edit; undoing and redoing change the record
// through SetSlider and SetSwitch, so the window follows as after a click.
class UndoHistory {
 public:
  explicit UndoHistory(ShapeSettings& settings) : settings_(settings) {}

  // Runs `edit` as one step named `name` (none when it changed nothing).
  // Typing edits that follow on without a pause make one step.
  void Record(const QString& name, const std::function<void()>& edit, bool typing = false);
  // A step that lasts, a drag from press to release.
  void Begin(const QString& name);
  void End();

  void Undo();
  void Redo();
  // Another design: its edits start a history of their own.
  void Clear();

  QUndoStack Stack;

 private:
  void Push(const QString& name, const DesignState& before, bool typing);

  ShapeSettings& settings_;
  std::optional<DesignState> open_;  // before the lasting step
  QString openName_;
};

}  // namespace flinder
