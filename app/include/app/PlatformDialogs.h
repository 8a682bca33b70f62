#pragma once

#include <QString>
#include <optional>

#include "design/ColourValue.h"

class QWidget;

namespace flinder {

// The title of message boxes that have none of their own.
inline const QString ApplicationTitle = QStringLiteral("GIF Flender");

// The platform's dialogs, behind one seam so tests can answer them.
class PlatformDialogs {
 public:
  virtual ~PlatformDialogs() = default;

  // The colour dialog, opened on `current`; nothing when it was cancelled.
  virtual std::optional<ColourValue> PickColour(QWidget* parent, ColourValue current) = 0;
  // A message box with an OK button and the application's title.
  virtual void ShowMessage(QWidget* parent, const QString& text) = 0;
};

// The real dialogs of the desktop.
class QtPlatformDialogs : public PlatformDialogs {
 public:
  std::optional<ColourValue> PickColour(QWidget* parent, ColourValue current) override;
  void ShowMessage(QWidget* parent, const QString& text) override;
};

}  // namespace flinder
