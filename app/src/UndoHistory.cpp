#include "app/UndoHistory.h"

#include <QElapsedTimer>
#include <QUndoCommand>

namespace flinder {
namespace {

using Joining = UndoHistory::Joining;

// Keys typed closer together than this make one step.
constexpr qint64 TypingPauseMs = 1500;
constexpr int TypingId = 1;
constexpr int HeldKeyId = 2;

class DesignStep : public QUndoCommand {
 public:
  DesignStep(ShapeSettings& settings, const QString& name, DesignState before, DesignState after,
             Joining joining)
      : QUndoCommand(name),
        settings_(settings),
        before_(std::move(before)),
        after_(std::move(after)),
        joining_(joining) {
    lastKey_.start();
  }

  // The edit has been made already when the step is pushed.
  void redo() override {
    if (!std::exchange(done_, false)) ChangeDesign(settings_, before_, after_);
  }
  void undo() override { ChangeDesign(settings_, after_, before_); }

  int id() const override {
    switch (joining_) {
      case Joining::Typing: return TypingId;
      case Joining::KeyPress:
      case Joining::KeyRepeat: return HeldKeyId;
      case Joining::Never: break;
    }
    return -1;
  }
  bool mergeWith(const QUndoCommand* other) override {
    const auto* next = static_cast<const DesignStep*>(other);
    const bool joins = joining_ == Joining::Typing
                           ? lastKey_.elapsed() <= TypingPauseMs
                           : next->joining_ == Joining::KeyRepeat && next->text() == text();
    if (!joins) return false;
    after_ = next->after_;
    lastKey_.restart();
    setObsolete(after_.SameDesign(before_));
    return true;
  }

 private:
  ShapeSettings& settings_;
  DesignState before_, after_;
  Joining joining_;
  bool done_ = true;
  QElapsedTimer lastKey_;
};

}  // namespace

void UndoHistory::Record(const QString& name, const std::function<void()>& edit, Joining joining) {
  if (Lasting()) return edit();
  const DesignState before = StateOf(settings_);
  edit();
  Push(name, before, joining);
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
  Push(openName_, before, Joining::Never);
}

void UndoHistory::SetOpen(std::optional<DesignState> before) {
  open_ = std::move(before);
  if (LastingChanged) LastingChanged();
}

void UndoHistory::Push(const QString& name, const DesignState& before, Joining joining) {
  DesignState after = StateOf(settings_);
  if (after.SameDesign(before)) return;
  Stack.push(new DesignStep(settings_, name, before, std::move(after), joining));
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
