// UTF-8 <-> UTF-16 conversion and raw stdout output for the probe.
#pragma once
#include <string>

std::string ToUtf8(const std::wstring& s);
std::wstring FromUtf8(const std::string& s);
// Reads a whole UTF-8 file; the harness passes long or exact texts this way, not on the command line.
// On failure says so on stderr.
bool ReadUtf8File(const std::wstring& path, std::wstring& text);
// Writes bytes unchanged: stdout is switched to binary so CR LF pairs reach the caller exactly.
void WriteOut(const std::string& bytes);
void WriteLine(const std::string& line);
