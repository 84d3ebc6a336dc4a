#include "pipelines/version_media.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
}

namespace korvan {

namespace {

QString versionLib(const char* nom, unsigned v)
{
    return QStringLiteral("%1 %2.%3.%4").arg(QLatin1String(nom)).arg(v >> 16).arg((v >> 8) & 0xFF).arg(v & 0xFF);
}

} // namespace

QString VersionDirectX()
{
    const char* texte = av_version_info();
    if (!texte || !*texte)
        return QStringLiteral("Erreur");
    return QStringLiteral("FFmpeg %1 (%2, %3)")
        .arg(QString::fromUtf8(texte), versionLib("libavformat", avformat_version()),
             versionLib("libavcodec", avcodec_version()));
}

} // namespace korvan
