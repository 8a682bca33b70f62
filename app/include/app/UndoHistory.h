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
  // Keyed edits of one name that follow on without a pause, typed or held
  // down, make one step. During a lasting step the edit becomes part of it.
  void Record(const QString& name, const std::function<void()>& edit, bool keyed = false);
  // A step that lasts, a drag from press to release.
  void Begin(const QString& name);
  void End();
  bool Lasting() const { return open_.has_value(); }

  // Both wait while a lasting step is open: a drag is undone as a whole.
  void Undo();
  void Redo();
  bool CanUndo() const { return !Lasting() && Stack.canUndo(); }
  bool CanRedo() const { return !Lasting() && Stack.canRedo(); }
  // Another design: its edits start a history of their own.
  void Clear();

  QUndoStack Stack;
  // Told when a lasting step opens or closes.
  std::function<void()> LastingChanged;

 private:
  void Push(const QString& name, const DesignState& before, bool keyed);
  void SetOpen(std::optional<DesignState> before);

  ShapeSettings& settings_;
  std::optional<DesignState> open_;  // before the lasting step
  QString openName_;
};

}  // namespace flinder
