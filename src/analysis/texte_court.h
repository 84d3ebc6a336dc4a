#pragma once
// Short strings: the texts exchanged with commands and plug-ins, and those the
// filters keep, hold at most 255 characters.
#include <QString>
#include <QStringList>

#include <cstddef>

namespace korvan {

inline constexpr int kLongueurChaineCourte = 255;

// The text cut to at most 255 UTF-16 code units; a cut that would fall
// between the two halves of a surrogate pair falls one unit earlier.
QString ChaineCourte(const QString& texte);

// The first wording shorter than a short string; when none is, the last one
// cut to that length.
QString QuestionCourte(const QStringList& formulations);

// How many of the n bytes of UTF-8 text fit in at most max bytes without
// cutting a character in two: the rule of records that store a text behind a
// one-byte length.
size_t LongueurUtf8Coupee(const char* octets, size_t n, size_t max);

} // namespace korvan
