#pragma once

// How a face keeps its widgets in step with the program, whatever its toolkit: after each
// event it shows what changed since it last showed it, and no more.

#include "ui/controls.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvel::ui {

// What a face binds to a control: a widget that shows the control's state again when the
// control changed since the widget last showed it (by the control's revision).
class Binding {
  public:
    Binding(const Binding&) = delete;
    Binding& operator=(const Binding&) = delete;
    virtual ~Binding() = default;

    void sync() {
        if (shown_ != control_.revision()) {
            shown_ = control_.revision();
            show();
        }
    }

  protected:
    explicit Binding(const Control& control) : control_(control) {}
    // The user changed the control through the widget: the widget already shows it.
    void mark_shown() { shown_ = control_.revision(); }
    virtual void show() = 0;

  private:
    const Control& control_;
    std::optional<std::uint64_t> shown_;
};

// How a list widget showing `shown` comes to show `items`: all refilled in one go when the
// number of items differs, else only the items whose text changed.
struct ListUpdate {
    bool refill = false;
    std::vector<int> changed;
};
ListUpdate list_update(const std::vector<std::string>& shown,
                       const std::vector<std::string>& items);

// The list's keyboard focus: true once for each time the program gave it the focus since.
class FocusRequests {
  public:
    bool pending(const ListBox& list) {
        if (list.focus_requests() == seen_) {
            return false;
        }
        seen_ = list.focus_requests();
        return true;
    }

  private:
    std::uint64_t seen_ = 0;
};

// A face's widget for one kind of secondary window (Modify, Find, About). The program has at
// most one window of each kind at a time; the widget belongs to one instance of it.
class WindowFollower {
  public:
    struct Step {
        bool discard = false;       // drop the widget: its window is gone or was replaced
        bool create = false;        // make a widget for the program's window
        bool bring_forward = false; // show it and bring it to the front
    };
    // `window`: the program's window of this kind, null when there is none; `shown`: whether
    // the program shows it (the import fills the Modify window without showing it).
    Step follow(const Window* window, bool shown);

  private:
    std::optional<std::uint64_t> id_;
    std::uint64_t raise_requests_ = 0;
};

} // namespace quorvel::ui
