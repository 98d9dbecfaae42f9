#pragma once

// Start-up: the splash window while the main window loads, the empty
// document, and the main window shown at its place.

#include "frmMain.h"

#include <memory>

namespace sorobe {

// The application's name, version and Japanese window font; called once
// after the application object exists and before any window.
void configureApplication();

// Runs the start-up steps and returns the shown main window, with the
// ledger file opened when one is named (a file that cannot be read is said so
// in a message over the empty window). The state is the run's shared state
// and must outlive the window.
std::unique_ptr<frmMain> startUp(SharedState& state, const QString& ledger = QString());

} // namespace sorobe
