#pragma once
// The width the window takes while the options or the about panel lies over
// it: the panels' longest lines (the system report's, the folder boxes) fit.

namespace korvan {

inline constexpr int kLargeurPanneau = 600;

} // namespace korvan
