#include "engine/schroedinger.h"

#include "engine/grid.h"
#include "engine/observer.h"

namespace tervane {

struct SchroedingerPhase::Impl {
    Grid& grid;
    SchroedingerSettings settings;
    Observer& observer;
};

SchroedingerPhase::SchroedingerPhase(Grid& grid, const SchroedingerSettings& settings, Observer& observer)
    : impl_(std::make_unique<Impl>(Impl{grid, settings, observer}))
{
}

SchroedingerPhase::~SchroedingerPhase() = default;

bool SchroedingerPhase::prepare(bool)
{
    impl_->observer.message("The Schroedinger solver is not available in this build");
    return false;
}

int SchroedingerPhase::pass(bool) { return 0; }

void SchroedingerPhase::finish() {}

}  // namespace tervane
