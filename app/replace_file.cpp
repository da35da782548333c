#include "app/replace_file.h"

#include <cerrno>
#include <stdexcept>

#include "import/replacing_file.h"
#include "table/os_error.h"

namespace mudalinx::app {

std::string describeSystemError(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
      return "permiso denegado";
    case EROFS:
      return "el disco es de solo lectura";
    case ENOSPC:
      return "no queda espacio en el disco";
    case ENOENT:
      return "la carpeta no existe";
    case ENOTDIR:
      return "la ruta no es una carpeta";
    case EBUSY:
      return "el archivo está en uso";
    default:
      return table::detail::systemReason(error);  // Spanish too, never the C library's English
  }
}

void replaceFile(const std::filesystem::path& file, std::string_view contents) {
  importer::ReplacingFile replacement(file);
  replacement.write(contents);
  replacement.commit();
}

}  // namespace mudalinx::app
