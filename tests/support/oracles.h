#pragma once
// Independent readers as test oracles for the files the program writes:
// ffprobe's streams, packets and format, MediaInfo's tracks, ffmpeg's
// decoding of a sound stream, and a file's SHA-256 for golden outputs.
#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

#include <string>

namespace korvan::test {

inline QByteArray sortieDe(const QString& programme, const QStringList& arguments, int delaiMs = 120000)
{
    QProcess p;
    p.start(programme, arguments);
    if (!p.waitForFinished(delaiMs))
        p.kill();
    return p.readAllStandardOutput();
}

// ffprobe's streams (with their packet counts) and format.
inline QJsonObject ffprobe(const std::string& chemin, bool compterPaquets = true)
{
    QStringList a{"-v", "error", "-show_streams", "-show_format", "-of", "json"};
    if (compterPaquets)
        a << "-count_packets";
    return QJsonDocument::fromJson(sortieDe("ffprobe", a << QString::fromStdString(chemin))).object();
}

inline QJsonArray fluxFfprobe(const QJsonObject& sonde)
{
    return sonde.value("streams").toArray();
}

// MediaInfo's track of that type ("General", "Video", "Audio"), the n-th of them.
inline QJsonObject pisteMediaInfo(const std::string& chemin, const QString& type, int n = 0)
{
    const QJsonObject o =
        QJsonDocument::fromJson(sortieDe("mediainfo", {"--Output=JSON", QString::fromStdString(chemin)})).object();
    for (const QJsonValue& t : o.value("media").toObject().value("track").toArray())
        if (t.toObject().value("@type").toString() == type && n-- == 0)
            return t.toObject();
    return {};
}

// The sound stream of that rank as ffmpeg decodes it, 16-bit little-endian
// interleaved; entree: ffmpeg's input arguments (["-i", path] or ["-f", "dv", "-i", path]).
inline QByteArray sonFFmpeg(const QStringList& entree, int flux = 0)
{
    return sortieDe("ffmpeg", QStringList{"-hide_banner", "-loglevel", "error"} + entree +
                                  QStringList{"-map", QStringLiteral("0:a:%1").arg(flux), "-f", "s16le", "-acodec",
                                              "pcm_s16le", "-"});
}

inline QByteArray sonFFmpeg(const std::string& chemin, int flux = 0)
{
    return sonFFmpeg(QStringList{"-i", QString::fromStdString(chemin)}, flux);
}

inline QString sha256(const std::string& chemin)
{
    QFile f(QString::fromStdString(chemin));
    QCryptographicHash h(QCryptographicHash::Sha256);
    if (!f.open(QIODevice::ReadOnly) || !h.addData(&f))
        return {};
    return QString::fromLatin1(h.result().toHex());
}

} // namespace korvan::test
