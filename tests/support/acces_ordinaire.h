#pragma once
// Root ignores permission bits. Taking an ordinary user's identity for file
// access (fsuid, this thread only) makes a read-only or unreadable file
// behave as it does for the program's users.
#include <sys/fsuid.h>
#include <unistd.h>

namespace korvan::test {

class AccesOrdinaire {
public:
    AccesOrdinaire()
    {
        if (::geteuid() == 0) {
            ::setfsuid(65534);
            actif_ = true;
        }
    }
    ~AccesOrdinaire()
    {
        if (actif_)
            ::setfsuid(0);
    }
    AccesOrdinaire(const AccesOrdinaire&) = delete;
    AccesOrdinaire& operator=(const AccesOrdinaire&) = delete;

private:
    bool actif_ = false;
};

} // namespace korvan::test
