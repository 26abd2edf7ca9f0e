#pragma once

// Hostile input through the program layer, shared by the bad-input catalogue, the fuzz
// targets and the replay of every input the fuzzers ever found. The rule both runs keep:
// opening never changes the image; an import keeps its length and changes no byte outside
// the fields that opening found.

#include "image/voice_image.h"
#include "layout/open_voice.h"
#include "support/voice_builder.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvel::hostile {

// The bytes an import may change in an opened image: the two rate digits (when the file has
// a rate field), the two volume digits, the table entries of the listed phrases, each listed
// phrase's bytes and its NUL as opening found them, and the text area from text_end to
// text_start + buffer_capacity. The screen-name field changes only on Save.
class FoundFields {
  public:
    FoundFields(const Bytes& image, const VoiceSettings& settings, const PhraseTable& table);

    bool contains(std::int64_t pos) const;
    // Empty when `after` has the length of `before` and differs from it only inside the
    // fields; otherwise names the first difference.
    std::string changes_outside(const Bytes& before, const Bytes& after) const;

  private:
    void add(std::int64_t begin, std::int64_t length);
    std::int64_t size_;
    std::vector<std::pair<std::int64_t, std::int64_t>> ranges_; // [begin, end), any order
};

// Opens `bytes` as File > Open does once the file is read. When the file opens, checks that
// every position opening found lies inside the image, then exports the voice and imports
// that text back. Returns the first broken rule, or empty.
std::string open_and_reimport(std::span<const std::uint8_t> bytes);

// The voices the import runs use: small builder images of both families and every way the
// table is found, so a run copies little.
const std::vector<test::VoicePlan>& small_voices();

// `input` is one byte choosing a small voice (modulo their number) followed by the text of
// an exchange file. Opens that voice, imports the text, and checks the image against the
// fields opening found and the list against the image. Returns the first broken rule.
std::string import_into_small_voice(std::span<const std::uint8_t> input);

// What File > Export writes for the voice open in `bytes` (which must open).
std::string exported_text(const Bytes& bytes);

} // namespace quorvel::hostile
