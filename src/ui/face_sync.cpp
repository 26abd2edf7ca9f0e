#include "ui/face_sync.h"

namespace quorvel::ui {

ListUpdate list_update(const std::vector<std::string>& shown,
                       const std::vector<std::string>& items) {
    ListUpdate update;
    if (shown.size() != items.size()) {
        update.refill = true;
        return update;
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i] != shown[i]) {
            update.changed.push_back(static_cast<int>(i));
        }
    }
    return update;
}

WindowFollower::Step WindowFollower::follow(const Window* window, bool shown) {
    Step step;
    const bool wanted = window != nullptr && shown;
    if (id_ && (!wanted || window->id() != *id_)) {
        step.discard = true;
        id_.reset();
    }
    if (!wanted) {
        return step;
    }
    if (!id_) {
        step.create = true;
        id_ = window->id();
    }
    if (step.create || window->raise_requests() != raise_requests_) {
        step.bring_forward = true;
        raise_requests_ = window->raise_requests();
    }
    return step;
}

} // namespace quorvel::ui
