#pragma once
// The version of the media libraries the pipelines run on, shown where a
// user looks for the media framework's version (system report, about panel).
#include <QString>

namespace korvan {

// "FFmpeg 5.1.6 (libavformat 59.27.100, libavcodec 59.37.100)"; "Erreur" when unknown.
QString VersionDirectX();

} // namespace korvan
