#pragma once

#include <string>

#include "design/ColourValue.h"
#include "design/Switch.h"

namespace flinder {

// What the settings record tells the window layer when it changes: the value
// label, the slider thumb, the preview timer and size, the colour swatch.
// Every notification has an empty default so a listener takes only what it
// needs.
class SettingsObserver {
 public:
  virtual ~SettingsObserver() = default;

  virtual void ValueLabelChanged(int /*index*/, const std::string& /*text*/) {}
  virtual void ThumbMoved(int /*index*/, float /*position*/) {}
  virtual void TimerIntervalChanged(int /*milliseconds*/) {}
  virtual void PreviewWidthChanged(int /*pixels*/) {}
  virtual void PreviewHeightChanged(int /*pixels*/) {}
  virtual void SwatchColourChanged(ColourValue /*colour*/) {}
  // The preview timer is off while a design is read or written.
  virtual void TimerEnabledChanged(bool /*enabled*/) {}
  // A switch was toggled or set (the menu check mark and tool button follow).
  virtual void SwitchChanged(Switch /*which*/, bool /*on*/) {}
  // Another colour slot was selected for rows 10 to 12.
  virtual void SelectedSlotChanged(int /*slot*/) {}
  // Loading a design replaced the caption text and font.
  virtual void CaptionChanged() {}
};

}  // namespace flinder
