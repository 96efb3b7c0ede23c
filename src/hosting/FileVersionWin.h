#pragma once

#include "hosting/FileVersion.h"

#include <string>

// The fixed file version from FileName's version resource; false (and 0.0.0.0)
// when it has none or the resource is malformed.
bool GetFileVersion(const std::string& FileName, TFileVersion& V);
