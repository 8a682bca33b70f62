#include "app/UndoHistory.h"

#include <QElapsedTimer>
#include <QUndoCommand>

namespace flinder {
namespace {

// Keys pressed closer together than this make one step.
constexpr qint64 TypingPauseMs = 1500;
constexpr int KeyedId = 1;

class DesignStep : public QUndoCommand {
 public:
  DesignStep(ShapeSettings& settings, const QString& name, DesignState before, DesignState after,
             bool keyed)
      : QUndoCommand(name),
        settings_(settings),
        before_(std::move(before)),
        after_(std::move(after)),
        keyed_(keyed) {
    lastKey_.start();
  }

  // The edit has been made already when the step is pushed.
  void redo() override {
    if (!std::exchange(done_, false)) ChangeDesign(settings_, before_, after_);
  }
  void undo() override { ChangeDesign(settings_, after_, before_); }

  int id() const override { return keyed_ ? KeyedId : -1; }
  bool mergeWith(const QUndoCommand* other) override {
    if (lastKey_.elapsed() > TypingPauseMs || other->text() != text()) return false;
    after_ = static_cast<const DesignStep*>(other)->after_;
    lastKey_.restart();
    setObsolete(after_.SameDesign(before_));
    return true;
  }

 private:
  ShapeSettings& settings_;
  DesignState before_, after_;
  bool keyed_;
  bool done_ = true;
  QElapsedTimer lastKey_;
};

}  // namespace

void UndoHistory::Record(const QString& name, const std::function<void()>& edit, bool keyed) {
  if (Lasting()) return edit();
  const DesignState before = StateOf(settings_);
  edit();
  Push(name, before, keyed);
}

void UndoHistory::Begin(const QString& name) {
  End();
  openName_ = name;
  SetOpen(StateOf(settings_));
}

void UndoHistory::End() {
  if (!open_) return;
  const DesignState before = std::move(*open_);
  SetOpen(std::nullopt);
  Push(openName_, before, false);
}

void UndoHistory::SetOpen(std::optional<DesignState> before) {
  open_ = std::move(before);
  if (LastingChanged) LastingChanged();
}

void UndoHistory::Push(const QString& name, const DesignState& before, bool keyed) {
  DesignState after = StateOf(settings_);
  if (after.SameDesign(before)) return;
  Stack.push(new DesignStep(settings_, name, before, std::move(after), keyed));
}

void UndoHistory::Undo() {
  if (CanUndo()) Stack.undo();
}

void UndoHistory::Redo() {
  if (CanRedo()) Stack.redo();
}

void UndoHistory::Clear() {
  if (open_) SetOpen(std::nullopt);
  Stack.clear();
}

}  // namespace flinder
