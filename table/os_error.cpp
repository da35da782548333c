#include "table/os_error.h"

#include <cerrno>

#include "table/table.h"

namespace mudalinx::table::detail {

std::string systemReason(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
      return "permiso denegado";
    case EROFS:
      return "el sistema de archivos es de solo lectura";
    case ENOSPC:
    case EDQUOT:
      return "no queda espacio en el disco";
    case ENOENT:
      return "no existe";
    case ENOTDIR:
      return "una parte de la ruta no es una carpeta";
    case EISDIR:
      return "es una carpeta";
    case EIO:
      return "error de entrada/salida";
    case EMFILE:
    case ENFILE:
      return "demasiados archivos abiertos";
    case ENAMETOOLONG:
      return "el nombre es demasiado largo";
    default:
      return "error del sistema " + std::to_string(error);
  }
}

void throwSystemError(std::string_view action, const std::filesystem::path& path, int error) {
  throw TableError(std::string(action) + " (" + path.string() + "): " + systemReason(error) + ".");
}

std::string quoteForMessage(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + 8);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F) {
      out += c;
    } else if (byte >= 0xA0) {  // Latin-1 part of Windows-1252: same code point
      out += static_cast<char>(0xC0 | (byte >> 6));
      out += static_cast<char>(0x80 | (byte & 0x3F));
    } else {
      out += '?';
    }
  }
  return out;
}

}  // namespace mudalinx::table::detail
