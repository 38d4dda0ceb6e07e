#pragma once

#include <string>
#include <vector>

// Exit code for a command line that could not be used.
constexpr int kExitBadUsage = 2;

// What the command line asks for. When exit is true the program prints output
// to standard output and ends with exitCode; otherwise it starts in startMode, or
// with checkRunning only says whether an instance already runs for this user.
struct CommandLineResult
{
    int startMode = 0; // 0 end user, 1 manufacturing
    bool checkRunning = false;
    bool exit = false;
    int exitCode = 0;
    std::string output;
};

// The usage text, ending with an empty line.
const std::string &UsageText();

// Reads the switches (the arguments after the program name) left to right.
// Uses no part of the toolkit: it runs before the application object exists.
CommandLineResult ParseCommandLine(const std::vector<std::string> &args);
CommandLineResult ParseCommandLine(int argc, char **argv);
