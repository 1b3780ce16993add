#pragma once

#include <string>
#include <string_view>

// `text` for a log line: control bytes as \xNN, so a hostile path stays on one line and sends no
// terminal escapes; "-" for nothing (a request refused before its request line was read).
std::string printable(std::string_view text);
