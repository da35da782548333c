// Whole numbers written in text: an optional sign and decimal digits, 32 bits.
#pragma once

#include <stdexcept>
#include <string_view>

namespace mudalinx::exporter {

// A text that is not a whole number; what() is the user's Spanish message.
class ConversionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// TEXT (Windows-1252, already trimmed): an optional sign and decimal digits that fit
// in 32 bits. Anything else throws ConversionError "'TEXT' no es un valor entero válido".
int toInteger(std::string_view text);

}  // namespace mudalinx::exporter
