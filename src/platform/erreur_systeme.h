#pragma once
// The system's own text for an error number, in the user's language when the
// system has it (the C library's messages follow LC_MESSAGES, which Qt's
// application object takes from the environment).
#include <QString>

namespace korvan {

QString TexteErreurSysteme(int erreur);

} // namespace korvan
