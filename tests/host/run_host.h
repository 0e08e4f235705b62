// Runs the built zephyrdome program as a user would and keeps what it said.
#pragma once

#include <string>
#include <vector>

struct HostRun {
    int exitCode = -1;
    std::string errorOutput; // everything written to stderr
    std::vector<std::string> errorLines() const;
};

// `path` replaces PATH for the program when not empty.
HostRun runHost(const std::vector<std::string>& args, const std::string& path = "");

struct PngPicture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
    // Pixels with any channel above 16.
    int litPixels() const;
};

bool readPng(const std::string& path, PngPicture& picture);

// Files in `folder` whose names end in `suffix`, sorted.
std::vector<std::string> filesIn(const std::string& folder, const std::string& suffix = "");
