// Locks between processes: a child holds the table, the test process tries to use it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "table/table.h"
#include "table/test_support.h"

namespace mudalinx::table {
namespace {

using testing::sampleDef;
using testing::ScratchFolder;

// A child process that opens the table with ACCESS and holds it until release().
class Holder {
 public:
  Holder(const std::filesystem::path& folder, Access access) {
    int ready[2], done[2];
    if (pipe(ready) != 0 || pipe(done) != 0) throw std::runtime_error("pipe");
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork");
    if (pid_ == 0) {
      close(ready[0]);
      close(done[1]);  // else the child would wait on its own end of the pipe
      char byte = 'x';
      try {
        Table table = Table::open(folder, "PROFT", access);
        (void)!write(ready[1], &byte, 1);
        (void)!read(done[0], &byte, 1);
        table.close();
        _exit(0);
      } catch (...) {
        _exit(1);
      }
    }
    close(ready[1]);
    close(done[0]);
    done_ = done[1];
    char byte = 0;
    const bool opened = read(ready[0], &byte, 1) == 1;
    close(ready[0]);
    if (!opened) throw std::runtime_error("the holder could not open the table");
  }
  Holder(const Holder&) = delete;
  Holder& operator=(const Holder&) = delete;
  ~Holder() { release(); }

  int release() {
    if (pid_ <= 0) return 0;
    close(done_);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = 0;
    return status;
  }

 private:
  pid_t pid_ = 0;
  int done_ = -1;
};

void createTeachers(const std::filesystem::path& folder) {
  createTable(folder, sampleDef("PROFT"));
  Table table = Table::open(folder, "PROFT", Access::Exclusive);
  table.append();
  table.setText("NOMBRE", "Ana");
  table.post();
}

TEST(TableLocks, AnExclusiveHolderKeepsEveryoneOut) {
  ScratchFolder folder;
  createTeachers(folder.path());
  Holder holder(folder.path(), Access::Exclusive);
  const std::string message =
      "La tabla PROFT está en uso por otro programa (" + (folder / "PROFT.DBF").string() + ").";
  for (const Access access : {Access::Exclusive, Access::Shared}) {
    try {
      Table::open(folder.path(), "PROFT", access);
      ADD_FAILURE() << "opened";
    } catch (const TableInUseError& e) {
      EXPECT_EQ(std::string(e.what()), message);
    }
  }
  EXPECT_THROW(removeTableFiles(folder.path(), "PROFT"), TableInUseError);
  EXPECT_THROW(createTable(folder.path(), sampleDef("PROFT")), TableInUseError);
  EXPECT_TRUE(std::filesystem::exists(folder / "PROFT.DBF"));

  EXPECT_EQ(holder.release(), 0);
  Table table = Table::open(folder.path(), "PROFT", Access::Exclusive);
  EXPECT_EQ(table.recordCount(), 1U);  // the refused calls changed nothing
}

TEST(TableLocks, SharedHoldersAdmitReadersButNoWriter) {
  ScratchFolder folder;
  createTeachers(folder.path());
  Holder holder(folder.path(), Access::Shared);
  Table reader = Table::open(folder.path(), "PROFT", Access::Shared);
  EXPECT_EQ(reader.recordCount(), 1U);
  EXPECT_THROW(Table::open(folder.path(), "PROFT", Access::Exclusive), TableInUseError);
  EXPECT_THROW(reader.append(), TableInUseError);  // writing needs the table alone
  EXPECT_THROW(removeTableFiles(folder.path(), "PROFT"), TableInUseError);

  EXPECT_EQ(holder.release(), 0);
  reader.append();
  reader.setText("NOMBRE", "Luis");
  reader.post();
  EXPECT_THROW(Table::open(folder.path(), "PROFT", Access::Shared), TableInUseError);
  reader.close();
  removeTableFiles(folder.path(), "PROFT");
  EXPECT_FALSE(std::filesystem::exists(folder / "PROFT.DBF"));
}

TEST(TableLocks, TwoOpensInOneProcessConflictToo) {
  ScratchFolder folder;
  createTeachers(folder.path());
  Table first = Table::open(folder.path(), "PROFT", Access::Exclusive);
  EXPECT_THROW(Table::open(folder.path(), "PROFT", Access::Shared), TableInUseError);
  first.close();
  EXPECT_NO_THROW(Table::open(folder.path(), "PROFT", Access::Exclusive));
}

}  // namespace
}  // namespace mudalinx::table
