#include "table/dbf_layout.h"

#include <algorithm>
#include <cctype>
#include <unordered_set>

#include "table/ascii_case.h"
#include "table/file_handle.h"
#include "table/os_error.h"

namespace mudalinx::table::detail {
namespace {

std::uint32_t readLe32(const char* p) {
  const auto* u = reinterpret_cast<const unsigned char*>(p);
  return static_cast<std::uint32_t>(u[0]) | static_cast<std::uint32_t>(u[1]) << 8 |
         static_cast<std::uint32_t>(u[2]) << 16 | static_cast<std::uint32_t>(u[3]) << 24;
}

std::uint16_t readLe16(const char* p) {
  const auto* u = reinterpret_cast<const unsigned char*>(p);
  return static_cast<std::uint16_t>(u[0] | u[1] << 8);
}

void writeLe16(char* p, std::size_t value) {
  p[0] = static_cast<char>(value & 0xFF);
  p[1] = static_cast<char>((value >> 8) & 0xFF);
}

[[noreturn]] void damaged(const std::filesystem::path& file, const std::string& reason) {
  throw TableError("El archivo " + file.string() + " está dañado: " + reason + ".");
}

std::string hexByte(unsigned value) {
  const char* digits = "0123456789ABCDEF";
  return std::string("0x") + digits[(value >> 4) & 0xF] + digits[value & 0xF];
}

bool flavourOf(std::uint8_t version, Flavour& flavour) {
  switch (version) {
    case 0x03: case 0x83: case 0x8B:
      flavour = Flavour::DBase;
      return true;
    case 0x04: case 0x8C:
      flavour = Flavour::DBase7;
      return true;
    case 0x30: case 0x31: case 0x32: case 0xF5: case 0x02: case 0xFB:
      flavour = Flavour::FoxPro;
      return true;
    default:
      return false;
  }
}

bool isVisualFoxPro(std::uint8_t version) { return version >= 0x30 && version <= 0x32; }

// The storage of type letter TYPE; false for a letter no flavour defines.
bool storageOf(char type, const TableLayout& layout, Storage& storage) {
  switch (type) {
    case 'C': case 'V': storage = Storage::Character; return true;
    case 'N': case 'F': storage = Storage::Numeric; return true;
    case 'L': storage = Storage::Logical; return true;
    case 'D': storage = Storage::Date; return true;
    case 'I':
      storage = layout.flavour == Flavour::FoxPro ? Storage::LittleEndianInteger : Storage::BigEndianInteger;
      return true;
    case '+': storage = Storage::BigEndianInteger; return true;
    case 'O': storage = Storage::OrderedDouble; return true;
    case 'B':
      storage = isVisualFoxPro(layout.version) ? Storage::LittleEndianDouble : Storage::Skipped;
      return true;
    case 'Y': storage = Storage::Currency; return true;
    case 'T': storage = Storage::DateTime; return true;
    case 'M': case 'G': case 'P': case '@': case 'Q': case 'W': storage = Storage::Skipped; return true;
    default: return false;
  }
}

int fixedWidthOf(Storage storage) {
  switch (storage) {
    case Storage::BigEndianInteger:
    case Storage::LittleEndianInteger:
      return 4;
    case Storage::OrderedDouble:
    case Storage::LittleEndianDouble:
    case Storage::Currency:
    case Storage::DateTime:
      return 8;
    default:
      return 0;
  }
}

std::string descriptorName(const char* p, std::size_t maxLength) {
  std::size_t length = 0;
  while (length < maxLength && p[length] != '\0') ++length;
  std::string name(p, length);
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name;
}

}  // namespace

TableLayout parseLayout(const std::vector<char>& bytes, std::uint64_t fileSize, const std::filesystem::path& file) {
  if (fileSize < 32 || bytes.size() < 32) damaged(file, "la cabecera está incompleta");
  TableLayout layout;
  layout.version = static_cast<std::uint8_t>(bytes[0]);
  if (!flavourOf(layout.version, layout.flavour)) {
    damaged(file, "versión de archivo desconocida " + hexByte(layout.version));
  }
  layout.recordCount = readLe32(&bytes[4]);
  layout.headerLength = readLe16(&bytes[8]);
  layout.recordLength = readLe16(&bytes[10]);
  layout.hasIndexFile = (bytes[28] & 0x01) != 0;

  const bool level7 = layout.flavour == Flavour::DBase7;
  const std::size_t firstDescriptor = level7 ? kDBase7HeaderSize : 32;
  const std::size_t descriptorSize = level7 ? kDBase7DescriptorSize : kDescriptorSize;
  if (layout.headerLength > fileSize) {
    damaged(file, "la cabecera indica " + std::to_string(layout.headerLength) + " bytes y el archivo tiene " +
                      std::to_string(fileSize));
  }
  if (layout.headerLength < firstDescriptor + 1 || bytes.size() < layout.headerLength) {
    damaged(file, "la cabecera está incompleta");
  }

  std::size_t offset = 1;
  int nextNullBit = 0;
  for (std::size_t at = firstDescriptor; at < layout.headerLength && bytes[at] != '\r'; at += descriptorSize) {
    if (at + descriptorSize > layout.headerLength) damaged(file, "la descripción de los campos está incompleta");
    const char* d = &bytes[at];
    FieldLayout field;
    field.info.name = descriptorName(d, level7 ? 32 : 11);
    field.info.type = level7 ? d[32] : d[11];
    field.info.width = static_cast<unsigned char>(level7 ? d[33] : d[16]);
    field.info.decimals = static_cast<unsigned char>(level7 ? d[34] : d[17]);
    field.indexed = (level7 ? d[37] : d[31]) != 0;
    if (layout.flavour == Flavour::FoxPro && field.info.type == 'C') {
      field.info.width += field.info.decimals * 256;  // FoxPro keeps wide texts' high byte there
      field.info.decimals = 0;
    }
    const std::string label = "el campo " + quoteForMessage(field.info.name);
    if (field.info.width == 0) damaged(file, label + " tiene ancho 0");
    field.offset = offset;
    offset += static_cast<std::size_t>(field.info.width);
    if (field.info.type == '0') {  // Visual FoxPro's hidden _NullFlags
      layout.nullFlagsOffset = field.offset;
      layout.nullFlagsWidth = static_cast<std::size_t>(field.info.width);
      continue;
    }
    if (!storageOf(field.info.type, layout, field.storage)) {
      damaged(file, label + " tiene un tipo desconocido (" + quoteForMessage(std::string(1, field.info.type)) + ")");
    }
    const int fixedWidth = fixedWidthOf(field.storage);
    if (fixedWidth != 0 && field.info.width != fixedWidth) {
      damaged(file, label + " tiene un ancho imposible para su tipo");
    }
    if (layout.flavour == Flavour::FoxPro && (d[18] & 0x02) != 0) field.nullBit = nextNullBit++;
    if (field.info.name.empty()) damaged(file, "un campo no tiene nombre");
    layout.fields.push_back(std::move(field));
  }
  if (layout.fields.empty()) damaged(file, "no tiene campos");
  if (offset != layout.recordLength) {
    damaged(file, "la longitud de registro (" + std::to_string(layout.recordLength) +
                      ") no coincide con la suma de los campos (" + std::to_string(offset) + ")");
  }
  if (layout.nullFlagsWidth * 8 < static_cast<std::size_t>(nextNullBit)) {
    damaged(file, "el campo _NullFlags es demasiado corto");
  }
  const std::uint64_t needed =
      layout.headerLength + static_cast<std::uint64_t>(layout.recordCount) * layout.recordLength;
  if (needed > fileSize) {
    const std::uint64_t present = (fileSize - layout.headerLength) / layout.recordLength;
    damaged(file, "la cabecera indica " + std::to_string(layout.recordCount) + " registros y el archivo sólo contiene " +
                      std::to_string(present) + (present == 1 ? " registro completo" : " registros completos"));
  }
  return layout;
}

namespace {

[[noreturn]] void invalidDefinition(const TableDef& def, const std::string& reason) {
  throw TableError("La definición de la tabla " + quoteForMessage(def.name) + " no es válida: " + reason + ".");
}

bool isFieldName(std::string_view name) {
  if (name.empty() || !std::isalpha(static_cast<unsigned char>(name[0]))) return false;
  return std::all_of(name.begin(), name.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

FieldLayout newField(const TableDef& def, const FieldDef& field) {
  const bool level7 = def.format == Format::DBase7;
  FieldLayout out;
  out.info.name = upperAscii(field.name);
  if (!isFieldName(out.info.name) || out.info.name.size() > (level7 ? 31U : 10U)) {
    invalidDefinition(def, "nombre de campo no admitido: " + quoteForMessage(field.name));
  }
  switch (field.type) {
    case FieldType::Text:
      if (field.width < 1 || field.width > 254) {
        invalidDefinition(def, "el campo " + out.info.name + " debe tener un ancho de 1 a 254");
      }
      out.info.type = 'C';
      out.info.width = field.width;
      out.storage = Storage::Character;
      break;
    case FieldType::Integer:
      out.info.type = level7 ? 'I' : 'N';
      out.info.width = level7 ? 4 : 11;
      out.storage = level7 ? Storage::BigEndianInteger : Storage::Numeric;
      break;
    case FieldType::Float:
      out.info.type = level7 ? 'O' : 'N';
      out.info.width = level7 ? 8 : 20;
      out.info.decimals = level7 ? 0 : 4;
      out.storage = level7 ? Storage::OrderedDouble : Storage::Numeric;
      break;
    case FieldType::Logical:
      out.info.type = 'L';
      out.info.width = 1;
      out.storage = Storage::Logical;
      break;
  }
  return out;
}

}  // namespace

NewTable layoutNewTable(const TableDef& def) {
  if (!isPlainName(def.name) || def.name.size() > 16) {
    invalidDefinition(def, "el nombre debe tener de 1 a 16 letras, cifras o '_'");
  }
  if (def.fields.empty()) invalidDefinition(def, "no tiene campos");
  const bool level7 = def.format == Format::DBase7;
  NewTable result;
  TableLayout& layout = result.layout;
  layout.version = level7 ? 0x04 : 0x03;
  layout.flavour = level7 ? Flavour::DBase7 : Flavour::DBase;
  std::unordered_set<std::string> names;
  std::size_t offset = 1;
  for (const FieldDef& def_field : def.fields) {
    FieldLayout field = newField(def, def_field);
    if (!names.insert(field.info.name).second) invalidDefinition(def, "el campo " + field.info.name + " está repetido");
    field.offset = offset;
    offset += static_cast<std::size_t>(field.info.width);
    layout.fields.push_back(std::move(field));
  }
  if (offset > 0xFFFF) invalidDefinition(def, "los registros serían demasiado largos");
  layout.recordLength = offset;

  if (!def.indexes.empty()) {
    if (level7) invalidDefinition(def, "los índices sólo se admiten en tablas de nivel 4");
    for (const IndexDef& index : def.indexes) {
      const std::string field = upperAscii(index.field);
      auto it = std::find_if(layout.fields.begin(), layout.fields.end(),
                             [&](const FieldLayout& f) { return f.info.name == field; });
      if (it == layout.fields.end()) invalidDefinition(def, "el índice " + quoteForMessage(index.name) + " usa un campo que no existe");
      if (it->info.type == 'L') invalidDefinition(def, "no se puede indexar el campo lógico " + field);
      it->indexed = true;
    }
    layout.hasIndexFile = true;
  }

  const std::size_t first = level7 ? kDBase7HeaderSize : 32;
  const std::size_t descriptorSize = level7 ? kDBase7DescriptorSize : kDescriptorSize;
  layout.headerLength = first + descriptorSize * layout.fields.size() + 1;
  if (layout.headerLength > 0xFFFF) invalidDefinition(def, "tiene demasiados campos");

  std::vector<char>& header = result.header;
  header.assign(layout.headerLength, '\0');
  header[0] = static_cast<char>(layout.version);
  stampHeader(header.data(), 0);
  writeLe16(&header[8], layout.headerLength);
  writeLe16(&header[10], layout.recordLength);
  header[28] = layout.hasIndexFile ? 1 : 0;
  if (level7) {
    const std::string driver = "DBWINUS0";
    std::copy(driver.begin(), driver.end(), header.begin() + 32);
  } else {
    header[29] = 0x57;  // Windows ANSI, code page 1252
  }
  std::size_t at = first;
  for (const FieldLayout& field : layout.fields) {
    char* d = &header[at];
    std::copy(field.info.name.begin(), field.info.name.end(), d);
    if (level7) {
      d[32] = field.info.type;
      d[33] = static_cast<char>(field.info.width);
      d[34] = static_cast<char>(field.info.decimals);
      d[37] = field.indexed ? 1 : 0;
    } else {
      d[11] = field.info.type;
      d[16] = static_cast<char>(field.info.width);
      d[17] = static_cast<char>(field.info.decimals);
      d[31] = field.indexed ? 1 : 0;
    }
    at += descriptorSize;
  }
  header[at] = '\r';
  return result;
}

void putToday(char* threeBytes) {
  const std::tm local = localNow();
  threeBytes[0] = static_cast<char>(local.tm_year % 256);
  threeBytes[1] = static_cast<char>(local.tm_mon + 1);
  threeBytes[2] = static_cast<char>(local.tm_mday);
}

void stampHeader(char* headerStart, std::uint32_t recordCount) {
  putToday(headerStart + 1);
  for (int i = 0; i < 4; ++i) headerStart[4 + i] = static_cast<char>((recordCount >> (8 * i)) & 0xFF);
}

std::string blankRecord(const TableLayout& layout) {
  std::string record(layout.recordLength, ' ');
  for (const FieldLayout& field : layout.fields) {
    if (fixedWidthOf(field.storage) != 0) {
      std::fill_n(record.begin() + static_cast<std::ptrdiff_t>(field.offset), field.info.width, '\0');
    }
  }
  if (layout.nullFlagsWidth != 0) {
    std::fill_n(record.begin() + static_cast<std::ptrdiff_t>(layout.nullFlagsOffset), layout.nullFlagsWidth, '\0');
  }
  return record;
}

}  // namespace mudalinx::table::detail
