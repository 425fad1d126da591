// The command line of drawconv: conversion, info and thumbnail, parsed by CLI11 into plain requests.
#pragma once
#include <string>
#include <vector>

#include "app/RunSettings.h"

namespace cli {

// The size and background options as they were given, ready to hand to a worker process unchanged.
struct ConvertRequest {
    std::vector<std::string> sources; // file names as bytes; "-" is standard input
    std::string files_from; // a list of sources, "-" for standard input
    bool null_separated = false; // the list is separated by NUL bytes instead of line ends
    std::string output; // -o: a file, a folder, "-" for standard output, or empty: beside each source
    std::string format; // -f, lower case without dot; empty: from -o's extension, else png
    detail::RunSettings settings; // size and background
    std::vector<std::string> forwarded; // the size and background options, for worker processes
    unsigned jobs = 0; // 0: one per processor
    bool quiet = false;
    bool progress = false; // a progress line even when stderr is not a terminal
};

struct InfoRequest {
    std::vector<std::string> files;
    bool json = false;
};

struct ThumbnailRequest {
    int size = 0;
    std::string input;
    std::string output;
};

enum class Command { Convert, Info, Thumbnail, Exit };

struct Parsed {
    Command command = Command::Exit;
    int exit_code = 0; // for Command::Exit: help and version 0, a usage error 2
    ConvertRequest convert;
    InfoRequest info;
    ThumbnailRequest thumbnail;
};

// Parses the arguments; help, version and usage errors are printed here and come back as Command::Exit.
Parsed parse_command_line(int argc, char** argv);

// The default resolution over a drawing's paper.
inline constexpr double kDefaultDpi = 150;

} // namespace cli
