#pragma once

namespace tarn {

// The editor scale the user chose from the editor's menu, kept in the user's settings (one line
// "scale=1.5") for every instance and session. User-interface thread.

// The chosen scale; 0 when the user chose none (or the line is not a usable number).
double readChosenScale();
// Keeps factor as the user's choice, and the settings' other lines as they were; false when
// the settings cannot be written.
bool writeChosenScale(double factor);

} // namespace tarn
