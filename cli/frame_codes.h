// The command line's stand-in for the frame-selection dialog: the --frames codes
// turned into the marking the dialog would hand back.
#pragma once

#include <string>
#include <vector>

#include "export/frame_choice.h"

namespace mudalinx::cli {

// CODES (UTF-8) mark, each, the first frame whose TrimBoth'ed code equals it exactly.
// Throws std::runtime_error with the dialog's message when none or more than two codes
// are given, or "Marco Horario desconocido: CODE" and the list of frames for a code
// no frame has. The result is the dialog's closing for that marking.
exporter::FrameMarking markFrames(const std::vector<exporter::FrameEntry>& frames,
                                  const std::vector<std::string>& codes);

// "  CODE  NAME" lines, one per frame, UTF-8.
std::string frameList(const std::vector<exporter::FrameEntry>& frames);

// "A,B" as the codes A and B; the empty text gives no code.
std::vector<std::string> splitCodes(const std::string& text);

}  // namespace mudalinx::cli
