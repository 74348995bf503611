#pragma once

#include <utility>

// An interface with one implementation in use at a time: the program's own, which
// Interface::standard() returns, unless a test installed another in its place.
template <class Interface> class Installable {
  public:
    // The implementation in use.
    static Interface& current() { return installed_ ? *installed_ : Interface::standard(); }
    // Installs `replacement` (not owned) and returns the one it replaces; nullptr goes back to the
    // program's own.
    static Interface* install(Interface* replacement) { return std::exchange(installed_, replacement); }

  private:
    static inline Interface* installed_ = nullptr;
};
