// Locks between processes: a child holds the table, the test process tries to use it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "table/table.h"
#include "table/held_by_another_process.h"
#include "table/test_support.h"

namespace mudalinx::table {
namespace {

using testing::sampleDef;
using testing::HeldByAnotherProcess;
using testing::ScratchFolder;

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
  HeldByAnotherProcess holder(folder.path(), "PROFT", Access::Exclusive);
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
  HeldByAnotherProcess holder(folder.path(), "PROFT", Access::Shared);
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
