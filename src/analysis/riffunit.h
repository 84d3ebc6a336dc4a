#pragma once
// The RIFF structure report: one line per chunk, indented by nesting depth,
// with the AVI headers that matter for DV (main header, stream headers,
// stream formats, DV format blocks, index headers) decoded field by field.
// Stream data ("movi") and the old index ("idx1") are passed over. The
// window shows these lines and korvan-info --riff prints them.
#include "analysis/dateheure.h"
#include "analysis/file_io.h"

#include <QString>
#include <QStringList>

namespace korvan {

// What the frame of the report names besides the file.
struct EnteteRapportRiff {
    QString version; // versionProgramme
    QString siteWeb;
    TDateTime maintenant = 0; // when the report starts
};

// Where the lines go, and how the walk learns that the user gave up.
class SortieRapportRiff {
public:
    virtual ~SortieRapportRiff() = default;
    virtual void ajouterLigne(const QString& ligne) = 0;
    // Asked before each chunk and each child: the window handles its events
    // there; true once the user has closed the report (annuleRapport).
    virtual bool annuleRapport() { return false; }
};

struct IssueRapportRiff {
    bool annule = false;        // the user closed the report during the walk
    bool finInattendue = false; // a read came back short
};

// Writes the whole report of the source, whose path chemin names it in the
// frame. Reads go through the source; its I/O errors propagate (FileError).
// However crafted the bytes, the walk reads at most about one chunk header
// per four bytes and nests at most kProfondeurMaxRapport lists deep, so the
// report stays proportional to the file.
IssueRapportRiff EcrireRapportRiff(const ByteSource& source, const QString& chemin, const EnteteRapportRiff& entete,
                                   SortieRapportRiff& sortie);

// The report's lines, never cancelled.
QStringList RapportRiff(const ByteSource& source, const QString& chemin, const EnteteRapportRiff& entete);

inline constexpr int kProfondeurMaxRapport = 64;

} // namespace korvan
