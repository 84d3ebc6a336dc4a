#include "apercu_aide.h"

#include <QDir>
#include <QTemporaryDir>

#include <mutex>

namespace korvan::test {

const std::string& clipLongPal()
{
    static QTemporaryDir dossier;
    static std::string chemin;
    static std::once_flag fait;
    std::call_once(fait, [] {
        if (!dossier.isValid())
            return;
        const QString dv = dossier.filePath(QStringLiteral("long.dv"));
        const QString avi = dossier.filePath(QStringLiteral("long_pal.avi"));
        // The raw DV muxer writes the time code and recording date packs; the
        // AVI muxer then wraps the frames as DV type 2.
        const int r1 = QProcess::execute(
            QStringLiteral("ffmpeg"),
            {"-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=720x576:rate=25", "-f",
             "lavfi", "-i", "sine=frequency=440:sample_rate=48000", "-t", "62", "-c:v", "dvvideo", "-pix_fmt",
             "yuv420p", "-c:a", "pcm_s16le", "-ac", "2", "-ar", "48000", "-timecode", "00:00:00:00", "-metadata",
             "creation_time=2004-07-14T10:31:05", "-f", "dv", dv});
        const int r2 = r1 == 0 ? QProcess::execute(QStringLiteral("ffmpeg"),
                                                   {"-hide_banner", "-loglevel", "error", "-y", "-i", dv, "-c", "copy",
                                                    avi})
                               : -1;
        QFile::remove(dv);
        if (r2 == 0)
            chemin = avi.toStdString();
    });
    return chemin;
}

} // namespace korvan::test
