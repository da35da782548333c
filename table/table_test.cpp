#include "table/table.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "table/file_handle.h"
#include "table/test_support.h"

namespace mudalinx::table {
namespace {

using testing::byteAt;
using testing::le32At;
using testing::readBytes;
using testing::sampleDef;
using testing::ScratchFolder;
using testing::writeBytes;

void addRow(Table& table, std::string_view name, long long quantity, double price, bool active) {
  table.append();
  table.setText("NOMBRE", name);
  table.setInteger("CANTIDAD", quantity);
  table.setNumber("PRECIO", price);
  table.setLogical("ACTIVO", active);
  table.post();
}

std::vector<std::string> column(Table& table, std::string_view field) {
  std::vector<std::string> values;
  for (table.first(); !table.eof(); table.next()) values.push_back(table.text(field));
  return values;
}

TEST(CreateTable, WritesTheDBase4HeaderAndDescriptors) {
  ScratchFolder folder;
  createTable(folder.path(), sampleDef());
  const std::string bytes = readBytes(folder / "MUESTRA.DBF");
  ASSERT_EQ(bytes.size(), 32U + 4 * 32 + 1 + 1);
  EXPECT_EQ(byteAt(bytes, 0), 0x03U);
  EXPECT_EQ(le32At(bytes, 4), 0U);
  EXPECT_EQ(byteAt(bytes, 8) | byteAt(bytes, 9) << 8, 32U + 4 * 32 + 1);
  EXPECT_EQ(byteAt(bytes, 10) | byteAt(bytes, 11) << 8, 1U + 12 + 11 + 20 + 1);
  EXPECT_EQ(byteAt(bytes, 28), 0U);
  EXPECT_EQ(byteAt(bytes, 29), 0x57U);
  EXPECT_EQ(byteAt(bytes, 32 + 4 * 32), 0x0DU);
  EXPECT_EQ(byteAt(bytes, bytes.size() - 1), 0x1AU);

  struct Expected {
    const char* name;
    char type;
    unsigned width, decimals;
  };
  const Expected expected[] = {{"NOMBRE", 'C', 12, 0}, {"CANTIDAD", 'N', 11, 0}, {"PRECIO", 'N', 20, 4}, {"ACTIVO", 'L', 1, 0}};
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const std::size_t at = 32 + 32 * i;
    SCOPED_TRACE(expected[i].name);
    EXPECT_EQ(std::string(bytes.c_str() + at), expected[i].name);
    EXPECT_EQ(bytes[at + 11], expected[i].type);
    EXPECT_EQ(byteAt(bytes, at + 16), expected[i].width);
    EXPECT_EQ(byteAt(bytes, at + 17), expected[i].decimals);
    EXPECT_EQ(byteAt(bytes, at + 31), 0U);
  }
}

TEST(CreateTable, RefusesDefinitionsItCannotStore) {
  struct Case {
    const char* what;
    TableDef def;
  };
  TableDef longName = sampleDef();
  longName.fields.push_back({"NOMBRE_LARGO", FieldType::Text, 5});
  TableDef repeated = sampleDef();
  repeated.fields.push_back({"nombre", FieldType::Text, 5});
  TableDef wide = sampleDef();
  wide.fields[0].width = 255;
  TableDef badIndex = sampleDef();
  badIndex.indexes = {{"IDX", "NADA"}};
  TableDef noFields;
  noFields.name = "VACIA";
  TableDef outside = sampleDef("../FUERA");
  const Case cases[] = {{"name over 10 characters at level 4", longName},
                        {"repeated name", repeated},
                        {"text wider than 254", wide},
                        {"index on a missing field", badIndex},
                        {"no fields", noFields},
                        {"table name that leaves the folder", outside}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder folder;
    try {
      createTable(folder.path(), c.def);
      ADD_FAILURE() << "accepted";
    } catch (const TableError& e) {
      EXPECT_NE(std::string(e.what()).find("no es válida"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
  }
}

TEST(Table, ReadsBackWhatWasWrittenInEveryType) {
  ScratchFolder folder;
  createTable(folder.path(), sampleDef());
  {
    Table table = Table::open(folder.path(), "MUESTRA", Access::Exclusive);
    addRow(table, " N\xFA\xF1" "ez", 42, 3.5, true);
    addRow(table, "Zo\xEB", -7, -0.25, false);
    table.append();
    table.post();  // every field unset
  }
  Table table = Table::open(folder.path(), "muestra.dbf", Access::Shared);
  EXPECT_EQ(table.name(), "MUESTRA");
  ASSERT_EQ(table.recordCount(), 3U);
  table.first();
  EXPECT_EQ(table.text("NOMBRE"), " N\xFA\xF1" "ez");  // leading blank kept
  EXPECT_EQ(table.text("cantidad"), "42");
  EXPECT_EQ(table.integer("CANTIDAD"), 42);
  EXPECT_EQ(table.text("PRECIO"), "3.5");
  EXPECT_DOUBLE_EQ(table.number("PRECIO"), 3.5);
  EXPECT_EQ(table.text("ACTIVO"), "T");
  EXPECT_TRUE(table.logical("ACTIVO"));
  table.next();
  EXPECT_EQ(table.text("CANTIDAD"), "-7");
  EXPECT_EQ(table.text("PRECIO"), "-0.25");
  EXPECT_EQ(table.text("ACTIVO"), "F");
  table.next();
  EXPECT_EQ(table.recordNumber(), 3U);
  for (const char* field : {"NOMBRE", "CANTIDAD", "PRECIO", "ACTIVO"}) {
    EXPECT_TRUE(table.isBlank(field)) << field;
    EXPECT_EQ(table.text(field), "") << field;
  }
  EXPECT_EQ(table.integer("CANTIDAD"), 0);
  EXPECT_FALSE(table.logical("ACTIVO"));
  table.next();
  EXPECT_TRUE(table.eof());
  EXPECT_EQ(table.text("NOMBRE"), "");  // past the end every value is unset
}

TEST(Table, StoresNumbersRightJustifiedAndCutsOnlyText) {
  ScratchFolder folder;
  createTable(folder.path(), sampleDef());
  Table table = Table::open(folder.path(), "MUESTRA", Access::Exclusive);
  table.append();
  EXPECT_TRUE(table.setText("NOMBRE", "Una descripción larga"));
  EXPECT_FALSE(table.setText("ACTIVO", "t"));
  table.setInteger("CANTIDAD", 1);
  table.setNumber("PRECIO", 2.5);
  table.post();
  EXPECT_EQ(table.text("NOMBRE"), "Una descripc");
  table.append();
  EXPECT_THROW(table.setInteger("CANTIDAD", 123456789012LL), TableError);  // 12 digits in 11
  EXPECT_THROW(table.setText("CANTIDAD", "doce"), TableError);
  EXPECT_THROW(table.setText("ACTIVO", "quizá"), TableError);
  EXPECT_THROW(table.setLogical("NOMBRE", true), TableError);
  table.setText("CANTIDAD", " 12 ");
  table.post();
  EXPECT_EQ(table.integer("CANTIDAD"), 12);
  table.close();

  const std::string bytes = readBytes(folder / "MUESTRA.DBF");
  const std::size_t record = 32 + 4 * 32 + 1;
  EXPECT_EQ(bytes.substr(record, 1 + 12 + 11 + 20 + 1),
            " Una descripc" "          1" "              2.5000" "T");
}

TEST(Table, DataErrorsNameTableRecordAndField) {
  ScratchFolder folder;
  createTable(folder.path(), sampleDef());
  Table table = Table::open(folder.path(), "MUESTRA", Access::Exclusive);
  addRow(table, "uno", 1, 0, true);
  addRow(table, "dos", 2, 2.5, true);
  table.first();
  table.next();
  const auto messageOf = [](const auto& call) -> std::string {
    try {
      call();
    } catch (const TableError& e) {
      return e.what();
    }
    return "no error";
  };
  EXPECT_EQ(messageOf([&] { table.integer("NOMBRE"); }),
            "La tabla MUESTRA, registro 2, campo NOMBRE: «dos» no es un número entero.");
  EXPECT_EQ(messageOf([&] { table.integer("PRECIO"); }),
            "La tabla MUESTRA, registro 2, campo PRECIO: «2.5» no es un número entero.");
  EXPECT_EQ(messageOf([&] { table.text("NADA"); }), "La tabla MUESTRA no tiene el campo NADA.");
  EXPECT_NE(messageOf([&] { table.post(); }).find("MUESTRA"), std::string::npos);
}

TEST(Table, LocateAndFilterFollowRecordOrder) {
  ScratchFolder folder;
  createTable(folder.path(), sampleDef());
  Table table = Table::open(folder.path(), "MUESTRA", Access::Exclusive);
  addRow(table, "ab", 1, 0, true);
  addRow(table, "AB", 2, 0, false);
  addRow(table, "ab", 3, 0, false);
  addRow(table, "ab ", 4, 0, true);  // trailing blank is padding: equals "ab"

  EXPECT_TRUE(table.locate({{"NOMBRE", "AB"}}));
  EXPECT_EQ(table.recordNumber(), 2U);
  EXPECT_TRUE(table.locate({{"NOMBRE", "ab"}, {"ACTIVO", "F"}}));
  EXPECT_EQ(table.recordNumber(), 3U);
  EXPECT_FALSE(table.locate({{"NOMBRE", "a"}}));
  EXPECT_TRUE(table.eof());

  table.setFilter([](const Table& t) { return t.text("NOMBRE") == "ab"; });
  EXPECT_EQ(table.recordNumber(), 1U);
  EXPECT_EQ(column(table, "CANTIDAD"), (std::vector<std::string>{"1", "3", "4"}));
  EXPECT_EQ(table.recordCount(), 4U);
  EXPECT_TRUE(table.locate({{"ACTIVO", "T"}, {"CANTIDAD", "4"}}));
  EXPECT_FALSE(table.locate({{"CANTIDAD", "2"}}));  // filtered out
  table.clearFilter();
  EXPECT_EQ(column(table, "CANTIDAD").size(), 4U);
}

// The filter is handed the table it runs on, also after the table object was moved.
TEST(Table, AMovedTableKeepsItsFilterAndPosition) {
  ScratchFolder folder;
  createTable(folder.path(), sampleDef());
  Table original = Table::open(folder.path(), "MUESTRA", Access::Exclusive);
  for (int i = 1; i <= 4; ++i) addRow(original, "r", i, 0, i % 2 == 0);
  original.setFilter([](const Table& t) { return t.logical("ACTIVO"); });
  Table moved = std::move(original);
  EXPECT_FALSE(original.isOpen());
  EXPECT_THROW(original.first(), TableError);
  EXPECT_EQ(moved.recordNumber(), 2U);
  moved.next();
  EXPECT_EQ(moved.recordNumber(), 4U);
  moved.first();
  EXPECT_EQ(column(moved, "CANTIDAD"), (std::vector<std::string>{"2", "4"}));
}

TEST(Table, EditsReachTheFileAndMovingPostsThePendingRow) {
  ScratchFolder folder;
  createTable(folder.path(), sampleDef());
  {
    Table table = Table::open(folder.path(), "MUESTRA", Access::Exclusive);
    for (int i = 0; i < 5; ++i) addRow(table, "fila", i, 0, false);
  }
  {
    Table table = Table::open(folder.path(), "MUESTRA", Access::Exclusive);
    for (table.first(); !table.eof(); table.next()) {
      if (table.integer("CANTIDAD") % 2 == 0) {
        table.edit();
        table.setText("NOMBRE", "par");
      }  // next() posts the edit
    }
    table.append();
    table.setText("NOMBRE", "sin guardar");  // dropped on close
  }
  Table table = Table::open(folder.path(), "MUESTRA", Access::Shared);
  EXPECT_EQ(column(table, "NOMBRE"), (std::vector<std::string>{"par", "fila", "par", "fila", "par"}));
}

TEST(Table, DeletedRecordsAreHidden) {
  ScratchFolder folder;
  createTable(folder.path(), sampleDef());
  {
    Table table = Table::open(folder.path(), "MUESTRA", Access::Exclusive);
    for (int i = 1; i <= 3; ++i) addRow(table, "r" + std::to_string(i), i, 0, true);
  }
  std::string bytes = readBytes(folder / "MUESTRA.DBF");
  bytes[32 + 4 * 32 + 1 + 45] = '*';  // second record
  writeBytes(folder / "MUESTRA.DBF", bytes);
  Table table = Table::open(folder.path(), "MUESTRA", Access::Shared);
  EXPECT_EQ(table.recordCount(), 2U);
  EXPECT_EQ(column(table, "NOMBRE"), (std::vector<std::string>{"r1", "r3"}));
  table.first();
  table.next();
  EXPECT_EQ(table.recordNumber(), 3U);
}

// Many rows, appended then all edited, as the time-frame converter does; the batches that go to
// disk must add up to every row, and the header must count exactly the rows written meanwhile.
TEST(Table, LargeTablesStayConsistentWhileBuffered) {
  ScratchFolder folder;
  createTable(folder.path(), sampleDef());
  const int rows = 40000;
  Table table = Table::open(folder.path(), "MUESTRA", Access::Exclusive);
  for (int i = 0; i < rows; ++i) addRow(table, "n" + std::to_string(i), i, i / 4.0, i % 2 == 0);
  const auto checkDisk = [&] {
    const std::string bytes = readBytes(folder / "MUESTRA.DBF");
    const std::size_t count = le32At(bytes, 4);
    EXPECT_LE(count, static_cast<std::size_t>(rows));
    EXPECT_GE(bytes.size(), 161U + count * 45);
    return count;
  };
  EXPECT_GT(checkDisk(), 0U);  // some batches already written
  for (table.first(); !table.eof(); table.next()) {
    table.edit();
    table.setText("NOMBRE", "e" + table.text("CANTIDAD"));
    table.post();
  }
  table.close();
  EXPECT_EQ(checkDisk(), static_cast<std::size_t>(rows));

  Table reread = Table::open(folder.path(), "MUESTRA", Access::Shared);
  ASSERT_EQ(reread.recordCount(), static_cast<std::size_t>(rows));
  int i = 0;
  for (reread.first(); !reread.eof(); reread.next(), ++i) {
    ASSERT_EQ(reread.text("NOMBRE"), "e" + std::to_string(i));
    ASSERT_DOUBLE_EQ(reread.number("PRECIO"), i / 4.0);
  }
  EXPECT_EQ(i, rows);
}

TEST(Table, AKilledWriterLeavesAValidPrefix) {
  ScratchFolder folder;
  createTable(folder.path(), sampleDef());
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    Table table = Table::open(folder.path(), "MUESTRA", Access::Exclusive);
    for (int i = 0; i < 30000; ++i) addRow(table, "k", i, 0, true);
    _exit(0);  // no close, no destructor: as if killed
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  Table table = Table::open(folder.path(), "MUESTRA", Access::Shared);
  const std::size_t count = table.recordCount();
  EXPECT_GT(count, 0U);
  EXPECT_LT(count, 30000U);
  std::size_t expected = 0;
  for (table.first(); !table.eof(); table.next()) ASSERT_EQ(table.integer("CANTIDAD"), static_cast<long long>(expected++));
}

TEST(Table, RowsPostedBeforeAnExceptionAreKept) {
  ScratchFolder folder;
  createTable(folder.path(), sampleDef());
  try {
    Table table = Table::open(folder.path(), "MUESTRA", Access::Exclusive);
    addRow(table, "antes", 1, 0, true);
    table.append();
    table.setInteger("CANTIDAD", 1LL << 40);  // does not fit: throws
    FAIL() << "no exception";
  } catch (const TableError&) {
  }
  Table table = Table::open(folder.path(), "MUESTRA", Access::Shared);
  EXPECT_EQ(column(table, "NOMBRE"), (std::vector<std::string>{"antes"}));
}

TEST(Table, ADiskThatFillsUpKeepsTheRowsThatLanded) {
  const int rows = 40000;  // beyond one buffered batch, so some budgets fail in a later flush
  for (const long long budget : {0LL, 45LL * 3 + 20, 45LL * 100, 45LL * 30000 + 7}) {
    SCOPED_TRACE(budget);
    ScratchFolder folder;
    createTable(folder.path(), sampleDef());
    const auto emptySize = static_cast<long long>(std::filesystem::file_size(folder / "MUESTRA.DBF"));
    detail::simulateDiskFullAfter(budget);
    ::testing::internal::CaptureStderr();
    std::string message;
    try {
      Table table = Table::open(folder.path(), "MUESTRA", Access::Exclusive);
      for (int i = 0; i < rows; ++i) addRow(table, "r", i, 0, true);
      table.close();
    } catch (const TableError& error) {
      message = error.what();
    }
    detail::simulateDiskFullAfter(-1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");  // one failure, told once
    EXPECT_NE(message.find("no queda espacio en el disco"), std::string::npos) << message;

    const std::size_t landed = static_cast<std::size_t>((emptySize + budget - 161) / 45);
    const std::string bytes = readBytes(folder / "MUESTRA.DBF");
    EXPECT_EQ(le32At(bytes, 4), landed);
    EXPECT_GE(bytes.size(), 161 + landed * 45);
    EXPECT_LE(bytes.size(), 161 + landed * 45 + 1);
    Table table = Table::open(folder.path(), "MUESTRA", Access::Shared);
    ASSERT_EQ(table.recordCount(), landed);
    long long expected = 0;
    for (table.first(); !table.eof(); table.next()) ASSERT_EQ(table.integer("CANTIDAD"), expected++);
  }
}

TEST(Table, DBase7TablesUseBinaryNumbersAndLongNames) {
  ScratchFolder folder;
  TableDef def = sampleDef("NIVELES", Format::DBase7);
  def.fields.push_back({"X_OFERTAMATRIG", FieldType::Integer, 0});
  createTable(folder.path(), def);
  {
    Table table = Table::open(folder.path(), "NIVELES", Access::Exclusive);
    addRow(table, "uno", 1, 1.5, true);
    table.edit();
    table.setInteger("X_OFERTAMATRIG", 2147483647);
    table.post();
    addRow(table, "menos", -1, -2.75, false);
    table.append();
    table.post();
  }
  const std::string bytes = readBytes(folder / "NIVELES.DBF");
  EXPECT_EQ(byteAt(bytes, 0), 0x04U);
  EXPECT_EQ(byteAt(bytes, 29), 0U);
  EXPECT_EQ(bytes.substr(32, 9), std::string("DBWINUS0\0", 9));
  const std::size_t header = 68 + 48 * 5 + 1;
  EXPECT_EQ(byteAt(bytes, 8) | byteAt(bytes, 9) << 8, header);
  EXPECT_EQ(std::string(bytes.c_str() + 68 + 48 * 4), "X_OFERTAMATRIG");
  const std::string types = {bytes[68 + 32], bytes[68 + 48 + 32], bytes[68 + 96 + 32], bytes[68 + 144 + 32]};
  EXPECT_EQ(types, "CIOL");
  const std::size_t recordLength = 1 + 12 + 4 + 8 + 1 + 4;
  EXPECT_EQ(bytes.substr(header + 13, 4), std::string("\x80\x00\x00\x01", 4));
  EXPECT_EQ(bytes.substr(header + recordLength + 13, 4), std::string("\x7F\xFF\xFF\xFF", 4));
  EXPECT_EQ(byteAt(bytes, header + 17), 0xBFU);  // +1.5: sign bit flipped
  EXPECT_EQ(byteAt(bytes, header + recordLength + 17), 0x3FU);  // -2.75: every bit inverted

  Table table = Table::open(folder.path(), "NIVELES", Access::Shared);
  EXPECT_EQ(column(table, "CANTIDAD"), (std::vector<std::string>{"1", "-1", ""}));
  EXPECT_EQ(column(table, "PRECIO"), (std::vector<std::string>{"1.5", "-2.75", ""}));
  table.first();
  EXPECT_EQ(table.integer("X_OFERTAMATRIG"), 2147483647);
  EXPECT_EQ(table.fields()[4].name, "X_OFERTAMATRIG");
}

TEST(CreateTable, WritesTheProductionIndexOfAnEmptyTable) {
  ScratchFolder folder;
  TableDef def;
  def.name = "DIASHORAST2";
  def.fields = {{"DIHO", FieldType::Text, 10}, {"ORDEN", FieldType::Integer, 0}};
  def.indexes = {{"ORDEN", "ORDEN"}};
  createTable(folder.path(), def);
  const std::string dbf = readBytes(folder / "DIASHORAST2.DBF");
  EXPECT_EQ(byteAt(dbf, 28), 1U);
  EXPECT_EQ(byteAt(dbf, 32 + 31), 0U);
  EXPECT_EQ(byteAt(dbf, 64 + 31), 1U);

  const std::string mdx = readBytes(folder / "DIASHORAST2.MDX");
  ASSERT_EQ(mdx.size(), 4096U);
  EXPECT_EQ(byteAt(mdx, 0), 2U);
  EXPECT_EQ(mdx.substr(4, 16), std::string("DIASHORAST2\0\0\0\0\0", 16));
  EXPECT_EQ(byteAt(mdx, 22) | byteAt(mdx, 23) << 8, 1024U);
  EXPECT_EQ(byteAt(mdx, 28), 1U);
  EXPECT_EQ(byteAt(mdx, 31), 0x57U);
  EXPECT_EQ(le32At(mdx, 32), 8U);
  EXPECT_EQ(le32At(mdx, 544), 4U);  // tag 1: header at page 4
  EXPECT_EQ(std::string(mdx.c_str() + 548), "ORDEN");
  EXPECT_EQ(mdx[564], 'N');
  EXPECT_EQ(le32At(mdx, 2048), 6U);  // root page
  EXPECT_EQ(byteAt(mdx, 2048 + 12), 12U);
  EXPECT_EQ(byteAt(mdx, 2048 + 14), 63U);
  EXPECT_EQ(byteAt(mdx, 2048 + 18), 16U);
  EXPECT_EQ(std::string(mdx.c_str() + 2048 + 24), "ORDEN");
  EXPECT_EQ(mdx.substr(3072), std::string(1024, '\0'));

  // An indexed table is not changed behind its index's back.
  Table table = Table::open(folder.path(), "DIASHORAST2", Access::Exclusive);
  EXPECT_THROW(table.append(), TableError);
}

TEST(CreateTable, ReplacesTheOldTableAndItsStaleIndex) {
  ScratchFolder folder;
  TableDef indexed = sampleDef();
  indexed.indexes = {{"CANT", "CANTIDAD"}};
  createTable(folder.path(), indexed);
  writeBytes(folder / "muestra.dbf", "otra ortografía");
  createTable(folder.path(), sampleDef());
  EXPECT_FALSE(findFile(folder.path(), "MUESTRA.MDX"));
  EXPECT_FALSE(std::filesystem::exists(folder / "muestra.dbf"));
  Table table = Table::open(folder.path(), "MUESTRA", Access::Shared);
  EXPECT_EQ(table.recordCount(), 0U);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), std::filesystem::directory_iterator()), 1);
}

TEST(TableFiles, FindAndRemoveIgnoreLetterCase) {
  ScratchFolder folder;
  writeBytes(folder / "soluc.dbf", "x");
  writeBytes(folder / "Soluc.Mdx", "x");
  EXPECT_EQ(findFile(folder.path(), "SOLUC.DBF"), folder / "soluc.dbf");
  EXPECT_FALSE(findFile(folder.path(), "SOLUC"));
  EXPECT_FALSE(findFile(folder.path() / "sub", "../soluc.dbf"));
  removeTableFiles(folder.path(), "SOLUC");
  EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
  removeTableFiles(folder.path(), "SOLUC");  // nothing left: no error
}

TEST(Table, MissingFolderAndTableAreNamed) {
  ScratchFolder folder;
  try {
    Table::open(folder / "nada", "PROFT", Access::Shared);
    FAIL();
  } catch (const TableError& e) {
    EXPECT_EQ(std::string(e.what()), "No existe la carpeta " + (folder / "nada").string() + ".");
  }
  try {
    Table::open(folder.path(), "PROFT", Access::Shared);
    FAIL();
  } catch (const TableError& e) {
    EXPECT_EQ(std::string(e.what()), "No se encuentra la tabla PROFT (" + (folder / "PROFT.DBF").string() + ").");
  }
  EXPECT_THROW(createTable(folder / "nada", sampleDef()), TableError);
}

// Builds a valid two-record table and lets each case spoil it.
TEST(Table, DamagedFilesAreRefusedNamingTheFile) {
  ScratchFolder folder;
  createTable(folder.path(), sampleDef());
  {
    Table table = Table::open(folder.path(), "MUESTRA", Access::Exclusive);
    addRow(table, "uno", 1, 1, true);
    addRow(table, "dos", 2, 2, false);
  }
  const std::string good = readBytes(folder / "MUESTRA.DBF");
  const std::size_t header = 161, record = 45;
  const auto withByte = [&](std::size_t at, char value) {
    std::string bytes = good;
    bytes[at] = value;
    return bytes;
  };
  struct Case {
    const char* what;
    std::string bytes;
    const char* reason;
  };
  const Case cases[] = {
      {"short header", good.substr(0, 20), "cabecera está incompleta"},
      {"header length past the end", withByte(9, '\x7F'), "la cabecera indica"},
      {"record length not the fields' sum", withByte(10, 44), "longitud de registro"},
      {"truncated record", good.substr(0, header + record + 10), "sólo contiene 1 registro completo"},
      {"absurd record count", withByte(7, '\x7F'), "registros y el archivo"},
      {"unknown version", withByte(0, '\x42'), "versión de archivo desconocida 0x42"},
      {"unknown field type", withByte(32 + 11, 'Z'), "tipo desconocido"},
      {"no fields", withByte(32, '\r'), "no tiene campos"},
      {"empty file", "", "cabecera está incompleta"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    writeBytes(folder / "MUESTRA.DBF", c.bytes);
    try {
      Table::open(folder.path(), "MUESTRA", Access::Shared);
      ADD_FAILURE() << "accepted";
    } catch (const TableError& e) {
      const std::string message = e.what();
      EXPECT_EQ(message.rfind("El archivo " + (folder / "MUESTRA.DBF").string() + " está dañado: ", 0), 0U) << message;
      EXPECT_NE(message.find(c.reason), std::string::npos) << message;
    }
  }
  // Without its end mark the table is whole.
  writeBytes(folder / "MUESTRA.DBF", good.substr(0, good.size() - 1));
  EXPECT_EQ(Table::open(folder.path(), "MUESTRA", Access::Shared).recordCount(), 2U);
}

TEST(Table, UnwritableFolderIsReported) {
  ScratchFolder folder;
  createTable(folder.path(), sampleDef());
  const std::filesystem::path mounted = folder / "ro";
  std::filesystem::create_directory(mounted);
  if (mount("tmpfs", mounted.c_str(), "tmpfs", 0, "size=1m") != 0) GTEST_SKIP() << "mount not permitted";
  std::filesystem::copy_file(folder / "MUESTRA.DBF", mounted / "MUESTRA.DBF");
  ASSERT_EQ(mount("tmpfs", mounted.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=1m"), 0);
  struct Unmount {
    std::filesystem::path path;
    ~Unmount() { umount(path.c_str()); }
  } unmount{mounted};

  try {
    createTable(mounted, sampleDef("NUEVA"));
    FAIL();
  } catch (const TableError& e) {
    EXPECT_EQ(std::string(e.what()), "No se puede crear el archivo (" + (mounted / "NUEVA.DBF").string() +
                                         "): el sistema de archivos es de solo lectura.");
  }
  Table table = Table::open(mounted, "MUESTRA", Access::Shared);  // reading still works
  EXPECT_EQ(table.recordCount(), 0U);
  try {
    table.append();
    FAIL();
  } catch (const TableError& e) {
    EXPECT_NE(std::string(e.what()).find("solo lectura"), std::string::npos) << e.what();
  }
  EXPECT_THROW(removeTableFiles(mounted, "MUESTRA"), TableError);
}

}  // namespace
}  // namespace mudalinx::table
