#include "exchange/text_file.h"

#include "image/whole_file.h"

namespace quorvel {

Result<std::string> load_text(const std::string& path) {
    std::string text;
    auto read = read_whole_file(path, max_text_size,
                                "The file is larger than 64 MiB; the text of a voice file is "
                                "far smaller.",
                                [&text](std::size_t length) {
                                    text.resize(length);
                                    return static_cast<void*>(text.data());
                                });
    if (!read) {
        return failure(read.message());
    }
    return text;
}

} // namespace quorvel
