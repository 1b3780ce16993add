#pragma once

#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <ostream>

namespace rules {

// For the build's generators: writes a file under a temporary name and
// renames it when complete, so a failed run never leaves a truncated file
// that the build takes as up to date. Says what failed, as tool, on stderr.
inline bool writeWholeFile(const std::filesystem::path &path, const char *tool,
                           const std::function<void(std::ostream &)> &write)
{
    std::filesystem::path partialPath = path;
    partialPath += ".partial";
    {
        std::ofstream output(partialPath, std::ios::binary | std::ios::trunc);
        write(output);
        output.close();
        if (!output) {
            std::cerr << tool << ": cannot write " << partialPath.string() << '\n';
            std::error_code ignored;
            std::filesystem::remove(partialPath, ignored);
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(partialPath, path, error);
    if (error) {
        std::cerr << tool << ": cannot rename " << partialPath.string() << " to " << path.string() << ": "
                  << error.message() << '\n';
        std::filesystem::remove(partialPath, error);
        return false;
    }
    return true;
}

} // namespace rules
