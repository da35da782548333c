#include "export/rooms.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export/converters.h"
#include "export/export_testing.h"
#include "table/table.h"

namespace mudalinx::exporter {
namespace {

using testing::column;
using testing::ExportBench;
using testing::readRows;

TEST(RoomBaseCode, IdentifierOrFirstSixCharactersOfTheName) {
  EXPECT_EQ(roomBaseCode("A12", "Aula 12"), "A12");
  EXPECT_EQ(roomBaseCode("", "Gimnasio cubierto"), "Gimnas");
  EXPECT_EQ(roomBaseCode("", "Lab"), "Lab");
  EXPECT_EQ(roomBaseCode("", ""), "");
  EXPECT_EQ(roomBaseCode("ABCDEFGHIJKL", "x"), "ABCDEFGHIJ");
}

TEST(ConvertRooms, NeverWritesTheSameCodeTwice) {
  const std::string longName = "Gimnasio " + std::string(80, 'g');
  ExportBench bench({{"DEPENDENCIAS",
                      {{"", "Gimnasio cubierto"},
                       {"", longName},
                       {"A12", "Aula 12"},
                       {"a12", "Aula doce"},
                       {"x"},
                       {"", ""},
                       {"", ""},
                       {"", ""},
                       {"ABCDEFGHIJ", "Sala uno"},
                       {"ABCDEFGHIJ", "Sala dos"}}}});
  convertRooms(bench.context());

  const auto rows = readRows(bench.workspace(), "AULAT");
  EXPECT_EQ(column(rows, "ABREV"), (std::vector<std::string>{"Gimnas", "Gimnas1", "A12", "a121", "", "1", "2",
                                                            "ABCDEFGHIJ", "ABCDEFGHJ1"}));
  EXPECT_EQ(rows[1].at("NOMBRE"), longName.substr(0, 80));
  EXPECT_EQ(rows[0], (testing::Row{{"ABREV", "Gimnas"}, {"NOMBRE", "Gimnasio cubierto"}, {"EDIFICIO", ""},
                                   {"MAXALUM", ""}, {"DEPCENTRO", ""}}));
  EXPECT_EQ(bench.report().rowsOf("AULAT"), 9u);

  EXPECT_EQ(testing::fieldLayout(bench.workspace(), "AULAT"),
            (std::vector<std::string>{"ABREV C 10", "NOMBRE C 80", "EDIFICIO C 1", "MAXALUM N 11", "DEPCENTRO C 10"}));
}

}  // namespace
}  // namespace mudalinx::exporter
