// For tests: a child process that opens a table and holds it, as the timetabler would,
// until it is released.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>

#include "table/table.h"

namespace mudalinx::table::testing {

class HeldByAnotherProcess {
 public:
  // Returns once the child holds TABLE of FOLDER with ACCESS; throws std::runtime_error
  // when the child could not open it.
  HeldByAnotherProcess(const std::filesystem::path& folder, const std::string& name,
                       Access access = Access::Exclusive);
  HeldByAnotherProcess(const HeldByAnotherProcess&) = delete;
  HeldByAnotherProcess& operator=(const HeldByAnotherProcess&) = delete;
  ~HeldByAnotherProcess() { release(); }

  // Lets the child close the table and end; its exit status (0 when it closed cleanly).
  int release();

 private:
  pid_t child_ = -1;
  int release_ = -1;
};

}  // namespace mudalinx::table::testing
