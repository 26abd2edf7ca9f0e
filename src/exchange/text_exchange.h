#pragma once

// The text exchange file: what export writes and import reads. Export writes single-byte
// text, every line ended by CR LF:
//
//   'DO NOT ALTER THE NEXT 2 LINES.      (with one trailing blank)
//   Voice Name: <voice name>
//   VPM Type: <device family>
//   Voice Rate: <rate caption>
//   Voice Volume: <volume caption>
//   Screen Name: <screen name>
//   (empty line)
//   <one list entry per phrase, " k-text">

#include "common/result.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

struct ExportFields {
    std::string voice_name;
    std::string nuvi_model;
    std::string voice_rate;
    std::string voice_vol;
    std::string screen_name;
    std::vector<std::string> entries;
};

std::string export_text(const ExportFields& fields);

// What the import drives: the window's controls and the Modify window's OK.
class ImportTarget {
  public:
    virtual ~ImportTarget() = default;
    virtual std::string voice_name() const = 0;
    virtual std::string nuvi_model() const = 0;
    // The rate scroll bar's maximum, or empty when no rate can be written into this file.
    virtual std::optional<int> rate_maximum() const = 0;
    // The value the rate scroll bar holds.
    virtual int rate() const = 0;
    // Set the scroll bar (its change handling runs nested when the value changes), then the
    // caption to the value the bar holds.
    virtual void set_rate(int value) = 0;
    virtual void set_volume(int value) = 0;
    virtual void set_screen_name(const std::string& text) = 0;
    virtual int phrase_count() const = 0;
    virtual std::string entry(int position) const = 0;
    // Give the list the focus, select the list position, fill the Modify window's boxes
    // (Current from the entry, as the double-click fills it; New with `new_text`) and run its
    // OK.
    virtual void apply_phrase(int position, const std::string& new_text) = 0;
};

inline constexpr int volume_maximum = 99;

// Reads the exchange text (single-byte text) from the top and drives `target`. Lines end by
// the file's own convention: in a file that holds a CR LF at each CR LF only (a CR or an LF
// alone is part of its line), else at each CR in a file that holds one, else at each LF.
// Stops at the first faulty line and fails with the message that names it (its lines ended
// by CR LF); what was applied before that line stays applied.
Result<> import_text(std::string_view text, ImportTarget& target);

// The number (from 1) of the line that holds the byte at `offset`, lines ended as
// import_text ends them.
std::int64_t line_at(std::string_view text, std::size_t offset);

} // namespace quorvel
