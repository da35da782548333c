#include "app/replace_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "app/test_support.h"

namespace mudalinx::app {
namespace {

TEST(ReplaceFile, WritesTheWholeFileOrSaysWhyNotInSpanish) {
  testing::TempFolder folder;
  replaceFile(folder / "informe.json", "{}\n");
  replaceFile(folder / "informe.json", "{\"filas\": {}}\n");
  EXPECT_EQ(testing::readFile(folder / "informe.json"), "{\"filas\": {}}\n");

  const std::filesystem::path missing = folder / "no" / "informe.json";
  try {
    replaceFile(missing, "{}");
    ADD_FAILURE() << "written into a missing folder";
  } catch (const std::runtime_error& error) {
    EXPECT_EQ(std::string(error.what()), "No se pudo guardar el archivo «" + missing.string() + "»: no existe");
  }
}

TEST(ReplaceFile, EveryReasonIsSpanish) {
  for (const int error : {EACCES, EROFS, ENOSPC, ENOENT, EIO, ENAMETOOLONG, ELOOP, EXDEV, EMLINK}) {
    SCOPED_TRACE(error);
    const std::string reason = describeSystemError(error);
    EXPECT_FALSE(reason.empty());
    EXPECT_NE(reason, std::strerror(error));
  }
}

}  // namespace
}  // namespace mudalinx::app
