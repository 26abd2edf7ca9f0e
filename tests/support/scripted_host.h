#pragma once

// A Host whose dialogs answer from a script and whose message boxes are recorded.

#include "ui/host.h"

#include <deque>
#include <string>
#include <vector>

namespace quorvel::test {

class ScriptedHost : public ui::Host {
  public:
    std::deque<std::string> answers; // one per dialog, in order; "" cancels
    std::vector<std::string> messages;
    std::vector<ui::FileDialogRequest> open_requests;
    std::vector<ui::FileDialogRequest> save_requests;

    void message_box(const std::string& text) override { messages.push_back(text); }
    std::string open_file_dialog(const ui::FileDialogRequest& request) override {
        open_requests.push_back(request);
        return next();
    }
    std::string save_file_dialog(const ui::FileDialogRequest& request) override {
        save_requests.push_back(request);
        return next();
    }

  private:
    std::string next() {
        if (answers.empty()) {
            return {};
        }
        std::string answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

} // namespace quorvel::test
