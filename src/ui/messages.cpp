#include "ui/messages.h"

#include "common/result.h"
#include "ui/codepage.h"

namespace quorvel::ui {

std::string quoted_path(const std::string& path) {
    return "\"" + bounded(path_for_message(path)) + "\"";
}

std::string unencodable_message(const std::string& what, const std::string& character) {
    return "The " + what + " holds the character " + code_point_name(character) +
           ", which a voice file cannot store. Nothing was changed.";
}

} // namespace quorvel::ui
