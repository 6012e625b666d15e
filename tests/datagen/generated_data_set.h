#pragma once
// The default data set as `vxdata` writes it, generated once per build of
// the generator and shared by every test (and test process) that reads it.
#include <string>

namespace vxtest {

// The folder holding the generated game data; empty (and a test failure
// recorded) when the generator could not be run.
const std::string& GeneratedDataSet();

// Runs the generator into `folder`; true on success.
bool RunGenerator(const std::string& folder);

}  // namespace vxtest
