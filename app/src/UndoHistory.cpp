#include "app/UndoHistory.h"

#include <QElapsedTimer>
#include <QUndoCommand>

namespace flinder {
namespace {

// Keys typed closer together than this make one step.
constexpr qint64 TypingPauseMs = 1500;
constexpr int TypingId = 1;

class DesignStep : public QUndoCommand {
 public:
  DesignStep(ShapeSettings& settings, const QString& name, DesignState before, DesignState after,
             bool typing)
      : QUndoCommand(name),
        settings_(settings),
        before_(std::move(before)),
        after_(std::move(after)),
        typing_(typing) {
    lastKey_.start();
  }

  // The edit has been made already when the step is pushed.
  void redo() override {
    if (!std::exchange(done_, false)) ChangeDesign(settings_, before_, after_);
  }
  void undo() override { ChangeDesign(settings_, after_, before_); }

  int id() const override { return typing_ ? TypingId : -1; }
  bool mergeWith(const QUndoCommand* other) override {
    if (lastKey_.elapsed() > TypingPauseMs) return false;
    after_ = static_cast<const DesignStep*>(other)->after_;
    lastKey_.restart();
    setObsolete(after_.SameDesign(before_));
    return true;
  }

 private:
  ShapeSettings& settings_;
  DesignState before_, after_;
  bool typing_;
  bool done_ = true;
  QElapsedTimer lastKey_;
};

}  // namespace

void UndoHistory::Record(const QString& name, const std::function<void()>& edit, bool typing) {
  End();
  const DesignState before = StateOf(settings_);
  edit();
  Push(name, before, typing);
}

void UndoHistory::Begin(const QString& name) {
  End();
  open_ = StateOf(settings_);
  openName_ = name;
}

void UndoHistory::End() {
  if (!open_) return;
  const DesignState before = std::move(*open_);
  open_.reset();
  Push(openName_, before, false);
}

void UndoHistory::Push(const QString& name, const DesignState& before, bool typing) {
  DesignState after = StateOf(settings_);
  if (after.SameDesign(before)) return;
  Stack.push(new DesignStep(settings_, name, before, std::move(after), typing));
}

void UndoHistory::Undo() {
  End();
  Stack.undo();
}

void UndoHistory::Redo() {
  End();
  Stack.redo();
}

void UndoHistory::Clear() {
  open_.reset();
  Stack.clear();
}

}  // namespace flinder
