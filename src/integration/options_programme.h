#pragma once
// The two options a shell user tries first, answered on the standard output
// without a window or a display: "--help" and "--version".
#include <QString>
#include <QStringList>
#include <optional>

namespace korvan {

// The text to print for the first of those options among the arguments;
// none when there is neither (the arguments are then the program's own).
std::optional<QString> ReponseOptionProgramme(const QStringList& arguments);

} // namespace korvan
