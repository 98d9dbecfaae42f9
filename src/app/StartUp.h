#pragma once

// Start-up: the splash window while the main window loads, the empty
// document, and the main window shown at its place.

#include "frmMain.h"

#include <memory>

namespace sorobe {

// The application's name, version and Japanese window font; called once
// after the application object exists and before any window.
void configureApplication();

// Runs the start-up steps and returns the shown main window. The state is
// the run's shared state and must outlive the window.
std::unique_ptr<frmMain> startUp(SharedState& state);

} // namespace sorobe
