#include "tools/generator/sample_writer.h"

#include <array>
#include <fstream>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "tools/generator/school.h"

namespace mudalinx::generator {

namespace {

struct SectionLayout {
  const char* seq;
  const char* recordSeq;  // record nodes are numbered after this prefix
  std::vector<const char*> valueNames;
  std::vector<Record> School::*schoolRecords;  // a section of every school, or
  std::vector<Record> (*sharedRecords)();       // a section the schools share
};

const std::array<SectionLayout, 8>& layouts() {
  static const std::array<SectionLayout, 8> list = {{
      {"MATERIAS", "MATERIA_", {"X_OFERTAMATRIG", "X_MATERIAOMG", "D_MATERIAC"}, &School::subjects, nullptr},
      {"ACTIVIDADES", "ACTIVIDAD_", {"C_TIPO", "X_ACTIVIDAD", "D_ACTIVIDAD"}, &School::activities, nullptr},
      {"EMPLEADOS",
       "EMPLEADO_",
       {"X_EMPLEADO", "F_TOMAPOS", "D_DEPARTAMENTO", "T_APELLIDO1", "T_APELLIDO2", "T_NOMBRE"},
       &School::employees, nullptr},
      {"DEPENDENCIAS", "DEPENDENCIA_", {"X_DEPENDENCIA", "D_DEPENDENCIA"}, &School::rooms, nullptr},
      {"CURSOS_DEL_CENTRO", "CURSO_", {"X_OFERTAMATRIG", "D_OFERTAMATRIG"}, &School::courses, nullptr},
      {"UNIDADES", "UNIDAD_", {"X_UNIDAD", "T_NOMBRE", "X_OFERTAMATRIG"}, &School::units, nullptr},
      {"JORNADAS_ESCOLARES", "JORNADA_", {"X_JORNADA", "D_JORNADA", "F_INICIO", "F_FIN"}, nullptr, &timeFrames},
      {"TRAMOS_HORARIOS", "TRAMO_", {"X_TRAMO", "D_TRAMO", "N_INICIO", "N_FIN", "X_JORNADA"}, nullptr, &timeSlots},
  }};
  return list;
}

// Appends UTF-8 TEXT escaped for element content or an attribute value, in the
// file's encoding: in ISO-8859-1 a character beyond it becomes a character reference.
void appendText(std::string& out, const std::string& text, Encoding encoding) {
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      switch (byte) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += static_cast<char>(byte);
      }
      ++i;
      continue;
    }
    const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
    if (encoding == Encoding::Utf8) {
      out.append(text, i, length);
    } else {
      unsigned long code = byte & (length == 2 ? 0x1Fu : length == 3 ? 0x0Fu : 0x07u);
      for (std::size_t k = 1; k < length; ++k) code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
      if (code < 0x100) {
        out += static_cast<char>(code);
      } else {
        out += "&#" + std::to_string(code) + ";";
      }
    }
    i += length;
  }
}

class SampleWriter {
 public:
  SampleWriter(std::ostream& out, const SampleOptions& options) : out_(out), options_(options) {}

  void write() {
    countRecords();
    buffer_ = "<?xml version=\"1.0\" encoding=\"" + encodingName(options_.encoding) + "\"?>\n";
    buffer_ += "<SERVICIO modulo=\"EXPORTACION\" tipo=\"E\" autor=\"SECRETARIA\" fecha=\"01/09/2025 08:00:00\">\n";
    buffer_ += "  <BLOQUE_DATOS>\n";
    buffer_ += "    <grupo_datos seq=\"ANNO_ACADEMICO\">\n      <dato nombre_dato=\"C_ANNO\">2025</dato>\n";
    buffer_ += "    </grupo_datos>\n";
    for (std::size_t s = 0; s < layouts().size(); ++s) writeSection(layouts()[s], counts_[s]);
    buffer_ += "  </BLOQUE_DATOS>\n</SERVICIO>\n";
    flush();
  }

 private:
  void countRecords() {
    counts_.assign(layouts().size(), 0);
    for (int k = 0; k < options_.scale; ++k) {
      const School school = makeSchool(options_.seed, k);
      for (std::size_t s = 0; s < layouts().size(); ++s) {
        if (layouts()[s].schoolRecords != nullptr) counts_[s] += (school.*layouts()[s].schoolRecords).size();
      }
    }
    for (std::size_t s = 0; s < layouts().size(); ++s) {
      if (layouts()[s].sharedRecords != nullptr) counts_[s] = layouts()[s].sharedRecords().size();
    }
  }

  void writeSection(const SectionLayout& layout, std::size_t count) {
    buffer_ += "    <grupo_datos seq=\"" + std::string(layout.seq) + "\" registros=\"" + std::to_string(count) + "\">\n";
    number_ = 0;
    if (layout.sharedRecords != nullptr) {
      for (const Record& record : layout.sharedRecords()) writeRecord(layout, record);
    } else {
      for (int k = 0; k < options_.scale; ++k) {
        const School school = makeSchool(options_.seed, k);
        for (const Record& record : school.*layout.schoolRecords) writeRecord(layout, record);
      }
    }
    buffer_ += "    </grupo_datos>\n";
  }

  void writeRecord(const SectionLayout& layout, const Record& record) {
    buffer_ += "      <grupo_datos seq=\"" + std::string(layout.recordSeq) + std::to_string(++number_) + "\">\n";
    for (std::size_t v = 0; v < record.size(); ++v) {
      buffer_ += "        <dato nombre_dato=\"";
      buffer_ += layout.valueNames[v];
      buffer_ += "\">";
      appendText(buffer_, record[v], options_.encoding);
      buffer_ += "</dato>\n";
    }
    buffer_ += "      </grupo_datos>\n";
    if (buffer_.size() > (1u << 20)) flush();
  }

  void flush() {
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
  }

  std::ostream& out_;
  const SampleOptions& options_;
  std::vector<std::size_t> counts_;
  std::string buffer_;
  std::size_t number_ = 0;
};

}  // namespace

std::string encodingName(Encoding encoding) { return encoding == Encoding::Utf8 ? "UTF-8" : "ISO-8859-1"; }

void checkOptions(const SampleOptions& options) {
  if (options.scale < 1 || options.scale > maxSchools()) {
    throw std::invalid_argument("La escala debe ser un número entero entre 1 y " + std::to_string(maxSchools()) + ".");
  }
}

void writeSample(std::ostream& out, const SampleOptions& options) {
  checkOptions(options);
  SampleWriter(out, options).write();
}

void writeSampleFile(const std::filesystem::path& file, const SampleOptions& options) {
  checkOptions(options);
  const std::filesystem::path temporary = file.string() + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("No se puede crear el archivo " + temporary.string() + ".");
    writeSample(out, options);
    out.flush();
    if (!out) {
      out.close();
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      throw std::runtime_error("No se pudo escribir el archivo " + temporary.string() + ".");
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, file, error);
  if (error) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    throw std::runtime_error("No se puede guardar el archivo " + file.string() + ".");
  }
}

}  // namespace mudalinx::generator
