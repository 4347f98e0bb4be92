// Minimal JSON string quoting for the probe's machine-readable output.
#pragma once
#include <string>

std::string JsonString(const std::wstring& s);
