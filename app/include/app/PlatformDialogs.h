#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "design/ColourValue.h"
#include "design/ShapeSettings.h"

class QWidget;

namespace flinder {

// The title of message boxes that have none of their own.
inline const QString ApplicationTitle = QStringLiteral("GIF Flender");

// A file type the save dialog offers: its label with the patterns it shows,
// and the extension a name typed without one gets.
struct SaveFileType {
  QString Label;
  QString Extension;
};

// The save dialog's answer: the file and the index of the type chosen.
struct SaveFileChoice {
  QString FileName;
  int Type = 0;
};

// The platform's dialogs, behind one seam so tests can answer them.
class PlatformDialogs {
 public:
  virtual ~PlatformDialogs() = default;

  // The colour dialog, opened on `current`; nothing when it was cancelled.
  virtual std::optional<ColourValue> PickColour(QWidget* parent, ColourValue current) = 0;
  // A message box with an OK button and the application's title.
  virtual void ShowMessage(QWidget* parent, const QString& text) = 0;
  // A question with Yes and No and the question icon; true for Yes.
  virtual bool AskYesNo(QWidget* parent, const QString& text) = 0;
  // The save-file dialog opened on `suggested` (a path) with `types[selected]`
  // chosen; nothing when cancelled.
  virtual std::optional<SaveFileChoice> AskSaveFileName(QWidget* parent, const QString& title,
                                                        const std::vector<SaveFileType>& types,
                                                        int selected, const QString& suggested) = 0;
  // The folder dialog opened on the folder `suggested`; nothing when cancelled.
  virtual std::optional<QString> AskFolder(QWidget* parent, const QString& title,
                                           const QString& suggested) = 0;
  // The font dialog opened on `initial`; nothing when cancelled.
  virtual std::optional<CaptionFont> ChooseFont(QWidget* parent, const CaptionFont& initial) = 0;
  // Opens `url` with the desktop's handler; `failed` runs, later, when the
  // handler is missing or ends with an error.
  virtual void OpenUrl(const QString& url, std::function<void()> failed) = 0;
};

// The real dialogs of the desktop.
class QtPlatformDialogs : public PlatformDialogs {
 public:
  std::optional<ColourValue> PickColour(QWidget* parent, ColourValue current) override;
  void ShowMessage(QWidget* parent, const QString& text) override;
  bool AskYesNo(QWidget* parent, const QString& text) override;
  std::optional<SaveFileChoice> AskSaveFileName(QWidget* parent, const QString& title,
                                                const std::vector<SaveFileType>& types,
                                                int selected, const QString& suggested) override;
  std::optional<QString> AskFolder(QWidget* parent, const QString& title,
                                   const QString& suggested) override;
  std::optional<CaptionFont> ChooseFont(QWidget* parent, const CaptionFont& initial) override;
  void OpenUrl(const QString& url, std::function<void()> failed) override;
};

}  // namespace flinder
