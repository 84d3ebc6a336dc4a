#pragma once
// The one place the main window is put together from the parts the program
// ships; app/main.cpp and the tests build it here.
#include "ui/pieces_fenetre.h"

#include <QStringList>
#include <memory>

namespace korvan {

class TUIForm;

// The shipped parts, for the program's arguments 1 to n.
PiecesFenetre PiecesLivrees(QStringList arguments);
// The window as the program builds it.
std::unique_ptr<TUIForm> AssemblerFenetre(QStringList arguments = {});

} // namespace korvan
