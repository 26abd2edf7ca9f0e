#pragma once

// Everything the program asks of the world outside its windows: message boxes and the two
// file dialogs. The Qt face shows real ones; tests and the command line answer them.

#include <cstdint>
#include <functional>
#include <new>
#include <string>

namespace quorvel::ui {

// Dialog option bits, as the program passes them.
inline constexpr std::uint32_t overwrite_prompt = 2;
inline constexpr std::uint32_t hide_read_only = 4;

struct FileDialogRequest {
    std::string title;
    std::string filter_description; // the one filter pair: "Garmin VPM (*.vpm)"
    std::string filter_pattern;     // and "*.vpm"
    std::uint32_t flags = 0;
    std::string initial_dir; // the process's current folder at the time of the call
};

class Host {
  public:
    virtual ~Host() = default;
    // A modal message with the caption "Quorvel", one OK button and no icon. Lines inside
    // the text may end in CR LF.
    virtual void message_box(const std::string& text) = 0;
    // The chosen path, or the empty text when the user cancelled.
    virtual std::string open_file_dialog(const FileDialogRequest& request) = 0;
    virtual std::string save_file_dialog(const FileDialogRequest& request) = 0;
};

inline constexpr const char* out_of_memory =
    "There is not enough memory for this: the operation was ended.";

// Runs one gesture of the user and returns what it returned. A gesture that runs out of
// memory ends there with the out_of_memory message and gives `ended`; the program goes on.
inline bool run_gesture(Host& host, const std::function<bool()>& gesture, bool ended) {
    try {
        return gesture();
    } catch (const std::bad_alloc&) {
        host.message_box(out_of_memory);
        return ended;
    }
}

} // namespace quorvel::ui
