#include "app/ini_file.h"

#include <ostream>
#include <gtest/gtest.h>

#include "app/test_support.h"

namespace mudalinx::app {
namespace {

struct IniCase {
  const char* title;
  std::string before;
  std::string after;
};

// Test names then carry the case's title instead of a dump of its bytes.
void PrintTo(const IniCase& c, std::ostream* out) { *out << c.title; }

class IniValueTest : public ::testing::TestWithParam<IniCase> {};

TEST_P(IniValueTest, ChangesOnlyTheKey) {
  EXPECT_EQ(withIniValue(GetParam().before, "Transformadores", "Transformado", "1"), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniValueTest,
    ::testing::Values(
        IniCase{"EmptyText", "", "[Transformadores]\r\nTransformado=1\r\n"},
        IniCase{"KeyReplacedOthersKept",
                "; ajustes de Quorvia\r\n[General]\r\nTransformado=7\r\n\r\n[transformadores]\r\n"
                "Ruta=C:\\KTEMP\r\n  TRANSFORMADO = -1\r\nOtra=2\r\n",
                "; ajustes de Quorvia\r\n[General]\r\nTransformado=7\r\n\r\n[transformadores]\r\n"
                "Ruta=C:\\KTEMP\r\nTRANSFORMADO=1\r\nOtra=2\r\n"},
        IniCase{"KeyAddedAfterLastKeyOfSection",
                "[Transformadores]\r\nRuta=x\r\n; nota\r\n\r\n[Otra]\r\nA=1\r\n",
                "[Transformadores]\r\nRuta=x\r\nTransformado=1\r\n; nota\r\n\r\n[Otra]\r\nA=1\r\n"},
        IniCase{"CommentedKeyIsNotTheKey", "[Transformadores]\r\n;Transformado=0\r\n",
                "[Transformadores]\r\nTransformado=1\r\n;Transformado=0\r\n"},
        IniCase{"KeyOfAnotherSectionUntouched", "[Otra]\r\nTransformado=5\r\n",
                "[Otra]\r\nTransformado=5\r\n[Transformadores]\r\nTransformado=1\r\n"},
        IniCase{"UnixLineEndingsKept", "[A]\nB=1\n", "[A]\nB=1\n[Transformadores]\nTransformado=1\n"},
        IniCase{"LastLineWithoutEnding", "[Transformadores]\r\nRuta=x",
                "[Transformadores]\r\nRuta=x\r\nTransformado=1\r\n"},
        IniCase{"ByteOrderMarkBeforeTheSection", "\xEF\xBB\xBF[Transformadores]\r\nTransformado=0\r\n",
                "\xEF\xBB\xBF[Transformadores]\r\nTransformado=1\r\n"},
        IniCase{"OnlyFirstOfTwoSectionsChanged",
                "[Transformadores]\r\nTransformado=0\r\n[Transformadores]\r\nTransformado=0\r\n",
                "[Transformadores]\r\nTransformado=1\r\n[Transformadores]\r\nTransformado=0\r\n"}),
    [](const ::testing::TestParamInfo<IniCase>& info) { return std::string(info.param.title); });

TEST(WriteIniValue, CreatesMissingFileAndReplacesExisting) {
  testing::TempFolder folder;
  const auto file = folder / "Quorvia.ini";
  writeIniValue(file, "Transformadores", "Transformado", "-1");
  EXPECT_EQ(testing::readFile(file), "[Transformadores]\r\nTransformado=-1\r\n");

  testing::writeFile(file, "[Quorvia]\r\nIdioma=ES\r\n[Transformadores]\r\nTransformado=-1\r\n");
  writeIniValue(file, "Transformadores", "Transformado", "1");
  EXPECT_EQ(testing::readFile(file), "[Quorvia]\r\nIdioma=ES\r\n[Transformadores]\r\nTransformado=1\r\n");
  // Nothing but the file itself is left in the folder (no temporary file).
  EXPECT_EQ(testing::snapshot(folder.path()).size(), 1u);
}

TEST(WriteIniValue, RefusesUtf16Files) {
  testing::TempFolder folder;
  const auto file = folder / "Quorvia.ini";
  const std::string utf16("\xFF\xFE[\0A\0]\0", 8);
  testing::writeFile(file, utf16);
  EXPECT_THROW(writeIniValue(file, "Transformadores", "Transformado", "1"), std::runtime_error);
  EXPECT_EQ(testing::readFile(file), utf16);
}

TEST(WriteIniValue, MissingFolderGivesSpanishMessage) {
  testing::TempFolder folder;
  const auto file = folder / "no_existe" / "Quorvia.ini";
  try {
    writeIniValue(file, "Transformadores", "Transformado", "1");
    FAIL() << "no error";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find("No se pudo guardar el archivo «" + file.string() + "»"),
              std::string::npos)
        << error.what();
  }
}

}  // namespace
}  // namespace mudalinx::app
