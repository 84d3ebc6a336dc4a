// korvan-filtres: the media filters this machine offers and the presence
// report. A program of its own because the checks load the media libraries,
// which korvan-info's entries never need (it runs it for --filters).
#include "filtres.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return afficherFiltres();
}
