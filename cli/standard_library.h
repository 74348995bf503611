#pragma once

#include <string>

namespace tervane::cli {

// The standard materials library that ships with the tool, as the build and the installation lay
// it out: <folder of tervane-cli>/../share/tervane/materials/standard.toml. The build tree mirrors
// the installed tree (the tool in <build>/cli, the library in <build>/share), so the same relative
// path serves both. Empty when the tool cannot tell where its own executable is.
std::string standardLibraryPath();

// The path relative to the tool's folder, for messages and help.
inline constexpr const char* standardLibraryRelativePath = "../share/tervane/materials/standard.toml";

} // namespace tervane::cli
