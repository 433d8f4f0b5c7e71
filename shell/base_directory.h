#pragma once
// The client's base directory: the working directory at start-up, from which
// every data path of the program is built.
#include <filesystem>

namespace shell {

const std::filesystem::path& BaseDirectory();
void SetBaseDirectory(const std::filesystem::path& dir);

}  // namespace shell
