#pragma once
// A file entry as JSON, field names as in the code: what korvan-info prints
// and what scripts read.
#include "analysis/aviFichier.h"

#include <QByteArray>
#include <QJsonObject>

#include <string>

namespace korvan {

// The entry as one compact JSON object, keys in the order QJsonDocument
// writes them (sorted), byte for byte what QJsonDocument would print:
// korvan-info prints thousands of them, and building a QJsonObject for each
// costs as much as reading the file.
QByteArray EntreeVersJsonCompact(const TAfficherFichier& entree);

// The same object, for code that reads fields.
QJsonObject EntreeVersJson(const TAfficherFichier& entree);

// JSON text of a string as QJsonDocument writes it (quotes included).
void AjouterTexteJson(std::string& sortie, const QString& texte);
// JSON text of a number as QJsonDocument writes a QJsonValue(double).
void AjouterNombreJson(std::string& sortie, double nombre);

} // namespace korvan
