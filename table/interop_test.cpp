// Our tables against readers and writers we did not write: python3-dbfread, python3-dbf,
// Perl XBase / XBase::Index and Free Pascal's TDbf.
#include <gtest/gtest.h>

#include "table/table.h"
#include "table/test_support.h"

namespace mudalinx::table {
namespace {

using testing::shellQuoted;
using testing::runCommand;
using testing::sampleDef;
using testing::ScratchFolder;

const std::string kTestdata = MUDALINX_TESTDATA;
const std::string kPython = "/usr/bin/python3";

// Three rows: Spanish letters (Windows-1252), negative numbers, every field unset.
void fillSample(const std::filesystem::path& folder, const TableDef& def) {
  createTable(folder, def);
  Table table = Table::open(folder, def.name, Access::Exclusive);
  table.append();
  table.setText("NOMBRE", " N\xFA\xF1" "ez");
  table.setInteger("CANTIDAD", 42);
  table.setNumber("PRECIO", 3.5);
  table.setLogical("ACTIVO", true);
  table.post();
  table.append();
  table.setText("NOMBRE", "Zo\xEB");
  table.setInteger("CANTIDAD", -7);
  table.setNumber("PRECIO", -0.25);
  table.setLogical("ACTIVO", false);
  table.post();
  table.append();
  table.post();
  table.close();
}

std::vector<std::string> rowsOf(Table& table) {
  std::vector<std::string> rows;
  for (table.first(); !table.eof(); table.next()) {
    std::string row;
    for (const FieldInfo& field : table.fields()) row += table.text(field.name) + "|";
    row.pop_back();
    rows.push_back(row);
  }
  return rows;
}

std::string fieldsOf(const Table& table) {
  std::string text;
  for (const FieldInfo& f : table.fields()) {
    text += f.name + ":" + f.type + ":" + std::to_string(f.width) + ":" + std::to_string(f.decimals) + " ";
  }
  return text;
}

TEST(Interop, DbfreadReadsOurTablesWithTheSameValues) {
  ScratchFolder folder;
  fillSample(folder.path(), sampleDef());
  const auto result = runCommand(kPython + " " + shellQuoted(kTestdata + "/read_dbfread.py") + " " + shellQuoted(folder / "MUESTRA.DBF"));
  ASSERT_EQ(result.status, 0) << result.output;
  EXPECT_EQ(result.output,
            "{\"fields\": [[\"NOMBRE\", \"C\", 12, 0], [\"CANTIDAD\", \"N\", 11, 0], [\"PRECIO\", \"N\", 20, 4], "
            "[\"ACTIVO\", \"L\", 1, 0]], \"records\": [[\" Núñez\", 42, 3.5, true], [\"Zoë\", -7, -0.25, false], "
            "[\"\", null, null, null]], \"count\": 3}\n");
}

TEST(Interop, PerlXBaseReadsOurTableAndItsProductionIndex) {
  ScratchFolder folder;
  fillSample(folder.path(), sampleDef());
  TableDef slots;
  slots.name = "DIASHORAST2";
  slots.fields = {{"DIHO", FieldType::Text, 10}, {"MARCOXML", FieldType::Text, 10}, {"ORDEN", FieldType::Integer, 0}};
  slots.indexes = {{"ORDEN", "ORDEN"}};
  createTable(folder.path(), slots);

  const std::string script = "perl " + shellQuoted(kTestdata + "/read_xbase.pl") + " ";
  const auto values = runCommand(script + shellQuoted(folder / "MUESTRA.DBF"));
  ASSERT_EQ(values.status, 0) << values.output;
  EXPECT_EQ(values.output,
            "version 3\nfields NOMBRE:C:12:0,CANTIDAD:N:11:0,PRECIO:N:20:4,ACTIVO:L:1:0\nrecords 3\n"
            "row  N\xFA\xF1" "ez|42|3.5|1\nrow Zo\xEB|-7|-0.25|0\nrow |||\n");

  const auto index = runCommand(script + shellQuoted(folder / "DIASHORAST2.DBF") + " " + shellQuoted(folder / "DIASHORAST2.MDX"));
  ASSERT_EQ(index.status, 0) << index.output;
  EXPECT_EQ(index.output,
            "version 3\nfields DIHO:C:10:0,MARCOXML:C:10:0,ORDEN:N:11:0\nrecords 0\n"
            "tag ORDEN type N length 12 header 4 root 6 keys/page 63\nrows by tag: \n");
}

TEST(Interop, WeReadTablesWrittenByPythonDbf) {
  struct Case {
    const char* flavour;
    const char* fields;
    std::vector<std::string> rows;
  };
  const Case cases[] = {
      {"db3", "NOMBRE:C:12:0 CANTIDAD:N:5:0 PRECIO:N:8:2 ACTIVO:L:1:0 FECHA:D:8:0 NOTAS:M:10:0 ",
       {"N\xFA\xF1" "ez|42|3.5|T|20240301|", "|||||", "Zo\xEB|-7|-0.25|F|19991231|"}},
      {"vfp",
       "NOMBRE:C:12:0 CANTIDAD:N:5:0 PRECIO:N:8:2 ACTIVO:L:1:0 FECHA:D:8:0 ENTERO:I:4:0 DOBLE:B:8:0 DINERO:Y:8:0 "
       "OPCIONAL:N:4:0 NOTAS:M:4:0 ",
       {"N\xFA\xF1" "ez|42|3.5|T|20240301|-123456|2.25|12.375|5|", "|||||0|0|0||",
        "Zo\xEB|-7|-0.25|F|19991231|2147483646|-10000000000|-5|6|"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flavour);
    ScratchFolder folder;
    const auto written = runCommand(kPython + " " + shellQuoted(kTestdata + "/write_foreign.py") + " " + c.flavour + " " +
                                    shellQuoted(folder / "AJENA.DBF"));
    ASSERT_EQ(written.status, 0) << written.output;
    Table table = Table::open(folder.path(), "AJENA", Access::Shared);
    EXPECT_EQ(fieldsOf(table), c.fields);  // _NullFlags hidden
    EXPECT_EQ(table.recordCount(), 3U);   // the deleted row hidden
    EXPECT_EQ(rowsOf(table), c.rows);
    table.first();
    EXPECT_EQ(table.integer("CANTIDAD"), 42);
    EXPECT_DOUBLE_EQ(table.number("PRECIO"), 3.5);
    EXPECT_TRUE(table.isBlank("NOTAS"));
    if (std::string(c.flavour) == "vfp") {
      EXPECT_EQ(table.integer("ENTERO"), -123456);
      EXPECT_DOUBLE_EQ(table.number("DINERO"), 12.375);
    }
  }
}

// The null bit of a nullable Visual FoxPro field hides the value stored beside it.
TEST(Interop, FoxProNullFlagsMakeAValueUnset) {
  ScratchFolder folder;
  const auto written = runCommand(kPython + " " + shellQuoted(kTestdata + "/write_foreign.py") + " vfp " +
                                  shellQuoted(folder / "AJENA.DBF"));
  ASSERT_EQ(written.status, 0) << written.output;
  std::string bytes = testing::readBytes(folder / "AJENA.DBF");
  const std::size_t header = testing::byteAt(bytes, 8) | testing::byteAt(bytes, 9) << 8;
  const std::size_t descriptor = bytes.find("_NULLFLAGS");
  ASSERT_NE(descriptor, std::string::npos);
  const std::size_t flags = testing::le32At(bytes, descriptor + 12);  // its place in the record
  bytes[header + flags] |= 0x01;  // OPCIONAL, the only nullable field, has the first bit
  testing::writeBytes(folder / "AJENA.DBF", bytes);
  Table table = Table::open(folder.path(), "AJENA", Access::Shared);
  EXPECT_TRUE(table.isBlank("OPCIONAL"));
  EXPECT_EQ(table.text("OPCIONAL"), "");
  EXPECT_EQ(table.integer("OPCIONAL"), 0);
  table.next();
  table.next();
  EXPECT_EQ(table.text("OPCIONAL"), "6");
}

#ifdef TABLE_TDBF_TOOL
// TDbf opens our empty indexed table with its index, fills it, and XBase::Index then walks the
// keys TDbf put into our index file. TDbf works on a copy: on Linux it wants a lower-case ".mdx".
TEST(Interop, TDbfMaintainsOurProductionIndex) {
  const std::string tool = TABLE_TDBF_TOOL;
  ScratchFolder folder;
  TableDef slots;
  slots.name = "DIASHORAST2";
  slots.fields = {{"DIHO", FieldType::Text, 10}, {"MARCOXML", FieldType::Text, 10}, {"ORDEN", FieldType::Integer, 0}};
  slots.indexes = {{"ORDEN", "ORDEN"}};
  createTable(folder.path(), slots);
  const std::filesystem::path copy = folder / "copia";
  std::filesystem::create_directory(copy);
  std::filesystem::copy_file(folder / "DIASHORAST2.DBF", copy / "DIASHORAST2.DBF");
  std::filesystem::copy_file(folder / "DIASHORAST2.MDX", copy / "DIASHORAST2.mdx");

  const auto filled = runCommand(shellQuoted(tool) + " tags " + shellQuoted(copy / "DIASHORAST2.DBF") + " fill");
  ASSERT_EQ(filled.status, 0) << filled.output;
  EXPECT_EQ(filled.output, "tag ORDEN expression ORDEN options 16\nrows by tag 0 eof TRUE\norder 1 2 3\n");

  const auto walked = runCommand("perl " + shellQuoted(kTestdata + "/read_xbase.pl") + " " +
                                 shellQuoted(copy / "DIASHORAST2.DBF") + " " + shellQuoted(copy / "DIASHORAST2.mdx"));
  ASSERT_EQ(walked.status, 0) << walked.output;
  EXPECT_NE(walked.output.find("rows by tag: 1 2 3\n"), std::string::npos) << walked.output;

  Table table = Table::open(copy, "DIASHORAST2", Access::Shared);
  EXPECT_EQ(rowsOf(table), (std::vector<std::string>{"||3", "||1", "||2"}));
}

TEST(Interop, TDbfReadsOurDBase4Tables) {
  ScratchFolder folder;
  fillSample(folder.path(), sampleDef());
  const auto read = runCommand(shellQuoted(TABLE_TDBF_TOOL) + " read " + shellQuoted(folder / "MUESTRA.DBF"));
  ASSERT_EQ(read.status, 0) << read.output;
  // Field types as TDbf sees them: string, large integer (11 digits), float, boolean.
  EXPECT_EQ(read.output,
            "level 4\nfields NOMBRE:1 CANTIDAD:25 PRECIO:6 ACTIVO:5 \n"
            "row  N\xFA\xF1" "ez|42|3.5|True\nrow Zo\xEB|-7|-0.25|False\nrow <null>|<null>|<null>|<null>\n");
}

TEST(Interop, TDbfAndWeReadEachOthersDBase7Tables) {
  const std::string tool = TABLE_TDBF_TOOL;
  ScratchFolder folder;
  // Theirs, read by us.
  const auto written = runCommand(shellQuoted(tool) + " write " + shellQuoted(folder / "TDBF7.DBF"));
  ASSERT_EQ(written.status, 0) << written.output;
  {
    Table theirs = Table::open(folder.path(), "TDBF7", Access::Shared);
    EXPECT_EQ(fieldsOf(theirs), "NOMBRE_LARGO_DEL_CAMPO:C:20:0 CANTIDAD:I:4:0 PRECIO:N:18:8 ACTIVO:L:1:0 VACIO:I:4:0 ");
    EXPECT_EQ(rowsOf(theirs), (std::vector<std::string>{"N\xFA\xF1" "ez|42|3.5|T|", "Zo\xEB|-7|-0.25|F|",
                                                        "grande|2000000000|123456.789|T|"}));
  }
  // Ours, read by them.
  TableDef def = sampleDef("NIVELEX", Format::DBase7);
  def.fields.push_back({"NIVEL_ABREV", FieldType::Text, 15});
  fillSample(folder.path(), def);
  const auto read = runCommand(shellQuoted(tool) + " read " + shellQuoted(folder / "NIVELEX.DBF"));
  ASSERT_EQ(read.status, 0) << read.output;
  EXPECT_EQ(read.output,
            "level 7\nfields NOMBRE:1 CANTIDAD:3 PRECIO:6 ACTIVO:5 NIVEL_ABREV:1 \n"
            "row  N\xFA\xF1" "ez|42|3.5|True|<null>\nrow Zo\xEB|-7|-0.25|False|<null>\nrow <null>|<null>|<null>|<null>|<null>\n");
}
#endif

}  // namespace
}  // namespace mudalinx::table
