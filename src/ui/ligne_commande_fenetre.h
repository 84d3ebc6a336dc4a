#pragma once
// The command line wired into the main window's steps: the switch table when
// the window is first shown, the start-up decision (hidden mode runs there),
// the window-mode run at the first paint, and the table freed at closing.
#include "integration/switches.h"

#include <QStringList>
#include <memory>
#include <optional>

namespace korvan {

class TUIForm;

class LigneCommandeFenetre {
public:
    // Installs the steps into the window's hooks for these arguments (the
    // program's arguments 1 to n). The window may outlive this object.
    LigneCommandeFenetre(TUIForm& fenetre, QStringList arguments);

    // How the start-up decision went; none until the window has reached it
    // (an error in an earlier step of the first showing skips it).
    std::optional<IssueDemarrage> issue() const;

private:
    struct Etat;
    std::shared_ptr<Etat> etat_;
};

} // namespace korvan
