#include "cli/JsonLines.h"

#include <string>

namespace replidex::cli {

void PrintJsonLine(const nlohmann::ordered_json& line, std::FILE* out)
{
    std::string text = line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    text += '\n';
    std::fwrite(text.data(), 1, text.size(), out);
}

}  // namespace replidex::cli
