// korvan-info: prints what Korvan reads from each AVI file given, as JSON.
#include "analysis/aviinfo.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    for (const QString& chemin : QCoreApplication::arguments().mid(1)) {
        QJsonObject o;
        o["chemin"] = chemin;
        try {
            const korvan::TFriendlyAviParam avi(chemin.toStdString());
            o["valide"] = avi.valide;
            o["codecVideoReader"] = QString::fromLatin1(avi.CodecVideo().str().c_str(), 4);
        } catch (const std::exception&) {
            o["valide"] = false;
        }
        std::printf("%s\n", QJsonDocument(o).toJson(QJsonDocument::Compact).constData());
    }
    return 0;
}
