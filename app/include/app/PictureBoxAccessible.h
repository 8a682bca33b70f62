#pragma once

namespace flinder {

// Lets screen readers read picture boxes: a slider's name and value, a
// button's name, the preview's name and what it shows.
void InstallPictureBoxAccessibility();

}  // namespace flinder
