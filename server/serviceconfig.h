#pragma once

#include <string>

// What the routes serve besides the database.
struct ServiceConfig {
    std::string versionText = "1.0.0";
    // Empty: no installer, its path answers 404.
    std::string installerPath;
};
