#pragma once

#include <QString>

#include <cstdio>

// What every program of the project writes the same way: its exit statuses and its lines on
// standard output and standard error.
namespace itinerary {

inline constexpr int ExitOk = 0;
inline constexpr int ExitFailed = 1;
// The command line was refused (after saying why).
inline constexpr int ExitUsage = 2;

// Writes the text as UTF-8 and flushes, so that a program reading the pipe sees it at once.
void writeTo(std::FILE *stream, const QString &text);

// "PROGRAM: TEXT" as a line on standard error.
void printProgramError(const char *program, const QString &text);

} // namespace itinerary
