#pragma once

// The controls of the program's windows, without a toolkit. They hold exactly the state the
// program keeps in them. Every change made through a setter bumps `revision`, so a face
// can bring its widgets up to date after each event by comparing revisions.
//
// Texts are the voice file's single-byte code page, one byte per character.

#include "ui/window_rows.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quorvel::ui {

class Control {
  public:
    std::uint64_t revision() const { return revision_; }
    bool visible() const { return visible_; }
    bool enabled() const { return enabled_; }
    void set_visible(bool v) { update(visible_, v); }
    void set_enabled(bool v) { update(enabled_, v); }

  protected:
    template <class T> void update(T& field, const T& value) {
        if (field != value) {
            field = value;
            ++revision_;
        }
    }
    void touch() { ++revision_; }

  private:
    std::uint64_t revision_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
};

class Label : public Control {
  public:
    explicit Label(std::string caption = {}) : caption_(std::move(caption)) {}
    const std::string& caption() const { return caption_; }
    void set_caption(const std::string& c) { update(caption_, c); }

  private:
    std::string caption_;
};

// A one-line text box. `unencodable` is set when the user typed a character the single-byte
// code page cannot hold (the text then lacks it): the change it feeds is refused.
class TextBox : public Control {
  public:
    const std::string& text() const { return text_; }
    // Text set by the program: taken whole, whatever the box's length limit.
    void set_text(const std::string& t) {
        if (unencodable_) {
            unencodable_.reset();
            touch(); // the face still shows the character it could not hand over
        }
        update(text_, t);
    }
    // Text typed by the user; `bad` names the first character a face could not convert, in
    // UTF-8 (it counts as one more character). Returns false, taking nothing, when the box
    // does not take it.
    bool type(const std::string& t, std::optional<std::string> bad = std::nullopt) {
        if (!takes(t, bad)) {
            return false;
        }
        update(text_, t);
        unencodable_ = std::move(bad);
        return true;
    }
    // The typing limit, which a face also asks before it lets a key change its widget: a text
    // longer than the limit is not taken unless it is no longer than the text before, as when
    // the user shortens a longer text that an import put into the box.
    bool takes(const std::string& t, const std::optional<std::string>& bad) const {
        const int n = characters(t, bad);
        return !max_length_ || n <= *max_length_ || n <= characters(text_, unencodable_);
    }
    const std::optional<std::string>& unencodable() const { return unencodable_; }

    // The most characters the user may type; empty means no limit.
    const std::optional<int>& max_length() const { return max_length_; }
    void set_max_length(std::optional<int> n) { update(max_length_, n); }

    bool read_only() const { return read_only_; }
    void set_read_only(bool r) { update(read_only_, r); }

  private:
    static int characters(const std::string& t, const std::optional<std::string>& bad) {
        return static_cast<int>(t.size()) + (bad ? 1 : 0);
    }

    std::string text_;
    std::optional<std::string> unencodable_;
    std::optional<int> max_length_;
    bool read_only_ = false;
};

// A single-selection list, not sorted. `selected` is -1 when no item is selected.
class ListBox : public Control {
  public:
    const std::vector<std::string>& items() const { return items_; }
    int count() const { return static_cast<int>(items_.size()); }
    void set_items(std::vector<std::string> items) {
        items_ = std::move(items);
        selected_ = -1;
        touch();
    }
    void clear() { set_items({}); }
    void set_item(int index, const std::string& text) {
        items_.at(static_cast<std::size_t>(index)) = text;
        touch();
    }

    int selected() const { return selected_; }
    // Selects an item (or none with -1) and asks the face to scroll it into view.
    void select(int index) {
        selected_ = index >= 0 && index < count() ? index : -1;
        touch();
    }

    // How often the program gave the list the keyboard focus; a face moves it there each time.
    std::uint64_t focus_requests() const { return focus_requests_; }
    void set_focus() {
        ++focus_requests_;
        touch();
    }

  private:
    std::vector<std::string> items_;
    int selected_ = -1;
    std::uint64_t focus_requests_ = 0;
};

// A horizontal scroll bar. Its change notification runs at once, nested inside whatever set
// the value, whenever the value really changes, whether the user or code set it.
class ScrollBar : public Control {
  public:
    int value() const { return value_; }
    int minimum() const { return scroll_rule.minimum; }
    int maximum() const { return maximum_; }

    // Values outside 0..maximum are not taken; returns whether the value is now `v`.
    bool set_value(int v) {
        if (v < minimum() || v > maximum_) {
            return false;
        }
        if (v != value_) {
            value_ = v;
            touch();
            if (on_change) {
                on_change();
            }
        }
        return true;
    }
    // Lowers the value to the new maximum when it lies above it (with the notification).
    void set_maximum(int m) {
        update(maximum_, m);
        if (value_ > maximum_) {
            set_value(maximum_);
        }
    }

    std::function<void()> on_change;

  private:
    int value_ = scroll_rule.start_value;
    int maximum_ = scroll_rule.start_maximum;
};

// A button: its handler is its row's, the program keeps only whether it can be pressed.
class Button : public Control {};

// A menu entry whose state the program changes while it runs: enabled, a check mark, and a
// caption that stands for the row's one when not empty.
class MenuEntry : public Control {
  public:
    bool checkable() const { return checkable_; }
    bool checked() const { return checked_; }
    void set_checked(bool c) {
        update(checkable_, true);
        update(checked_, c);
    }
    const std::string& caption() const { return caption_; }
    void set_caption(const std::string& c) { update(caption_, c); }

  private:
    bool checkable_ = false;
    bool checked_ = false;
    std::string caption_;
};

// Entries the program puts into a menu while it runs, each with a check mark; `checked` is
// -1 when none has it. Captions are in the code page.
class MenuList : public Control {
  public:
    const std::vector<std::string>& items() const { return items_; }
    void set_items(std::vector<std::string> items) {
        items_ = std::move(items);
        checked_ = -1;
        touch();
    }
    int checked() const { return checked_; }
    void set_checked(int index) {
        update(checked_, index >= 0 && index < static_cast<int>(items_.size()) ? index : -1);
    }

  private:
    std::vector<std::string> items_;
    int checked_ = -1;
};

// What every secondary window shares: a number that tells one instance from the next (a
// face binds its widget to it), a count of requests to bring the window forward, and whether
// a handler of the window closed it (its owner then discards it).
class Window {
  public:
    Window() : id_(++last_id_) {}
    std::uint64_t id() const { return id_; }
    std::uint64_t raise_requests() const { return raise_requests_; }
    void bring_forward() { ++raise_requests_; }
    bool closed() const { return closed_; }

  protected:
    void close() { closed_ = true; }

  private:
    static inline std::uint64_t last_id_ = 0;
    std::uint64_t id_;
    std::uint64_t raise_requests_ = 0;
    bool closed_ = false;
};

} // namespace quorvel::ui
