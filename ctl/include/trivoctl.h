#pragma once

// Runs the command-line tool on the process's arguments; returns its exit status.
int TrivoctlMain(int argc, char **argv);
