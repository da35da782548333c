#include <libxml/parser.h>
#include <libxml/tree.h>

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tools/generator/sample_writer.h"

namespace mudalinx::generator {
namespace {

namespace fs = std::filesystem;

struct XmlDocFree {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

std::string textOf(const xmlNode* node) {
  xmlChar* content = xmlNodeGetContent(node);
  std::string text = content ? reinterpret_cast<const char*>(content) : "";
  xmlFree(content);
  return text;
}

std::string attribute(const xmlNode* node, const char* name) {
  xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
  std::string text = value ? reinterpret_cast<const char*>(value) : "";
  xmlFree(value);
  return text;
}

std::vector<const xmlNode*> elementChildren(const xmlNode* node) {
  std::vector<const xmlNode*> children;
  for (const xmlNode* child = node->children; child; child = child->next) {
    if (child->type == XML_ELEMENT_NODE) children.push_back(child);
  }
  return children;
}

// A parsed sample: the sections in file order, each record's dato texts (UTF-8).
struct Parsed {
  std::string year;
  std::vector<std::string> order;
  std::map<std::string, std::vector<std::vector<std::string>>> sections;
  std::map<std::string, std::string> declaredCounts;
};

Parsed parse(const std::string& bytes) {
  std::unique_ptr<xmlDoc, XmlDocFree> doc(
      xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), "muestra.xml", nullptr, XML_PARSE_NONET));
  if (!doc) throw std::runtime_error("not well-formed");
  const xmlNode* root = xmlDocGetRootElement(doc.get());
  EXPECT_STREQ(reinterpret_cast<const char*>(root->name), "SERVICIO");
  const auto blocks = elementChildren(root);
  EXPECT_EQ(blocks.size(), 1u);
  EXPECT_STREQ(reinterpret_cast<const char*>(blocks.at(0)->name), "BLOQUE_DATOS");
  Parsed parsed;
  const auto sections = elementChildren(blocks.at(0));
  EXPECT_EQ(attribute(sections.at(0), "seq"), "ANNO_ACADEMICO");
  parsed.year = textOf(elementChildren(sections.at(0)).at(0));
  for (std::size_t s = 1; s < sections.size(); ++s) {
    const std::string seq = attribute(sections[s], "seq");
    parsed.order.push_back(seq);
    parsed.declaredCounts[seq] = attribute(sections[s], "registros");
    auto& records = parsed.sections[seq];
    for (const xmlNode* record : elementChildren(sections[s])) {
      std::vector<std::string> values;
      for (const xmlNode* value : elementChildren(record)) {
        EXPECT_STREQ(reinterpret_cast<const char*>(value->name), "dato");
        values.push_back(textOf(value));
      }
      records.push_back(std::move(values));
    }
  }
  return parsed;
}

std::string sample(int scale, std::uint64_t seed, Encoding encoding = Encoding::Latin1) {
  std::ostringstream out;
  writeSample(out, {scale, seed, encoding});
  return out.str();
}

std::vector<std::string> column(const Parsed& parsed, const std::string& section, std::size_t position) {
  std::vector<std::string> values;
  for (const auto& record : parsed.sections.at(section)) values.push_back(record.at(position));
  return values;
}

std::string trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

TEST(GeneratorTest, SameSeedSameFileOtherSeedOtherFile) {
  const std::string first = sample(2, 7);
  EXPECT_EQ(first, sample(2, 7));
  EXPECT_NE(first, sample(2, 8));
}

TEST(GeneratorTest, SchoolsAreTheSameAtAnyScale) {
  const Parsed one = parse(sample(1, 42));
  const Parsed three = parse(sample(3, 42));
  for (const auto& [seq, records] : one.sections) {
    const auto& larger = three.sections.at(seq);
    ASSERT_LE(records.size(), larger.size()) << seq;
    EXPECT_TRUE(std::equal(records.begin(), records.end(), larger.begin())) << seq;
  }
}

TEST(GeneratorTest, EnvelopeSectionsAndValuesAsTheExportReadsThem) {
  const Parsed parsed = parse(sample(1, 3));
  EXPECT_EQ(parsed.year, "2025");
  const std::vector<std::string> order = {"MATERIAS", "ACTIVIDADES", "EMPLEADOS", "DEPENDENCIAS",
                                          "CURSOS_DEL_CENTRO", "UNIDADES", "JORNADAS_ESCOLARES", "TRAMOS_HORARIOS"};
  EXPECT_EQ(parsed.order, order);
  const std::map<std::string, std::size_t> values = {{"MATERIAS", 3}, {"ACTIVIDADES", 3}, {"EMPLEADOS", 6},
                                                     {"DEPENDENCIAS", 2}, {"CURSOS_DEL_CENTRO", 2}, {"UNIDADES", 3},
                                                     {"JORNADAS_ESCOLARES", 4}, {"TRAMOS_HORARIOS", 5}};
  for (const auto& [seq, records] : parsed.sections) {
    EXPECT_EQ(parsed.declaredCounts.at(seq), std::to_string(records.size())) << seq;
    for (const auto& record : records) EXPECT_EQ(record.size(), values.at(seq)) << seq;
  }
}

// One large secondary school per unit of scale; the frames never grow.
TEST(GeneratorTest, RecordCountsFollowTheScale) {
  struct Range {
    std::string section;
    std::size_t low, high;
  };
  const std::vector<Range> perSchool = {{"EMPLEADOS", 110, 130}, {"MATERIAS", 270, 330}, {"UNIDADES", 41, 42},
                                        {"DEPENDENCIAS", 55, 65}, {"CURSOS_DEL_CENTRO", 21, 22},
                                        {"ACTIVIDADES", 10, 20}};
  for (int scale : {1, 4}) {
    const Parsed parsed = parse(sample(scale, 11));
    for (const auto& range : perSchool) {
      const auto count = parsed.sections.at(range.section).size();
      EXPECT_GE(count, range.low * scale) << range.section << " scale " << scale;
      EXPECT_LE(count, range.high * scale) << range.section << " scale " << scale;
    }
    EXPECT_EQ(parsed.sections.at("JORNADAS_ESCOLARES").size(), 2u);
    EXPECT_EQ(parsed.sections.at("TRAMOS_HORARIOS").size(), 16u);
  }
}

TEST(GeneratorTest, KeysAreUniqueAndReferencesResolve) {
  const Parsed parsed = parse(sample(6, 5));
  const std::vector<std::pair<std::string, std::size_t>> keys = {
      {"MATERIAS", 1}, {"ACTIVIDADES", 1}, {"EMPLEADOS", 0}, {"CURSOS_DEL_CENTRO", 0},
      {"UNIDADES", 0}, {"JORNADAS_ESCOLARES", 0}, {"TRAMOS_HORARIOS", 0}};
  for (const auto& [seq, position] : keys) {
    const auto values = column(parsed, seq, position);
    const std::set<std::string> distinct(values.begin(), values.end());
    EXPECT_EQ(distinct.size(), values.size()) << seq;
    for (const auto& value : values) {
      EXPECT_FALSE(value.empty()) << seq;
      EXPECT_LE(value.size(), 10u) << seq;
    }
  }
  std::set<std::string> roomCodes;
  std::size_t withoutCode = 0;
  for (const auto& code : column(parsed, "DEPENDENCIAS", 0)) {
    if (code.empty()) {
      ++withoutCode;
    } else {
      EXPECT_TRUE(roomCodes.insert(code).second) << code;
    }
  }
  EXPECT_GT(withoutCode, 0u);

  const auto courseKeys = column(parsed, "CURSOS_DEL_CENTRO", 0);
  const std::set<std::string> courses(courseKeys.begin(), courseKeys.end());
  for (const auto& key : courseKeys) EXPECT_NO_THROW((void)std::stol(key)) << key;
  for (const auto& key : column(parsed, "MATERIAS", 0)) EXPECT_EQ(courses.count(key), 1u) << key;
  for (const auto& key : column(parsed, "UNIDADES", 2)) EXPECT_EQ(courses.count(key), 1u) << key;
  const auto frameKeys = column(parsed, "JORNADAS_ESCOLARES", 0);
  const std::set<std::string> frames(frameKeys.begin(), frameKeys.end());
  for (const auto& key : column(parsed, "TRAMOS_HORARIOS", 4)) EXPECT_EQ(frames.count(key), 1u) << key;
  for (const auto& record : parsed.sections.at("TRAMOS_HORARIOS")) {
    EXPECT_LT(std::stoi(record.at(2)), std::stoi(record.at(3)));
  }
}

std::set<std::string> levelTableKeys() {
  std::ifstream in(std::string(MUDALINX_SOURCE_DIR) + "/data/levels/nivelex.csv");
  std::set<std::string> keys;
  std::string line;
  bool header = true;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    if (!header) keys.insert(line.substr(0, line.find(',')));
    header = false;
  }
  return keys;
}

// The first school's courses are those of the level table but one, which the table
// lacks on purpose; the other schools' keys are their own, so none is found there.
TEST(GeneratorTest, CourseKeysOfTheFirstSchoolAreInTheLevelTable) {
  const auto levels = levelTableKeys();
  ASSERT_GT(levels.size(), 10u);
  std::uint64_t seed = 0;
  std::size_t firstSchool = 0;
  do {  // a seed whose first school offers the unlisted course
    firstSchool = parse(sample(1, ++seed)).sections.at("CURSOS_DEL_CENTRO").size();
  } while (firstSchool != 22 && seed < 50);
  const Parsed parsed = parse(sample(2, seed));
  const auto& courses = parsed.sections.at("CURSOS_DEL_CENTRO");
  std::vector<std::string> unlisted;
  for (std::size_t i = 0; i < courses.size(); ++i) {
    const bool listed = levels.count(courses[i].at(0)) == 1;
    if (i >= firstSchool) {
      EXPECT_FALSE(listed) << courses[i].at(0);
    } else if (!listed) {
      unlisted.push_back(courses[i].at(1));
    }
  }
  EXPECT_EQ(unlisted, std::vector<std::string>{"Aula Temporal de Adaptación Lingüística"});
}

// Real staff lists repeat surnames and given names, which is what makes
// teacher abbreviations and group codes collide and take numbered suffixes.
TEST(GeneratorTest, NamesRepeatAsRealNamesDo) {
  const Parsed parsed = parse(sample(1, 9));
  std::map<std::string, int> surnames;
  std::map<std::string, int> initials;
  for (const auto& record : parsed.sections.at("EMPLEADOS")) {
    ++surnames[record.at(3)];
    ++initials[record.at(3).substr(0, 1) + record.at(4).substr(0, 1) + record.at(5).substr(0, 1)];
  }
  const auto mostCommon = std::max_element(surnames.begin(), surnames.end(),
                                           [](const auto& a, const auto& b) { return a.second < b.second; });
  EXPECT_GE(mostCommon->second, 5) << mostCommon->first;
  EXPECT_GE(surnames.size(), 40u);
  EXPECT_LT(initials.size(), parsed.sections.at("EMPLEADOS").size());

  std::map<std::string, int> subjectNames;
  for (const auto& name : column(parsed, "MATERIAS", 2)) ++subjectNames[trimmed(name)];
  EXPECT_GE(subjectNames["Tutoría"], 10);
}

// Both encodings carry the same texts; in ISO-8859-1 a character beyond it is a
// character reference, and markup characters are escaped in both.
TEST(GeneratorTest, EncodingsCarryTheSameTexts) {
  const std::string latin1 = sample(3, 21, Encoding::Latin1);
  const std::string utf8 = sample(3, 21, Encoding::Utf8);
  EXPECT_EQ(latin1.rfind("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>", 0), 0u);
  EXPECT_EQ(utf8.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u);
  const Parsed fromLatin1 = parse(latin1);
  EXPECT_EQ(fromLatin1.sections, parse(utf8).sections);

  EXPECT_NE(latin1.find("F\xEDsica &amp; Qu\xEDmica"), std::string::npos);
  const auto rooms = column(fromLatin1, "DEPENDENCIAS", 1);
  EXPECT_NE(std::find(rooms.begin(), rooms.end(), "Laboratorio de Física & Química"), rooms.end());
}

TEST(GeneratorTest, CharactersBeyondLatin1BecomeReferences) {
  // Across enough staff the rare foreign given names turn up.
  const std::string latin1 = sample(20, 1, Encoding::Latin1);
  const auto reference = latin1.find("&#");
  ASSERT_NE(reference, std::string::npos);
  const Parsed parsed = parse(latin1);
  bool foreign = false;
  for (const auto& name : column(parsed, "EMPLEADOS", 5)) {
    foreign = foreign || name == "Łukasz" || name == "Ştefan" || name == "Nazlı";
  }
  EXPECT_TRUE(foreign);
}

TEST(GeneratorTest, RefusesScalesOutOfRangeAndUnwritableFiles) {
  for (int scale : {0, -1, 1001}) {
    std::ostringstream out;
    try {
      writeSample(out, {scale, 1, Encoding::Latin1});
      ADD_FAILURE() << "scale " << scale << " accepted";
    } catch (const std::invalid_argument& error) {
      EXPECT_NE(std::string(error.what()).find("escala"), std::string::npos);
    }
    EXPECT_TRUE(out.str().empty());
  }
  const fs::path missing = fs::temp_directory_path() / "mudalinx-no-existe" / "muestra.xml";
  try {
    writeSampleFile(missing, {1, 1, Encoding::Latin1});
    ADD_FAILURE() << "wrote into a missing folder";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find("No se puede crear"), std::string::npos);
  }
}

TEST(GeneratorTest, ProgramWritesTheFileAndRejectsBadUsage) {
  const fs::path folder = fs::temp_directory_path() / ("mudalinx-generator-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  const std::string program = std::string(MUDALINX_BIN_DIR) + "/mudalinx-generar-muestra";
  const fs::path output = folder / "muestra.xml";
  ASSERT_EQ(std::system((program + " --scale 2 --seed 4 --output " + output.string()).c_str()), 0);
  std::ifstream in(output, std::ios::binary);
  const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(written, sample(2, 4));
  EXPECT_FALSE(fs::exists(output.string() + ".tmp"));

  for (const std::string args : {"--scale 2 --output x.xml", "--scale dos --seed 1 --output x.xml",
                                 "--scale 0 --seed 1 --output x.xml", "--scale 1 --seed 1 --output x.xml --encoding latin9",
                                 "--scale 1 --seed 1 --output"}) {
    const int status = std::system((program + " " + args + " 2>/dev/null").c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << args;
  }
  fs::remove_all(folder);
}

}  // namespace
}  // namespace mudalinx::generator
