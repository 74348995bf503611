#pragma once

namespace tervane {

// The three kinds of carrier with bound states, in the order a Schroedinger pass solves them.
enum class Carrier { Electron = 0, LightHole = 1, HeavyHole = 2 };

inline constexpr Carrier carriers[] = {Carrier::Electron, Carrier::LightHole, Carrier::HeavyHole};

} // namespace tervane
