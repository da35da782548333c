#include "table/held_by_another_process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

namespace mudalinx::table::testing {

HeldByAnotherProcess::HeldByAnotherProcess(const std::filesystem::path& folder, const std::string& name,
                                           Access access) {
  int ready[2];
  int letGo[2];
  // Close-on-exec, so programs the test starts do not keep the pipes open.
  if (::pipe2(ready, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
  if (::pipe2(letGo, O_CLOEXEC) != 0) {
    ::close(ready[0]);
    ::close(ready[1]);
    throw std::runtime_error("pipe");
  }
  child_ = ::fork();
  if (child_ < 0) throw std::runtime_error("fork");
  if (child_ == 0) {
    ::close(ready[0]);
    ::close(letGo[1]);  // else the child would wait on its own end of the pipe
    char state = '0';
    try {
      Table held = Table::open(folder, name, access);
      state = '1';
      (void)!::write(ready[1], &state, 1);
      (void)!::read(letGo[0], &state, 1);
      held.close();
      ::_exit(0);
    } catch (...) {
      (void)!::write(ready[1], &state, 1);
      ::_exit(1);
    }
  }
  ::close(ready[1]);
  ::close(letGo[0]);
  release_ = letGo[1];
  char state = '0';
  const bool holding = ::read(ready[0], &state, 1) == 1 && state == '1';
  ::close(ready[0]);
  if (!holding) {
    release();
    throw std::runtime_error("the other process could not open " + name);
  }
}

int HeldByAnotherProcess::release() {
  if (child_ <= 0) return 0;
  ::close(release_);
  int status = 0;
  ::waitpid(child_, &status, 0);
  child_ = -1;
  return status;
}

}  // namespace mudalinx::table::testing
