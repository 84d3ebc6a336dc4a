#include "commands/interfaces_fenetre.h"

namespace korvan {

int ListeFichiers::nombreSelectionnees() const
{
    int n = 0;
    for (int i = 0; i < nombreLignes(); ++i)
        if (estSelectionnee(i))
            ++n;
    return n;
}

std::vector<int> ListeFichiers::selection() const
{
    std::vector<int> s;
    for (int i = 0; i < nombreLignes(); ++i)
        if (estSelectionnee(i))
            s.push_back(i);
    return s;
}

int ListeFichiers::indexDeEntree(const TAfficherFichier* e) const
{
    if (!e)
        return -1;
    for (int i = 0; i < nombreLignes(); ++i)
        if (entree(i).get() == e)
            return i;
    return -1;
}

} // namespace korvan
