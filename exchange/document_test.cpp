#include "exchange/document.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

namespace mudalinx::exchange {
namespace {

const std::filesystem::path kTestdata = MUDALINX_TESTDATA;

Document loadFixture(const char* name) { return Document::load(kTestdata / name); }

std::string loadError(const std::filesystem::path& file) {
  try {
    Document::load(file);
  } catch (const XmlError& error) {
    return error.what();
  }
  ADD_FAILURE() << "no error for " << file;
  return {};
}

TEST(DocumentSections, SeqIsExactAndSameNamedSectionsActAsOne) {
  const Document doc = loadFixture("sections.xml");
  const Section subjects = doc.section("MATERIAS");
  EXPECT_EQ(subjects.name(), "MATERIAS");
  ASSERT_EQ(subjects.count(), 3u);  // two from the first MATERIAS, one from the second; none nested
  EXPECT_EQ(subjects.record(0).value(0), "101");
  EXPECT_EQ(subjects.record(1).value(1), "102");
  EXPECT_EQ(subjects.record(2).value(0), "103");

  const Section lowerCase = doc.section("materias");
  ASSERT_EQ(lowerCase.count(), 1u);
  EXPECT_EQ(lowerCase.record(0).value(2), "En min\xFAsculas");

  EXPECT_EQ(doc.section("Materias").count(), 0u);
  EXPECT_EQ(doc.section("EMPLEADOS").count(), 0u);
  EXPECT_EQ(doc.section("ACTIVIDADES").count(), 1u);
  EXPECT_THROW(subjects.record(3), std::out_of_range);
}

TEST(DocumentSections, ValuesAreDirectDatoChildrenByPosition) {
  // The section outlives the temporary document it was taken from.
  const Section subjects = loadFixture("sections.xml").section("MATERIAS");

  // Comment and foreign element between values do not take a position; the value keeps
  // its blanks and gathers the text of nested elements and CDATA.
  const Record first = subjects.record(0);
  ASSERT_EQ(first.valueCount(), 3u);
  EXPECT_EQ(first.value(1), "5001");
  EXPECT_EQ(first.value(2), "  Lengua castellana y literatura  ");
  EXPECT_EQ(first.value(3), "");

  // Swapped order: position decides, whatever nombre_dato says. A dato inside another
  // element is not a value of the record.
  const Record second = subjects.record(1);
  ASSERT_EQ(second.valueCount(), 2u);
  EXPECT_EQ(second.value(0), "Matem\xE1ticas");
  EXPECT_EQ(second.value(1), "102");

  // Processing instructions add no text; a blank-only value stays as it is.
  const Record third = subjects.record(2);
  ASSERT_EQ(third.valueCount(), 5u);
  EXPECT_EQ(third.value(2), "F\xEDsica y Qu\xEDmica");
  EXPECT_EQ(third.value(3), "   ");
  EXPECT_EQ(third.value(4), "");
  EXPECT_EQ(third.value(99), "");
}

TEST(DocumentSections, BlankTextBetweenElementsIsDropped) {
  const Document doc = loadFixture("sections.xml");
  const xmlNode* root = xmlDocGetRootElement(doc.raw());
  ASSERT_NE(root, nullptr);
  const xmlNode* block = root->children;
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block->type, XML_ELEMENT_NODE);
  ASSERT_NE(block->children, nullptr);
  EXPECT_EQ(block->children->type, XML_ELEMENT_NODE);  // ANNO_ACADEMICO, not white space
  EXPECT_EQ(Record(block->children, {block->children->children}).value(0), " 2025 ");
}

TEST(DocumentEncodings, DeclaredEncodingIsHonoured) {
  const std::string spanish = "Educaci\xF3n F\xEDsica, A\xF1o, Ni\xF1o, Ping\xFCino, 1\xBA \xAA \xC1\xC9\xCD\xD3\xDA\xD1\xDC";
  struct Case {
    const char* file;
    const char* encoding;
    std::string expected;
    bool lossy;
  };
  const std::vector<Case> cases = {
      {"latin1.xml", "ISO-8859-1", spanish, false},
      {"utf8.xml", "UTF-8", spanish, false},
      {"cp1252.xml", "windows-1252", spanish + " \x80\x93\x94", false},
      {"utf16.xml", "UTF-16", spanish + " \x80\x93\x94 ??", true},
  };
  for (const Case& c : cases) {
    const Document doc = loadFixture(c.file);
    EXPECT_EQ(doc.declaredEncoding(), c.encoding) << c.file;
    const Section subjects = doc.section("MATERIAS");
    ASSERT_EQ(subjects.count(), 1u) << c.file;
    bool lossy = false;
    EXPECT_EQ(subjects.record(0).value(2, &lossy), c.expected) << c.file;
    EXPECT_EQ(lossy, c.lossy) << c.file;
  }
}

TEST(DocumentErrors, ClearSpanishMessages) {
  struct Case {
    std::filesystem::path file;
    std::vector<std::string> expectedParts;
  };
  const std::vector<Case> cases = {
      {kTestdata / "malformed.xml",
       {"malformed.xml no es un XML v\xC3\xA1lido (l\xC3\xADnea 8: ",
        "la etiqueta de cierre no corresponde a la de apertura"}},
      {kTestdata / "no_block.xml",
       {"no_block.xml no es un documento de intercambio de Sendaro (falta /SERVICIO/BLOQUE_DATOS)"}},
      {kTestdata / "no-such-file.xml", {"No se puede leer el archivo ", "no-such-file.xml"}},
      {kTestdata, {"No se puede leer el archivo "}},
      {kTestdata / "secret.txt", {"secret.txt no es un XML v\xC3\xA1lido (l\xC3\xADnea 1: "}},
  };
  for (const Case& c : cases) {
    const std::string message = loadError(c.file);
    for (const std::string& part : c.expectedParts) {
      EXPECT_NE(message.find(part), std::string::npos) << "message: " << message << "\nmissing: " << part;
    }
  }
}

TEST(DocumentErrors, ParserPrintsNothing) {
  testing::internal::CaptureStderr();
  EXPECT_THROW(loadFixture("malformed.xml"), XmlError);
  EXPECT_THROW(Document::parse("<SERVICIO>\xFF\xFE</SERVICIO>", "bytes.xml"), XmlError);
  EXPECT_THROW(Document::parse("", "empty.xml"), XmlError);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(DocumentErrors, EncodingProblemsAreReported) {
  struct Case {
    std::string bytes;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SERVICIO><BLOQUE_DATOS>Espa\xF1" "a</BLOQUE_DATOS></SERVICIO>",
       "prueba.xml no es un XML v\xC3\xA1lido (l\xC3\xADnea 2"},
      {"<?xml version=\"1.0\" encoding=\"KLINGON-8\"?>\n<SERVICIO><BLOQUE_DATOS/></SERVICIO>",
       "(l\xC3\xADnea 1: codificaci\xC3\xB3n no admitida)"},
  };
  for (const Case& c : cases) {
    try {
      Document::parse(c.bytes, "prueba.xml");
      ADD_FAILURE() << "accepted: " << c.bytes;
    } catch (const XmlError& error) {
      EXPECT_NE(std::string(error.what()).find(c.expected), std::string::npos) << error.what();
    }
  }
}

TEST(DocumentSafety, ExternalEntityIsNeverRead) {
  const std::string message = loadError(kTestdata / "external_entity.xml");
  EXPECT_NE(message.find("declara entidades"), std::string::npos) << message;
  EXPECT_EQ(message.find("CONTENIDO-SECRETO-LOCAL"), std::string::npos);
}

TEST(DocumentSafety, EntityBombIsRefusedQuickly) {
  const auto start = std::chrono::steady_clock::now();
  const std::string message = loadError(kTestdata / "entity_bomb.xml");
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_LT(elapsed, std::chrono::seconds(2));
  EXPECT_FALSE(message.empty());
  EXPECT_LT(message.size(), 1000u);
}

TEST(DocumentSafety, HostileStructuresGetSpanishReasons) {
  struct Case {
    const char* title;
    std::string bytes;
    std::string reason;
  };
  std::string deep;
  for (int i = 0; i < 1000; ++i) deep += "<grupo_datos>";
  const std::vector<Case> cases = {
      {"entity of a document type that is not read",
       "<?xml version=\"1.0\"?>\n<!DOCTYPE SERVICIO SYSTEM \"servicio.dtd\">\n"
       "<SERVICIO><BLOQUE_DATOS><grupo_datos seq=\"ANNO_ACADEMICO\"><dato>&anno;</dato></grupo_datos>"
       "</BLOQUE_DATOS></SERVICIO>",
       "(l\xC3\xADnea 3: entidad no declarada)"},
      {"external entity in an attribute",
       "<?xml version=\"1.0\"?>\n<!DOCTYPE SERVICIO [<!ENTITY e SYSTEM \"file:///etc/hostname\">]>\n"
       "<SERVICIO fecha=\"&e;\"><BLOQUE_DATOS/></SERVICIO>",
       "(l\xC3\xADnea 3: referencia a una entidad externa)"},
      {"deep nesting", "<SERVICIO><BLOQUE_DATOS>" + deep, "(l\xC3\xADnea 1: los elementos se anidan a demasiada profundidad)"},
      {"unfinished processing instruction", "<?xml version=\"1.0\"?><?pi sin fin <SERVICIO/>",
       "(l\xC3\xADnea 1: instrucci\xC3\xB3n de procesamiento (<?\xE2\x80\xA6?>) mal formada)"},
      {"XML declaration without version", "<?xml encoding=\"UTF-8\"?><SERVICIO/>",
       "(l\xC3\xADnea 1: declaraci\xC3\xB3n XML (<?xml \xE2\x80\xA6?>) mal formada)"},
      {"unfinished document type", "<!DOCTYPE SERVICIO [ <SERVICIO/>",
       "(l\xC3\xADnea 1: declaraci\xC3\xB3n de tipo de documento (<!DOCTYPE \xE2\x80\xA6>) mal formada)"},
      {"double hyphen in a comment", "<SERVICIO><!-- a -- b --></SERVICIO>",
       "(l\xC3\xADnea 1: un comentario contiene \xC2\xAB--\xC2\xBB)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    try {
      Document::parse(c.bytes, "hostil.xml");
      ADD_FAILURE() << "accepted";
    } catch (const XmlError& error) {
      EXPECT_EQ(std::string(error.what()), "El archivo hostil.xml no es un XML v\xC3\xA1lido " + c.reason + ".");
    }
  }
}

TEST(DocumentSafety, InternalEntityDeclarationIsRefused) {
  const std::string xml =
      "<?xml version=\"1.0\"?>\n<!DOCTYPE SERVICIO [<!ENTITY e \"\xC3\xA9\">]>\n"
      "<SERVICIO><BLOQUE_DATOS><grupo_datos seq=\"MATERIAS\"><grupo_datos><dato>&e;</dato><dato>x</dato>"
      "</grupo_datos></grupo_datos></BLOQUE_DATOS></SERVICIO>";
  EXPECT_THROW(Document::parse(xml, "entidad.xml"), XmlError);
  // A document type without entity declarations is fine, and its external subset is not fetched.
  const Document plain = Document::parse(
      "<?xml version=\"1.0\"?>\n<!DOCTYPE SERVICIO SYSTEM \"http://127.0.0.1:9/servicio.dtd\">\n"
      "<SERVICIO><BLOQUE_DATOS/></SERVICIO>",
      "con-doctype.xml");
  EXPECT_EQ(plain.section("MATERIAS").count(), 0u);
}

}  // namespace
}  // namespace mudalinx::exchange

namespace mudalinx::exchange {
namespace {

// The bundled demo file must stay loadable, with every section the export reads.
TEST(DocumentSample, BundledSchoolFileHasEverySection) {
  const Document doc = Document::load(std::filesystem::path(MUDALINX_SOURCE_DIR) / "samples" / "instituto.xml");
  EXPECT_EQ(doc.declaredEncoding(), "ISO-8859-1");
  struct Expected {
    const char* seq;
    std::size_t minimumRecords;
    std::size_t values;
  };
  const std::vector<Expected> sections = {
      {"MATERIAS", 80, 3},        {"ACTIVIDADES", 8, 3},       {"EMPLEADOS", 55, 6},
      {"DEPENDENCIAS", 20, 2},    {"CURSOS_DEL_CENTRO", 8, 2}, {"UNIDADES", 16, 3},
      {"JORNADAS_ESCOLARES", 2, 4}, {"TRAMOS_HORARIOS", 12, 5},
  };
  for (const Expected& expected : sections) {
    const Section section = doc.section(expected.seq);
    EXPECT_GE(section.count(), expected.minimumRecords) << expected.seq;
    for (std::size_t i = 0; i < section.count(); ++i) {
      bool lossy = false;
      const Record record = section.record(i);
      ASSERT_EQ(record.valueCount(), expected.values) << expected.seq << " " << i;
      for (std::size_t k = 0; k < record.valueCount(); ++k) record.value(k, &lossy);
      EXPECT_FALSE(lossy) << expected.seq << " " << i;
    }
  }
  EXPECT_EQ(doc.section("MATERIAS").record(1).value(2), "Educaci\xF3n F\xEDsica");
  const xmlNode* block = xmlDocGetRootElement(doc.raw())->children;
  EXPECT_STREQ(reinterpret_cast<const char*>(block->children->name), "grupo_datos");
  EXPECT_EQ(Record(block->children, {block->children->children}).value(0), "2025");
}

}  // namespace
}  // namespace mudalinx::exchange
