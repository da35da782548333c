// Writes a sample Sendaro Exchange file: the envelope, the school year and the
// eight sections the export reads, holding SCALE schools' worth of records.
#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>

namespace mudalinx::generator {

enum class Encoding { Latin1, Utf8 };

struct SampleOptions {
  int scale = 1;           // number of schools, 1 to maxSchools()
  std::uint64_t seed = 1;  // the same seed gives the same file
  Encoding encoding = Encoding::Latin1;
};

// The name the XML declaration gives ENCODING ("ISO-8859-1", "UTF-8").
std::string encodingName(Encoding encoding);

// Throws std::invalid_argument (Spanish message) for a scale out of range.
void checkOptions(const SampleOptions& options);

void writeSample(std::ostream& out, const SampleOptions& options);

// Writes the sample to a temporary file beside FILE and renames it into place.
// Throws std::runtime_error with a Spanish UTF-8 message when the file cannot be written.
void writeSampleFile(const std::filesystem::path& file, const SampleOptions& options);

}  // namespace mudalinx::generator
